// Kinlore Editor: opens the format and extension packages of its command
// line, each in its document window, answers Kinlore II on the session
// bus, and runs the event loop.
#include <QApplication>

#include <filesystem>

#include "app/ui/ThemeWatcher.h"
#include "editor/ui/KXDocController.h"
#include "editor/ui/KinloreEditorDBus.h"
#include "editor/ui/TerminationSignal.h"
#include "foundation/NotificationCenter.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kinlore Editor");
    QApplication::setApplicationDisplayName("Kinlore Editor");
    QApplication::setDesktopFileName("kinlore-editor");
    kl::UserDefaults::configureStandard("Kinlore Editor");

    // Open items take the colours of a new light or dark appearance.
    kl::ThemeWatcher themeWatcher(
        [](bool) { kl::NotificationCenter::defaultCenter().post("KXLightDarkModeChange", nullptr); });
    kl::KXDocController controller;
    QObject::connect(&controller, &kl::KXDocController::quitRequested, &application, &QApplication::quit);
    // Kinlore II shows a template of the format it opened here.
    kl::KinloreEditorDBus bus(controller);
    if (!bus.registerOn(QDBusConnection::sessionBus())) kl::Logger::log("Could not register on the session bus");
    kl::TerminationSignal termination;
    QObject::connect(&termination, &kl::TerminationSignal::requested, &controller, [&controller] {
        if (controller.closeAllDocuments()) emit controller.quitRequested();
    });
    int opened = 0;
    for (const QString& argument : application.arguments().mid(1)) {
        if (argument.startsWith('-')) {
            kl::Logger::log("Unknown option {} ignored", argument.toStdString());
            continue;
        }
        if (controller.openDocument(std::filesystem::path(argument.toStdString()))) ++opened;
    }
    if (opened == 0) controller.openDocumentFromPanel();
    if (controller.documents().empty()) return 0;
    application.setQuitOnLastWindowClosed(true);
    const int status = application.exec();
    kl::UserDefaults::standard().synchronize();
    return status;
}
