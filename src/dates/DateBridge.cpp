#include "dates/DateBridge.h"

#include "dates/DateClock.h"
#include "dates/DateCodes.h"
#include "dates/DateSettings.h"
#include "dates/FullDate.h"
#include "dates/TimeSpan.h"

#include <cstdio>
#include <limits>

namespace kl {

namespace {

// An unset display format shows dates in their stored form rather than as
// empty texts.
DateFormat displayFormat(const DateSettings& settings)
{
    if (settings.display.pattern.empty())
        return {DateFormat::normalized().pattern, settings.display.keywordStyle};
    return settings.display;
}

// One parse of a text with one snapshot of the settings, so that a
// preference changed meanwhile cannot mix into this call.
struct ParsedDate {
    std::shared_ptr<const DateSettings> settings = DateSettings::current();
    FullDate date;
    bool valid = false;

    explicit ParsedDate(std::string_view text) { valid = date.parse(text, 0, *settings) == 0; }

    DateFormat display() const { return displayFormat(*settings); }
    DateFormat userFormat() const
    {
        return settings->showDatesAsEntered ? DateFormat::normalized() : display();
    }
};

// Formats are kept to 100 bytes, never cut inside a UTF-8 sequence.
std::string cutFormat(std::string_view format)
{
    constexpr std::size_t kMax = 100;
    if (format.size() <= kMax)
        return std::string(format);
    std::size_t end = kMax;
    while (end > 0 && (static_cast<unsigned char>(format[end]) & 0xC0) == 0x80)
        --end;
    return std::string(format.substr(0, end));
}

std::string twoDigits(int value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

} // namespace

std::string validateDateString(std::string_view text, bool& valid)
{
    ParsedDate parsed(text);
    valid = parsed.valid;
    return valid ? parsed.date.format(DateFormat::normalized()) : parsed.date.errorText();
}

std::string displayDateOrError(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.format(parsed.display()) : parsed.date.errorText();
}

std::string userDisplayDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.format(parsed.userFormat()) : std::string(text);
}

std::string formatDateWithFormat(std::string_view text, std::string_view pattern)
{
    ParsedDate parsed(text);
    if (!parsed.valid)
        return std::string(text);
    return parsed.date.format({std::string(pattern), parsed.settings->display.keywordStyle});
}

std::vector<std::string> datePartsArray(std::string_view text)
{
    ParsedDate parsed(text);
    if (!parsed.valid)
        return {parsed.date.errorText()};
    const DateFormat format = parsed.display();
    const FullDate& d = parsed.date;
    return {d.prefixText(format), d.firstDateText(format), d.conjunctionText(format), d.secondDateText(format),
            d.phraseText()};
}

std::vector<int> extractDateNumbers(std::string_view text)
{
    ParsedDate parsed(text);
    if (!parsed.valid || !parsed.date.firstDate() || !parsed.date.convertCalendar(kCalendarGregorian))
        return {};
    std::vector<int> numbers;
    for (const ExactDate* date : {parsed.date.firstDate(), parsed.date.secondDate()}) {
        if (!date)
            continue;
        numbers.push_back(date->day());
        numbers.push_back(date->month());
        numbers.push_back(date->sign() < 0 ? -date->year() : date->year());
    }
    return numbers;
}

std::optional<std::string> convertDateToCalendar(std::string_view text, int calendar)
{
    ParsedDate parsed(text);
    if (!parsed.valid || !parsed.date.convertCalendar(calendar))
        return std::nullopt;
    return parsed.date.format(parsed.userFormat());
}

std::string yearFromDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.shortText() : "?";
}

int dayOfWeekForDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.dayOfWeek() : 0;
}

SDN earliestSdnForDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.sdnBound(FullDate::kEarliest) : 0;
}

SDN latestSdnForDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.sdnBound(FullDate::kLatest) : 0;
}

SDN midSdnForDate(std::string_view text)
{
    ParsedDate parsed(text);
    return parsed.valid ? parsed.date.sdnBound(FullDate::kMiddleOrFrom) : 0;
}

SDN sortSdnForDate(std::string_view text)
{
    ParsedDate parsed(text);
    if (!parsed.valid)
        return 0;
    const bool between = parsed.date.prefixCode() == date_codes::kBET;
    return parsed.date.sdnBound(between ? FullDate::kMiddle : FullDate::kEarliest);
}

