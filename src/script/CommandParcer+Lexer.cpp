// Cutting command lines into arguments: blanks and comments, quotes and
// groups, "=" and the compound assignments, braced subroutine arguments,
// whole-line assignments and the conditions of the if-family.
#include <algorithm>
#include <cctype>

#include "model/wex.h"
#include "foundation/AsciiText.h"
#include "script/CommandParcer.h"
#include "script/Expression.h"

namespace kl {

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
bool isCompoundOperator(char c) {
    return c == '&' || c == '*' || c == '+' || c == '-' || c == '/';
}
// The no-break space U+00A0 as UTF-8.
bool isNoBreakSpace(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xC2 &&
           static_cast<unsigned char>(text[i + 1]) == 0xA0;
}

bool isAllBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return isSpaceOrTab(c); });
}

std::string stripped(std::string text) { return Expression::removeWhiteSpaces(text); }

bool equalsNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
    return true;
}

// A word with a blank before and after it (" is ", " then ").
bool blankWordAt(std::string_view text, std::size_t at, std::string_view word) {
    return isSpaceOrTab(text[at]) && equalsNoCase(text, at + 1, word) &&
           at + 1 + word.size() < text.size() && isSpaceOrTab(text[at + 1 + word.size()]);
}

enum class CondMark { None, Compare, Logical, Then, OpenQuote };
struct CondFind {
    CondMark mark = CondMark::None;
    std::size_t at = 0;
    std::size_t length = 0;
};

// Comparison operators in the order they are tried at one position.
constexpr std::string_view comparisons[] = {"==", "!=", ">=", "<=", "<>", "=", ">", "<"};

CondFind findConditionMark(std::string_view text, bool comparisonsToo, bool logical) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            const auto close = text.find('"', i + 1);
            if (close == std::string_view::npos) return {CondMark::OpenQuote, i, 0};
            i = close;
            continue;
        }
        if (comparisonsToo) {
            for (std::string_view op : comparisons)
                if (text.substr(i, op.size()) == op) return {CondMark::Compare, i, op.size()};
            if (blankWordAt(text, i, "is")) return {CondMark::Compare, i, 4};
        }
        if (logical && (text.substr(i, 2) == "&&" || text.substr(i, 2) == "||"))
            return {CondMark::Logical, i, 2};
        if (blankWordAt(text, i, "then")) return {CondMark::Then, i, 6};
    }
    return {};
}

}  // namespace

bool CommandParcer::atLineEnd() const { return !atEnd() && isLineEnd(commands_[commandLoc_]); }

void CommandParcer::skipLine() {
    while (!atEnd() && !isLineEnd(commands_[commandLoc_])) ++commandLoc_;
    if (!atEnd()) ++commandLoc_;
}

char CommandParcer::nextNonWhite() {
    while (!atEnd()) {
        if (isSpaceOrTab(commands_[commandLoc_]))
            ++commandLoc_;
        else if (isNoBreakSpace(commands_, commandLoc_))
            commandLoc_ += 2;
        else
            break;
    }
    if (atEnd()) return ' ';
    if (commands_[commandLoc_] == '!') {
        while (!atEnd() && !isLineEnd(commands_[commandLoc_])) ++commandLoc_;
        return atEnd() ? ' ' : commands_[commandLoc_];
    }
    return commands_[commandLoc_];
}

