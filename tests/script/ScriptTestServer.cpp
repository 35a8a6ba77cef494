#include "ScriptTestServer.h"

#include <cctype>

#include "foundation/Numbers.h"
#include "script/Expression.h"
#include "script/RepeatListItems.h"

namespace kl::test {

namespace {

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The command without its code (compiled commands carry one at index 1).
Command withoutCode(Command command) {
    if (command.size() > 1 && command[1].isInteger()) command.erase(command.begin() + 1);
    return command;
}

bool compare(const std::string& a, const std::string& op, const std::string& b) {
    auto x = parseDouble(a), y = parseDouble(b);
    const int c = (x && y) ? (*x < *y ? -1 : *x > *y ? 1 : 0) : a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
    if (op == "==" || op == "=" || op == " is ") return c == 0;
    if (op == "!=") return c != 0;
    if (op == "<") return c < 0;
    if (op == "<=") return c <= 0;
    if (op == ">") return c > 0;
    return c >= 0;
}

}  // namespace

void ScriptTestServer::runSource() {
    if (auto e = parser_.findSubroutines()) {
        fail(*e);
        return;
    }
    while (auto command = parser_.nextCommand())
        if (!run(std::move(*command))) return;
}

void ScriptTestServer::runTokens() {
    tokens_ = true;
    if (auto e = parser_.findSubroutinesByTokens()) {
        fail(*e);
        return;
    }
    while (auto command = parser_.nextTokenCommand())
        if (!run(std::move(*command))) return;
}

std::optional<std::string> ScriptTestServer::evaulateCommandExpression(const std::string& expression) {
    Expression e(expression);
    e.setParce(&parser_);
    if (auto message = e.evaluateWith(variables)) {
        fail(*message);
        return std::nullopt;
    }
    return e.value();
}

bool ScriptTestServer::fail(const std::string& message) {
    if (error) return false;
    error = message;
    if (!tokens_) {
        auto position = parser_.commandLine();
        errorLine = position.line;
        errorTrace = position.stackTrace;
    }
    return false;
}

std::string ScriptTestServer::eval(const Value& item) {
    Expression e(item.toString());
    e.setParce(&parser_);
    if (auto message = e.evaluateWith(variables)) {
        fail(*message);
        return {};
    }
    return e.value();
}

bool ScriptTestServer::run(Command command) {
    if (tokens_ && commandCodeOf(command) == CommandCodeRunError) return fail(command[2].toString());
    if (!command.empty() && command[0].isString()) {
        const std::string& first = *command[0].string();
        if (first == CommandParcer::TerminationError) return fail("termination");
        if (first == CommandParcer::LogicError || first == CommandParcer::FormattingError)
            return fail(command[1].toString());
    }
    const bool assignment = tokens_ ? commandCodeOf(command) == CommandCodeAssignment
                                    : command.size() == 3 && command[1].toString() == "=";
    Command args = withoutCode(command);
    if (assignment) {
        if (tokens_) args.erase(args.begin());
        std::string value = eval(args[2]);
        variables.insert_or_assign(args[0].toString(), value);
        return !error;
    }
    const std::string word = lowered(args[0].toString());
    if (word.starts_with("if")) {
        const bool truth = condition(args);
        if (error) return false;
        if (!truth && !parser_.skipIfBlock(false)) return fail("no endif");
        return true;
    }
    if (word == "repeat") return doRepeat(args);
    if (word == "repeatlist") return doRepeatList(args);
    if (word == "endrepeat" || word == "continue")
        return parser_.continueCmd(variables, nullptr, word == "endrepeat") || fail(word + " not in a loop");
    if (word == "gosub") return doGosub(command);
    if (word == "fail") return fail("failed here");
    if (word == "local") return true;
    std::string text = args[0].toString();
    for (std::size_t i = 1; i < args.size(); ++i) text += " " + eval(args[i]);
    handed.push_back(text);
    return !error;
}

bool ScriptTestServer::condition(const Command& args) {
    const std::string word = lowered(args[0].toString());
    bool result = false;
    std::string joiner = "||";
    for (std::size_t i = 1; i < args.size();) {
        bool clause;
        if (i + 2 < args.size() && args[i + 1].toString() != "&&" &&
            args[i + 1].toString() != "||") {
            clause = compare(eval(args[i]), args[i + 1].toString(), eval(args[i + 2]));
            i += 3;
        } else {
            const std::string value = eval(args[i]);
            clause = (word == "ifdef" || word == "ifndef") ? variables.contains(value) == (word == "ifdef")
                                                           : value != "0" && !value.empty();
            i += 1;
        }
        result = joiner == "&&" ? result && clause : result || clause;
        if (i < args.size()) joiner = args[i++].toString();
    }
    return result;
}

bool ScriptTestServer::doRepeat(const Command& args) {
    if (args.size() == 1) {
        parser_.repeatCmd(std::nullopt, 0, 0, 0, variables);
        return true;
    }
    const double from = parseDouble(eval(args[2])).value_or(0);
    const double to = parseDouble(eval(args[3])).value_or(0);
    const double step = args.size() > 4 ? parseDouble(eval(args[4])).value_or(0) : 1;
    parser_.repeatCmd(args[1].toString(), from, to, step, variables);
    if ((step > 0 && from > to) || (step < 0 && from < to) || step == 0)
        return parser_.breakCmd(false) || fail("no endrepeat");
    return true;
}

bool ScriptTestServer::doRepeatList(const Command& args) {
    Array items;
    for (std::size_t i = 2; i < args.size(); ++i) items.push_back(Value(eval(args[i])));
    return parser_.repeatCmd(args[1].toString(), std::make_shared<RepeatListItems>(std::move(items)),
                             variables, nullptr) ||
           fail("no endrepeat");
}

bool ScriptTestServer::doGosub(const Command& command) {
    Command call = command;
    const std::size_t nameAt = commandCodeOf(call) ? 2 : 1;
    for (std::size_t i = nameAt + 1; i < call.size(); ++i) call[i] = Value(eval(call[i]));
    if (error) return false;
    if (auto e = parser_.callSubroutine(call, variables)) return fail(*e);
    return true;
}

}  // namespace kl::test
