#include "app/ui/KinloreApplication.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QThread>
#include <QTimer>

#include "document/ExportOptions.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/KLSheet.h"
#include "app/ui/StartScreenController.h"
#include "app/ui/AboutPanel.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/PreferencesController.h"
#include "foundation/Reclaimer.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

void criticalInPanel(const std::string& message, const std::string& information) {
    QMessageBox box(QMessageBox::Critical, QObject::tr("Kinlore II"), qt(message), QMessageBox::Ok);
    box.setInformativeText(qt(information));
    box.exec();
}

void infoInPanel(const std::string& message, const std::string& information) {
    QMessageBox box(QMessageBox::Information, QObject::tr("Kinlore II"), qt(message), QMessageBox::Ok);
    box.setInformativeText(qt(information));
    box.exec();
}

// Closing the stand-in window is quitting, as long as no database is open.
// Once the quit is under way it closes like any window: a visible window
// that refuses its close event cancels the application's quit.
class EmptyWindow : public QMainWindow {
public:
    explicit EmptyWindow(KinloreApplication& application) : application_(application) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        if (application_.quitting()) {
            event->accept();
            return;
        }
        event->ignore();
        QTimer::singleShot(0, &application_, [app = &application_] { app->quit(); });
    }

private:
    KinloreApplication& application_;
};

}  // namespace

KinloreApplication::KinloreApplication(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), alertPresenter_(criticalInPanel), infoPresenter_(infoInPanel) {
    app_ = std::make_unique<AppController>(*this, defaults_);
}

KinloreApplication::~KinloreApplication() {
    AppController::setHelpViewer(nullptr);
    KLSheet::setHelpHandler(nullptr);
    delete startScreen_.data();
    delete emptyWindow_.data();
    preferences_.reset();
    // A script still running ends before the documents it may use.
    scripts_.reset();
    // Documents and their windows go before the library they may use.
    docController_.reset();
    app_.reset();
}

bool KinloreApplication::launch() {
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        application->setQuitOnLastWindowClosed(false);
        connect(application, &QGuiApplication::applicationStateChanged, this,
                &KinloreApplication::applicationStateChanged);
    }
    try {
        AppController::initialize(defaults_);
    } catch (const std::exception& e) {
        runCriticalAlert("Application failed to initialize", e.what());
        terminate();
        return false;
    }
    installHelp();
    if (!app_->applicationWillFinishLaunching()) return false;
    app_->applicationDidFinishLaunching();
    connect(qApp, &QCoreApplication::aboutToQuit, this, &KinloreApplication::terminateApplication);
    // Without a window manager the application may never be told it is
    // active; the first turn of the event loop counts as the first
    // activation, and the controller runs its queue only once.
    QTimer::singleShot(0, this, [this] { activated(true); });
    return true;
}

void KinloreApplication::applicationStateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive && app_->launched() && !terminated_) activated(false);
}

// A read serves the event loop while it waits, so an activation can come in
// the middle of opening the files of the command line: it waits for the
// opening to end, so the start queue and the stand-in window see the
// databases that were opened.
void KinloreApplication::activated(bool first) {
    if (openingFiles_ > 0) {
        pendingActivation_ = true;
        pendingFirstActivation_ = pendingFirstActivation_ || first;
        return;
    }
    if (terminated_) return;
    app_->applicationDidBecomeActive();
    if (first && !hasOpenDatabases()) showEmptyWindow();
}

void KinloreApplication::openFiles(const std::vector<fs::path>& files) {
    ++openingFiles_;
    docController_->openDocuments(files);
    --openingFiles_;
    if (openingFiles_ == 0 && pendingActivation_) {
        const bool first = pendingFirstActivation_;
        pendingActivation_ = pendingFirstActivation_ = false;
        activated(first);
    }
    if (files.empty() || !hasOpenDatabases()) bringForward();
}

void KinloreApplication::bringForward() {
    if (hasOpenDatabases()) {
        if (QMainWindow* window = docController_->windowForDocument(*docController_->documents().back())) {
            window->raise();
            window->activateWindow();
        }
        return;
    }
    showEmptyWindow();
}

bool KinloreApplication::quit() {
    if (quitting_) return true;
    if (!app_->applicationShouldTerminate()) return false;
    // While the documents are reviewed, the last one closing must not bring
    // the stand-in window back; a Cancel leaves everything as it was.
    quitting_ = true;
    // The databases closed from here on are left to the system, which takes
    // their memory back at once, instead of being freed record by record.
    Reclaimer::setProcessEnding(true);
    if (docController_ && !docController_->closeAllDocuments()) {
        Reclaimer::setProcessEnding(false);
        quitting_ = false;
        documentsChanged();
        return false;
    }
    if (emptyWindow_) emptyWindow_->hide();
    clearStartupController(nullptr);
    terminateApplication();
    // The review is over and the user agreed: the loop ends whatever window
    // is still up. Outside a running loop (tests) there is nothing to end.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
    return true;
}

