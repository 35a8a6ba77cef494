#pragma once
// SingleInstance: one Kinlore II per user. A second start hands its files to
// the running instance over a local socket named per user and ends; the
// running one listens and reports what it received (an empty list when the
// second start named no file: it should come forward).
//
// Thread: main thread; the server answers on the event loop.
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace kl {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/kinlore-ii.socket, else kinlore-ii-<uid> in the
    // temporary folder.
    static QString defaultSocketPath();
    // The same for another of the suite's programs ("tempolin"), so that
    // each program hands over to its own running instance.
    static QString defaultSocketPath(const QString& program);

    // True when a running instance accepted the files: this process ends.
    bool handOff(const std::vector<std::filesystem::path>& files, int timeoutMilliseconds = 3000);
    // Starts serving later starts; a socket left by a dead instance is
    // replaced. False when the socket cannot be made.
    bool listen();
    bool isListening() const { return server_.isListening(); }

signals:
    void filesReceived(const QStringList& files);

private:
    void acceptConnection();

    QString socketPath_;
    QLocalServer server_;
};

}  // namespace kl
