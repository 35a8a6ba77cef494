#pragma once
// RelativesController: an ancestors or descendants window of one person of
// a document: an outline of the person's tree (RelativesTree) whose rows
// are built as they are opened, with the tree style's columns, a toolbar
// "relativesToolBar", and the commands to refresh, expand a whole branch
// (on a worker, behind the progress panel), export the rows as text and
// send the shown people to an album. It follows every edit of the document
// and closes itself when its person is deleted.
//
// The window is one of its document's windows (DocumentWindows, as a
// RelativesWindow), so the document finds it again for the same person and
// kind. AncestorController and DescendantController give the kind.
//
// Ownership: the document's window list owns the window's controller
// entry, which deletes the window when the list goes; closing the window
// deletes it and takes it off the list. Borrows the document, its window
// list and the user defaults, which outlive it. Thread: main thread.
#include <QPointer>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/ui/GEDCOMWindowController.h"
#include "charts/ChartBoxCommands.h"
#include "charts/RelativesTree.h"
#include "foundation/NotificationCenter.h"

class QAction;
class QMenu;
class QStackedWidget;
class QTreeView;

namespace kl {
class DocumentMenus;

class DocumentWindows;
class GEDCOMDocument;
class IndexStyleLibrary;
class IndexToolbarWidget;
class IndexWindow;
class RelativesOutlineModel;
class SelectRecordController;
class TreeChartScrollView;
class TreeChartView;
class UserDefaults;

class RelativesController : public GEDCOMWindowController, public RelativesView {
    Q_OBJECT
public:
    static constexpr const char* kFrameName = "RelativesWindow";
    static constexpr const char* kInitialGenerations = "Initial Generations";
    static constexpr const char* kMaximumGenerations = "Maximum Generations";
    static constexpr int kExportTag = 1102;
    // Whether a new window shows a chart first; later the last switch of
    // any window decides.
    static constexpr const char* kChartModeFirst = "Use Tree Chart Mode First";
    static constexpr int kPageLinesTag = 4605;

    // Lets index windows open relatives windows, and sets the generation
    // limit, the first mode and the chart orientations from the user
    // defaults.
    static void install(UserDefaults& defaults);
    // The document's command behind the toolbar's and the Trees menu's
    // Ancestors (4001) and Descendants (4002): a family stands for its
    // husband, else its wife; an open window of that person and kind comes
    // to the front. False when there is no one to show.
    static bool openAncestorsOrDescendants(IndexWindow& index, int tag);

    RelativesController(RelativesTree::Kind kind, GEDCOMDocument& doc, DocumentWindows& windows,
                        std::shared_ptr<IndexStyleLibrary> styles, UserDefaults& defaults,
                        const QString& documentName);
    ~RelativesController() override;

    // A new tree for the person, opened `generations` levels deep.
    void initForRecord(const std::shared_ptr<INDIRecord>& person, int generations);

    RelativesTree& tree() const { return *tree_; }
    QTreeView* relatives() const { return outline_; }
    RelativesOutlineModel* outlineModel() const { return model_; }
    IndexToolbarWidget* toolbar() const { return toolbar_; }
    // The chart, made on the first switch to it; nullptr before.
    TreeChartView* chart() const { return chart_; }
    TreeChartScrollView* chartScrollView() const { return chartScroll_; }
    bool chartMode() const { return chartMode_; }
    std::shared_ptr<INDIRecord> rootRecord() const { return tree_->rootRecord(); }
    std::string viewStyle() const { return tree_->viewStyle(); }

