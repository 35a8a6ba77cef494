#pragma once
// QtDispatcher: the main-thread dispatcher of the desktop programs. Tasks
// are posted to the Qt event loop of the thread that made the dispatcher
// (the GUI thread), so a worker's hand-off runs in the next turn of that
// loop, also while the main thread waits in a progress pause or panel.
//
// Ownership: the program makes one after its QApplication and installs it
// with Dispatcher::Scope; it must outlive every worker that posts to it.
// Destroying it drops what is still queued: a worker waiting in
// postAndWait then gets std::future_error instead of waiting for ever.
// Thread: post, postAndWait, postDeferred and cancelDeferred from any
// thread; tasks run on the GUI thread.
#include <QObject>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>

#include "foundation/MainThread.h"

namespace kl {

class QtDispatcher : public QObject, public Dispatcher {
    Q_OBJECT
public:
    explicit QtDispatcher(QObject* parent = nullptr);
    ~QtDispatcher() override;

    // A task that fails is logged, as the event loop cannot report it.
    void post(Task task) override;
    void postAndWait(Task task) override;
    void postDeferred(const void* receiver, Task task) override;
    void cancelDeferred(const void* receiver) override;
    bool isMainThread() const override;

    // Deferred requests not yet run or withdrawn.
    std::size_t pendingDeferredCount() const;
    // How many postAndWait calls from other threads have been handed to the
    // event loop so far.
    std::size_t postedWaits() const { return postedWaits_.load(); }

private:
    struct Deferred {
        const void* receiver;
        Task task;
    };
    void runDeferred(std::uint64_t id);

    mutable std::mutex mutex_;
    std::map<std::uint64_t, Deferred> deferred_;
    std::uint64_t nextID_ = 0;
    std::atomic<std::size_t> postedWaits_{0};
};

}  // namespace kl
