#include "dates/ExactTime.h"

#include "dates/DateSettings.h"

namespace kl {

namespace {

using Count = std::int64_t;

Count wholeUnits(Count days, double unit)
{
    return static_cast<Count>(static_cast<double>(days) / unit);
}

Count unitsAsDays(Count units, double unit)
{
    return static_cast<Count>(static_cast<double>(units) * unit);
}

std::string years(Count n, bool withMonths)
{
    const Count y = wholeUnits(n, ExactTime::kDaysPerYear);
    const Count rest = n - unitsAsDays(y, ExactTime::kDaysPerYear);
    if (!withMonths)
        return std::to_string(y) + "y " + std::to_string(rest) + "d";
    const Count m = wholeUnits(rest, ExactTime::kDaysPerMonth);
    const Count d = rest - unitsAsDays(m, ExactTime::kDaysPerMonth);
    return std::to_string(y) + "y " + std::to_string(m) + "m " + std::to_string(d) + "d";
}

std::string months(Count n)
{
    const Count m = wholeUnits(n, ExactTime::kDaysPerMonth);
    const Count d = n - unitsAsDays(m, ExactTime::kDaysPerMonth);
    return std::to_string(m) + "m " + std::to_string(d) + "d";
}

} // namespace

std::string ExactTime::format(int style) const
{
    if (style == 0)
        style = DateSettings::current()->spanStyle;
    const bool negative = days_ < 0;
    // Spans are far below the 64-bit limit (open ends start at 10,000,000
    // days), but a negated minimum must not overflow.
    const Count n = negative ? (days_ == INT64_MIN ? INT64_MAX : -days_) : days_;
    std::string body;
    switch (style) {
    case 1: body = std::to_string(n) + "d"; break;
    case 2: body = years(n, true); break;
    case 3: body = years(n, false); break;
    case 4: body = months(n); break;
    case 5: return negative ? "-" + std::to_string(n) : std::to_string(n);
    default: return "unknown time format";
    }
    return negative ? "-(" + body + ")" : body;
}

} // namespace kl
