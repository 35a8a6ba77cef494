#include "calculator/TPModel.h"

#include "calculator/DateArithmetic.h"
#include "calculator/SpanArithmetic.h"

#include <algorithm>
#include <utility>

namespace kl {

const std::array<const char*, 4> TPModel::kCalendarTitles = {"Gregorian", "Julian", "Hebrew", "French R."};
const std::array<const char*, 7> TPModel::kDayNames = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

namespace {

std::size_t characterCount(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

TPModel::TPModel()
{
    for (int slot = 0; slot < kMemorySlots; ++slot)
        memories_.push_back(std::to_string(slot) + ":");
    enableButtons();
}

void TPModel::editText(std::string text)
{
    registers_[kA].text = std::move(text);
    clearCalDOW();
}

bool TPModel::tooLong(const std::string& text) const
{
    return text.size() > kMaxBytes || characterCount(text) > kMaxCharacters;
}

bool TPModel::startReading()
{
    clearCalDOW();
    if (!tooLong(registers_[kA].text))
        return true;
    beep();
    return false;
}

bool TPModel::parceDateOrTime(int calendar)
{
    Register& a = registers_[kA];
    if (a.date || a.span)
        return true;
    if (!startReading())
        return false;
    FullDate date;
    bool isDate = engine_.parseDate(date, a.text, calendar) == 0;
    const std::string dateError = date.errorText();
    if (!isDate) {
        if (const auto today = CalcEngine::keyDate(a.text)) {
            FullDate todayDate;
            isDate = engine_.parseDate(todayDate, *today, calendar) == 0;
        }
    }
    if (isDate)
        return parceDate(calendar);
    TimeSpan span;
    if (calc::parseTimeSpan(span, a.text) == 0)
        return parceTime(0);
    alert("The entered text in neither a date nor a time.", dateError + " " + span.errorText());
    return false;
}

bool TPModel::parceDate(int calendar)
{
    Register& a = registers_[kA];
    if (!a.date) {
        if (!startReading())
            return false;
        const std::string text = CalcEngine::keyDate(a.text).value_or(a.text);
        FullDate date;
        if (engine_.parseDate(date, text, calendar) != 0) {
            alert("Error interpreting the entered date.", date.errorText());
            return false;
        }
        a.date = std::move(date);
    } else {
        a.calendarLabel.clear();
        a.dayLabel.clear();
    }
    int shown = calc::commonCalendar(*a.date);
    if (calendar != 0) {
        if (a.date->convertCalendar(calendar))
            shown = calendar;
        else {
            alert("The calendar conversion could not be completed.",
                  "All or some of the date was out of range for the requested calendar.");
            shown = calc::commonCalendar(*a.date);
        }
    }
    showDate(a, shown);
    enableButtons();
    return true;
}

void TPModel::showDate(Register& a, int calendar)
{
    a.text = engine_.formatDate(*a.date);
    a.calendarLabel = calendar >= 1 && calendar <= 4 ? kCalendarTitles[calendar - 1] : "";
    const int day = a.date->dayOfWeek();
    a.dayLabel = day >= 1 && day <= 7 ? kDayNames[day - 1] : "";
}

bool TPModel::parceTime(int style)
{
    Register& a = registers_[kA];
    if (!a.span) {
        if (!startReading())
            return false;
        TimeSpan span;
        if (calc::parseTimeSpan(span, a.text) != 0) {
            alert("Error interpreting the entered time span.", span.errorText());
            return false;
        }
        a.span = std::move(span);
    }
    a.text = engine_.formatSpan(*a.span, style);
    a.spanStyle = style;
    a.calendarLabel = kTimeLabel;
    enableButtons();
    return true;
}

void TPModel::clearCalDOW()
{
    Register& a = registers_[kA];
    a.calendarLabel.clear();
    a.dayLabel.clear();
    a.date.reset();
    a.span.reset();
    a.spanStyle = 0;
    enableButtons();
}

void TPModel::enableButtons()
{
    const Register& a = registers_[kA];
    const Register& b = registers_[kB];
    enabled_.calendars = a.date.has_value() || !a.span;
    enabled_.spanStyles = !a.date;
    enabled_.sign = !a.date;
    enabled_.sum = (b.date || b.span) && !(a.date && b.date);
    enabled_.difference = b.date.has_value() || (b.span && !a.date);
}

void TPModel::EnterDateTime()
{
    if (!parceDateOrTime(0))
        return;
    Register& a = registers_[kA];
    const bool heldSpan = a.span.has_value();
    const int heldCalendar = a.date ? calc::commonCalendar(*a.date) : 0;
    for (int i = kE; i < kB; ++i)
        registers_[i] = std::move(registers_[i + 1]);
    registers_[kB] = a;
    clearCalDOW();
    if (heldSpan)
        parceTime(0);
    else
        parceDate(heldCalendar);
}

void TPModel::RegistersUp()
{
    for (int i = kE; i < kB; ++i)
        registers_[i] = std::move(registers_[i + 1]);
    registers_[kB] = std::move(registers_[kA]);
    registers_[kA] = Register();
}

void TPModel::RegistersDown()
{
    if (!registers_[kA].text.empty() && !parceDateOrTime(0))
        return;
    std::rotate(registers_.begin(), registers_.begin() + kA, registers_.end());
    enableButtons();
}

void TPModel::SwapRegisters()
{
    if (!registers_[kA].text.empty() && !parceDateOrTime(0))
        return;
    std::swap(registers_[kA], registers_[kB]);
    enableButtons();
}

void TPModel::ClearRegA()
{
    editText({});
}

void TPModel::EnterRegA(const std::string& text)
{
    editText(text);
    EnterDateTime();
}

void TPModel::badCalculation(const std::string& message)
{
    alert("The date calculation could not be completed.", message);
}

void TPModel::DiffDateTime()
{
    if (!parceDateOrTime(0))
        return;
    const Register& a = registers_[kA];
    const Register& b = registers_[kB];
    if (b.date && a.span) {
        FullDate date = *b.date;
        if (!calc::addSpan(date, *a.span, -1))
            return badCalculation("The subtracted time gives a date out of range for its calendar or an indeterminate date.");
        insertNewDate(std::move(date));
    } else if (b.date && a.date) {
        auto span = calc::difference(*b.date, *a.date);
        if (!span)
            return badCalculation("Date in register a or b is out of range or time span is indeterminate.");
        insertNewTime(std::move(*span));
    } else if (b.span && a.span) {
        auto span = calc::spanDifference(*b.span, *a.span);
        if (!span)
            return badCalculation("Subtracting these time spans gives an indeterminate time span.");
        insertNewTime(std::move(*span));
    } else if (b.span) {
        badCalculation("Can not subtract a date from a time.");
    } else {
        badCalculation("No date or time in register b.");
    }
}

void TPModel::SumDateTime()
{
    if (!parceDateOrTime(0))
        return;
    const Register& a = registers_[kA];
    const Register& b = registers_[kB];
    const char* outOfRange = "The added time gives a date out of range for its calendar or an indeterminate date.";
    if (b.date && a.span) {
        FullDate date = *b.date;
        if (!calc::addSpan(date, *a.span, +1))
            return badCalculation(outOfRange);
        insertNewDate(std::move(date));
    } else if (b.date && a.date) {
        badCalculation("Can not add two dates.");
    } else if (b.span && a.date) {
        FullDate date = *a.date;
        if (!calc::addSpan(date, *b.span, +1))
            return badCalculation(outOfRange);
        insertNewDate(std::move(date));
    } else if (b.span && a.span) {
        auto span = calc::spanSum(*b.span, *a.span);
        if (!span)
            return badCalculation("Adding these time spans gives an indeterminate time span.");
        insertNewTime(std::move(*span));
    } else {
        badCalculation("No date or time in register b.");
    }
}

void TPModel::insertNewDate(FullDate date)
{
    RegistersUp();
    clearCalDOW();
    Register& a = registers_[kA];
    a.date = std::move(date);
    showDate(a, calc::commonCalendar(*a.date));
    enableButtons();
}

void TPModel::insertNewTime(TimeSpan span)
{
    const int style = registers_[kA].span ? registers_[kA].spanStyle : 0;
    RegistersUp();
    clearCalDOW();
    Register& a = registers_[kA];
    a.span = std::move(span);
    a.text = engine_.formatSpan(*a.span, style);
    a.spanStyle = style;
    a.calendarLabel = kTimeLabel;
    enableButtons();
}

void TPModel::ChangeTimeSign()
{
    if (!parceTime(0))
        return;
    Register& a = registers_[kA];
    calc::negate(*a.span);
    a.text = engine_.formatSpan(*a.span, 0);
    a.spanStyle = 0;
    a.calendarLabel = kTimeLabel;
    enableButtons();
}

void TPModel::StoreMemory(int slot)
{
    if (slot < 0 || slot >= kMemorySlots)
        return;
    memories_[slot] = std::to_string(slot) + ":" + registers_[kA].text;
}

void TPModel::RecallMemory(int slot)
{
    if (slot < 0 || slot >= kMemorySlots)
        return;
    // The title is "<slot>:<text>"; slots above 9 have two digits.
    const std::string& title = memories_[slot];
    const std::size_t colon = title.find(':');
    editText(colon == std::string::npos ? title : title.substr(colon + 1));
}

void TPModel::formatChanged(const std::string& pattern)
{
    engine_.setDisplayFormat(pattern);
    Register& a = registers_[kA];
    if (a.date)
        a.text = engine_.formatDate(*a.date);
}

void TPModel::prefsChanged(int century, int monthDayOrder, int timeStyle)
{
    engine_.setAssumedCentury(century);
    engine_.setMonthDayOrder(monthDayOrder);
    engine_.setTimeDisplayStyle(timeStyle);
}

} // namespace kl
