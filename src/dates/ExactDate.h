#pragma once

#include "dates/Calendars.h"

#include <span>
#include <string>
#include <string_view>

namespace kl {

class FullDate;
struct DateSettings;

// One calendar date that may lack its day or its month: a year, a month of a
// year or a full date, in one of the four calendars, possibly before the era
// and possibly written as a double year (1750/51, year then holds 1751).
// A small value type: no allocation, copy freely, use on any thread.
class ExactDate {
public:
    // Modes of toSdn: missing parts are filled to give the earliest, the
    // latest or the middle day the date can mean.
    enum SdnMode : int { kEarliest = 0, kLatest = 1, kMiddle = 2 };

    ExactDate() = default;
    static ExactDate initWithSdn(SDN sdn, int calendar, bool doubleYear);

    void parts(int* day, int* month, int* year, bool* doubleYear, int* sign) const;
    int day() const { return day_; }
    int month() const { return month_; }
    int year() const { return year_; }  // absolute; the era is in sign()
    int sign() const { return sign_; }
    int calendar() const { return calendar_; }
    bool isDoubleYear() const { return doubleYear_; }

    void setDay(int day) { day_ = day; }
    void setMonth(int month);  // month 0 also clears the day
    void setYear(int year) { year_ = year; }
    void setSign(int sign) { sign_ = sign < 0 ? -1 : 1; }
    void setCalendar(int calendar) { calendar_ = calendar; }
    void setDoubleYear(bool doubleYear) { doubleYear_ = doubleYear; }

    bool isComplete() const { return day_ >= 1 && month_ >= 1 && year_ > 0; }
    int monthsInYear() const;
    int daysInMonth() const;
    SDN toSdn(int mode) const;
    bool convertCalendar(int calendar);
    int dayOfWeek() const;

    // Whether the later half of a double year, read beside the year with no
    // month name, is taken as a month instead: "1711/12" is December 1711,
    // while "1711/2" and "1700/01" stay double years. The writer asks the
    // same question so that a stored double year reads back unchanged.
    static bool doubleYearHalfReadsAsMonth(int half, int laterYear);

    // The date written with a display pattern (see DateFormat).
    std::string format(std::string_view pattern) const;

    // Reads the tokens of one calendar date (numbers, a month name, era
    // markers, a calendar escape). 0 on success; 1 with owner's error set.
    int parse(std::span<const int> tokens, FullDate& owner, int defaultCalendar, const DateSettings& settings);

private:
    friend class CalendarDateReader;

    int day_ = 0;
    int month_ = 0;
    int year_ = 0;
    bool doubleYear_ = false;
    int sign_ = 1;
    int calendar_ = 0;
};

} // namespace kl
