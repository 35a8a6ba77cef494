#include "scripting/ui/AppleScriptActivePanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include <sstream>

#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptStatusTexts.h"
#include "scripting/ui/TaskWrapper.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

AppleScriptActivePanel::AppleScriptActivePanel(UserDefaults& defaults)
    : QDialog(nullptr, Qt::Tool), defaults_(defaults), myTask_(std::make_unique<TaskWrapper>(*this)) {
    setWindowTitle(tr("Script"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);
    // The panel is sized by hand (collapsed and expanded); the layout only
    // places its parts.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    scriptName_ = new QLabel(this);
    scriptName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(scriptName_);
    auto* row = new QHBoxLayout;
    scriptActive_ = new QProgressBar(this);
    scriptActive_->setRange(0, 0);
    scriptActive_->setTextVisible(false);
    scriptActive_->setMaximumHeight(14);
    row->addWidget(scriptActive_, 1);
    abortButton_ = new QPushButton(tr("Stop"), this);
    abortButton_->setAutoDefault(false);
    row->addWidget(abortButton_);
    layout->addLayout(row);
    scriptResult_ = new QPlainTextEdit(this);
    scriptResult_->setReadOnly(true);
    scriptResult_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    scriptResult_->hide();
    layout->addWidget(scriptResult_, 1);
    connect(abortButton_, &QPushButton::clicked, this, [this] { abortScript(); });
    setMinimumSize(260, collapsedHeight);
    resize(420, collapsedHeight);
    restoreFrame();
}

AppleScriptActivePanel::~AppleScriptActivePanel() = default;

// ---- a run begins

void AppleScriptActivePanel::initForScript(const std::string& title) {
    holdName_ = title;
    runServe_.reset();
    windowDidLoad();
}

void AppleScriptActivePanel::restart(const std::string& title) {
    holdName_ = title;
    myTask_->stopProcess(true);
    windowDidLoad();
    runServe_.reset();
}

void AppleScriptActivePanel::windowDidLoad() {
    resultHeight_ = std::max(smallestExpandedHeight, height());
    isRunning_ = true;
    hasOutput_ = false;
    scriptName_->setText(qt(ScriptStatusTexts::runningMessage(holdName_, -1)));
    pending_.clear();
    endsAtLineStart_ = true;
    scriptResult_->clear();
    scriptResult_->hide();
    scriptActive_->setRange(0, 0);
    scriptActive_->show();
    abortButton_->hide();
    setHeightKeepingTop(collapsedHeight);
}

void AppleScriptActivePanel::showWindow() {
    show();
    raise();
}

void AppleScriptActivePanel::setRunServe(std::shared_ptr<RunServer> server) { runServe_ = server; }

void AppleScriptActivePanel::runCommand(std::vector<std::string> arguments,
                                        const std::optional<TaskCommand::Environment>& environment,
                                        const std::optional<std::filesystem::path>& folder) {
    myTask_->setArguments(std::move(arguments));
    myTask_->startProcess(folder, environment);
}

void AppleScriptActivePanel::processStarted() {
    taskStartTime_ = std::chrono::steady_clock::now();
    hasOutput_ = false;
    abortButton_->show();
}

// ---- while it runs

void AppleScriptActivePanel::showFractionDone(double fraction) {
    if (isRunning_) scriptName_->setText(qt(ScriptStatusTexts::runningMessage(holdName_, fraction)));
}

void AppleScriptActivePanel::showScriptMessage(const std::string& text) {
    if (!isRunning_ || text.empty()) return;
    showResultsBox();
    if (text.front() == '|')
        appendText(qt(text.substr(1)));
    else
        appendText(qt(text) + '\n');
}

void AppleScriptActivePanel::clearScriptMessage(const std::string* text) {
    if (!isRunning_) return;
    showResultsBox();
    pending_.clear();
    endsAtLineStart_ = true;
    scriptResult_->clear();
    if (text) appendText(qt(*text) + '\n');
}

void AppleScriptActivePanel::appendOutput(const std::string& text) {
    hasOutput_ = true;
    showResultsBox();
    appendText(qt(text));
}

void AppleScriptActivePanel::appendError(const std::string& text) {
    if (auto server = runServe_.lock()) {
        server->outputError(text, nullptr);
        return;
    }
    appendOutput(text);
}

void AppleScriptActivePanel::abortScript() {
    if (auto server = runServe_.lock()) {
        server->setControl(RunServer::Killed);
        return;
    }
    myTask_->stopProcess(true);
}

bool AppleScriptActivePanel::isTaskScript() const {
    return myTask_->findRunning() || !runServe_.expired();
}

// ---- the end of a run

void AppleScriptActivePanel::processFinished(int status) {
    if (taskStartTime_) {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - *taskStartTime_;
        std::ostringstream seconds;
        seconds << took.count();
        Logger::log("Script '{}' run in {} seconds", holdName_, seconds.str());
    }
    taskStartTime_.reset();
    runServe_.reset();
    abortButton_->hide();
    // A run that already said how it ended (an internal script's failure)
    // keeps that word.
    if (!isRunning_) return;
    // A failing child is told apart from a sound one, silent or not.
    if (status != 0) {
        doneTitle(status > 0 ? "exit status " + std::to_string(status) : std::string("ended by a signal"), 2);
        return;
    }
    if (!hasOutput_) {
        isRunning_ = false;
        hide();
        return;
    }
    doneTitle("", 1);
}

void AppleScriptActivePanel::processFailedToLaunch(const std::string& reason) {
    taskStartTime_.reset();
    abortButton_->hide();
    doneTitle(reason, 2);
}

void AppleScriptActivePanel::doneTitle(const std::string& text, int code) {
    if (!isVisible()) showWindow();
    scriptName_->setText(qt(code == 1 ? ScriptStatusTexts::doneMessage(holdName_)
                                      : ScriptStatusTexts::errorMessage(holdName_)));
    scriptActive_->setRange(0, 1);
    scriptActive_->hide();
    showResultsBox();
    if (!text.empty()) {
        // The closing text starts a line of its own.
        if (!endsAtLineStart_) appendText(QStringLiteral("\n"));
        appendText(qt(text));
        hasOutput_ = true;
    }
    isRunning_ = false;
    saveFrame();
}

// ---- layout

void AppleScriptActivePanel::setHeightKeepingTop(int height) {
    if (this->height() == height) return;
    // A top-level window's resize keeps its top-left corner.
    resize(width(), height);
}

void AppleScriptActivePanel::showResultsBox() {
    if (!scriptResult_->isHidden()) return;
    scriptResult_->show();
    setHeightKeepingTop(resultHeight_);
}

void AppleScriptActivePanel::appendText(const QString& text) {
    if (text.isEmpty()) return;
    pending_ += text;
    endsAtLineStart_ = text.endsWith('\n');
    queueFlush();
}

void AppleScriptActivePanel::queueFlush() {
    if (flushQueued_) return;
    flushQueued_ = true;
    QTimer::singleShot(0, this, [this] { flushOutput(flushLimit); });
}

// One turn of the event loop shows at most `limit` characters, so a flood
// of output never holds up the rest of the application for long.
void AppleScriptActivePanel::flushOutput(qsizetype limit) {
    flushQueued_ = false;
    if (pending_.isEmpty()) return;
    QTextCursor cursor(scriptResult_->document());
    cursor.movePosition(QTextCursor::End);
    if (pending_.size() <= limit) {
        cursor.insertText(pending_);
        pending_.clear();
    } else {
        qsizetype cut = limit;
        // Never split a surrogate pair.
        if (pending_.at(cut - 1).isHighSurrogate()) --cut;
        cursor.insertText(pending_.left(cut));
        pending_.remove(0, cut);
        queueFlush();
    }
    scriptResult_->verticalScrollBar()->setValue(scriptResult_->verticalScrollBar()->maximum());
}

QString AppleScriptActivePanel::statusText() const { return scriptName_->text(); }

QString AppleScriptActivePanel::outputText() {
    flushOutput(pending_.size());
    return scriptResult_->toPlainText();
}

bool AppleScriptActivePanel::outputShown() const { return !scriptResult_->isHidden(); }
bool AppleScriptActivePanel::stopShown() const { return !abortButton_->isHidden(); }

// ---- closing

void AppleScriptActivePanel::closeEvent(QCloseEvent* event) {
    if (isRunning_) {
        QApplication::beep();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void AppleScriptActivePanel::reject() {
    if (isRunning_) {
        QApplication::beep();
        return;
    }
    QDialog::reject();
}

void AppleScriptActivePanel::hideEvent(QHideEvent* event) {
    saveFrame();
    QDialog::hideEvent(event);
}

void AppleScriptActivePanel::saveFrame() {
    const QRect frame = geometry();
    defaults_.setObject(Value(std::to_string(frame.x()) + " " + std::to_string(frame.y()) + " " +
                              std::to_string(frame.width()) + " " + std::to_string(frame.height())),
                        frameKey);
}

void AppleScriptActivePanel::restoreFrame() {
    const auto frame = defaults_.stringForKey(frameKey);
    if (!frame) return;
    std::istringstream in(*frame);
    int x = 0, y = 0, w = 0, h = 0;
    if (!(in >> x >> y >> w >> h) || w <= 0 || h <= 0) return;
    setGeometry(x, y, std::max(w, minimumWidth()), std::max(h, collapsedHeight));
}

}  // namespace kl