std::optional<std::string> sdnRangeForDate(std::string_view text, SDN& earliest, SDN& latest)
{
    earliest = 0;
    latest = 0;
    if (text.empty())
        return std::nullopt;
    ParsedDate parsed(text);
    if (!parsed.valid)
        return parsed.date.errorText();
    parsed.date.sdnRange(earliest, latest);
    return std::nullopt;
}

std::string dateFromSdnWithFormat(SDN sdn, std::string_view pattern)
{
    if (sdn <= 0)
        return "?";
    return ExactDate::initWithSdn(sdn, kCalendarGregorian, false).format(pattern);
}

std::string dateFromSdn(SDN sdn)
{
    return dateFromSdnWithFormat(sdn, displayFormat(*DateSettings::current()).pattern);
}

std::string todayDateString(std::string* time)
{
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const DateClock::LocalTime now = DateClock::now();
    if (time)
        *time = twoDigits(now.hour) + ":" + twoDigits(now.minute) + ":" + twoDigits(now.second);
    if (now.month < 1 || now.month > 12)
        return "?";
    const std::string text = std::to_string(now.day) + " " + kMonths[now.month - 1] + " " + std::to_string(now.year);
    FullDate date;
    if (date.parse(text, 0, DateSettings{}) != 0)
        return "?";
    return date.format({"%d %M %y", DateSettings::current()->display.keywordStyle});
}

SDN todaySdn()
{
    return earliestSdnForDate(todayDateString());
}

std::int64_t yearsBetweenSdns(SDN first, SDN second)
{
    return static_cast<std::int64_t>(static_cast<double>(second - first) / ExactTime::kDaysPerYear);
}

std::string spanTextBetweenSdns(std::int64_t minimum, std::int64_t maximum, int style)
{
    return TimeSpan::initWithDays(minimum, maximum).format(style);
}

void daySpanBetweenDates(std::string_view first, std::string_view second, std::int64_t& minimum,
                         std::int64_t& maximum)
{
    constexpr std::int64_t kNoSpan = std::numeric_limits<std::int64_t>::max();
    // A date outside every calendar's range has day number 0; a span
    // measured from it would be nonsense, so it counts as invalid.
    auto bounds = [](std::string_view text, SDN& earliest, SDN& latest) {
        ParsedDate parsed(text);
        if (!parsed.valid)
            return false;
        parsed.date.sdnRange(earliest, latest);
        return earliest != 0 && latest != 0;
    };
    SDN firstEarliest = 0, firstLatest = 0, secondEarliest = 0, secondLatest = 0;
    if (!bounds(first, firstEarliest, firstLatest)) {
        minimum = kNoSpan;
        maximum = 1;
        return;
    }
    if (!bounds(second, secondEarliest, secondLatest)) {
        minimum = kNoSpan;
        maximum = 2;
        return;
    }
    minimum = secondEarliest - firstLatest;
    maximum = secondLatest - firstEarliest;
}

void initDateDisplaySettings(std::string_view format, bool dayBeforeMonth, int centuryHundreds, int keywordStyle,
                             bool showAsEntered)
{
    std::string pattern = cutFormat(format);
    DateSettings::update([&](DateSettings& s) {
        s.display.pattern = std::move(pattern);
        s.display.keywordStyle = keywordStyle;
        s.dayBeforeMonth = dayBeforeMonth;
        s.twoDigitYearCentury = centuryHundreds * 100;
        s.showDatesAsEntered = showAsEntered;
    });
}

void setDateDisplayFormat(std::string_view format)
{
    std::string pattern = cutFormat(format);
    DateSettings::update([&](DateSettings& s) { s.display.pattern = std::move(pattern); });
}

void setShowDatesAsEntered(bool flag)
{
    DateSettings::update([&](DateSettings& s) { s.showDatesAsEntered = flag; });
}

void setDateOptionFlag(bool dayBeforeMonth)
{
    DateSettings::update([&](DateSettings& s) { s.dayBeforeMonth = dayBeforeMonth; });
}

void setTwoDigitYearCentury(int centuryHundreds)
{
    DateSettings::update([&](DateSettings& s) { s.twoDigitYearCentury = centuryHundreds * 100; });
}

void setDateStyle(int keywordStyle)
{
    DateSettings::update([&](DateSettings& s) { s.display.keywordStyle = keywordStyle; });
}

} // namespace kl
