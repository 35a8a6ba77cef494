#include "dates/DateSettings.h"
#include "dates/FullDate.h"
#include "dates/TimeSpan.h"

#include <gtest/gtest.h>

namespace kl {
namespace {

FullDate parsed(std::string_view text)
{
    FullDate date;
    EXPECT_EQ(date.parse(text, 0, DateSettings{}), 0) << text << ": " << date.errorText();
    return date;
}

SDN g(int y, int m, int d)
{
    return gregorianDateToSdn(y, m, d);
}

struct BoundCase {
    const char* text;
    SDN earliest, latest, middle;
};

TEST(DateBounds, MissingPartsFillByMode)
{
    const BoundCase cases[] = {
        {"MAR 1900", g(1900, 3, 1), g(1900, 3, 31), g(1900, 3, 16)},
        {"FEB 1900", g(1900, 2, 1), g(1900, 2, 28), g(1900, 2, 14)},
        {"APR 1900", g(1900, 4, 1), g(1900, 4, 30), g(1900, 4, 15)},
        {"FEB 2000", g(2000, 2, 1), g(2000, 2, 29), g(2000, 2, 15)},
        {"@#DJULIAN@ FEB 1700", julianDateToSdn(1700, 2, 1), julianDateToSdn(1700, 2, 29), julianDateToSdn(1700, 2, 15)},
        {"1900", g(1900, 1, 1), g(1900, 12, 31), g(1900, 7, 2)},
        {"ABT 1900", g(1900, 1, 1), g(1900, 12, 31), g(1900, 7, 2)},
        {"BEF 1900", g(1900, 1, 1), g(1900, 12, 31), g(1900, 7, 2)},
        {"@#DHEBREW@ 5760", hebrewDateToSdn(5760, 1, 1), hebrewDateToSdn(5760, 13, 29), hebrewDateToSdn(5760, 8, 1)},
        {"@#DFRENCH R@ 3", frenchDateToSdn(3, 1, 1), frenchDateToSdn(3, 13, 6), frenchDateToSdn(3, 7, 3)},
        {"@#DFRENCH R@ 4", frenchDateToSdn(4, 1, 1), frenchDateToSdn(4, 13, 5), frenchDateToSdn(4, 7, 3)},
        {"5 MAR 1900", g(1900, 3, 5), g(1900, 3, 5), g(1900, 3, 5)},
        {"BET 1900 AND 1910", g(1900, 1, 1), g(1910, 12, 31), (g(1900, 1, 1) + g(1910, 12, 31)) / 2},
        {"(phrase)", 0, 0, 0},
        {"5000 BC", 0, 0, 0},
        {"29 FEB 1 BC", g(-1, 2, 29), g(-1, 2, 29), g(-1, 2, 29)},
    };
    for (const BoundCase& c : cases) {
        const FullDate date = parsed(c.text);
        EXPECT_EQ(date.sdnBound(FullDate::kEarliest), c.earliest) << c.text;
        EXPECT_EQ(date.sdnBound(FullDate::kLatest), c.latest) << c.text;
        // A single date's middle is its own middle day (1 Nisan for a Hebrew
        // year); a range's is the mean of its bounds.
        const bool single = date.firstDate() && !date.secondDate();
        const SDN middle = single ? date.firstDate()->toSdn(ExactDate::kMiddle) : date.sdnBound(FullDate::kMiddle);
        EXPECT_EQ(middle, c.middle) << c.text;
    }
}

TEST(DateBounds, MiddleOrFromMode)
{
    EXPECT_EQ(parsed("BET 1900 AND 1910").sdnBound(FullDate::kMiddleOrFrom),
              parsed("BET 1900 AND 1910").sdnBound(FullDate::kMiddle));
    EXPECT_EQ(parsed("FROM 1900 TO 1910").sdnBound(FullDate::kMiddleOrFrom), g(1900, 1, 1));
    EXPECT_EQ(parsed("1900").sdnBound(7), 0);
}

TEST(DateBounds, LeapDaysBeforeTheEraFollowTheDayCount)
{
    // 1 BC and 5 BC are leap years of the proleptic calendars; 4 BC is not.
    FullDate date;
    EXPECT_EQ(date.parse("29 FEB 1 BC", 0, DateSettings{}), 0) << date.errorText();
    EXPECT_EQ(date.parse("29 FEB 5 BC", 0, DateSettings{}), 0) << date.errorText();
    EXPECT_EQ(date.parse("29 FEB 4 BC", 0, DateSettings{}), 1);
    EXPECT_EQ(date.errorText(), "The day number is too large for that month.");
}

struct ConvertCase {
    const char* text;
    int calendar;
    const char* expected;  // nullptr: the conversion fails
};

TEST(DateBounds, CalendarConversionKeepsThePartsPresent)
{
    const ConvertCase cases[] = {
        {"MAR 1900", kCalendarJulian, "@#DJULIAN@ MAR 1900"},
        {"16 MAR 1900", kCalendarJulian, "@#DJULIAN@ 3 MAR 1900"},
        {"1900", kCalendarJulian, "@#DJULIAN@ 1900"},
        {"11 SEP 1999", kCalendarHebrew, "1 TSH 5760"},
        {"1999", kCalendarHebrew, "@#DHEBREW@ 5759"},
        {"22 SEP 1792", kCalendarFrench, "1 VEND 0001"},
        {"1 VEND 1", kCalendarGregorian, "22 SEP 1792"},
        {"5 COMP 14", kCalendarGregorian, "22 SEP 1806"},
        {"21 SEP 1792", kCalendarFrench, nullptr},
        {"1807", kCalendarFrench, nullptr},
        {"BET 1850 AND 1900", kCalendarFrench, nullptr},
        {"BET 1793 AND 1794", kCalendarFrench, "BET @#DFRENCH R@ 0001 AND @#DFRENCH R@ 0002"},
        {"1 JAN 1900", 9, nullptr},
    };
    for (const ConvertCase& c : cases) {
        FullDate date = parsed(c.text);
        const bool ok = date.convertCalendar(c.calendar);
        EXPECT_EQ(ok, c.expected != nullptr) << c.text;
        if (ok && c.expected) {
            EXPECT_EQ(date.format(DateFormat::normalized()), c.expected) << c.text;
        }
    }
}

TEST(DateBounds, WeekdaysOfSingleCompleteDates)
{
    EXPECT_EQ(parsed("1 JAN 2000").dayOfWeek(), 7);
    EXPECT_EQ(parsed("ABT 1 JAN 2000").dayOfWeek(), 7);
    EXPECT_EQ(parsed("JAN 2000").dayOfWeek(), 0);
    EXPECT_EQ(parsed("FROM 1 JAN 2000 TO 5 JAN 2000").dayOfWeek(), 0);
    EXPECT_EQ(parsed("(phrase)").dayOfWeek(), 0);
}

TEST(DateBounds, InitWithSdn)
{
    const ExactDate none = ExactDate::initWithSdn(0, kCalendarGregorian, false);
    EXPECT_EQ(none.year(), 0);
    EXPECT_EQ(none.month(), 0);
    EXPECT_EQ(none.day(), 0);
    EXPECT_EQ(none.sign(), -1);
    const ExactDate bc = ExactDate::initWithSdn(g(-44, 3, 15), kCalendarGregorian, false);
    EXPECT_EQ(bc.year(), 44);
    EXPECT_EQ(bc.sign(), -1);
    EXPECT_EQ(bc.format("%d %M %y %b"), "15 MAR 0044 B.C.");
}

// --- Time spans ---------------------------------------------------------------

TEST(TimeSpan, ValuesInEveryStyle)
{
    const struct {
        std::int64_t days;
        const char* styles[5];
    } cases[] = {
        {400, {"400d", "1y 1m 5d", "1y 35d", "13m 5d", "400"}},
        {-400, {"-(400d)", "-(1y 1m 5d)", "-(1y 35d)", "-(13m 5d)", "-400"}},
        {365, {"365d", "0y 11m 31d", "0y 365d", "11m 31d", "365"}},
        {730, {"730d", "1y 11m 31d", "1y 365d", "23m 30d", "730"}},
        {366, {"366d", "1y 0m 1d", "1y 1d", "12m 1d", "366"}},
        {0, {"0d", "0y 0m 0d", "0y 0d", "0m 0d", "0"}},
    };
    for (const auto& c : cases) {
        for (int style = 1; style <= 5; ++style)
            EXPECT_EQ(ExactTime(c.days).format(style), c.styles[style - 1]) << c.days << " style " << style;
        EXPECT_EQ(ExactTime(c.days).format(7), "unknown time format");
    }
    EXPECT_EQ(ExactTime(400).format(0), "400d");
    EXPECT_EQ(ExactTime(INT64_MIN).format(1), "-(9223372036854775807d)");
}

TEST(TimeSpan, RangesAndOpenEnds)
{
    const struct {
        std::int64_t a, b;
        const char* text;
    } cases[] = {
        {10, 3, "3d TO 10d"},
        {5, 5, "5d"},
        {100, 20000000, "FROM 100d"},
        {-20000000, 100, "TO 100d"},
        {-20000000, 20000000, "TO 20000000d"},
        {9999999, -9999999, "-(9999999d) TO 9999999d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeSpan::initWithDays(c.a, c.b).format(1), c.text) << c.a << " " << c.b;
}

} // namespace
} // namespace kl
