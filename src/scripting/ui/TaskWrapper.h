#pragma once
// TaskWrapper: one outside program run as a child process for the script
// machinery, on QProcess. The asynchronous run reports standard output and
// standard error to the client piece by piece, each through its own
// incremental UTF-8 decoder, and tells it when the child starts and ends;
// the synchronous run (for a script's own thread) is TaskCommand's.
// Stopping tells a running child to terminate, waits at most half a second,
// then kills it; what is still in the pipes is handed over unless the
// command was put in the background.
//
// Ownership: owned by its client's owner (the script run panel); the
// client is not owned and must outlive it. Thread: GUI thread.
#include <QObject>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scripting/OutputDecoder.h"
#include "scripting/TaskCommand.h"

class QProcess;

namespace kl {

class TaskWrapperController;

class TaskWrapper : public QObject {
    Q_OBJECT
public:
    static constexpr int terminateWaitMilliseconds = 500;

    explicit TaskWrapper(TaskWrapperController& controller);
    ~TaskWrapper() override;

    void setArguments(std::vector<std::string> arguments) { command_.setArguments(std::move(arguments)); }
    void setShellArguments(const std::vector<std::string>& words, bool background, bool handleSpaces) {
        command_.setShellArguments(words, background, handleSpaces);
    }
    const TaskCommand& command() const { return command_; }

    // The client hears processStarted first, then the output, then the end
    // (or that the child could not be started). Arguments must be set.
    void startProcess(const std::optional<std::filesystem::path>& folder,
                      const std::optional<TaskCommand::Environment>& environment);
    // Nothing happens (and the client hears nothing) without a child.
    void stopProcess(bool notify);
    bool findRunning() const;

private:
    void getOutput();
    void getError();
    void processDone();
    void launchFailed();

    TaskWrapperController& controller_;
    TaskCommand command_;
    std::unique_ptr<QProcess> task_;
    OutputDecoder stdoutDecoder_;
    OutputDecoder stderrDecoder_;
};

}  // namespace kl
