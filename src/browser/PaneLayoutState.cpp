#include "browser/PaneLayoutState.h"

#include <algorithm>

#include "app/EditingPrefs.h"
#include "foundation/Numbers.h"

namespace kl {

void PaneLayoutState::reset(bool firstLoad, const EditingPrefs& prefs, double rightMargin, double displayHeight) {
    layoutFirstLoad = firstLoad;
    layoutVPos = prefs.topMargin();
    layoutHPos = prefs.leftSkip();
    layoutDefaultWidth = prefs.defaultWidth();
    layoutDefaultHeight = prefs.defaultHeight();
    layoutRightMargin = rightMargin;
    layoutDisplayHeight = displayHeight;
    layoutLogFlags = 0;
    layoutLineHeight = 0;
    layoutContentBottom = 0;
    layoutLinkCount = 0;
}

double PaneLayoutState::variable(const Variables& variables, std::string_view name) {
    auto it = variables.find(name);
    if (it == variables.end()) return 0;
    return parseDouble(it->second).value_or(0);
}

double PaneLayoutState::wrapLimit(const Variables& variables) const {
    return layoutRightMargin - variable(variables, "#rightSkip");
}

void PaneLayoutState::startNewLine(const Variables& variables) {
    layoutHPos = variable(variables, "#leftSkip");
    layoutVPos += layoutLineHeight + variable(variables, "#lineSkip");
    layoutLineHeight = 0;
}

bool PaneLayoutState::wrapCell(Frame& cell, const Variables& variables) {
    if (cell.right() <= wrapLimit(variables) + 1) return false;
    startNewLine(variables);
    cell.x = layoutHPos;
    cell.y = layoutVPos;
    return true;
}

void PaneLayoutState::advancePastCell(const Frame& cell, const Variables& variables) {
    layoutHPos = cell.right() + variable(variables, "#cellSkip");
    layoutLineHeight = std::max(layoutLineHeight, cell.height);
    layoutContentBottom = std::max(layoutContentBottom, layoutVPos + cell.height);
}

void PaneLayoutState::finishCell(Frame& cell, bool actionOnFinish, const Variables& variables) {
    wrapCell(cell, variables);
    if (actionOnFinish) advancePastCell(cell, variables);
}

void PaneLayoutState::newline(const Variables& variables, std::optional<double> dy) {
    if (layoutHPos != variable(variables, "#leftSkip")) startNewLine(variables);
    if (dy) layoutVPos += *dy;
}

void PaneLayoutState::hskip(double dx, const Variables& variables) {
    layoutHPos += dx;
    if (layoutHPos > wrapLimit(variables)) startNewLine(variables);
}

void PaneLayoutState::hmoveto(double x, const Variables& variables) {
    layoutHPos = x;
    if (layoutHPos > wrapLimit(variables)) startNewLine(variables);
}

void PaneLayoutState::vmoveto(double y, const Variables& variables) {
    layoutHPos = variable(variables, "#leftSkip");
    layoutVPos = y;
    layoutLineHeight = 0;
}

void PaneLayoutState::moveto(double x, double y, const Variables& variables) {
    layoutHPos = x;
    if (layoutHPos > wrapLimit(variables) + 1) startNewLine(variables);
    layoutVPos = y;
    layoutLineHeight = 0;
}

std::size_t PaneLayoutState::nextTabIndex(const std::vector<double>& stops, double groupLeftEdge) const {
    const double pen = layoutHPos + groupLeftEdge;
    return std::size_t(std::upper_bound(stops.begin(), stops.end(), pen) - stops.begin());
}

void PaneLayoutState::tab(const std::vector<double>& stops, double groupLeftEdge, std::optional<int> n,
                          const Variables& variables) {
    const long next = long(nextTabIndex(stops, groupLeftEdge));
    long target = next;
    if (n) target = *n > 0 ? next + *n - 1 : next + *n;
    if (target >= long(stops.size())) {
        startNewLine(variables);
    } else if (target < 0) {
        layoutHPos = variable(variables, "#leftSkip");
    } else {
        layoutHPos = stops[std::size_t(target)] - groupLeftEdge;
    }
    if (layoutHPos > wrapLimit(variables)) startNewLine(variables);
}

PaneLayoutState::KeptLayout PaneLayoutState::keepLayout() const {
    return {layoutHPos, layoutVPos, layoutLineHeight, layoutRightMargin, layoutContentBottom};
}

void PaneLayoutState::restoreLayout(const KeptLayout& kept) {
    layoutHPos = kept.hpos;
    layoutVPos = kept.vpos;
    layoutLineHeight = kept.lineHeight;
    layoutRightMargin = kept.rightMargin;
    layoutContentBottom = kept.contentBottom;
}

void PaneLayoutState::startInnerLayout(double contentWidth, double topMargin, const Variables& variables) {
    layoutContentBottom = 0;
    layoutRightMargin = contentWidth;
    layoutHPos = variable(variables, "#leftSkip");
    layoutVPos = topMargin;
    layoutLineHeight = 0;
}

}  // namespace kl
