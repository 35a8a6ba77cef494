// Line splitting by the standard line ends, and the narrower line bounds of
// the script editor, where a lone CR does not end a line.
#include "model/wex.h"

#include <algorithm>

namespace kl::wex {

namespace {

constexpr std::string_view LineSeparator = "\xE2\x80\xA8";
constexpr std::string_view ParagraphSeparator = "\xE2\x80\xA9";
constexpr std::string_view NextLine = "\xC2\x85";

// Byte length of the standard line end at text[i]; 0 when none starts there.
std::size_t lineEndAt(std::string_view text, std::size_t i) {
    char c = text[i];
    if (c == '\n') return 1;
    if (c == '\r') return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    std::string_view rest = text.substr(i);
    if (rest.starts_with(LineSeparator) || rest.starts_with(ParagraphSeparator)) return 3;
    if (rest.starts_with(NextLine)) return 2;
    return 0;
}

// Position of the line end at or after i and its length; the text's length
// and 0 when the last line has none.
std::pair<std::size_t, std::size_t> nextLineEnd(std::string_view text, std::size_t i) {
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c != '\n' && c != '\r' && c != 0xE2 && c != 0xC2) continue;
        if (std::size_t n = lineEndAt(text, i)) return {i, n};
    }
    return {text.size(), 0};
}

// Start of the line holding position i under the standard rules, found by
// looking back for the end of the line before it.
std::size_t lineStartBefore(std::string_view text, std::size_t i) {
    for (std::size_t j = i; j > 0; --j) {
        char c = text[j - 1];
        if (c == '\n') return j;
        // The CR of a CR LF pair does not end a line by itself.
        if (c == '\r' && !(j < text.size() && text[j] == '\n')) return j;
        std::string_view before = text.substr(0, j);
        if (before.ends_with(LineSeparator) || before.ends_with(ParagraphSeparator) || before.ends_with(NextLine))
            return j;
    }
    return 0;
}

struct Bounds {
    std::size_t start, end, contentsEnd;
};

Bounds standardBounds(std::string_view text, std::size_t from, std::size_t to) {
    Bounds b{lineStartBefore(text, from), 0, 0};
    auto [contentsEnd, n] = nextLineEnd(text, to > from ? to - 1 : to);
    // "to - 1" may sit on the LF of a CR LF already consumed; nextLineEnd then
    // still finds that LF as its own end, which is the line we want.
    b.contentsEnd = contentsEnd;
    b.end = contentsEnd + n;
    return b;
}

}  // namespace

std::vector<std::string> linesToArray(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        auto [end, n] = nextLineEnd(text, at);
        lines.emplace_back(text.substr(at, end - at));
        at = end + n;
    }
    return lines;
}

std::string getFirstLine(std::string_view text, bool* more) {
    auto [end, n] = nextLineEnd(text, 0);
    if (more) *more = end + n < text.size();
    return std::string(text.substr(0, end));
}

bool isOneLine(std::string_view text) {
    auto [end, n] = nextLineEnd(text, 0);
    return end + n >= text.size();
}

// Start of the line holding position i when only LF, CR LF and LS end lines.
static std::size_t narrowLineStartBefore(std::string_view text, std::size_t i) {
    for (std::size_t j = i; j > 0; --j)
        if (text[j - 1] == '\n' || text.substr(0, j).ends_with(LineSeparator)) return j;
    return 0;
}

void getLineStart(std::string_view text, Index* start, Index* end, Index* contentsEnd, Range range) {
    auto clamp = [&](Index v) { return static_cast<std::size_t>(std::clamp<Index>(v, 0, static_cast<Index>(text.size()))); };
    std::size_t from = clamp(range.location);
    Bounds b = standardBounds(text, from, std::max(from, clamp(range.location + range.length)));
    while (b.end < text.size()) {
        std::size_t at = b.contentsEnd;
        if (text[at] == '\r') at = b.contentsEnd = at + 1;
        if (at < text.size() && (text[at] == '\n' || text.substr(at).starts_with(LineSeparator))) break;
        Bounds next = standardBounds(text, b.end, b.end);
        b.end = next.end;
        b.contentsEnd = next.contentsEnd;
    }
    // The start follows the same rule as the end, so a position just after a
    // lone CR still belongs to the line the CR sits in.
    if (start) *start = static_cast<Index>(narrowLineStartBefore(text, b.start));
    if (end) *end = static_cast<Index>(b.end);
    if (contentsEnd) *contentsEnd = static_cast<Index>(b.contentsEnd);
}

}  // namespace kl::wex
