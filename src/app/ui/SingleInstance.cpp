#include "app/ui/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>

#include <memory>

namespace kl {

namespace {

// Paths go as UTF-8 separated by NUL, the one byte no path holds.
constexpr char kSeparator = '\0';
// A message longer than this is no second start of ours.
constexpr qint64 kMaximumMessage = 1 << 20;

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent) : QObject(parent), socketPath_(std::move(socketPath)) {
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() { server_.close(); }

QString SingleInstance::defaultSocketPath() { return defaultSocketPath("kinlore-ii"); }

QString SingleInstance::defaultSocketPath(const QString& program) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime) + "/" + program + ".socket";
    return QDir::tempPath() + "/" + program + "-" + QString::number(::getuid());
}

bool SingleInstance::handOff(const std::vector<std::filesystem::path>& files, int timeoutMilliseconds) {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(timeoutMilliseconds)) return false;
    QByteArray message;
    for (const auto& file : files) message.append(QByteArray::fromStdString(file.string())).append(kSeparator);
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMilliseconds) && socket.bytesToWrite() > 0) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMilliseconds);
    return true;
}

bool SingleInstance::listen() {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(socketPath_)) return true;
    // Nobody answered handOff(), so a socket still there is a dead one's.
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_);
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaximumMessage) socket->abort();
        });
        auto finish = [this, socket, buffer] {
            buffer->append(socket->readAll());
            QStringList files;
            if (buffer->size() <= kMaximumMessage)
                for (const QByteArray& part : buffer->split(kSeparator))
                    if (!part.isEmpty()) files << QString::fromUtf8(part);
            socket->deleteLater();
            emit filesReceived(files);
        };
        // A short message may have arrived whole, and its sender gone,
        // before the connection was taken.
        if (socket->state() == QLocalSocket::UnconnectedState)
            finish();
        else
            connect(socket, &QLocalSocket::disconnected, this, finish, Qt::SingleShotConnection);
    }
}

}  // namespace kl
