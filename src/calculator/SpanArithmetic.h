#pragma once

// The calculator's reading of span texts and its arithmetic on spans: bounds
// with open ends, difference, sum and change of sign. Plain functions over
// the engine's TimeSpan values; usable on any thread.

#include "dates/TimeSpan.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kl::calc {

// Ends at or beyond these many days are open.
inline constexpr std::int64_t kOpenSpanLow = -TimeSpan::kOpenEnd;
inline constexpr std::int64_t kOpenSpanHigh = TimeSpan::kOpenEnd;

// Reads "2y 3m", "-2y", "2y -", "FROM 2y", "TO 10d", "BET 2y AND 3y",
// "2y – 3y". 0 on success; 1 with span's error text set.
int parseTimeSpan(TimeSpan& span, std::string_view text);

// The smallest and largest day count of a span; an open end is
// kOpenSpanLow or kOpenSpanHigh.
void spanBounds(const TimeSpan& span, std::int64_t& lower, std::int64_t& upper);
// A span from two ends, either of which may be open; none when both are.
std::optional<TimeSpan> spanFromEnds(std::int64_t lower, bool lowerOpen, std::int64_t upper, bool upperOpen);

// x minus y, and x plus y; none when the answer is open at both ends.
std::optional<TimeSpan> spanDifference(const TimeSpan& x, const TimeSpan& y);
std::optional<TimeSpan> spanSum(const TimeSpan& x, const TimeSpan& y);
// Negates every value; a range keeps its order, at least becomes at most.
void negate(TimeSpan& span);

} // namespace kl::calc
