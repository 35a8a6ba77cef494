#include "calculator/CalcEngine.h"
#include "calculator/DateArithmetic.h"
#include "calculator/SpanArithmetic.h"

#include <gtest/gtest.h>

#include <string>

namespace kl {
namespace {

using calc::kOpenSpanHigh;
using calc::kOpenSpanLow;

enum class Op { ReadSpan, ReadDate, DatePlusSpan, DateMinusSpan, DateMinusDate, SpanMinusSpan, SpanPlusSpan, Negate };

struct ArithmeticCase {
    const char* name;
    Op op;
    const char* left;
    const char* right;
    std::string expected;  // a span's bounds, a date, "none" or the message
};

std::ostream& operator<<(std::ostream& os, const ArithmeticCase& c)
{
    return os << c.name;
}

std::string boundsText(const TimeSpan& span)
{
    std::int64_t lower, upper;
    calc::spanBounds(span, lower, upper);
    if (lower <= kOpenSpanLow)
        return "at most " + std::to_string(upper);
    if (upper >= kOpenSpanHigh)
        return "at least " + std::to_string(lower);
    if (lower == upper)
        return std::to_string(lower);
    return std::to_string(lower) + ".." + std::to_string(upper);
}

std::string answer(const std::optional<TimeSpan>& span)
{
    return span ? boundsText(*span) : "none";
}

class Arithmetic : public ::testing::TestWithParam<ArithmeticCase> {
protected:
    TimeSpan span(const char* text)
    {
        TimeSpan s;
        EXPECT_EQ(calc::parseTimeSpan(s, text), 0) << text << ": " << s.errorText();
        return s;
    }
    FullDate date(const char* text)
    {
        FullDate d;
        EXPECT_EQ(engine.parseDate(d, text), 0) << text << ": " << d.errorText();
        return d;
    }
    std::string added(const char* dateText, const char* spanText, int sign)
    {
        FullDate d = date(dateText);
        return calc::addSpan(d, span(spanText), sign) ? engine.formatDate(d) : "none";
    }

