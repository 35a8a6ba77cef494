#pragma once
// InlineDispatcher: the dispatcher of tests and of programs before their GUI
// starts. post and postAndWait run the task at once on the calling thread;
// deferred requests wait in a queue until runPending() or drain() runs them,
// so a test decides when "the next turn" comes.
#include "foundation/MainThread.h"
#include "foundation/TaskQueue.h"

namespace kl {

class InlineDispatcher : public Dispatcher {
public:
    // A task that fails in post is logged, as on a real main thread.
    void post(Task task) override;
    void postAndWait(Task task) override;
    void postDeferred(const void* receiver, Task task) override;
    void cancelDeferred(const void* receiver) override;
    bool isMainThread() const override { return true; }

    // Runs the deferred requests queued before the call.
    std::size_t runPending() { return deferred_.runPending(); }
    // Runs turns until nothing is deferred, at most maxTurns of them (a step
    // that always defers itself again would otherwise never end).
    std::size_t drain(int maxTurns = 1000);
    std::size_t pendingCount() const { return deferred_.size(); }

private:
    TaskQueue deferred_;
};

}  // namespace kl
