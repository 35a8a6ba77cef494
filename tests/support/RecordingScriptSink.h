#pragma once
// A script run panel for tests: records what a run shows, in order, and
// lets a test wait until the run has finished.
#include <string>
#include <utility>
#include <vector>

#include "scripting/ScriptRunSink.h"

namespace kl::test {

class RecordingScriptSink : public ScriptRunSink {
public:
    void initForScript(const std::string& title) override { titles.push_back(title); }
    void restart(const std::string& title) override { titles.push_back(title); }
    void setRunServe(std::shared_ptr<RunServer> server) override { serving = std::move(server); }
    void processStarted() override { ++started; }
    void showScriptMessage(const std::string& text) override { messages.push_back(text); }
    void clearScriptMessage(const std::string* text) override {
        output.clear();
        if (text) messages.push_back(*text);
    }
    void appendOutput(const std::string& text) override { output += text; }
    void doneTitle(const std::string& text, int code) override { done.emplace_back(text, code); }
    void processFinished(int) override { ++finished; }

    std::vector<std::string> titles;
    std::shared_ptr<RunServer> serving;
    int started = 0;
    int finished = 0;
    std::vector<std::string> messages;
    std::string output;
    std::vector<std::pair<std::string, int>> done;
};

}  // namespace kl::test
