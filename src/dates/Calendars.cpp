#include "dates/Calendars.h"

namespace kl {

namespace {

// Beyond this the year of a conversion would not fit its int; refusing keeps
// every intermediate product far inside 64 bits.
constexpr SDN kMaxSdn = SDN{1} << 40;

// Gregorian and Julian share the March-based month arithmetic.
struct MarchYear {
    std::int64_t y;
    std::int64_t m;
};

MarchYear marchBased(int year, int month)
{
    std::int64_t y = year < 0 ? std::int64_t{year} + 4801 : std::int64_t{year} + 4800;
    if (month > 2)
        return {y, month - 3};
    return {y - 1, month + 9};
}

// Steps shared by both directions from a day-of-year inside a March year.
void finishMarchDate(std::int64_t year, std::int64_t dayOfYear, int& outYear, int& outMonth, int& outDay)
{
    const std::int64_t t = dayOfYear * 5 - 3;
    std::int64_t month = t / 153;
    const std::int64_t day = (t % 153) / 5 + 1;
    if (month < 10) {
        month += 3;
    } else {
        year += 1;
        month -= 9;
    }
    year -= 4800;
    if (year <= 0)
        --year;
    outYear = static_cast<int>(year);
    outMonth = static_cast<int>(month);
    outDay = static_cast<int>(day);
}

void zero(int& year, int& month, int& day)
{
    year = month = day = 0;
}

// --- Hebrew calendar -------------------------------------------------------

constexpr std::int64_t kPartsPerDay = 25920;
constexpr std::int64_t kPartsPerLunation = 765433;
constexpr std::int64_t kPartsPerCycle = 179876755;
constexpr std::int64_t kNewMoonOfCreation = 31524;
constexpr std::int64_t kNoon = 18 * 1080;
constexpr std::int64_t kAm3_11_20 = 9 * 1080 + 204;
constexpr std::int64_t kAm9_32_43 = 15 * 1080 + 589;

constexpr int kMonthsInYear[19] = {12, 12, 13, 12, 12, 13, 12, 13, 12, 12,
                                   13, 12, 12, 13, 12, 12, 13, 12, 13};
constexpr int kMonthsBeforeYear[19] = {0,   12,  24,  37,  49,  61,  74,  86,  99, 111,
                                       123, 136, 148, 160, 173, 185, 197, 210, 222};

bool isLeapPlace(int k)
{
    return kMonthsInYear[k] == 13;
}

bool followsLeapPlace(int k)
{
    return isLeapPlace((k + 18) % 19);
}

HebrewMolad cycleMolad(std::int64_t cycle)
{
    const std::int64_t total = kNewMoonOfCreation + cycle * kPartsPerCycle;
    HebrewMolad molad;
    molad.cycle = cycle;
    molad.day = total / kPartsPerDay;
    molad.parts = total % kPartsPerDay;
    return molad;
}

void addParts(HebrewMolad& molad, std::int64_t parts)
{
    molad.parts += parts;
    molad.day += molad.parts / kPartsPerDay;
    molad.parts %= kPartsPerDay;
}

int hebrewPlace(int year)
{
    return (year - 1) % 19;
}

std::int64_t tishriOfYear(int year)
{
    std::int64_t tishri1 = 0;
    metonicCycleMolad(year, tishri1);
    return tishri1;
}

// Counts back from 1 Tishri of the next year into the months between Tevet
// and Adar II; answers month 0 when the day lies before Tevet.
void monthBeforeNisan(bool leap, std::int64_t d, std::int64_t t1, int& month, std::int64_t& day)
{
    day = d - t1 + 207;
    month = leap ? 7 : 6;
    const int stepsBeforeTevet = leap ? 2 : 1;
    for (int step = 0; step < stepsBeforeTevet && day <= 0; ++step) {
        --month;
        day += 30;
    }
    if (day <= 0) {
        --month;
        day += 29;
    }
    if (day <= 0)
        month = 0;
}

void heshvanOrKislev(std::int64_t d, std::int64_t t1, std::int64_t tAfter, int& month, int& day)
{
    const std::int64_t yearLength = tAfter - t1;
    const std::int64_t x = d - t1;
    const std::int64_t heshvanEnd = (yearLength == 355 || yearLength == 385) ? 59 : 58;
    if (x <= heshvanEnd) {
        month = 2;
        day = static_cast<int>(x - 29);
    } else {
        month = 3;
        day = static_cast<int>(x - heshvanEnd);
    }
}

struct LastMonths {
    std::int64_t after;  // days before the next 1 Tishri at which the month starts
    int month;
    std::int64_t add;
};

constexpr LastMonths kLastSixMonths[] = {
    {30, 13, 30}, {60, 12, 60}, {89, 11, 89}, {119, 10, 119}, {148, 9, 148},
};

void lastSixMonths(std::int64_t d, std::int64_t t1, int& month, int& day)
{
    for (const LastMonths& m : kLastSixMonths) {
        if (d > t1 - m.after) {
            month = m.month;
            day = static_cast<int>(d - t1 + m.add);
            return;
        }
    }
    month = 8;
    day = static_cast<int>(d - t1 + 178);
}

} // namespace

// --- Gregorian and Julian --------------------------------------------------

SDN gregorianDateToSdn(int year, int month, int day)
{
    if (year == 0 || year < -4714 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    if (year == -4714 && (month < 11 || (month == 11 && day < 25)))
        return 0;
    const MarchYear my = marchBased(year, month);
    return (my.y / 100 * 146097) / 4 + ((my.y % 100) * 1461) / 4 + (my.m * 153 + 2) / 5 + day - 32045;
}

void sdnToGregorianDate(SDN sdn, int& year, int& month, int& day)
{
    if (sdn <= 0 || sdn > kMaxSdn)
        return zero(year, month, day);
    std::int64_t t = sdn * 4 + 128179;
    const std::int64_t century = t / 146097;
    t = ((t % 146097) / 4) * 4 + 3;
    finishMarchDate(century * 100 + t / 1461, (t % 1461) / 4 + 1, year, month, day);
}

SDN julianDateToSdn(int year, int month, int day)
{
    if (year == 0 || year < -4713 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    if (year == -4713 && month == 1 && day == 1)
        return 0;
    const MarchYear my = marchBased(year, month);
    return (my.y * 1461) / 4 + (my.m * 153 + 2) / 5 + day - 32083;
}

void sdnToJulianDate(SDN sdn, int& year, int& month, int& day)
{
    if (sdn <= 0 || sdn > kMaxSdn)
        return zero(year, month, day);
    const std::int64_t t = sdn * 4 + 128331;
    finishMarchDate(t / 1461, (t % 1461) / 4 + 1, year, month, day);
}

// --- French Republican ------------------------------------------------------

SDN frenchDateToSdn(int year, int month, int day)
{
    if (year < 1 || year > 14 || month < 1 || month > 13 || day < 1 || day > 30)
        return 0;
    return (std::int64_t{year} * 1461) / 4 + month * 30 + day + 2375444;
}

void sdnToFrenchDate(SDN sdn, int& year, int& month, int& day)
{
    if (sdn < kFrenchFirstSdn || sdn >= kFrenchPastLastSdn)
        return zero(year, month, day);
    const std::int64_t t = (sdn - 2375474) * 4 - 1;
    const std::int64_t dayOfYear = (t % 1461) / 4;
    year = static_cast<int>(t / 1461);
    month = static_cast<int>(dayOfYear / 30 + 1);
    day = static_cast<int>(dayOfYear % 30 + 1);
}

// --- Hebrew -----------------------------------------------------------------

std::int64_t tishriFirstDay(int place, std::int64_t moladDay, std::int64_t moladParts)
{
    std::int64_t day = moladDay;
    std::int64_t dow = day % 7;
    const bool postpone = moladParts >= kNoon
        || (!isLeapPlace(place) && dow == 2 && moladParts >= kAm3_11_20)
        || (followsLeapPlace(place) && dow == 1 && moladParts >= kAm9_32_43);
    if (postpone) {
        ++day;
        dow = (dow + 1) % 7;
    }
    if (dow == 0 || dow == 3 || dow == 5)
        ++day;
    return day;
}

HebrewMolad metonicCycleMolad(int year, std::int64_t& tishri1)
{
    HebrewMolad molad = cycleMolad((year - 1) / 19);
    molad.place = hebrewPlace(year);
    addParts(molad, kPartsPerLunation * kMonthsBeforeYear[molad.place]);
    tishri1 = tishriFirstDay(molad.place, molad.day, molad.parts);
    return molad;
}

HebrewMolad tishriMoladForSdn(std::int64_t d)
{
    HebrewMolad molad = cycleMolad((d + 310) / 6940);
    while (molad.day < d - 6630) {
        ++molad.cycle;
        addParts(molad, kPartsPerCycle);
    }
    molad.place = 0;
    while (molad.place < 18 && molad.day <= d - 74) {
        addParts(molad, kPartsPerLunation * kMonthsInYear[molad.place]);
        ++molad.place;
    }
    return molad;
}

void sdnToHebrewDate(SDN sdn, int& year, int& month, int& day)
{
    if (sdn <= kHebrewSdnOffset || sdn > kMaxSdn)
        return zero(year, month, day);
    const std::int64_t d = sdn - kHebrewSdnOffset;
    HebrewMolad molad = tishriMoladForSdn(d);
    std::int64_t t1 = tishriFirstDay(molad.place, molad.day, molad.parts);
    std::int64_t tAfter = 0;
    if (d >= t1) {
        year = static_cast<int>(molad.cycle * 19 + molad.place + 1);
        if (d < t1 + 30) {
            month = 1;
            day = static_cast<int>(d - t1 + 1);
            return;
        }
        if (d < t1 + 59) {
            month = 2;
            day = static_cast<int>(d - t1 - 29);
            return;
        }
        addParts(molad, kPartsPerLunation * kMonthsInYear[molad.place]);
        tAfter = tishriFirstDay((molad.place + 1) % 19, molad.day, molad.parts);
    } else {
        year = static_cast<int>(molad.cycle * 19 + molad.place);
        if (d >= t1 - 177)
            return lastSixMonths(d, t1, month, day);
        std::int64_t dayInMonth = 0;
        monthBeforeNisan(isLeapPlace(hebrewPlace(year)), d, t1, month, dayInMonth);
        if (month != 0) {
            day = static_cast<int>(dayInMonth);
            return;
        }
        tAfter = t1;
        molad = tishriMoladForSdn(molad.day - 365);
        t1 = tishriFirstDay(molad.place, molad.day, molad.parts);
    }
    heshvanOrKislev(d, t1, tAfter, month, day);
}

SDN hebrewDateToSdn(int year, int month, int day)
{
    if (year < 1 || day < 1 || day > 30 || month < 1 || month > 13)
        return 0;
    static constexpr int kBackFromNextYear[14] = {0, 0, 0, 0, 237, 208, 178, 207, 178, 148, 119, 89, 60, 30};
    std::int64_t offset = 0;
    if (month <= 3) {
        std::int64_t t1 = 0;
        HebrewMolad molad = metonicCycleMolad(year, t1);
        if (month == 1) {
            offset = t1 + day - 1;
        } else if (month == 2) {
            offset = t1 + day + 29;
        } else {
            addParts(molad, kPartsPerLunation * kMonthsInYear[molad.place]);
            const std::int64_t length = tishriFirstDay((molad.place + 1) % 19, molad.day, molad.parts) - t1;
            offset = t1 + day + ((length == 355 || length == 385) ? 59 : 58);
        }
    } else {
        const std::int64_t tAfter = tishriOfYear(year + 1);
        offset = tAfter + day - kBackFromNextYear[month];
        if (month <= 6)
            offset -= isLeapPlace(hebrewPlace(year)) ? 59 : 29;
    }
    return offset + kHebrewSdnOffset;
}

// --- Dispatch -----------------------------------------------------------------

void sdnToDateInCalendar(int calendar, SDN sdn, int& year, int& month, int& day)
{
    switch (calendar) {
    case kCalendarUnset:
    case kCalendarGregorian: return sdnToGregorianDate(sdn, year, month, day);
    case kCalendarJulian: return sdnToJulianDate(sdn, year, month, day);
    case kCalendarHebrew: return sdnToHebrewDate(sdn, year, month, day);
    case kCalendarFrench: return sdnToFrenchDate(sdn, year, month, day);
    default: return zero(year, month, day);
    }
}

SDN dateInCalendarToSdn(int calendar, int year, int month, int day)
{
    switch (calendar) {
    case kCalendarUnset:
    case kCalendarGregorian: return gregorianDateToSdn(year, month, day);
    case kCalendarJulian: return julianDateToSdn(year, month, day);
    case kCalendarHebrew: return hebrewDateToSdn(year, month, day);
    case kCalendarFrench: return frenchDateToSdn(year, month, day);
    default: return 0;
    }
}

int sdnDayOfWeek(SDN sdn)
{
    std::int64_t w = (sdn + 1) % 7;
    if (w < 0)
        w += 7;
    return static_cast<int>(w) + 1;
}

} // namespace kl
