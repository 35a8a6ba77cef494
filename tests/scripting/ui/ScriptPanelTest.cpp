// The script run panel: status line, messages and output, the end of a
// run (silent, with output, failed), closing refused while running and
// Stop of an internal script.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>

#include <memory>

#include "app/ui/UiTestSupport.h"
#include "foundation/UserDefaults.h"
#include "scripting/RunServer.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/TaskWrapper.h"
#include "support/CaseName.h"

namespace kl {
namespace {

class ScriptPanel : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        panel = std::make_unique<AppleScriptActivePanel>(*defaults);
        panel->initForScript("T");
        panel->showWindow();
        panel->processStarted();
    }
    void TearDown() override {
        panel.reset();
        AppHome::TearDown();
    }
    std::unique_ptr<AppleScriptActivePanel> panel;
};

struct FractionCase {
    const char* name;
    double fraction;
    const char* status;
};

class PanelFraction : public ScriptPanel, public ::testing::WithParamInterface<FractionCase> {};

TEST_P(PanelFraction, ShowsTheCutPercentageAtMost100) {
    panel->showFractionDone(GetParam().fraction);
    EXPECT_EQ(panel->statusText().toStdString(), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Fractions, PanelFraction,
                         ::testing::Values(FractionCase{"Negative", -1, "Script 'T' is running ..."},
                                           FractionCase{"AlmostDone", 0.999, "Script 'T' is running (99%)"},
                                           FractionCase{"Zero", 0, "Script 'T' is running (0%)"},
                                           FractionCase{"Beyond", 1.5, "Script 'T' is running (100%)"}),
                         test::CaseName());

TEST_F(ScriptPanel, StartsCollapsedWithoutOutput) {
    EXPECT_EQ(panel->height(), AppleScriptActivePanel::collapsedHeight);
    EXPECT_FALSE(panel->outputShown());
    EXPECT_TRUE(panel->stopShown());
    EXPECT_EQ(panel->statusText().toStdString(), "Script 'T' is running ...");
}

TEST_F(ScriptPanel, BarMessagesBuildOneLineAndASilentRunClosesThePanel) {
    panel->showScriptMessage("|a");
    panel->showScriptMessage("|b");
    panel->showScriptMessage("");
    EXPECT_EQ(panel->outputText().toStdString(), "ab");
    EXPECT_TRUE(panel->outputShown());
    EXPECT_GE(panel->height(), AppleScriptActivePanel::smallestExpandedHeight);
    panel->showScriptMessage("line");
    EXPECT_EQ(panel->outputText().toStdString(), "abline\n");
    // Messages are not output: the run ends silent.
    panel->processFinished(0);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->isRunning());
}

TEST_F(ScriptPanel, ClearingEmptiesTheOutputThenShowsTheText) {
    panel->appendOutput("old");
    const std::string fresh = "fresh";
    panel->clearScriptMessage(&fresh);
    EXPECT_EQ(panel->outputText().toStdString(), "fresh\n");
}

TEST_F(ScriptPanel, OneOutputLineLeavesThePanelDone) {
    panel->appendOutput("hello\n");
    panel->processFinished(0);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->isRunning());
    EXPECT_FALSE(panel->stopShown());
    EXPECT_EQ(panel->statusText().toStdString(), "Script 'T' is done");
    EXPECT_EQ(panel->outputText().toStdString(), "hello\n");
}

struct FailureCase {
    const char* name;
    const char* output;
    const char* shown;
};

class PanelFailure : public ScriptPanel, public ::testing::WithParamInterface<FailureCase> {};

// A failing child is not reported as done, silent or not.
TEST_P(PanelFailure, NonZeroExitStatusLeavesTheErrorOpen) {
    if (*GetParam().output) panel->appendOutput(GetParam().output);
    panel->processFinished(1);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->statusText().toStdString(), "The script 'T' encountered an error");
    EXPECT_EQ(panel->outputText().toStdString(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Ends, PanelFailure,
                         ::testing::Values(FailureCase{"Silent", "", "exit status 1"},
                                           FailureCase{"WithOutput", "partial", "partial\nexit status 1"}),
                         test::CaseName());

// An internal script's failure is followed by processFinished(0): the
// failure stays.
TEST_F(ScriptPanel, AFailureReportIsNotTurnedIntoDone) {
    panel->doneTitle("Bad command in line 3", 2);
    panel->processFinished(0);
    EXPECT_EQ(panel->statusText().toStdString(), "The script 'T' encountered an error");
    EXPECT_EQ(panel->outputText().toStdString(), "Bad command in line 3");
}

TEST_F(ScriptPanel, RefusesToCloseWhileRunning) {
    panel->close();
    EXPECT_TRUE(panel->isVisible());
    panel->appendOutput("x");
    panel->processFinished(0);
    panel->close();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(ScriptPanel, StopDuringAnInternalScriptKillsItAndLeavesTheProcessAlone) {
    auto server = std::make_shared<RunServer>(nullptr);
    server->setControl(RunServer::Running);
    panel->runCommand({"/bin/sleep", "5"}, std::nullopt, std::nullopt);
    panel->setRunServe(server);
    EXPECT_TRUE(panel->isTaskScript());
    panel->abortScript();
    EXPECT_EQ(server->control(), RunServer::Killed);
    EXPECT_TRUE(panel->task().findRunning());
    panel->task().stopProcess(false);
}

TEST_F(ScriptPanel, ExpandedHeightKeepsTheUsersSizeForTheNextRun) {
    panel->appendOutput("x");
    panel->processFinished(0);
    panel->resize(panel->width(), 300);
    panel->restart("U");
    EXPECT_EQ(panel->resultHeight(), 300);
    EXPECT_EQ(panel->height(), AppleScriptActivePanel::collapsedHeight);
    panel->appendOutput("y");
    EXPECT_EQ(panel->height(), 300);
}

}  // namespace
}  // namespace kl
