// Freeing on the reclaimer's thread, and keeping while the process ends.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "foundation/Reclaimer.h"

namespace kl {
namespace {

// Notes the thread that frees it.
struct Garbage {
    std::atomic<std::thread::id>* freedOn;
    ~Garbage() { *freedOn = std::this_thread::get_id(); }
};

TEST(Reclaimer, FreesOnItsOwnThreadWhatNobodyElseHolds) {
    std::atomic<std::thread::id> freedOn{};
    auto garbage = std::make_shared<Garbage>(Garbage{&freedOn});
    std::weak_ptr<Garbage> watch = garbage;
    auto stillHeld = garbage;
    Reclaimer::release(std::move(garbage));
    Reclaimer::drain();
    EXPECT_FALSE(watch.expired()) << "a holder keeps it alive";
    Reclaimer::release(std::move(stillHeld));
    Reclaimer::drain();
    EXPECT_TRUE(watch.expired());
    EXPECT_NE(freedOn.load(), std::thread::id{});
    EXPECT_NE(freedOn.load(), std::this_thread::get_id());
}

TEST(Reclaimer, KeepsWhatIsReleasedWhileTheProcessEndsUntilThatIsCalledOff) {
    std::atomic<std::thread::id> freedOn{};
    auto garbage = std::make_shared<Garbage>(Garbage{&freedOn});
    std::weak_ptr<Garbage> watch = garbage;
    Reclaimer::setProcessEnding(true);
    Reclaimer::release(std::move(garbage));
    Reclaimer::drain();
    EXPECT_FALSE(watch.expired());
    Reclaimer::setProcessEnding(false);  // the quit was called off
    Reclaimer::drain();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace kl
