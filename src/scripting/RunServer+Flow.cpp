// The plain commands that steer a run: conditions, loops, subroutine calls,
// variable scopes, the command display, stopping, and output.
#include <chrono>
#include <thread>

#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "foundation/TextCompare.h"
#include "model/ModelAlerts.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "script/ISNoneType.h"
#include "script/RepeatListItems.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

bool isTrueWord(const std::string& text) { return asciiLower(text) == "true"; }

bool compareNumbers(double a, const std::string& op, double b) {
    if (op == "!=") return a != b;
    if (op == ">") return a > b;
    if (op == ">=") return a >= b;
    if (op == "<") return a < b;
    if (op == "<=") return a <= b;
    return a == b;  // "=", "==", " is " and anything else
}

bool compareTexts(const std::string& a, const std::string& op, const std::string& b) {
    if (op == "==") return a == b;
    const int order = compareCaseInsensitive(a, b);
    if (op == "=" || op == " is ") return order == 0;
    if (op == "!=") return order != 0;
    if (op == ">") return order > 0;
    if (op == ">=") return order >= 0;
    if (op == "<") return order < 0;
    if (op == "<=") return order <= 0;
    return false;
}

}  // namespace

void RunServer::skipBlock() {
    if (!parce_->skipIfBlock(false)) outputError("End of conditional block not found.", &origCmd_);
}

bool RunServer::hasError() const {
    std::lock_guard lock(errorMutex_);
    return scriptError_.has_value();
}

// ---- Conditions ------------------------------------------------------------------

void RunServer::doIf() {
    bool result = false;
    std::string joiner;
    while (more()) {
        bool outcome = false;
        double a = 0;
        if (findDouble(a)) {
            const std::string next = more() ? nextCmd_[arg_].toString() : std::string();
            if (!more() || next == "&&" || next == "||") {
                outcome = a != 0;
            } else {
                const std::string op = *getString();
                double b = 0;
                if (findDouble(b)) {
                    outcome = compareNumbers(a, op, b);
                } else {
                    if (hasError()) return;
                    backup(3);
                    outcome = doIfstrResult(true);
                }
            }
        } else {
            if (hasError()) return;
            backup(1);
            outcome = doIfstrResult(true);
        }
        result = joiner == "&&" ? result && outcome : outcome;
        if (!more()) break;
        const std::string join = *getString();
        if (join == "||") {
            if (result) return;
            joiner = "||";
        } else if (join == "&&") {
            joiner = "&&";
        } else {
            outputError("Invalid conditional encountered.", &origCmd_);
            return;
        }
    }
    if (!result) skipBlock();
}

bool RunServer::doIfstrResult(bool watchAndOr) {
    if (!more()) return true;
    const std::string first = *getString();
    if (!more()) return isTrueWord(first);
    const std::string op = *getString();
    if (watchAndOr && (op == "&&" || op == "||")) {
        backup(1);
        return isTrueWord(first);
    }
    if (!more()) return true;
    return compareTexts(first, op, *getString());
}

void RunServer::doIfstr() {
    if (!doIfstrResult(false)) skipBlock();
}

void RunServer::doIfnum() {
    const bool number = more() && parseDouble(nextCmd_[arg_].toString()).has_value();
    doneReading();
    if (!number) skipBlock();
}

bool RunServer::isDefined(const std::string& name) {
    if (variables_.contains(name)) return true;
    if (name == "#returnValue$" && subReturnValue_) return true;
    const Value object = findExistingObject(name);
    return !object.isNull() && !object.objectAs<ISNoneType>();
}

void RunServer::doIfdef() {
    auto name = getString();
    if (name && !isDefined(*name)) skipBlock();
}

void RunServer::doIfndef() {
    auto name = getString();
    if (name && isDefined(*name)) skipBlock();
}

// ---- Loops ---------------------------------------------------------------------------

void RunServer::doRepeat() {
    if (!more()) {
        parce_->repeatCmd(std::nullopt, 0, 0, 0, variables_);
        return;
    }
    const std::string name = *getString();
    if (!Expression::validVarname(name)) {
        outputError("First parameter to Repeat must evaluate to a variable name starting in '#'", &origCmd_);
        return;
    }
    double from = 0, to = 0, step = 1;
    if (!findDouble(from) || !findDouble(to)) return;
    if (more()) {
        if (!findDouble(step)) return;
        if (step == 0) {
            outputError("Step size of zero not allowed:", &origCmd_);
            return;
        }
    }
    parce_->repeatCmd(name, from, to, step, variables_);
    const bool noPass = (step > 0 && from > to) || (step < 0 && to > from);
    if (noPass && !parce_->breakCmd(false)) outputError("Matching <endrepeat> cound not be found:", &origCmd_);
}

