#include "editor/TextEditing.h"

#include "foundation/AsciiText.h"

namespace kl {

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool endsWord(char c) { return isBlank(c) || c == ',' || isLineEnd(c); }

// " then " outside double-quoted text.
bool holdsThen(std::string_view rest) {
    std::string outside;
    bool quoted = false;
    for (char c : rest) {
        if (c == '"') {
            quoted = !quoted;
            outside += '"';
        } else {
            outside += quoted ? 'x' : c;
        }
    }
    return outside.find(" then ") != std::string::npos;
}

}  // namespace

std::string newlineIndentation(std::string_view text, std::size_t caret) {
    caret = std::min(caret, text.size());
    std::size_t lineStart = caret;
    while (lineStart > 0 && !isLineEnd(text[lineStart - 1])) --lineStart;
    std::size_t end = lineStart;
    while (end < caret && isBlank(text[end])) ++end;
    return "\n" + std::string(text.substr(lineStart, end - lineStart));
}

std::string indentCommands(std::string_view text, std::string_view indent,
                           const std::map<std::string, int>& keywords) {
    auto codeOf = [&](std::string_view word) {
        const auto found = keywords.find(asciiLower(word));
        return found == keywords.end() ? 0 : found->second;
    };
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    int level = 0;
    bool verbatim = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (isLineEnd(text[pos])) {
            out += text[pos++];
            continue;
        }
        std::size_t wordStart = pos;
        while (wordStart < text.size() && isBlank(text[wordStart])) ++wordStart;
        if (wordStart == text.size()) {
            // Blanks at the very end of the text end the work.
            out.append(text.substr(pos));
            break;
        }
        std::size_t wordEnd = wordStart;
        while (wordEnd < text.size() && !endsWord(text[wordEnd])) ++wordEnd;
        std::size_t lineEnd = wordEnd;
        while (lineEnd < text.size() && !isLineEnd(text[lineEnd])) ++lineEnd;
        int code = codeOf(text.substr(wordStart, wordEnd - wordStart));
        if (code == 4) {
            std::size_t next = wordEnd;
            while (next < lineEnd && (isBlank(text[next]) || text[next] == ',')) ++next;
            std::size_t nextEnd = next;
            while (nextEnd < lineEnd && !endsWord(text[nextEnd])) ++nextEnd;
            code = codeOf(text.substr(next, nextEnd - next));
        }
        if ((code == 2 || code == 3) && level > 0) --level;
        if (code == 7) verbatim = false;
        if (verbatim) {
            out.append(text.substr(pos, wordStart - pos));
        } else {
            for (int i = 0; i < level; ++i) out.append(indent);
        }
        out.append(text.substr(wordStart, lineEnd - wordStart));
        if (code == 1 || code == 2) ++level;
        if (code == 5 && !holdsThen(text.substr(wordEnd, lineEnd - wordEnd))) ++level;
        if (code == 6) verbatim = true;
        pos = lineEnd;
    }
    return out;
}

std::map<std::string, int> templateIndentKeywords(bool option) {
    std::map<std::string, int> table{{"if", 5},     {"ifstr", 5},  {"ifdef", 5},     {"ifndef", 5},
                                     {"ifnum", 5},  {"else", 2},   {"endif", 3},     {"sub", 1},
                                     {"endsub", 3}, {"cell", 4},   {"repeat", 1},    {"endrepeat", 3},
                                     {"repeatwith", 1}};
    if (!option) {
        table["groupbox"] = 1;
        table["endgroup"] = 3;
    }
    return table;
}

}  // namespace kl
