#pragma once
// ScriptsDesktop: internal scripts in Kinlore II. It keeps the one script
// run panel, the pasteboard of scripts and the ScriptController, gives every
// main window the Extensions menu built from the library's scripts, formats
// and extensions, and runs the item the user picks.
//
// Ownership: made by main() (or a test) and handed to the KinloreApplication
// as its ScriptsHost; the library folder belongs to the application's
// controller and outlives it. Thread: GUI thread.
#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>

#include "app/ui/ScriptsHost.h"
#include "foundation/Value.h"
#include "scripting/ExtensionInstaller.h"

class QMenu;

namespace kl {

class AppleScriptActivePanel;
class DocController;
class ExtensionInstaller;
class LibraryFolder;
class ExtensionDocs;
class QtClipboard;
class QtScriptApplication;
class ScriptController;
class ScriptRunner;
class UserDefaults;

class ScriptsDesktop : public QObject, public ScriptsHost {
    Q_OBJECT
public:
    // The main-menu item whose submenu is the Extensions menu.
    static constexpr int extensionsMenuTag = 8000;

    explicit ScriptsDesktop(UserDefaults& defaults, QObject* parent = nullptr);
    ~ScriptsDesktop() override;

    // ScriptsHost
    void initScripts() override;
    void addMenus(QMainWindow& window) override;

    // Gives the windows the document controller makes the Extensions menu.
    void addMenusToDocumentWindows(DocController& documents);
    // Refills the menu from the library's list (it is rebuilt each time it
    // opens, so it follows every buildScriptsMenu).
    void fillExtensionsMenu(QMenu& menu);
    // An Extensions-menu item: the file at that index of the plug-in list
    // runs; with the Alt key held it opens for editing in Kinlore Editor.
    void openScriptsMenuCmd(int tag);
    void openScriptsMenuCmd(int tag, bool alt);
    // Runs one script file (a format's link, an outside request).
    ScriptRunner& runner();
    // Opens a file in Kinlore Editor; false when the editor could not start.
    using EditorLauncher = std::function<bool(const std::filesystem::path&)>;
    void setEditorLauncher(EditorLauncher launcher) { openInEditor_ = std::move(launcher); }
    // Install Extensions…: a package and the library it goes to.
    void installPluginMenuCmd();
    // Remove User Extensions… (8003) and Remove System Extensions… (8005).
    void removePluginMenuCmd(int tag);
    // Documentation...: the documentation viewer on the library's current
    // documentation menu, made on first use.
    void showDocumentation();
    ExtensionDocs* documentation() const { return docs_.get(); }

    ScriptController& controller();
    AppleScriptActivePanel& panel() { return *panel_; }
    // Tests hear the beep.
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

private:
    LibraryFolder* library() const;
    ExtensionInstaller installer();
    ExtensionPrompts prompts();
    void openInEditor(const std::filesystem::path& path);
    void openFormat(const std::filesystem::path& path);

    UserDefaults& defaults_;
    std::shared_ptr<AppleScriptActivePanel> panel_;
    std::shared_ptr<QtClipboard> clipboard_;
    std::shared_ptr<QtScriptApplication> application_;
    std::unique_ptr<ScriptController> controller_;
    // Where scripts find the open documents; set with the window factory.
    DocController* documents_ = nullptr;
    std::function<void()> beep_;
    std::unique_ptr<ExtensionDocs> docs_;
    std::unique_ptr<ScriptRunner> runner_;
    EditorLauncher openInEditor_;
};

}  // namespace kl
