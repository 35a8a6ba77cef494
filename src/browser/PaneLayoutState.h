#pragma once
// PaneLayoutState: the pen of the record pane being built. Cells are laid
// out like running text: each starts at the pen, a line closes when the next
// cell does not fit before the right margin, and the pane is as tall as its
// lowest cell. The pane builder owns one state per build, resets it at the
// start, hands it to the layout commands, the new cells and the template
// variables, and reads the content bottom at the end. Lengths are points,
// y grows downwards, and pen coordinates are relative to the open group
// box's content when one is open.
//
// Four spacing values live in the pane's variables, not here: "#leftSkip"
// (x of a line start), "#lineSkip" (gap between lines), "#cellSkip" (gap
// after a cell) and "#rightSkip" (room kept free at the right margin); the
// rules take them from the variables each time, as templates may change
// them while the pane is built.
//
// Thread: main thread; one build runs to its end before another starts.
#include <optional>
#include <string_view>
#include <vector>

#include "cells/CellRect.h"
#include "script/Variables.h"

namespace kl {

class EditingPrefs;
class GEDCOMTemporary;

class PaneLayoutState {
public:
    // A cell's place in the pane.
    using Frame = CellRect;

    // What a group box keeps of the outer layout while its own content is
    // laid out.
    struct KeptLayout {
        double hpos = 0;
        double vpos = 0;
        double lineHeight = 0;
        double rightMargin = 0;
        double contentBottom = 0;
    };

    bool layoutFirstLoad = false;
    double layoutVPos = 0;            // top of the current line
    double layoutHPos = 0;            // where the next cell starts
    double layoutDefaultWidth = 0;
    double layoutDefaultHeight = 0;
    double layoutRightMargin = 0;     // edge against which cells wrap
    double layoutDisplayHeight = 0;   // height the window offers the pane
    int layoutLogFlags = 0;           // 1 logs commands as parsed, 2 as evaluated
    double layoutLineHeight = 0;      // tallest finished cell of the line
    double layoutContentBottom = 0;   // lowest bottom of all finished cells
    int layoutLinkCount = 0;          // structures links made in this build
    GEDCOMTemporary* layoutFrame = nullptr;  // frame of the running command; not owned

    // The start of every build. The running frame is left as it is.
    void reset(bool firstLoad, const EditingPrefs& prefs, double rightMargin, double displayHeight);

    // A spacing variable as a number; 0 when absent or not a number.
    static double variable(const Variables& variables, std::string_view name);

    // Numbers the structures links of a build from 1.
    int incrementStructureLinks() { return ++layoutLinkCount; }

    // ---- Flow rules -------------------------------------------------------
    void startNewLine(const Variables& variables);
    // A cell ending more than one point inside the right skip moves to the
    // start of a new line; answers whether it did.
    bool wrapCell(Frame& cell, const Variables& variables);
    // The pen past a finished cell; the content bottom counts from the
    // pen's line, not from a cell shifted down on it.
    void advancePastCell(const Frame& cell, const Variables& variables);
    // A finished cell: wrapped, then, when it takes part in the flow (a
    // group box does not: it opens its own layout), the pen advanced.
    void finishCell(Frame& cell, bool actionOnFinish, const Variables& variables);

    // ---- Pen commands -------------------------------------------------------
    // A new line unless the pen already stands at a line start; then dy down.
    void newline(const Variables& variables, std::optional<double> dy = std::nullopt);
    void hskip(double dx, const Variables& variables);
    void hmoveto(double x, const Variables& variables);
    void vmoveto(double y, const Variables& variables);
    void moveto(double x, double y, const Variables& variables);
    // Index of the first stop strictly right of the pen; stops are ascending
    // and measured from the pane's left edge, the pen from the group's.
    std::size_t nextTabIndex(const std::vector<double>& stops, double groupLeftEdge) const;
    // The pen to the next stop, or the n-th from it (0 and 1 the next, -1
    // the one at or left of the pen); past the last stop a new line, before
    // the first the line start.
    void tab(const std::vector<double>& stops, double groupLeftEdge, std::optional<int> n,
             const Variables& variables);

    // ---- Group boxes ----------------------------------------------------------
    KeptLayout keepLayout() const;
    void restoreLayout(const KeptLayout& kept);
    // The inner layout of a group box whose content is contentWidth wide.
    void startInnerLayout(double contentWidth, double topMargin, const Variables& variables);

private:
    double wrapLimit(const Variables& variables) const;
};

}  // namespace kl
