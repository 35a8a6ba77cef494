#include "scripting/ui/TaskWrapper.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <cassert>

#include "scripting/TaskWrapperController.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

std::string bytesOf(const QByteArray& data) { return std::string(data.constData(), static_cast<std::size_t>(data.size())); }

}  // namespace

TaskWrapper::TaskWrapper(TaskWrapperController& controller) : controller_(controller) {}

TaskWrapper::~TaskWrapper() {
    if (!task_) return;
    task_->disconnect(this);
    if (task_->state() != QProcess::NotRunning) {
        task_->kill();
        task_->waitForFinished(terminateWaitMilliseconds);
    }
}

void TaskWrapper::startProcess(const std::optional<std::filesystem::path>& folder,
                               const std::optional<TaskCommand::Environment>& environment) {
    const std::vector<std::string>& arguments = command_.arguments();
    assert(!arguments.empty() && "No launch path or arguments provided.");
    if (arguments.empty()) return;
    stopProcess(false);
    controller_.processStarted();
    task_ = std::make_unique<QProcess>();
    QProcess& task = *task_;
    task.setProcessChannelMode(QProcess::SeparateChannels);
    task.setInputChannelMode(QProcess::ManagedInputChannel);
    if (folder) task.setWorkingDirectory(qt(folder->string()));
    if (environment) {
        QProcessEnvironment replaced;
        for (const auto& [name, value] : *environment) replaced.insert(qt(name), qt(value));
        task.setProcessEnvironment(replaced);
    }
    task.setProgram(qt(arguments.front()));
    QStringList rest;
    for (std::size_t n = 1; n < arguments.size(); ++n) rest << qt(arguments[n]);
    task.setArguments(rest);
    stdoutDecoder_ = OutputDecoder();
    stderrDecoder_ = OutputDecoder();
    connect(&task, &QProcess::readyReadStandardOutput, this, &TaskWrapper::getOutput);
    connect(&task, &QProcess::readyReadStandardError, this, &TaskWrapper::getError);
    // The child's end comes after QProcess has read what its pipes held.
    connect(&task, &QProcess::finished, this, &TaskWrapper::processDone);
    connect(&task, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) launchFailed();
    });
    task.start(QIODevice::ReadOnly);
}

void TaskWrapper::getOutput() {
    if (!task_) return;
    const std::string text = stdoutDecoder_.decode(bytesOf(task_->readAllStandardOutput()));
    if (!text.empty()) controller_.appendOutput(text);
}

void TaskWrapper::getError() {
    if (!task_) return;
    const std::string text = stderrDecoder_.decode(bytesOf(task_->readAllStandardError()));
    if (!text.empty()) controller_.appendError(text);
}

void TaskWrapper::processDone() { stopProcess(true); }

void TaskWrapper::launchFailed() {
    if (!task_) return;
    const std::string reason = task_->errorString().toStdString();
    task_->disconnect(this);
    // Not deleted inside its own signal.
    task_.release()->deleteLater();
    controller_.processFailedToLaunch(reason);
}

void TaskWrapper::stopProcess(bool notify) {
    if (!task_) return;
    std::unique_ptr<QProcess> task = std::move(task_);
    task->disconnect(this);
    if (task->state() != QProcess::NotRunning) {
        task->terminate();
        if (!task->waitForFinished(terminateWaitMilliseconds)) {
            task->kill();
            task->waitForFinished(terminateWaitMilliseconds);
        }
    }
    if (!command_.submitTaskAndExit()) {
        std::string out = stdoutDecoder_.decode(bytesOf(task->readAllStandardOutput())) + stdoutDecoder_.finish();
        if (!out.empty()) controller_.appendOutput(out);
        std::string err = stderrDecoder_.decode(bytesOf(task->readAllStandardError())) + stderrDecoder_.finish();
        if (!err.empty()) controller_.appendError(err);
    }
    const int status = task->exitStatus() == QProcess::CrashExit ? -1 : task->exitCode();
    // A QProcess must not be deleted inside one of its own signals.
    task.release()->deleteLater();
    if (notify) controller_.processFinished(status);
}

bool TaskWrapper::findRunning() const { return task_ && task_->state() != QProcess::NotRunning; }

}  // namespace kl
