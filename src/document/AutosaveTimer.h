#pragma once
// AutosaveTimer: the one repeating timer a document saves itself by. The GUI
// implements it on its event loop; tests implement it with a double they
// fire by hand. The document owns its timer object and only starts and
// stops it.
//
// Thread: main thread; the action runs on the main thread.
#include <functional>

namespace kl {

class AutosaveTimer {
public:
    virtual ~AutosaveTimer() = default;
    // Replaces any running schedule.
    virtual void start(double intervalSeconds, double toleranceSeconds, std::function<void()> action) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};

}  // namespace kl
