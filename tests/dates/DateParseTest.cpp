#include "dates/DateCodes.h"
#include "dates/DateSettings.h"
#include "dates/FullDate.h"

#include <gtest/gtest.h>

#include <string>

namespace kl {
namespace {

// The stored form of a text, or its error, read with explicit settings so
// that no case depends on the user's preferences.
std::string normalized(std::string_view text, int century = 2000, bool dayBeforeMonth = false, int flags = 0)
{
    DateSettings settings;
    settings.twoDigitYearCentury = century;
    settings.dayBeforeMonth = dayBeforeMonth;
    FullDate date;
    if (date.parse(text, flags, settings) != 0)
        return "error: " + date.errorText();
    return date.format(DateFormat::normalized());
}

struct Case {
    const char* text;
    const char* expected;
};

void runCases(const Case* cases, std::size_t count, int century = 2000, bool dayBeforeMonth = false)
{
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(normalized(cases[i].text, century, dayBeforeMonth), cases[i].expected) << "text: " << cases[i].text;
}

#define RUN_CASES(table, ...) runCases(table, std::size(table), ##__VA_ARGS__)

TEST(DateParse, TypedFormsNormalise)
{
    const Case cases[] = {
        {"abt 5 mar 1850", "ABT 5 MAR 1850"},
        {"About 5 March 1850", "ABT 5 MAR 1850"},
        {"c1850", "ABT 1850"},
        {"c 1850", "ABT 1850"},
        {"C1850", "ABT 1850"},
        {"<1850", "BEF 1850"},
        {">1850", "AFT 1850"},
        {"before 1850", "BEF 1850"},
        {"estimated 1850", "EST 1850"},
        {"calculated 1850", "CAL 1850"},
        {"Sept. 5, 1850", "5 SEP 1850"},
        {"dec.31.1850", "31 DEC 1850"},
        {"1850-03-05", "5 MAR 1850"},
        {"5/3/1850", "3 MAY 1850"},
        {"000001850", "1850"},
        {"99999", "99999"},
        {"  \t1850\r\n", "1850"},
        {"15 MAR 1850 BC", "15 MAR 1850 B.C."},
        {"15 MAR 1850 B.C.", "15 MAR 1850 B.C."},
        {"1850BC", "1850 B.C."},
        {"55AD", "2055"},
        {"55 A.D.", "2055"},
        {"(BC) 44", "0044 B.C."},
        {"15 MAR 44 BC", "15 MAR 0044 B.C."},
    };
    RUN_CASES(cases);
}

TEST(DateParse, RangesAndPeriods)
{
    const Case cases[] = {
        {"1850\xE2\x80\x93" "1860", "FROM 1850 TO 1860"},
        {"1850\xE2\x80\x94" "1860", "BET 1850 AND 1860"},
        {"1850 TO 1860", "FROM 1850 TO 1860"},
        {"1850 and 1860", "BET 1850 AND 1860"},
        {"between 1850 and 1860", "BET 1850 AND 1860"},
        {"BET 1860 AND 1850", "BET 1850 AND 1860"},
        {"FROM 1860 TO 1850", "FROM 1850 TO 1860"},
        {"TO 1850", "TO 1850"},
        {"FROM 1850", "FROM 1850"},
        // Ranges that cover whole months or years collapse.
        {"BET 1 MAR 1900 AND 31 MAR 1900", "MAR 1900"},
        {"FROM 1 FEB 1900 TO 31 DEC 1900", "FROM FEB 1900 TO DEC 1900"},
        {"BET 2 MAR 1900 AND 30 APR 1900", "BET MAR 1900 AND APR 1900"},
        {"BET 3 MAR 1900 AND 31 MAR 1900", "BET 3 MAR 1900 AND 31 MAR 1900"},
        {"BET 1 JAN 1900 AND 31 DEC 1900", "1900"},
        {"FROM 1 JAN 1900 TO 31 DEC 1910", "FROM 1900 TO 1910"},
        {"BET 1 FEB 1900 AND 28 FEB 1900", "FEB 1900"},
        {"BET MAR 1900 AND MAR 1900", "MAR 1900"},
    };
    RUN_CASES(cases);
}

TEST(DateParse, PhrasesKeepTheirText)
{
    const Case cases[] = {
        {"(about the time of the war)", "INT (about the time of the war)"},
        {"ABT 1850 (family bible)", "ABT 1850 (family bible)"},
        {"INT 1850 (census)", "INT 1850 (census)"},
        {"1850 (census)", "INT 1850 (census)"},
        {"INT (see notes)", "INT (see notes)"},
        {"(около 1850)", "INT (около 1850)"},
        {"(1850\tor\n1851)", "INT (1850 or 1851)"},
        {"(census) (bible)", "error: The date has more than one comment phrase."},
    };
    RUN_CASES(cases);
}

TEST(DateParse, CalendarsAndEscapes)
{
    const Case cases[] = {
        {"@#DJULIAN@ 3 MAR 1700", "@#DJULIAN@ 3 MAR 1700"},
        {"@#djulian@ 3 mar 1700", "@#DJULIAN@ 3 MAR 1700"},
        {"@#DJULIAN@ 29 FEB 1700", "@#DJULIAN@ 29 FEB 1700"},
        {"@#DGREGORIAN@ 29 FEB 1700", "error: The day number is too large for that month."},
        {"@#DROMAN@ 1 JAN 1700", "1 JAN 1700"},
        {"@#DUNKNOWN@ 1 JAN 1700", "1 JAN 1700"},
        {"@#DHEBREW@ 5760", "@#DHEBREW@ 5760"},
        {"@#DHEBREW@ 5 MAR 1850", "5 MAR 1850"},
        {"@#DHEBREW@ 5760 BC", "5760 B.C."},
        {"5 TSH 5760", "5 TSH 5760"},
        {"1 TISHRI 5760", "1 TSH 5760"},
        {"1 ADAR II 5760", "1 ADS 5760"},
        {"1 ADARII 5760", "1 ADS 5760"},
        {"1 ADS 5760", "1 ADS 5760"},
        {"1 ADAR 5760", "1 ADR 5760"},
        {"1 Adar I 5760", "1 ADR 5760"},
        {"Heshvan 5760", "CSH 5760"},
        {"av 5760", "AAV 5760"},
        {"@#DFRENCH R@ 12", "@#DFRENCH R@ 0012"},
        {"@#DFRENCH R@ 0012", "@#DFRENCH R@ 0012"},
        {"@#DFRENCHR@ 3", "@#DFRENCH R@ 0003"},
        {"@#DFRENCH R@ 1900", "1900"},
        {"1 VEND 1", "1 VEND 0001"},
        {"Vendemiaire 12", "VEND 0012"},
        {"3 jour 11", "3 COMP 0011"},
        {"6 COMP 11", "6 COMP 0011"},
        {"6 COMP 12", "error: The day number is too large for that month."},
        {"@#DMAYAN@ 1850", "error: The date part '@#DMAYAN@' is an invalid calendar escape."},
        {"@#DGREGORIAN 1850", "error: The date has unbalanced calendar escape sequence."},
        {"5 TSH 5760 BC", "error: The Jewish Calendar does not have 'BC' dates."},
    };
    RUN_CASES(cases);
}

TEST(DateParse, NormalisedFormReadsBackToItself)
{
    const char* stored[] = {
        "@#DHEBREW@ 5760", "@#DFRENCH R@ 0012", "@#DJULIAN@ 1700", "@#DJULIAN@ 29 FEB 1700", "5 TSH 5760",
        "0044 B.C.", "10 FEB 1750/51", "1750/51", "1711/12", "MAR 0850", "FROM 1850 TO 1860", "INT (около 1850)",
    };
    for (const char* text : stored)
        EXPECT_EQ(normalized(text), text);
}

TEST(DateParse, DoubleYears)
{
    const Case cases[] = {
        {"10 FEB 1750/51", "10 FEB 1750/51"},
        {"FEB 10 1750/51", "10 FEB 1750/51"},
        {"FEB 1750/51", "FEB 1750/51"},
        {"1750/51", "1750/51"},
        {"1799/00", "1799/00"},
        // GEDCOM's dual year: the later year's last two digits.
        {"1711/12", "1711/12"},
        {"1699/00", "1699/00"},
        {"11 FEB 1731/32", "11 FEB 1731/32"},
        {"1711/2", "1711/12"},
        {"1711/1712", "1711/12"},
        // A second number that is not the next year's digits is a month.
        {"1810/12", "DEC 1810"},
        {"1750 1 MAR", "1 MAR 1750"},
        {"1750 51 3", "MAR 1750/51"},
        {"1750 1 15", "15 JAN 1750"},
        {"3 1750 51", "MAR 1750/51"},
        {"10 2 1750 51", "2 OCT 1750/51"},
        {"10 MAR 20 21", "10 MAR 2020/21"},
        {"20 21", "2020/21"},
        {"1 2 3 4", "2 JAN 2003/04"},
        {"10 20 30 5", "error: Invalid double year where one was expected."},
        {"10 MAR 20 25", "error: Invalid double year where one was expected."},
        {"1 2 1850 7", "error: Invalid double year or day number too high."},
    };
    RUN_CASES(cases);
}

TEST(DateParse, TwoDigitYearsFollowTheCentury)
{
    const Case century2000[] = {
        {"5 MAR 85", "5 MAR 2085"},  {"5 MAR 085", "5 MAR 0085"}, {"MAR 32", "MAR 2032"},
        {"MAR 31", "MAR 2031"},      {"5 MAR", "MAR 2005"},        {"85", "2085"},
        {"5 0 1900", "error: The day number is too large for that month."},
        {"6 2000", "JUN 2000"},
    };
    RUN_CASES(century2000, 2000);
    const Case century1900[] = {{"85", "1985"}, {"5 MAR 85", "5 MAR 1985"}};
    RUN_CASES(century1900, 1900);
    const Case noCentury[] = {{"85", "0085"}, {"5 0 1900", "error: The number zero is not allowed as used in this date."}};
    RUN_CASES(noCentury, 0);
}

TEST(DateParse, NumericDatesFollowTheDayMonthOrder)
{
    const Case monthFirst[] = {{"5 6 1900", "6 MAY 1900"}, {"13 6 1900", "13 JUN 1900"}, {"6 13 1900", "13 JUN 1900"}};
    RUN_CASES(monthFirst, 2000, false);
    const Case dayFirst[] = {{"5 6 1900", "5 JUN 1900"}, {"13 6 1900", "13 JUN 1900"}, {"6 13 1900", "13 JUN 1900"}};
    RUN_CASES(dayFirst, 2000, true);
}

TEST(DateParse, EveryMessageIsExact)
{
    const Case cases[] = {
        {"(unclosed", "error: The date has unbalanced parentheses."},
        {"@#DJULIAN", "error: The date has unbalanced calendar escape sequence."},
        {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "error: The complete date has too many parts."},
        {"(a) (b)", "error: The date has more than one comment phrase."},
        {"@#DMAYAN@ 1850", "error: The date part '@#DMAYAN@' is an invalid calendar escape."},
        {"5 Mars 1850 xyz", "error: The date part 'xyz' is not allowed in dates."},
        {"185000", "error: The date part '185000' is not allowed in dates."},
        {"1 I 1850", "error: The date part 'I' is not allowed in dates."},
        {"", "error: The date is empty."},
        {" , / ", "error: The date is empty."},
        {"ABT 1850 TO 1860", "error: The date range prefix is not allowed with conjuntion 'TO'."},
        {"FROM 1850 AND 1860", "error: The date range prefix is not allowed with conjunction 'AND'."},
        {"1850 ABT 1860", "error: The date range conjuction word is not valid."},
        {"FROM 1850 TO 1860 TO 1870", "error: One part of the date has unknown text for a date."},
        {"ABT", "error: One of the dates in a date range is empty."},
        {"1850 TO", "error: One of the dates in a date range is empty."},
        {"1 MAR 1900 2 APR 1900", "error: One of the dates in a date range has too many parts."},
        {"MAR", "error: A date with one part must specify a year that is greater than zero."},
        {"0", "error: A date with one part must specify a year that is greater than zero."},
        {"MAR APR 1850", "error: A date has more than one month name or a bad number."},
        {"5 MAR 1850 AD BC", "error: A date has more than one month name or a bad number."},
        {"1900 0 5", "error: The number zero is not allowed as used in this date."},
        {"1850 5 AD BC", "error: One part of the date has unknown text for a date."},
        {"1 2 1850 7", "error: Invalid double year or day number too high."},
        {"10 20 30 5", "error: Invalid double year where one was expected."},
        {"13 14 1850", "error: The month number is not valid."},
        {"1850 13", "error: The month number is not allowed."},
        {"15 17", "error: The month number is not allowed."},
        {"31 APR 1850", "error: The day number is too large for that month."},
        {"29 FEB 1900", "error: The day number is too large for that month."},
        {"5 TSH 5760 BC", "error: The Jewish Calendar does not have 'BC' dates."},
    };
    RUN_CASES(cases);
}

TEST(DateParse, ExactDatesRefuseVagueness)
{
    const int exact = FullDate::kExactDateFlag;
    const Case cases[] = {
        {"5 MAR 1850", "5 MAR 1850"},
        {"(someday)", "error: An exact date is needed but only a comment appears."},
        {"5 MAR 1850 (bible)", "error: An exact date can not have a comment phrase."},
        {"ABT 5 MAR 1850", "error: An exact date can not be a date range or have qualifying words."},
        {"1850 TO 1860", "error: An exact date can not be a date range or have qualifying words."},
        {"MAR 1850", "error: An exact date must have a day, a month, and a year."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalized(c.text, 2000, false, exact), c.expected) << c.text;
}

TEST(DateParse, DefaultCalendarComesFromTheFlags)
{
    EXPECT_EQ(normalized("29 FEB 1700", 2000, false, kCalendarJulian), "@#DJULIAN@ 29 FEB 1700");
    EXPECT_EQ(normalized("5760", 2000, false, kCalendarHebrew), "@#DHEBREW@ 5760");
    EXPECT_EQ(normalized("@#DGREGORIAN@ 1850", 2000, false, kCalendarJulian), "1850");
}

TEST(DateParse, OverlongWordsAreQuotedWhole)
{
    const std::string word(400, 'x');
    EXPECT_EQ(normalized("1850 " + word), "error: The date part '" + word + "' is not allowed in dates.");
    const std::string phrase = "(" + std::string(1000, 'y') + ")";
    EXPECT_EQ(normalized(phrase), "INT " + phrase);
}

TEST(DateParse, ReparsingDiscardsTheEarlierDate)
{
    FullDate date;
    DateSettings settings;
    ASSERT_EQ(date.parse("BET 1850 AND 1860 (x)", 0, settings), 0);
    ASSERT_EQ(date.parse("1870", 0, settings), 0);
    EXPECT_EQ(date.format(DateFormat::normalized()), "1870");
    EXPECT_EQ(date.prefixCode(), 0);
    EXPECT_EQ(date.secondDate(), nullptr);
    EXPECT_TRUE(date.phrase().empty());
}

} // namespace
} // namespace kl
