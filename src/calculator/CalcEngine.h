#pragma once

// CalcEngine: the date settings of the calculator and its rules for date
// texts, over the landed date engine. It keeps its own DateSettings and
// DateFormat values and hands them to every parse and format, so the
// calculator never changes the settings the main application's dates use.
// The calculator's rules: a date phrase only in an INT date (and never in a
// range), messages quoting text in angle brackets, its own Hebrew month
// words, keywords always in capitals.
//
// Thread: one owner (the calculator's main thread); the value itself holds
// no shared state.

#include "dates/DateFormat.h"
#include "dates/DateSettings.h"
#include "dates/FullDate.h"
#include "dates/TimeSpan.h"

#include <optional>
#include <string>
#include <string_view>

namespace kl {

class CalcEngine {
public:
    static constexpr const char* kDefaultDisplayFormat = "%d %M %y %b";

    CalcEngine();

    // The user's choices, as the preferences store them.
    void setDisplayFormat(std::string_view pattern) { format_.pattern = pattern; }
    void setAssumedCentury(int century) { settings_.twoDigitYearCentury = century; }
    // 1 reads all-numeric dates day first, 0 month first.
    void setMonthDayOrder(int order) { settings_.dayBeforeMonth = order != 0; }
    void setTimeDisplayStyle(int style) { settings_.spanStyle = (style >= 1 && style <= 5) ? style : 1; }
    const DateFormat& displayFormat() const { return format_; }
    int timeDisplayStyle() const { return settings_.spanStyle; }

    // 0 when text is a date (calendar: the default calendar, 0 none); 1 with
    // date.errorText() set.
    int parseDate(FullDate& date, std::string_view text, int calendar = 0) const;
    std::string formatDate(const FullDate& date) const { return date.format(format_); }
    // With a display format for this one answer.
    std::string formatDate(const FullDate& date, std::string_view pattern) const;
    // Style 0 is the default span style.
    std::string formatSpan(const TimeSpan& span, int style) const;

    // Today as "d MMM yyyy" with English month abbreviations ("8 Dec 2026").
    static std::string todayText();
    // Today's text when text, trimmed and in any case, is "today".
    static std::optional<std::string> keyDate(std::string_view text);

private:
    DateSettings settings_;
    DateFormat format_;
};

} // namespace kl
