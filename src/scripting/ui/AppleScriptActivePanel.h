#pragma once
// AppleScriptActivePanel: the one floating panel every script the user
// starts runs under (the name is kept although it serves every kind of
// script). It says which script runs, spins while it runs, shows progress,
// the script's messages, its output and errors as they arrive, offers Stop
// while a run is under way, and finally says whether the script is done or
// failed. The panel stays collapsed (73 px) until there is something to
// show; then it grows to the height it had when the run started, at least
// 220 px, keeping its top edge. Its frame is kept in the defaults under
// "AppleScriptProgressPanel".
//
// Output is gathered and appended once per turn of the event loop, so a
// chatty child does not redraw the view for every chunk it writes.
//
// Ownership: made once by the application, shared with the script
// controller as its ScriptRunSink; no Qt parent. Thread: GUI thread only.
#include <QDialog>
#include <QString>

#include <chrono>
#include <filesystem>
#include <vector>
#include <memory>
#include <optional>
#include <string>

#include "scripting/ScriptRunSink.h"
#include "scripting/TaskCommand.h"
#include "scripting/TaskWrapperController.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kl {

class TaskWrapper;
class UserDefaults;

class AppleScriptActivePanel : public QDialog, public ScriptRunSink, public TaskWrapperController {
    Q_OBJECT
public:
    static constexpr int collapsedHeight = 73;
    static constexpr int smallestExpandedHeight = 220;
    static constexpr const char* frameKey = "AppleScriptProgressPanel";

    explicit AppleScriptActivePanel(UserDefaults& defaults);
    ~AppleScriptActivePanel() override;

    // ScriptRunSink
    void initForScript(const std::string& title) override;
    void restart(const std::string& title) override;
    void showWindow() override;
    void setRunServe(std::shared_ptr<RunServer> server) override;
    void processStarted() override;
    void showScriptMessage(const std::string& text) override;
    void clearScriptMessage(const std::string* text) override;
    void appendOutput(const std::string& text) override;
    void doneTitle(const std::string& text, int code) override;
    void processFinished(int status) override;

    // A run's progress: below 0 without a percentage.
    void showFractionDone(double fraction);
    // Error text of a run: an internal script reports it as its failure,
    // anything else shows it as output.
    void appendError(const std::string& text) override;
    // The child could not be started: the run ends as failed.
    void processFailedToLaunch(const std::string& reason) override;
    // Stop: an internal script is killed, else the child is stopped.
    void abortScript();
    // Whether a process or an internal script is under way.
    bool isTaskScript() const;
    // Starts a child (launch path, then arguments) under the panel.
    void runCommand(std::vector<std::string> arguments, const std::optional<TaskCommand::Environment>& environment,
                    const std::optional<std::filesystem::path>& folder);
    TaskWrapper& task() { return *myTask_; }

    bool isRunning() const { return isRunning_; }
    const std::string& holdName() const { return holdName_; }
    QString statusText() const;
    // The output shown, with what waits for the next turn of the loop.
    QString outputText();
    bool outputShown() const;
    // Output that waits for the next turns of the event loop.
    bool outputPending() const { return !pending_.isEmpty(); }
    bool stopShown() const;
    int resultHeight() const { return resultHeight_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void hideEvent(QHideEvent* event) override;

private:
    void windowDidLoad();
    void setHeightKeepingTop(int height);
    void showResultsBox();
    void appendText(const QString& text);
    void queueFlush();
    void flushOutput(qsizetype limit);
    void saveFrame();
    void restoreFrame();

    UserDefaults& defaults_;
    QLabel* scriptName_;
    QProgressBar* scriptActive_;
    QPlainTextEdit* scriptResult_;
    QPushButton* abortButton_;
    bool isRunning_ = false;
    std::string holdName_;
    int resultHeight_ = smallestExpandedHeight;
    bool hasOutput_ = false;
    std::optional<std::chrono::steady_clock::time_point> taskStartTime_;
    std::weak_ptr<RunServer> runServe_;
    static constexpr qsizetype flushLimit = 16384;
    QString pending_;
    bool endsAtLineStart_ = true;
    bool flushQueued_ = false;
    std::unique_ptr<TaskWrapper> myTask_;
};

}  // namespace kl
