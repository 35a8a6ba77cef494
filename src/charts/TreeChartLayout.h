#pragma once
// TreeChartLayout: the places of a relatives tree drawn as a chart. Every
// shown node has a box and, when it can be opened, an expand button; the
// layout opens and closes branches, and tiles the whole chart again from
// its top level after every change (never incrementally): generations as
// columns or rows, parents level with or centred on their children, a
// family box beside the person it belongs to. It also gives the connector
// lines between the boxes as segments, for whoever draws them.
//
// Box heights start at the default height (from the text metrics and the
// number of style columns) and change when a box fits its own text; the
// fitted height is kept until the font, style, sizes or portrait side
// change.
//
// Ownership: borrows the tree, which outlives it; the places live in the
// nodes (TreeItem::chartBox). Thread: main thread.
#include <functional>
#include <vector>

#include "charts/TreeChartSettings.h"
#include "charts/TreeItem.h"

namespace kl {

class RelativesTree;

// The chart font's line height (of an "X") and its leading.
struct ChartTextMetrics {
    double rowHeight = 12;
    double rowSpacing = 0;
};

// A line to draw, in chart coordinates.
struct ChartSegment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool dashed = false;
    bool operator==(const ChartSegment&) const = default;
};

class TreeChartLayout {
public:
    static constexpr double kButtonSize = 13;
    // Runs a call on the next turn of the event loop.
    using Poster = std::function<void(std::function<void()>)>;

    TreeChartLayout(RelativesTree& tree, const TreeChartSettings& settings, const ChartOrientation& orientation);
    ~TreeChartLayout();
    TreeChartLayout(const TreeChartLayout&) = delete;
    TreeChartLayout& operator=(const TreeChartLayout&) = delete;

    RelativesTree& tree() const { return tree_; }
    const TreeChartSettings& settings() const { return settings_; }
    // New sizes: every box fits itself again.
    void setSettings(const TreeChartSettings& settings);
    const ChartTextMetrics& metrics() const { return metrics_; }
    // A new font: every box fits itself again.
    void setMetrics(const ChartTextMetrics& metrics);
    const ChartOrientation& orientation() const { return orientation_; }
    bool isAncestors() const;

    // The box height before a box fitted itself.
    double treeRowHeight() const;

    // ---- opening and closing
    // The top level, and every generation below `initialGenerations`.
    void showInitial(int initialGenerations);
    // Shows the node's children (the top level for nullptr), opening those
    // whose generation is below `level`.
    void expandItemToLevel(TreeItem* item, int level);
    // Opens a node, or with `wholeBranch` builds its whole branch first
    // (false, and nothing changes, when that was cancelled); then tiles.
    bool expandItem(TreeItem& item, bool wholeBranch, const TreeItem::ExpansionWait& wait = nullptr);
    // Shows the children; with `force` opens everything below, else
    // brings back what was open in the branch.
    void expandItemForce(TreeItem& item, bool force);
    // Hides everything below; with `closeAll` the open sub-branches
    // come back closed.
    void collapseItem(TreeItem& item, bool closeAll);
    // Shows the node's box, opening the branches above it; false when it
    // cannot be shown.
    bool revealItem(TreeItem& item);
    int totalGenerations() const { return totalGenerations_; }
    // Shows the top level and every branch whose nodes are marked
    // expanded (the outline's open rows), then tiles.
    void showExpandedBranches();

    // ---- tiling
    void tileTree();
    // Asks for a tiling on the next turn (one however often asked); at
    // once without a poster.
    void setNeedsRetile();
    bool needsRetile() const { return needsRetile_; }
    void setPoster(Poster poster) { poster_ = std::move(poster); }
    // Called after every tiling.
    void setTiledHandler(std::function<void()> handler) { tiled_ = std::move(handler); }
    ChartRect chartFrame() const { return chartFrame_; }
    // The shown nodes in tiling order, as of the last tiling.
    const std::vector<TreeItem*>& shownNodes() const { return shown_; }
    // A node leaves the tree: it is forgotten until the next tiling.
    void nodeLeaving(const TreeItem& item);
    // Every box takes the default height again (then tiles).
    void changeCellContent();

    // ---- orientation
    // Stores it; a new portrait side resets the box heights; tiles; the
    // kind's class default takes it. False when nothing changed.
    bool makeOrientation(const ChartOrientation& orientation);
    bool changeOrientation(int tag);
    bool changePortraitOrientation(int tag);
    // Back to the kind's class default when different.
    bool defaultOrientation();

    // ---- drawing data
    std::vector<ChartSegment> connectors() const;

private:
    struct Lists;
    int kindIndex() const { return isAncestors() ? 0 : 1; }
    void showNode(TreeItem& item);
    void removeChildrenFromView(TreeItem& item, bool closeAll);
    void restoreChildrenToView(TreeItem& item);
    void resetHeights();
    // Places the children of a node (the top level for nullptr) and all
    // shown below them; answers the farthest generation-axis edge.
    double tileChildren(TreeItem* item, Lists& lists, double position, double minTop, double& firstTop,
                        double& lastBottom);
    double moveFrame(TreeItem& item, double x, double y);
    void shiftTop(TreeItem& item, double top);
    void adjustVerticalRowStart(TreeItem& item, double start, const std::vector<double>& extents);
    bool opens(TreeItem& item) const;
    bool isOpen(TreeItem& item) const;
    static double sibling(const TreeItem& item) { return item.chartBox().frame.y; }
    static double height(const TreeItem* item) { return item ? item->chartBox().frame.height : 0; }
    void strokeToChildren(TreeItem& item, std::vector<ChartSegment>& out) const;
    ChartRect strokeToSpouse(const TreeItem& family, const ChartRect& previous, std::vector<ChartSegment>& out) const;

    RelativesTree& tree_;
    TreeChartSettings settings_;
    ChartOrientation orientation_;
    ChartTextMetrics metrics_;
    int totalGenerations_ = 1;
    bool needsRetile_ = false;
    Poster poster_;
    std::function<void()> tiled_;
    ChartRect chartFrame_;
    std::vector<TreeItem*> shown_;
    double defaultDepth_ = 0, defaultHeight_ = 0;
};

}  // namespace kl
