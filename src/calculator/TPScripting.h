#pragma once

// TPScripting: the calculator's commands for other programs and scripts.
// Four compute with dates and spans and answer a text without touching the
// window; errors are answers too ("Error: ..."), never exceptions. Arguments
// come by key as texts. Uses the calculator's settings but never changes
// them: a display format named for one answer is used for that answer only.
//
// Thread: the calculator's main thread.

#include "calculator/CalcEngine.h"

#include <map>
#include <string>

namespace kl {

class TPScripting {
public:
    using Arguments = std::map<std::string, std::string>;

    explicit TPScripting(const CalcEngine& engine) : engine_(engine) {}

    // "TimeForm"; "FirstDate" with "SecondDate", or "FirstTime" with
    // "AfterTime" or "BeforeTime".
    std::string timeSpanCalc(const Arguments& arguments) const;
    // "TimeDiff"; "AfterDate" or "BeforeDate"; "DateForm".
    std::string dateTimeCalc(const Arguments& arguments) const;
    // "DayDate".
    std::string dowCalc(const Arguments& arguments) const;
    // "ConDate" with "ConTo" and "DateForm", or "ConTime" with "DateForm".
    std::string convertCalc(const Arguments& arguments) const;

    // The span style a word names: "YMD" 2, "YD" 3, "MD" 4, "N" 5, else 1.
    static int styleForWord(const std::string& word);
    // The calendar a "ConTo" word names; Gregorian when it names none.
    static int calendarForWord(const std::string& word);

private:
    const CalcEngine& engine_;
};

} // namespace kl
