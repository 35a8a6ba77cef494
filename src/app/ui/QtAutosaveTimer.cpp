#include "app/ui/QtAutosaveTimer.h"

#include <algorithm>
#include <limits>

namespace kl {

QtAutosaveTimer::QtAutosaveTimer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // A copy: the action may stop or restart this very timer.
        if (auto action = action_) action();
    });
}

void QtAutosaveTimer::start(double intervalSeconds, double toleranceSeconds, std::function<void()> action) {
    action_ = std::move(action);
    const double limit = static_cast<double>(std::numeric_limits<int>::max());
    const int milliseconds = static_cast<int>(std::clamp(intervalSeconds * 1000.0, 1.0, limit));
    // A tolerance of a tenth or more of the interval lets the system bunch wake-ups.
    timer_.setTimerType(toleranceSeconds * 10.0 >= intervalSeconds ? Qt::CoarseTimer : Qt::PreciseTimer);
    timer_.start(milliseconds);
}

void QtAutosaveTimer::stop() {
    timer_.stop();
    action_ = nullptr;
}

}  // namespace kl
