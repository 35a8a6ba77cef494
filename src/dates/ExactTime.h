#pragma once

#include <cstdint>
#include <string>

namespace kl {

// One span of time in days, negative when the second date lies before the
// first. A plain value, usable on any thread.
class ExactTime {
public:
    explicit ExactTime(std::int64_t days = 0) : days_(days) {}

    std::int64_t days() const { return days_; }

    // Styles: 1 days ("400d"), 2 years, months and days ("1y 1m 5d"),
    // 3 years and days, 4 months and days, 5 a bare number; 0 takes the
    // user's span style. Negative spans are written "-(...)" ("-400" in 5).
    std::string format(int style) const;

    static constexpr double kDaysPerYear = 365.2425;
    static constexpr double kDaysPerMonth = kDaysPerYear / 12;

private:
    std::int64_t days_;
};

} // namespace kl
