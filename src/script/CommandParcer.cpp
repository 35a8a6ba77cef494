// The parser's two modes, its source and compile readers, the token reader
// and the skipping of conditional blocks.
#include "script/CommandParcer.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "foundation/AsciiText.h"
#include "foundation/Exception.h"

namespace kl {

namespace {

bool isIfWord(const std::string& word) {
    return word == "if" || word == "ifstr" || word == "ifdef" || word == "ifndef" || word == "ifnum";
}

bool isRepeatWord(const std::string& word) {
    return word == "repeat" || (word.size() >= 7 && word.starts_with("repeat"));
}

std::int64_t steadyNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Command logicError(const std::string& message) {
    return Command{Value(CommandParcer::LogicError), Value(message)};
}

// Codes of the words that the compile reader keeps with their arguments.
int compiledWordCode(const std::string& word) {
    if (word == "sub") return CommandCodeSub;
    if (word == "def") return CommandCodeDef;
    if (word == "local") return CommandCodeLocal;
    if (word == "gosub") return CommandCodeGoSub;
    if (word == "endrepeat") return CommandCodeEndRepeat;
    if (isRepeatWord(word)) return CommandCodeRepeat;
    return CommandCodeCommand;
}

// Words whose rest of line the compile reader drops.
int droppedRestCode(const std::string& word) {
    if (word == "endif") return CommandCodeEndIf;
    if (word == "break") return CommandCodeBreak;
    if (word == "breakall") return CommandCodeBreakAll;
    if (word == "endsub") return CommandCodeEndSub;
    return -1;
}

}  // namespace

std::atomic<std::int64_t> CommandParcer::startTime_{0};

CommandParcer::CommandParcer(std::string commands) : commands_(std::move(commands)) {
    setStartTime();
}

CommandParcer::CommandParcer(std::shared_ptr<const CompiledCommands> tokens)
    : tokens_(tokens ? std::move(tokens) : std::make_shared<const CompiledCommands>()),
      tokenMode_(true) {
    setStartTime();
}

void CommandParcer::setStartTime() { startTime_.store(steadyNow(), std::memory_order_relaxed); }

double CommandParcer::secondsSinceReference() {
    return static_cast<double>(steadyNow() - startTime_.load(std::memory_order_relaxed)) / 1e9;
}

std::size_t CommandParcer::maxCommandLoc(bool tokens) const {
    return tokens ? (tokens_ ? tokens_->size() : 0) : commands_.size();
}

void CommandParcer::insertCommands(const std::string& text, std::size_t loc) {
    loc = std::min(loc, commands_.size());
    const std::size_t end = std::max(loc, std::min(commandLoc_, commands_.size()));
    commands_.replace(loc, end - loc, text + "\n");
    commandLoc_ = loc;
}

// ---- Source readers -------------------------------------------------------

CommandParcer::WordRead CommandParcer::readWord(Command& command) {
    for (;;) {
        const char c = nextNonWhite();
        if (atEnd()) return WordRead::End;
        if (c == '\n' || c == '\r') {
            ++commandLoc_;
            continue;
        }
        if (c == '#' || c == '*') {
            parceEquation(restOfCommand(), command);
            return WordRead::Assignment;
        }
        auto word = nextArgument();
        if (!word) {
            skipLine();
            return WordRead::Failed;
        }
        command.push_back(Value(std::move(*word)));
        return WordRead::Word;
    }
}

bool CommandParcer::readArgumentsToLineEnd(Command& command) {
    for (;;) {
        const char c = nextNonWhite();
        if (atEnd()) return true;
        if (c == '\n' || c == '\r') {
            ++commandLoc_;
            return true;
        }
        auto argument = nextArgument();
        if (!argument) {
            skipLine();
            return false;
        }
        command.push_back(Value(std::move(*argument)));
    }
}

void CommandParcer::readCondition(Command& command, bool compiling) {
    const std::size_t restLoc = commandLoc_;
    const std::string rest = restOfCommand();
    if (compiling)
        parceNextConditional(rest, restLoc, command);
    else
        parceConditional(rest, restLoc, command);
}

std::optional<Command> CommandParcer::nextCommand() {
    for (;;) {
        if (atEnd()) return std::nullopt;
        previousLoc_ = commandLoc_;
        Command command;
        switch (readWord(command)) {
        case WordRead::End: return std::nullopt;
        case WordRead::Assignment: return command;
        case WordRead::Failed:
            command.insert(command.begin(), Value(TerminationError));
            return command;
        case WordRead::Word: break;
        }
        bool again = false;
        const std::string word = asciiLower(command[0].toString());
        auto answer = dispatchSourceWord(command, word, again);
        if (!again) return answer;
    }
}

std::optional<Command> CommandParcer::dispatchSourceWord(Command& command, const std::string& word,
                                                         bool& again) {
    if (isIfWord(word)) {
        readCondition(command, false);
        return command;
    }
    if (skipping_) {
        // Skipped commands are only looked at by their word; "sub", "def",
        // "local" and "load" keep their arguments for the subroutine scan.
        if (word == "local" || word == "sub" || word == "def" || word == "load") {
            if (!readArgumentsToLineEnd(command)) command.insert(command.begin(), Value(TerminationError));
        } else {
            command.push_back(Value(restOfCommand()));
        }
        return command;
    }
    if (word == "else") {
        restOfCommand();
        const std::size_t afterLine = commandLoc_;
        if (!skipIfBlock(true)) {
            // Report the failure on the else line, not at the end of the text.
            commandLoc_ = afterLine;
            return logicError("End of conditional block not found:");
        }
        again = true;
        return std::nullopt;
    }
    if (word == "endif") {
        restOfCommand();
        again = true;
        return std::nullopt;
    }
    if (word == "break" || word == "breakall") {
        restOfCommand();
        const std::size_t afterLine = commandLoc_;
        const bool all = word == "breakall";
        if (!breakCmd(all)) {
            commandLoc_ = afterLine;
            return logicError(all ? "breakAll command not in a loop or end of loop not found:"
                                  : "break command not in a loop or end of loop not found:");
        }
        again = true;
        return std::nullopt;
    }
    if (word == "return" || word == "endsub") {
        const std::string rest = restOfCommand();
        if (expressionServer_) {
            if (word == "return" && !rest.empty())
                expressionServer_->setSubReturnValue(expressionServer_->evaulateCommandExpression(rest));
            else
                expressionServer_->setSubReturnValue(std::nullopt);
        }
        if (auto error = exitSubroutine(word)) {
            Command failed = logicError(*error);
            failed.insert(failed.end(), command.begin(), command.end());
            return failed;
        }
        again = true;
        return std::nullopt;
    }
    if (word == "exit") {
        commandLoc_ = commands_.size();
        return std::nullopt;
    }
    if (word == "gosub") {
        nextNonWhite();
        const std::size_t stop = commands_.find_first_of(" \t,\n\r(", commandLoc_);
        const bool nbspFirst = [&] {
            const std::size_t nbsp = commands_.find("\xC2\xA0", commandLoc_);
            return nbsp != std::string::npos && nbsp < stop;
        }();
        if (stop != std::string::npos && commands_[stop] == '(' && !nbspFirst) {
            command.push_back(Value(commands_.substr(commandLoc_, stop - commandLoc_)));
            commandLoc_ = stop + 1;
            processBracedArgs(command);
            return command;
        }
    }
    if (!readArgumentsToLineEnd(command)) command.insert(command.begin(), Value(TerminationError));
    return command;
}

std::optional<Command> CommandParcer::readNextCommand() {
    if (atEnd()) return std::nullopt;
    previousLoc_ = commandLoc_;
    Command command;
    switch (readWord(command)) {
    case WordRead::End: return std::nullopt;
    case WordRead::Assignment:
        if (!command.empty() && command[0].toString() == FormattingError) {
            command[0] = Value(static_cast<int>(CommandCodeEquationError));
            return command;
        }
        command.insert(command.begin(), {Value(std::string()), Value(static_cast<int>(CommandCodeAssignment))});
        return command;
    case WordRead::Failed:
        command.insert(command.begin(), Value(static_cast<int>(CommandCodeLexicalError)));
        return command;
    case WordRead::Word: break;
    }
    return dispatchCompileWord(command, asciiLower(command[0].toString()));
}

std::optional<Command> CommandParcer::dispatchCompileWord(Command& command, const std::string& word) {
    auto withCode = [&](int code) { command.insert(command.begin() + 1, Value(code)); };
    if (isIfWord(word)) {
        withCode(CommandCodeIf);
        readCondition(command, true);
        return command;
    }
    if (word == "else") {
        const char c = nextNonWhite();
        if (atEnd() || c == '\n' || c == '\r') {
            if (!atEnd()) ++commandLoc_;
            withCode(CommandCodeElse);
            return command;
        }
        auto next = nextArgument();
        if (!next) {
            skipLine();
            return Command{Value(static_cast<int>(CommandCodeLexicalError)), command[0]};
        }
        const std::string nextWord = asciiLower(*next);
        if (isIfWord(nextWord)) {
            Command elseIf{Value(nextWord), Value(static_cast<int>(CommandCodeElseIf))};
            readCondition(elseIf, true);
            return elseIf;
        }
        return Command{Value(static_cast<int>(CommandCodeConditionError)), command[0], Value(*next),
                       Value(restOfCommand())};
    }
    if (word == "return") {
        withCode(CommandCodeReturn);
        std::string rest = restOfCommand();
        if (!rest.empty()) command.push_back(Value(std::move(rest)));
        return command;
    }
    if (const int code = droppedRestCode(word); code >= 0) {
        restOfCommand();
        withCode(code);
        return command;
    }
    withCode(compiledWordCode(word));
    if (!readArgumentsToLineEnd(command))
        command.insert(command.begin(), Value(static_cast<int>(CommandCodeLexicalError)));
    return command;
}

// ---- Compiling ------------------------------------------------------------

std::shared_ptr<const CompiledCommands> CommandParcer::tokenizeCommands(CommandCompiler& compiler) {
    std::vector<Command> compiled;
    int openIfs = 0;
    while (auto command = readNextCommand()) compileOne(std::move(*command), compiler, compiled, openIfs);
    return std::make_shared<const CompiledCommands>(std::move(compiled));
}

void CommandParcer::compileOne(Command command, CommandCompiler& compiler,
                               std::vector<Command>& compiled, int& openIfs) {
    auto fail = [&](const std::string& message, const Command& shown) {
        compiler.parceCompileError(message, shown);
        // A compiler must not come back from an error; stop compiling anyway.
        raise(exception_names::CustomEditError, message);
    };
    if (!command.empty() && command[0].isInteger()) {
        const auto number = command[0].toInteger();
        command.erase(command.begin());
        if (command.size() > 1 && command[1].isInteger()) command.erase(command.begin() + 1);
        const char* message = number == CommandCodeLexicalError     ? "Unterminated quotes or expression block:"
                              : number == CommandCodeConditionError ? "Conditional formatting error:"
                              : number == CommandCodeEquationError  ? "Invalid equation or variable name:"
                                                                    : "Unknown compiling error:";
        fail(message, command);
    }
    auto decide = [&] {
        if (compiler.shouldAddCommand(command, compiled, *this)) compiled.push_back(command);
    };
    auto definedName = [&](std::map<std::string, std::size_t>& names, bool subs) {
        const std::string* name = command.size() > 2 ? command[2].string() : nullptr;
        const std::string unquoted = name ? unquote(*name) : std::string();
        const bool taken = subs ? subDefs_.contains(unquoted) : names.contains(unquoted);
        if (unquoted.empty() || taken) return false;
        if (subs)
            subDefs_[unquoted].commandIndex = compiled.size();
        else
            names[unquoted] = compiled.size();
        return true;
    };
    switch (commandCodeOf(command).value_or(CommandCodeCommand)) {
    case CommandCodeCommand:
    case CommandCodeAssignment:
    case CommandCodeRepeat:
    case CommandCodeEndRepeat: return decide();
    case CommandCodeIf:
        if (conditionThen_)
            command[1] = Value(static_cast<int>(CommandCodeOneLineIf));
        else
            ++openIfs;
        return decide();
    case CommandCodeElse:
        if (openIfs == 0) fail("else not within a conditional block:", command);
        compiled.push_back(command);
        return;
    case CommandCodeElseIf:
        if (openIfs == 0) fail("else if not within a conditional block:", command);
        return decide();
    case CommandCodeEndIf:
        if (openIfs-- == 0) fail("endif without matching if command:", command);
        compiled.push_back(command);
        return;
    case CommandCodeSub:
        if (!definedName(compiledDefs_, true))
            fail("sub with missing, invalid, or duplicated, subroutine name:", command);
        compiled.push_back(command);
        return;
    case CommandCodeDef:
        if (!definedName(compiledDefs_, false))
            fail("def with missing, invalid, or duplicated, definition name:", command);
        compiled.push_back(command);
        return;
    case CommandCodeGoSub: {
        const std::string* name = command.size() > 2 ? command[2].string() : nullptr;
        if (name && hasDefinedSub(*name)) {
            command[1] = Value(static_cast<int>(CommandCodeCommand));
            return decide();
        }
        if (name && command.size() == 3) {
            const auto open = name->find('(');
            if (open != std::string::npos && open > 0 && hasDefinedSub(name->substr(0, open))) {
                command = Command{Value(*name), Value(static_cast<int>(CommandCodeCommand))};
                return decide();
            }
        }
        fail("gosub with missing or invalid subroutine name:", command);
        return;
    }
    default: compiled.push_back(command); return;
    }
}

// ---- Token reader -----------------------------------------------------------

std::optional<Command> CommandParcer::tokenError(Command command, const std::string& message) const {
    while (command.size() < 2) command.push_back(Value(std::string()));
    command[1] = Value(static_cast<int>(CommandCodeRunError));
    command.insert(command.begin() + 2, Value(message));
    return command;
}

std::optional<Command> CommandParcer::nextTokenCommand() {
    const CompiledCommands& tokens = *tokens_;
    while (commandLoc_ < tokens.size()) {
        Command command = tokens[commandLoc_++];
        const int code = commandCodeOf(command).value_or(-1);
        switch (code) {
        case CommandCodeCommand:
        case CommandCodeAssignment:
        case CommandCodeIf:
        case CommandCodeOneLineIf:
        case CommandCodeRepeat:
        case CommandCodeEndRepeat: return command;
        case CommandCodeElse:
        case CommandCodeElseIf:
            if (mapElseIfCommand_) {
                mapElseIfCommand_ = false;
                command[1] = Value(static_cast<int>(CommandCodeIf));
                return command;
            }
            if (!skipIfBlockTokens(true)) return tokenError(command, "End of conditional block not found:");
            break;
        case CommandCodeEndIf: break;
        case CommandCodeBreak:
        case CommandCodeBreakAll:
            if (!breakCmd(code == CommandCodeBreakAll))
                return tokenError(command, code == CommandCodeBreakAll
                                               ? "breakAll command not in a loop or end of loop not found:"
                                               : "break command not in a loop or end of loop not found:");
            break;
        case CommandCodeEndSub:
        case CommandCodeReturn: {
            if (auto error = exitSubroutine(asciiLower(command[0].toString()))) return tokenError(command, *error);
            if (expressionServer_) {
                if (code == CommandCodeReturn && command.size() > 2)
                    expressionServer_->setSubReturnValue(
                        expressionServer_->evaulateCommandExpression(command[2].toString()));
                else
                    expressionServer_->setSubReturnValue(std::nullopt);
            }
            break;
        }
        case CommandCodeLocal:
            if (subStack_.empty()) return tokenError(command, "Local command not in a subroutine");
            break;
        default: return tokenError(command, "Unexpected command code encountered:");
        }
    }
    return std::nullopt;
}

// ---- Skipping conditional blocks ------------------------------------------

Command CommandParcer::readSkippedCommand() {
    const bool was = skipping_;
    skipping_ = true;
    auto command = nextCommand();
    skipping_ = was;
    return command ? *command : Command{};
}

bool CommandParcer::skipIfBlock(bool fromTrueBranch) {
    if (tokenMode_) return skipIfBlockTokens(fromTrueBranch);
    if (!fromTrueBranch && conditionThen_) {
        conditionThen_ = false;
        restOfCommand();
        return true;
    }
    int depth = 1;
    while (!atEnd()) {
        Command command = readSkippedCommand();
        if (command.empty() || !command[0].isString()) continue;
        const std::string word = asciiLower(*command[0].string());
        if (isIfWord(word)) {
            if (!conditionThen_) ++depth;
            conditionThen_ = false;
        } else if (word == "endif") {
            if (--depth == 0) return true;
        } else if (word == "else" && depth == 1 && !fromTrueBranch) {
            // Resume right after the word so that "else if ..." reads its if.
            std::size_t at = previousLoc_;
            while (at < commands_.size()) {
                if (asciiLower(commands_.substr(at, 4)) == "else") break;
                ++at;
            }
            commandLoc_ = at + 4;
            return true;
        }
    }
    return false;
}

bool CommandParcer::skipIfBlockTokens(bool fromTrueBranch) {
    const CompiledCommands& tokens = *tokens_;
    if (!fromTrueBranch && commandLoc_ > 0 && commandLoc_ <= tokens.size() &&
        commandCodeOf(tokens[commandLoc_ - 1]) == CommandCodeOneLineIf) {
        if (commandLoc_ < tokens.size()) ++commandLoc_;
        return true;
    }
    int depth = 1;
    while (commandLoc_ < tokens.size()) {
        const int code = commandCodeOf(tokens[commandLoc_]).value_or(-1);
        ++commandLoc_;
        if (code == CommandCodeIf) {
            ++depth;
        } else if (code == CommandCodeEndIf) {
            if (--depth == 0) return true;
        } else if (depth == 1 && !fromTrueBranch && code == CommandCodeElse) {
            return true;
        } else if (depth == 1 && !fromTrueBranch && code == CommandCodeElseIf) {
            --commandLoc_;
            mapElseIfCommand_ = true;
            return true;
        }
    }
    return false;
}

}  // namespace kl
