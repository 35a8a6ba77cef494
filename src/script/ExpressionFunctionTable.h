#pragma once
// The table of the built-in expression functions, shared by the tokenizer
// (which recognises the names) and the evaluator (which dispatches on the
// four-character codes). A read-only constant; safe on any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace kl {

// Packs four characters into a code, the first in the most significant byte.
constexpr std::uint32_t fourCharCode(const char (&c)[5]) {
    return (std::uint32_t(std::uint8_t(c[0])) << 24) | (std::uint32_t(std::uint8_t(c[1])) << 16) |
           (std::uint32_t(std::uint8_t(c[2])) << 8) | std::uint32_t(std::uint8_t(c[3]));
}

struct ExpressionFunctionEntry {
    std::string_view name;         // lower case, as the writer types it
    std::uint32_t code;
    bool isString;                 // a text function; else numeric
    int argumentCount;
    bool allowsOne;                // also takes one text in the backslash form
    std::string_view displayName;  // for "String function '%@' has invalid arguments"
};

// The entry for a lower-cased name, numeric names first; nullptr when none.
const ExpressionFunctionEntry* findExpressionFunction(std::string_view lowerName);
const ExpressionFunctionEntry* expressionFunctionByCode(std::uint32_t code);

}  // namespace kl

namespace kl::exprtext {

// Simple case mapping of one character: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic; other characters map to themselves.
char32_t toUpper(char32_t c);
char32_t toLower(char32_t c);
std::string uppercase(std::string_view text);
std::string lowercase(std::string_view text);
std::string titlecase(std::string_view text);

// The number words of ord, card, alpha and roman; "????" when the text does
// not start with a number.
std::string ordinal(std::string_view text);
std::string cardinal(std::string_view text);
std::string alpha(std::string_view text);
std::string roman(std::string_view text);

}  // namespace kl::exprtext
