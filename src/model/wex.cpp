#include "model/wex.h"

#include <cmath>

#include "foundation/Numbers.h"

namespace kl::wex {

namespace {

Index length(std::string_view text) { return static_cast<Index>(text.size()); }

}  // namespace

std::string whiteString(Index count) { return std::string(count > 0 ? static_cast<std::size_t>(count) : 0, ' '); }

Index notWhiteFrom(std::string_view text, Index i) {
    if (i >= length(text)) return i;
    for (Index j = i < 0 ? 0 : i; j < length(text); ++j)
        if (!isWhite(text[j])) return j;
    return length(text);
}

Index whiteFrom(std::string_view text, Index i) {
    if (i >= length(text)) return i;
    for (Index j = i < 0 ? 0 : i; j < length(text); ++j)
        if (isWhite(text[j])) return j;
    return length(text);
}

Index notWhiteBefore(std::string_view text, Index i) {
    if (i < 0) return i;
    for (Index j = i < length(text) ? i : length(text) - 1; j >= 0; --j)
        if (!isWhite(text[j])) return j;
    return -1;
}

Index whiteBefore(std::string_view text, Index i) {
    if (i < 0) return i;
    for (Index j = i < length(text) ? i : length(text) - 1; j >= 0; --j)
        if (isWhite(text[j])) return j;
    return -1;
}

Index firstNotWhite(std::string_view text) { return notWhiteFrom(text, 0); }

Index lastNotWhite(std::string_view text) { return notWhiteBefore(text, length(text) - 1); }

bool isAllWhite(std::string_view text) { return firstNotWhite(text) == length(text); }

Range notWhiteRange(std::string_view text) {
    Index first = firstNotWhite(text);
    if (first == length(text)) return {NotFound, 0};
    return {first, lastNotWhite(text) - first + 1};
}

std::string removeWhiteTail(std::string_view text) {
    // An all-white text is handed back as it is: callers use this on lines
    // whose indentation they still want to see.
    Index last = lastNotWhite(text);
    if (last < 0) return std::string(text);
    return std::string(text.substr(0, static_cast<std::size_t>(last + 1)));
}

std::string nonWhiteString(std::string_view text, bool escapeSpaces) {
    Range r = notWhiteRange(text);
    if (r.location == NotFound) return {};
    std::string trimmed(text.substr(static_cast<std::size_t>(r.location), static_cast<std::size_t>(r.length)));
    if (!escapeSpaces) return trimmed;
    return replaceOccurrencesOfString(replaceOccurrencesOfString(trimmed, "\\ ", " "), " ", "\\ ");
}

std::string getFirstWord(std::string_view text) {
    Index start = firstNotWhite(text);
    Index end = whiteFrom(text, start);
    return std::string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

std::string getLastWord(std::string_view text) {
    Index end = lastNotWhite(text);
    if (end < 0) return {};
    Index start = whiteBefore(text, end) + 1;
    return std::string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start + 1)));
}

std::string deleteFirstWord(std::string_view text) {
    Index rest = notWhiteFrom(text, whiteFrom(text, firstNotWhite(text)));
    return std::string(text.substr(static_cast<std::size_t>(rest)));
}

std::string deleteLastWord(std::string_view text) {
    Index gap = whiteBefore(text, lastNotWhite(text));
    if (gap < 0) return {};
    Index previousEnd = notWhiteBefore(text, gap);
    if (previousEnd < 0) return {};
    return std::string(text.substr(0, static_cast<std::size_t>(previousEnd + 1)));
}

std::string repeatString(std::string_view text, Index n) {
    std::string result;
    if (n < 1) return result;
    result.reserve(text.size() * static_cast<std::size_t>(n));
    for (Index k = 0; k < n; ++k) result.append(text);
    return result;
}

std::string replaceOccurrencesOfString(std::string_view text, std::string_view target,
                                       std::string_view replacement) {
    if (target.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(target); at != std::string_view::npos; at = text.find(target, from)) {
        result.append(text.substr(from, at - from)).append(replacement);
        from = at + target.size();
    }
    result.append(text.substr(from));
    return result;
}

// printf writes "-nan" for the NaN that sqrt(-1) makes; number text knows
// only one.
std::string DbleToString(double value) { return std::isnan(value) ? "nan" : formatGeneral(value, 8); }

}  // namespace kl::wex
