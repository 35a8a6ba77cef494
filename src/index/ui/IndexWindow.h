#pragma once
// IndexWindow: the main window of an open database. The lists table on the
// left, the records table of the selected list on the right and the GEDCOM
// source pane below it, in two splitters; the IndexController decides what
// they show and the window only draws it, handing header clicks, column
// drags and resizes, selections and activations back to the controller.
// Reloads asked for while handling notifications are done once, on the next
// turn of the event loop, however many were asked for.
//
// Once the window is up (on the next turn) it tells what the read found
// wrong, one alert after the other, and a new untitled database without
// individuals asks for its first people.
//
// The window's commands are reached by their menu tags (performCommand),
// validated and retitled through the controller (validateMenuTag); the
// toolbar ("indexToolBar") sends its items' tags to performCommand, and the
// column sheet opens on the window. The window frame and the split
// positions are kept in the user defaults.
//
// Ownership: owns the document's DocumentWindows, whose first controller is
// this window's IndexController; shares the column-style library; borrows
// the document and the user defaults, which outlive it. The document
// controller owns the window. Thread: main thread.
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/MergeController.h"
#include "document/RecordsList.h"
#include "index/AddColumnMenu.h"
#include "index/IndexMenuValidation.h"
#include "index/IndexToolbar.h"
#include "index/IndexView.h"
#include "index/OpeningWarnings.h"
#include "app/AlertButtons.h"

class QAction;
class QMimeData;
class QMenu;
class QSplitter;
class QTableView;

namespace kl {

class MergeOptions;

class DocumentMenus;
class SearchPanel;
class SelectRecordController;
class AddColumnToolButton;
class BrowserWindow;
class GEDCOMRecord;
class ColumnSheet;
class DocumentUI;
class GEDCOMObject;
class GEDCOMTextView;
class IndexScriptHost;
class IndexFindField;
class DocController;
class DocumentWindows;
class GEDCOMDocument;
class IndexController;
class IndexStyleLibrary;
class IndexToolbarWidget;
class ListsTableModel;
class RecordsTableModel;
class UserDefaults;

class IndexWindow : public QMainWindow, public IndexView {
    Q_OBJECT
public:
    const void* platformWindow() const override { return static_cast<const QWidget*>(this); }
    static constexpr const char* kFrameName = "KinloreIndexWindow";
    static constexpr const char* kVertDivider = "KinloreIndexWindowVertDivider";
    static constexpr const char* kHorizDivider = "KinloreIndexWindowHorizDivider";
    static constexpr const char* kShowSourceEditor = "Show GEDCOM Source Editor";

    IndexWindow(GEDCOMDocument& doc, std::shared_ptr<IndexStyleLibrary> styles, UserDefaults& defaults,
                QWidget* parent = nullptr);
    ~IndexWindow() override;

    // Makes every document the controller opens show in an index window,
    // with one style library for the run, saved when the program quits.
    static void installWindowFactory(DocController& controller, UserDefaults& defaults);
    // Makes the record browsers of every document's window list.
    using BrowserFactory = std::function<std::shared_ptr<BrowserWindow>(
        GEDCOMDocument&, DocumentWindows&, const std::shared_ptr<GEDCOMRecord>&, BrowserWindow* parent,
        const std::string& paneID)>;
    static void installBrowserFactory(BrowserFactory factory);
    // The split positions' keys in the user defaults.
    static std::string dividerKey(const char* name) { return std::string("NSSplitView Subview Frames ") + name; }

    GEDCOMDocument& document() const { return doc_; }
    IndexController& controller() const;
    DocumentWindows& documentWindows() const { return *windows_; }
    QTableView* listsTable() const { return listsTable_; }
    QTableView* recordsTable() const { return recordsTable_; }
    RecordsTableModel* recordsModel() const { return recordsModel_; }
    ListsTableModel* listsModel() const { return listsModel_; }
    QSplitter* verticalSplit() const { return verticalSplit_; }
    QSplitter* recordsSplit() const { return recordsSplit_; }
    GEDCOMTextView* sourcePane() const { return source_; }

