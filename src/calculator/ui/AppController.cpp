#include "calculator/ui/AppController.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "app/ui/StandardKeys.h"
#include "calculator/TPPreferences.h"
#include "calculator/ui/PreferencesController.h"
#include "calculator/ui/TPController.h"
#include "calculator/ui/TempolinDBus.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"

namespace kl::tempolin {

void AppController::registerDefaults() { UserDefaults::standard().registerDefaults(registeredDefaults()); }

AppController::AppController() {
    registerDefaults();
    mainController_ = std::make_unique<TPController>();
    bus_ = std::make_unique<TempolinDBus>(*mainController_);

    QMenuBar* bar = mainController_->menuBar();
    QMenu* app = new QMenu(tr("&Tempolin"), bar);
    bar->insertMenu(bar->actions().value(0), app);
    QAction* preferences = app->addAction(tr("Preferences..."), this, &AppController::showPreferencePanel);
    preferences->setShortcut(preferencesKeys());
    preferences->setMenuRole(QAction::PreferencesRole);
    app->addSeparator();
    QAction* quit = app->addAction(tr("Quit Tempolin"), this, &AppController::terminate);
    quit->setShortcut(quitKeys());
    QMenu* help = mainController_->menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("Tempolin Help"), this, &AppController::showHelp)->setShortcut(QKeySequence::HelpContents);
    help->addAction(tr("Kinlore Web Site"), mainController_.get(), &TPController::visitKinlorePage);
    help->addAction(tr("Tempolin Web Page"), mainController_.get(), &TPController::visitTempolinPage);
    servicesMenu_ = insertServicesMenu(bar);

    connect(mainController_.get(), &TPController::closing, this, &AppController::applicationWillTerminate);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppController::applicationWillTerminate);
}

AppController::~AppController() = default;

QMenu* AppController::insertServicesMenu(QMenuBar* bar) {
    const QList<QAction*> menus = bar->actions();
    QMenu* first = menus.isEmpty() ? nullptr : menus.front()->menu();
    if (!first) return nullptr;
    for (QAction* item : first->actions())
        if (item->text() == tr("Services")) return item->menu();
    auto* services = new QMenu(tr("Services"), first);
    const QList<QAction*> items = first->actions();
    first->insertMenu(items.value(3), services);
    return services;
}

QString AppController::helpPath() {
    return QString::fromStdString((ResourceFolder::folder() / "TPHelp" / "index.html").string());
}

void AppController::showHelp() { QDesktopServices::openUrl(QUrl::fromLocalFile(helpPath())); }

void AppController::showPreferencePanel() {
    if (!preferencesController_)
        preferencesController_ = std::make_unique<PreferencesController>(UserDefaults::standard());
    preferencesController_->show();
    preferencesController_->raise();
    preferencesController_->activateWindow();
}

void AppController::applicationWillTerminate() {
    if (preferencesController_) preferencesController_->windowDidResignKey(true);
    UserDefaults::standard().synchronize();
}

void AppController::terminate() {
    applicationWillTerminate();
    QCoreApplication::quit();
}

void AppController::bringForward() {
    mainController_->show();
    mainController_->raise();
    mainController_->activateWindow();
}

}  // namespace kl::tempolin
