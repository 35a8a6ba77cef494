// The worker-to-waiter signal: listeners are called until their Listening
// goes, and a wait answers what the task's state says, not that it woke.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "foundation/EndSignal.h"

namespace kl {
namespace {

TEST(EndSignal, CallsListenersOnlyWhileTheyListen) {
    EndSignal signal;
    int first = 0, second = 0;
    auto listeningFirst = signal.listen([&] { ++first; });
    {
        auto listeningSecond = signal.listen([&] { ++second; });
        signal.notify();
        EndSignal::Listening moved = std::move(listeningSecond);
        signal.notify();
    }
    signal.notify();
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 2);
}

TEST(EndSignal, AWaitAnswersWhetherTheTaskEnded) {
    EndSignal signal;
    std::atomic<bool> ended{false};
    // A notify without the end (a spurious or early one) does not end it.
    std::thread early([&] { signal.notify(); });
    EXPECT_FALSE(signal.waitFor(std::chrono::milliseconds(1), [&] { return ended.load(); }));
    early.join();
    std::thread worker([&] {
        ended = true;
        signal.notify();
    });
    EXPECT_TRUE(signal.waitFor(std::chrono::hours(1), [&] { return ended.load(); }));
    worker.join();
}

}  // namespace
}  // namespace kl
