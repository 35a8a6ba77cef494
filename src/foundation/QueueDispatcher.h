#pragma once
// QueueDispatcher: a std-only main thread for tests with worker threads and
// for programs without a GUI loop. The thread that constructs it is the main
// thread; it runs the queued work by calling runPending() (typically in a
// loop with waitForWork()). Any thread may post.
//
// Destroying the dispatcher drops what is still queued: a worker waiting in
// postAndWait then gets std::future_error (broken promise) instead of
// waiting for ever.
#include <atomic>
#include <chrono>
#include <thread>

#include "foundation/MainThread.h"
#include "foundation/TaskQueue.h"

namespace kl {

class QueueDispatcher : public Dispatcher {
public:
    QueueDispatcher() : mainThread_(std::this_thread::get_id()) {}
    ~QueueDispatcher() override { queue_.clear(); }

    void post(Task task) override;
    void postAndWait(Task task) override;
    void postDeferred(const void* receiver, Task task) override;
    void cancelDeferred(const void* receiver) override;
    bool isMainThread() const override { return std::this_thread::get_id() == mainThread_.load(); }

    // Runs, on the calling (main) thread, what was queued before the call.
    std::size_t runPending() { return queue_.runPending(); }
    bool waitForWork(std::chrono::milliseconds timeout) { return queue_.waitForWork(timeout); }
    std::size_t pendingCount() const { return queue_.size(); }
    // Hands the main-thread role to another thread (one that will run the queue).
    void setMainThread(std::thread::id id) { mainThread_ = id; }

private:
    TaskQueue queue_;
    std::atomic<std::thread::id> mainThread_;
};

}  // namespace kl
