// The progress panel against a task double: the pause that shows no panel
// for quick work and keeps serving workers' hand-offs, the polls (texts,
// counts, bar), Cancel, and a real document read cancelled from the panel.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "UiTestSupport.h"
#include "app/ui/FunctionProgress.h"
#include "app/ui/ProgressController.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/QtDocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::processUntil;
using test::whenModal;
namespace fs = std::filesystem;

// A task whose worker is the test: it runs until told to stop.
class TaskDouble : public KLProgress {
public:
    void progressDidLoad() override { ++loads; }
    double fractionDone() override { return fraction; }
    std::optional<std::string> updateStatusField() override { return status; }
    bool stillRunning() override { return running; }
    void cancelAction() override {
        ++cancels;
        if (stopOnCancel) running = false;
    }

    std::atomic<bool> running{true};
    std::atomic<int> loads{0};
    std::atomic<int> cancels{0};
    std::atomic<double> fraction{0};
    std::optional<std::string> status;  // main thread only
    bool stopOnCancel = false;
};

// A task whose worker tells of its end, as a document's does.
class SignallingTask : public TaskDouble {
public:
    EndSignal* endSignal() override { return &ended; }
    // The worker's last act.
    void finish() {
        running = false;
        ended.notify();
    }
    EndSignal ended;
};

// How a document's road uses the wait and the panel.
bool runLikeADocument(DocumentUI& ui, KLProgress& task, double pause = 1.0) {
    if (!ui.pauseIn(task, pause)) return false;
    ui.runProgress(task, "Working", "Items", 0.05);
    return true;
}

TEST(ProgressPause, AZeroPauseOnlyAsks) {
    TaskDouble task;
    EXPECT_TRUE(ProgressController::pauseIn(task, 0));
    task.running = false;
    EXPECT_FALSE(ProgressController::pauseIn(task, -3));
}

TEST(ProgressPause, ATaskThatEndsWithinThePauseShowsNoPanel) {
    TaskDouble task;
    QtDocumentUI ui;
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        task.running = false;
    });
    EXPECT_FALSE(runLikeADocument(ui, task, 10.0));
    worker.join();
    EXPECT_EQ(task.loads, 0);
}

TEST(ProgressPause, ServesAWorkersHandOffsWhileWaiting) {
    QtDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    TaskDouble task;
    std::atomic<bool> handedOff{false};
    std::thread worker([&] {
        // A worker that changes the model through the main thread before it
        // ends: with a sleeping pause it would wait the whole pause, and the
        // panel would appear for work long finished.
        Dispatcher::current().postAndWait([&] { handedOff = true; });
        task.running = false;
    });
    EXPECT_FALSE(ProgressController::pauseIn(task, 10.0));
    worker.join();
    EXPECT_TRUE(handedOff);
    EXPECT_EQ(task.loads, 0);
}

// Waits of an hour: only the task's end signal can end them while a test
// runs, so a wait that missed the wake-up would hang the test.
TEST(ProgressPause, TheTasksEndSignalEndsTheWaitAtOnce) {
    for (bool withApplicationLoop : {true, false}) {
        SCOPED_TRACE(withApplicationLoop ? "event loop" : "plain thread");
        SignallingTask task;
        std::thread worker([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            task.finish();
        });
        if (withApplicationLoop) {
            EXPECT_FALSE(ProgressController::pauseIn(task, 3600.0));
        } else {
            std::atomic<bool> stillRunning{true};
            std::thread waiter([&] { stillRunning = ProgressController::pauseIn(task, 3600.0); });
            waiter.join();
            EXPECT_FALSE(stillRunning);
        }
        worker.join();
    }
}

TEST(ProgressPanel, TheTasksEndSignalClosesThePanelBeforeItsNextPoll) {
    SignallingTask task;
    auto panel = ProgressController::panelFor(task, "Reading", "Records Read");
    std::thread worker;
    whenModal<ProgressController>([&](ProgressController&) {
        worker = std::thread([&] { task.finish(); });
    });
    panel->runModalProgress(3600.0);
    worker.join();
    EXPECT_EQ(panel->result(), QDialog::Accepted);
    EXPECT_EQ(task.cancels, 0);
}

