#pragma once
// TaskQueue: the queue behind the std-only dispatchers. Any thread may push
// and cancel; one thread (the "main" one) runs. A run takes only the tasks
// queued before it began, so a task that queues another (a deferred step
// rescheduling itself) does not keep the run going; tasks cancelled while a
// run is under way are skipped.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace kl {

class TaskQueue {
public:
    using Task = std::function<void()>;

    // receiver null: a plain task, which cancel never touches.
    void push(const void* receiver, Task task);
    // Withdraws the not yet started tasks of receiver; answers how many.
    std::size_t cancel(const void* receiver);
    // Runs the tasks queued before the call. An exception of a task is
    // logged and the run goes on. Answers how many ran.
    std::size_t runPending();
    // Waits until a task is queued or the timeout passes; answers whether
    // one is queued.
    bool waitForWork(std::chrono::milliseconds timeout);
    std::size_t size() const;
    void clear();

private:
    struct Entry {
        std::uint64_t sequence;
        const void* receiver;
        Task task;
    };
    bool popBefore(std::uint64_t limit, Task& task);

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Entry> entries_;
    std::uint64_t nextSequence_ = 0;
};

}  // namespace kl
