#pragma once

#include "dates/DateFormat.h"
#include "dates/ExactDate.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kl {

struct DateSettings;

// A whole GEDCOM date: an optional prefix keyword, a first calendar date, an
// optional conjunction (TO or AND) with a second date, and an optional date
// phrase in parentheses. Filled by parse() from a UTF-8 date text, written
// back by format() and shortText(). A value owned by its caller, typically on
// the stack for one call; not shared between threads.
class FullDate {
public:
    // Parse flags: the low byte is the default calendar; kExactDateFlag asks
    // for one complete day with no qualifier, range or phrase.
    static constexpr int kCalendarMask = 0xFF;
    static constexpr int kExactDateFlag = 0x100;

    // Modes of sdnBound; kMiddleOrFrom gives the earliest day of a FROM date.
    enum BoundMode : int { kEarliest = 0, kLatest = 1, kMiddle = 2, kMiddleOrFrom = 3 };

    struct Tokens {
        std::array<int, 15> values{};
        int count = 0;
    };

    // 0 when text is a valid date; 1 with errorText() set when it is not.
    // Parsing reads the two-digit-year century and day-before-month order
    // from the settings it is given.
    int parse(std::string_view text, int flags, const DateSettings& settings);
    int parse(std::string_view text, int flags = 0);  // with the user's current settings

    // Classifies one word into tokens; the new token count, or -1 with the
    // error set. A date phrase adds no token.
    int tokenizeWord(std::string_view word, Tokens& tokens);
    void normalizeRange();
    void setError(std::string message) { error_ = std::move(message); }
    // Replaces the words and calendar dates of the date, keeping its phrase:
    // for arithmetic that computes a new date from day numbers.
    void assign(int prefix, int conjunction, std::optional<ExactDate> first, std::optional<ExactDate> second);
    void clearPhrase() { phrase_.clear(); }

    const ExactDate* firstDate() const { return first_ ? &*first_ : nullptr; }
    const ExactDate* secondDate() const { return second_ ? &*second_ : nullptr; }
    ExactDate* firstDate() { return first_ ? &*first_ : nullptr; }
    ExactDate* secondDate() { return second_ ? &*second_ : nullptr; }
    const std::string& errorText() const { return error_; }
    const std::string& phrase() const { return phrase_; }
    int prefixCode() const { return prefix_; }
    int conjunctionCode() const { return conjunction_; }

    SDN sdnBound(int mode) const;
    void sdnRange(SDN& earliest, SDN& latest) const;
    bool convertCalendar(int calendar);
    int dayOfWeek() const;

    // The whole date in a format; format(DateFormat::normalized()) is the
    // stored form.
    std::string format(const DateFormat& format) const;
    std::string prefixText(const DateFormat& format) const;
    std::string firstDateText(const DateFormat& format) const;
    std::string conjunctionText(const DateFormat& format) const;
    std::string secondDateText(const DateFormat& format) const;
    std::string phraseText() const { return phrase_; }
    // The short text lists show and sort by: the year with a mark ("c1850").
    std::string shortText() const;

    // GEDCOM month code in capitals ("MAR", "TSH", "VEND"); "" when none.
    static const char* monthName(int month, int calendar);

private:
    void reset();
    int assemble(const Tokens& tokens, int flags, const DateSettings& settings);
    int splitWords(std::string_view text, Tokens& tokens);
    bool writesPrefix(int style) const;

    int prefix_ = 0;
    int conjunction_ = 0;
    std::optional<ExactDate> first_;
    std::optional<ExactDate> second_;
    std::string error_;
    std::string phrase_;
};

} // namespace kl
