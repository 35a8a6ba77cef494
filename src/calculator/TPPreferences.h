#pragma once

// The four settings Tempolin keeps in its user defaults, their defaults and
// the names of the notifications that announce a change. The settings are
// read into the calculator's own CalcEngine, never into the date settings
// of the main application.
//
// Thread: main thread.

#include "foundation/Value.h"

#include <string>

namespace kl {

class CalcEngine;
class UserDefaults;

namespace tempolin {

inline constexpr const char* kDateDisplayFormat = "Date Display Format";
inline constexpr const char* kTimeDisplayTag = "Time Display Tag";
inline constexpr const char* kAssumedCentury = "Assumed Century";
inline constexpr const char* kAssumedMonthDayOrder = "Assumed Month Day Order";

inline constexpr const char* kPrefsJustChanged = "PrefsJustChanged";
inline constexpr const char* kFormatJustChanged = "FormatJustChanged";

// "Date Display Format" "%d %M %y %b", "Time Display Tag" 1,
// "Assumed Century" 2000, "Assumed Month Day Order" 1.
Dictionary registeredDefaults();

// Century, month/day order and span style into the engine.
void applyPrefs(CalcEngine& engine, const UserDefaults& defaults);
// The stored display format.
std::string displayFormat(const UserDefaults& defaults);

} // namespace tempolin
} // namespace kl
