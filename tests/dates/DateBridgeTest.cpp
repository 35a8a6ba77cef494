#include "dates/DateBridge.h"
#include "dates/DateClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

namespace kl {
namespace {

// The bridge reads the user's settings; each test starts from the launch
// defaults and leaves them so.
class DateBridge : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override
    {
        reset();
        DateClock::setSource({});
    }
    static void reset() { initDateDisplaySettings("%d %M %y", false, 20, 2, false); }
};

TEST_F(DateBridge, ValidateGivesTheStoredFormOrTheReason)
{
    bool valid = false;
    EXPECT_EQ(validateDateString("abt 5 mar 1850", valid), "ABT 5 MAR 1850");
    EXPECT_TRUE(valid);
    EXPECT_EQ(validateDateString("31 APR 1850", valid), "The day number is too large for that month.");
    EXPECT_FALSE(valid);
    EXPECT_EQ(validateDateString("5 MAR", valid), "MAR 2005");
    EXPECT_TRUE(valid);
    // The stored form ignores the display format and keyword style.
    initDateDisplaySettings("%m %d, %y", false, 20, 0, false);
    EXPECT_EQ(validateDateString("abt 5 mar 1850", valid), "ABT 5 MAR 1850");
}

TEST_F(DateBridge, DisplayFollowsThePreferences)
{
    initDateDisplaySettings("%m %d, %y", false, 20, 1, false);
    EXPECT_EQ(userDisplayDate("ABT 5 MAR 1850"), "Abt Mar 5, 1850");
    EXPECT_EQ(displayDateOrError("ABT 5 MAR 1850"), "Abt Mar 5, 1850");
    EXPECT_EQ(userDisplayDate("31 APR 1850"), "31 APR 1850");
    EXPECT_EQ(displayDateOrError("31 APR 1850"), "The day number is too large for that month.");
    EXPECT_EQ(formatDateWithFormat("ABT 5 MAR 1850", "%D/%N/%y"), "Abt 05/03/1850");
    EXPECT_EQ(formatDateWithFormat("nonsense", "%y"), "nonsense");
    setShowDatesAsEntered(true);
    EXPECT_EQ(userDisplayDate("abt 5 mar 1850"), "ABT 5 MAR 1850");
    setDateDisplayFormat("");
    setShowDatesAsEntered(false);
    EXPECT_EQ(userDisplayDate("5 mar 1850"), "5 MAR 1850");
    setDateStyle(3);
    EXPECT_EQ(userDisplayDate("BEF 1850"), "< 1850");
}

TEST_F(DateBridge, SettingsSettersReachTheParser)
{
    setTwoDigitYearCentury(19);
    EXPECT_EQ(userDisplayDate("5 MAR 85"), "5 MAR 1985");
    setTwoDigitYearCentury(0);
    EXPECT_EQ(userDisplayDate("85"), "0085");
    setDateOptionFlag(true);
    EXPECT_EQ(userDisplayDate("5 6 1900"), "5 JUN 1900");
}

TEST_F(DateBridge, OverlongDisplayFormatsAreCutAtACharacterBoundary)
{
    setDateDisplayFormat("%y" + std::string(97, ' ') + "\xC3\xA9%d");
    // 2 + 97 bytes, then a two-byte letter that would straddle byte 100.
    EXPECT_EQ(dateFromSdn(2451545), "2000");
}

TEST_F(DateBridge, PartsAndNumbers)
{
    EXPECT_EQ(datePartsArray("BET 1850 AND 1860 (x)"),
              (std::vector<std::string>{"BET", "1850", "AND", "1860", "(x)"}));
    EXPECT_EQ(datePartsArray("1850"), (std::vector<std::string>{"", "1850", "", "", ""}));
    EXPECT_EQ(datePartsArray("31 APR 1850"), (std::vector<std::string>{"The day number is too large for that month."}));
    EXPECT_EQ(extractDateNumbers("@#DJULIAN@ 3 MAR 1700"), (std::vector<int>{14, 3, 1700}));
    EXPECT_EQ(extractDateNumbers("BET 1850 AND 1860"), (std::vector<int>{0, 0, 1850, 0, 0, 1860}));
    EXPECT_EQ(extractDateNumbers("15 MAR 44 BC"), (std::vector<int>{15, 3, -44}));
    EXPECT_TRUE(extractDateNumbers("(phrase)").empty());
    EXPECT_TRUE(extractDateNumbers("bad").empty());
}

TEST_F(DateBridge, ConversionsAndShortTexts)
{
    EXPECT_EQ(convertDateToCalendar("11 SEP 1999", kCalendarHebrew), "1 TSH 5760");
    EXPECT_EQ(convertDateToCalendar("16 MAR 1900", kCalendarJulian), "3 MAR 1900");
    setShowDatesAsEntered(true);
    EXPECT_EQ(convertDateToCalendar("16 MAR 1900", kCalendarJulian), "@#DJULIAN@ 3 MAR 1900");
    EXPECT_EQ(convertDateToCalendar("1700", kCalendarFrench), std::nullopt);
    EXPECT_EQ(convertDateToCalendar("bad", kCalendarJulian), std::nullopt);
    EXPECT_EQ(yearFromDate("ABT 1850"), "c1850");
    EXPECT_EQ(yearFromDate("bad"), "?");
    EXPECT_EQ(dayOfWeekForDate("ABT 1 JAN 2000"), 7);
    EXPECT_EQ(dayOfWeekForDate("bad"), 0);
}

TEST_F(DateBridge, DayNumbersOfTexts)
{
    const SDN y1850 = gregorianDateToSdn(1850, 1, 1);
    const SDN end1860 = gregorianDateToSdn(1860, 12, 31);
    EXPECT_EQ(earliestSdnForDate("BET 1850 AND 1860"), y1850);
    EXPECT_EQ(latestSdnForDate("BET 1850 AND 1860"), end1860);
    EXPECT_EQ(sortSdnForDate("BET 1850 AND 1860"), (y1850 + end1860) / 2);
    EXPECT_EQ(sortSdnForDate("AFT 1850"), y1850);
    EXPECT_EQ(midSdnForDate("FROM 1850 TO 1860"), y1850);
    EXPECT_EQ(earliestSdnForDate("bad"), 0);
    SDN e = 5, l = 5;
    EXPECT_EQ(sdnRangeForDate("", e, l), std::nullopt);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(sdnRangeForDate("1850", e, l), std::nullopt);
    EXPECT_EQ(e, y1850);
    EXPECT_EQ(sdnRangeForDate("31 APR 1850", e, l), "The day number is too large for that month.");
    EXPECT_EQ(e, 0);
    EXPECT_EQ(dateFromSdn(2451545), "1 JAN 2000");
    EXPECT_EQ(dateFromSdnWithFormat(2451545, "%D.%N.%y"), "01.01.2000");
    EXPECT_EQ(dateFromSdn(0), "?");
}

TEST_F(DateBridge, SpansBetweenDates)
{
    std::int64_t minimum = 0, maximum = 0;
    daySpanBetweenDates("1850", "1860", minimum, maximum);
    EXPECT_EQ(minimum, 3288);
    EXPECT_EQ(maximum, 4017);
    const std::int64_t none = std::numeric_limits<std::int64_t>::max();
    daySpanBetweenDates("bad", "1860", minimum, maximum);
    EXPECT_EQ(minimum, none);
    EXPECT_EQ(maximum, 1);
    daySpanBetweenDates("1850", "bad", minimum, maximum);
    EXPECT_EQ(minimum, none);
    EXPECT_EQ(maximum, 2);
    // A date outside every day count gives no span rather than millions of days.
    daySpanBetweenDates("5000 BC", "1860", minimum, maximum);
    EXPECT_EQ(maximum, 1);
    EXPECT_EQ(spanTextBetweenSdns(3288, 4017, 3), "9y 1d TO 10y 365d");
}

TEST_F(DateBridge, WholeYearsAcrossLeapDays)
{
    EXPECT_EQ(yearsBetweenSdns(0, 365), 0);
    EXPECT_EQ(yearsBetweenSdns(0, 366), 1);
    EXPECT_EQ(yearsBetweenSdns(366, 0), -1);
    const SDN born = gregorianDateToSdn(2000, 2, 29);
    EXPECT_EQ(yearsBetweenSdns(born, gregorianDateToSdn(2001, 2, 28)), 0);
    EXPECT_EQ(yearsBetweenSdns(born, gregorianDateToSdn(2004, 2, 29)), 4);
    EXPECT_EQ(yearsBetweenSdns(born, gregorianDateToSdn(2004, 2, 28)), 3);
}

TEST_F(DateBridge, TodayComesFromTheClock)
{
    DateClock::setSource([] { return DateClock::LocalTime{2024, 3, 5, 7, 8, 9}; });
    std::string time;
    EXPECT_EQ(todayDateString(&time), "5 MAR 2024");
    EXPECT_EQ(time, "07:08:09");
    EXPECT_EQ(todaySdn(), gregorianDateToSdn(2024, 3, 5));
    DateClock::setSource([] { return DateClock::LocalTime{2024, 13, 5, 0, 0, 0}; });
    EXPECT_EQ(todayDateString(), "?");
    DateClock::setSource({});
    EXPECT_GT(todaySdn(), gregorianDateToSdn(2020, 1, 1));
}

// Normalising on one thread while another displays with a different format
// and the preferences change: each call must use one format throughout.
TEST_F(DateBridge, ConcurrentNormalisingAndDisplayNeverMixFormats)
{
    initDateDisplaySettings("%m %d, %y", false, 20, 0, false);
    std::atomic<bool> stop{false};
    std::atomic<int> wrongStored{0};
    std::atomic<int> wrongShown{0};
    std::thread normaliser([&] {
        bool valid = false;
        for (int i = 0; i < 3000; ++i)
            if (validateDateString("abt 5 mar 1850", valid) != "ABT 5 MAR 1850")
                ++wrongStored;
    });
    std::thread viewer([&] {
        for (int i = 0; i < 3000; ++i) {
            const std::string shown = userDisplayDate("abt 5 mar 1850");
            if (shown != "abt Mar 5, 1850" && shown != "Abt 05/03/1850")
                ++wrongShown;
        }
    });
    std::thread preferences([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 2)
                initDateDisplaySettings("%m %d, %y", false, 20, 0, false);
            else
                initDateDisplaySettings("%D/%N/%y", false, 20, 1, false);
        }
    });
    normaliser.join();
    viewer.join();
    stop = true;
    preferences.join();
    EXPECT_EQ(wrongStored, 0);
    EXPECT_EQ(wrongShown, 0);
}

} // namespace
} // namespace kl
