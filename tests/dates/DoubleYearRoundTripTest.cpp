#include "dates/DateSettings.h"
#include "dates/FullDate.h"

#include <gtest/gtest.h>

#include <string>

namespace kl {
namespace {

// Everything a stored date must keep when it is read back: the codes, both
// calendar dates field by field, the range of days and the stored text.
std::string describe(const FullDate& date)
{
    auto exact = [](const ExactDate* d) {
        if (!d)
            return std::string("-");
        return std::to_string(d->day()) + "." + std::to_string(d->month()) + "." + std::to_string(d->year())
            + (d->isDoubleYear() ? " double" : "") + (d->sign() < 0 ? " BC" : "") + " cal"
            + std::to_string(d->calendar());
    };
    SDN earliest = 0;
    SDN latest = 0;
    date.sdnRange(earliest, latest);
    return "prefix " + std::to_string(date.prefixCode()) + ", conj " + std::to_string(date.conjunctionCode())
        + ", first " + exact(date.firstDate()) + ", second " + exact(date.secondDate()) + ", days "
        + std::to_string(earliest) + ".." + std::to_string(latest) + ", phrase '" + date.phrase() + "', text '"
        + date.format(DateFormat::normalized()) + "'";
}

// Reads the stored form of date back and expects the very same date.
void expectStoredFormReadsBack(const FullDate& date, const DateSettings& settings, const std::string& context)
{
    const std::string stored = date.format(DateFormat::normalized());
    FullDate reread;
    ASSERT_EQ(reread.parse(stored, 0, settings), 0) << context << ": '" << stored << "' " << reread.errorText();
    EXPECT_EQ(describe(reread), describe(date)) << context << ": stored as '" << stored << "'";
}

DateSettings settingsWith(int century, bool dayBeforeMonth)
{
    DateSettings settings;
    settings.twoDigitYearCentury = century;
    settings.dayBeforeMonth = dayBeforeMonth;
    return settings;
}

TEST(DoubleYearRoundTrip, TypedDatesKeepTheirMeaningInStoredForm)
{
    const char* typed[] = {
        // year alone
        "1711/2", "1711/12", "1710/11", "1750/51", "1799/00", "1700/1", "1800/01", "1712/13", "1712/1 BC",
        "0010/0011", "@#DJULIAN@ 1711/2", "@#DHEBREW@ 5711/5712", "@#DFRENCH R@ 0011/0012",
        // month and year
        "FEB 1711/12", "MAR 1711/2", "JAN 1800/01", "DEC 1710/11", "MAR 1711/10 B.C.", "TSH 5760/61", "VEND 0011/12",
        // day, month and year, in either order
        "10 FEB 1750/51", "FEB 10 1750/51", "1 JAN 1711/12", "31 DEC 1710/11", "@#DJULIAN@ 24 MAR 1711/12",
        // ranges, periods and qualified dates
        "BET 1711/2 AND 1720/1", "BET 1720/1 AND 1711/2", "FROM 1711/2 TO 10 FEB 1750/51",
        "FROM 10 FEB 1750/51 TO 1711/2", "BET MAR 1711/12 AND 1711/2", "BET 1 JAN 1711/2 AND 31 DEC 1711/2",
        "BET 1 MAR 1711/2 AND 31 MAR 1711/2", "ABT 1711/2", "BEF 1712/1 BC", "INT 1711/2 (about then)",
        "FROM 1711/2", "TO 1700/1",
    };
    const DateSettings settingsList[] = {settingsWith(2000, false), settingsWith(2000, true), settingsWith(0, false)};
    for (const DateSettings& settings : settingsList) {
        for (const char* text : typed) {
            FullDate date;
            ASSERT_EQ(date.parse(text, 0, settings), 0) << text << ": " << date.errorText();
            expectStoredFormReadsBack(date, settings, text);
        }
    }
}

// Every double year is stored in GEDCOM's form, the later year's last two
// digits, which reads back as the same double year.
TEST(DoubleYearRoundTrip, StoredFormOfDoubleYears)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1711/2", "1711/12"},
        {"1711/12", "1711/12"},
        {"1712/1 BC", "1712/11 B.C."},
        {"@#DHEBREW@ 5711/5712", "@#DHEBREW@ 5711/12"},
        {"@#DFRENCH R@ 0011/0012", "@#DFRENCH R@ 0011/12"},
        {"1700/1", "1700/01"},
        {"1750/51", "1750/51"},
        {"1799/00", "1799/00"},
        {"MAR 1711/2", "MAR 1711/12"},
        {"BET 1 JAN 1711/2 AND 31 DEC 1711/2", "1711/12"},
        {"BET 1711/2 AND 1720/21", "BET 1711/12 AND 1720/21"},
        {"11 FEB 1731/32", "11 FEB 1731/32"},
    };
    for (const auto& [text, expected] : cases) {
        FullDate date;
        ASSERT_EQ(date.parse(text, 0, settingsWith(2000, false)), 0) << text;
        EXPECT_EQ(date.format(DateFormat::normalized()), expected) << text;
    }
}

struct YearBase {
    int calendar;
    int laterYearBase;  // later years run from here + 00 to here + 99
    int sign;
};

// Every ending of the later year, alone and with each month, around the
// calendar change of 1752, after it, before the era and in other calendars.
TEST(DoubleYearRoundTrip, EveryLaterYearEndingAloneAndWithAMonth)
{
    const YearBase bases[] = {
        {kCalendarGregorian, 1700, 1}, {kCalendarGregorian, 1800, 1}, {kCalendarGregorian, 100, 1},
        {kCalendarJulian, 1700, 1},    {kCalendarGregorian, 1700, -1}, {kCalendarHebrew, 5700, 1},
    };
    const DateSettings settings = settingsWith(2000, false);
    for (const YearBase& base : bases) {
        for (int ending = 0; ending <= 99; ++ending) {
            FullDate date;
            ASSERT_EQ(date.parse("1750/51", 0, settings), 0);
            ExactDate& exact = *date.firstDate();
            exact.setCalendar(base.calendar);
            exact.setSign(base.sign);
            exact.setYear(base.laterYearBase + ending);
            for (int month = 0; month <= exact.monthsInYear(); ++month) {
                exact.setMonth(month);
                expectStoredFormReadsBack(date, settings,
                                          "calendar " + std::to_string(base.calendar) + " later year "
                                              + std::to_string(base.sign * exact.year()) + " month "
                                              + std::to_string(month));
            }
        }
    }
}

} // namespace
} // namespace kl
