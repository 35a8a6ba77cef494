#include "foundation/QueueDispatcher.h"

#include <future>
#include <memory>

namespace kl {

void QueueDispatcher::post(Task task) { queue_.push(nullptr, std::move(task)); }

void QueueDispatcher::postAndWait(Task task) {
    if (isMainThread()) {
        task();
        return;
    }
    // Shared: std::function needs a copyable callable, and dropping the
    // queued task without running it must break the promise.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    // The queue must hold the only reference, or dropping it breaks nothing.
    queue_.push(nullptr, [done = std::move(done), task = std::move(task)] {
        try {
            task();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    });
    finished.get();
}

void QueueDispatcher::postDeferred(const void* receiver, Task task) { queue_.push(receiver, std::move(task)); }

void QueueDispatcher::cancelDeferred(const void* receiver) { queue_.cancel(receiver); }

}  // namespace kl
