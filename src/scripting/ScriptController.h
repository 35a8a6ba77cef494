#pragma once
// ScriptController: the application's side of internal scripts. It starts a
// run of a .klscpt file under the script run panel, keeps the one
// interpreter that serves runs until the application drops it (initScripts,
// on every activation), stops a run on request and shows a run's result
// when it ends.
//
// A second script started while one runs is refused with an alert; the
// running one goes on untouched.
//
// Ownership: made once by the application and kept to its end; shares its
// interpreter with the thread of a run. The panel, the pasteboard and the
// application object are shared ports; the library folder is a plain
// pointer that outlives the controller (or null: scripts then find modules
// in their own folder only and no language strings).
// Thread: main thread, except what a run reads (ports, language strings).
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "scripting/ClipboardPort.h"
#include "scripting/ScriptRunSink.h"

namespace kl {

class LibraryFolder;
class RunServer;

class ScriptController {
public:
    struct Ports {
        std::shared_ptr<ScriptRunSink> sink;
        std::shared_ptr<ClipboardPort> clipboard;
        // "klapp"; a ScriptApplication without attributes when none is given.
        std::shared_ptr<Object> application;
        const LibraryFolder* library = nullptr;
    };

    explicit ScriptController(Ports ports);
    ~ScriptController();
    ScriptController(const ScriptController&) = delete;
    ScriptController& operator=(const ScriptController&) = delete;

    // Starts a run of the script file under the title. false when nothing
    // was started (unreadable file, another script running).
    bool interpretScript(const std::filesystem::path& path, const std::string& title);
    // The same for a script text whose folder is given; objects are handed
    // to the script by name (a caller's list of records, a document).
    bool interpretScriptText(const std::string& text, const std::string& title,
                             const std::filesystem::path& scriptFolder, Dictionary objects = {});

    // Makes the interpreter when there is none.
    void openServer();
    // Forgets the interpreter; a run under way keeps it and finishes.
    void initScripts();
    // Stops the run of the current interpreter (control 2).
    void killThread();
    // The end of a run: with a result [report, code] the panel shows it as
    // failed; in every case the panel hears that the process finished.
    void klscrptDone(const std::optional<Array>& result);

    const std::shared_ptr<RunServer>& server() const { return server_; }
    bool isRunning() const;

    // What a run reads.
    const Ports& ports() const { return ports_; }
    ScriptRunSink* sink() const { return ports_.sink.get(); }
    ClipboardPort* clipboard() const { return ports_.clipboard.get(); }
    std::shared_ptr<Object> applicationObject() const { return ports_.application; }
    std::optional<std::string> localString(const std::string& key) const;
    const Dictionary& localStrings() const;
    // [".klscpt", script folder, user Modules, System Modules].
    Array moduleSearchList(const std::filesystem::path& scriptFolder) const;

private:
    bool refuseWhileRunning();

    Ports ports_;
    std::shared_ptr<RunServer> server_;
    // The interpreter of the run under way, even after initScripts.
    std::weak_ptr<RunServer> running_;
    bool panelMade_ = false;
};

}  // namespace kl
