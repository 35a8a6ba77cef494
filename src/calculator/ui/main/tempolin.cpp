// Tempolin: hands over to a running Tempolin when there is one, else shows
// the calculator, offers it on the session bus and runs the event loop.
#include <QApplication>
#include <QDBusConnection>

#include "app/ui/SingleInstance.h"
#include "calculator/ui/AppController.h"
#include "calculator/ui/TPController.h"
#include "calculator/ui/TempolinDBus.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tempolin");
    QApplication::setApplicationDisplayName("Tempolin");
    QApplication::setDesktopFileName("tempolin");

    kl::SingleInstance instance(kl::SingleInstance::defaultSocketPath("tempolin"));
    if (instance.handOff({})) return 0;
    if (!instance.listen()) kl::Logger::log("Could not listen for later starts");

    kl::UserDefaults::configureStandard("Tempolin");
    kl::tempolin::AppController tempolin;
    QObject::connect(&instance, &kl::SingleInstance::filesReceived, &tempolin,
                     [&tempolin](const QStringList&) { tempolin.bringForward(); });
    if (!tempolin.bus().registerOn(QDBusConnection::sessionBus()))
        kl::Logger::log("Tempolin is not offered on the session bus");
    tempolin.mainController().show();
    return application.exec();
}