std::optional<std::string> CommandParcer::nextArgument() {
    const std::string_view text = commands_;
    if (!atEnd() && text[commandLoc_] == ',') {
        std::size_t back = commandLoc_;
        while (back > 0 && (isSpaceOrTab(text[back - 1]) ||
                            (back >= 2 && isNoBreakSpace(text, back - 2))))
            back -= isSpaceOrTab(text[back - 1]) ? 1 : 2;
        ++commandLoc_;
        if (back > 0 && text[back - 1] == ',') return std::string();
        nextNonWhite();
    }
    if (!atEnd() && text[commandLoc_] == '=') {
        ++commandLoc_;
        return std::string("=");
    }
    const std::size_t start = commandLoc_;
    bool quoted = false;
    int depth = 0;
    std::size_t i = start;
    std::size_t end = 0;
    for (;; ++i) {
        if (i >= text.size() || isLineEnd(text[i])) {
            if (quoted || depth > 0) return std::nullopt;
            end = i;
            commandLoc_ = i;
            break;
        }
        const char c = text[i];
        if (quoted) {
            if (c == '"') quoted = false;
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if (depth > 0) {
            continue;
        } else if (isSpaceOrTab(c) || c == ',') {
            end = i;
            commandLoc_ = i + 1;
            break;
        } else if (c == '=') {
            if (i > start && isCompoundOperator(text[i - 1])) {
                if (i - 1 == start) {
                    commandLoc_ = i + 1;
                    return "\"" + std::string(text.substr(start, 2)) + "\"";
                }
                end = i - 1;
                commandLoc_ = i - 1;
            } else {
                end = i;
                commandLoc_ = i;
            }
            break;
        } else if (c == ')') {
            if (gosubArgs_ != 1) return std::nullopt;
            end = i;
            commandLoc_ = i + 1;
            gosubArgs_ = 2;
            break;
        }
    }
    return stripped(std::string(text.substr(start, end - start)));
}

std::string CommandParcer::restOfCommand() {
    const std::size_t start = std::min(commandLoc_, commands_.size());
    while (!atEnd() && !isLineEnd(commands_[commandLoc_])) ++commandLoc_;
    std::string rest = commands_.substr(start, commandLoc_ - start);
    if (!atEnd()) ++commandLoc_;
    return rest;
}

void CommandParcer::processBracedArgs(Command& command) {
    gosubArgs_ = 1;
    bool closed = false;
    while (!closed) {
        const char c = nextNonWhite();
        if (atEnd() || isLineEnd(c)) break;
        if (c == ')') {
            ++commandLoc_;
            gosubArgs_ = 2;
        } else {
            auto argument = nextArgument();
            if (!argument) break;
            command.push_back(Value(std::move(*argument)));
        }
        closed = gosubArgs_ == 2;
    }
    gosubArgs_ = 0;
    if (closed) {
        const char c = nextNonWhite();
        if (atEnd() || isLineEnd(c)) {
            if (!atEnd()) ++commandLoc_;
            return;
        }
    }
    // A missing ")", a failed argument or text after the list.
    skipLine();
    command.insert(command.begin(), Value(TerminationError));
}

void CommandParcer::eqnCondError(const std::string& text, const std::string& message, Command& command) {
    command.push_back(Value(FormattingError));
    command.push_back(Value(message));
    command.push_back(Value(text));
}

void CommandParcer::parceEquation(const std::string& line, Command& command) const {
    const std::string cut = wex::deleteComment(line, false);
    const auto equals = cut.find('=');
    if (equals == std::string::npos || equals < 2) return eqnCondError(line, "no equals sign", command);
    std::size_t varEnd = equals;
    char op = 0;
    if (isCompoundOperator(cut[equals - 1])) {
        op = cut[equals - 1];
        varEnd = equals - 1;
        if (varEnd < 2) return eqnCondError(line, "no variable to assign", command);
    }
    while (varEnd > 0 && isSpaceOrTab(cut[varEnd - 1])) --varEnd;
    if (varEnd < 2) return eqnCondError(line, "no variable to assign", command);

    const std::string variable = stripped(cut.substr(0, varEnd));
    const bool reference = variable[0] == '*';
    if (reference && !Expression::validVarname(std::string_view(variable).substr(1), false))
        return eqnCondError(line, "invalid reference variable", command);
    if (!reference && !Expression::validVarname(variable, true))
        return eqnCondError(line, "assign variable no valid", command);

    const std::string value = cut.substr(equals + 1);
    std::string expression;
    if (op == 0)
        expression = value;
    else if (reference)
        expression = "val(" + variable.substr(1) + ")" + op + "(" + value + ")";
    else
        expression = variable + op + "(" + value + ")";
    command.push_back(Value(variable));
    command.push_back(Value("="));
    command.push_back(Value(stripped(expression)));
}

void CommandParcer::parceConditional(const std::string& text, std::size_t textLoc, Command& command) {
    conditionThen_ = false;
    const std::string word = command.empty() ? std::string() : asciiLower(command[0].toString());
    const bool logical = word == "if";
    const bool quoteSingle = word == "ifdef" || word == "ifndef";
    Command parts;
    auto single = [&](std::string_view expression) {
        std::string e = stripped(std::string(expression));
        parts.push_back(Value(quoteSingle ? "\"" + e + "\"" : e));
    };
    auto fail = [&](const char* message, bool appendText) {
        Command failed{Value(FormattingError), Value(message)};
        failed.insert(failed.end(), command.begin(), command.end());
        if (appendText) failed.push_back(Value(text));
        command = std::move(failed);
    };
    auto unterminated = [&] {
        command.insert(command.begin(), Value(TerminationError));
        command.push_back(Value(text));
    };
    auto then = [&](std::size_t base, const CondFind& found) {
        conditionThen_ = true;
        commandLoc_ = textLoc + base + found.at + 5;
    };

    std::string clause = text;
    std::size_t base = 0;  // where clause starts within text
    for (;;) {
        if (clause.size() < 2) {
            single(clause);
            break;
        }
        CondFind found = findConditionMark(clause, true, logical);
        if (found.mark == CondMark::OpenQuote) return unterminated();
        if (found.mark == CondMark::None) {
            single(clause);
            break;
        }
        if (found.mark != CondMark::Compare) {
            const std::string_view before = std::string_view(clause).substr(0, found.at);
            if (isAllBlank(before)) return fail("empty first conditional expression", true);
            single(before);
            if (found.mark == CondMark::Then) {
                then(base, found);
                break;
            }
            parts.push_back(Value(clause.substr(found.at, 2)));
            base += found.at + 2;
            clause = wex::deleteComment(clause.substr(found.at + 2), true);
            if (isAllBlank(clause)) return fail("empty second conditional expression", false);
            continue;
        }
        const std::string left = clause.substr(0, found.at);
        const std::size_t restBase = base + found.at + found.length;
        const std::string rest = wex::deleteComment(clause.substr(found.at + found.length), true);
        if (isAllBlank(left) || isAllBlank(rest)) return fail("empty conditional expression", true);
        std::string op = clause.substr(found.at, found.length);
        if (op == "<>") op = "!=";
        if (found.length == 4) op = " is ";
        parts.push_back(Value(stripped(left)));
        parts.push_back(Value(op));
        CondFind next = findConditionMark(rest, false, logical);
        if (next.mark == CondMark::OpenQuote) return unterminated();
        if (next.mark == CondMark::None) {
            parts.push_back(Value(stripped(rest)));
            break;
        }
        const std::string right = rest.substr(0, next.at);
        if (isAllBlank(right)) return fail("empty first conditional expression", true);
        parts.push_back(Value(stripped(right)));
        if (next.mark == CondMark::Then) {
            then(restBase, next);
            break;
        }
        parts.push_back(Value(rest.substr(next.at, 2)));
        base = restBase + next.at + 2;
        clause = rest.substr(next.at + 2);
        if (isAllBlank(clause)) return fail("empty second conditional expression", false);
    }
    command.insert(command.end(), parts.begin(), parts.end());
}

void CommandParcer::parceNextConditional(const std::string& text, std::size_t textLoc, Command& command) {
    parceConditional(text, textLoc, command);
    if (!command.empty() && command[0].isString() &&
        (*command[0].string() == FormattingError || *command[0].string() == TerminationError))
        command[0] = Value(static_cast<int>(CommandCodeConditionError));
}

std::string CommandParcer::unquote(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

}  // namespace kl
