// A job cut into parts: every part runs once, the first on the caller's
// thread, and a failure comes back only after every part has ended.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "foundation/RunInParts.h"

namespace kl {
namespace {

TEST(RunInPartsTest, EveryPartRunsOnceAndTheFirstOnTheCaller) {
    for (std::size_t parts : {0u, 1u, 4u}) {
        std::vector<int> runs(parts, 0);
        std::vector<std::thread::id> threads(parts);
        runInParts(parts, [&](std::size_t part) {
            ++runs[part];
            threads[part] = std::this_thread::get_id();
        });
        EXPECT_EQ(runs, std::vector<int>(parts, 1)) << parts << " parts";
        if (parts > 0) {
            EXPECT_EQ(threads[0], std::this_thread::get_id());
        }
    }
}

TEST(RunInPartsTest, TheFirstFailureInPartOrderComesBackAfterAllHaveEnded) {
    std::atomic<int> ended{0};
    try {
        runInParts(5, [&](std::size_t part) {
            if (part == 3 || part == 1) throw std::runtime_error("part " + std::to_string(part));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++ended;
        });
        ADD_FAILURE() << "no failure came back";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(std::string(failure.what()), "part 1");
    }
    EXPECT_EQ(ended.load(), 3);
}

}  // namespace
}  // namespace kl
