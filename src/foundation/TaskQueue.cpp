#include "foundation/TaskQueue.h"

#include "foundation/MainThread.h"

namespace kl {

void TaskQueue::push(const void* receiver, Task task) {
    // Notified under the lock: once the main thread can take the task, the
    // pushing thread is done with the queue, so a queue torn down right after
    // the task ran is never touched again.
    std::lock_guard lock(mutex_);
    entries_.push_back(Entry{nextSequence_++, receiver, std::move(task)});
    queued_.notify_all();
}

std::size_t TaskQueue::cancel(const void* receiver) {
    if (!receiver) return 0;
    std::lock_guard lock(mutex_);
    return std::erase_if(entries_, [receiver](const Entry& e) { return e.receiver == receiver; });
}

bool TaskQueue::popBefore(std::uint64_t limit, Task& task) {
    std::lock_guard lock(mutex_);
    if (entries_.empty() || entries_.front().sequence >= limit) return false;
    task = std::move(entries_.front().task);
    entries_.pop_front();
    return true;
}

std::size_t TaskQueue::runPending() {
    std::uint64_t limit;
    {
        std::lock_guard lock(mutex_);
        limit = nextSequence_;
    }
    std::size_t ran = 0;
    Task task;
    while (popBefore(limit, task)) {
        ++ran;
        Dispatcher::runLogged(task);
        task = nullptr;  // release what the task held before the next one runs
    }
    return ran;
}

bool TaskQueue::waitForWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return queued_.wait_for(lock, timeout, [this] { return !entries_.empty(); });
}

std::size_t TaskQueue::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void TaskQueue::clear() {
    std::deque<Entry> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(entries_);
    }
    // Destroyed outside the lock: a task's captures may run code that pushes.
}

}  // namespace kl
