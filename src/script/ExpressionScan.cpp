#include "script/ExpressionScan.h"

#include <limits>

#include "foundation/Numbers.h"

namespace kl::scan {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The text from its first non-white character, or nullopt when no decimal
// number starts there (the number parsers below would also take "inf").
std::optional<std::string_view> numberStart(std::string_view text, bool allowFraction) {
    std::size_t i = 0;
    while (i < text.size() && isSkipped(text[i])) ++i;
    std::size_t j = i;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) return text.substr(i);
    if (allowFraction && j + 1 < text.size() && text[j] == '.' && isDigit(text[j + 1])) return text.substr(i);
    return std::nullopt;
}

}  // namespace

std::optional<double> scanDouble(std::string_view text) {
    auto start = numberStart(text, true);
    if (!start) return std::nullopt;
    return parseDouble(*start);
}

std::optional<std::int32_t> scanInt(std::string_view text) {
    auto start = numberStart(text, false);
    if (!start) return std::nullopt;
    auto v = parseInteger(*start);
    if (!v) return std::nullopt;
    if (*v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (*v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(*v);
}

std::int32_t intValue(std::string_view text) { return scanInt(text).value_or(0); }

}  // namespace kl::scan
