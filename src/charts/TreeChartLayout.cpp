#include "charts/TreeChartLayout.h"

#include <algorithm>

#include "charts/RelativesTree.h"
#include "document/IndexStyle.h"

namespace kl {

// The next free sibling-axis place and the depth of each generation; they
// grow when a branch goes deeper than the chart expected.
struct TreeChartLayout::Lists {
    std::vector<double> start, extent;
    double startValue = 0, extentValue = 0;
    double& startAt(int g) { return grow(start, g, startValue); }
    double& extentAt(int g) { return grow(extent, g, extentValue); }
    static double& grow(std::vector<double>& list, int g, double value) {
        const auto at = static_cast<std::size_t>(std::max(0, g));
        if (at >= list.size()) list.resize(at + 1, value);
        return list[at];
    }
};

TreeChartLayout::TreeChartLayout(RelativesTree& tree, const TreeChartSettings& settings,
                                 const ChartOrientation& orientation)
    : tree_(tree), settings_(settings), orientation_(orientation) {}

TreeChartLayout::~TreeChartLayout() = default;

bool TreeChartLayout::isAncestors() const { return tree_.kind() == RelativesTree::Kind::Ancestors; }

void TreeChartLayout::setSettings(const TreeChartSettings& settings) {
    settings_ = settings;
    changeCellContent();
}

void TreeChartLayout::setMetrics(const ChartTextMetrics& metrics) {
    metrics_ = metrics;
    changeCellContent();
}

double TreeChartLayout::treeRowHeight() const {
    const auto& style = tree_.indexStyle();
    int lines = style ? static_cast<int>(style->numberOfColumns()) : 1;
    if (style && style->hasPortraitColumn()) --lines;
    const double height = 2 * settings_.cellPadding + lines * metrics_.rowHeight - metrics_.rowSpacing;
    return std::max<double>(settings_.rowMinimumHeight, height);
}

// ---- opening and closing

bool TreeChartLayout::opens(TreeItem& item) const { return tree_.isItemExpandable(&item); }

bool TreeChartLayout::isOpen(TreeItem& item) const { return item.expanded() && opens(item); }

void TreeChartLayout::showNode(TreeItem& item) {
    item.chartBox().shown = true;
    item.chartBox().hasButton = opens(item);
}

void TreeChartLayout::showInitial(int initialGenerations) {
    totalGenerations_ = initialGenerations + 1;
    expandItemToLevel(nullptr, totalGenerations_);
    tileTree();
}

void TreeChartLayout::expandItemToLevel(TreeItem* item, int level) {
    if (item) item->setExpanded(true);
    const int count = tree_.numberOfChildrenOfItem(item);
    for (int i = 0; i < count; ++i) {
        TreeItem* child = tree_.child(i, item);
        if (!child) continue;
        showNode(*child);
        if (child->chartBox().hasButton && child->generation() < level) expandItemToLevel(child, level);
    }
}

bool TreeChartLayout::expandItem(TreeItem& item, bool wholeBranch, const TreeItem::ExpansionWait& wait) {
    if (wholeBranch) {
        if (!item.recursiveExpand(wait)) return false;
        totalGenerations_ = std::max(totalGenerations_, TreeItem::treeGenerations() + 1);
    } else if (item.generation() + 1 >= totalGenerations_) {
        ++totalGenerations_;
    }
    expandItemForce(item, wholeBranch);
    tileTree();
    return true;
}

void TreeChartLayout::expandItemForce(TreeItem& item, bool force) {
    item.setExpanded(true);
    const int count = tree_.numberOfChildrenOfItem(&item);
    for (int i = 0; i < count; ++i) {
        TreeItem* child = tree_.child(i, &item);
        if (!child) continue;
        showNode(*child);
        if (!child->chartBox().hasButton) continue;
        if (force)
            expandItemForce(*child, true);
        else if (child->expanded())
            restoreChildrenToView(*child);
    }
}

void TreeChartLayout::collapseItem(TreeItem& item, bool closeAll) {
    item.setExpanded(false);
    removeChildrenFromView(item, closeAll);
    tileTree();
}

void TreeChartLayout::removeChildrenFromView(TreeItem& item, bool closeAll) {
    for (auto& child : item.builtLevel()) {
        child->chartBox().shown = false;
        if (!child->expanded()) continue;
        if (closeAll) child->setExpanded(false);
        removeChildrenFromView(*child, closeAll);
    }
}

void TreeChartLayout::restoreChildrenToView(TreeItem& item) {
    for (auto& child : item.builtLevel()) {
        showNode(*child);
        if (child->expanded()) restoreChildrenToView(*child);
    }
}

bool TreeChartLayout::revealItem(TreeItem& item) {
    if (!item.chartBox().shown) {
        std::vector<TreeItem*> passed;
        for (TreeItem* parent = item.parentCell(); parent; parent = parent->parentCell()) {
            if (parent->chartBox().shown) {
                if (opens(*parent)) {
                    if (parent->generation() + 1 >= totalGenerations_) ++totalGenerations_;
                    expandItemForce(*parent, false);
                }
                break;
            }
            passed.push_back(parent);
        }
        for (auto it = passed.rbegin(); it != passed.rend(); ++it) {
            if (!(*it)->chartBox().shown || !opens(**it)) break;
            if ((*it)->generation() + 1 >= totalGenerations_) ++totalGenerations_;
            expandItemForce(**it, false);
        }
        tileTree();
    }
    return item.chartBox().shown;
}

void TreeChartLayout::showExpandedBranches() {
    std::vector<TreeItem*> stack{tree_.rootItem()};
    while (!stack.empty()) {
        TreeItem* node = stack.back();
        stack.pop_back();
        if (!node) continue;
        node->chartBox().shown = false;
        for (auto& child : node->builtLevel()) stack.push_back(child.get());
    }
    const int count = tree_.numberOfChildrenOfItem(nullptr);
    for (int i = 0; i < count; ++i) {
        TreeItem* node = tree_.child(i, nullptr);
        if (!node) continue;
        showNode(*node);
        if (isOpen(*node)) restoreChildrenToView(*node);
    }
    int deepest = 0;
    for (int i = 0; i < count; ++i) stack.push_back(tree_.child(i, nullptr));
    while (!stack.empty()) {
        TreeItem* node = stack.back();
        stack.pop_back();
        if (!node || !node->chartBox().shown) continue;
        deepest = std::max(deepest, node->generation());
        if (node->expanded())
            for (auto& child : node->builtLevel()) stack.push_back(child.get());
    }
    totalGenerations_ = std::max(totalGenerations_, deepest + 1);
    tileTree();
}

void TreeChartLayout::nodeLeaving(const TreeItem&) {
    // The list holds the leaving node; the next tiling makes it anew, and
    // nothing tiles while the tree is in the middle of its change.
    shown_.clear();
    if (poster_) setNeedsRetile();
}

void TreeChartLayout::resetHeights() {
    std::vector<TreeItem*> stack{tree_.rootItem()};
    while (!stack.empty()) {
        TreeItem* node = stack.back();
        stack.pop_back();
        if (!node) continue;
        node->chartBox().fittedHeight = 0;
        for (auto& child : node->builtLevel()) stack.push_back(child.get());
    }
}

void TreeChartLayout::changeCellContent() {
    resetHeights();
    tileTree();
}

// ---- tiling

void TreeChartLayout::setNeedsRetile() {
    if (needsRetile_) return;
    if (!poster_) {
        tileTree();
        return;
    }
    needsRetile_ = true;
    poster_([this] {
        needsRetile_ = false;
        tileTree();
    });
}

double TreeChartLayout::moveFrame(TreeItem& item, double x, double y) {
    ChartBox& box = item.chartBox();
    // A node an edit brought under an open one is shown from now on.
    box.shown = true;
    box.hasButton = opens(item);
    double depth = defaultDepth_, height = defaultHeight_;
    if (orientation_.horizontal && item.spouseRecord()) {
        x += settings_.spouseIndent;
        depth -= settings_.spouseIndent;
    }
    if (box.fittedHeight > 0.5) (orientation_.horizontal ? height : depth) = box.fittedHeight;
    box.frame = {x, y, depth, height};
    shown_.push_back(&item);
    const double far = x + depth;
    if (!box.hasButton) return far;
    box.button = {far + (settings_.columnSpacing - kButtonSize) / 2, y + (height - kButtonSize) / 2, kButtonSize,
                  kButtonSize};
    return box.button.right();
}

void TreeChartLayout::shiftTop(TreeItem& item, double top) {
    ChartBox& box = item.chartBox();
    box.button.y += top - box.frame.y;
    box.frame.y = top;
}

void TreeChartLayout::tileTree() {
    needsRetile_ = false;
    shown_.clear();
    const bool horizontal = orientation_.horizontal;
    const double rowHeight = treeRowHeight();
    Lists lists;
    if (horizontal) {
        lists.startValue = settings_.topMargin;
        lists.extentValue = settings_.rowWidth;
        defaultDepth_ = settings_.rowWidth;
        defaultHeight_ = rowHeight;
    } else {
        lists.startValue = settings_.leftMargin;
        lists.extentValue = rowHeight;
        defaultDepth_ = rowHeight;
        defaultHeight_ = settings_.rowWidth;
    }
    lists.startAt(totalGenerations_);
    lists.extentAt(totalGenerations_);
    // The top level is placed as the children of a node above generation 0.
    double firstTop = 0, lastBottom = 0;
    const double far = tileChildren(nullptr, lists, settings_.leftMargin, lists.startValue, firstTop, lastBottom);
    double length = 0;
    for (int g = 0; g < totalGenerations_ && g < static_cast<int>(lists.start.size()); ++g)
        length = std::max(length, lists.start[static_cast<std::size_t>(g)]);

    if (horizontal) {
        chartFrame_ = {0, 0, far + settings_.columnSpacing / 2, length};
    } else {
        // Every top-level box starts the first row; the rows below follow.
        for (int i = 0, count = tree_.numberOfChildrenOfItem(nullptr); i < count; ++i)
            if (TreeItem* node = tree_.child(i, nullptr)) adjustVerticalRowStart(*node, settings_.topMargin, lists.extent);
        double bottom = 0;
        for (TreeItem* node : shown_) {
            ChartBox& box = node->chartBox();
            box.frame = {box.frame.y, box.frame.x, box.frame.height, box.frame.width};
            bottom = std::max(bottom, box.frame.bottom());
            if (box.hasButton) {
                box.button = {box.button.y, box.button.x, box.button.height, box.button.width};
                bottom = std::max(bottom, box.button.bottom());
            }
        }
        chartFrame_ = {0, 0, length, bottom + settings_.topMargin};
    }
    if (tiled_) tiled_();
}

double TreeChartLayout::tileChildren(TreeItem* item, Lists& lists, double position, double minTop, double& firstTop,
                                     double& lastBottom) {
    const int g = item ? std::max(0, item->generation()) : -1;
    const bool ancestors = isAncestors();
    double top = std::max(lists.startAt(g + 1), minTop);
    double far = 0;
    const double childX = position + defaultDepth_ + settings_.columnSpacing;
    TreeItem* previous = nullptr;
    const int count = tree_.numberOfChildrenOfItem(item);
    for (int i = 0; i < count; ++i) {
        TreeItem* child = tree_.child(i, item);
        if (!child) continue;
        const bool pair = previous && !previous->spouseRecord();
        if (opens(*child)) {
            top = std::max(top, lists.startAt(g + 2));
            if (child->spouseRecord() && pair) shiftTop(*previous, top - settings_.rowSpacing - height(previous));
        }
        const bool open = isOpen(*child);
        double childFirst = 0, childLast = 0;
        if (open) {
            double least = top;
            if (!ancestors && pair && child->numberOnNextLevel() >= 2)
                least = top - height(previous) - settings_.rowSpacing;
            far = std::max(far, tileChildren(child, lists, childX, least, childFirst, childLast));
        }
        far = std::max(far, moveFrame(*child, position, top));
        if (!orientation_.horizontal)
            lists.extentAt(g + 1) = std::max(lists.extentAt(g + 1), child->chartBox().frame.width);
        if (orientation_.centered && open) {
            if (ancestors || !pair) {
                shiftTop(*child, std::max(childFirst, (childFirst + childLast - height(child)) / 2));
            } else {
                const double t = std::max(childFirst, (childFirst + childLast - height(child) - height(previous) -
                                                       settings_.rowSpacing) /
                                                          2);
                shiftTop(*previous, t);
                shiftTop(*child, t + height(previous) + settings_.rowSpacing);
                if (i == 1) firstTop = t;
            }
        }
        if (i == 0) firstTop = sibling(*child);
        if (i == count - 1) lastBottom = sibling(*child) + height(child);
        top = sibling(*child) + height(child) + settings_.rowSpacing;
        previous = child;
    }
    lists.startAt(g + 1) = std::max(lists.startAt(g + 1), top);
    return far;
}

void TreeChartLayout::adjustVerticalRowStart(TreeItem& item, double start, const std::vector<double>& extents) {
    ChartBox& box = item.chartBox();
    if (!box.shown) return;
    box.frame.x = start;
    const auto g = static_cast<std::size_t>(std::max(0, item.generation()));
    const double depth = g < extents.size() ? extents[g] : defaultDepth_;
    const double next = depth + start + settings_.columnSpacing;
    if (box.hasButton) box.button.x = next - settings_.columnSpacing / 2 - kButtonSize / 2;
    // The root of a descendants chart shares its row with its families,
    // which the chart shows beside it at the top level.
    if (!isAncestors() && !item.parentCell()) return;
    if (!isOpen(item)) return;
    for (auto& child : item.builtLevel()) adjustVerticalRowStart(*child, next, extents);
}

// ---- orientation

bool TreeChartLayout::makeOrientation(const ChartOrientation& orientation) {
    if (orientation == orientation_) return false;
    const bool portraitChanged = orientation.portraitLeft != orientation_.portraitLeft;
    orientation_ = orientation;
    if (portraitChanged) resetHeights();
    tileTree();
    ChartOrientation::setDefaultFor(kindIndex(), orientation_);
    return true;
}

bool TreeChartLayout::changeOrientation(int tag) {
    ChartOrientation wanted = ChartOrientation::forTag(tag, orientation_.portraitLeft);
    return makeOrientation(wanted);
}

bool TreeChartLayout::changePortraitOrientation(int tag) {
    ChartOrientation wanted = orientation_;
    wanted.portraitLeft = 4607 - tag != 0;
    return makeOrientation(wanted);
}

bool TreeChartLayout::defaultOrientation() {
    const ChartOrientation wanted = ChartOrientation::defaultFor(kindIndex());
    return makeOrientation(wanted);
}

// ---- connectors

std::vector<ChartSegment> TreeChartLayout::connectors() const {
    std::vector<ChartSegment> out;
    ChartRect previous;
    const int count = tree_.numberOfChildrenOfItem(nullptr);
    for (int i = 0; i < count; ++i) {
        TreeItem* node = tree_.child(i, nullptr);
        if (!node || !node->chartBox().shown) continue;
        if (node->spouseRecord())
            previous = strokeToSpouse(*node, previous, out);
        else
            previous = node->chartBox().frame;
        if (opens(*node)) strokeToChildren(*node, out);
    }
    return out;
}

// A horizontal chart's bus runs down the gap after the box; a vertical
// chart's runs across the gap above the children's row.
void TreeChartLayout::strokeToChildren(TreeItem& item, std::vector<ChartSegment>& out) const {
    const ChartBox& box = item.chartBox();
    const ChartRect f = box.frame;
    const double half = settings_.columnSpacing / 2;
    const bool horizontal = orientation_.horizontal;
    const double middle = horizontal ? f.y + f.height / 2 : f.x + f.width / 2;
    double bus = horizontal         ? f.right() + half
                 : box.hasButton    ? box.button.y + kButtonSize / 2
                                    : f.bottom() + half;
    // The stub leads to the expand button, open or not.
    out.push_back(horizontal ? ChartSegment{f.right(), middle, bus, middle} : ChartSegment{middle, f.bottom(), middle, bus});
    if (!item.expanded()) return;
    double low = middle, high = middle;
    ChartRect previous = f;
    for (auto& child : item.builtLevel()) {
        if (!child->chartBox().shown) continue;
        const ChartRect k = child->chartBox().frame;
        if (child->spouseRecord()) {
            previous = strokeToSpouse(*child, previous, out);
        } else {
            previous = k;
            const double m = horizontal ? k.y + k.height / 2 : k.x + k.width / 2;
            if (horizontal) {
                out.push_back({bus, m, k.x, m});
            } else {
                out.push_back({m, bus, m, k.y});
                bus = k.y - half;
            }
            low = std::min(low, m);
            high = std::max(high, m);
        }
        if (!child->builtLevel().empty()) strokeToChildren(*child, out);
    }
    if (high > low) out.push_back(horizontal ? ChartSegment{bus, low, bus, high} : ChartSegment{low, bus, high, bus});
}

ChartRect TreeChartLayout::strokeToSpouse(const TreeItem& family, const ChartRect& p,
                                          std::vector<ChartSegment>& out) const {
    if (!family.chartBox().shown) return {};
    const ChartRect q = family.chartBox().frame;
    const bool dashed = family.isUnmarried();
    if (orientation_.horizontal) {
        const double x0 = p.right() - settings_.rowWidth / 2 - 2;
        out.push_back({x0, p.bottom(), x0, q.y, dashed});
        out.push_back({x0 + 4, p.bottom(), x0 + 4, q.y, dashed});
    } else {
        const double y0 = std::min(p.y + p.height / 2 - 2, q.y + q.height / 2 - 2);
        out.push_back({p.right(), y0, q.x, y0, dashed});
        out.push_back({p.right(), y0 + 4, q.x, y0 + 4, dashed});
    }
    return q;
}

}  // namespace kl
