#pragma once
// KLProgress: what a progress panel asks of the background task it shows.
// The panel polls these on the main thread while the task's worker runs;
// answers read only atomics or values the worker no longer writes.
#include <optional>
#include <string>

#include "foundation/EndSignal.h"

namespace kl {

class KLProgress {
public:
    virtual ~KLProgress() = default;
    // Once, when the panel is first shown.
    virtual void progressDidLoad() {}
    // 0 to 1.
    virtual double fractionDone() = 0;
    // The count to show, or nullopt to keep the shown one.
    virtual std::optional<std::string> updateStatusField() = 0;
    virtual bool stillRunning() = 0;
    // What the task is doing now, for the panel's step line; empty keeps
    // the shown one. Any thread may change it while the panel polls.
    virtual std::string stepText() const { return {}; }
    // The panel's Cancel button.
    virtual void cancelAction() = 0;
    // A task whose worker tells of its end answers its signal, and a wait
    // for it ends at once; nullptr: the wait learns of the end by polling.
    virtual EndSignal* endSignal() { return nullptr; }
};

}  // namespace kl
