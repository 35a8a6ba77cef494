#pragma once
// EndSignal: how a background task's worker tells the main thread that it
// has ended, so that a wait behind a progress panel ends at once instead of
// at its next poll. A waiter either blocks in waitFor() (no event loop) or,
// when it runs an event loop, listens with a function that posts a wake-up
// into that loop.
//
// Ownership: a task owns its signal; a Listening removes its function when it
// goes, and must not outlive the signal.
// Thread: notify() on the worker, after its last change of what the task's
// "still running" answers; waitFor() and listen() on the waiting thread.
// Listeners run on the worker's thread, under the signal's lock: they only
// post, never wait.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace kl {

class EndSignal {
public:
    class Listening {
    public:
        Listening() = default;
        Listening(EndSignal* signal, std::uint64_t id) : signal_(signal), id_(id) {}
        Listening(Listening&& other) noexcept
            : signal_(std::exchange(other.signal_, nullptr)), id_(other.id_) {}
        Listening& operator=(Listening&& other) noexcept;
        Listening(const Listening&) = delete;
        Listening& operator=(const Listening&) = delete;
        ~Listening() { reset(); }
        void reset();

    private:
        EndSignal* signal_ = nullptr;
        std::uint64_t id_ = 0;
    };

    // The worker has ended: wakes every waiter and calls every listener.
    void notify();
    // Blocks until `ended()` answers true, checked now and at each notify,
    // or until the time has passed; answers `ended()`.
    bool waitFor(std::chrono::duration<double> time, const std::function<bool()>& ended);
    // `wake` is called at each notify until the Listening goes.
    [[nodiscard]] Listening listen(std::function<void()> wake);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> listeners_;
    std::uint64_t nextId_ = 1;
};

}  // namespace kl
