#pragma once

#include "dates/DateFormat.h"

#include <functional>
#include <memory>

namespace kl {

// The user's date preferences as one immutable snapshot. Readers take the
// current snapshot once per call (current()) and use it throughout, so a
// change made meanwhile on another thread never mixes into a half-done parse
// or format; writers replace the snapshot as a whole (update()).
struct DateSettings {
    DateFormat display;               // the user's display format and keyword style
    int twoDigitYearCentury = 2000;   // added to two-digit years; 0 switches it off
    bool dayBeforeMonth = false;      // all-numeric dates read day first
    bool showDatesAsEntered = false;  // show the stored form instead of the display format
    int spanStyle = 1;                // span style used for style 0

    static std::shared_ptr<const DateSettings> current();
    // Applies change to a copy of the current settings and publishes it.
    // Concurrent updates are serialised; none is lost.
    static void update(const std::function<void(DateSettings&)>& change);
};

} // namespace kl
