#pragma once
// KinloreApplication: the desktop half of the application object. It owns
// the AppController (launch, start queue, activations, shut-down) and the
// document controller, answers the controller's AppDesktop questions with
// Qt, turns the application's activation and quit into the controller's
// steps, and shows a small stand-in window with the File menu whenever no
// database is open, until the start screen exists.
//
// Ownership: made once by main() (or a test) after the QApplication and
// destroyed before it. Thread: main thread.
#include <QMainWindow>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/AppDesktop.h"
#include "app/ui/ScriptsHost.h"
#include "app/ui/StartScreenController.h"

namespace kl {

class AboutPanel;
class DocController;
class HelpViewer;
class PreferencesController;

class GEDCOMDocument;

class KinloreApplication : public QObject, public AppDesktop {
    Q_OBJECT
public:
    using AlertPresenter = std::function<void(const std::string& message, const std::string& information)>;

    explicit KinloreApplication(UserDefaults& defaults = UserDefaults::standard(), QObject* parent = nullptr);
    ~KinloreApplication() override;

    // Registers the defaults and runs the launch steps. False when a step
    // failed: the alert was shown and the application should end.
    bool launch();
    AppController& appController() { return *app_; }
    DocController& docController() { return *docController_; }
    // Opens the files (those of the command line, or handed over by a later
    // start); an activation that comes while they are read waits for them.
    void openFiles(const std::vector<std::filesystem::path>& files);
    // File ▸ Quit: reviews the open documents, then ends the event loop;
    // false when the user kept one open.
    bool quit();
    // The stand-in window's "Open Sample Database": the sample of the
    // installed library.
    void openSampleDatabase();
    // Shut-down without the review (the event loop is ending); runs once.
    void terminateApplication();
    bool terminated() const { return terminated_; }
    // From the moment Quit's review starts until it is cancelled.
    bool quitting() const { return quitting_; }
    // Tests replace the critical and informational alerts.
    void setAlertPresenter(AlertPresenter presenter) { alertPresenter_ = std::move(presenter); }
    void setInfoPresenter(AlertPresenter presenter) { infoPresenter_ = std::move(presenter); }
    // The stand-in window shown while no database is open.
    QMainWindow* emptyWindow() const { return emptyWindow_.data(); }
    // The scripts side (interpreter, run panel, Extensions menu); set before
    // launch. Without one the program runs no scripts.
    void setScriptsHost(std::shared_ptr<ScriptsHost> host) { scripts_ = std::move(host); }
    ScriptsHost* scriptsHost() const { return scripts_.get(); }

    // File ▸ Preferences…: the one preferences window, made on first use.
    void showPreferences();
    PreferencesController* preferences() const { return preferences_.get(); }

    // ---- Help menu (KinloreApplication+Help.cpp)
    // The Help menu of a main window: help pages, the current format's
    // documentation, the product's pages and the about panel.
    void addHelpMenu(QMainWindow& window);
    // Every document window made from now on gets the Help menu too.
    void addHelpMenuToDocumentWindows();
    // A help page by menu or button tag; none for the front page.
    void showHelp(std::optional<int> tag);
    void showFormatHelp();
    void showAboutPanel();
    // Tag 6101 asks for the Derev Azeduze window, any other for its page.
    void showDerevAzeduze(int tag);
    // What opens the Derev Azeduze window (the places library sets it);
    // without one the item beeps.
    static void setDerevAzeduzeOpener(std::function<bool(int tag)> opener);
    void emptyPlaceAdivsorCache();
    HelpViewer* helpViewer() const { return helpViewer_.get(); }
    AboutPanel* aboutPanel() const { return aboutPanel_.get(); }
    // The system beep, counted for tests.
    void beep();
    int beeps() const { return beeps_; }

    // ---- Start screen
    StartScreenController* startScreen() const { return startScreen_.data(); }
    // With a document: its window comes forward (the screen stays); without:
    // the screen closes and is forgotten.
    void clearStartupController(GEDCOMDocument* document);

    // AppDesktop
    void createDocController() override;
    LibraryPrompts libraryPrompts() override;
    bool isDarkMode() override;
    void setupExportPreferences() override;
    bool hasOpenDatabases() override;
    void showStartupScreen(bool fromMenu) override;
    void initScripts() override;
    void performLater(std::function<void()> step) override;
    void runCriticalAlert(const std::string& message, const std::string& information) override;
    // The quiet check of the published version list at start-up.
    void checkForUpdate() override;
    // The start-up read of the map settings.
    void readMapInfo() override;
    void terminate() override;
    void prefTerminate() override;

private:
    void applicationStateChanged(Qt::ApplicationState state);
    // An activation (the first: the first turn of the event loop); waits
    // while the files of the command line are being opened.
    void activated(bool first);
    void documentsChanged();
    void showEmptyWindow();
    void installHelp();
    void bringForward();

    UserDefaults& defaults_;
    std::unique_ptr<DocController> docController_;
    std::unique_ptr<AppController> app_;
    std::shared_ptr<ScriptsHost> scripts_;
    QPointer<QMainWindow> emptyWindow_;
    std::unique_ptr<PreferencesController> preferences_;
    std::unique_ptr<HelpViewer> helpViewer_;
    std::unique_ptr<AboutPanel> aboutPanel_;
    QPointer<StartScreenController> startScreen_;
    int beeps_ = 0;
    AlertPresenter alertPresenter_;
    AlertPresenter infoPresenter_;
    bool terminated_ = false;
    bool quitting_ = false;
    int openingFiles_ = 0;
    bool pendingActivation_ = false;
    bool pendingFirstActivation_ = false;
};

}  // namespace kl
