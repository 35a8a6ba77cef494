#include "editor/SyntaxColorizer.h"

#include <algorithm>
#include <array>

namespace kl {

namespace {

constexpr std::string_view kKeywordEdges = " \t,:\r\n";
constexpr std::string_view kCommandEnds = " \t,\r\n";

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool among(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

void paint(std::vector<std::int8_t>& modes, std::size_t from, std::size_t to, int index) {
    std::fill(modes.begin() + static_cast<std::ptrdiff_t>(from), modes.begin() + static_cast<std::ptrdiff_t>(to),
              static_cast<std::int8_t>(index));
}

struct Palette {
    Color string, keyword, comment, expression, command, userExpression;
};

constexpr Palette kLight{{0.77, 0.102, 0.086}, {0.665, 0.052, 0.569}, {0, 0.456, 0},
                         {0.11, 0, 0.81},      {0.391, 0.22, 0.124},  {0.5, 0, 0.5}};
constexpr Palette kDark{{0.989, 0.416, 0.366}, {0.988, 0.374, 0.638}, {0.425, 0.475, 0.525},
                        {0.568, 0.832, 0.384}, {0.991, 0.561, 0.246}, {0.75, 0, 0.75}};

const std::vector<std::string> kTemplateCommands{
    "addpane",   "background", "cell",   "cleartabs",   "defaultcellsize", "displayheight", "displaywidth",
    "droptypes", "endgroup",   "help",   "hide",        "hideexcess",      "hmoveto",       "hskip",
    "linkall",   "menuitems",  "moveto", "newline",     "optionaltag",     "readall",       "repeatwith",
    "resizewindow", "set",     "settab", "show",        "showall",         "sizetofit",     "tab",
    "text",      "title",      "use",    "vmoveto"};

const std::vector<std::string> kScriptCommands{
    "beep",          "compress",       "createlist",  "createdictionary", "createdocument",  "createscriptoutput",
    "createstructure", "dateformat",   "datenumbers", "dateparts",        "datestyle",       "datetext",
    "datetoday",     "dateyear",       "display",     "formatname",       "getobject",       "lonlatbounds",
    "makefolder",    "nameparts",      "notifyprogress", "offset",        "openfile",        "openurl",
    "prechecks",     "readpasteboard", "replace",     "revealinfinder",   "safehtml",        "safetex",
    "sdnrange",      "sleep",          "subprocess",  "uniquefile",       "userchoice",      "userinput",
    "useropenfile",  "useropenfolder", "useroption",  "usersavefile"};

const std::vector<std::string> kPythonKeywords{
    "and",  "del",   "from",   "not",    "while",  "as",     "elif",     "global", "or",  "with", "assert",
    "else", "if",    "pass",   "yield",  "break",  "except", "import",   "print",  "class", "exec", "in",
    "raise", "continue", "finally", "is", "return", "def",   "for",      "lambda", "try"};

const std::vector<std::string> kAppleScriptCommands{"else",       "else if", "if",     "end",      "set",
                                                    "end if",     "tell",    "end tell", "beep",   "on",
                                                    "end repeat", "try",     "on error", "end try", "make",
                                                    "open",       "return",  "repeat"};

constexpr const char* kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

ColorComponent oneLineComment(std::string start, Color color) {
    ColorComponent c;
    c.type = ColorComponent::Type::OneLineComment;
    c.name = "Comments";
    c.color = color;
    c.start = std::move(start);
    return c;
}

ColorComponent wordList(ColorComponent::Type type, std::string name, Color color, std::vector<std::string> words) {
    ColorComponent c;
    c.type = type;
    c.name = std::move(name);
    c.color = color;
    c.keywords = std::move(words);
    return c;
}

ColorComponent userExpressions(std::string charSet, Color color) {
    ColorComponent c;
    c.type = ColorComponent::Type::Expression;
    c.name = "UserExpressions";
    c.color = color;
    c.start = "@";
    c.charSet = std::move(charSet);
    return c;
}

}  // namespace

SyntaxColorizer::SyntaxColorizer(ColorComponents components) : components_(std::move(components)) {
    for (std::size_t i = 0; i < components_.size(); ++i)
        if (components_[i].name == "Strings") {
            stringsIndex_ = static_cast<int>(i);
            break;
        }
}

const std::string& SyntaxColorizer::modeName(int component) const {
    static const std::string text = "Text";
    if (component < 0 || static_cast<std::size_t>(component) >= components_.size()) return text;
    return components_[static_cast<std::size_t>(component)].name;
}

std::vector<std::int8_t> SyntaxColorizer::modes(std::string_view text) const {
    std::vector<std::int8_t> modes(text.size(), static_cast<std::int8_t>(textMode));
    for (std::size_t i = 0; i < components_.size() && i < 127; ++i) {
        const ColorComponent& c = components_[i];
        const int index = static_cast<int>(i);
        switch (c.type) {
        case ColorComponent::Type::String: colorStrings(text, c, index, modes); break;
        case ColorComponent::Type::Keyword: colorKeywords(text, c, index, modes); break;
        case ColorComponent::Type::Command: colorCommands(text, c, index, modes); break;
        case ColorComponent::Type::Expression: colorExpressions(text, c, index, modes); break;
        case ColorComponent::Type::OneLineComment: colorOneLineComment(text, c, index, modes); break;
        case ColorComponent::Type::Other: break;
        }
    }
    return modes;
}

std::vector<ColorSpan> SyntaxColorizer::colorize(std::string_view text) const {
    const std::vector<std::int8_t> byByte = modes(text);
    std::vector<ColorSpan> spans;
    for (std::size_t i = 0; i < byByte.size();) {
        std::size_t j = i + 1;
        while (j < byByte.size() && byByte[j] == byByte[i]) ++j;
        spans.push_back({i, j - i, byByte[i]});
        i = j;
    }
    return spans;
}

void SyntaxColorizer::colorStrings(std::string_view text, const ColorComponent& c, int index,
                                   std::vector<std::int8_t>& modes) const {
    if (c.start.empty() || c.end.empty()) return;
    const char escape = c.escapeChar.empty() ? '\0' : c.escapeChar.front();
    std::size_t from = 0;
    while ((from = text.find(c.start, from)) != std::string_view::npos) {
        const std::size_t open = from;
        std::size_t close = text.find(c.end, open + c.start.size());
        bool escapedAtEnd = false;
        while (escape && close != std::string_view::npos && close > 0 && text[close - 1] == escape) {
            escapedAtEnd = close + c.end.size() == text.size();
            close = text.find(c.end, close + c.end.size());
        }
        if (close == std::string_view::npos) {
            // A text cut right after an escaped quote may go on beyond the
            // part being coloured.
            if (escapedAtEnd) paint(modes, open, text.size(), index);
            return;
        }
        paint(modes, open, close + c.end.size(), index);
        from = close + c.end.size();
    }
}

void SyntaxColorizer::colorKeywords(std::string_view text, const ColorComponent& c, int index,
                                    std::vector<std::int8_t>& modes) const {
    for (const std::string& word : c.keywords) {
        if (word.empty()) continue;
        for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
            const std::size_t after = at + word.size();
            if (after < text.size() && !among(kKeywordEdges, text[after])) continue;
            if (at > 0 && !among(kKeywordEdges, text[at - 1])) continue;
            if (inStrings(modes, at)) continue;
            paint(modes, at, after, index);
        }
    }
}

void SyntaxColorizer::colorCommands(std::string_view text, const ColorComponent& c, int index,
                                    std::vector<std::int8_t>& modes) const {
    for (const std::string& word : c.keywords) {
        if (word.empty()) continue;
        for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
            const std::size_t after = at + word.size();
            if (after < text.size() && !among(kCommandEnds, text[after])) continue;
            std::size_t before = at;
            while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t')) --before;
            if (before > 0 && !isLineEnd(text[before - 1])) continue;
            paint(modes, at, after, index);
        }
    }
}

