#include "dates/ExactDate.h"

#include "dates/DateFormat.h"
#include "dates/FullDate.h"

#include <cctype>

namespace kl {

namespace {

const char* escapeFor(int calendar)
{
    switch (calendar) {
    case kCalendarGregorian: return "@#DGREGORIAN@";
    case kCalendarJulian: return "@#DJULIAN@";
    case kCalendarHebrew: return "@#DHEBREW@";
    case kCalendarFrench: return "@#DFRENCH R@";
    default: return "@#DUNKNOWN@";
    }
}

std::string twoDigits(int value)
{
    std::string s = std::to_string(value);
    if (s.size() < 2)
        s.insert(0, 1, '0');
    return s;
}

enum class Case { Upper, Capital, Lower };

std::string monthCode(const ExactDate& date, Case letterCase)
{
    std::string code = FullDate::monthName(date.month(), date.calendar());
    for (std::size_t i = 0; i < code.size(); ++i) {
        const bool lowerIt = letterCase == Case::Lower || (letterCase == Case::Capital && i > 0);
        if (lowerIt)
            code[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
    }
    return code;
}

std::string yearText(const ExactDate& date)
{
    if (!date.isDoubleYear())
        return formatYearDigits(date.year(), true);
    // The later year is stored; the first is one year earlier in time.
    const long long first = static_cast<long long>(date.year()) - date.sign();
    const std::string firstText = formatYearDigits(first < 0 ? -first : first, true) + "/";
    // GEDCOM's form: the later year's last two digits, which read back as
    // the double year ("1711/12", "1699/00").
    return firstText + twoDigits(date.year() % 100);
}

// A Hebrew or French year alone has no month code to carry its calendar, so
// the stored form names it with an escape like a Julian date.
bool needsEscapeInStoredForm(const ExactDate& date)
{
    if (date.calendar() == kCalendarJulian)
        return true;
    return date.month() == 0 && (date.calendar() == kCalendarHebrew || date.calendar() == kCalendarFrench);
}

// What one directive writes; false when it writes nothing.
bool directive(const ExactDate& date, char d, std::string& out)
{
    switch (d) {
    case 'd': if (date.day() == 0) return false; out = std::to_string(date.day()); return true;
    case 'D': if (date.day() == 0) return false; out = twoDigits(date.day()); return true;
    case 'n': if (date.month() == 0) return false; out = std::to_string(date.month()); return true;
    case 'N': if (date.month() == 0) return false; out = twoDigits(date.month()); return true;
    case 'M':
    case 'U': if (date.month() == 0) return false; out = monthCode(date, Case::Upper); return true;
    case 'm':
    case 'u': if (date.month() == 0) return false; out = monthCode(date, Case::Capital); return true;
    case 'l':
    case 't': if (date.month() == 0) return false; out = monthCode(date, Case::Lower); return true;
    case 'y':
    case 'Y': out = yearText(date); return true;
    case 'b': if (date.sign() >= 0) return false; out = "B.C."; return true;
    case 'B':
        if (date.sign() < 0) { out = "B.C."; return true; }
        if (date.calendar() == kCalendarHebrew) return false;
        out = "A.D.";
        return true;
    case 'e': if (!needsEscapeInStoredForm(date)) return false; out = escapeFor(date.calendar()); return true;
    case 'g':
        if (date.calendar() == kCalendarGregorian || date.calendar() == kCalendarUnset) return false;
        out = escapeFor(date.calendar());
        return true;
    case 'E': out = escapeFor(date.calendar()); return true;
    default: out = "%"; return true;
    }
}

} // namespace

std::string ExactDate::format(std::string_view pattern) const
{
    std::string result;
    std::string pending;
    std::string piece;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%') {
            pending += c;
            continue;
        }
        if (i + 1 >= pattern.size()) {
            // A lone "%" at the end is written as it stands.
            if (!result.empty())
                result += pending;
            result += '%';
            return result;
        }
        const char d = pattern[++i];
        if (d == 'c') {
            result += pending;
            pending.clear();
            continue;
        }
        if (directive(*this, d, piece)) {
            if (!result.empty())
                result += pending;
            result += piece;
        }
        pending.clear();
    }
    return result;
}

} // namespace kl
