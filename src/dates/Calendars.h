#pragma once

#include <cstdint>

namespace kl {

// Serial day number: the Julian Day Number of a day. 0 means "no valid date"
// everywhere in the date engine.
using SDN = std::int64_t;

// Calendar numbers of dates. 0 is read as Gregorian.
enum CalendarNumber : int {
    kCalendarUnset = 0,
    kCalendarGregorian = 1,
    kCalendarJulian = 2,
    kCalendarHebrew = 3,
    kCalendarFrench = 4,
};

// Pure integer conversions between the four GEDCOM calendars and serial day
// numbers. Stateless and allocation-free: callable from any thread.
// Gregorian and Julian years have no year 0 (1 BC is -1); Hebrew months run
// 1 Tishri .. 6 Adar (I) .. 7 Adar II .. 13 Elul; French Republican years 1..14
// with month 13 for the complementary days. Every conversion answers 0 (or
// year, month and day 0) for input it rejects.

SDN gregorianDateToSdn(int year, int month, int day);
void sdnToGregorianDate(SDN sdn, int& year, int& month, int& day);
SDN julianDateToSdn(int year, int month, int day);
void sdnToJulianDate(SDN sdn, int& year, int& month, int& day);
SDN hebrewDateToSdn(int year, int month, int day);
void sdnToHebrewDate(SDN sdn, int& year, int& month, int& day);
SDN frenchDateToSdn(int year, int month, int day);
void sdnToFrenchDate(SDN sdn, int& year, int& month, int& day);

// Dispatches on the calendar number; unknown calendars give zeros.
void sdnToDateInCalendar(int calendar, SDN sdn, int& year, int& month, int& day);
// Converts by calendar number (0 as Gregorian); unknown calendars give 0.
SDN dateInCalendarToSdn(int calendar, int year, int month, int day);

// 1 = Sunday .. 7 = Saturday.
int sdnDayOfWeek(SDN sdn);

// The new moon of Tishri and the first day of Tishri, in days since the
// Hebrew epoch offset. Exposed for the Hebrew conversions and their tests.
struct HebrewMolad {
    std::int64_t cycle = 0;   // 19-year cycle number
    int place = 0;            // year's place 0..18 in its cycle
    std::int64_t day = 0;     // day of the new moon
    std::int64_t parts = 0;   // parts (1/25920 day) past that day's start
};
HebrewMolad metonicCycleMolad(int year, std::int64_t& tishri1);
HebrewMolad tishriMoladForSdn(std::int64_t dayInHebrewCount);
std::int64_t tishriFirstDay(int place, std::int64_t moladDay, std::int64_t moladParts);

// Day counts used by the Hebrew and French conversions.
inline constexpr SDN kHebrewSdnOffset = 347997;
inline constexpr SDN kFrenchFirstSdn = 2375840;
inline constexpr SDN kFrenchPastLastSdn = 2380953;

} // namespace kl
