#pragma once
// TreeItem: one node of a relatives tree (an ancestors or a descendants
// tree). A node stands for a person or, in a descendants tree, a family; its
// next level is made the first time anybody asks for it and never beyond the
// generation limit. The three states of the next level (not built, the none
// mark, a list) stay apart.
//
// A whole branch can be built on a worker thread (recursiveExpand) while the
// main thread waits under a progress panel; the expansion's state is
// class-wide, so one runs at a time.
//
// Ownership: a node owns its next level; the parent and the tree are
// borrowed. Records are retained (shared_ptr), so a deleted record stays
// readable while its node still exists.
// Thread: main thread, except expandThread() on the branch worker while the
// main thread only polls the atomics.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/KLProgress.h"

namespace kl {

class GEDCOMRecord;
class INDIRecord;
class FAMRecord;
class RelativesTree;
class TreeItem;

// A rectangle of a tree chart: points, y growing downwards.
struct ChartRect {
    double x = 0, y = 0, width = 0, height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool intersects(const ChartRect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
    bool operator==(const ChartRect&) const = default;
};

// Where a node stands in a tree chart: its box and, when it can be opened,
// its 13-point expand button. `fittedHeight` is the box's own height once
// it fitted its text (0 until then, or after a reset).
struct ChartBox {
    ChartRect frame;
    ChartRect button;
    double fittedHeight = 0;
    bool shown = false;
    bool hasButton = false;
};

// Record ID -> the nodes registered under it, in order of making.
using TreeMembers = std::unordered_map<std::string, std::vector<TreeItem*>>;

class TreeItem : public KLProgress {
public:
    enum class LevelState { NotBuilt, None, Built };
    using Level = std::vector<std::unique_ptr<TreeItem>>;

    explicit TreeItem(TreeItem* parentCell);
    ~TreeItem() override;
    TreeItem(const TreeItem&) = delete;
    TreeItem& operator=(const TreeItem&) = delete;

    // ---- overridable
    // Takes the record's nodes out of the next level; answers the level's
    // new count, 0 when it is gone.
    virtual int removeRecord(const GEDCOMRecord* record);
    virtual void removeChildrenFromMembers(TreeMembers& members, TreeMembers& famMembers);
    // The next level, built on first use; nullptr for the none mark.
    virtual Level* nextLevel();
    virtual std::shared_ptr<GEDCOMRecord> individual() const { return nullptr; }
    virtual char16_t individualSex() const { return u'M'; }
    virtual bool isAncestor() const { return false; }
    virtual bool spouseRecord() const { return false; }
    virtual std::shared_ptr<GEDCOMRecord> itemRecord() const;
    virtual bool isUnmarried() const { return false; }

    // -1 for the none mark.
    int numberOnNextLevel();
    TreeItem* treeChildAtIndex(int index);
    // Back to not built (the old level is dropped).
    void resetNextLevel();
    void setNoneMark();
    LevelState levelState() const { return state_; }
    // The level as built so far, without building: empty unless Built.
    const Level& builtLevel() const { return level_; }
    int indexOfChild(const TreeItem* child) const;

    TreeItem* parentCell() const { return parentCell_; }
    int generation() const { return generation_; }
    void setGeneration(int generation) { generation_ = generation; }
    bool expanded() const { return expanded_; }
    void setExpanded(bool expanded) { expanded_ = expanded; }
    int crossRefNum() const { return crossRefNum_; }
    void setCrossRefNum(int number) { crossRefNum_ = number; }
    RelativesTree* treeController() const { return treeController_; }
    // The node's place in a tree chart; `expanded` is the chart's "open".
    ChartBox& chartBox() { return chartBox_; }
    const ChartBox& chartBox() const { return chartBox_; }

    // ---- the generation limit and the branch expansion (class-wide)
    static void setMaxGenerations(int generations);
    static int maxGenerations();
    // The deepest generation reached by the last branch expansion.
    static int treeGenerations();
    static int visitedCount();

    // The main thread's wait for the worker: returns once the worker has
    // ended or the user cancelled (calling cancelAction()).
    using ExpansionWait = std::function<void(TreeItem& task)>;
    // Builds this node's whole branch on a worker while `wait` runs; true
    // when the whole branch was built.
    bool recursiveExpand(const ExpansionWait& wait);
    void expandThread();
    void expandChildren();
    // Whether the last expansion's worker has ended, however it ended.
    static bool expansionEnded();

    // KLProgress
    double fractionDone() override { return 0.0; }
    std::optional<std::string> updateStatusField() override;
    bool stillRunning() override;
    void cancelAction() override;

    // ---- level edits, for the node kinds and the live updates
    // Appends or inserts a node (the level becomes Built when it was not).
    TreeItem* appendChild(std::unique_ptr<TreeItem> child);
    TreeItem* insertChild(std::unique_ptr<TreeItem> child, std::size_t at);
    // Takes the node at `at` out: it leaves the registers and is dropped.
    void takeOutChild(std::size_t at);

protected:
    void markBuilt();

    TreeItem* parentCell_ = nullptr;
    LevelState state_ = LevelState::NotBuilt;
    Level level_;
    int generation_ = 0;
    bool expanded_ = false;
    RelativesTree* treeController_ = nullptr;
    int crossRefNum_ = 0;
    ChartBox chartBox_;
};

}  // namespace kl
