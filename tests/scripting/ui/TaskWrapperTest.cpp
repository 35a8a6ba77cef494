// The asynchronous child process runner: its end, output decoded across
// reads, stopping, background commands, launch failures; and the panel
// running a child.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <memory>
#include <string>
#include <vector>

#include "app/ui/UiTestSupport.h"
#include "scripting/TaskWrapperController.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/TaskWrapper.h"
#include "support/CaseName.h"

namespace kl {
namespace {

class RecordingClient : public TaskWrapperController {
public:
    void appendOutput(const std::string& text) override {
        output += text;
        chunks.push_back(text);
    }
    void appendError(const std::string& text) override { errors += text; }
    void processStarted() override { ++started; }
    void processFinished(int status) override { statuses.push_back(status); }
    void processFailedToLaunch(const std::string& reason) override { failures.push_back(reason); }

    std::string output;
    std::string errors;
    std::vector<std::string> chunks;
    int started = 0;
    std::vector<int> statuses;
    std::vector<std::string> failures;
};

class Runner : public ::testing::Test {
protected:
    bool waitForEnd() {
        return test::spinUntil([&] { return !client.statuses.empty() || !client.failures.empty(); });
    }
    RecordingClient client;
    TaskWrapper task{client};
};

TEST_F(Runner, OnlyStandardErrorEndsWithTheChild) {
    task.setArguments({"/bin/sh", "-c", "echo problem >&2; exit 3"});
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(client.started, 1);
    EXPECT_EQ(client.errors, "problem\n");
    EXPECT_EQ(client.output, "");
    EXPECT_EQ(client.statuses, std::vector<int>{3});
    EXPECT_FALSE(task.findRunning());
}

struct SplitCase {
    const char* name;
    const char* script;
    const char* output;
};

class RunnerDecoding : public Runner, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(RunnerDecoding, OutputArrivesInWholeCharacters) {
    task.setArguments({"/bin/sh", "-c", GetParam().script});
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(client.output, GetParam().output);
    for (const std::string& chunk : client.chunks)
        EXPECT_NE(static_cast<unsigned char>(chunk.front()) & 0xC0, 0x80) << "a chunk starts inside a character";
}

INSTANTIATE_TEST_SUITE_P(Reads, RunnerDecoding,
                         ::testing::Values(SplitCase{"SplitAcrossTwoReads", "printf '\\303'; sleep 0.3; printf '\\251\\n'",
                                                     "\xC3\xA9\n"},
                                           SplitCase{"LoneRomanByte", "printf '\\216'", "\xC3\xA9"}),
                         test::CaseName());

TEST_F(Runner, StoppingAnIdleRunnerCallsNothing) {
    task.stopProcess(true);
    EXPECT_EQ(client.started, 0);
    EXPECT_TRUE(client.statuses.empty());
}

TEST_F(Runner, StopEndsARunningChildPromptly) {
    task.setArguments({"/bin/sh", "-c", "echo begun; exec sleep 30"});
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(test::spinUntil([&] { return client.output == "begun\n"; }));
    task.stopProcess(true);
    EXPECT_EQ(client.statuses.size(), 1u);
    EXPECT_NE(client.statuses.front(), 0);
    EXPECT_FALSE(task.findRunning());
}

TEST_F(Runner, BackgroundCommandEndsWithTheShellAndDrainsNothing) {
    task.setShellArguments({"(sleep 1; echo late)"}, true, false);
    EXPECT_EQ(task.command().arguments().back(), "(sleep 1; echo late) &");
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(client.statuses, std::vector<int>{0});
    EXPECT_EQ(client.output, "");
}

TEST_F(Runner, ShellWordArrivesAsOneUnchangedArgument) {
    task.setShellArguments({"printf", "[%s]", "it's $HOME; ls"}, false, true);
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(client.output, "[it's $HOME; ls]");
}

TEST_F(Runner, LaunchFailureEndsTheRun) {
    task.setArguments({"/no/such/python"});
    task.startProcess(std::nullopt, std::nullopt);
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(client.failures.size(), 1u);
    EXPECT_TRUE(client.statuses.empty());
    EXPECT_FALSE(task.findRunning());
}

class PanelChild : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        panel = std::make_unique<AppleScriptActivePanel>(*defaults);
        panel->initForScript("T");
        panel->showWindow();
    }
    void TearDown() override {
        panel.reset();
        AppHome::TearDown();
    }
    std::unique_ptr<AppleScriptActivePanel> panel;
};

struct ChildCase {
    const char* name;
    const char* script;
    bool visible;
    const char* status;
    const char* output;
};

class PanelChildren : public PanelChild, public ::testing::WithParamInterface<ChildCase> {};

TEST_P(PanelChildren, EndOfTheChildDecidesThePanel) {
    panel->runCommand({"/bin/sh", "-c", GetParam().script}, std::nullopt, std::nullopt);
    EXPECT_TRUE(panel->stopShown());
    ASSERT_TRUE(test::spinUntil([&] { return !panel->isRunning(); }));
    EXPECT_EQ(panel->isVisible(), GetParam().visible);
    if (GetParam().visible) {
        EXPECT_EQ(panel->statusText().toStdString(), GetParam().status);
        EXPECT_EQ(panel->outputText().toStdString(), GetParam().output);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Children, PanelChildren,
    ::testing::Values(ChildCase{"SilentCloses", "exit 0", false, "", ""},
                      ChildCase{"OneLineDone", "echo one", true, "Script 'T' is done", "one\n"},
                      ChildCase{"ExitStatusFails", "echo x; exit 1", true, "The script 'T' encountered an error",
                                "x\nexit status 1"},
                      ChildCase{"ErrorsShownAsOutput", "echo bad >&2", true, "Script 'T' is done", "bad\n"}),
    test::CaseName());

TEST_F(PanelChild, LaunchFailureLeavesThePanelFailed) {
    panel->runCommand({"/no/such/python"}, std::nullopt, std::nullopt);
    ASSERT_TRUE(test::spinUntil([&] { return !panel->isRunning(); }));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->statusText().toStdString(), "The script 'T' encountered an error");
    EXPECT_FALSE(panel->outputText().isEmpty());
    EXPECT_FALSE(panel->stopShown());
}

}  // namespace
}  // namespace kl
