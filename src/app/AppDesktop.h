#pragma once
// AppDesktop: what the application object's life asks of the windows around
// it. The Qt application implements it; tests record the calls. Every
// answer has a window-free default, and the steps that belong to windows
// not built yet (start screen, scripts, maps, update check, chart and
// export settings) stay empty here until their windows exist.
//
// Thread: main thread, like the application object that calls it.
#include <filesystem>
#include <functional>
#include <string>

#include "app/LibraryFolder.h"

namespace kl {

class AppDesktop {
public:
    virtual ~AppDesktop() = default;

    // Launch: the document controller becomes the shared one.
    virtual void createDocController() {}
    // The alerts and install question the library folder shows.
    virtual LibraryPrompts libraryPrompts() { return {}; }
    virtual bool isDarkMode() { return false; }
    // Chart globals and the export dialog's class settings from the defaults.
    virtual void copyTreeSettings() {}
    virtual void setupExportPreferences() {}
    // Menus that follow the main window and the albums.
    virtual void observeMenus() {}

    // Whether a database document is open (hasDocumentsOfClass).
    virtual bool hasOpenDatabases() { return false; }
    virtual bool hasDerevAzeduze() { return false; }
    virtual void showStartupScreen(bool /*fromMenu*/) {}

    // Scripts: the next internal script gets a new interpreter; the
    // first-run script is loaded and run (false when it does not load).
    virtual void initScripts() {}
    virtual bool runFirstRunScript(const std::filesystem::path& /*script*/, const std::string& /*title*/) {
        return false;
    }
    virtual void refreshScriptsMenu() {}

    // Background reads started once the start queue has run.
    virtual void readMapInfo() {}
    virtual void checkForUpdate() {}

    // The preferences window finishes its work before quitting.
    virtual void prefTerminate() {}

    // Runs a step on a later turn of the event loop (a delay of 0).
    virtual void performLater(std::function<void()> step) { step(); }
    // The modal critical alert of a failed launch (no button titles).
    virtual void runCriticalAlert(const std::string& /*message*/, const std::string& /*information*/) {}
    // Ends the application after a failed launch.
    virtual void terminate() {}
};

}  // namespace kl
