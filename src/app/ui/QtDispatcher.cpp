#include "app/ui/QtDispatcher.h"

#include <QMetaObject>
#include <QThread>

#include <exception>
#include <future>
#include <memory>


namespace kl {

QtDispatcher::QtDispatcher(QObject* parent) : QObject(parent) {}

QtDispatcher::~QtDispatcher() {
    std::lock_guard lock(mutex_);
    deferred_.clear();
}

bool QtDispatcher::isMainThread() const { return QThread::currentThread() == thread(); }

void QtDispatcher::post(Task task) {
    QMetaObject::invokeMethod(this, [task = std::move(task)] { runLogged(task); }, Qt::QueuedConnection);
}

void QtDispatcher::postAndWait(Task task) {
    if (isMainThread()) {
        task();
        return;
    }
    // The queued call must hold the only reference to the promise, so that
    // an event dropped with the dispatcher breaks it instead of leaving the
    // worker waiting.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        this,
        [done = std::move(done), task = std::move(task)] {
            try {
                task();
                done->set_value();
            } catch (...) {
                done->set_exception(std::current_exception());
            }
        },
        Qt::QueuedConnection);
    ++postedWaits_;
    // Nothing of this object may be touched from here on: it may be gone
    // by the time the wait ends.
    finished.get();
}

void QtDispatcher::postDeferred(const void* receiver, Task task) {
    std::uint64_t id;
    {
        std::lock_guard lock(mutex_);
        id = nextID_++;
        deferred_.emplace(id, Deferred{receiver, std::move(task)});
    }
    QMetaObject::invokeMethod(this, [this, id] { runDeferred(id); }, Qt::QueuedConnection);
}

void QtDispatcher::cancelDeferred(const void* receiver) {
    std::lock_guard lock(mutex_);
    std::erase_if(deferred_, [receiver](const auto& entry) { return entry.second.receiver == receiver; });
}

std::size_t QtDispatcher::pendingDeferredCount() const {
    std::lock_guard lock(mutex_);
    return deferred_.size();
}

void QtDispatcher::runDeferred(std::uint64_t id) {
    Task task;
    {
        std::lock_guard lock(mutex_);
        auto found = deferred_.find(id);
        if (found == deferred_.end()) return;  // withdrawn
        task = std::move(found->second.task);
        deferred_.erase(found);
    }
    runLogged(task);
}

}  // namespace kl