    // ---- commands
    void expandListToLevel(int levels);
    // "Refresh": a new tree for the same person, to "Initial Generations".
    void restartTheTree();
    // Builds the row's whole branch on a worker and shows it expanded;
    // false when cancelled (the row stays as it was).
    bool expandBranch(const QModelIndex& index);
    // "ToggleView" and Trees > Chart Mode / Outline Mode: the other view,
    // with the same branches open.
    void toggleDisplayMode();
    void setChartMode(bool chart);
    // A chart's expand button: opens the node, or builds and opens its
    // whole branch behind the progress panel.
    bool chartExpandItem(TreeItem& item, bool wholeBranch);
    // A double click on a chart box; `family` opens a family box's family.
    void openChartItem(TreeItem& item, bool family);
    // File > Export > Tree Data... (outline) or Tree Chart... (chart, as
    // PDF): asks for the file, then writes it.
    void exportWindowData();
    // Writes the shown rows as tab-separated UTF-8 text in one step; on
    // failure the alert is shown and false answered.
    bool exportWindowDataTo(const std::string& path);
    bool exportChartTo(const std::string& path);
    // Albums > Send Tree Members to Album: the album of the tag (4501 a
    // new one), as one undo step.
    void populateAlbum(int tag);
    // Reports > Ahnentafel Report... and All Relatives Report... (on the
    // selected row's person) and Family Tree Report... (on the rows shown):
    // the options sheet, then the report. Beeps without a subject.
    void relativesReport(int tag);
    // A double click: a later appearance shows the first one, any other
    // row opens its record.
    void openItem(const QModelIndex& index);
    bool revealItem(TreeItem* item, bool select);
    bool performCommand(int tag);
    // File > Print...: the chart in chart mode, else the outline's open
    // rows as shown; answers the pages printed (0: cancelled).
    int printWithDialog(bool showPanel, const std::optional<Dictionary>& settings = std::nullopt);
    // A chart box's "Set No Portrait": the selected box's individual is
    // marked as having no portrait, as one undo step.
    void setNoPortrait();
    // A chart box's open and edit commands, put in front of its menu for
    // the records the box shows now; boxCommand runs one of them (tags 0 and
    // 2-21), asking for a record or the new family's people first where
    // the command needs them.
    void addBoxCommands(QMenu& menu, TreeItem& item);
    bool boxCommand(int tag);
    // Records > New, Home Records, Read to Me and the searches, for the
    // selected box or row.
    DocumentMenus* documentMenus() const { return documentMenus_; }
    // A column dragged to another place: the outline column stays first
    // (moves of or onto it are undone); others move in the tree style,
    // which tells every window of the kind.
    void treeColumnMoved(int oldPlace, int newPlace);
    // Stores a column's new width in the style; the same width stores and
    // tells nothing.
    void treeColumnResized(int column, int width);
    static constexpr const char* kTreeStyleChanged = "Tree Style Changed Notification";
    static constexpr const char* kTreeStyleNeedsReload = "Tree Style Needs Reload Notification";
    static constexpr const char* kOrientationChanged = "Tree Orientation Changed in Preferences";
    // Asks, then replaces the kind's style by the bundled one in every
    // window of the kind.
    void revertToDefaultColumns();
    // Column commands: 3301 add and 3302 modify (the column sheet), 3303
    // remove (after asking), 3304 show or hide the portrait column. Modify
    // and remove act on the highlighted column, in outline mode only.
    void columnCommand(int tag);
    // A header click highlights a style column; the portrait column beeps.
    void highlightColumn(int column);
    int highlightedColumn() const { return highlighted_; }
    // Whether a command's item is enabled now, and its title when it
    // changes with the window's state (empty when not).
    bool validateTag(int tag) const;
    QString titleForTag(int tag) const;

    // The rows shown, in outline order.
    std::vector<OutlineRow> shownRows() const;
    Array listedRows(bool internalScript) { return tree_->listedRecords(shownRows(), internalScript); }
    Record selectedRecord() override;
    std::optional<Records> selectedRecords() override;
    int beeps() const { return beeps_; }
    void beep();

    // ---- RelativesView
    void reloadOutline() override;
    void reloadRowsOf(const GEDCOMRecord& record) override;
    void collapseIfNotExpandable(TreeItem& item) override;
    void closeWindow() override;
    void nodeLeaving(const TreeItem& item) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Entry;
    void buildToolbar();
    void buildMenus();
    void applyFontAndColors();
    // The style's columns again, keeping what is open.
    void rebuildColumns();
    void observeSettings();
    void revertStyle();
    void makeChart();
    void dropChart();
    TreeItem::ExpansionWait branchWait();
    void updateModeItems();
    // Enables and retitles the toolbar's and menus' items.
    void validateItems();

    GEDCOMDocument& doc_;
    DocumentWindows& windows_;
    std::shared_ptr<IndexStyleLibrary> styles_;
    UserDefaults& defaults_;
    QString documentName_;
    std::unique_ptr<RelativesTree> tree_;
    Entry* entry_ = nullptr;  // owned by the window list
    QTreeView* outline_ = nullptr;
    RelativesOutlineModel* model_ = nullptr;
    IndexToolbarWidget* toolbar_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    TreeChartScrollView* chartScroll_ = nullptr;
    TreeChartView* chart_ = nullptr;
    bool chartMode_ = false;
    QAction* modeItem_ = nullptr;
    QAction* exportItem_ = nullptr;
    DocumentMenus* documentMenus_ = nullptr;  // a child
    BoxRecords boxRecords_;  // of the box whose menu opened last
    SelectRecordController* boxPicker_ = nullptr;  // a child
    std::vector<Observation> settingNotes_;
    static bool chartModeFirst_;
    // The nodes the outline shows expanded, kept over reloads.
    std::unordered_set<const TreeItem*> expanded_;
    bool restoring_ = false;
    bool ignoreMove_ = false;
    bool ignoreSizeChanges_ = false;
    int beeps_ = 0;
    int highlighted_ = -1;
    class ColumnSheet* columnSheet_ = nullptr;
};

class AncestorController : public RelativesController {
public:
    template <class... Args>
    explicit AncestorController(Args&&... args)
        : RelativesController(RelativesTree::Kind::Ancestors, std::forward<Args>(args)...) {}
};

class DescendantController : public RelativesController {
public:
    template <class... Args>
    explicit DescendantController(Args&&... args)
        : RelativesController(RelativesTree::Kind::Descendants, std::forward<Args>(args)...) {}
};

}  // namespace kl