void RunServer::doRepeatwith() {
    auto name = getString();
    if (!name) return;
    if (name->starts_with("#")) name->erase(0, 1);
    if (name->empty() || !Expression::validVarbase(*name)) {
        outputError("RepeatWith variable name invalid:", &origCmd_);
        return;
    }
    auto word = getString();
    if (!word) return;
    if (const std::string w = asciiLower(*word); w != "from" && w != "in") {
        outputError("Invalid RepeatWith arguments:", &origCmd_);
        return;
    }
    auto objectName = getString();
    if (!objectName) return;
    const Value object = findExistingObject(*objectName);
    if (object.isNull()) {
        outputError("Invalid RepeatWith list object:", &origCmd_);
        return;
    }
    Array items;
    if (auto dict = object.objectAs<ISDictType>())
        items = dict->dictionary().values();
    else if (const Array* listed = listItemsOf(object))
        items = *listed;
    else {
        outputError("RepeatWith list object not a list or dictionary:", &origCmd_);
        return;
    }
    auto loop = std::make_shared<RepeatListItems>(std::move(items));
    if (!parce_->repeatCmd("^" + *name, loop, variables_, &scriptObjects_))
        outputError("Matching <endrepeat> cound not be found:", &origCmd_);
}

void RunServer::doEndrepeat() {
    if (!parce_->continueCmd(variables_, &scriptObjects_, true)) outputError("<endrepeat> not in a loop:", &origCmd_);
}

void RunServer::doContinue() {
    if (!parce_->continueCmd(variables_, &scriptObjects_, false)) outputError("<continue> not in a loop:", &origCmd_);
}

// ---- Subroutines and scopes ---------------------------------------------------------

void RunServer::doGosub() {
    doneReading();
    if (auto error = parce_->callSubroutine(nextCmd_, variables_)) outputError(*error, &origCmd_);
}

void RunServer::doLocal() {
    doneReading();
    if (parce_->subStack().empty()) outputError("Local command only allowed within subroutines", &origCmd_);
}

void RunServer::doUnset() {
    while (more()) {
        const std::string name = *getString();
        variables_.erase(name);
        scriptObjects_.remove(name);
    }
}

void RunServer::doPushvariables() { variablesStack_.push_back(variables_); }

void RunServer::doPopvariables() {
    if (variablesStack_.empty()) {
        outputError("The variables stack is empty", &origCmd_);
        return;
    }
    variables_ = std::move(variablesStack_.back());
    variablesStack_.pop_back();
}

// ---- Run control and output ------------------------------------------------------------

void RunServer::doDump() {
    if (!more()) {
        dump_ = DumpParsed | DumpEvaluated;
        return;
    }
    while (more()) {
        const std::string option = asciiLower(*getString());
        if (option == "off")
            dump_ = 0;
        else if (option == "parced" || option == "parsed")
            dump_ ^= DumpParsed;
        else if (option == "evaluated")
            dump_ ^= DumpEvaluated;
        else
            outputError("Warning: unknown option in <dump> command:", &origCmd_);
    }
}

void RunServer::doStop() {
    const std::string texts = joinCommand(nextCmd_, 1, ",");
    doneReading();
    outputError(nextCmd_.size() > 1 ? "script stopped: " + texts + "\n    " : std::string("script stopped"), &origCmd_);
}

void RunServer::doWrite() {
    const std::string texts = joinCommand(nextCmd_, 1, ",");
    doneReading();
    appendOutput(texts);
}

void RunServer::doClear() { clearScriptMessage(nullptr); }

void RunServer::doLog() {
    Logger::log(joinCommand(nextCmd_, 1, ","));
    doneReading();
}

void RunServer::doBeep() {
    Dispatcher::current().postAndWait([] { ModelAlerts::current()->beep(); });
}

void RunServer::doSleep() {
    double seconds = 0;
    if (!findDouble(seconds) || !(seconds >= 0)) {
        outputError("Invalid sleep time", &origCmd_);
        return;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(seconds, 1e6)));
}

}  // namespace kl
