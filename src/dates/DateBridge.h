#pragma once

// The functions through which the rest of the application uses the date
// engine: validate and normalise date texts, show them in the user's format,
// take them apart, convert them, give their day numbers, today, ages and
// spans, and set the user's date preferences. Every function parses its text
// afresh with one snapshot of the user's settings; all are safe to call from
// any thread.

#include "dates/Calendars.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

// Valid: the stored (normalised GEDCOM) form and valid = true. Invalid: the
// reason and valid = false.
std::string validateDateString(std::string_view text, bool& valid);
// Valid: the date in the display format; invalid: the reason.
std::string displayDateOrError(std::string_view text);
// Valid: the date as the user wants to see it; invalid: the text itself.
std::string userDisplayDate(std::string_view text);
// Valid: the date written with pattern; invalid: the text itself.
std::string formatDateWithFormat(std::string_view text, std::string_view pattern);
// Valid: prefix word, first date, conjunction word, second date, phrase (absent
// parts empty); invalid: just the reason.
std::vector<std::string> datePartsArray(std::string_view text);
// The date in the Gregorian calendar: day, month, year (negative before the
// era, 0 for a missing day or month), then the same for the second date of a
// range. Empty when invalid or not convertible.
std::vector<int> extractDateNumbers(std::string_view text);
// The date converted to calendar 1..4, shown as userDisplayDate shows dates;
// nullopt when invalid or out of that calendar's range.
std::optional<std::string> convertDateToCalendar(std::string_view text, int calendar);
// The short sortable year text ("c1850", "<1860"); "?" when invalid.
std::string yearFromDate(std::string_view text);
// 1 (Sunday) .. 7 for a single complete date; else 0.
int dayOfWeekForDate(std::string_view text);

// Day numbers of a date text; 0 when invalid.
SDN earliestSdnForDate(std::string_view text);
SDN latestSdnForDate(std::string_view text);
SDN midSdnForDate(std::string_view text);   // the earliest for a FROM date
SDN sortSdnForDate(std::string_view text);  // the middle for a BET date, else the earliest
// Sets both to 0 first; nullopt for an empty text or a valid date (outs
// set); the reason when invalid.
std::optional<std::string> sdnRangeForDate(std::string_view text, SDN& earliest, SDN& latest);

// The Gregorian date of a day number, in the display format or a pattern;
// "?" for a day number that names no date.
std::string dateFromSdn(SDN sdn);
std::string dateFromSdnWithFormat(SDN sdn, std::string_view pattern);

// Today as a GEDCOM date ("5 MAR 2024"); time, when given, receives
// "HH:mm:ss". Reads DateClock.
std::string todayDateString(std::string* time = nullptr);
SDN todaySdn();

// Whole years between two days, truncated toward zero.
std::int64_t yearsBetweenSdns(SDN first, SDN second);
std::string spanTextBetweenSdns(std::int64_t minimum, std::int64_t maximum, int style);
// The shortest and longest number of days from the first date to the second.
// An invalid first date gives minimum INT64_MAX and maximum 1; an invalid
// second date the same minimum and maximum 2.
void daySpanBetweenDates(std::string_view first, std::string_view second, std::int64_t& minimum,
                         std::int64_t& maximum);

// The user's date preferences. Centuries are given in hundreds (20 for
// 2000, 0 switches the two-digit-year century off).
void initDateDisplaySettings(std::string_view format, bool dayBeforeMonth, int centuryHundreds, int keywordStyle,
                             bool showAsEntered);
void setDateDisplayFormat(std::string_view format);
void setShowDatesAsEntered(bool flag);
void setDateOptionFlag(bool dayBeforeMonth);
void setTwoDigitYearCentury(int centuryHundreds);
void setDateStyle(int keywordStyle);

} // namespace kl
