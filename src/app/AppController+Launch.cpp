// The application object's life: launch steps, first run of a newer build,
// the start queue, activations and shut-down.
#include <sys/utsname.h>

#include <cmath>

#include "app/AppController.h"
#include "app/AppDesktop.h"
#include "app/LibraryFolder.h"
#include "app/Preferences.h"
#include "dates/DateBridge.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

AppController* theApp = nullptr;
LibraryFolder* theLibrary = nullptr;

constexpr const char* kCheckSystem = "check system";
constexpr const char* kWelcome = "welcome";
constexpr const char* kLaunchFailed = "Application failed to initialize";
// The display format the default date preferences build.

std::string systemName() {
    struct utsname name {};
    if (::uname(&name) != 0) return "an unknown system";
    return std::string(name.sysname) + " " + name.release;
}

}  // namespace

AppController::AppController(AppDesktop& desktop, UserDefaults& defaults) : desktop_(desktop), defaults_(defaults) {}

AppController::~AppController() {
    if (theApp == this) theApp = nullptr;
    if (theLibrary == library_.get()) theLibrary = nullptr;
}

AppController* AppController::myApp() { return theApp; }

LibraryFolder* AppController::sharedLibrary() { return theLibrary; }

std::int64_t AppController::versionStamp(float versionNumber, int buildNumber) {
    int beta = 0;
    const double version = decodeVersionNumber(versionNumber, &beta);
    return static_cast<std::int64_t>(std::floor(version * 1000.0 + 0.1)) + std::int64_t{buildNumber} * 10 + beta;
}

// ---- Launch

bool AppController::applicationWillFinishLaunching() {
    theApp = this;
    startQueue_ = std::vector<std::string>{kCheckSystem, kWelcome};
    Logger::log("Launching Kinlore II");
    try {
        launchSteps();
    } catch (const NamedException& e) {
        failLaunch(e.message());
        return false;
    } catch (const std::exception& e) {
        failLaunch(e.what());
        return false;
    }
    launched_ = true;
    return true;
}

void AppController::launchSteps() {
    Logger::log("...in {}", systemName());
    updateUserPreferences();
    desktop_.createDocController();
    library_ = std::make_unique<LibraryFolder>(defaults_, desktop_.libraryPrompts());
    theLibrary = library_.get();
    library_->setupLibrary();
    library_->readFontsAndColors();
    library_->setInDarkMode(desktop_.isDarkMode());
    configureDatesAndRecords();
    createWorkingDirectory();
    // Distributions dropped the unversioned python name; a stored default
    // that still names it would start nothing.
    if (defaults_.stringForKey("Path to python") == std::optional<std::string>("/usr/bin/python"))
        defaults_.setObject(Value("/usr/bin/python3"), "Path to python");
    desktop_.observeMenus();
}

void AppController::configureDatesAndRecords() {
    initDateDisplaySettings(Preferences::currentDateFormatString(defaults_), defaults_.boolForKey("Assume dd/mm/yy if Ambiguous"),
                            static_cast<int>(defaults_.integerForKey("Assume Century if Needed")),
                            static_cast<int>(defaults_.integerForKey("GEDCOM Date Words Format")) - 1,
                            defaults_.boolForKey("Ignore User Date Format"));
    desktop_.copyTreeSettings();
    desktop_.setupExportPreferences();
    GEDCOMRecord::setTrackingChangeDates(defaults_.boolForKey("Tracked Record Changed Dates"));
    GEDCOMRecord::setInsertingUUIDs(defaults_.boolForKey("Insert UUIDs"));
    GEDCOMRecord::setCachingWhenSave(defaults_.boolForKey("Allow Fast Saves"));
}

void AppController::failLaunch(const std::string& reason) {
    Logger::log("{}: {}", kLaunchFailed, reason);
    desktop_.runCriticalAlert(kLaunchFailed, reason);
    desktop_.terminate();
}

void AppController::updateUserPreferences() {
    const double stored = defaults_.doubleForKey("Preferences Version Number");
    const double running = appVersionNumber;
    if (stored >= running) return;
    if (stored < 1.1) defaults_.setObject(Value(readBundleDictionary("PanelIndex")), "Panel Column Settings");
    defaults_.setObject(Value(running), "Preferences Version Number");
}

void AppController::applicationDidFinishLaunching() {
    if (!launched_) return;
    const std::int64_t stamp = versionStamp(appVersionNumber, bundleVersion);
    if (stamp <= defaults_.integerForKey("Last Version Run")) return;
    defaults_.setObject(Value(stamp), "Last Version Run");
    defaults_.setObject(Value(true), "Show Startup Screen");
    library_->switchToDefaultFormat();
    if (desktop_.runFirstRunScript(library_->rootLibraryFile(firstRunScript), "Cleaning up system scripts folder"))
        desktop_.refreshScriptsMenu();
}

// ---- Activation and the start queue

void AppController::applicationDidBecomeActive() {
    if (!launched_) return;
    desktop_.initScripts();
    if (startQueue_) {
        desktop_.performLater([this] { runStartQueue(); });
        return;
    }
    if (!desktop_.hasOpenDatabases() && !desktop_.hasDerevAzeduze() && defaults_.boolForKey("Show Startup Screen"))
        desktop_.showStartupScreen(false);
}

void AppController::runStartQueue() {
    if (!startQueue_) return;
    // Emptied before the steps run: an alert or sheet during a step that
    // activates the application again must not start them a second time.
    const std::vector<std::string> steps = std::move(*startQueue_);
    startQueue_.reset();
    for (const std::string& step : steps) runStep(step);
    desktop_.readMapInfo();
    if (defaults_.boolForKey("Check for Updates")) desktop_.checkForUpdate();
}

void AppController::runStep(const std::string& step) {
    if (step == kCheckSystem) {
        if (library_) library_->installSystemResources(true);
    } else if (step == kWelcome) {
        if (!desktop_.hasOpenDatabases() && defaults_.boolForKey("Show Startup Screen"))
            desktop_.showStartupScreen(false);
    }
}

// ---- Shut-down

bool AppController::applicationShouldTerminate() {
    desktop_.prefTerminate();
    return true;
}

void AppController::applicationWillTerminate() {
    if (library_) library_->libTerminate();
    destroyWorkingDirectory();
    defaults_.synchronize();
}

}  // namespace kl