void SyntaxColorizer::colorExpressions(std::string_view text, const ColorComponent& c, int index,
                                       std::vector<std::int8_t>& modes) const {
    if (c.start.empty()) return;
    std::array<bool, 256> inSet{};
    for (unsigned char ch : c.charSet) inSet[ch] = true;
    std::size_t from = 0;
    while ((from = text.find(c.start, from)) != std::string_view::npos) {
        if (inStrings(modes, from)) {
            ++from;
            continue;
        }
        std::size_t end = from + 1;
        while (end < text.size() && inSet[static_cast<unsigned char>(text[end])]) ++end;
        paint(modes, from, end, index);
        from = end;
    }
}

void SyntaxColorizer::colorOneLineComment(std::string_view text, const ColorComponent& c, int index,
                                          std::vector<std::int8_t>& modes) const {
    if (c.start.empty()) return;
    std::size_t from = 0;
    while ((from = text.find(c.start, from)) != std::string_view::npos) {
        if (inStrings(modes, from) ||
            (!c.escapeChar.empty() && text.substr(from + 1).starts_with(c.escapeChar))) {
            ++from;
            continue;
        }
        std::size_t end = from;
        while (end < text.size() && !isLineEnd(text[end])) ++end;
        paint(modes, from, end, index);
        from = end;
    }
}