    // ---- commands, by menu tag
    // Runs the command of a tag; false for a tag the window does not serve.
    bool performCommand(int tag);
    MenuAnswer validateMenuTag(int tag);
    // Enables the action by its tag (its data()), and retitles it when
    // asked (menu items are, toolbar items are not).
    void validateAction(QAction* action, bool retitle);
    // The add-column menu's items and the choice of one: a shown column is
    // deleted after the confirmation, the custom item opens the sheet.
    const std::vector<AddColumnItem>& addColumnItems() const { return addColumnItems_; }
    void choosePredefinedColumn(const AddColumnItem& item);
    // 3301 (a new column) or 3302 (the highlighted column).
    void editIndexColumn(int tag);
    // Asks, then deletes the style column; -1 for the highlighted one.
    void deleteIndexColumn(int styleColumn = -1);
    // Shows or hides the source pane, committing its edits first; the
    // pane comes back at the share of the split it had when hidden. Only
    // the user's command (fromUser) is remembered in the defaults.
    void showGEDCOMEditor(bool show, bool fromUser = true);
    bool sourceShown() const;
    // Shows the record selected, in the pane (shown if hidden), with the
    // structure's lines marked, scrolled to and selected.
    void showSourceForRecord(const std::shared_ptr<GEDCOMRecord>& record, const GEDCOMObject* structure);
    // Dragged records over (perform false) or dropped on a row of the
    // lists table: an album of this window takes this document's records;
    // records of another open database are merged into this one.
    bool dropRecords(const QMimeData* data, int row, bool perform);
    // Anything dragged over (perform false) or dropped at a row of the
    // lists table (the row count past the last row): a list of this
    // window moves above the row, records join an album, image files and
    // web addresses become multimedia records.
    bool dropOnLists(const QMimeData* data, int row, bool perform);
    // Image files and web addresses dropped on the records table of the
    // multimedia list.
    bool dropOnRecords(const QMimeData* data, bool perform);

    // File > Merge…: the merge sheet for another open database.
    MergeOptions* mergeTwoFiles();
    // The merge sheet's answer (nothing without one); true when records
    // were merged.
    bool mergeRecords(const std::optional<MergeAnswer>& answer);

    // "Revert to Default Columns": after the question, the shown type's
    // bundled columns.
    void revertToDefaultColumns();
    IndexToolbarWidget* toolbar() const { return toolbar_; }
    // The toolbar's type-ahead find field.
    IndexFindField* findField() const { return findField_; }
    // The column sheet once it was first opened.
    ColumnSheet* columnSheet() const { return sheet_; }

    // The warnings after opening, one alert after the other: the flawed
    // records (their list shown), the read's message, the offer to
    // validate an import from other software.
    void corruptedWarning(const OpeningWarnings& warnings);
    // Asks a new database for its first people (NewFileOptions).
    void startNewFileSheet();
    // What "Validate Now" starts (the reports library installs the
    // validation sheet); without one the answer only closes the question.
    using ValidateStarter = std::function<void(IndexWindow& window)>;
    static void setValidateStarter(ValidateStarter starter);

    // ---- relatives windows
    // Tags 4001 (ancestors) and 4002 (descendants) open a relatives window;
    // the charts library installs the opener, which answers false when
    // nothing suitable is selected.
    using TreeOpener = std::function<bool(IndexWindow& window, int tag)>;
    static void setTreeOpener(TreeOpener opener);
    void openAncestorsOrDescendants(int tag);
    // Tag 3013 finds the relationship of the selected individual to
    // another; the charts library installs the finder, which answers false
    // when no individual is selected.
    using RelationshipFinder = std::function<bool(IndexWindow& window)>;
    static void setRelationshipFinder(RelationshipFinder finder);
    void findRelationship();
    // The application's toolbar items (Derev Azeduze, tag 6101) run the
    // command the windows that serve them install; it answers false for a
    // tag it does not serve, and the window beeps.
    using ApplicationCommand = std::function<bool(int tag)>;
    static void setApplicationCommand(ApplicationCommand command);
    // Runs the installed command; false when none serves the tag.
    static bool runApplicationCommand(int tag);
    const std::shared_ptr<IndexStyleLibrary>& styleLibrary() const { return styles_; }
    UserDefaults& userDefaults() const { return defaults_; }

    // ---- record and album commands (IndexWindow+Commands.cpp)
    // Records > Search...: the document's one search window, made on first use.
    SearchPanel* showSearchPanel();
    SearchPanel* searchPanel() const { return searchPanel_; }
    // The document's own menus and toolbar items (new records, home
    // records, summaries, Tempolin, outside searches).
    DocumentMenus* documentMenus() const { return documentMenus_; }
    // The record picker once it was first opened.
    SelectRecordController* recordPicker() const { return picker_; }
    // File > Export > Index Data...: asks for the file, then writes it.
    void exportWindowData();
    // File > Print...: the shown list as on screen, with a header band of
    // the file's data; answers the pages printed (0: cancelled).
    int printWithDialog(bool showPanel, const std::optional<Dictionary>& settings = std::nullopt);
    // Writes the shown list as tab-separated UTF-8 text in one step; on
    // failure the alert is shown and false answered.
    bool exportWindowDataTo(const std::string& path);
    int criticalAlert(const std::string& message, const std::string& information,
                      const std::vector<std::string>& buttons) override;
    void runRecordPicker(const std::shared_ptr<RecordsListForPanel>& list, const Dictionary& options,
                         PickerAnswer chosen) override;

