#include "app/ui/TempolinClient.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace kl {

namespace {

constexpr const char* kService = "org.kinlore.Tempolin";

bool isRunning(const QDBusConnection& bus) {
    return bus.interface() && bus.interface()->isServiceRegistered(kService).value();
}

}  // namespace

QString TempolinClient::defaultProgram() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("tempolin");
}

bool TempolinClient::enterDateText(const QString& date, const QString& program, int startMilliseconds) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!isRunning(bus)) {
        if (!QFileInfo(program).isExecutable() || !QProcess::startDetached(program, {})) return false;
        QElapsedTimer waited;
        waited.start();
        while (!isRunning(bus)) {
            if (waited.elapsed() > startMilliseconds) return false;
            QThread::msleep(50);
        }
    }
    if (date.isEmpty()) return true;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, "/org/kinlore/Tempolin",
                                                         "org.kinlore.Tempolin.Calculator", "EnterDateText");
    message << QVariantMap{{"DateTxt", date}};
    message.setAutoStartService(false);
    return bus.send(message);
}

}  // namespace kl