// ---- component sets

ColorComponents SyntaxColorizer::defaultStrings(Color strings, Color commands, Color expressions, Color comments) {
    ColorComponent quoted;
    quoted.type = ColorComponent::Type::String;
    quoted.name = "Strings";
    quoted.color = strings;
    quoted.start = quoted.end = "\"";
    ColorComponent words = wordList(
        ColorComponent::Type::Keyword, "Commands", commands,
        {"break",   "breakall",  "clear",    "continue", "def",     "else ifdef", "else ifndef", "else ifnum",
         "else ifstr", "else if", "else",    "endif",    "endrepeat", "endsub",   "exit",        "export",
         "from",    "gosub",     "if",       "ifstr",    "ifdef",   "ifndef",     "ifnum",       "import",
         "lines",   "load",      "local",    "log",      "popvariables", "pushvariables", "repeat", "repeatwith",
         "return",  "sub",       "then",     "unset",    "words"});
    ColorComponent expression;
    expression.type = ColorComponent::Type::Expression;
    expression.name = "Expressions";
    expression.color = expressions;
    expression.start = "#";
    expression.charSet = std::string(kLetters) + "$_";
    ColorComponent comment = oneLineComment("!", comments);
    comment.escapeChar = "=";
    return {quoted, words, expression, comment};
}

ColorComponents SyntaxColorizer::defaultComponents() {
    return defaultStrings(Color::gray(), {0, 0, 1}, {0.5, 0, 0}, {0, 0.5, 0});
}

void SyntaxColorizer::insertComponent(ColorComponents& components, ColorComponent component) {
    const auto at = components.empty() ? components.end() : components.end() - 1;
    components.insert(at, std::move(component));
}

ColorComponents SyntaxColorizer::componentsForKind(const std::string& kind, bool dark) {
    const Palette& p = dark ? kDark : kLight;
    if (kind == "py") {
        ColorComponent quoted;
        quoted.type = ColorComponent::Type::String;
        quoted.name = "Strings";
        quoted.color = p.string;
        quoted.start = quoted.end = "\"";
        quoted.escapeChar = "\\";
        return {quoted, wordList(ColorComponent::Type::Keyword, "UserKeywords", p.keyword, kPythonKeywords),
                oneLineComment("#", p.comment)};
    }
    if (kind == "applescript")
        return {wordList(ColorComponent::Type::Command, "UserCommands", p.keyword, kAppleScriptCommands),
                oneLineComment("--", p.comment)};
    if (kind != "txt" && kind != "klscpt") return {};
    const bool script = kind == "klscpt";
    ColorComponents components = defaultStrings(p.string, p.keyword, p.expression, p.comment);
    if (script)
        for (const char* word : {"clear", "dump", "write", "stop"}) components[1].keywords.push_back(word);
    insertComponent(components, wordList(ColorComponent::Type::Command, "UserCommands", p.command,
                                         script ? kScriptCommands : kTemplateCommands));
    insertComponent(components, userExpressions(std::string(kLetters) + (script ? ".$_#[]" : "._#[]"),
                                                p.userExpression));
    return components;
}

}  // namespace kl
