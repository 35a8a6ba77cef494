// The fitted height of a record window: the pane with its margin, kept
// within the template's range, both stacked panes grown in proportion, and
// no division by a cells' view without height.
#include <gtest/gtest.h>

#include "browser/WindowFitting.h"

namespace kl {
namespace {

TEST(WindowFitting, FollowsThePaneWithinTheRange) {
    struct Case {
        std::pair<double, double> range;
        double expected;
    } cases[] = {{{-1, -1}, 40 + 300 + 15}, {{400, -1}, 400}, {{-1, 200}, 200}, {{100, 1000}, 355}};
    for (const Case& c : cases) {
        WindowFitting fitting;
        fitting.windowHeight = 500;
        fitting.chromeHeight = 40;
        fitting.backgroundHeight = 300;
        fitting.cellScrollerHeight = 460;
        fitting.heightRange = c.range;
        EXPECT_EQ(fitting.fittedHeight(), c.expected) << c.range.first << " " << c.range.second;
    }
}

TEST(WindowFitting, StackedPanesGrowInProportion) {
    WindowFitting fitting;
    fitting.windowHeight = 400;
    fitting.backgroundHeight = 385;
    fitting.cellScrollerHeight = 200;
    fitting.editPaneHeight = 100;
    EXPECT_EQ(fitting.fittedHeight(), 400 + 300.0 * 200 / 200);
    fitting.cellScrollerHeight = 0;
    EXPECT_EQ(fitting.fittedHeight(), 400);
}

}  // namespace
}  // namespace kl
