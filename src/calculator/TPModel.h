#pragma once

// TPModel: the calculator's five registers, a to e, stacked like a stack
// calculator's: register a is typed into, b to e keep earlier values. Each
// register holds a text, at most one value (a date or a time span) and a
// calendar and a day-of-week label; memories keep texts by slot. Every
// operation of the calculator window runs here; the window (TPController)
// shows what the model holds and hands it the user's typing.
//
// Thread: the main thread. The model owns every value; a value that leaves
// the registers is released with it.

#include "calculator/CalcEngine.h"
#include "dates/FullDate.h"
#include "dates/TimeSpan.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kl {

class TPModel {
public:
    // Register indices, as the value and label lists count them.
    enum RegisterIndex : int { kE = 0, kD = 1, kC = 2, kB = 3, kA = 4 };
    static constexpr int kRegisterCount = 5;
    static constexpr int kMemorySlots = 16;
    // Longer texts are refused with a beep: the engine takes at most 254
    // bytes of UTF-8.
    static constexpr std::size_t kMaxCharacters = 250;
    static constexpr std::size_t kMaxBytes = 254;

    struct Register {
        std::string text;
        std::optional<FullDate> date;
        std::optional<TimeSpan> span;
        int spanStyle = 0;  // the style the span was last shown in
        std::string calendarLabel;
        std::string dayLabel;
    };

    // Which controls a and b allow.
    struct Enabled {
        bool calendars = true;
        bool spanStyles = true;
        bool sign = true;
        bool sum = false;
        bool difference = false;
    };

    // Titles of the calendar buttons (calendars 1 to 4) and the day labels.
    static const std::array<const char*, 4> kCalendarTitles;
    static const std::array<const char*, 7> kDayNames;
    static constexpr const char* kTimeLabel = "TIME";

    TPModel();

    // What the window does for the model: sound the beep, show an
    // informational alert.
    std::function<void()> beep = [] {};
    std::function<void(const std::string& message, const std::string& information)> alert =
        [](const std::string&, const std::string&) {};

    CalcEngine& engine() { return engine_; }
    const Register& reg(int index) const { return registers_[index]; }
    const std::string& text(int index) const { return registers_[index].text; }
    const std::string& calValue(int index) const { return registers_[index].calendarLabel; }
    const std::string& dowValue(int index) const { return registers_[index].dayLabel; }
    const std::vector<std::string>& memories() const { return memories_; }
    const Enabled& enabled() const { return enabled_; }

    // The user typed: a's text changes and its value and labels go.
    void editText(std::string text);

    bool parceDateOrTime(int calendar);
    bool parceDate(int calendar);
    bool parceTime(int style);
    void clearCalDOW();

    void EnterDateTime();
    void RegistersDown();
    void SwapRegisters();
    void ClearRegA();
    void EnterRegA(const std::string& text);
    void DiffDateTime();
    void SumDateTime();
    void ChangeTimeSign();
    void selectCalendar(int calendar) { parceDate(calendar); }
    void ConvertTime(int style) { parceTime(style); }
    void StoreMemory(int slot);
    void RecallMemory(int slot);

    // The display format changed: a date in a is shown anew.
    void formatChanged(const std::string& pattern);
    void prefsChanged(int century, int monthDayOrder, int timeStyle);

private:
    bool tooLong(const std::string& text) const;
    // a's value goes; a text too long for the engine beeps and is not read.
    bool startReading();
    void RegistersUp();
    void insertNewDate(FullDate date);
    void insertNewTime(TimeSpan span);
    void showDate(Register& a, int calendar);
    void badCalculation(const std::string& message);
    void enableButtons();

    CalcEngine engine_;
    std::array<Register, kRegisterCount> registers_;
    std::vector<std::string> memories_;
    Enabled enabled_;
};

} // namespace kl
