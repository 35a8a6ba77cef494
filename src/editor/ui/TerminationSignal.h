#pragma once
// TerminationSignal: turns SIGTERM and SIGINT (a session ending, a service
// manager stopping the program, Ctrl+C in a terminal) into the signal
// `requested` on the main thread, so the program quits the way File ▸ Quit
// does, asking about unsaved changes, instead of dying with them.
//
// One instance per process, made on the main thread after the application.
#include <QObject>

class QSocketNotifier;

namespace kl {

class TerminationSignal : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;

signals:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kl
