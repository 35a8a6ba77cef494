#pragma once

#include <functional>

namespace kl {

// Where "today" comes from. The default reads the system clock in local
// time; tests and the calculator may install their own. Safe to read and
// replace from any thread.
struct DateClock {
    struct LocalTime {
        int year = 0;
        int month = 0;  // 1..12
        int day = 0;
        int hour = 0;
        int minute = 0;
        int second = 0;
    };
    using Source = std::function<LocalTime()>;

    static LocalTime now();
    // An empty source restores the system clock.
    static void setSource(Source source);
};

} // namespace kl
