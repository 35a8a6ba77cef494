#include "dates/ExactDate.h"

#include "dates/DateCodes.h"
#include "dates/DateSettings.h"
#include "dates/FullDate.h"

namespace kl {

using namespace date_codes;

// Decides which tokens of one calendar date are its day, month and year.
// Lives for one ExactDate::parse call on the caller's thread.
class CalendarDateReader {
public:
    CalendarDateReader(ExactDate& date, FullDate& owner, int defaultCalendar, const DateSettings& settings)
        : date_(date), owner_(owner), wanted_(defaultCalendar), century_(settings.twoDigitYearCentury),
          dayBeforeMonth_(settings.dayBeforeMonth)
    {
    }

    int read(std::span<const int> tokens);

private:
    bool fail(const char* message)
    {
        owner_.setError(message);
        return false;
    }

    void takeTokens(std::span<const int> tokens);
    void removeMarkers();
    bool findMonthName();
    void findYear();
    void findDoubleYear();
    bool checkOtherParts();
    bool readTwoParts();
    bool readThreeParts();
    bool readThreePartsWithYear();
    bool readFourParts();
    bool readFourPartsNoYear();
    void settleCalendar();

    bool era() const { return date_.sign_ > 0; }
    // The century added to a two-digit year; none before the era or after a
    // French month name (French years are 1..14).
    int centuryFor() const { return (era() && !frenchMonth_) ? century_ : 0; }
    static int mod(long long value, int m) { return static_cast<int>(((value % m) + m) % m); }
    // Whether n can be the second half of a double year whose later year is
    // later: 1750/51 and 1750/1 both name 1751.
    static bool halvesMatch(long long later, int n) { return mod(later, 100) == n % 100 || mod(later, 10) == n; }
    int s() const { return date_.sign_; }
    bool isNumber(int pos) const { return tok_[pos] >= 0; }
    bool inMonthRange(int value) const { return value >= 1 && value <= 12; }
    void undoDoubleYear();
    bool assignDayMonth(int first, int second);
    bool checkDoubleYear(int b) const;
    int otherThan(int a, int b, int nth) const;

