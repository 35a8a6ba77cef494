// The shell sort shared by record lists and script lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/ShellSort.h"
#include "foundation/TextCompare.h"
#include "support/CaseName.h"

namespace kl {
namespace {

// Sorts texts by length, counting how often keys are asked for.
class ByLength : public WXShellSorter<std::string, std::size_t> {
public:
    std::size_t getShellSortObjectFor(const std::string& s) override {
        ++keysAsked;
        return s.size();
    }
    bool checkShellObj1(const std::size_t& a, const std::size_t& b) override { return a > b; }
    int keysAsked = 0;
};

struct SortCase {
    std::vector<std::string> items;
    bool checkReversed;
    long lastLine;
    std::vector<std::string> expected;
};

class ShellSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(ShellSort, Orders) {
    auto items = GetParam().items;
    ByLength delegate;
    shellSortUsingDelegate(items, delegate, GetParam().checkReversed, GetParam().lastLine);
    EXPECT_EQ(items, GetParam().expected);
    if (items.size() >= 2) {
        EXPECT_EQ(delegate.keysAsked, static_cast<int>(items.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ShellSort, ::testing::Values(
    SortCase{{}, false, -1, {}},
    SortCase{{"ccc"}, false, 0, {"ccc"}},
    SortCase{{"ccc", "a", "dddd", "bb", "eeeee"}, false, 4, {"a", "bb", "ccc", "dddd", "eeeee"}},
    // Already in reverse order up to lastLine: reversed there, the tail kept.
    SortCase{{"ccc", "bb", "a", "zzzz"}, true, 2, {"a", "bb", "ccc", "zzzz"}},
    // A pair in order inside the checked range: a full sort.
    SortCase{{"bb", "ccc", "a"}, true, 2, {"a", "bb", "ccc"}},
    SortCase{{"bb", "a"}, true, -1, {"bb", "a"}}), ::kl::test::CaseName());

// Long enough to pass through many gaps, with many equal keys.
TEST(ShellSortLong, EveryGapLeavesTheListInOrder) {
    for (std::size_t count : {2u, 3u, 10u, 1000u, 20000u}) {
        std::vector<std::string> items;
        unsigned seed = 12345;
        for (std::size_t i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            items.emplace_back((seed >> 16) % 97, 'x');
        }
        ByLength delegate;
        shellSortUsingDelegate(items, delegate, false, static_cast<long>(count) - 1);
        EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                                   [](const std::string& a, const std::string& b) { return a.size() < b.size(); }))
            << count;
        EXPECT_EQ(items.size(), count);
    }
}

TEST(TextCompare, FoldsCaseOfLatinAndCyrillicLetters) {
    EXPECT_EQ(compareCaseInsensitive("apple", "APPLE"), 0);
    EXPECT_EQ(compareCaseInsensitive("\xC3\x89tienne", "\xC3\xA9tienne"), 0);  // É é
    EXPECT_EQ(compareCaseInsensitive("\xD0\x91", "\xD0\xB1"), 0);                // Б б
    EXPECT_LT(compareCaseInsensitive("apple", "Banana"), 0);
    EXPECT_LT(compareCaseInsensitive("ab", "abc"), 0);
    EXPECT_NE(compareLocalized("a", "A"), 0);
    EXPECT_GT(compareCaseInsensitive("b\xFF", "b"), 0);  // broken UTF-8 still orders
}

}  // namespace
}  // namespace kl
