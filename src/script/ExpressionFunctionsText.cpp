// The text functions of the expression language. Positions and lengths
// count characters, never bytes, and no result cuts a UTF-8 sequence.
#include <cmath>

#include "foundation/Numbers.h"
#include "foundation/Utf8.h"
#include "model/wex.h"
#include "script/Expression.h"
#include "script/ExpressionFunctionTable.h"
#include "script/ExpressionScan.h"

namespace kl {
namespace {

using Args = std::span<const std::string>;
constexpr const char* kUnknown = "????";

// Byte offsets of each character's start, plus the text's length at the end.
std::vector<std::size_t> characterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += n) {
        starts.push_back(i);
        utf8::decodeAt(text, i, &n);
    }
    starts.push_back(text.size());
    return starts;
}

std::u32string lowerCharacters(std::string_view text) {
    std::u32string out;
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += n) out.push_back(exprtext::toLower(utf8::decodeAt(text, i, &n)));
    return out;
}

std::int64_t characterCount(std::string_view text) { return std::int64_t(characterStarts(text).size()) - 1; }

std::vector<std::string_view> blankSeparated(std::string_view text) {
    std::vector<std::string_view> pieces;
    for (std::size_t i = 0; i <= text.size();) {
        std::size_t blank = text.find(' ', i);
        if (blank == std::string_view::npos) blank = text.size();
        if (blank > i) pieces.push_back(text.substr(i, blank - i));
        i = blank + 1;
    }
    return pieces;
}

