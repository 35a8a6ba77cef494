// The window-free rules behind alerts and progress panels: which buttons an
// alert shows and what each answers, how long a task waits before its
// panel and how often the panel polls, and the hand-over of step texts.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/AlertButtons.h"
#include "app/PendingText.h"
#include "app/ProgressTiming.h"

namespace kl {
namespace {

using Title = std::optional<std::string>;

struct ButtonsCase {
    const char* label;
    Title def, alt, other;
    std::vector<std::string> titles;
    std::optional<std::size_t> escape;
    int closedAnswer;
};

class AlertButtonsTest : public ::testing::TestWithParam<ButtonsCase> {};

TEST_P(AlertButtonsTest, AddsPresentTitlesInOrderAndAnswersByPosition) {
    const auto& c = GetParam();
    AlertButtons buttons(c.def, c.alt, c.other);
    EXPECT_EQ(buttons.titles(), c.titles);
    EXPECT_EQ(buttons.ownOK(), !c.def && !c.alt && !c.other);
    EXPECT_EQ(buttons.escapeIndex(), c.escape);
    EXPECT_EQ(buttons.responseWithoutButton(), c.closedAnswer);
    for (std::size_t i = 0; i < c.titles.size(); ++i) EXPECT_EQ(AlertButtons::responseForIndex(i), 1000 + int(i));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, AlertButtonsTest,
    ::testing::Values(ButtonsCase{"none", {}, {}, {}, {"OK"}, 0, 1000},
                      // The only button answers 1000 whichever slot its title came in.
                      ButtonsCase{"alternateOnly", {}, "Quit", {}, {"Quit"}, 0, 1000},
                      ButtonsCase{"otherOnly", {}, {}, "Later", {"Later"}, 0, 1000},
                      ButtonsCase{"saveDontCancel", "Save", "Don't Save", "Cancel", {"Save", "Don't Save", "Cancel"}, 2,
                                  1002},
                      ButtonsCase{"defaultAndOther", "Replace", {}, "Cancel", {"Replace", "Cancel"}, 1, 1001},
                      ButtonsCase{"twoWithoutCancel", "Yes", "No", {}, {"Yes", "No"}, std::nullopt, 1000}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ProgressTimingTest, PollIntervalsAndPausesByTask) {
    using T = ProgressTiming::Task;
    struct Case {
        T task;
        double pause;
        double interval;
    } cases[] = {
        {T::Reading, 1, 1.0 / 3},   {T::Merging, 1, 1.0 / 3},       {T::Consolidation, 1, 1.0 / 3},
        {T::ScriptConsolidation, 2, 1.0 / 3}, {T::Saving, 1, 0.25}, {T::Exporting, 1, 0.25},
        {T::DuplicateUUIDMerge, 0, 0.25},     {T::Thumbnails, 0, 0.25}, {T::Report, 1, 0.25},
        {T::TreeExpansion, 1, 0.125},         {T::SystemInstall, 0.5, 0.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.task));
        EXPECT_DOUBLE_EQ(ProgressTiming::pauseBefore(c.task), c.pause);
        EXPECT_DOUBLE_EQ(ProgressTiming::pollInterval(c.task), c.interval);
    }
}

TEST(ProgressTimingTest, PauseChecksThirtyTimesASecondPlusOne) {
    struct Case {
        double seconds;
        std::int64_t checks;
    } cases[] = {{0, 0}, {-1, 0}, {std::nan(""), 0}, {1.0 / 60, 1}, {0.5, 16}, {1, 31}, {2, 61}, {1e300, 1000000000000000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(ProgressTiming::pauseChecks(c.seconds), c.checks);
    }
}

TEST(PendingTextTest, TakesOnlyTheLatestTextOnce) {
    PendingText pending;
    EXPECT_EQ(pending.take(), std::nullopt);
    pending.set("Reading");
    pending.set("Adjusting");
    EXPECT_EQ(pending.take(), "Adjusting");
    EXPECT_EQ(pending.take(), std::nullopt);
    pending.set("");
    EXPECT_EQ(pending.take(), "");  // an empty text is a text too
}

TEST(PendingTextTest, AWorkerAndThePollerNeverTearAText) {
    PendingText pending;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20000; ++i) pending.set(i % 2 ? std::string(64, 'a') : std::string(3, 'b'));
        done = true;
    });
    int seen = 0;
    while (!done || seen == 0) {
        if (auto text = pending.take()) {
            ++seen;
            ASSERT_TRUE(*text == std::string(64, 'a') || *text == std::string(3, 'b'));
        }
    }
    worker.join();
    EXPECT_GT(seen, 0);
}

}  // namespace
}  // namespace kl
