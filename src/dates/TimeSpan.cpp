#include "dates/TimeSpan.h"

#include "dates/DateCodes.h"

#include <algorithm>

namespace kl {

TimeSpan TimeSpan::initWithDays(std::int64_t a, std::int64_t b)
{
    TimeSpan span;
    const std::int64_t lo = std::min(a, b);
    const std::int64_t hi = std::max(a, b);
    if (a == b) {
        span.first_ = ExactTime(lo);
    } else if (lo > -kOpenEnd && hi < kOpenEnd) {
        span.first_ = ExactTime(lo);
        span.second_ = ExactTime(hi);
    } else if (lo > -kOpenEnd) {
        span.first_ = ExactTime(lo);
        span.conjunction_ = date_codes::kBET;
    } else {
        span.first_ = ExactTime(hi);
        span.conjunction_ = date_codes::kAND;
    }
    return span;
}

std::string TimeSpan::format(int style) const
{
    std::string text;
    if (!second_ && conjunction_ == date_codes::kBET)
        text = "FROM ";
    else if (!second_ && conjunction_ == date_codes::kAND)
        text = "TO ";
    text += first_.format(style);
    if (second_) {
        text += " TO ";
        text += second_->format(style);
    }
    return text;
}

} // namespace kl
