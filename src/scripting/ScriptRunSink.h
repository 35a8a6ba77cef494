#pragma once
// ScriptRunSink: what an internal script's run asks of the panel that shows
// it (the script run panel fills it; tests record the calls). A run tells
// it that it started, hands it messages and output, and finally its result.
//
// Thread: every call comes on the main thread; the interpreter hands each
// one over from its own thread and waits for it.
#include <memory>
#include <string>

namespace kl {

class RunServer;

class ScriptRunSink {
public:
    virtual ~ScriptRunSink() = default;

    // A new run under this title: the first one (initForScript) or a later
    // one (restart); the panel is shown collapsed with its spinner.
    virtual void initForScript(const std::string& title) = 0;
    virtual void restart(const std::string& title) = 0;
    virtual void showWindow() {}
    // The interpreter that runs now (its Stop goes there), nullptr after.
    virtual void setRunServe(std::shared_ptr<RunServer> server) = 0;
    virtual void processStarted() = 0;
    // A message that does not count as output: "|text" continues the line.
    virtual void showScriptMessage(const std::string& text) = 0;
    // Empties the output, then shows the text when there is one.
    virtual void clearScriptMessage(const std::string* text) = 0;
    virtual void appendOutput(const std::string& text) = 0;
    // code 1 done, 2 failed.
    virtual void doneTitle(const std::string& text, int code) = 0;
    virtual void processFinished(int status) = 0;
};

}  // namespace kl
