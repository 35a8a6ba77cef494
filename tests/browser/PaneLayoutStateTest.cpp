#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/EditingPrefs.h"
#include "browser/PaneLayoutState.h"

namespace kl {
namespace {

using Frame = PaneLayoutState::Frame;

// A pane 400 points wide laid out with the format defaults: left skip 10,
// right skip 10, line skip 5, cell skip 5, top margin 10.
class PaneLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefs.readSettings(Dictionary{}, "Plain");
        vars = prefs.initializeVariables();
        state.reset(true, prefs, 400, 600);
    }
    Frame cellAtPen(double width, double height) const {
        return {state.layoutHPos, state.layoutVPos, width, height};
    }
    Frame place(double width, double height) {
        Frame cell = cellAtPen(width, height);
        state.finishCell(cell, true, vars);
        return cell;
    }

    EditingPrefs prefs;
    Variables vars;
    PaneLayoutState state;
};

TEST_F(PaneLayoutTest, BuildStartsFromTheFormatSettings) {
    state.layoutLogFlags = 3;
    state.layoutLinkCount = 4;
    state.reset(false, prefs, 500, 300);
    EXPECT_FALSE(state.layoutFirstLoad);
    EXPECT_DOUBLE_EQ(state.layoutVPos, 10);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 10);
    EXPECT_DOUBLE_EQ(state.layoutDefaultWidth, 72);
    EXPECT_DOUBLE_EQ(state.layoutDefaultHeight, 22);
    EXPECT_DOUBLE_EQ(state.layoutRightMargin, 500);
    EXPECT_DOUBLE_EQ(state.layoutDisplayHeight, 300);
    EXPECT_EQ(state.layoutLogFlags, 0);
    EXPECT_EQ(state.incrementStructureLinks(), 1);
    EXPECT_EQ(state.incrementStructureLinks(), 2);
}

struct WrapCase {
    const char* what;
    double right;  // right edge of a cell starting at x 100
    bool wraps;
};

TEST_F(PaneLayoutTest, ACellMayEndOnePointInsideTheRightSkip) {
    // right margin 400 - right skip 10 + 1 = 391
    const WrapCase cases[] = {{"well inside", 300, false}, {"exactly at the limit", 391, false},
                              {"one point more", 392, true}, {"a fraction more", 391.5, true}};
    for (const auto& c : cases) {
        state.reset(true, prefs, 400, 600);
        state.layoutHPos = 100;
        state.layoutLineHeight = 22;
        Frame cell{100, 10, c.right - 100, 30};
        state.finishCell(cell, true, vars);
        if (c.wraps) {
            EXPECT_EQ(cell, (Frame{10, 10 + 22 + 5, c.right - 100, 30})) << c.what;
            EXPECT_DOUBLE_EQ(state.layoutHPos, 10 + (c.right - 100) + 5) << c.what;
        } else {
            EXPECT_EQ(cell, (Frame{100, 10, c.right - 100, 30})) << c.what;
            EXPECT_DOUBLE_EQ(state.layoutHPos, c.right + 5) << c.what;
        }
    }
}

TEST_F(PaneLayoutTest, TheNextLineStartsBelowTheTallestCell) {
    for (double h : {20.0, 35.0, 25.0}) place(60, h);
    EXPECT_DOUBLE_EQ(state.layoutLineHeight, 35);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 10 + 3 * (60 + 5));
    state.startNewLine(vars);
    EXPECT_DOUBLE_EQ(state.layoutVPos, 10 + 35 + 5);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 10);
    EXPECT_DOUBLE_EQ(state.layoutLineHeight, 0);
    EXPECT_DOUBLE_EQ(state.layoutContentBottom, 45);
}

TEST_F(PaneLayoutTest, ContentBottomCountsFromThePenNotAShiftedCell) {
    Frame cell = cellAtPen(50, 20);
    cell.y += 30;  // moved down on its line after it was made
    state.finishCell(cell, true, vars);
    EXPECT_DOUBLE_EQ(state.layoutContentBottom, 10 + 20);
}

TEST_F(PaneLayoutTest, ACellOutsideTheFlowIsWrappedButDoesNotMoveThePen) {
    state.layoutHPos = 300;
    Frame box = cellAtPen(200, 80);
    state.finishCell(box, false, vars);
    EXPECT_DOUBLE_EQ(box.x, 10);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 10);
    EXPECT_DOUBLE_EQ(state.layoutContentBottom, 0);
}

TEST_F(PaneLayoutTest, NewlineAtALineStartAddsNoSecondSkip) {
    place(60, 20);
    state.newline(vars);
    const double afterFirst = state.layoutVPos;
    EXPECT_DOUBLE_EQ(afterFirst, 10 + 20 + 5);
    state.newline(vars);
    EXPECT_DOUBLE_EQ(state.layoutVPos, afterFirst);
    state.newline(vars, 12);
    EXPECT_DOUBLE_EQ(state.layoutVPos, afterFirst + 12);
}

