#pragma once
// Runs internal scripts the way the application does: through the
// ScriptController on a thread of their own, with a queue standing in for
// the main thread, a recording panel and a fake pasteboard.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/DocumentUI.h"
#include "foundation/QueueDispatcher.h"
#include "scripting/ScriptController.h"
#include "support/FakeClipboard.h"
#include "support/RecordingScriptSink.h"

namespace kl::test {

struct ScriptOutcome {
    std::string output;
    // The failure report; empty when the run ended without one.
    std::string report;
};

class ScriptHarness {
public:
    explicit ScriptHarness(const LibraryFolder* library = nullptr, std::shared_ptr<Object> application = nullptr)
        : controller({sink, clipboard, std::move(application), library}) {}

    // Pumps the main-thread queue until the run has told the panel it
    // finished. The limit only guards against a hang: a runaway script's
    // text grows to its cap first, which under the sanitizers on a loaded
    // machine took over 20 s.
    bool waitForEnd(int finishedBefore, std::chrono::seconds limit = std::chrono::seconds(180)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (sink->finished == finishedBefore) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            dispatcher.waitForWork(std::chrono::milliseconds(20));
            dispatcher.runPending();
        }
        return true;
    }

    ScriptOutcome run(const std::string& text, Dictionary objects = {},
                      const std::filesystem::path& folder = std::filesystem::temp_directory_path()) {
        const int before = sink->finished;
        sink->output.clear();
        const std::size_t reports = sink->done.size();
        if (!controller.interpretScriptText(text, "test script", folder, std::move(objects))) return {};
        EXPECT_TRUE(waitForEnd(before)) << "the script did not end: " << text;
        ScriptOutcome outcome{sink->output, {}};
        if (sink->done.size() > reports) outcome.report = sink->done.back().first;
        return outcome;
    }

    QueueDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    std::shared_ptr<RecordingScriptSink> sink = std::make_shared<RecordingScriptSink>();
    std::shared_ptr<FakeClipboard> clipboard = std::make_shared<FakeClipboard>();
    ScriptController controller;
};

// A document's wait behind its progress panel while the test's queue is the
// main thread. The panel's event loop serves the main thread in the
// program; the headless wait does not, so a save or export worker that
// hands a step to the main thread and waits for it (the header's file
// stamp) would wait for ever. This wait serves the queue as the panel
// would.
class QueueServingUI : public DocumentUI {
public:
    explicit QueueServingUI(QueueDispatcher& queue) : queue_(queue) {}
    bool pauseIn(KLProgress& task, double seconds) override {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (task.stillRunning()) {
            if (std::chrono::steady_clock::now() >= until) return true;
            serve();
        }
        return false;
    }
    void runProgress(KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) serve();
    }

private:
    void serve() {
        queue_.waitForWork(std::chrono::milliseconds(10));
        queue_.runPending();
    }
    QueueDispatcher& queue_;
};

}  // namespace kl::test

#include "model/ModelAlerts.h"

namespace kl::test {

// Records the alerts shown while it is installed.
class RecordedAlerts : public ModelAlerts {
public:
    struct Shown {
        Style style;
        std::string message;
        std::string informative;
    };
    int runAlert(Style style, const std::string& message, const std::string& informative,
                 const std::vector<std::string>&) override {
        shown.push_back({style, message, informative});
        return 0;
    }
    std::vector<Shown> shown;
};

struct AlertRecording {
    std::shared_ptr<RecordedAlerts> alerts = std::make_shared<RecordedAlerts>();
    AlertRecording() { ModelAlerts::install(alerts); }
    ~AlertRecording() { ModelAlerts::install(nullptr); }
    AlertRecording(const AlertRecording&) = delete;
    AlertRecording& operator=(const AlertRecording&) = delete;
};

// One script and what its run must leave: the output, and the report that
// ends it (its beginning; nullptr when the run must end without one).
struct ScriptCase {
    const char* name;
    const char* script;
    const char* output;
    const char* report;
};

inline std::string caseName(const ::testing::TestParamInfo<ScriptCase>& info) { return info.param.name; }

inline void expectOutcome(const ScriptOutcome& outcome, const ScriptCase& expected) {
    EXPECT_EQ(outcome.output, expected.output) << expected.script;
    if (expected.report)
        EXPECT_TRUE(outcome.report.starts_with(expected.report))
            << expected.script << "\nreported: " << outcome.report;
    else
        EXPECT_EQ(outcome.report, "") << expected.script;
}

// A script that must end with a report beginning with the text.
struct RefusalCase {
    std::string script;
    std::string report;
};

template <class Run>
void expectRefusals(Run&& run, const std::vector<RefusalCase>& cases) {
    for (const RefusalCase& c : cases) {
        const ScriptOutcome outcome = run(c.script);
        EXPECT_TRUE(outcome.report.starts_with(c.report)) << c.script << "\nreported: " << outcome.report;
    }
}

}  // namespace kl::test
