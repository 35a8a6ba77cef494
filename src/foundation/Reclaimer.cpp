#include "foundation/Reclaimer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kl {

namespace {

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<void>> queue;
    std::vector<std::shared_ptr<void>> kept;
    bool started = false;
    bool busy = false;
    bool ending = false;
    bool stopping = false;
};

// Never destroyed: the worker may still wait on it while statics go.
State& state() {
    static State* const s = new State;
    return *s;
}

void work() {
    State& s = state();
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.changed.wait(lock, [&] { return s.stopping || !s.queue.empty(); });
        if (s.stopping) return;
        std::shared_ptr<void> next = std::move(s.queue.front());
        s.queue.pop_front();
        s.busy = true;
        lock.unlock();
        next.reset();
        lock.lock();
        s.busy = false;
        s.changed.notify_all();
    }
}

// At exit, before the statics that destructors of released objects may
// use (the notification center) are gone: the object being freed is
// finished, the queued ones are left to the system.
struct ExitGuard {
    ~ExitGuard() {
        State& s = state();
        std::unique_lock lock(s.mutex);
        s.stopping = true;
        s.changed.notify_all();
        s.changed.wait(lock, [&] { return !s.busy; });
        for (auto& garbage : s.queue) s.kept.push_back(std::move(garbage));
        s.queue.clear();
    }
};

}  // namespace

void Reclaimer::release(std::shared_ptr<void> garbage) {
    if (!garbage) return;
    static ExitGuard guard;
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.ending || s.stopping) {
        s.kept.push_back(std::move(garbage));
        return;
    }
    if (!s.started) {
        std::thread(work).detach();
        s.started = true;
    }
    s.queue.push_back(std::move(garbage));
    s.changed.notify_all();
}

void Reclaimer::drain() {
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&] { return s.stopping || (s.queue.empty() && !s.busy); });
}

void Reclaimer::setProcessEnding(bool ending) {
    std::vector<std::shared_ptr<void>> resumed;
    {
        State& s = state();
        std::lock_guard lock(s.mutex);
        s.ending = ending;
        if (!ending) resumed.swap(s.kept);
    }
    for (auto& garbage : resumed) release(std::move(garbage));
}

}  // namespace kl
