// ord(), card(), alpha() and roman(): small numbers as words or letters.
#include <cmath>

#include "foundation/Numbers.h"
#include "script/ExpressionFunctionTable.h"
#include "script/ExpressionScan.h"

namespace kl::exprtext {
namespace {

constexpr const char* kUnknown = "????";

struct NumberArgument {
    bool negative;
    std::int32_t n;  // the absolute value, truncated and saturated
};

std::optional<NumberArgument> numberArgument(std::string_view text) {
    auto x = scan::scanDouble(text);
    if (!x) return std::nullopt;
    return NumberArgument{*x < 0, saturatingInt32(std::fabs(*x))};
}

std::string sign(const NumberArgument& a) { return a.negative ? "-" : ""; }

}  // namespace

std::string ordinal(std::string_view text) {
    // "twelth" is the word users' stored templates expect.
    static const char* const words[] = {"zeroth",  "first",  "second", "third",    "fourth",  "fifth",   "sixth",
                                        "seventh", "eighth", "ninth",  "tenth",    "eleventh", "twelth", "thirteenth"};
    auto a = numberArgument(text);
    if (!a) return kUnknown;
    if (a->negative) return "-" + std::to_string(a->n);
    if (a->n <= 13) return words[a->n];
    // The suffix follows the last digit alone: 111 gives "111st".
    static const char* const suffixes[] = {"th", "st", "nd", "rd", "th", "th", "th", "th", "th", "th"};
    return std::to_string(a->n) + suffixes[a->n % 10];
}

std::string cardinal(std::string_view text) {
    static const char* const words[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};
    auto a = numberArgument(text);
    if (!a) return kUnknown;
    if (a->negative) return "-" + std::to_string(a->n);
    if (a->n <= 9) return words[a->n];
    return std::to_string(a->n);
}

std::string alpha(std::string_view text) {
    auto a = numberArgument(text);
    if (!a) return kUnknown;
    if (a->n == 0) return "0";
    if (a->n <= 26) return sign(*a) + char('a' + a->n - 1);
    return sign(*a) + std::to_string(a->n);
}

std::string roman(std::string_view text) {
    static const struct {
        int value;
        const char* letters;
    } numerals[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                    {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},   {1, "I"}};
    auto a = numberArgument(text);
    if (!a) return kUnknown;
    if (a->n == 0 || a->n >= 5000) return sign(*a) + std::to_string(a->n);
    std::string out = sign(*a);
    int rest = a->n;
    for (const auto& numeral : numerals)
        for (; rest >= numeral.value; rest -= numeral.value) out += numeral.letters;
    return out;
}

}  // namespace kl::exprtext
