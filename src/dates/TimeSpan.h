#pragma once

#include "dates/ExactTime.h"

#include <optional>
#include <string>

namespace kl {

// The distance between two vague dates: one span, a range of spans (at least
// the first, at most the second) or a span with one open end ("FROM 100d" at
// least, "TO 100d" at most). A plain value, usable on any thread.
class TimeSpan {
public:
    // Ends at or beyond this many days are out of reach and left open.
    static constexpr std::int64_t kOpenEnd = 10000000;

    static TimeSpan initWithDays(std::int64_t a, std::int64_t b);

    // BET (-994) for a span open above, AND (-991) open below, else 0.
    int conjunction() const { return conjunction_; }
    const ExactTime& first() const { return first_; }
    const ExactTime* second() const { return second_ ? &*second_ : nullptr; }
    const std::string& errorText() const { return error_; }
    void setError(std::string message) { error_ = std::move(message); }

    // Style as for ExactTime::format (0 takes the user's span style).
    std::string format(int style) const;

private:
    int conjunction_ = 0;
    ExactTime first_;
    std::optional<ExactTime> second_;
    std::string error_;
};

} // namespace kl