TEST(ProgressPanel, ATaskAlreadyFinishedEndsTheRunAtTheFirstPoll) {
    TaskDouble task;
    task.running = false;
    auto panel = ProgressController::panelFor(task, "Saving", "Records Written");
    panel->runModalProgress(0.01);
    EXPECT_EQ(task.loads, 1);
    EXPECT_EQ(panel->progressStep()->text(), "Saving");
    EXPECT_EQ(panel->numTask()->text(), "Records Written:");
    EXPECT_EQ(task.cancels, 0);
}

TEST(ProgressPanel, OnlyTheLastOfTwoStepTextsIsShown) {
    TaskDouble task;
    auto panel = ProgressController::panelFor(task, "Reading File 'a.ged'", "Records Read");
    panel->show();  // loads the window: the pending texts are shown
    EXPECT_EQ(panel->progressStep()->text(), "Reading File 'a.ged'");
    std::thread worker([&] {
        panel->setStepText("Reading Multimedia Thumbnails");
        panel->setStepText("Adjusting GEDCOM Data");
    });
    worker.join();
    std::vector<QString> shown;
    panel->setPollHook([&](ProgressController& p) { shown.push_back(p.progressStep()->text()); });
    panel->checkProgress();
    panel->checkProgress();
    shown.push_back(panel->progressStep()->text());
    EXPECT_EQ(shown, (std::vector<QString>{"Reading File 'a.ged'", "Adjusting GEDCOM Data", "Adjusting GEDCOM Data"}));
}

TEST(ProgressPanel, PollsShowCountsAndTheFractionOfADeterminateBar) {
    TaskDouble task;
    auto panel = ProgressController::panelFor(task, "Exporting", "Records Exported");
    panel->show();
    EXPECT_TRUE(panel->isIndeterminate());
    EXPECT_EQ(panel->numStatus()->text(), "0");
    task.status = "120";
    task.fraction = 0.5;
    panel->checkProgress();
    EXPECT_EQ(panel->numStatus()->text(), "120");
    EXPECT_EQ(panel->progressBar()->maximum(), 0);  // still busy: the fraction is not shown
    panel->setIndeterminate(false);
    task.status.reset();  // keeps the shown count
    panel->checkProgress();
    EXPECT_EQ(panel->numStatus()->text(), "120");
    EXPECT_EQ(panel->progressBar()->value(), ProgressController::barSteps / 2);
    task.fraction = 7.0;  // a task that overshoots fills the bar, no more
    panel->checkProgress();
    EXPECT_EQ(panel->progressBar()->value(), ProgressController::barSteps);
    // A new count label resets the count.
    panel->setNumberTask("Families Exported");
    panel->checkProgress();
    EXPECT_EQ(panel->numTask()->text(), "Families Exported:");
    EXPECT_EQ(panel->numStatus()->text(), "0");
}

TEST(ProgressPanel, AWorkerSwitchesTheBarThroughTheEventLoop) {
    TaskDouble task;
    auto panel = ProgressController::panelFor(task, "Thumbnails", "Images");
    panel->show();
    std::thread worker([&] { panel->setIndeterminateInThread(false); });
    worker.join();
    EXPECT_TRUE(processUntil([&] { return !panel->isIndeterminate(); }));
    EXPECT_EQ(panel->progressBar()->maximum(), ProgressController::barSteps);
}

TEST(ProgressPanel, CancelTellsTheTaskOnceAndEndsTheRunAtOnce) {
    TaskDouble task;  // its worker is slow to stop: cancel does not end it
    auto panel = ProgressController::panelFor(task, "Merging", "Records Merged");
    whenModal<ProgressController>([](ProgressController& shown) {
        shown.cancelButton()->click();
        shown.cancelButton()->click();
    });
    panel->runModalProgress(0.02);
    EXPECT_EQ(task.cancels, 1);
    EXPECT_TRUE(task.running);
}

