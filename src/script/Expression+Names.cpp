// Variable names and references, shared with the command parser.
#include "script/Expression.h"

namespace kl {
namespace {

// Letters are ASCII letters and any character beyond ASCII, so that names
// written in other scripts stay valid.
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (unsigned char)c >= 0x80; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return isLetter(c) || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

// Index groups "[...][...]" that run to the end of the text, nested
// brackets allowed inside a group, no group empty, no "[[".
bool validIndexGroups(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '[') return false;
        int depth = 0;
        std::size_t start = i;
        for (; i < text.size(); ++i) {
            if (text[i] == '[') {
                if (i > start && text[i - 1] == '[') return false;
                ++depth;
            } else if (text[i] == ']') {
                if (text[i - 1] == '[') return false;
                if (--depth == 0) break;
            }
        }
        if (i >= text.size()) return false;
        ++i;
    }
    return true;
}

}  // namespace

std::string& Expression::removeWhiteSpaces(std::string& text) {
    std::size_t out = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == ' ' || c == '\t')) continue;
        text[out++] = c;
    }
    text.resize(out);
    return text;
}

bool Expression::validVarname(std::string_view text, bool requireNum) {
    if (requireNum) {
        if (text.size() < 2 || text[0] != '#') return false;
    } else {
        if (text.empty() || !(isLetter(text[0]) || text[0] == '#' || text[0] == '_')) return false;
        if (text.size() == 1) return true;
    }
    if (text.size() < 2 || !isNameStart(text[1])) return false;
    std::size_t i = 2;
    while (i < text.size() && isNameChar(text[i])) ++i;
    return validIndexGroups(text.substr(i));
}

bool Expression::validVarbase(std::string_view text) {
    if (!text.empty() && text[0] == '#') text.remove_prefix(1);
    if (text.empty()) return true;  // "#" alone
    if (!isNameStart(text[0])) return false;
    for (char c : text.substr(1))
        if (!isNameChar(c)) return false;
    return true;
}

std::optional<std::string> Expression::getVariable(std::string_view text, const Variables& variables,
                                                   const DefFunctionSource* parce) {
    if (text.find('[') == std::string_view::npos) {
        bool numbered = text.size() >= 2 && text[0] == '#';
        for (std::size_t i = 1; numbered && i < text.size(); ++i) numbered = isDigit(text[i]);
        if (!text.empty() && (validVarbase(text) || numbered)) return std::string(text);
        return std::nullopt;
    }
    Expression reference{std::string(text)};
    reference.setParce(parce);
    if (reference.tokenizeExpr()) return std::nullopt;
    Chain chain = reference.exprTokens();
    if (chain.size() < 2 || chain[0].code() != Atomic::Variable || !validVarbase(chain[0].string()))
        return std::nullopt;
    std::string key = chain[0].string();
    if (reference.getArrayIndices(chain, 0, key, variables)) return std::nullopt;
    if (chain.size() != 1) return std::nullopt;  // something after the last index
    return key;
}

}  // namespace kl
