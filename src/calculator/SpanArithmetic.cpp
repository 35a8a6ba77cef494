#include "calculator/SpanArithmetic.h"

#include "dates/DateCodes.h"
#include "foundation/AsciiText.h"
#include "dates/ExactTime.h"

#include <string>
#include <vector>

namespace kl::calc {

namespace {

using namespace date_codes;

constexpr int kAtLeast = kBET;
constexpr int kAtMost = kAND;
constexpr int kSign = -4;
constexpr int kDays = -1;
constexpr int kMonths = -2;
constexpr int kYears = -3;
// A span of more parts than this many tokens is no span anyone types.
constexpr std::size_t kMaxSpanTokens = 19;

constexpr std::string_view kEnDash = "\xE2\x80\x93";
constexpr std::string_view kEmDash = "\xE2\x80\x94";

bool isSeparator(char c)
{
    switch (c) {
    case '\t': case '\n': case '\r': case ' ': case '(': case ')': case ',': case '.': case '/': return true;
    default: return false;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int unitToken(char letter)
{
    switch (letter) {
    case 'd': return kDays;
    case 'm': return kMonths;
    case 'y': return kYears;
    default: return 0;
    }
}

// Appends the tokens of one part; the message when the part is not allowed.
std::optional<std::string> tokenizePart(std::string_view part, std::vector<std::int64_t>& tokens)
{
    if (tokens.size() >= kMaxSpanTokens)
        return "The complete time span has too many parts.";
    if (part.front() == '-') {
        tokens.insert(tokens.end(), {kSign, 0});
        part.remove_prefix(1);
        if (part.empty())
            return std::nullopt;
    }
    if (isDigit(part.front())) {
        std::size_t digits = 0;
        while (digits < part.size() && isDigit(part[digits]))
            ++digits;
        // The unit letter is read as typed: lower case only.
        const int unit = digits + 1 == part.size() ? unitToken(part.back()) : 0;
        if (unit == 0 || digits > 9)
            return "The time span number <" + asciiUpper(part) + "> not followed by 'y', 'm', or 'd'.";
        tokens.insert(tokens.end(), {unit, std::stoll(std::string(part.substr(0, digits)))});
        return std::nullopt;
    }
    const std::string word = asciiUpper(part);
    if (word == "FROM" || word.starts_with("BET"))
        tokens.push_back(kAtLeast);
    else if (word == "TO" || word == "AND" || part == kEnDash || part == kEmDash)
        tokens.push_back(kAtMost);
    else
        return "The time span part <" + word + "> is not allowed in times.";
    return std::nullopt;
}

// ExactTime's reading of one value from pairs of tokens.
std::optional<std::string> readValue(const std::vector<std::int64_t>& tokens, std::size_t begin, std::size_t end,
                                     std::int64_t& days)
{
    days = 0;
    bool negative = false;
    if (end - begin < 2)
        return std::nullopt;
    for (std::size_t i = begin; i < end; i += 2) {
        const std::int64_t kind = tokens[i];
        const std::int64_t number = i + 1 < end ? tokens[i + 1] : -1;
        if (kind == kSign && number == 0) {
            if (negative)
                return "A time has more than one negative sign.";
            negative = true;
        } else if (kind == kYears && number >= 0) {
            days += static_cast<std::int64_t>(static_cast<double>(number) * ExactTime::kDaysPerYear);
        } else if (kind == kMonths && number >= 0) {
            days += static_cast<std::int64_t>(static_cast<double>(number) * ExactTime::kDaysPerMonth);
        } else if (kind == kDays && number >= 0) {
            days += number;
        } else {
            return "A time part does not specify days, years, or months.";
        }
    }
    if (negative)
        days = -days;
    return std::nullopt;
}

bool isOpenLow(std::int64_t value)
{
    return value <= kOpenSpanLow;
}

bool isOpenHigh(std::int64_t value)
{
    return value >= kOpenSpanHigh;
}

TimeSpan failed(std::string message)
{
    TimeSpan span;
    span.setError(std::move(message));
    return span;
}

} // namespace

int parseTimeSpan(TimeSpan& span, std::string_view text)
{
    std::vector<std::int64_t> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        if (auto message = tokenizePart(text.substr(i, end - i), tokens)) {
            span = failed(std::move(*message));
            return 1;
        }
        i = end;
    }
    if (tokens.empty()) {
        span = failed("The time is empty.");
        return 1;
    }
    int conjunction = 0;
    std::size_t begin = 0;
    if (tokens[0] == kAtLeast || tokens[0] == kAtMost) {
        conjunction = static_cast<int>(tokens[0]);
        begin = 1;
    }
    // Words never follow a number token directly in a pair, so a word token
    // sits at an even offset from the last word or the start.
    std::size_t split = tokens.size();
    for (std::size_t t = begin; t + 1 < tokens.size(); ++t) {
        if (tokens[t] == kSign || tokens[t] == kDays || tokens[t] == kMonths || tokens[t] == kYears) {
            ++t;  // skip the number of the pair
            continue;
        }
        if (tokens[t] == kAtMost)
            split = t;
    }
    if (split < tokens.size() && conjunction == kAtMost) {
        span = failed("The time words are inconsistent.");
        return 1;
    }
    std::int64_t first = 0;
    if (auto message = readValue(tokens, begin, split, first)) {
        span = failed(std::move(*message));
        return 1;
    }
    if (split < tokens.size()) {
        std::int64_t second = 0;
        if (auto message = readValue(tokens, split + 1, tokens.size(), second)) {
            span = failed(std::move(*message));
            return 1;
        }
        span = TimeSpan::initWithDays(first, second);
        return 0;
    }
    if (conjunction == kAtLeast)
        span = TimeSpan::initWithDays(first, kOpenSpanHigh);
    else if (conjunction == kAtMost)
        span = TimeSpan::initWithDays(kOpenSpanLow, first);
    else
        span = TimeSpan::initWithDays(first, first);
    return 0;
}

void spanBounds(const TimeSpan& span, std::int64_t& lower, std::int64_t& upper)
{
    lower = span.first().days();
    if (span.second()) {
        upper = span.second()->days();
    } else if (span.conjunction() == kAtMost) {
        lower = kOpenSpanLow;
        upper = span.first().days();
    } else if (span.conjunction() == kAtLeast) {
        upper = kOpenSpanHigh;
    } else {
        upper = lower;
    }
}

std::optional<TimeSpan> spanFromEnds(std::int64_t lower, bool lowerOpen, std::int64_t upper, bool upperOpen)
{
    if (lowerOpen && upperOpen)
        return std::nullopt;
    return TimeSpan::initWithDays(lowerOpen ? kOpenSpanLow : lower, upperOpen ? kOpenSpanHigh : upper);
}

std::optional<TimeSpan> spanDifference(const TimeSpan& x, const TimeSpan& y)
{
    std::int64_t xl, xu, yl, yu;
    spanBounds(x, xl, xu);
    spanBounds(y, yl, yu);
    const bool lowerOpen = isOpenLow(xl) || isOpenHigh(yu);
    const bool upperOpen = isOpenLow(yl) || isOpenHigh(xu);
    return spanFromEnds(xl - yu, lowerOpen, xu - yl, upperOpen);
}

std::optional<TimeSpan> spanSum(const TimeSpan& x, const TimeSpan& y)
{
    std::int64_t xl, xu, yl, yu;
    spanBounds(x, xl, xu);
    spanBounds(y, yl, yu);
    const bool lowerOpen = isOpenLow(xl) || isOpenLow(yl);
    const bool upperOpen = isOpenHigh(xu) || isOpenHigh(yu);
    return spanFromEnds(xl + yl, lowerOpen, xu + yu, upperOpen);
}

void negate(TimeSpan& span)
{
    std::int64_t lower, upper;
    spanBounds(span, lower, upper);
    const bool lowerOpen = isOpenLow(lower);
    const bool upperOpen = isOpenHigh(upper);
    span = *spanFromEnds(-upper, upperOpen, -lower, lowerOpen);
}

} // namespace kl::calc
