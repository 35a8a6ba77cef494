#pragma once
// ProgressController: the modal progress panel of a background task. The
// main thread first waits a moment in pauseIn() (serving the main-thread
// hand-offs of workers meanwhile), and only when the task still runs shows
// the panel, which polls the task through KLProgress on a timer: fraction
// done, count text and whether it still runs. Workers never touch the
// panel's controls: they leave a step text or count label, which the next
// poll shows (a text replaced before it was shown is never shown).
//
// Ownership: made by panelFor() for one run of one task and dropped by the
// caller after runModalProgress(); the task is borrowed and must outlive it.
// Thread: main thread, except setStepText, setNumberTask and
// setIndeterminateInThread, which any thread may call.
#include <QDialog>

#include <functional>
#include <memory>
#include <string>

#include "app/PendingText.h"
#include "document/KLProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kl {

class ProgressController : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* windowAutosaveName = "ProgressPanelWindow";
    static constexpr int barSteps = 1000;
    using PollHook = std::function<void(ProgressController& panel)>;

    // A panel for the task with its step text and count label pending.
    static std::unique_ptr<ProgressController> panelFor(KLProgress& task, const std::string& title,
                                                        const std::string& message, QWidget* parent = nullptr);
    // Waits while the task runs, at most `seconds`, checking 30 times a
    // second and serving queued main-thread work between checks; answers
    // whether the task still runs. A wait of 0 or less only asks.
    static bool pauseIn(KLProgress& task, double seconds);
    // Serves queued main-thread work until the task has stopped.
    static void waitWhileRunning(KLProgress& task);
    // The whole wait of a long task: the pause, then, while the task still
    // runs, the panel until it stops; returns once the task has stopped.
    // Answers whether the panel was shown. Work that cannot be stopped
    // shows no Cancel.
    static bool runTask(KLProgress& task, const std::string& title, const std::string& label, double pause,
                        double interval, bool cancellable = true, QWidget* parent = nullptr);

    explicit ProgressController(KLProgress& task, QWidget* parent = nullptr);
    ~ProgressController() override;

    // Shows the panel application-modal and polls the task every `interval`
    // seconds until it stops or the user cancels.
    void runModalProgress(double interval);
    // One poll.
    void checkProgress();
    // The Cancel button: tells the task, then ends the run at once. A task
    // that has already finished is not told: its result stands.
    void cancelTask();

    void setIndeterminate(bool indeterminate);
    void setIndeterminateInThread(bool indeterminate);
    bool isIndeterminate() const { return indeterminate_; }
    // For work that cannot be stopped.
    void hideCancel();
    void setCancelTitle(const std::string& title);
    void setStepText(std::string text) { nextStepText_.set(std::move(text)); }
    void setNumberTask(std::string text) { nextNumberTask_.set(std::move(text)); }
    void checkStepText();
    void checkNumberTask();
    // Run at each poll while the task runs, before the pending texts are
    // shown: lets a caller turn its task's state into panel texts.
    void setPollHook(PollHook hook) { pollHook_ = std::move(hook); }

    KLProgress& progressObject() const { return progressObject_; }
    QLabel* progressStep() const { return progressStep_; }
    QLabel* numTask() const { return numTask_; }
    QLabel* numStatus() const { return numStatus_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    // Escape: Cancel, unless Cancel is hidden.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void windowDidLoad();

    KLProgress& progressObject_;
    QLabel* progressStep_;
    QLabel* numTask_;
    QLabel* numStatus_;
    QProgressBar* progressBar_;
    QPushButton* cancelButton_;
    PendingText nextStepText_;
    PendingText nextNumberTask_;
    PollHook pollHook_;
    bool indeterminate_ = true;
    bool loaded_ = false;
    bool cancelled_ = false;
};

}  // namespace kl
