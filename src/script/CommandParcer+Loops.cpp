// Repeat loops, subroutine and def definitions, and subroutine calls.
#include <algorithm>
#include <cctype>

#include "foundation/AsciiText.h"
#include "foundation/FormatText.h"
#include "foundation/Numbers.h"
#include "script/CommandParcer.h"

namespace kl {

namespace {

bool isRepeatWord(const std::string& word) {
    return word == "repeat" || (word.size() >= 7 && word.starts_with("repeat"));
}

std::string wordOf(const Command& command) {
    return command.empty() ? std::string() : asciiLower(command[0].toString());
}

}  // namespace

// ---- Loops ------------------------------------------------------------------

std::size_t CommandParcer::minRepeatCount() const {
    return subStack_.empty() ? 0 : subStack_.back()->startRepeats();
}

void CommandParcer::repeatCmd(const std::optional<std::string>& variable, double from, double to,
                              double step, Variables& variables) {
    auto loop = std::make_unique<RepeatObject>(variable, from, to, step);
    loop->setLoopStart(commandLoc_);
    if (loop->repeatVar()) variables.insert_or_assign(*loop->repeatVar(), formatGeneral(from, 8));
    repeatStack_.push_back(std::move(loop));
}

bool CommandParcer::repeatCmd(const std::optional<std::string>& variable,
                              std::shared_ptr<RepeatDelegate> delegate, Variables& variables,
                              Dictionary* objects) {
    auto loop = std::make_unique<RepeatObject>(variable, 0, 1, 1);
    loop->setLoopStart(commandLoc_);
    loop->setRepeatDelegate(std::move(delegate));
    RepeatObject& pushed = *loop;
    repeatStack_.push_back(std::move(loop));
    if (!pushed.incrementValue()) return breakCmd(false);
    storeLoopValue(pushed, pushed.currentValue(), variables, objects);
    return true;
}

void CommandParcer::storeLoopValue(RepeatObject& loop, const Value& value, Variables& variables,
                                   Dictionary* objects) {
    if (loop.repeatObjVar()) {
        const std::string& name = *loop.repeatObjVar();
        if (value.isString() || value.isNumber()) {
            variables.insert_or_assign("#" + name, value.isString() ? *value.string()
                                                                    : formatGeneral(value.toReal(), 8));
            if (objects) objects->remove(name);
        } else {
            if (objects) objects->set(name, value);
            variables.erase("#" + name);
        }
        return;
    }
    if (loop.repeatVar()) {
        variables.insert_or_assign(*loop.repeatVar(),
                                   value.isString() ? *value.string() : formatGeneral(value.toReal(), 8));
    }
}

bool CommandParcer::continueCmd(Variables& variables, Dictionary* objects, bool atEnd) {
    if (repeatStack_.size() <= minRepeatCount()) return false;
    RepeatObject& loop = *repeatStack_.back();
    if (loop.incrementValue()) {
        storeLoopValue(loop, loop.currentValue(), variables, objects);
        if (atEnd) loop.setLoopEnd(commandLoc_);
        commandLoc_ = loop.loopStart();
        return true;
    }
    if (atEnd) {
        repeatStack_.pop_back();
        return true;
    }
    return breakCmd(false);
}

bool CommandParcer::breakCmd(bool all) {
    const std::size_t floor = minRepeatCount();
    if (repeatStack_.size() <= floor) return false;
    const std::size_t popped = all ? repeatStack_.size() - floor : 1;
    const std::size_t loopEnd = repeatStack_[repeatStack_.size() - popped]->loopEnd();
    repeatStack_.resize(repeatStack_.size() - popped);
    if (loopEnd > 0) {
        commandLoc_ = loopEnd;
        return true;
    }
    return scanForEndRepeats(popped);
}

bool CommandParcer::scanForEndRepeats(std::size_t count) {
    if (tokenMode_) {
        const CompiledCommands& tokens = *tokens_;
        while (commandLoc_ < tokens.size()) {
            const int code = commandCodeOf(tokens[commandLoc_++]).value_or(-1);
            if (code == CommandCodeRepeat) ++count;
            if (code == CommandCodeEndRepeat && --count == 0) return true;
        }
        return false;
    }
    while (!atEnd()) {
        const std::string word = wordOf(readSkippedCommand());
        if (isRepeatWord(word)) ++count;
        if (word == "endrepeat" && --count == 0) return true;
    }
    return false;
}

// ---- Definitions ------------------------------------------------------------

bool CommandParcer::hasDefinedSub(const std::string& name) const { return subDefs_.contains(name); }

const std::vector<std::string>* CommandParcer::defByName(const std::string& name) const {
    auto it = defDefs_.find(name);
    return it == defDefs_.end() ? nullptr : &it->second;
}

std::optional<std::string> CommandParcer::findSubroutines() {
    for (;;) {
        const std::size_t start = commandLoc_;
        auto command = readSkippedCommand();
        const std::string word = wordOf(command);
        if (command.empty() || (word != "sub" && word != "def")) {
            commandLoc_ = start;
            return std::nullopt;
        }
        if (command.size() < 2) return "Subroutine or Definition name is missing.";
        auto error = word == "def" ? collectSourceDef(command) : collectSourceSub(command);
        if (error) return error;
    }
}

std::optional<std::string> CommandParcer::collectSourceDef(const Command& command) {
    const Command& items = command;
    if (items.size() < 2) return "Subroutine or Definition name is missing.";
    const std::string name = unquote(items[1].toString());
    if (defDefs_.contains(name)) return formatText("Duplicate definition name (%@)", {name});
    if (items.size() < 4) return formatText("Definition %@ missing required elements", {name});
    std::vector<std::string> definition;
    for (std::size_t i = 2; i < items.size(); ++i) definition.push_back(unquote(items[i].toString()));
    for (std::size_t at = 0; (at = definition[1].find("\\q", at)) != std::string::npos;)
        definition[1].replace(at, 2, "\"");
    defDefs_[name] = std::move(definition);
    return std::nullopt;
}

std::optional<std::string> CommandParcer::collectSourceSub(const Command& command) {
    const Command& items = command;
    if (items.size() < 2) return "Subroutine or Definition name is missing.";
    const std::string name = items[1].toString();
    if (subDefs_.contains(name)) return formatText("Duplicate subroutine name (%@)", {name});
    auto def = std::make_unique<SubroutineDef>(commandLoc_);
    for (std::size_t i = 2; i < items.size(); ++i)
        if (!def->addVariable(items[i].toString(), false))
            return formatText("Subroutine %@ has invalid variable name: %@", {name, items[i].toString()});
    const std::size_t subLine = previousLoc_;
    bool bodyStarted = false;
    while (!atEnd()) {
        Command body = readSkippedCommand();
        const std::string word = wordOf(body);
        if (word == "endsub") {
            subDefs_[name].def = std::move(def);
            return std::nullopt;
        }
        if (word == "local") {
            if (bodyStarted) return formatText("Subroutine %@ has misplaced 'Local' command", {name});
            if (const std::size_t bad = def->addLocal(body, 1, false))
                return formatText("Subroutine %@ has invalid local variable name: %@", {name, body[bad].toString()});
        } else if (!body.empty()) {
            bodyStarted = true;
        }
    }
    commandLoc_ = subLine;
    return formatText("Subroutine %@ has no matching 'endsub' command.", {name});
}

std::optional<std::string> CommandParcer::findSubroutinesByTokens() {
    const CompiledCommands& tokens = *tokens_;
    while (commandLoc_ < tokens.size()) {
        const Command& command = tokens[commandLoc_];
        const int code = commandCodeOf(command).value_or(-1);
        if (code != CommandCodeSub && code != CommandCodeDef) return std::nullopt;
        ++commandLoc_;
        const std::string name = command.size() > 2 ? unquote(command[2].toString()) : std::string();
        if (code == CommandCodeDef) {
            if (command.size() < 5) return formatText("Definition %@ missing required elements", {name});
            std::vector<std::string> definition;
            for (std::size_t i = 3; i < command.size(); ++i) definition.push_back(unquote(command[i].toString()));
            defDefs_[name] = std::move(definition);
            continue;
        }
        if (auto error = collectTokenSub(command)) return error;
    }
    return std::nullopt;
}

std::optional<std::string> CommandParcer::collectTokenSub(const Command& command) {
    const CompiledCommands& tokens = *tokens_;
    const std::string name = command.size() > 2 ? unquote(command[2].toString()) : std::string();
    auto def = std::make_unique<SubroutineDef>(commandLoc_);
    for (std::size_t i = 3; i < command.size(); ++i)
        if (!def->addVariable(command[i].toString(), true))
            return formatText("Subroutine %@ has invalid variable name: %@", {name, command[i].toString()});
    bool bodyStarted = false;
    while (commandLoc_ < tokens.size()) {
        const Command& body = tokens[commandLoc_++];
        const int code = commandCodeOf(body).value_or(-1);
        if (code == CommandCodeEndSub) break;
        if (code == CommandCodeLocal) {
            if (bodyStarted) return formatText("Subroutine %@ has misplaced 'Local' command", {name});
            if (const std::size_t bad = def->addLocal(body, 2, true))
                return formatText("Subroutine %@ has invalid local variable name: %@", {name, body[bad].toString()});
        } else {
            bodyStarted = true;
        }
    }
    subDefs_[name].def = std::move(def);
    return std::nullopt;
}

// ---- Calls --------------------------------------------------------------------

bool CommandParcer::checkForGosub(Command& command) {
    const bool compiled = command.size() == 2 && command[1].isInteger();
    if (command.size() != 1 && !compiled) return false;
    const std::string* text = command[0].string();
    if (!text || text->size() < 3 || text->back() != ')') return false;
    const auto open = text->find('(');
    if (open == std::string::npos || open == 0) return false;
    const std::string name = text->substr(0, open);
    if (!hasDefinedSub(name)) return false;
    const std::string opening = name + "(";
    const std::size_t from = std::min(commandLoc_, commands_.size());
    const auto at = from >= opening.size() ? commands_.rfind(opening, from - opening.size()) : std::string::npos;
    if (at == std::string::npos) return false;
    commandLoc_ = at + opening.size();
    Command call{Value("GoSub")};
    if (compiled) call.push_back(command[1]);
    call.push_back(Value(name));
    processBracedArgs(call);
    command = std::move(call);
    return true;
}

std::optional<std::string> CommandParcer::callSubroutine(const Command& command, Variables& variables) {
    const std::size_t nameAt = commandCodeOf(command) ? 2 : 1;
    if (command.size() <= nameAt) return "Subroutine not found: ";
    const std::string name = command[nameAt].toString();
    auto it = subDefs_.find(name);
    if (it == subDefs_.end() || !it->second.def) return "Subroutine not found: ";
    const SubroutineDef& def = *it->second.def;
    const std::size_t given = command.size() - nameAt - 1;
    if (given < def.numberOfArgs()) return "Subroutine call has too few arguments: ";
    if (given > def.numberOfArgs() && !def.varArg()) return "Subroutine call has too many arguments: ";
    if (subStack_.size() >= maxSubroutineDepth) return "Subroutine calls nested too deeply (endless recursion?): ";

    auto frame = std::make_unique<SubroutineCall>(commandLoc_, repeatStack_.size(), name);
    frame->saveLocal(def.localVars(), variables);
    std::size_t arg = nameAt + 1;
    for (std::size_t i = 0; i < def.numberOfArgs(); ++i, ++arg)
        variables.insert_or_assign(def.argAtIndex(i), command[arg].toString());
    if (def.varArg()) {
        const std::string& list = *def.varArg();
        const std::size_t extra = command.size() - arg;
        variables.insert_or_assign(list + "[0]", std::to_string(extra));
        for (std::size_t k = 1; k <= extra; ++k)
            variables.insert_or_assign(list + "[" + std::to_string(k) + "]", command[arg + k - 1].toString());
    }
    subStack_.push_back(std::move(frame));
    commandLoc_ = def.subStart();
    return std::nullopt;
}

std::optional<std::string> CommandParcer::exitSubroutine(const std::string& word) {
    if (subStack_.empty()) return formatText("%@ command not in a subroutine: ", {word});
    SubroutineCall& frame = *subStack_.back();
    if (repeatStack_.size() > frame.startRepeats()) {
        if (word == "endsub") return std::string("Subroutine ended with endSub while still in a repeat loop");
        repeatStack_.resize(frame.startRepeats());
    }
    frame.restoreVariables();
    commandLoc_ = frame.returnLoc();
    subStack_.pop_back();
    return std::nullopt;
}

}  // namespace kl
