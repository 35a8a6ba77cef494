// The layout commands: the pen, tab stops, the size and place of the
// current cell, group boxes and what the window does with the pane.
#include <algorithm>
#include <cmath>

#include "app/EditingPrefs.h"
#include "browser/PaneBuilder.h"
#include "cells/CustomCell.h"
#include "foundation/AsciiText.h"
#include "foundation/Numbers.h"

namespace kl {

void PaneBuilder::sizeChanged(CustomCell& cell) { cell.cellChangedSize(); }

void PaneBuilder::doNewline(GEDCOMTemporary&) {
    finishCell();
    std::optional<double> dy;
    if (read_.more()) dy = read_.getFloat();
    layout_.newline(variables_, dy);
}

void PaneBuilder::doHskip(GEDCOMTemporary&) {
    finishCell();
    layout_.hskip(read_.getFloat(), variables_);
}

void PaneBuilder::doHmoveto(GEDCOMTemporary&) {
    finishCell();
    layout_.hmoveto(read_.getFloat(), variables_);
}

void PaneBuilder::doVmoveto(GEDCOMTemporary&) {
    finishCell();
    layout_.vmoveto(read_.getFloat(), variables_);
}

void PaneBuilder::doMoveto(GEDCOMTemporary&) {
    finishCell();
    const double x = read_.getFloat();
    layout_.moveto(x, read_.getFloat(), variables_);
}

void PaneBuilder::doTab(GEDCOMTemporary& frame) {
    finishCell();
    std::optional<int> n;
    if (read_.more()) n = read_.getInt();
    layout_.tab(frame.tabs(), background_.groupLeftEdge(), n, variables_);
}

void PaneBuilder::doSettab(GEDCOMTemporary& frame) {
    std::vector<double> stops = frame.tabs();
    while (read_.more()) {
        const double stop = read_.getFloat();
        if (std::find(stops.begin(), stops.end(), stop) == stops.end()) stops.push_back(stop);
    }
    std::sort(stops.begin(), stops.end());
    frame.setTabs(std::move(stops));
}

void PaneBuilder::doCleartabs(GEDCOMTemporary& frame) {
    std::vector<double> stops = frame.tabs();
    if (!read_.more()) {
        frame.setTabs({});
        return;
    }
    if (stops.empty()) return;
    const double x = read_.getFloat();
    // The stop nearest x; on a tie the right-hand one.
    auto right = std::lower_bound(stops.begin(), stops.end(), x);
    auto nearest = right;
    if (right == stops.end()) nearest = stops.end() - 1;
    else if (*right != x && right != stops.begin() && x - *(right - 1) < *right - x) nearest = right - 1;
    stops.erase(nearest);
    frame.setTabs(std::move(stops));
}

void PaneBuilder::doTabwidth(GEDCOMTemporary& frame) {
    CustomCell& cell = verifyInCell();
    const int n = read_.getInt();
    if (n == 0) {
        if (!cell.respondsTo("sizeToWidth")) causeError("Cell property encountered not allowed for current cell");
        cell.sizeToWidth();
        sizeChanged(cell);
        return;
    }
    const std::size_t i = layout_.nextTabIndex(frame.tabs(), background_.groupLeftEdge());
    const std::size_t k = std::size_t(n > 0 ? n - 1 : -n - 1);
    const double x = i + k < frame.tabs().size() ? frame.tabs()[i + k] - background_.groupLeftEdge()
                                                  : layout_.layoutRightMargin - varFloatValue("#rightSkip");
    const double w = x - layout_.layoutHPos;
    CellRect rect = cell.viewFrame();
    if (n > 0) {
        cell.setViewFrame({layout_.layoutHPos, layout_.layoutVPos, w, rect.height});
    } else {
        if (!cell.respondsTo("sizeToWidth")) causeError("Cell property encountered not allowed for current cell");
        cell.sizeToWidth();
        rect = cell.viewFrame();
        if (w > rect.width) cell.setViewFrame({layout_.layoutHPos, layout_.layoutVPos, w, rect.height});
    }
    sizeChanged(cell);
}

void PaneBuilder::doWidth(GEDCOMTemporary&) {
    CustomCell& cell = verifyInCell();
    double w = std::trunc(read_.getFloat());
    if (w < 0) {
        w = std::trunc(lineWidthLimit());
        if (w < 1)
            w = std::trunc(layout_.layoutRightMargin - varFloatValue("#rightSkip") - varFloatValue("#leftSkip"));
    }
    CellRect rect = cell.viewFrame();
    rect.width = w;
    cell.setViewFrame(rect);
    sizeChanged(cell);
}

void PaneBuilder::doHeight(GEDCOMTemporary&) {
    CustomCell& cell = verifyInCell();
    const double h = std::trunc(read_.getFloat());
    if (h < 0) causeError("Height of cell must be positive.");
    CellRect rect = cell.viewFrame();
    rect.height = h;
    cell.setViewFrame(rect);
    sizeChanged(cell);
}

void PaneBuilder::doSizetofit(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("sizeToFit:");
    const double w = read_.more() ? read_.getFloat() : 0;
    if (w >= -0.001) {
        cell.sizeToFit(w);
        return;
    }
    cell.sizeToFit(0);
    const double limit = lineWidthLimit();
    CellRect rect = cell.viewFrame();
    if (rect.width > limit) {
        rect.width = limit;
        cell.setViewFrame(rect);
    }
    if (cell.respondsTo("setMaxWidth:")) cell.setMaxWidth(limit);
}

void PaneBuilder::doMinheight(GEDCOMTemporary&) { verifyValidInCell("setMinHeight:").setMinHeight(read_.getFloat()); }
void PaneBuilder::doMaxheight(GEDCOMTemporary&) { verifyValidInCell("setMaxHeight:").setMaxHeight(read_.getFloat()); }

void PaneBuilder::doMaxwidth(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("setMaxWidth:");
    const double w = read_.getFloat();
    cell.setMaxWidth(w < 0 ? lineWidthLimit() : w);
}

void PaneBuilder::doShift(GEDCOMTemporary&) {
    CustomCell& cell = verifyInCell();
    CellRect rect = cell.viewFrame();
    rect.x += read_.getFloat();
    cell.setViewFrame(rect);
}

void PaneBuilder::doOffset(GEDCOMTemporary&) {
    CustomCell& cell = verifyInCell();
    cell.offsetViewFrame(read_.getFloat());
}

void PaneBuilder::doDefaultcellsize(GEDCOMTemporary&) {
    layout_.layoutDefaultWidth = read_.getFloat();
    layout_.layoutDefaultHeight = read_.getFloat();
}

void PaneBuilder::doDisplaywidth(GEDCOMTemporary&) {
    const double w = read_.getFloat();
    // Inside a group box the width is the one the outer layout gets back.
    if (background_.groupBox()) groupKept_.rightMargin = w;
    else layout_.layoutRightMargin = w;
}

void PaneBuilder::doDisplayheight(GEDCOMTemporary&) {
    std::string argument = read_.getString();
    char mark = 0;
    if (argument.size() >= 2 && (argument[0] == '<' || argument[0] == '>')) {
        mark = argument[0];
        argument.erase(0, 1);
    }
    const double h = parseDouble(argument).value_or(0);
    if (h < 0) return;
    auto& [minimum, maximum] = heightRange_;
    if (mark == '<') {
        if (minimum >= 0 && minimum > h) causeError("Maximum display height is less than the minimum.");
        if (h < 22) causeError("The maximum display height is too small.");
        maximum = h;
    } else if (mark == '>') {
        if (maximum >= 0 && h > maximum) causeError("Minimum display height is larger than the maximum.");
        minimum = h;
    } else {
        if (h < 22) causeError("The display height is too small.");
        minimum = maximum = h;
    }
    resizeWindow_ = true;
}

void PaneBuilder::doResizewindow(GEDCOMTemporary&) {
    if (!read_.more()) {
        resizeWindow_ = true;
        return;
    }
    const std::string raw = read_.getString();
    const std::string setting = asciiLower(raw);
    if (setting == "yes" || setting == "true" || setting == "1") resizeWindow_ = true;
    else if (setting == "no" || setting == "false" || setting == "0") resizeWindow_ = false;
    else causeError("Unknown setting for ResizeWindow command: " + raw);
}

void PaneBuilder::doTitle(GEDCOMTemporary&) { customWindowName_ = read_.getString(); }

void PaneBuilder::doEndgroup(GEDCOMTemporary&) {
    finishCell();
    if (!background_.groupBox()) causeError("EndGroup command not preceeded by GroupBox cell.");
    const bool remove = read_.more() && asciiLower(read_.getString()) == "remove";
    endGroup(remove);
}

void PaneBuilder::doBackground(GEDCOMTemporary&) {
    const std::string name = read_.getString();
    background_.setBackgroundColor(formatColor(name, false));
}

}  // namespace kl
