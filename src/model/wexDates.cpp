// Date and time text in English whatever the user's locale, for the GEDCOM
// dates the program writes itself ("5 Mar 2024").
#include "model/wex.h"

namespace kl::wex {

namespace {

constexpr const char* MonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
constexpr const char* DayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string number(int value, std::size_t width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

std::string name(const char* full, std::size_t run) { return run >= 4 ? full : std::string(full).substr(0, 3); }

// One pattern field: the letter repeated `run` times.
std::string field(const std::tm& t, char letter, std::size_t run) {
    int month = t.tm_mon < 0 || t.tm_mon > 11 ? 0 : t.tm_mon;
    int weekday = t.tm_wday < 0 || t.tm_wday > 6 ? 0 : t.tm_wday;
    int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    switch (letter) {
    case 'd': return number(t.tm_mday, run);
    case 'M': return run >= 3 ? name(MonthNames[month], run) : number(month + 1, run);
    case 'y': return run == 2 ? number((t.tm_year + 1900) % 100, 2) : number(t.tm_year + 1900, run);
    case 'H': return number(t.tm_hour, run);
    case 'h': return number(hour12, run);
    case 'm': return number(t.tm_min, run);
    case 's': return number(t.tm_sec, run);
    case 'a': return t.tm_hour < 12 ? "AM" : "PM";
    case 'E': return name(DayNames[weekday], run);
    default: return std::string(run, letter);
    }
}

}  // namespace

std::string formatEnglishDate(const std::tm& time, std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        char c = pattern[i];
        if (c == '\'') {
            std::size_t close = pattern.find('\'', i + 1);
            if (close == i + 1) out.push_back('\'');  // '' is a quote itself
            else out.append(pattern.substr(i + 1, (close == std::string_view::npos ? pattern.size() : close) - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        bool isField = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        out.append(isField ? field(time, c, run) : std::string(pattern.substr(i, run)));
        i += run;
    }
    return out;
}

std::string formatEnglishDate(std::chrono::system_clock::time_point time, std::string_view pattern) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    return formatEnglishDate(local, pattern);
}

std::string todayString() { return formatEnglishDate(std::chrono::system_clock::now(), "d MMM yyyy"); }

std::string nowTimeString() { return formatEnglishDate(std::chrono::system_clock::now(), "HH:mm:ss"); }

}  // namespace kl::wex