void KinloreApplication::terminateApplication() {
    if (terminated_) return;
    terminated_ = true;
    if (app_->launched()) app_->applicationWillTerminate();
}

void KinloreApplication::documentsChanged() {
    if (quitting_ || terminated_) return;
    if (hasOpenDatabases()) {
        if (emptyWindow_) emptyWindow_->hide();
        clearStartupController(nullptr);
    } else {
        showEmptyWindow();
    }
}

void KinloreApplication::showEmptyWindow() {
    if (quitting_ || terminated_ || !docController_) return;
    if (!emptyWindow_) {
        auto* window = new EmptyWindow(*this);
        window->setWindowTitle(tr("Kinlore II"));
        window->menuBar()->addMenu(docController_->buildFileMenu(window, nullptr));
        if (scripts_) scripts_->addMenus(*window);
        addHelpMenu(*window);
        // Started from a desktop entry or a terminal with no file, the
        // window is where a user begins: the commands are on its face too.
        auto* face = new QWidget(window);
        auto* layout = new QVBoxLayout(face);
        auto* label = new QLabel(tr("Open a database with File ▸ Open… or start one with File ▸ New."), face);
        label->setAlignment(Qt::AlignCenter);
        label->setMargin(12);
        layout->addWidget(label);
        auto* buttons = new QHBoxLayout;
        const struct {
            QString title;
            std::function<void()> command;
        } commands[] = {
            {tr("New"), [this] { docController_->newDocument(); }},
            {tr("Open…"), [this] { docController_->openDocumentFromPanel(); }},
            {tr("Open Sample Database"), [this] { openSampleDatabase(); }},
        };
        for (const auto& command : commands) {
            auto* button = new QPushButton(command.title, face);
            connect(button, &QPushButton::clicked, this,
                    [this, run = command.command] { QTimer::singleShot(0, this, run); });
            buttons->addWidget(button);
        }
        layout->addLayout(buttons);
        window->setCentralWidget(face);
        window->resize(520, 200);
        emptyWindow_ = window;
    }
    emptyWindow_->show();
    emptyWindow_->raise();
}

void KinloreApplication::openSampleDatabase() {
    const LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return;
    openFiles({library->sampleDatabasePath()});
}

// ---- AppDesktop

void KinloreApplication::createDocController() {
    docController_ = std::make_unique<DocController>(defaults_);
    connect(docController_.get(), &DocController::documentsChanged, this, &KinloreApplication::documentsChanged);
    connect(docController_.get(), &DocController::quitRequested, this, [this] { quit(); });
    connect(docController_.get(), &DocController::preferencesRequested, this, &KinloreApplication::showPreferences);
}

LibraryPrompts KinloreApplication::libraryPrompts() {
    LibraryPrompts prompts;
    prompts.criticalAlert = [this](const std::string& m, const std::string& i) { runCriticalAlert(m, i); };
    prompts.infoAlert = [this](const std::string& m, const std::string& i) {
        if (infoPresenter_) infoPresenter_(m, i);
    };
    return prompts;
}

bool KinloreApplication::isDarkMode() {
    const QPalette palette = QApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void KinloreApplication::setupExportPreferences() { ExportOptions::setupExportPreferences(defaults_); }

bool KinloreApplication::hasOpenDatabases() { return docController_ && docController_->hasDocumentsOfClass(); }

void KinloreApplication::initScripts() {
    if (scripts_) scripts_->initScripts();
}

void KinloreApplication::performLater(std::function<void()> step) { QTimer::singleShot(0, this, std::move(step)); }

void KinloreApplication::runCriticalAlert(const std::string& message, const std::string& information) {
    if (alertPresenter_) alertPresenter_(message, information);
}

void KinloreApplication::terminate() { terminated_ = true; }

void KinloreApplication::prefTerminate() {
    if (preferences_) preferences_->prefTerminate();
}

void KinloreApplication::showPreferences() {
    if (!preferences_) {
        preferences_ = std::make_unique<PreferencesController>(defaults_);
        preferences_->setRestoreResources([this] {
            LibraryFolder* library = AppController::sharedLibrary();
            if (!library) return;
            library->installSystemResources(false);
            performLater([] {
                if (LibraryFolder* restored = AppController::sharedLibrary()) restored->finishRestore();
            });
        });
        preferences_->setApplicationChooser([this] {
            // Applications are the desktop entries; the helper is named
            // by its entry without the extension.
            const QString file = QFileDialog::getOpenFileName(preferences_.get(), tr("Choose Application"),
                                                              "/usr/share/applications", tr("Applications (*.desktop)"));
            return file.isEmpty() ? std::string() : QFileInfo(file).completeBaseName().toStdString();
        });
    }
    preferences_->showWindow();
}

}  // namespace kl
