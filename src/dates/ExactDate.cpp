#include "dates/ExactDate.h"

#include <cstdlib>

namespace kl {

ExactDate ExactDate::initWithSdn(SDN sdn, int calendar, bool doubleYear)
{
    ExactDate date;
    date.calendar_ = calendar;
    int year = 0;
    sdnToDateInCalendar(calendar, sdn, year, date.month_, date.day_);
    date.year_ = std::abs(year);
    date.sign_ = year <= 0 ? -1 : 1;
    date.doubleYear_ = doubleYear;
    return date;
}

void ExactDate::parts(int* day, int* month, int* year, bool* doubleYear, int* sign) const
{
    if (day)
        *day = day_;
    if (month)
        *month = month_;
    if (year)
        *year = year_;
    if (doubleYear)
        *doubleYear = doubleYear_;
    if (sign)
        *sign = sign_;
}

void ExactDate::setMonth(int month)
{
    month_ = month;
    if (month == 0)
        day_ = 0;
}

int ExactDate::monthsInYear() const
{
    return (calendar_ == kCalendarHebrew || calendar_ == kCalendarFrench) ? 13 : 12;
}

namespace {

// Leap years of the proleptic calendars count 1 BC as year 0, so the test
// runs on the astronomical year: the same years the day numbers treat as leap.
long long astronomicalYear(int year, int sign)
{
    return sign < 0 ? 1LL - year : year;
}

bool isWesternLeap(int calendar, long long year)
{
    if (year % 4 != 0)
        return false;
    if (calendar == kCalendarJulian)
        return true;
    return year % 100 != 0 || year % 400 == 0;
}

} // namespace

int ExactDate::daysInMonth() const
{
    if (month_ == 0)
        return 0;
    switch (calendar_) {
    case kCalendarHebrew: return 30;
    case kCalendarFrench: return month_ == 13 ? (year_ % 4 == 3 ? 6 : 5) : 30;
    default: break;
    }
    switch (month_) {
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    case 2: return isWesternLeap(calendar_, astronomicalYear(year_, sign_)) ? 29 : 28;
    default: return 31;
    }
}

namespace {

struct YearFill {
    int day, month;
};

// Year-only dates: first, last and middle day of the year by calendar.
YearFill yearOnlyFill(int calendar, int year, int mode)
{
    switch (calendar) {
    case kCalendarHebrew: {
        constexpr YearFill fills[] = {{1, 1}, {29, 13}, {1, 8}};
        return fills[mode];
    }
    case kCalendarFrench: {
        const YearFill fills[] = {{1, 1}, {year % 4 == 3 ? 6 : 5, 13}, {3, 7}};
        return fills[mode];
    }
    default: {
        constexpr YearFill fills[] = {{1, 1}, {31, 12}, {2, 7}};
        return fills[mode];
    }
    }
}

} // namespace

SDN ExactDate::toSdn(int mode) const
{
    if (calendar_ < 0 || calendar_ > kCalendarFrench)
        return 0;
    if (mode != kEarliest && mode != kLatest)
        mode = kMiddle;
    int day = day_;
    int month = month_;
    if (month != 0 && day == 0) {
        const int length = daysInMonth();
        day = mode == kEarliest ? 1 : (mode == kLatest ? length : (length + 1) / 2);
    } else if (month == 0 && day != 0) {
        month = mode == kEarliest ? 1 : (mode == kLatest ? monthsInYear() : 6);
    } else if (month == 0) {
        const YearFill fill = yearOnlyFill(calendar_, year_, mode);
        day = fill.day;
        month = fill.month;
    }
    const int year = sign_ < 0 ? -year_ : year_;
    return dateInCalendarToSdn(calendar_, year, month, day);
}

bool ExactDate::convertCalendar(int calendar)
{
    if (calendar == calendar_)
        return true;
    const SDN middle = toSdn(kMiddle);
    if (middle == 0)
        return false;
    int year = 0, month = 0, day = 0;
    sdnToDateInCalendar(calendar, middle, year, month, day);
    if (year == 0 && month == 0 && day == 0)
        return false;
    year_ = std::abs(year);
    sign_ = year < 0 ? -1 : 1;
    if (month_ != 0)
        month_ = month;
    if (day_ != 0)
        day_ = day;
    calendar_ = calendar;
    return true;
}

int ExactDate::dayOfWeek() const
{
    if (day_ == 0 || month_ == 0 || year_ == 0)
        return 0;
    const SDN sdn = toSdn(kMiddle);
    return sdn == 0 ? 0 : sdnDayOfWeek(sdn);
}

} // namespace kl
