// The run: its thread, the command loop with its assignment forms and
// dispatch order, error reports, the argument reader and name checks, and
// the hand-offs to the panel.
#include "scripting/RunServer.h"

#include <chrono>
#include <cmath>
#include <thread>

#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "script/ISNoneType.h"
#include "scripting/ISExpression.h"
#include "scripting/ScriptController.h"
#include "scripting/ScriptNames.h"
#include "scripting/ScriptRunSink.h"

namespace kl {

namespace {

bool isQuotedCompound(const std::string& text) {
    return text.size() == 4 && text.front() == '"' && text.back() == '"' && text[2] == '=';
}

bool isAssignOperator(const std::string& text) { return text == "=" || isQuotedCompound(text); }

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

RunServer::RunServer(ScriptController* controller) : controller_(controller) {}

RunServer::~RunServer() = default;

// ---- Starting and ending a run ---------------------------------------------

void RunServer::doAnalysisThread(std::string text, Array searchList, Dictionary objects) {
    if (controller_) {
        const auto& ports = controller_->ports();
        ports_.sink = ports.sink;
        ports_.clipboard = ports.clipboard;
        ports_.application = ports.application;
        ports_.localStrings = controller_->localStrings();
    }
    running_ = true;
    control_ = Running;
    std::thread([self = shared_from_this(), text = std::move(text), searchList = std::move(searchList),
                 objects = std::move(objects)]() mutable {
        self->interpretThread(std::move(text), std::move(searchList), std::move(objects));
    }).detach();
}

void RunServer::interpretThread(std::string text, Array searchList, Dictionary objects) {
    // A run started through doAnalysisThread is running already, and a Stop
    // that came before its thread did must hold.
    if (!running_.exchange(true)) control_ = Running;
    runThread_ = std::this_thread::get_id();
    parce_ = std::make_unique<CommandParcer>(std::move(text));
    initRunSettings();
    for (std::size_t i = 0; i < objects.size(); ++i) scriptObjects_.set(objects.keyAt(i), objects.valueAt(i));
    parce_->setExpressionServer(this);
    if (searchList.size() > 1) extensionFolder_ = searchList[1].toString();

    auto failBeforeRun = [&](const std::string& error, const char* what) {
        const Command command{Value(what)};
        outputError(error, &command);
        parce_->setCommandLoc(parce_->maxCommandLoc(false) + 1);
    };
    if (auto error = parce_->loadPreambles(Value(searchList), std::nullopt))
        failBeforeRun(*error, "Loading subroutine modules");
    else if (auto subError = parce_->findSubroutines())
        failBeforeRun(*subError, "Subroutine parcing error");
    else
        commandLoop();

    flushPendingError();
    std::optional<Array> result;
    {
        std::lock_guard lock(errorMutex_);
        if (scriptError_) result = Array{Value(*scriptError_), Value(2)};
    }
    deallocRunSettings();
    try {
        Dispatcher::current().postAndWait([this, &result] {
            running_ = false;
            if (controller_) controller_->klscrptDone(result);
        });
    } catch (const std::exception& failure) {
        running_ = false;
        Logger::log("The end of an internal script could not be shown: {}", failure.what());
    }
}

bool RunServer::waitForWindow(const std::shared_ptr<Object>& window,
                              const std::function<std::shared_ptr<Object>()>& frontWindow) {
    for (int attempt = 0; attempt < 101; ++attempt) {
        Dispatcher::current().postAndWait([&] { setReturnValue(Value(frontWindow())); });
        if (returnValue_.object() == window) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void RunServer::initRunSettings() {
    variables_.clear();
    variablesStack_.clear();
    {
        std::lock_guard lock(errorMutex_);
        scriptError_.reset();
        pendingError_.reset();
    }
    scriptObjects_ = Dictionary();
    scriptObjects_.set("klapp", Value(ports_.application ? ports_.application : nullptr));
    scriptObjects_.set("None", Value(ISNoneType::none()));
    subReturnValue_.reset();
    returnValue_ = Value();
    extensionFolder_.clear();
}

void RunServer::deallocRunSettings() {
    parce_.reset();
    scriptObjects_ = Dictionary();
    origCmd_.clear();
    nextCmd_.clear();
    variables_.clear();
    variablesStack_.clear();
    subReturnValue_.reset();
    extensionFolder_.clear();
    returnValue_ = Value();
}

// ---- The command loop -------------------------------------------------------

void RunServer::commandLoop() {
    while (auto command = parce_->nextCommand()) {
        flushPendingError();
        if (control_ != Running) break;
        bool goOn = false;
        try {
            goOn = runOneCommand(std::move(*command));
        } catch (const std::exception& failure) {
            // A failure raised below a command (model code, a hand-off whose
            // main thread is gone) ends the run with its message.
            outputError(failure.what(), &origCmd_);
        }
        if (!goOn) break;
    }
}

bool RunServer::runOneCommand(Command command) {
    if (command.empty()) return true;
    std::string word = asciiLower(command[0].toString());
    origCmd_ = command;
    nextCmd_ = std::move(command);
    arg_ = 1;

    if (word.starts_with("_") && parserMarker(word)) return false;
    if (dump_ & DumpParsed) dumpCommand(nextCmd_, "[PARSED COMMAND]:");

    if (nextCmd_.size() >= 3 && isAssignOperator(nextCmd_[1].toString())) {
        if (!doAssign(nextCmd_[1].toString())) {
            outputError(nextCmd_[0].toString(), &origCmd_);
            return false;
        }
        if (dump_ & DumpEvaluated) dumpCommand(nextCmd_, "[EVALUATED ASSIGN COMMAND]:");
        storeAssignment();
        return control_ == Running;
    }

    if (parce_->checkForGosub(nextCmd_)) {
        origCmd_ = nextCmd_;
        word = "gosub";
    }
    if (!evaluateArguments(word)) return false;
    if (dump_ & DumpEvaluated) dumpCommand(nextCmd_, "[EVALUATED COMMAND]:");

    const std::string head = nextCmd_[0].toString();
    if (const auto dot = head.find('.'); dot != std::string::npos) {
        auto target = scriptObjectForKey(head.substr(0, dot));
        if (!target) {
            outputError("Command is targeting an invalid object", &origCmd_);
            return false;
        }
        doObjectCommand(Value(target), head.substr(dot + 1));
        return control_ == Running;
    }
    const auto& plain = commandTables().plain;
    if (auto handler = plain.find(word); handler != plain.end()) {
        (this->*(handler->second))();
        return control_ == Running;
    }

    const std::string op = nextCmd_.size() >= 3 ? nextCmd_[1].toString() : std::string();
    if (!word.starts_with("#") && op != "=") {
        if (parce_->hasDefinedSub(head)) {
            nextCmd_.insert(nextCmd_.begin(), Value("GoSub"));
            origCmd_.insert(origCmd_.begin(), Value("GoSub"));
            doGosub();
            return control_ == Running;
        }
        outputError("Unknown command encountered:", &origCmd_);
        return false;
    }
    if (word.starts_with("#") && op != "=") {
        outputError("Variable command without equals sign:", &origCmd_);
        return false;
    }
    storeAssignment();
    return control_ == Running;
}

bool RunServer::parserMarker(const std::string& word) {
    if (word == CommandParcer::TerminationError) {
        origCmd_.erase(origCmd_.begin());
        outputError("Unterminated quotes or expression block:", &origCmd_);
        return true;
    }
    if (word == CommandParcer::FormattingError) {
        origCmd_.erase(origCmd_.begin());
        const std::string detail = origCmd_.empty() ? std::string() : origCmd_[0].toString();
        if (!origCmd_.empty()) origCmd_.erase(origCmd_.begin());
        // A "#" line without "=" is a variable command that lacks it.
        if (detail == "no equals sign" && !origCmd_.empty() && origCmd_[0].toString().starts_with("#"))
            outputError("Variable command without equals sign:", &origCmd_);
        else
            outputError("Equation, conditional, or command formatting error (" + detail + "):", &origCmd_);
        return true;
    }
    if (word == CommandParcer::LogicError) {
        const std::string message = nextCmd_.size() > 1 ? nextCmd_[1].toString() : std::string();
        origCmd_.erase(origCmd_.begin(), origCmd_.begin() + std::min<std::size_t>(2, origCmd_.size()));
        outputError(message, &origCmd_);
        return true;
    }
    return false;
}

bool RunServer::evaluateArguments(const std::string& word) {
    for (std::size_t i = 1; i < nextCmd_.size(); ++i) {
        const std::string text = nextCmd_[i].toString();
        ISExpression expression(text, this);
        expression.setParce(parce_.get());
        if (auto error = expression.evaluateWith(variables_)) {
            if (text == "&&" || word == "local") continue;
            outputError(*error, &origCmd_);
            return false;
        }
        nextCmd_[i] = Value(expression.value());
    }
    return true;
}

// ---- Assignments --------------------------------------------------------------

bool RunServer::doAssign(const std::string& op) {
    std::string right = joinCommand(nextCmd_, 2, "");
    nextCmd_.resize(3);
    if (op.size() > 1) {
        const char opChar = op[1];
        const std::string target = nextCmd_[0].toString();
        if (target.starts_with("*"))
            right = "val(" + target.substr(1) + ")" + opChar + "(" + right + ")";
        else
            right = target + opChar + "(" + right + ")";
        nextCmd_[1] = Value("=");
    }
    ISExpression expression(right, this);
    expression.setParce(parce_.get());
    if (auto error = expression.evaluateWith(variables_)) {
        nextCmd_[0] = Value(*error);
        return false;
    }
    nextCmd_[2] = Value(expression.value());
    return true;
}

void RunServer::storeAssignment() {
    if (nextCmd_[0].toString().starts_with("@"))
        assignObject();
    else
        assignVariable();
}

void RunServer::assignVariable() {
    const std::string target = nextCmd_[0].toString();
    std::optional<std::string> key;
    if (target.size() <= 1 || !target.starts_with("*")) {
        key = Expression::getVariable(target, variables_, parce_.get());
    } else if (auto inner = Expression::getVariable(std::string_view(target).substr(1), variables_, parce_.get())) {
        auto named = variables_.find(*inner);
        if (named != variables_.end()) key = Expression::getVariable(named->second, variables_, parce_.get());
    }
    if (!key) {
        outputError("Invalid variable name or array indexing error", &origCmd_);
        return;
    }
    variables_.insert_or_assign(*key, nextCmd_.size() > 2 ? nextCmd_[2].toString() : std::string());
}

// ---- Error reports ------------------------------------------------------------

std::string RunServer::commandText(const Command* command) const {
    if (!command || command->empty()) return {};
    const std::string head = (*command)[0].toString();
    if (command->size() < 2) return head;
    const std::string second = (*command)[1].toString();
    const std::string joined = joinCommand(*command, 0, isAssignOperator(second) ? " " : ",");
    const std::size_t drop = head.size() + 1;
    return head + " " + (joined.size() > drop ? joined.substr(drop) : std::string());
}

void RunServer::outputError(const std::string& message, const Command* command) {
    if (!command && std::this_thread::get_id() != runThread_.load()) {
        // From the main thread while the run's thread goes on: its position
        // is the run thread's to read.
        std::lock_guard lock(errorMutex_);
        pendingError_ = message;
        return;
    }
    const std::string text = commandText(command);
    CommandParcer::CommandPosition position;
    if (parce_) position = parce_->commandLine();
    std::string report = message + " at char " + std::to_string(position.column) + " in line " +
                         std::to_string(position.line) + (text.empty() ? "\n" : ":\n     " + text + "\n");
    if (!position.stackTrace.empty()) report += "...In loaded subroutines:" + position.stackTrace;
    std::lock_guard lock(errorMutex_);
    scriptError_ = std::move(report);
    control_ = Stopped;
}

void RunServer::flushPendingError() {
    std::optional<std::string> pending;
    {
        std::lock_guard lock(errorMutex_);
        pending.swap(pendingError_);
    }
    if (pending) {
        const int was = control_;
        outputError(*pending, nullptr);
        if (was == Killed) control_ = Killed;
    }
}

std::optional<std::string> RunServer::evaulateCommandExpression(const std::string& text) {
    ISExpression expression(text, this);
    expression.setParce(parce_.get());
    if (auto error = expression.evaluateWith(variables_)) {
        outputError(*error, &origCmd_);
        return std::nullopt;
    }
    return expression.value();
}

const std::vector<std::string>* RunServer::defByName(const std::string& name) const {
    return parce_ ? parce_->defByName(name) : nullptr;
}

std::optional<std::string> RunServer::localString(const std::string& key) const {
    const Value* value = ports_.localStrings.get(key);
    if (!value || !value->isString()) return std::nullopt;
    return *value->string();
}

// ---- Argument reader --------------------------------------------------------------

std::optional<std::string> RunServer::getString() {
    if (!more()) {
        tooFew();
        return std::nullopt;
    }
    return nextCmd_[arg_++].toString();
}

bool RunServer::getIntarg(long& value) {
    if (!more()) return tooFew();
    const double number = parseDouble(nextCmd_[arg_++].toString()).value_or(0);
    value = static_cast<long>(saturatingInteger(std::trunc(number)));
    return true;
}

bool RunServer::findDouble(double& value) {
    if (!more()) return tooFew();
    auto number = parseDouble(nextCmd_[arg_++].toString());
    if (!number) return false;
    value = *number;
    return true;
}

bool RunServer::tooFew() {
    outputError("Command needs more than " + std::to_string(arg_ - 1) + " arguments", &origCmd_);
    return false;
}

// ---- Names ----------------------------------------------------------------------------

bool RunServer::validObjectName(const std::string& name) {
    if (name.empty() || !isAsciiLetter(name[0])) return false;
    for (char c : name)
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') return false;
    return true;
}

std::optional<std::string> RunServer::getVarOrObjName(bool& isVariable, const std::string& command) {
    auto name = getString();
    if (!name) return std::nullopt;
    if (validObjectName(*name)) {
        isVariable = false;
        return name;
    }
    if (Expression::validVarname(*name)) {
        isVariable = true;
        return name;
    }
    outputError("First parameter in " + command +
                    " command must evaluate to a variable name starting in '#' or object name",
                &origCmd_);
    return std::nullopt;
}

std::shared_ptr<Object> RunServer::getNoneType() {
    const Value* none = scriptObjects_.get("None");
    if (none && none->object()) return none->object();
    return ISNoneType::none();
}

std::shared_ptr<Object> RunServer::makeList(Array items) {
    return ISListType::listWithList(std::make_shared<Array>(std::move(items)));
}

std::shared_ptr<Object> RunServer::makeDictionary(Dictionary entries) {
    auto dict = ISDictType::initDict();
    for (std::size_t i = 0; i < entries.size(); ++i) dict->klis_setObject(entries.valueAt(i), entries.keyAt(i));
    return dict;
}

// ---- Panel hand-offs ---------------------------------------------------------------

void RunServer::dumpCommand(const Command& command, const std::string& label) {
    showScriptMessage(label + " " + joinCommand(command, 0, ",") + " (# args = " + std::to_string(command.size()) + ")");
}

void RunServer::showScriptMessage(const std::string& text) {
    if (auto sink = ports_.sink) Dispatcher::current().postAndWait([&] { sink->showScriptMessage(text); });
}

void RunServer::clearScriptMessage(const std::string* text) {
    if (auto sink = ports_.sink) Dispatcher::current().postAndWait([&] { sink->clearScriptMessage(text); });
}

void RunServer::appendOutput(const std::string& text) {
    if (auto sink = ports_.sink) Dispatcher::current().postAndWait([&] { sink->appendOutput(text); });
}

}  // namespace kl
