#pragma once
// ScriptRunner: how Kinlore II runs a script file the user or a format
// names. It finds a named script in the user and the system library,
// recognises its kind from its name, hands internal scripts (.klscpt) to
// the interpreter, starts Python scripts (.py) as child processes under
// the run panel, and decodes extension packages (.kplug) through their
// "manifest.plist" to the script they run. AppleScripts cannot run on
// Linux: they are refused with an alert that says so.
//
// Every failure ends in one alert (or a beep and an alert) and leaves no
// state behind. The windows, the interpreter and the child process are
// reached through the ports the desktop gives, so the rules are tested
// without them.
//
// Ownership: made by the desktop and kept with it; the library folder and
// the defaults outlive it. Thread: main thread.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scripting/ExtensionInstaller.h"
#include "scripting/TaskCommand.h"

namespace kl {

class LibraryFolder;
class UserDefaults;

// Where a run comes from; only Format changes the wording of a failure.
enum class ScriptRunSource { AppleEvent = 0, ExtensionsMenu = 1, Format = 2, FirstRun = 3 };

// Where a named script is looked for: the system library, the user library
// first, or the current interface format's folder.
enum class ScriptLinkType { System = 0, User = 1, Format = 2 };

// What a script file is and the title its run shows.
struct ScriptKind {
    // "scpt" or "applescript" (AppleScripts), "klscpt", "py", or anything
    // else (refused).
    std::string kind;
    std::string title;
    // A missing ".scpt" stands for its ".applescript" twin.
    std::filesystem::path path;
};

class ScriptRunner {
public:
    static constexpr const char* pythonPathKey = "Path to python";
    // Handed to every Python script as its second argument.
    static constexpr const char* bundleIdentifier = "org.kinlore.KinloreII";

    struct Ports {
        // criticalAlert, choose and beep are used.
        ExtensionPrompts prompts;
        // Runs an internal script under the panel; false when it did not start.
        std::function<bool(const std::filesystem::path& path, const std::string& title)> interpret;
        // Restarts (or makes) the run panel with the title, shows it and
        // starts the child: launch path then arguments, environment, folder.
        std::function<void(const std::string& title, std::vector<std::string> arguments,
                           TaskCommand::Environment environment, std::filesystem::path folder)>
            startProcess;
        std::function<void(const std::string& message)> setScriptMessage;
    };

    ScriptRunner(const LibraryFolder* library, const UserDefaults& defaults, float appVersion, Ports ports);

    static ScriptKind scriptKind(const std::filesystem::path& path, const std::string& title);

    // The file a named script of the type is run from.
    std::filesystem::path namedScriptPath(const std::string& name, ScriptLinkType type) const;
    // A link button or a format menu: finds the script, sets the script
    // message and runs it as the format's.
    void runScript(const std::string& name, ScriptLinkType type, const std::optional<std::string>& message);
    void runScriptAtPath(const std::filesystem::path& path, const std::string& title, ScriptRunSource source);
    // The script an extension package runs (asking which one when its
    // manifest offers options); the manifest's "menu command" becomes the
    // title. nullopt after the refusal alert, or when the user cancelled.
    std::optional<std::filesystem::path> decodePluginBundle(const std::filesystem::path& package, std::string& title);

private:
    void refuse(const std::string& informative);

    const LibraryFolder* library_;
    const UserDefaults& defaults_;
    float appVersion_;
    Ports ports_;
};

}  // namespace kl