// The task ends between two polls and the user's Cancel arrives before the
// next poll would close the panel: the finished task is not told, and the
// run ends as the poll would have ended it.
TEST(ProgressPanel, ACancelArrivingAfterTheTaskFinishedLeavesItsResult) {
    TaskDouble task;
    auto panel = ProgressController::panelFor(task, "Reading File 'a.ged'", "Records Read");
    whenModal<ProgressController>([&](ProgressController& shown) {
        task.running = false;  // the worker has just finished
        shown.cancelButton()->click();
    });
    panel->runModalProgress(600.0);  // no poll comes before the click
    EXPECT_EQ(task.cancels, 0);
    EXPECT_EQ(panel->result(), QDialog::Accepted);
}

TEST(ProgressPanel, CancelCanBeHiddenOrRetitled) {
    TaskDouble task;
    auto panel = ProgressController::panelFor(task, "Saving", "Records Written");
    panel->setCancelTitle("Stop");
    EXPECT_EQ(panel->cancelButton()->text(), "Stop");
    panel->hideCancel();
    panel->show();
    EXPECT_FALSE(panel->cancelButton()->isVisible());
    panel->reject();  // Escape does nothing for work that cannot stop
    EXPECT_EQ(task.cancels, 0);
    EXPECT_TRUE(panel->isVisible());
}

TEST(QtDocumentUITest, RunProgressReturnsOnlyOnceTheTaskHasStopped) {
    TaskDouble task;
    QtDocumentUI ui;
    std::thread worker;
    whenModal<ProgressController>([&](ProgressController& shown) {
        shown.cancelButton()->click();
        worker = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            task.running = false;  // the worker noticed the flag at its next check
        });
    });
    EXPECT_TRUE(runLikeADocument(ui, task, 0.05));
    EXPECT_FALSE(task.running);
    worker.join();
    EXPECT_EQ(task.cancels, 1);
}

TEST(ProgressTask, AnInstallWithoutCancelIsWatchedToItsEnd) {
    std::atomic<bool> running{true};
    std::atomic<int> polls{0};
    FunctionProgress install;
    install.running = [&] { return running.load(); };
    install.status = [&]() -> std::optional<std::string> {
        if (++polls == 3) running = false;  // the worker ends after a few polls
        return std::to_string(polls.load());
    };
    bool cancelShown = true;
    whenModal<ProgressController>([&](ProgressController& panel) { cancelShown = !panel.cancelButton()->isHidden(); });
    EXPECT_TRUE(ProgressController::runTask(install, "Installing System Resources", "Files", 0, 0.01, false));
    EXPECT_FALSE(cancelShown);
    EXPECT_FALSE(running);
    FunctionProgress nothing;  // answers "done" to everything
    EXPECT_FALSE(ProgressController::runTask(nothing, "Nothing", "Items", 1.0, 0.1));
}

// ---- a real document

fs::path writeGeneratedTree(const fs::path& folder) {
    const std::string bytes =
        test::readCorpusBytes(test::corpusFolder() / "generated" / "gen100k_seed20240601.ged.gz");
    if (bytes.empty()) return {};
    const fs::path file = folder / "gen100k.ged";
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

TEST(DocumentProgress, CancelInThePanelStopsTheReadAndTheDocumentIsNotOpened) {
    const fs::path folder = fs::temp_directory_path() / ("kl-progress-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path file = writeGeneratedTree(folder);
    if (file.empty()) {
        fs::remove_all(folder);
        GTEST_SKIP() << "generated tree not available";
    }
    QtDocumentUI ui;
    GEDCOMDocument document;
    document.setUI(&ui);
    QString stepShown;
    whenModal<ProgressController>([&](ProgressController& panel) {
        stepShown = panel.progressStep()->text();
        panel.cancelButton()->click();
    });
    std::string error;
    EXPECT_FALSE(document.readFromURL(file, GEDCOMDocument::kGEDCOMType, &error));
    EXPECT_EQ(error, "File read cancelled");
    EXPECT_EQ(document.readWriteStatus(), GEDCOMDocument::Cancelled);
    EXPECT_FALSE(document.myFileName());
    EXPECT_EQ(stepShown, "Reading File 'gen100k.ged'");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kl
