#include "calculator/TPScripting.h"

#include "calculator/DateArithmetic.h"
#include "calculator/SpanArithmetic.h"
#include "calculator/TPModel.h"
#include "foundation/AsciiText.h"

#include <optional>

namespace kl {

namespace {

constexpr const char* kMissing = "Error: Missing parameter(s)";
constexpr const char* kIndeterminate = "Error: An input date is out of range or time span is indeterminate.";
constexpr const char* kTooLong = "The text is longer than the calculator reads.";

const std::string* find(const TPScripting::Arguments& arguments, const char* key)
{
    const auto it = arguments.find(key);
    return it == arguments.end() ? nullptr : &it->second;
}

std::string failure(const char* label, const std::string& message)
{
    return std::string(label) + ": " + message;
}

// The error answer when the text is no date, else none.
std::optional<std::string> readDate(const CalcEngine& engine, FullDate& date, const std::string& text,
                                    const char* label)
{
    if (text.size() > TPModel::kMaxBytes)
        return failure(label, kTooLong);
    if (engine.parseDate(date, text) != 0)
        return failure(label, date.errorText());
    return std::nullopt;
}

std::optional<std::string> readSpan(TimeSpan& span, const std::string& text)
{
    if (text.size() > TPModel::kMaxBytes)
        return failure("Error: Time format", kTooLong);
    if (calc::parseTimeSpan(span, text) != 0)
        return failure("Error: Time format", span.errorText());
    return std::nullopt;
}

std::string answerFormat(const TPScripting::Arguments& arguments)
{
    const std::string* form = find(arguments, "DateForm");
    return form ? *form : CalcEngine::kDefaultDisplayFormat;
}

} // namespace

int TPScripting::styleForWord(const std::string& word)
{
    const std::string upper = asciiUpper(word);
    if (upper == "YMD")
        return 2;
    if (upper == "YD")
        return 3;
    if (upper == "MD")
        return 4;
    if (upper == "N")
        return 5;
    return 1;
}

int TPScripting::calendarForWord(const std::string& word)
{
    const std::string lower = asciiLower(word.size() >= 5 ? word.substr(0, 4) : word);
    if (lower == "juln" || lower == "juli")
        return kCalendarJulian;
    if (lower == "hebr" || lower == "jewi")
        return kCalendarHebrew;
    if (lower == "fren")
        return kCalendarFrench;
    return kCalendarGregorian;
}

std::string TPScripting::timeSpanCalc(const Arguments& arguments) const
{
    const std::string* form = find(arguments, "TimeForm");
    const int style = styleForWord(form ? *form : std::string());
    if (const std::string* firstText = find(arguments, "FirstDate")) {
        const std::string* secondText = find(arguments, "SecondDate");
        if (!secondText)
            return kMissing;
        FullDate first, second;
        if (auto error = readDate(engine_, first, *firstText, "Error: Initial date format"))
            return *error;
        if (auto error = readDate(engine_, second, *secondText, "Error: Final date format"))
            return *error;
        const auto span = calc::difference(second, first);
        return span ? engine_.formatSpan(*span, style) : kIndeterminate;
    }
    const std::string* firstText = find(arguments, "FirstTime");
    const std::string* after = find(arguments, "AfterTime");
    const std::string* before = find(arguments, "BeforeTime");
    if (!firstText || (!after && !before))
        return kMissing;
    TimeSpan first, other;
    if (auto error = readSpan(first, *firstText))
        return *error;
    if (auto error = readSpan(other, after ? *after : *before))
        return *error;
    const auto span = after ? calc::spanSum(first, other) : calc::spanDifference(other, first);
    return span ? engine_.formatSpan(*span, style) : kIndeterminate;
}

std::string TPScripting::dateTimeCalc(const Arguments& arguments) const
{
    const std::string* spanText = find(arguments, "TimeDiff");
    if (!spanText)
        return "Error: No time given";
    const std::string* after = find(arguments, "AfterDate");
    const std::string* before = find(arguments, "BeforeDate");
    if (!after && !before)
        return "Error: No date given";
    TimeSpan span;
    if (auto error = readSpan(span, *spanText))
        return *error;
    FullDate date;
    if (auto error = readDate(engine_, date, after ? *after : *before, "Error: Date format"))
        return *error;
    if (!calc::addSpan(date, span, after ? +1 : -1))
        return "The answer gives a date out of range for its calendar or an indeterminate date.";
    return engine_.formatDate(date, answerFormat(arguments));
}

std::string TPScripting::dowCalc(const Arguments& arguments) const
{
    static constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    const std::string* text = find(arguments, "DayDate");
    if (!text)
        return "Error: No date provided";
    FullDate date;
    if (auto error = readDate(engine_, date, *text, "Error: Input date format"))
        return *error;
    const int day = date.dayOfWeek();
    if (day < 1 || day > 7)
        return "Error: Input date is not an exact date";
    return kDays[day - 1];
}

std::string TPScripting::convertCalc(const Arguments& arguments) const
{
    if (const std::string* text = find(arguments, "ConDate")) {
        const std::string* to = find(arguments, "ConTo");
        const int calendar = calendarForWord(to ? *to : std::string());
        FullDate date;
        if (auto error = readDate(engine_, date, *text, "Error: Input date format"))
            return *error;
        if (!date.convertCalendar(calendar))
            return "Error: All or some of the date was out of range for the requested calendar.";
        return engine_.formatDate(date, answerFormat(arguments));
    }
    if (const std::string* text = find(arguments, "ConTime")) {
        TimeSpan span;
        if (auto error = readSpan(span, *text))
            return *error;
        const std::string* form = find(arguments, "DateForm");
        return engine_.formatSpan(span, styleForWord(form ? *form : std::string()));
    }
    return "Error: No date or time given for conversion";
}

} // namespace kl
