#pragma once
// QtAutosaveTimer: a document's autosave timer on the Qt event loop. The
// document owns it and only starts and stops it; the action runs on the
// main thread when the loop turns.
#include <QTimer>

#include <functional>

#include "document/AutosaveTimer.h"

namespace kl {

class QtAutosaveTimer : public AutosaveTimer {
public:
    QtAutosaveTimer();
    void start(double intervalSeconds, double toleranceSeconds, std::function<void()> action) override;
    void stop() override;
    bool isRunning() const override { return timer_.isActive(); }
    // The interval in milliseconds while running (for the File menu and tests).
    int intervalMilliseconds() const { return timer_.interval(); }

private:
    QTimer timer_;
    std::function<void()> action_;
};

}  // namespace kl
