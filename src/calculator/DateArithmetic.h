#pragma once

// The calculator's arithmetic on dates: bounds with open ends, the
// difference of two dates, and a date plus or minus a span. Plain functions
// over the engine's FullDate and TimeSpan values; usable on any thread.

#include "dates/FullDate.h"
#include "dates/TimeSpan.h"

#include <optional>

namespace kl::calc {

// Day numbers of a date open on one side.
inline constexpr SDN kOpenDateLow = -99999999;
inline constexpr SDN kOpenDateHigh = 99999999;

// One calendar date's earliest, latest or middle day (ExactDate::kEarliest
// ...). A year alone runs from 1 January to 30 December, or to the 30th of
// the 13th month in the Hebrew and French Republican calendars.
SDN toSdn(const ExactDate& date, int mode);
// A whole date's earliest, latest or middle day, kOpenDateLow/High on an
// open side, 0 when it names no valid day.
SDN sdnBound(const FullDate& date, int mode);
// The calendar of the first date when the second (if any) shares it; else 0.
int commonCalendar(const FullDate& date);

// x minus y; none when a date has no valid day or the span is open at both
// ends.
std::optional<TimeSpan> difference(const FullDate& x, const FullDate& y);
// Adds (sign +1) or subtracts (sign -1) the span in place. False when the
// answer is out of range or open at both ends; the date is then unusable.
bool addSpan(FullDate& date, const TimeSpan& span, int sign);

} // namespace kl::calc