    ExactDate& date_;
    FullDate& owner_;
    int wanted_;
    int century_;
    bool dayBeforeMonth_;
    int tok_[kMaxTokens] = {};
    int n_ = 0;
    int yearPos_ = -1;
    int monthPos_ = -1;
    int halfPos_ = -1;
    int yearBeforeDouble_ = 0;
    bool monthNameSetCalendar_ = false;
    bool frenchMonth_ = false;
};

void CalendarDateReader::takeTokens(std::span<const int> tokens)
{
    n_ = 0;
    for (int t : tokens)
        if (n_ < kMaxTokens)
            tok_[n_++] = t;
}

void CalendarDateReader::removeMarkers()
{
    auto removeFirst = [this](auto matches) {
        for (int i = 0; i < n_; ++i) {
            if (!matches(tok_[i]))
                continue;
            const int token = tok_[i];
            for (int j = i; j + 1 < n_; ++j)
                tok_[j] = tok_[j + 1];
            --n_;
            return token;
        }
        return 0;
    };
    if (removeFirst([](int t) { return isEraMarker(t); }) == kBeforeEra)
        date_.sign_ = -1;
    switch (removeFirst([](int t) { return isEscape(t); })) {
    case kEscapeGregorian: wanted_ = kCalendarGregorian; break;
    case kEscapeJulian: wanted_ = kCalendarJulian; break;
    case kEscapeHebrew: wanted_ = kCalendarHebrew; break;
    case kEscapeFrench: wanted_ = kCalendarFrench; break;
    default: break;
    }
}

bool CalendarDateReader::findMonthName()
{
    for (int i = 0; i < n_; ++i) {
        const int t = tok_[i];
        if (!isMonthName(t))
            continue;
        monthPos_ = i;
        if (isHebrewMonth(t)) {
            if (!era())
                return fail("The Jewish Calendar does not have 'BC' dates.");
            date_.month_ = t - kHebrewMonthBase;
            date_.calendar_ = kCalendarHebrew;
            monthNameSetCalendar_ = true;
        } else if (isFrenchMonth(t)) {
            date_.month_ = t - kFrenchMonthBase;
            date_.calendar_ = kCalendarFrench;
            monthNameSetCalendar_ = true;
            frenchMonth_ = true;
        } else {
            date_.month_ = t - kWesternMonthBase;
        }
        break;
    }
    if (monthPos_ < 0)
        return true;
    for (int i = 0; i < n_; ++i)
        if (i != monthPos_ && tok_[i] < 0)
            return fail("A date has more than one month name or a bad number.");
    return true;
}

void CalendarDateReader::findYear()
{
    for (int i = 0; i < n_; ++i) {
        const int t = tok_[i];
        if (t > 31) {
            yearPos_ = i;
            if (t >= kLiteralYearMark)
                date_.year_ = t - kLiteralYearMark;
            else if (t < 100 && era())
                date_.year_ = t + century_;
            else
                date_.year_ = t;
            return;
        }
        if (t == 0 && century_ != 0 && era()) {
            yearPos_ = i;
            date_.year_ = century_;
            return;
        }
    }
}

void CalendarDateReader::findDoubleYear()
{
    const int next = yearPos_ + 1;
    if (yearPos_ < 0 || next >= n_ || !isNumber(next))
        return;
    const long long later = static_cast<long long>(date_.year_) + s();
    if (!halvesMatch(later, tok_[next]))
        return;
    yearBeforeDouble_ = date_.year_;
    date_.year_ = static_cast<int>(later);
    date_.doubleYear_ = true;
    halfPos_ = next;
}

void CalendarDateReader::undoDoubleYear()
{
    if (!date_.doubleYear_)
        return;
    date_.year_ = yearBeforeDouble_;
    date_.doubleYear_ = false;
    halfPos_ = -1;
}

bool CalendarDateReader::checkOtherParts()
{
    for (int i = 0; i < n_; ++i) {
        if (i == yearPos_ || i == monthPos_ || i == halfPos_)
            continue;
        if (tok_[i] == 0)
            return fail("The number zero is not allowed as used in this date.");
        if (tok_[i] < 0)
            return fail("One part of the date has unknown text for a date.");
    }
    return true;
}

bool CalendarDateReader::assignDayMonth(int first, int second)
{
    const int a = tok_[first];
    const int b = tok_[second];
    int day = 0;
    int month = 0;
    if (a >= 13 || (b < 13 && dayBeforeMonth_)) {
        if (!inMonthRange(b))
            return false;
        month = b;
        day = a;
    } else if (inMonthRange(a)) {
        month = a;
        day = b;
    } else {
        return false;
    }
    date_.month_ = month;
    date_.day_ = day;
    return true;
}

bool CalendarDateReader::checkDoubleYear(int b) const
{
    if (date_.month_ > 12 || date_.day_ > date_.daysInMonth())
        return false;
    if (date_.month_ >= 4 || date_.year_ > 1752)
        return true;
    return date_.year_ % 100 != b;
}

// The nth (0 or 1) position among four that is neither a nor b; among three,
// nth 0 is the only one.
int CalendarDateReader::otherThan(int a, int b, int nth) const
{
    for (int i = 0; i < n_; ++i) {
        if (i == a || i == b)
            continue;
        if (nth-- == 0)
            return i;
    }
    return -1;
}

bool CalendarDateReader::readTwoParts()
{
    if (yearPos_ >= 0 && date_.doubleYear_) {
        const int half = tok_[halfPos_];
        if (ExactDate::doubleYearHalfReadsAsMonth(half, date_.year_)) {
            undoDoubleYear();
            date_.month_ = half;
        }
        return true;
    }
    if (yearPos_ >= 0) {
        if (monthPos_ >= 0)
            return true;
        const int other = tok_[1 - yearPos_];
        if (!inMonthRange(other))
            return fail("The month number is not allowed.");
        date_.month_ = other;
        return true;
    }
    if (monthPos_ >= 0) {
        date_.year_ = tok_[1 - monthPos_] + centuryFor();
        return true;
    }
    if (inMonthRange(tok_[0])) {
        date_.month_ = tok_[0];
        date_.year_ = tok_[1];
    } else if (inMonthRange(tok_[1])) {
        date_.month_ = tok_[1];
        date_.year_ = tok_[0];
    } else if (halvesMatch(static_cast<long long>(tok_[0]) + s(), tok_[1])) {
        date_.year_ = tok_[0] + s();
        date_.doubleYear_ = true;
    } else {
        return fail("The month number is not allowed.");
    }
    date_.year_ += centuryFor();
    return true;
}

bool CalendarDateReader::readThreeParts()
{
    if (yearPos_ >= 0)
        return readThreePartsWithYear();
    if (monthPos_ >= 0) {
        static constexpr int kDayYear[3][2] = {{1, 2}, {0, 2}, {0, 1}};
        date_.day_ = tok_[kDayYear[monthPos_][0]];
        date_.year_ = tok_[kDayYear[monthPos_][1]] + centuryFor();
        return true;
    }
    date_.year_ = tok_[2] + centuryFor();
    if (!assignDayMonth(0, 1))
        return fail("The month number is not valid.");
    return true;
}

bool CalendarDateReader::readThreePartsWithYear()
{
    if (monthPos_ >= 0) {
        int dayPos = (monthPos_ + 1) % 3;
        if (dayPos == yearPos_)
            dayPos = (yearPos_ + 1) % 3;
        const int candidate = tok_[dayPos];
        if (!date_.doubleYear_) {
            date_.day_ = candidate;
        } else if (yearPos_ == 0 && candidate >= 1 && candidate < date_.daysInMonth()) {
            undoDoubleYear();
            date_.day_ = candidate;
        }
        return true;
    }
    if (!date_.doubleYear_) {
        if (!assignDayMonth(otherThan(yearPos_, -1, 0), otherThan(yearPos_, -1, 1)))
            return fail("The month number is not valid.");
        return true;
    }
    if (yearPos_ != 0) {
        const int month = tok_[(yearPos_ + 2) % 3];
        if (!inMonthRange(month))
            return fail("The month number is not valid.");
        date_.month_ = month;
        return true;
    }
    const int b = tok_[1];
    const int c = tok_[2];
    date_.day_ = dayBeforeMonth_ ? b : c;
    date_.month_ = dayBeforeMonth_ ? c : b;
    if (checkDoubleYear(b)) {
        undoDoubleYear();
        return true;
    }
    date_.day_ = 0;
    if (inMonthRange(c)) {
        date_.month_ = c;
        return true;
    }
    if (!inMonthRange(b))
        return fail("The month number is not valid.");
    date_.month_ = b;
    date_.day_ = c;
    undoDoubleYear();
    return true;
}

bool CalendarDateReader::readFourParts()
{
    if (yearPos_ < 0)
        return readFourPartsNoYear();
    if (!date_.doubleYear_)
        return fail("Invalid double year or day number too high.");
    if (monthPos_ >= 0) {
        int dayPos = (yearPos_ + 2) % 4;
        if (dayPos == monthPos_)
            dayPos = (monthPos_ + 1) % 4;
        date_.day_ = tok_[dayPos];
        return true;
    }
    if (!assignDayMonth(otherThan(yearPos_, halfPos_, 0), otherThan(yearPos_, halfPos_, 1)))
        return fail("The month number is not allowed.");
    return true;
}

bool CalendarDateReader::readFourPartsNoYear()
{
    if (monthPos_ >= 0) {
        for (int half : {3, 2, 1}) {
            if (half == monthPos_ || half == monthPos_ + 1)
                continue;
            const int firstHalf = half - 1;
            if (!halvesMatch(static_cast<long long>(tok_[firstHalf]) + s(), tok_[half]))
                continue;
            date_.year_ = tok_[firstHalf] + s() + centuryFor();
            date_.doubleYear_ = true;
            int dayPos = (firstHalf + 2) % 4;
            if (dayPos == monthPos_)
                dayPos = (monthPos_ + 1) % 4;
            date_.day_ = tok_[dayPos];
            return true;
        }
        return fail("Invalid double year where one was expected.");
    }
    for (int firstHalf : {2, 1, 0}) {
        const int half = firstHalf + 1;
        if (!halvesMatch(static_cast<long long>(tok_[firstHalf]) + s(), tok_[half]))
            continue;
        if (!assignDayMonth(otherThan(firstHalf, half, 0), otherThan(firstHalf, half, 1)))
            continue;
        date_.year_ = tok_[firstHalf] + s() + centuryFor();
        date_.doubleYear_ = true;
        return true;
    }
    return fail("Invalid double year where one was expected.");
}

void CalendarDateReader::settleCalendar()
{
    if (monthNameSetCalendar_)
        return;
    switch (wanted_) {
    case kCalendarJulian: date_.calendar_ = kCalendarJulian; return;
    case kCalendarHebrew:
        date_.calendar_ = (monthPos_ >= 0 || !era()) ? kCalendarGregorian : kCalendarHebrew;
        return;
    case kCalendarFrench:
        date_.calendar_ = kCalendarGregorian;
        if (!era() || monthPos_ >= 0)
            return;
        if (date_.year_ >= 1 && date_.year_ <= 14) {
            date_.calendar_ = kCalendarFrench;
        } else if (date_.year_ - century_ >= 1 && date_.year_ - century_ <= 14) {
            date_.year_ -= century_;
            date_.calendar_ = kCalendarFrench;
        }
        return;
    default: date_.calendar_ = kCalendarGregorian; return;
    }
}

int CalendarDateReader::read(std::span<const int> tokens)
{
    takeTokens(tokens);
    removeMarkers();
    if (n_ == 0)
        return fail("One of the dates in a date range is empty."), 1;
    if (n_ >= 5)
        return fail("One of the dates in a date range has too many parts."), 1;
    if (n_ == 1) {
        const int t = tok_[0];
        if (t < 1)
            return fail("A date with one part must specify a year that is greater than zero."), 1;
        date_.year_ = t >= kLiteralYearMark ? t - kLiteralYearMark : (t < 100 && era() ? t + century_ : t);
        settleCalendar();
        return 0;
    }
    if (!findMonthName())
        return 1;
    findYear();
    findDoubleYear();
    if (!checkOtherParts())
        return 1;
    const bool ok = n_ == 2 ? readTwoParts() : (n_ == 3 ? readThreeParts() : readFourParts());
    if (!ok)
        return 1;
    // The day is checked in the calendar the date ends up in, so that an
    // escape's calendar (a Julian 29 FEB 1700) counts.
    settleCalendar();
    if (date_.day_ > date_.daysInMonth())
        return fail("The day number is too large for that month."), 1;
    return 0;
}

// A half that is the later year's last two digits ("1711/12", GEDCOM's own
// form) is the double year; any other half below 13 reads best as a month
// ("1810/12" is December 1810), except a small one before the calendar
// change. Month 0 is no month.
bool ExactDate::doubleYearHalfReadsAsMonth(int half, int laterYear)
{
    if (half == laterYear % 100)
        return false;
    return half >= 1 && half < 13 && (half >= 4 || laterYear > 1752 || laterYear % 100 >= 13);
}

int ExactDate::parse(std::span<const int> tokens, FullDate& owner, int defaultCalendar, const DateSettings& settings)
{
    *this = ExactDate();
    CalendarDateReader reader(*this, owner, defaultCalendar, settings);
    return reader.read(tokens);
}

} // namespace kl
