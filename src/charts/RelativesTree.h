#pragma once
// RelativesTree: the window-free half of a relatives window (ancestors or
// descendants of one person): the root node, the registers through which a
// person or family finds its nodes (members, famMembers, the counter of
// repeated persons), the tree's shape and row texts as the outline asks for
// them, the reaction to record edits, and the text, script and album forms
// of the rows the outline shows.
//
// What only the window knows (its rows, reloading them, closing) comes in
// through RelativesView, so all of this runs and is tested without widgets.
//
// Ownership: owns the root (and through it every node); shares the column
// style and the records; borrows the model, which outlives the window.
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/TreeItem.h"
#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"

namespace kl {

class GEDCOMModel;
class GEDCOMStructure;
class IndexStyle;
class RecordsList;

// One line of text in a chart box, and its alignment (0 left, 1 right,
// 2 centre).
struct ChartBoxLine {
    std::string text;
    int justify = 0;
    bool operator==(const ChartBoxLine&) const = default;
};

// One shown row of the outline and its outline level.
struct OutlineRow {
    TreeItem* item = nullptr;
    int level = 0;
};

class RelativesView {
public:
    virtual ~RelativesView() = default;
    virtual void reloadOutline() = 0;
    // The rows whose node's individual is the record.
    virtual void reloadRowsOf(const GEDCOMRecord& record) = 0;
    // The node no longer has children to show: show it collapsed.
    virtual void collapseIfNotExpandable(TreeItem& item) = 0;
    virtual void closeWindow() = 0;
    // A node is about to be dropped from the tree.
    virtual void nodeLeaving(const TreeItem&) {}
};

class RelativesTree {
public:
    enum class Kind { Ancestors = 0, Descendants = 1 };
    static constexpr const char* kAncestStyle = "Ancest";
    static constexpr const char* kDescendStyle = "Descend";

    RelativesTree(Kind kind, GEDCOMModel& model, std::shared_ptr<IndexStyle> style, RelativesView* view = nullptr);
    ~RelativesTree();
    RelativesTree(const RelativesTree&) = delete;
    RelativesTree& operator=(const RelativesTree&) = delete;

    // New registers and a new root for the person (the counter from 0).
    void setRootItemRecord(const std::shared_ptr<INDIRecord>& person);
    TreeItem* rootItem() const { return root_.get(); }
    std::shared_ptr<INDIRecord> rootRecord() const;
    Kind kind() const { return kind_; }
    int treeCtrlType() const { return static_cast<int>(kind_); }
    std::string viewStyle() const { return kind_ == Kind::Ancestors ? kAncestStyle : kDescendStyle; }
    GEDCOMModel& gedcomModel() const { return model_; }
    const std::shared_ptr<IndexStyle>& indexStyle() const { return style_; }
    void setIndexStyle(std::shared_ptr<IndexStyle> style) { style_ = std::move(style); }
    void setView(RelativesView* view) { view_ = view; }

    // ---- registers
    // Registers the node; answers the person's first node when the person
    // was in the tree already.
    TreeItem* checkDuplicate(TreeItem& item);
    void addFamMembers(const FAMRecord& family, const INDIRecord* spouse, TreeItem& item);
    void removeFromMembers(TreeItem& item);
    const TreeMembers& members() const { return members_; }
    const TreeMembers& famMembers() const { return famMembers_; }
    int crossRefNum() const { return crossRefNum_; }
    // The person's first node; nullptr when the person is not shown.
    TreeItem* firstNode(const std::string& recordID) const;
    // Called by every node as it leaves the registers.
    void nodeLeaving(const TreeItem& item);

    // ---- tree shape; nullptr is the outline's invisible top
    int numberOfChildrenOfItem(TreeItem* item);
    TreeItem* child(int index, TreeItem* item);
    bool isItemExpandable(TreeItem* item);

    // ---- row texts; column 0 is the outline column. nullopt: no value
    // (the portrait column of a family without the other spouse).
    std::optional<std::string> stringForItem(TreeItem& item, int column);
    // The label a printed row or a chart box puts before a column's value:
    // none for the outline column; a title starting "±" gives none and
    // keeps the line when the value is empty, "-" none, "+" the rest of the
    // title and keeps the line; any other title is given as it is.
    std::string headerValueForColumn(int column, bool& keepLine) const;
    // A chart box's lines: one per style column but the portrait's, its
    // header before the value; an empty value gives no line unless its
    // header keeps it, and an empty line is one space. The first line takes
    // `nameAlignment`, the others their column's.
    std::vector<ChartBoxLine> chartBoxLines(TreeItem& item, int nameAlignment);
    // The title a window's columns are named by.
    std::string windowTitleForDocumentDisplayName(const std::string& displayName) const;

    // ---- live updates; their handlers, each for one notification
    void recordChanged(const Notification& note);
    void structureChanged(const Notification& note);
    void recordDeleted(const Notification& note);
    void handleRecordEdits(const GEDCOMRecord& record);
    static bool isChangedTag(const std::string& tag, const GEDCOMStructure& structure);
    void removeDirectRecord(TreeItem* item, const GEDCOMRecord& record);
    void reloadTreeAfterEdits() { scheduleRedraw(false); }
    // One redraw per turn of the event loop; a close wins over a reload.
    void scheduleRedraw(bool close);
    void finishDynamicTree();
    int redrawFlag() const { return redrawFlag_; }
    // Observes the record edits of the model until dropped.
    void observeEdits();

    // ---- export and listing, over the rows the outline shows
    std::string exportTreeColumns(const std::vector<OutlineRow>& rows, const std::vector<std::string>& fileNameAndDates);
    // Entries of Value: [level, individual (, n)], [level, position],
    // [level, spouse, family]; the internal-script form as described in
    // the header comment of the .cpp.
    Array listedRecords(const std::vector<OutlineRow>& rows, bool internalScript);
    // Adds each row's person (a family row its shown spouse); answers the
    // number of rows that added one.
    int populateAlbum(const std::vector<OutlineRow>& rows, RecordsList& album);
    // Every row of the built and `expanded` branches, in outline order.
    std::vector<OutlineRow> rowsWhere(const std::function<bool(TreeItem&)>& expanded);

private:
    bool ownsRecord(const GEDCOMRecord* record) const;
    void ancestorStructureChanged(GEDCOMRecord& record, const GEDCOMStructure& structure, bool removing);
    void descendantStructureChanged(GEDCOMRecord& record, const GEDCOMStructure& structure, bool removing);
    void collapseIfLeaf(TreeItem& item);
    std::string nameText(const GEDCOMRecord& record, int crossRefNum) const;

    Kind kind_;
    GEDCOMModel& model_;
    std::shared_ptr<IndexStyle> style_;
    RelativesView* view_ = nullptr;
    std::unique_ptr<TreeItem> root_;
    TreeMembers members_;
    TreeMembers famMembers_;
    int crossRefNum_ = 0;
    int redrawFlag_ = 0;
    std::vector<Observation> observations_;
};

}  // namespace kl