    // What the user saw happen, for tests.
    int beeps() const { return beeps_; }
    int recordReloads() const { return recordReloads_; }
    int listReloads() const { return listReloads_; }
    // Runs the reloads asked for in this turn now.
    void flushReloads();

    // ---- IndexView
    void reloadLists() override;
    void selectListRow(long row) override;
    void applyTablePlan(const TableSetupPlan& plan, double rowHeight) override;
    void reloadRecords() override;
    void reloadRecordsNow() override;
    void resetFonts() override;
    void markSortColumn(int styleColumn, SortIndicator indicator) override;
    void showRecordSelection(const std::vector<long>& rows) override;
    void scrollToRow(long row) override;
    void centerScrollToRow(long row) override;
    void showSourceText(const std::optional<std::string>& text, bool keepSelection) override;
    std::string sourceText() const override;
    void focusRecords() override;
    void fillAddColumnMenu(const std::vector<AddColumnItem>& items) override;
    void beep() override;
    double lineHeight() const override;

protected:
    // The pane commits when the window stops being active and when it closes.
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

signals:
    // The add-column menu changed (a list shown, the style changed).
    void addColumnMenuChanged();

private:
    class Controller;
    void buildMenus();
    void buildRecordCommandMenus(QMenu* albums);
    void addExportToFileMenu();
    bool performRecordCommand(int tag);
    // This window's and the source's index windows during a merge.
    MergeWindows mergeWindows(GEDCOMDocument* source);
    // The open document a drag came from, other than this one.
    GEDCOMDocument* openDocumentWithKey(const std::string& key) const;
    QAction* addCommandItem(QMenu* menu, const QString& title, int tag);
    void scheduleFlush();
    void applySelection();
    void applySortIndicator();
    void restoreSectionOrder();
    bool sectionsInTableOrder() const;
    void headerClicked(int section);
    void columnMoved(int oldPlace, int newPlace);
    void columnResized(int section, int newSize);
    void saveDividers();
    void restoreDividers();
    void updateFirstResponder();
    void toolbarItemChosen(const ToolbarItemSpec& item);
    void wireAddColumnButton(AddColumnToolButton* button);
    void validateToolbar();
    struct Alert {
        std::string message;
        std::string information;
        AlertButtons buttons;
        std::function<void(int response)> answered = {};
    };
    void showAlerts(std::vector<Alert> alerts);

    GEDCOMDocument& doc_;
    std::shared_ptr<IndexStyleLibrary> styles_;
    UserDefaults& defaults_;
    QSplitter* verticalSplit_ = nullptr;
    QSplitter* recordsSplit_ = nullptr;
    QTableView* listsTable_ = nullptr;
    QTableView* recordsTable_ = nullptr;
    GEDCOMTextView* source_ = nullptr;
    IndexFindField* findField_ = nullptr;  // held by the toolbar
    IndexToolbarWidget* toolbar_ = nullptr;
    ColumnSheet* sheet_ = nullptr;  // a child, made on first use
    ListsTableModel* listsModel_ = nullptr;
    RecordsTableModel* recordsModel_ = nullptr;
    std::unique_ptr<DocumentWindows> windows_;
    std::shared_ptr<Controller> controller_;
    std::unique_ptr<IndexScriptHost> scriptHost_;
    std::unique_ptr<DocumentUI> savingUI_;  // stands before the document's own UI
    std::vector<AddColumnItem> addColumnItems_;
    std::vector<QAction*> commandActions_;
    SearchPanel* searchPanel_ = nullptr;        // a child window, made on first use
    DocumentMenus* documentMenus_ = nullptr;    // a child
    SelectRecordController* picker_ = nullptr;  // a child, made on first use

    int sortColumn_ = -1;
    SortIndicator indicator_ = SortIndicator::None;
    bool listsReloadPending_ = false;
    bool recordsReloadPending_ = false;
    bool flushScheduled_ = false;
    bool applyingPlan_ = false;
    int quiet_ = 0;  // selections made by the window itself are not reported
    std::optional<long> pendingScroll_;
    int beeps_ = 0;
    int recordReloads_ = 0;
    int listReloads_ = 0;
};

}  // namespace kl
