// The Help menu, the help viewer, the about panel and the start screen of
// the application.
#include <QApplication>
#include <QHostAddress>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkInterface>
#include <QTimer>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/UpdateChecker.h"
#include "app/ui/AboutPanel.h"
#include "app/ui/DocController.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/KLSheet.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/StartScreenController.h"
#include "foundation/Logger.h"

namespace kl {

namespace {

constexpr int kQuickStartTag = 7004;
constexpr int kTutorialsTag = 7005;
constexpr int kDerevAzeduzeWindowTag = 6101;

std::function<bool(int)>& derevAzeduzeOpener() {
    static std::function<bool(int)> opener;
    return opener;
}

// This computer's address for its own web sharing: the first address of an
// interface that is up and not the loopback, else the loopback.
std::string localIPAddress() {
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString().toStdString();
    return "127.0.0.1";
}

std::string loginName() {
    const QByteArray user = qgetenv("USER");
    return user.isEmpty() ? std::string("user") : user.toStdString();
}

}  // namespace

void KinloreApplication::installHelp() {
    AppController::setHelpViewer([this](const std::filesystem::path& page, const std::string& anchor) {
        if (!helpViewer_) helpViewer_ = std::make_unique<HelpViewer>();
        helpViewer_->showPage(page, anchor);
    });
    // Help buttons name their page, or carry the tag of one.
    KLSheet::setHelpHandler([this](QObject* sender) {
        const QVariant anchor = sender ? sender->property("helpAnchor") : QVariant();
        if (anchor.isValid()) {
            const QVariant prefix = sender->property("helpPrefix");
            AppController::showAnchor(anchor.toString().toStdString(),
                                      prefix.isValid() ? std::optional(prefix.toString().toStdString()) : std::nullopt,
                                      defaults_);
            return;
        }
        const QVariant tag = sender ? sender->property("tag") : QVariant();
        showHelp(tag.isValid() ? std::optional(tag.toInt()) : std::nullopt);
    });
}

void KinloreApplication::addHelpMenu(QMainWindow& window) {
    QMenu* menu = window.menuBar()->addMenu(tr("&Help"));
    QAction* help = menu->addAction(tr("Kinlore II Help"), this, [this] { showHelp(std::nullopt); });
    help->setShortcut(QKeySequence::HelpContents);
    menu->addAction(tr("Quick Start"), this, [this] { showHelp(kQuickStartTag); });
    menu->addAction(tr("Format Help"), this, &KinloreApplication::showFormatHelp);
    menu->addAction(tr("Show Start Screen"), this, [this] { showStartupScreen(true); });
    menu->addSeparator();
    menu->addAction(tr("Tutorials"), this, [] { AppController::showTutorials(kTutorialsTag); });
    menu->addAction(tr("Scripting Tutorial"), this, [] { AppController::showTutorials(0); });
    menu->addAction(tr("Interface Formats Web Site"), this, [] { AppController::showFormatsWebSite(); });
    menu->addAction(tr("Extensions Web Site"), this, [] { AppController::showScriptsWebSite(); });
    menu->addAction(tr("Kinlore Web Site"), this, [] { AppController::showTorvickWebSite(); });
    menu->addAction(tr("Discussion Group"), this, [] { AppController::showDiscussionGroup(); });
    menu->addAction(tr("Mail to Support"), this, [] { AppController::sendTorvickEmail(); });
    menu->addAction(tr("Check for Updates..."), this, [] { UpdateChecker::checkForUpdate(true); });
    menu->addSeparator();
    menu->addAction(tr("Derev Azeduze Web Page"), this, [this] { showDerevAzeduze(0); });
    menu->addAction(tr("Empty Derev Azeduze Cache"), this, &KinloreApplication::emptyPlaceAdivsorCache);
    menu->addSeparator();
    QAction* about = menu->addAction(tr("About Kinlore II"), this, &KinloreApplication::showAboutPanel);
    about->setMenuRole(QAction::AboutRole);
}

void KinloreApplication::checkForUpdate() { UpdateChecker::checkForUpdate(false); }

void KinloreApplication::readMapInfo() { UpdateChecker::readMapInfo(); }

void KinloreApplication::addHelpMenuToDocumentWindows() {
    DocController::WindowFactory made = docController_->windowFactory();
    if (!made) return;
    docController_->setWindowFactory([this, made](GEDCOMDocument& document, DocController& controller) {
        std::unique_ptr<QMainWindow> window = made(document, controller);
        if (window) addHelpMenu(*window);
        return window;
    });
}

void KinloreApplication::showHelp(std::optional<int> tag) { AppController::showHelp(tag, defaults_); }

void KinloreApplication::showFormatHelp() {
    LibraryFolder* library = AppController::sharedLibrary();
    const auto page = library ? AppController::formatHelpPage(library->templates().templateFilePath(""),
                                                              library->templates().language())
                              : std::nullopt;
    if (!page) {
        beep();
        runCriticalAlert("The current format does not have any help documentation", "");
        return;
    }
    AppController::openAddress(AppController::fileAddress(*page));
}

void KinloreApplication::showAboutPanel() {
    if (!aboutPanel_) aboutPanel_ = std::make_unique<AboutPanel>();
    aboutPanel_->show();
    aboutPanel_->raise();
    aboutPanel_->activateWindow();
}

void KinloreApplication::setDerevAzeduzeOpener(std::function<bool(int)> opener) {
    derevAzeduzeOpener() = std::move(opener);
}

void KinloreApplication::showDerevAzeduze(int tag) {
    if (tag == kDerevAzeduzeWindowTag) {
        if (!derevAzeduzeOpener() || !derevAzeduzeOpener()(tag)) beep();
        return;
    }
    AppController::openAddress(AppController::derevAzeduzeAddress(
        static_cast<int>(defaults_.integerForKey("Use Local Place Data")), localIPAddress(), loginName()));
}

void KinloreApplication::emptyPlaceAdivsorCache() {
    std::string reason;
    if (!AppController::emptyPlaceAdivsorCache(&reason))
        runCriticalAlert("The Derev Azeduze cache could not be emptied.", reason);
}

void KinloreApplication::beep() {
    ++beeps_;
    QApplication::beep();
}

// ---- Start screen

void KinloreApplication::showStartupScreen(bool fromMenu) {
    if (!docController_ || quitting_ || terminated_) return;
    if (!startScreen_) {
        StartScreenController::Commands commands;
        commands.openRecent = [this](const std::filesystem::path& path) {
            std::string error;
            if (!docController_->openDocument(path, &error) && !error.empty())
                Logger::log("{} {}", path.string(), error);
        };
        commands.openSample = [this] {
            const LibraryFolder* library = AppController::sharedLibrary();
            std::string error;
            if (!library || !docController_->openDocument(library->sampleDatabasePath(), &error))
                if (!error.empty()) runCriticalAlert("The selected sample file failed to open.", error);
        };
        commands.createNewFile = [this] {
            if (!docController_->newDocument()) runCriticalAlert("The new file could not be created.", "");
        };
        commands.openOtherFile = [this] { docController_->openDocumentFromPanel(); };
        commands.gettingStarted = [this] { showHelp(std::nullopt); };
        commands.close = [this] { clearStartupController(nullptr); };
        // After the click or event that asked, and never once the
        // application is gone.
        for (auto* command : {&commands.createNewFile, &commands.openOtherFile, &commands.gettingStarted,
                              &commands.openSample, &commands.close})
            *command = [this, run = std::move(*command)] { QTimer::singleShot(0, this, run); };
        commands.openRecent = [this, open = std::move(commands.openRecent)](const std::filesystem::path& path) {
            QTimer::singleShot(0, this, [open, path] { open(path); });
        };
        auto* screen = new StartScreenController(!fromMenu && docController_->recentDocuments().recentDocumentURLs().empty(),
                                                 docController_->recentDocuments().recentDocumentURLs(), commands,
                                                 defaults_);
        startScreen_ = screen;
    }
    startScreen_->show();
    startScreen_->raise();
    startScreen_->activateWindow();
}

void KinloreApplication::clearStartupController(GEDCOMDocument* document) {
    if (!startScreen_) return;
    if (document) {
        if (QMainWindow* window = docController_->windowForDocument(*document)) {
            window->raise();
            window->activateWindow();
        }
        return;
    }
    StartScreenController* screen = startScreen_.data();
    startScreen_.clear();
    screen->hide();
    screen->deleteLater();
}

}  // namespace kl
