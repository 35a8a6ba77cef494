// Group boxes, palettes and pane bars laid out by templates.
#include <gtest/gtest.h>

#include "LinkPaneSupport.h"
#include "cells/GroupBox.h"
#include "cells/PaletteCell.h"
#include "cells/PaneBarCell.h"

namespace kl {
namespace {

using test::LinkPaneTest;

class Containers : public LinkPaneTest {
protected:
    double lineSkip() const { return builder.lineSkip(); }
    GroupBox& box() {
        auto all = cellsOf<GroupBox>();
        EXPECT_EQ(all.size(), 1u);
        return *all.front();
    }
};

TEST_F(Containers, AnEmptyBoxIsAsHighAsItsMarginsTitleAndLineSkip) {
    struct Case {
        const char* border;
        const char* position;
        double margins;  // in content margins
        bool title;
    };
    const double m = GroupBox::kContentMargin;
    for (const Case& c : {Case{"line", "top", 2, true}, Case{"bezel", "top", 4, true}, Case{"none", "none", 2, false},
                          Case{"line", "Bottom", 2, true}}) {
        ASSERT_TRUE(build(std::string("Cell groupbox \"Partners\"\nBorder ") + c.border + "\nTitleposition " +
                          c.position + "\nEndgroup\n"))
            << failure();
        GroupBox& made = box();
        const double title = c.title ? made.titleLineHeight() : 0;
        EXPECT_GT(made.titleLineHeight() + (c.title ? 0 : 1), 0);
        EXPECT_DOUBLE_EQ(made.viewFrame().height, c.margins * m + title + lineSkip()) << c.border << " " << c.position;
    }
}

TEST_F(Containers, TitlePositionWordsFallBackToTop) {
    for (const auto& [word, position] : std::vector<std::pair<const char*, int>>{
             {"none", 0}, {"abovetop", 2}, {"bottom", 4}, {"top", 1}, {"tpo", 1}, {"AboveTop", 2}}) {
        ASSERT_TRUE(build(std::string("Cell groupbox \"x\"\nTitleposition ") + word + "\nEndgroup\n")) << failure();
        EXPECT_EQ(box().titlePosition(), position) << word;
    }
}

TEST_F(Containers, TheFlowGoesOnRightOfTheBox) {
    ASSERT_TRUE(build("Cell groupbox \"Partners\"\nWidth 200\nCell static \"inside\"\nEndgroup\n"
                      "Cell static \"after\"\n"))
        << failure();
    GroupBox& made = box();
    const CustomCell* inside = nullptr;
    const CustomCell* after = nullptr;
    for (const auto& cell : background.customCells()) {
        if (cell->text() == "inside") inside = cell.get();
        if (cell->text() == "after") after = cell.get();
    }
    ASSERT_TRUE(inside && after);
    EXPECT_DOUBLE_EQ(after->viewFrame().x, made.viewFrame().right() + builder.cellSkip());
    EXPECT_DOUBLE_EQ(after->viewFrame().y, made.viewFrame().y);
    EXPECT_GE(made.viewFrame().height, inside->viewFrame().bottom() + lineSkip());
}

TEST_F(Containers, EndgroupRemoveLeavesTheLayoutAsBefore) {
    ASSERT_TRUE(build("Cell static \"before\"\nCell static \"after\"\n")) << failure();
    const CellRect expected = background.customCells().back()->viewFrame();
    ASSERT_TRUE(build("Cell static \"before\"\nCell groupbox \"x\"\nCell static \"in\"\nEndgroup remove\n"
                      "Cell static \"after\"\n"))
        << failure();
    EXPECT_TRUE(cellsOf<GroupBox>().empty());
    const CellRect after = background.customCells().back()->viewFrame();
    EXPECT_DOUBLE_EQ(after.x, expected.x);
    EXPECT_DOUBLE_EQ(after.y, expected.y);
}

TEST_F(Containers, BoxesDoNotNest) {
    EXPECT_FALSE(build("Cell groupbox \"a\"\nCell groupbox \"b\"\n"));
    EXPECT_NE(failure().find("Group boxes cannot be nested."), std::string::npos) << failure();
    EXPECT_FALSE(build("Cell groupbox \"a\"\nBorder groovy\n"));
}

// A painter that writes what it is asked to draw.
class RecordingPainter : public PaletteCanvas::Painter {
public:
    void setColor(const Color& c) override { color = c; }
    void setLineWidth(double w) override { width = w; }
    void line(double x1, double y1, double x2, double y2) override {
        log.push_back("line " + n(x1) + "," + n(y1) + " " + n(x2) + "," + n(y2) + " w" + n(width));
    }
    void rect(double x, double y, double w, double h, bool fill) override {
        log.push_back(std::string(fill ? "fill" : "frame") + " rect " + n(x) + "," + n(y) + " " + n(w) + "x" + n(h) +
                      " r" + n(color.red));
    }
    void oval(double x, double y, double w, double h, bool fill) override {
        log.push_back(std::string(fill ? "fill" : "frame") + " oval " + n(x) + "," + n(y) + " " + n(w) + "x" + n(h) +
                      " r" + n(color.red));
    }
    static std::string n(double v) { return std::to_string(static_cast<int>(v)); }
    std::vector<std::string> log;
    Color color;
    double width = 0;
};

TEST_F(Containers, PaletteCommandsDrawFromTheTopLeftCorner) {
    ASSERT_TRUE(build("Cell palette\nPalline 10 0\nPalline 0 10\nPalfillrect 0 0 5 5\nPallinewidth 3\n"
                      "Paldrawcolor \"Palette Line\"\nPalmoveto 2 2\nPallineto 4 2\nPalfilloval 1 1 2 2\n"))
        << failure();
    auto palettes = cellsOf<PaletteCell>();
    ASSERT_EQ(palettes.size(), 1u);
    RecordingPainter painter;
    palettes.front()->canvas().draw(painter);
    const std::string red = RecordingPainter::n(prefs.colorNamed("Palette Line")->red);
    EXPECT_EQ(painter.log, (std::vector<std::string>{"line 0,0 10,0 w1", "line 10,0 10,10 w1", "fill rect 0,0 5x5 r0",
                                                     "line 2,2 4,2 w3", "fill oval 1,1 2x2 r" + red}));
    // Each draw starts afresh.
    RecordingPainter again;
    palettes.front()->canvas().draw(again);
    EXPECT_EQ(again.log.front(), "line 0,0 10,0 w1");
}

TEST_F(Containers, AShortPaletteCommandEndsTheDrawing) {
    PaletteCanvas canvas;
    canvas.addDrawCommand(2, {10, 0});
    canvas.addDrawCommand(42, {});
    canvas.addDrawCommand(6, {1, 2});  // two of its four numbers
    RecordingPainter painter;
    canvas.draw(painter);
    EXPECT_EQ(painter.log, (std::vector<std::string>{"line 0,0 10,0 w1"}));
}

TEST_F(Containers, PaletteErrors) {
    EXPECT_FALSE(build("Cell palette\nPaldrawcolor \"Mauve Haze\"\n"));
    EXPECT_NE(failure().find("No color named 'Mauve Haze' is defined in this format."), std::string::npos);
    EXPECT_FALSE(build("Cell static \"x\"\nPalline 1 1\n"));
    EXPECT_NE(failure().find("Cell property encountered not allowed for current cell"), std::string::npos);
}

TEST_F(Containers, PaneBarsSelectAndSwitchPanes) {
    ASSERT_TRUE(build("Cell panebar\nAddpane \"Summary\" main\nAddpane \"Sources\" research\n"
                      "Addpane \"Again\" research\nSelected nowhere\nFontcolor \"Palette Line\"\n"))
        << failure();
    auto bars = cellsOf<PaneBarCell>();
    ASSERT_EQ(bars.size(), 1u);
    PaneBarCell& bar = *bars.front();
    EXPECT_EQ(bar.selectedSegment(), -1);
    EXPECT_FALSE(bar.look().textColor);
    bar.segSelect("research");
    EXPECT_EQ(bar.selectedSegment(), 1);
    bar.segSelect("nowhere");
    EXPECT_EQ(bar.selectedSegment(), 1);
    bar.buttonClick(1);
    bar.buttonClick(1);
    EXPECT_EQ(host.log, (std::vector<std::string>{"open @I1@ this research", "open @I1@ this research"}));
    EXPECT_FALSE(build("Cell panebar\nBorder sideways\n"));
}

}  // namespace
}  // namespace kl