    CalcEngine engine;
};

TEST_P(Arithmetic, GivesTheAnswer)
{
    const ArithmeticCase& c = GetParam();
    std::string got;
    switch (c.op) {
    case Op::ReadSpan: {
        TimeSpan s;
        got = calc::parseTimeSpan(s, c.left) == 0 ? boundsText(s) : s.errorText();
        break;
    }
    case Op::ReadDate: {
        FullDate d;
        got = engine.parseDate(d, c.left) == 0 ? engine.formatDate(d) : d.errorText();
        break;
    }
    case Op::DatePlusSpan: got = added(c.left, c.right, +1); break;
    case Op::DateMinusSpan: got = added(c.left, c.right, -1); break;
    case Op::DateMinusDate: got = answer(calc::difference(date(c.left), date(c.right))); break;
    case Op::SpanMinusSpan: got = answer(calc::spanDifference(span(c.left), span(c.right))); break;
    case Op::SpanPlusSpan: got = answer(calc::spanSum(span(c.left), span(c.right))); break;
    case Op::Negate: {
        TimeSpan s = span(c.left);
        calc::negate(s);
        got = boundsText(s);
        break;
    }
    }
    EXPECT_EQ(got, c.expected);
}

std::string nineteenParts()
{
    std::string text;
    for (int i = 0; i < 19; ++i)
        text += "1d ";
    return text;
}
const std::string kNineteenParts = nineteenParts();

const ArithmeticCase kCases[] = {
    // Reading spans: each unit truncated by itself, the sign for the whole.
    {"YearsAndMonths", Op::ReadSpan, "2y 3m", "", "821"},
    {"LeadingMinus", Op::ReadSpan, "-2y 3m", "", "-821"},
    {"TrailingMinus", Op::ReadSpan, "2y -", "", "-730"},
    {"TwoSigns", Op::ReadSpan, "- -2y", "", "A time has more than one negative sign."},
    {"BetweenRange", Op::ReadSpan, "BET 2y AND 3y", "", "730..1095"},
    {"ReversedRange", Op::ReadSpan, "3y TO 2y", "", "730..1095"},
    {"EnDashRange", Op::ReadSpan, "2y \xE2\x80\x93 3y", "", "730..1095"},
    {"EmDashRange", Op::ReadSpan, "2y \xE2\x80\x94 3y", "", "730..1095"},
    {"AtLeast", Op::ReadSpan, "FROM 2y", "", "at least 730"},
    {"AtMost", Op::ReadSpan, "to 10d", "", "at most 10"},
    {"InconsistentWords", Op::ReadSpan, "TO 2y AND 3y", "", "The time words are inconsistent."},
    {"TooManyParts", Op::ReadSpan, kNineteenParts.c_str(), "", "The complete time span has too many parts."},
    {"CapitalUnit", Op::ReadSpan, "2Y", "", "The time span number <2Y> not followed by 'y', 'm', or 'd'."},
    {"NoUnit", Op::ReadSpan, "30", "", "The time span number <30> not followed by 'y', 'm', or 'd'."},
    {"UnknownWord", Op::ReadSpan, "2y about", "", "The time span part <ABOUT> is not allowed in times."},
    {"Empty", Op::ReadSpan, " ( ) ", "", "The time is empty."},
    // Reading dates by the calculator's rules.
    {"PhraseMakesInt", Op::ReadDate, "1900 (census)", "", "INT 1900 (census)"},
    {"PhraseAlone", Op::ReadDate, "(unknown)", "", "INT (unknown)"},
    {"PhraseNeedsInt", Op::ReadDate, "ABT 1900 (x)", "", "A date with a comment phrase can only begin in INT."},
    {"PhraseNotInRange", Op::ReadDate, "1900 TO 1910 (x)", "",
     "A date comment phrase not allowed in a date range."},
    {"AdarOne", Op::ReadDate, "1 ADAR_I 5700", "", "1 ADR 5700"},
    {"AdarTwoWord", Op::ReadDate, "1 ADARSHENI 5700", "", "1 ADS 5700"},
    {"AdarTwoSeparate", Op::ReadDate, "ADAR II 5700", "", "The date part <II> is not allowed in dates."},
    {"HebrewWord", Op::ReadDate, "3 tishri 5700", "", "3 TSH 5700"},
    {"AngleQuotes", Op::ReadDate, "1 FOO 1900", "", "The date part <FOO> is not allowed in dates."},
    {"LowerKeyword", Op::ReadDate, "abt 1900", "", "ABT 1900"},
    // A date plus or minus a span.
    {"DayPlusDays", Op::DatePlusSpan, "1 MAR 1900", "10d", "11 MAR 1900"},
    {"DayMinusDays", Op::DateMinusSpan, "11 MAR 1900", "10d", "1 MAR 1900"},
    {"YearPlusYear", Op::DatePlusSpan, "1900", "1y", "1901"},
    {"DayPlusAtLeast", Op::DatePlusSpan, "1 MAR 1900", "FROM 2y", "AFT 1 MAR 1902"},
    {"DayPlusAtMost", Op::DatePlusSpan, "1 MAR 1900", "TO 2y", "BEF 1 MAR 1902"},
    {"AfterPlusAtMost", Op::DatePlusSpan, "AFT 1900", "TO 10y", "none"},
    {"AboutKeepsNoDay", Op::DatePlusSpan, "ABT 1900", "10y", "ABT JUL 1910"},
    {"DayPlusRange", Op::DatePlusSpan, "1 MAR 1900", "BET 10d AND 20d", "BET 11 MAR 1900 AND 21 MAR 1900"},
    {"BeforeFirstDay", Op::DateMinusSpan, "@#DJULIAN@ 5 JAN 4713 B.C.", "10d", "none"},
    // Differences of dates, open where a date is.
    {"DayMinusDay", Op::DateMinusDate, "1 MAR 1901", "1 MAR 1900", "365"},
    {"AfterMinusDay", Op::DateMinusDate, "AFT 1900", "1 MAR 1850", "at least 18203"},
    {"DayMinusAfter", Op::DateMinusDate, "1 MAR 1850", "AFT 1900", "at most -18203"},
    {"AfterMinusAfter", Op::DateMinusDate, "AFT 1900", "AFT 1850", "none"},
    {"YearMinusDay", Op::DateMinusDate, "1900", "1 JAN 1900", "0..363"},
    // Spans with spans.
    {"AtLeastMinusAtLeast", Op::SpanMinusSpan, "FROM 2y", "FROM 1y", "none"},
    {"RangeMinusSpan", Op::SpanMinusSpan, "BET 2y AND 3y", "1y", "365..730"},
    {"AtLeastPlusSpan", Op::SpanPlusSpan, "FROM 2y", "1y", "at least 1095"},
    {"SpanPlusSpan", Op::SpanPlusSpan, "10d", "-3d", "7"},
    {"NegateRange", Op::Negate, "BET 2y AND 3y", "", "-1095..-730"},
    {"NegateAtLeast", Op::Negate, "FROM 2y", "", "at most -730"},
};

INSTANTIATE_TEST_SUITE_P(Calculator, Arithmetic, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CalculatorDates, CommonCalendarNeedsBothDatesInOne)
{
    CalcEngine engine;
    FullDate date;
    ASSERT_EQ(engine.parseDate(date, "BET @#DJULIAN@ 1700 AND 1710"), 0);
    EXPECT_EQ(calc::commonCalendar(date), 0);
    ASSERT_EQ(engine.parseDate(date, "@#DJULIAN@ 1700", 1), 0);
    EXPECT_EQ(calc::commonCalendar(date), kCalendarJulian);
    EXPECT_EQ(calc::commonCalendar(FullDate()), 0);
}

} // namespace
} // namespace kl
