#include "dates/FullDate.h"

#include "dates/DateCodes.h"

#include <algorithm>

namespace kl {

using namespace date_codes;

void FullDate::reset()
{
    prefix_ = 0;
    conjunction_ = 0;
    first_.reset();
    second_.reset();
    phrase_.clear();
}

void FullDate::assign(int prefix, int conjunction, std::optional<ExactDate> first, std::optional<ExactDate> second)
{
    prefix_ = prefix;
    conjunction_ = conjunction;
    first_ = first;
    second_ = second;
}

SDN FullDate::sdnBound(int mode) const
{
    if (mode == kMiddleOrFrom)
        mode = prefix_ == kFROM ? kEarliest : kMiddle;
    if (!first_ || mode < kEarliest || mode > kMiddle)
        return 0;
    switch (mode) {
    case kEarliest: {
        const SDN first = first_->toSdn(ExactDate::kEarliest);
        return second_ ? std::min(first, second_->toSdn(ExactDate::kEarliest)) : first;
    }
    case kLatest: {
        const SDN first = first_->toSdn(ExactDate::kLatest);
        if (!second_)
            return first;
        const SDN second = second_->toSdn(ExactDate::kLatest);
        return (first != 0 && second != 0) ? std::max(first, second) : 0;
    }
    default: return (sdnBound(kEarliest) + sdnBound(kLatest)) / 2;
    }
}

void FullDate::sdnRange(SDN& earliest, SDN& latest) const
{
    earliest = sdnBound(kEarliest);
    latest = sdnBound(kLatest);
}

bool FullDate::convertCalendar(int calendar)
{
    if (first_ && !first_->convertCalendar(calendar))
        return false;
    return !second_ || second_->convertCalendar(calendar);
}

int FullDate::dayOfWeek() const
{
    if (conjunction_ != 0 || !first_)
        return 0;
    return first_->dayOfWeek();
}

const char* FullDate::monthName(int month, int calendar)
{
    static constexpr const char* kWestern[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    static constexpr const char* kHebrew[] = {"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS",
                                              "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
    static constexpr const char* kFrench[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                              "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};
    if (calendar == kCalendarFrench)
        return (month >= 1 && month <= 13) ? kFrench[month - 1] : "";
    if (calendar == kCalendarHebrew)
        return (month >= 1 && month <= 13) ? kHebrew[month - 1] : "";
    return (month >= 1 && month <= 12) ? kWestern[month - 1] : "";
}

} // namespace kl
