#include "calculator/DateArithmetic.h"

#include "calculator/SpanArithmetic.h"
#include "dates/DateCodes.h"

#include <algorithm>

namespace kl::calc {

namespace {

using namespace date_codes;

bool thirteenMonths(int calendar)
{
    return calendar == kCalendarHebrew || calendar == kCalendarFrench;
}

// The engine writes calendar 0 as Gregorian but cannot make a date in it.
ExactDate dateFromSdn(SDN sdn, int calendar, bool doubleYear)
{
    ExactDate date = ExactDate::initWithSdn(sdn, calendar == kCalendarUnset ? kCalendarGregorian : calendar, doubleYear);
    date.setCalendar(calendar);
    return date;
}

struct Ends {
    std::int64_t lower = 0;
    std::int64_t upper = 0;
    bool lowerOpen = false;
    bool upperOpen = false;
};

// Step 4 to 5 of adding: the new ends of the date, or none when both are
// open or a closed end falls before the first day number.
std::optional<Ends> shiftedEnds(const FullDate& date, const TimeSpan& span, int sign)
{
    std::int64_t lower, upper;
    spanBounds(span, lower, upper);
    if (sign < 0) {
        const std::int64_t l = lower;
        lower = -upper;
        upper = -l;
    }
    const SDN earliest = sdnBound(date, FullDate::kEarliest);
    const SDN latest = sdnBound(date, FullDate::kLatest);
    if (earliest == 0 || latest == 0)
        return std::nullopt;
    Ends ends;
    ends.lowerOpen = earliest < -9999999 || lower <= kOpenSpanLow;
    ends.upperOpen = upper >= kOpenSpanHigh || latest >= 10000000;
    ends.lower = lower + earliest;
    ends.upper = upper + latest;
    if (ends.lowerOpen && ends.upperOpen)
        return std::nullopt;
    if ((!ends.lowerOpen && ends.lower < 1) || (!ends.upperOpen && ends.upper < 1))
        return std::nullopt;
    return ends;
}

bool isApproximate(int prefix)
{
    return prefix == kABT || prefix == kEST || prefix == kCAL || prefix == kINT;
}

} // namespace

SDN toSdn(const ExactDate& date, int mode)
{
    const int calendar = date.calendar();
    if (calendar < 0 || calendar > kCalendarFrench)
        return 0;
    int day = date.day();
    int month = date.month();
    if (month == 0)
        month = mode == ExactDate::kEarliest ? 1 : (mode == ExactDate::kLatest ? (thirteenMonths(calendar) ? 13 : 12) : 6);
    if (day == 0) {
        const int latest = date.month() != 0 ? date.daysInMonth() : 30;
        day = mode == ExactDate::kEarliest ? 1 : (mode == ExactDate::kLatest ? latest : (latest + 1) / 2);
    }
    const int year = date.sign() < 0 ? -date.year() : date.year();
    return dateInCalendarToSdn(calendar, year, month, day);
}

SDN sdnBound(const FullDate& date, int mode)
{
    const ExactDate* first = date.firstDate();
    const ExactDate* second = date.secondDate();
    const int prefix = date.prefixCode();
    switch (mode) {
    case FullDate::kEarliest: {
        if (prefix == kBEF || (prefix == kTO && !second))
            return kOpenDateLow;
        if (!first)
            return 0;
        const SDN a = toSdn(*first, ExactDate::kEarliest);
        // Only a range has a second date to count.
        const SDN b = second ? toSdn(*second, ExactDate::kEarliest) : a;
        return (a == 0 || b == 0) ? 0 : std::min(a, b);
    }
    case FullDate::kLatest: {
        if (prefix == kAFT || (prefix == kFROM && !second))
            return kOpenDateHigh;
        if (!first)
            return 0;
        const SDN a = toSdn(*first, ExactDate::kLatest);
        const SDN b = second ? toSdn(*second, ExactDate::kLatest) : a;
        return (a == 0 || b == 0) ? 0 : std::max(a, b);
    }
    case FullDate::kMiddle: {
        const SDN earliest = sdnBound(date, FullDate::kEarliest);
        const SDN latest = sdnBound(date, FullDate::kLatest);
        if (earliest == kOpenDateLow)
            return kOpenDateLow;
        if (latest == kOpenDateHigh)
            return kOpenDateHigh;
        return (earliest + latest) / 2;
    }
    default: return 0;
    }
}

int commonCalendar(const FullDate& date)
{
    const ExactDate* first = date.firstDate();
    if (!first)
        return 0;
    const ExactDate* second = date.secondDate();
    return (!second || second->calendar() == first->calendar()) ? first->calendar() : 0;
}

std::optional<TimeSpan> difference(const FullDate& x, const FullDate& y)
{
    const SDN xEarliest = sdnBound(x, FullDate::kEarliest);
    const SDN xLatest = sdnBound(x, FullDate::kLatest);
    const SDN yEarliest = sdnBound(y, FullDate::kEarliest);
    const SDN yLatest = sdnBound(y, FullDate::kLatest);
    if (xEarliest == 0 || xLatest == 0 || yEarliest == 0 || yLatest == 0)
        return std::nullopt;
    const std::int64_t lowest = xEarliest - yLatest;
    const std::int64_t highest = xLatest - yEarliest;
    if (lowest < kOpenSpanLow && highest > kOpenSpanHigh)
        return std::nullopt;
    return TimeSpan::initWithDays(lowest, highest);
}

bool addSpan(FullDate& date, const TimeSpan& span, int sign)
{
    const ExactDate* first = date.firstDate();
    if (!first)
        return false;
    const int firstCalendar = first->calendar();
    const bool firstDouble = first->isDoubleYear();
    const std::optional<Ends> shifted = shiftedEnds(date, span, sign);
    if (!shifted)
        return false;
    Ends ends = *shifted;
    int prefix = date.prefixCode();
    bool middleWithoutDay = false;
    if (isApproximate(prefix) && !ends.lowerOpen && !ends.upperOpen) {
        ends.lower = ends.upper = (ends.lower + ends.upper) / 2;
        middleWithoutDay = first->day() == 0;
    }
    const ExactDate* second = date.secondDate();
    const int secondCalendar = second ? second->calendar() : firstCalendar;
    const bool secondDouble = second ? second->isDoubleYear() : firstDouble;

    if (!ends.lowerOpen && !ends.upperOpen && ends.lower == ends.upper) {
        if (prefix == kBET || prefix == kFROM)
            prefix = 0;
        ExactDate single = dateFromSdn(ends.lower, firstCalendar, firstDouble);
        if (middleWithoutDay)
            single.setDay(0);
        date.assign(prefix, 0, single, std::nullopt);
    } else if (!ends.lowerOpen && !ends.upperOpen) {
        int conjunction = date.conjunctionCode();
        if (prefix != kFROM && prefix != kBET) {
            prefix = kBET;
            conjunction = kAND;
        }
        date.assign(prefix, conjunction, dateFromSdn(ends.lower, firstCalendar, firstDouble),
                    dateFromSdn(ends.upper, secondCalendar, secondDouble));
    } else if (!ends.lowerOpen) {
        if (prefix != kFROM)
            prefix = kAFT;
        date.assign(prefix, 0, dateFromSdn(ends.lower, firstCalendar, firstDouble), std::nullopt);
    } else {
        if (prefix != kTO)
            prefix = kBEF;
        date.assign(prefix, 0, dateFromSdn(ends.upper, firstCalendar, firstDouble), std::nullopt);
    }
    date.normalizeRange();
    if (date.prefixCode() != kINT)
        date.clearPhrase();
    return true;
}

} // namespace kl::calc
