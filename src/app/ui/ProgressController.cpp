#include "app/ui/ProgressController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "app/ProgressTiming.h"
#include "app/ui/WindowCascade.h"

namespace kl {

namespace {

constexpr int kPauseStepMilliseconds = 1000 / ProgressTiming::pauseStepsPerSecond;

QString qtext(const std::string& text) { return QString::fromStdString(text); }

// One step of a wait. On the GUI thread the step runs a local event loop
// that leaves user input alone, so workers waiting in postAndWait are
// served, and that the task's end signal ends at once; elsewhere (no
// application) it sleeps, or waits for the end signal.
void serveOneStep(KLProgress& task) {
    QCoreApplication* app = QCoreApplication::instance();
    const auto step = std::chrono::milliseconds(kPauseStepMilliseconds);
    EndSignal* signal = task.endSignal();
    if (!app || QThread::currentThread() != app->thread()) {
        if (signal)
            signal->waitFor(step, [&task] { return !task.stillRunning(); });
        else
            std::this_thread::sleep_for(step);
        return;
    }
    QEventLoop loop;
    EndSignal::Listening listening;
    if (signal) {
        listening = signal->listen([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
        // An end told before the listener was in place would be missed.
        if (!task.stillRunning()) return;
    }
    QTimer::singleShot(kPauseStepMilliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

std::unique_ptr<ProgressController> ProgressController::panelFor(KLProgress& task, const std::string& title,
                                                                 const std::string& message, QWidget* parent) {
    auto panel = std::make_unique<ProgressController>(task, parent);
    panel->setStepText(title);
    panel->setNumberTask(message);
    return panel;
}

bool ProgressController::pauseIn(KLProgress& task, double seconds) {
    const std::int64_t checks = ProgressTiming::pauseChecks(seconds);
    for (std::int64_t i = 0; i < checks; ++i) {
        if (!task.stillRunning()) return false;
        serveOneStep(task);
    }
    return task.stillRunning();
}

void ProgressController::waitWhileRunning(KLProgress& task) {
    while (task.stillRunning()) serveOneStep(task);
}

bool ProgressController::runTask(KLProgress& task, const std::string& title, const std::string& label, double pause,
                                 double interval, bool cancellable, QWidget* parent) {
    if (!pauseIn(task, pause)) return false;
    auto panel = panelFor(task, title, label, parent);
    if (!cancellable) panel->hideCancel();
    panel->runModalProgress(interval);
    panel->close();
    waitWhileRunning(task);
    return true;
}

ProgressController::ProgressController(KLProgress& task, QWidget* parent)
    : QDialog(parent),
      progressObject_(task),
      progressStep_(new QLabel(this)),
      numTask_(new QLabel(this)),
      numStatus_(new QLabel(this)),
      progressBar_(new QProgressBar(this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)) {
    setObjectName(QString::fromLatin1(windowAutosaveName));
    setWindowTitle(QCoreApplication::applicationName());
    progressStep_->setMinimumWidth(360);
    progressBar_->setTextVisible(false);
    auto* counts = new QHBoxLayout;
    counts->addWidget(numTask_);
    counts->addWidget(numStatus_, 1);
    counts->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressStep_);
    layout->addWidget(progressBar_);
    layout->addLayout(counts);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressController::cancelTask);
}

ProgressController::~ProgressController() = default;

void ProgressController::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!loaded_) {
        loaded_ = true;
        windowDidLoad();
    }
}

void ProgressController::windowDidLoad() {
    WindowCascade& frames = WindowCascade::shared();
    frames.setFrameUsingName(this, windowAutosaveName);
    frames.setFrameAutosaveName(this, windowAutosaveName);
    numTask_->clear();
    numStatus_->clear();
    progressBar_->setValue(0);
    setIndeterminate(true);
    checkStepText();
    checkNumberTask();
    progressObject_.progressDidLoad();
}

void ProgressController::runModalProgress(double interval) {
    cancelled_ = false;
    QTimer poll;
    poll.setInterval(std::max(1, static_cast<int>(std::lround(interval * 1000))));
    connect(&poll, &QTimer::timeout, this, &ProgressController::checkProgress);
    poll.start();
    // The worker's end is shown at once, not at the next poll.
    EndSignal::Listening listening;
    if (EndSignal* signal = progressObject_.endSignal())
        listening = signal->listen([this] { QMetaObject::invokeMethod(this, &ProgressController::checkProgress, Qt::QueuedConnection); });
    if (!progressObject_.stillRunning())
        QMetaObject::invokeMethod(this, &ProgressController::checkProgress, Qt::QueuedConnection);
    setWindowModality(Qt::ApplicationModal);
    exec();
    poll.stop();
}

void ProgressController::checkProgress() {
    if (!progressObject_.stillRunning()) {
        done(QDialog::Accepted);
        return;
    }
    if (pollHook_) pollHook_(*this);
    checkStepText();
    checkNumberTask();
    if (auto status = progressObject_.updateStatusField()) numStatus_->setText(qtext(*status));
    if (!indeterminate_) {
        const double fraction = progressObject_.fractionDone();
        const double clamped = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
        progressBar_->setValue(static_cast<int>(std::lround(clamped * barSteps)));
    }
    progressBar_->update();
}

void ProgressController::cancelTask() {
    // A second click before the run has ended must not cancel twice.
    if (cancelled_) return;
    cancelled_ = true;
    // The task may have finished after the last poll, with the click already
    // on its way: the run ends as the poll would have ended it, and the
    // finished result stands.
    if (!progressObject_.stillRunning()) {
        done(QDialog::Accepted);
        return;
    }
    progressObject_.cancelAction();
    done(QDialog::Rejected);
}

void ProgressController::reject() {
    if (!cancelButton_->isHidden()) cancelTask();
}

void ProgressController::setIndeterminate(bool indeterminate) {
    indeterminate_ = indeterminate;
    // A range of 0 to 0 is Qt's busy (animated) bar.
    progressBar_->setRange(0, indeterminate ? 0 : barSteps);
}

void ProgressController::setIndeterminateInThread(bool indeterminate) {
    QMetaObject::invokeMethod(this, [this, indeterminate] { setIndeterminate(indeterminate); }, Qt::QueuedConnection);
}

void ProgressController::hideCancel() { cancelButton_->hide(); }

void ProgressController::setCancelTitle(const std::string& title) { cancelButton_->setText(qtext(title)); }

void ProgressController::checkStepText() {
    if (auto text = nextStepText_.take()) progressStep_->setText(qtext(*text));
}

void ProgressController::checkNumberTask() {
    if (auto text = nextNumberTask_.take()) {
        numTask_->setText(qtext(*text + ":"));
        numStatus_->setText(QStringLiteral("0"));
    }
}

}  // namespace kl
