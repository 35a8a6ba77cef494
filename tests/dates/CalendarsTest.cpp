#include "dates/Calendars.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kl {
namespace {

struct Ymd {
    int year, month, day;
    bool operator==(const Ymd&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Ymd& d)
{
    return os << d.year << '-' << d.month << '-' << d.day;
}

Ymd fromSdn(int calendar, SDN sdn)
{
    Ymd d{};
    sdnToDateInCalendar(calendar, sdn, d.year, d.month, d.day);
    return d;
}

struct KnownDay {
    int calendar;
    Ymd date;
    SDN sdn;
};

// Fixed points: epochs, range ends and the days named in the user manual.
const KnownDay kKnownDays[] = {
    {kCalendarGregorian, {2000, 1, 1}, 2451545},
    {kCalendarGregorian, {-4714, 11, 25}, 1},
    {kCalendarGregorian, {1, 1, 1}, 1721426},
    {kCalendarGregorian, {-1, 12, 31}, 1721425},
    {kCalendarGregorian, {1582, 10, 15}, 2299161},
    {kCalendarGregorian, {1792, 9, 22}, 2375840},
    {kCalendarGregorian, {1999, 9, 11}, 2451433},
    {kCalendarJulian, {-4713, 1, 2}, 1},
    {kCalendarJulian, {1582, 10, 4}, 2299160},
    {kCalendarJulian, {1700, 2, 29}, 2342042},
    {kCalendarHebrew, {5760, 1, 1}, 2451433},
    {kCalendarHebrew, {1, 1, 1}, kHebrewSdnOffset + 1},
    {kCalendarFrench, {1, 1, 1}, 2375840},
    {kCalendarFrench, {14, 13, 5}, 2380952},
    {kCalendarFrench, {3, 13, 6}, 2376935},
};

TEST(Calendars, KnownDaysConvertBothWays)
{
    for (const KnownDay& k : kKnownDays) {
        SCOPED_TRACE(::testing::Message() << "calendar " << k.calendar << " " << k.date);
        EXPECT_EQ(dateInCalendarToSdn(k.calendar, k.date.year, k.date.month, k.date.day), k.sdn);
        EXPECT_EQ(fromSdn(k.calendar, k.sdn), k.date);
    }
}

struct Rejected {
    int calendar;
    Ymd date;
};

const Rejected kRejected[] = {
    {kCalendarGregorian, {0, 1, 1}},       {kCalendarGregorian, {-4714, 11, 24}},
    {kCalendarGregorian, {-4714, 10, 30}}, {kCalendarGregorian, {-4715, 12, 31}},
    {kCalendarGregorian, {1900, 13, 1}},   {kCalendarGregorian, {1900, 0, 1}},
    {kCalendarGregorian, {1900, 1, 32}},   {kCalendarGregorian, {1900, 1, 0}},
    {kCalendarJulian, {0, 6, 1}},          {kCalendarJulian, {-4713, 1, 1}},
    {kCalendarJulian, {-4714, 12, 31}},    {kCalendarHebrew, {0, 1, 1}},
    {kCalendarHebrew, {5760, 14, 1}},      {kCalendarHebrew, {5760, 1, 31}},
    {kCalendarFrench, {0, 1, 1}},          {kCalendarFrench, {15, 1, 1}},
    {kCalendarFrench, {3, 14, 1}},         {kCalendarFrench, {3, 1, 31}},
    {5, {2000, 1, 1}},                     {-1, {2000, 1, 1}},
};

TEST(Calendars, RejectedDatesGiveNoDayNumber)
{
    for (const Rejected& r : kRejected) {
        SCOPED_TRACE(::testing::Message() << "calendar " << r.calendar << " " << r.date);
        EXPECT_EQ(dateInCalendarToSdn(r.calendar, r.date.year, r.date.month, r.date.day), 0);
    }
}

TEST(Calendars, DayNumbersOutsideACalendarGiveZeros)
{
    const Ymd none{0, 0, 0};
    EXPECT_EQ(fromSdn(kCalendarGregorian, 0), none);
    EXPECT_EQ(fromSdn(kCalendarGregorian, -5), none);
    EXPECT_EQ(fromSdn(kCalendarJulian, 0), none);
    EXPECT_EQ(fromSdn(kCalendarHebrew, kHebrewSdnOffset), none);
    EXPECT_EQ(fromSdn(kCalendarFrench, kFrenchFirstSdn - 1), none);
    EXPECT_EQ(fromSdn(kCalendarFrench, kFrenchPastLastSdn), none);
    EXPECT_EQ(fromSdn(5, 2451545), none);
    EXPECT_EQ(fromSdn(kCalendarGregorian, SDN{1} << 62), none);
}

TEST(Calendars, OverlongDaysCountOnIntoTheNextMonth)
{
    EXPECT_EQ(gregorianDateToSdn(1900, 2, 31), gregorianDateToSdn(1900, 3, 3));
    // A common year has no Adar II: month 7 is read as Adar.
    EXPECT_EQ(hebrewDateToSdn(5761, 7, 10), hebrewDateToSdn(5761, 6, 10));
    EXPECT_EQ(frenchDateToSdn(1, 13, 6), frenchDateToSdn(2, 1, 1));
}

TEST(Calendars, WeekdaysRunSundayToSaturday)
{
    EXPECT_EQ(sdnDayOfWeek(2451545), 7);  // 1 January 2000, a Saturday
    EXPECT_EQ(sdnDayOfWeek(2451546), 1);
    EXPECT_EQ(sdnDayOfWeek(gregorianDateToSdn(2024, 3, 5)), 3);
    EXPECT_EQ(sdnDayOfWeek(0), 2);
    EXPECT_EQ(sdnDayOfWeek(-1), 1);
    EXPECT_EQ(sdnDayOfWeek(-2), 7);
}

// --- Every day of each calendar's range --------------------------------------

struct CalendarRange {
    const char* name;
    int calendar;
    Ymd first;
    Ymd last;
};

const CalendarRange kRanges[] = {
    {"Gregorian", kCalendarGregorian, {-1000, 1, 1}, {3000, 12, 31}},
    {"Julian", kCalendarJulian, {-1000, 1, 1}, {3000, 12, 31}},
    {"Hebrew", kCalendarHebrew, {3000, 1, 1}, {6000, 13, 29}},
    {"French", kCalendarFrench, {1, 1, 1}, {14, 13, 5}},
};

bool hebrewLeap(int year)
{
    return (7 * year + 1) % 19 < 7;
}

// The day after d, given the length of d's month.
bool isNextDay(int calendar, const Ymd& d, const Ymd& next)
{
    if (next.year == d.year && next.month == d.month)
        return next.day == d.day + 1;
    if (next.day != 1)
        return false;
    if (next.year == d.year) {
        const int skip = (calendar == kCalendarHebrew && d.month == 6 && !hebrewLeap(d.year)) ? 2 : 1;
        return next.month == d.month + skip;
    }
    const int lastMonth = (calendar == kCalendarHebrew || calendar == kCalendarFrench) ? 13 : 12;
    const int nextYear = (calendar <= kCalendarJulian && d.year == -1) ? 1 : d.year + 1;
    return d.month == lastMonth && next.month == 1 && next.year == nextYear;
}

class EveryDay : public ::testing::TestWithParam<CalendarRange> {};

TEST_P(EveryDay, RoundTripsAndSucceedsThePreviousDay)
{
    const CalendarRange& r = GetParam();
    const SDN first = dateInCalendarToSdn(r.calendar, r.first.year, r.first.month, r.first.day);
    const SDN last = dateInCalendarToSdn(r.calendar, r.last.year, r.last.month, r.last.day);
    ASSERT_GT(first, 0);
    ASSERT_GT(last, first);
    Ymd previous = fromSdn(r.calendar, first);
    EXPECT_EQ(previous, r.first);
    int failures = 0;
    for (SDN sdn = first + 1; sdn <= last && failures < 5; ++sdn) {
        Ymd d{};
        sdnToDateInCalendar(r.calendar, sdn, d.year, d.month, d.day);
        const SDN back = dateInCalendarToSdn(r.calendar, d.year, d.month, d.day);
        if (back != sdn || !isNextDay(r.calendar, previous, d)) {
            ADD_FAILURE() << r.name << " sdn " << sdn << " gives " << d << " back " << back << " after " << previous;
            ++failures;
        }
        previous = d;
    }
}

INSTANTIATE_TEST_SUITE_P(Calendars, EveryDay, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Reference table made by an independent implementation -------------------

struct Reference {
    struct Year {
        int year;
        std::string lengths;
    };
    std::map<char, std::pair<SDN, std::vector<Year>>> years;  // anchor and years per calendar
    std::vector<std::array<SDN, 13>> samples;
};

const Reference& reference()
{
    static const Reference table = [] {
        Reference ref;
        std::ifstream in(std::string(KL_SOURCE_DIR) + "/tests/dates/calendar_reference.txt");
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string kind;
            words >> kind;
            if (kind == "A") {
                char cal = 0;
                int year = 0;
                SDN sdn = 0;
                words >> cal >> year >> sdn;
                ref.years[cal].first = sdn;
            } else if (kind == "S") {
                std::array<SDN, 13> s{};
                for (SDN& v : s)
                    words >> v;
                ref.samples.push_back(s);
            } else if (kind.size() == 1) {
                Reference::Year y;
                words >> y.year >> y.lengths;
                ref.years[kind[0]].second.push_back(y);
            }
        }
        return ref;
    }();
    return table;
}

int lengthFromDigit(char digit)
{
    const int d = digit - '0';
    return d <= 1 ? 30 + d : (d <= 6 ? d : 20 + d);
}

std::vector<int> monthLengths(char cal, const std::string& lengths)
{
    if (cal == 'G' || cal == 'J')
        return {31, lengthFromDigit(lengths[0]), 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<int> out;
    for (char c : lengths)
        out.push_back(lengthFromDigit(c));
    return out;
}

std::vector<int> monthNumbers(char cal, std::size_t count)
{
    std::vector<int> out;
    for (int m = 1; out.size() < count; ++m)
        if (!(cal == 'H' && m == 7 && count == 12))
            out.push_back(m);
    return out;
}

int calendarOf(char cal)
{
    switch (cal) {
    case 'G': return kCalendarGregorian;
    case 'J': return kCalendarJulian;
    case 'H': return kCalendarHebrew;
    default: return kCalendarFrench;
    }
}

TEST(CalendarReference, EveryMonthStartAndEndMatches)
{
    const Reference& ref = reference();
    ASSERT_EQ(ref.years.size(), 4u) << "tests/dates/calendar_reference.txt is missing";
    for (const auto& [cal, anchored] : ref.years) {
        const int calendar = calendarOf(cal);
        SDN start = anchored.first;
        int failures = 0;
        for (const Reference::Year& y : anchored.second) {
            const std::vector<int> lengths = monthLengths(cal, y.lengths);
            const std::vector<int> months = monthNumbers(cal, lengths.size());
            for (std::size_t i = 0; i < lengths.size() && failures < 5; ++i) {
                const Ymd first{y.year, months[i], 1};
                const Ymd last{y.year, months[i], lengths[i]};
                const SDN end = start + lengths[i] - 1;
                if (dateInCalendarToSdn(calendar, y.year, months[i], 1) != start || fromSdn(calendar, start) != first
                    || fromSdn(calendar, end) != last) {
                    ADD_FAILURE() << cal << " " << first << " expected at " << start;
                    ++failures;
                }
                start = end + 1;
            }
        }
    }
}

TEST(CalendarReference, SampledDaysMatchInEveryCalendar)
{
    const Reference& ref = reference();
    ASSERT_GT(ref.samples.size(), 1000u);
    for (const auto& s : ref.samples) {
        const SDN sdn = s[0];
        SCOPED_TRACE(::testing::Message() << "sdn " << sdn);
        const int calendars[] = {kCalendarGregorian, kCalendarJulian, kCalendarHebrew, kCalendarFrench};
        for (int i = 0; i < 4; ++i) {
            const Ymd expected{static_cast<int>(s[1 + 3 * i]), static_cast<int>(s[2 + 3 * i]),
                               static_cast<int>(s[3 + 3 * i])};
            ASSERT_EQ(fromSdn(calendars[i], sdn), expected) << "calendar " << calendars[i];
        }
    }
}

} // namespace
} // namespace kl