bool isTrimmed(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x85 || c == 0xA0 ||
           c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::string trim(std::string_view text) {
    auto starts = characterStarts(text);
    std::size_t first = 0, last = starts.size() - 1;
    std::size_t n = 0;
    while (first < last && isTrimmed(utf8::decodeAt(text, starts[first], &n))) ++first;
    while (last > first && isTrimmed(utf8::decodeAt(text, starts[last - 1], &n))) --last;
    return std::string(text.substr(starts[first], starts[last] - starts[first]));
}

// A 1-based position from its text; 0 or less counts back from the end.
std::int64_t position(const std::string& text, std::int64_t length, std::int64_t fallback) {
    if (text.empty()) return fallback;
    std::int64_t p = scan::intValue(text);
    if (p <= 0) p += length;
    return p < 1 ? 1 : p;
}

std::string chars(Args args) {
    std::string start, end, text;
    if (args.size() == 1) text = Expression::extractArgsFrom(args[0], &start, &end);
    else start = args[0], end = args[1], text = args[2];
    auto starts = characterStarts(text);
    const std::int64_t length = std::int64_t(starts.size()) - 1;
    std::int64_t first = position(start, length, 1);
    std::int64_t last = std::min(position(end, length, length), length);
    if (last < first) return {};
    return text.substr(starts[first - 1], starts[last] - starts[first - 1]);
}

std::string offset(Args args) {
    std::string find, start, text;
    if (args.size() == 1) text = Expression::extractArgsFrom(args[0], &find, &start);
    else find = args[0], start = args[1], text = args[2];
    if (find.empty()) return "0";
    std::int64_t from = start.empty() ? 1 : std::max<std::int64_t>(1, scan::intValue(start));
    std::u32string haystack = lowerCharacters(text);
    if (from > std::int64_t(haystack.size())) return "0";
    std::size_t found = haystack.find(lowerCharacters(find), std::size_t(from - 1));
    return found == std::u32string::npos ? "0" : std::to_string(found + 1);
}

std::string word(Args args) {
    std::string n, text;
    if (args.size() == 1) text = Expression::extractArgsFrom(args[0], &n, nullptr);
    else n = args[0], text = args[1];
    auto pieces = blankSeparated(text);
    std::int64_t k = n.empty() ? 1 : scan::intValue(n);
    std::int64_t index = k >= 1 ? k - 1 : std::int64_t(pieces.size()) - 1 + k;
    if (index < 0 || index >= std::int64_t(pieces.size())) return {};
    return std::string(pieces[std::size_t(index)]);
}

std::string replace(Args args) {
    std::string from, to, text;
    if (args.size() == 1) text = Expression::extractArgsFrom(args[0], &from, &to);
    else from = args[0], to = args[1], text = args[2];
    if (from.empty()) return text;
    return wex::replaceOccurrencesOfString(text, from, to);
}

std::string round(Args args) {
    std::vector<std::string> parts(args.begin(), args.end());
    if (parts.size() == 1) parts = wex::notWhiteArgs(parts[0]);
    if (parts.size() != 2) return kUnknown;
    auto x = scan::scanDouble(parts[0]);
    auto digits = scan::scanInt(parts[1]);
    // A negative count has no printf meaning; a huge one would only pad.
    if (!x || !digits || *digits < 0) return kUnknown;
    if (std::isnan(*x)) return "nan";
    return formatFixed(*x, std::min(*digits, 50));
}

std::string hexchar(Args args) {
    std::string hex;
    for (char c : args[0])
        if (c != ' ' && c != '\t') hex += c;
    if (hex.empty() || hex.size() > 8) return "?";
    char32_t code = 0;
    for (char c : hex) {
        char l = (c >= 'A' && c <= 'F') ? char(c - 'A' + 'a') : c;
        int digit = (l >= '0' && l <= '9') ? l - '0' : (l >= 'a' && l <= 'f') ? l - 'a' + 10 : -1;
        if (digit < 0) return "?";
        code = code * 16 + char32_t(digit);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return "?";
    return utf8::encode(code);
}

// Column widths are small; a typo such as 2000000000 must not ask for
// gigabytes of blanks.
constexpr std::int32_t kMaxJustifyWidth = 100000;

std::string rjust(Args args) {
    auto width = scan::scanInt(args[1]);
    if (!width) return kUnknown;
    if (*width < 0) return args[0];
    width = std::min(*width, kMaxJustifyWidth);
    auto starts = characterStarts(args[0]);
    const std::int64_t length = std::int64_t(starts.size()) - 1;
    if (length <= *width) return std::string(std::size_t(*width - length), ' ') + args[0];
    return args[0].substr(0, starts[std::size_t(*width)]);
}

std::string cond(Args args) {
    bool test = false;
    if (auto n = scan::scanInt(args[0])) test = *n != 0;
    else test = exprtext::lowercase(args[0]) == "true";
    return test ? args[1] : args[2];
}

std::string words(std::string_view text) { return std::to_string(blankSeparated(text).size()); }

}  // namespace

std::string Expression::doStringFunction(std::uint32_t code, std::span<const std::string> args,
                                         const Variables& variables) const {
    if (args.empty()) return {};
    const std::string& a = args[0];
    switch (code) {
    case fourCharCode("upcs"): return exprtext::uppercase(a);
    case fourCharCode("locs"): return exprtext::lowercase(a);
    case fourCharCode("tics"): return exprtext::titlecase(a);
    case fourCharCode("slen"): return std::to_string(characterCount(a));
    case fourCharCode("wrds"): return words(a);
    case fourCharCode("wrd1"): return wex::getFirstWord(a);
    case fourCharCode("wrdL"): return wex::getLastWord(a);
    case fourCharCode("rem1"): return wex::deleteFirstWord(a);
    case fourCharCode("remL"): return wex::deleteLastWord(a);
    case fourCharCode("trim"): return trim(a);
    case fourCharCode("hexC"): return hexchar(args);
    case fourCharCode("oord"): return exprtext::ordinal(a);
    case fourCharCode("card"): return exprtext::cardinal(a);
    case fourCharCode("alph"): return exprtext::alpha(a);
    case fourCharCode("roma"): return exprtext::roman(a);
    case fourCharCode("vval"): {
        auto key = getVariable(a, variables, parce_);
        auto found = key ? variables.find(*key) : variables.end();
        return found == variables.end() ? "_nav_" : found->second;
    }
    default: break;
    }
    // The rest take one text in the backslash form or their full count.
    const std::size_t full = std::size_t(functionNumStrings(code));
    if (args.size() != 1 && args.size() != full) return {};
    if (args.size() == 1 && full > 1 && !functionAllowsOne(code)) return {};
    switch (code) {
    case fourCharCode("chrG"): return chars(args);
    case fourCharCode("offC"): return offset(args);
    case fourCharCode("wrdG"): return word(args);
    case fourCharCode("repS"): return replace(args);
    case fourCharCode("rond"): return round(args);
    case fourCharCode("rjst"): return rjust(args);
    case fourCharCode("cond"): return cond(args);
    default: return {};
    }
}

}  // namespace kl
