#include "dates/DateSettings.h"
#include "dates/FullDate.h"

#include <gtest/gtest.h>

namespace kl {
namespace {

FullDate parsed(std::string_view text)
{
    FullDate date;
    EXPECT_EQ(date.parse(text, 0, DateSettings{}), 0) << text << ": " << date.errorText();
    return date;
}

struct PatternCase {
    const char* date;
    const char* pattern;
    const char* expected;
};

TEST(DateFormat, PendingLiteralsOnlySeparateWrittenParts)
{
    const PatternCase cases[] = {
        {"MAR 1850", "%d %M %y", "MAR 1850"},
        {"1850", "%d %M %y", "1850"},
        {"@#DJULIAN@ 3 MAR 1700", "%e %d %M %y %b", "@#DJULIAN@ 3 MAR 1700"},
        {"5 TSH 5760", "%e %d %M %y %b", "5 TSH 5760"},
        {"15 MAR 44 BC", "%e %d %M %y %b", "15 MAR 0044 B.C."},
        {"5 MAR 1850", "%D/%N/%y", "05/03/1850"},
        {"5 MAR 1850", "%m %d, %y", "Mar 5, 1850"},
        {"5 MAR 1850", "%l %n %Y", "mar 3 1850"},
        {"5 MAR 1850", "Born %d %M %y", "5 MAR 1850"},
        {"5 MAR 1850", "Born %c%d %M %y", "Born 5 MAR 1850"},
        {"5 MAR 1850", "%y AD", "1850"},
        {"5 MAR 1850", "%y %B", "1850 A.D."},
        {"5 TSH 5760", "%y %B", "5760"},
        {"5 MAR 1850", "%y %E", "1850 @#DGREGORIAN@"},
        {"5 MAR 1850", "%y %g", "1850"},
        {"1 VEND 12", "%d %u %y %g", "1 Vend 0012 @#DFRENCH R@"},
        {"5 MAR 1850", "%y %q%d", "1850 %5"},
        {"5 MAR 1850", "%d%", "5%"},
        {"10 FEB 1750/51", "%y", "1750/51"},
        {"1799/00", "%y", "1799/00"},
        {"MAR 850", "%M %y", "MAR 0850"},
    };
    for (const PatternCase& c : cases) {
        const FullDate date = parsed(c.date);
        EXPECT_EQ(date.firstDate()->format(c.pattern), c.expected) << c.date << " with " << c.pattern;
    }
}

struct StyleCase {
    const char* date;
    int style;
    const char* expected;
};

TEST(DateFormat, KeywordStyles)
{
    const StyleCase cases[] = {
        {"ABT 1850", 0, "abt 1850"},
        {"ABT 1850", 1, "Abt 1850"},
        {"ABT 1850", 2, "ABT 1850"},
        {"ABT 1850", 3, "c 1850"},
        {"BEF 1850", 3, "< 1850"},
        {"AFT 1850", 3, "> 1850"},
        {"EST 1850", 4, "est 1850"},
        {"EST 1850", 5, "Est 1850"},
        {"ABT 1850", 5, "c 1850"},
        {"BET 1850 AND 1860", 0, "bet 1850 and 1860"},
        {"BET 1850 AND 1860", 1, "Bet 1850 and 1860"},
        {"FROM 1850 TO 1860", 1, "From 1850 to 1860"},
        {"BET 1850 AND 1860", 2, "BET 1850 AND 1860"},
        {"BET 1850 AND 1860", 3, "1850\xE2\x80\x94" "1860"},
        {"FROM 1850 TO 1860", 3, "1850\xE2\x80\x93" "1860"},
        {"FROM 1850", 3, "FROM 1850"},
        {"FROM 1850", 4, "from 1850"},
        {"TO 1850", 3, "\xE2\x80\x93 1850"},
        {"INT 1850 (census)", 0, "int 1850 (census)"},
        {"(census)", 3, "INT (census)"},
    };
    for (const StyleCase& c : cases)
        EXPECT_EQ(parsed(c.date).format({"%d %M %y", c.style}), c.expected) << c.date << " style " << c.style;
}

TEST(DateFormat, PartTexts)
{
    const FullDate range = parsed("BET 1850 AND 1860 (x)");
    const DateFormat style1{"%y", 1};
    EXPECT_EQ(range.prefixText(style1), "Bet");
    EXPECT_EQ(range.firstDateText(style1), "1850");
    EXPECT_EQ(range.conjunctionText(style1), "And");
    EXPECT_EQ(range.secondDateText(style1), "1860");
    EXPECT_EQ(range.phraseText(), "(x)");
    EXPECT_EQ(range.prefixText({"%y", 3}), "");
    EXPECT_EQ(range.conjunctionText({"%y", 3}), "\xE2\x80\x94");
    const FullDate single = parsed("1850");
    EXPECT_EQ(single.prefixText(style1), "");
    EXPECT_EQ(single.conjunctionText(style1), "");
    EXPECT_EQ(single.secondDateText(style1), "");
}

TEST(DateFormat, ShortTextsMarkAndPadTheYear)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1850", "1850"},
        {"ABT 1850", "c1850"},
        {"BET 1850 AND 1860", "<1860"},
        {"FROM 1850 TO 1860", "<1860"},
        {"FROM 1850", ">1850"},
        {"TO 1850", "<1850"},
        {"AFT 1850", ">1850"},
        {"INT 1850 (census)", "c1850"},
        {"EST 44 BC", "c0044BC"},
        {"10 FEB 1750/51", "1750/51"},
        {"1700/1", "1700/01"},
        {"(phrase only)", "?"},
        {"@#DHEBREW@ 5760", "5760"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parsed(text).shortText(), expected) << text;
}

TEST(DateFormat, MonthCodesByCalendar)
{
    EXPECT_STREQ(FullDate::monthName(3, kCalendarGregorian), "MAR");
    EXPECT_STREQ(FullDate::monthName(3, kCalendarJulian), "MAR");
    EXPECT_STREQ(FullDate::monthName(7, kCalendarHebrew), "ADS");
    EXPECT_STREQ(FullDate::monthName(13, kCalendarFrench), "COMP");
    EXPECT_STREQ(FullDate::monthName(13, kCalendarGregorian), "");
    EXPECT_STREQ(FullDate::monthName(0, kCalendarHebrew), "");
}

} // namespace
} // namespace kl