TEST_F(PaneLayoutTest, SpacingComesFromTheVariablesAsTheyStandNow) {
    vars["#leftSkip"] = "40";
    vars["#lineSkip"] = "12.5";
    place(60, 20);
    state.startNewLine(vars);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 40);
    EXPECT_DOUBLE_EQ(state.layoutVPos, 10 + 20 + 12.5);
    vars.erase("#lineSkip");
    state.layoutHPos = 100;
    state.startNewLine(vars);
    EXPECT_DOUBLE_EQ(state.layoutVPos, 10 + 20 + 12.5) << "an absent skip counts as 0";
}

struct PenCase {
    const char* what;
    void (*command)(PaneLayoutState&, const Variables&);
    double hpos;
    double vpos;
};

TEST_F(PaneLayoutTest, PenCommandsWrapAtTheRightSkip) {
    // Pen at (100, 10) on a line 20 high; the limit is 400 - 10 = 390.
    const PenCase cases[] = {
        {"hskip to the limit", [](PaneLayoutState& s, const Variables& v) { s.hskip(290, v); }, 390, 10},
        {"hskip past it", [](PaneLayoutState& s, const Variables& v) { s.hskip(290.5, v); }, 10, 35},
        {"hmoveto the limit", [](PaneLayoutState& s, const Variables& v) { s.hmoveto(390, v); }, 390, 10},
        {"hmoveto past it", [](PaneLayoutState& s, const Variables& v) { s.hmoveto(391, v); }, 10, 35},
        {"moveto one point inside", [](PaneLayoutState& s, const Variables& v) { s.moveto(391, 70, v); }, 391, 70},
        {"moveto past it", [](PaneLayoutState& s, const Variables& v) { s.moveto(392, 70, v); }, 10, 70},
        {"vmoveto", [](PaneLayoutState& s, const Variables& v) { s.vmoveto(200, v); }, 10, 200},
    };
    for (const auto& c : cases) {
        state.reset(true, prefs, 400, 600);
        state.layoutHPos = 100;
        state.layoutLineHeight = 20;
        c.command(state, vars);
        EXPECT_DOUBLE_EQ(state.layoutHPos, c.hpos) << c.what;
        EXPECT_DOUBLE_EQ(state.layoutVPos, c.vpos) << c.what;
    }
}

struct TabCase {
    const char* what;
    double pen;
    double groupLeft;
    std::optional<int> n;
    double hpos;
    bool newLine;
};

TEST_F(PaneLayoutTest, TabsMoveToStopsStrictlyRightOfThePen) {
    const std::vector<double> stops = {100, 200};
    const TabCase cases[] = {
        {"next stop", 100, 0, std::nullopt, 200, false},
        {"0 is the next stop", 100, 0, 0, 200, false},
        {"-1 is the stop at the pen", 100, 0, -1, 100, false},
        {"2 is past the last stop", 100, 0, 2, 10, true},
        {"-3 before every stop", 50, 0, -3, 10, false},
        {"inside a group", 50, 20, std::nullopt, 80, false},
    };
    for (const auto& c : cases) {
        state.reset(true, prefs, 400, 600);
        state.layoutHPos = c.pen;
        state.tab(stops, c.groupLeft, c.n, vars);
        EXPECT_DOUBLE_EQ(state.layoutHPos, c.hpos) << c.what;
        EXPECT_DOUBLE_EQ(state.layoutVPos, c.newLine ? 15 : 10) << c.what;
    }
    state.layoutHPos = 100;
    EXPECT_EQ(state.nextTabIndex({120, 150}, 20), 1u) << "the stop at 120 is the pen inside a group at 20";
}

TEST_F(PaneLayoutTest, AGroupBoxLaysOutInsideAndPutsTheOuterLayoutBack) {
    place(100, 30);
    const auto kept = state.keepLayout();
    state.startInnerLayout(200, prefs.topMargin(), vars);
    EXPECT_DOUBLE_EQ(state.layoutRightMargin, 200);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 10);
    EXPECT_DOUBLE_EQ(state.layoutVPos, 10);
    place(150, 40);
    place(150, 40);  // wraps inside the box
    EXPECT_DOUBLE_EQ(state.layoutContentBottom, 10 + 40 + 5 + 40);
    state.restoreLayout(kept);
    EXPECT_DOUBLE_EQ(state.layoutHPos, 115);
    EXPECT_DOUBLE_EQ(state.layoutRightMargin, 400);
    EXPECT_DOUBLE_EQ(state.layoutContentBottom, 40);
    EXPECT_DOUBLE_EQ(state.layoutLineHeight, 30);
}

}  // namespace
}  // namespace kl
