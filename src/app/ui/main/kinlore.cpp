// Kinlore II: hands its files to a running instance when there is one, else
// launches, opens the files of its command line and runs the event loop.
#include <QApplication>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/LaunchArguments.h"
#include "app/Preferences.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtCharacterSetQuestion.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/QtDocumentUI.h"
#include "app/ui/SingleInstance.h"
#include "browser/ui/BrowserController.h"
#include "browser/ui/QtModelAlerts.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "index/ui/IndexWindow.h"
#ifdef KL_HAS_CHARTS_UI
#include "charts/TreeChartSettings.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/RelationshipPanel.h"
#include "charts/ui/ReportsMenu.h"
#endif
#ifdef KL_HAS_PLACES_UI
#include "places/ui/PlacesDesktop.h"
#endif
#include "scripting/ui/KinloreScriptingDBus.h"
#include "scripting/ui/ScriptsDesktop.h"

int main(int argc, char** argv) {
#ifdef KL_HAS_PLACES_UI
    // The web views of maps and the place advisor share the GUI's GL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kinlore II");
    QApplication::setApplicationDisplayName("Kinlore II");
    QApplication::setDesktopFileName("kinlore");

    std::vector<std::string> arguments;
    for (const QString& argument : application.arguments().mid(1)) arguments.push_back(argument.toStdString());
    std::error_code error;
    const kl::LaunchArguments launch(arguments, std::filesystem::current_path(error));
    for (const std::string& option : launch.unknownOptions()) kl::Logger::log("Unknown option {} ignored", option);

    kl::SingleInstance instance;
    if (!launch.separateInstance()) {
        if (instance.handOff(launch.files())) return 0;
        if (!instance.listen()) kl::Logger::log("Could not listen for later starts");
    }

    // Workers hand their main-thread work to the Qt event loop; reading
    // waits behind the progress panel and asks for an unknown character set.
    kl::QtDispatcher dispatcher;
    kl::Dispatcher::Scope mainThread(dispatcher);
    kl::QtDocumentUI documentUI;
    kl::QtCharacterSetQuestion characterSetQuestion;

    kl::KinloreApplication kinlore;
    kinlore.setAlertPresenter([](const std::string& message, const std::string& information) {
        kl::AppAlerts::criticalAlert(message, information, nullptr);
    });
    kinlore.setInfoPresenter([](const std::string& message, const std::string& information) {
        kl::AppAlerts::infoAlert(message, information, nullptr);
    });
    // The model's questions reach the user as the program's alerts.
    kl::ModelAlerts::install(std::make_shared<kl::QtModelAlerts>());
    // Internal scripts run from the Extensions menu of every main window.
    auto scripts = std::make_shared<kl::ScriptsDesktop>(kl::UserDefaults::standard());
    kinlore.setScriptsHost(scripts);
    if (!kinlore.launch()) return 1;
    kinlore.docController().setProgressUI(&documentUI);
    kinlore.docController().setCharacterSetQuestion(&characterSetQuestion);
    // Each document shows in its index window; the column styles are read
    // now that the launch has registered their defaults.
    kl::IndexWindow::installWindowFactory(kinlore.docController(), kl::UserDefaults::standard());
    kl::IndexWindow::installBrowserFactory(&kl::BrowserController::makeBrowser);
#ifdef KL_HAS_CHARTS_UI
    kl::RelativesController::install(kl::UserDefaults::standard());
    // The preferences reach the chart classes through their defaults.
    kl::Preferences::setChartHooks({[] { kl::RelativesController::install(kl::UserDefaults::standard()); },
                                    [](int kind) { kl::ChartOrientation::setOrientationChangeType(kind); }});
    kl::ReportsMenu::addToIndexWindows(kinlore.docController());
    kl::RelationshipPanel::install();
#endif
#ifdef KL_HAS_PLACES_UI
    // After the Reports menu, which the place events report joins.
    kl::PlacesDesktop::install(kinlore.docController(), kl::UserDefaults::standard());
#endif
    scripts->addMenusToDocumentWindows(kinlore.docController());
    // Kinlore Editor's Save and Run hands scripts and extensions over the bus.
    kl::KinloreScriptingDBus scriptingBus(*scripts);
    if (!scriptingBus.registerOn(QDBusConnection::sessionBus())) kl::Logger::log("Could not register on the session bus");
    kinlore.addHelpMenuToDocumentWindows();
    // Web and map searches open in the desktop's browser.
    kl::AppController::setAddressOpener([](const std::string& address) {
        QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
    });
    QObject::connect(&instance, &kl::SingleInstance::filesReceived, &kinlore, [&kinlore](const QStringList& files) {
        std::vector<std::filesystem::path> paths;
        for (const QString& file : files) paths.emplace_back(file.toStdString());
        kinlore.openFiles(paths);
    });
    if (!launch.files().empty()) kinlore.openFiles(launch.files());
    return application.exec();
}
