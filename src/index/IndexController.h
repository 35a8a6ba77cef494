#pragma once
// IndexController: the logic of a document's index window, its main window:
// which record list is shown, the column style it is shown in and how it is
// sorted, the selected rows, and how both tables follow the record store's
// notifications. The widgets (IndexView) only show what it decides; header
// clicks, selections and activations come back in through its methods.
//
// Ownership: owned by the document's DocumentWindows as its first window
// controller; borrows the document, the style library and the view, which
// must outlive it. Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"
#include "index/AddColumnMenu.h"
#include "index/DocumentWindowController.h"
#include "index/IndexMenuValidation.h"
#include "index/TableSetupPlan.h"

namespace kl {

class DocumentScripting;
class DocumentWindows;
class GEDCOMDocument;
class GEDCOMModel;
class GEDCOMStructure;
class IndexStyle;
class IndexStyleLibrary;
class IndexView;
class RecordsIndices;
class RecordsList;
class UUIDMerge;

class IndexController : public DocumentWindowController {
public:
    using ListPtr = std::shared_ptr<RecordsList>;
    // Lists this long or longer are shown in their stored order: sorting
    // them on every show would stall the window.
    static constexpr std::size_t kSortOnShowLimit = 25000;
    static constexpr const char* kIndexStyleChanged = "Index Style Changed Notification";
    static constexpr const char* kIndexStyleNeedsReload = "Index Style Needs Reload Notification";
    static constexpr const char* kUserAlbumAddedOrDeleted = "User Album Added or Deleted";
    static constexpr const char* kSourceFontChanged = "Source Font Changed Notification";
    static constexpr const char* kDateFormatChanged = "Date Format Changed Notification";

    // The answer to a click on a column header.
    struct HeaderClick {
        bool beep = false;    // the list cannot sort, or the column shows images
        bool sorted = false;
    };

    IndexController(GEDCOMDocument& doc, IndexStyleLibrary& styles, IndexView* view = nullptr);
    ~IndexController() override;
    IndexController(const IndexController&) = delete;
    IndexController& operator=(const IndexController&) = delete;

    void setView(IndexView* view);
    // The widgets, for what runs a sheet on the window (nullptr without).
    IndexView* view() const { return view_; }
    void setWindows(DocumentWindows* windows) { windows_ = windows; }
    DocumentWindows* windows() const { return windows_; }
    GEDCOMDocument& document() const { return doc_; }
    // The document as internal scripts see it, made on first use; cut off
    // from the document when this controller goes.
    std::shared_ptr<DocumentScripting> scriptDocument();
    // The index window logic of an open document; nullptr when it has none.
    static IndexController* forDocument(const GEDCOMDocument* doc);
    // The library's predefined columns ("DefinedColumns"); may be nullptr.
    void setDefinedColumns(const Dictionary* defined) { definedColumns_ = defined; }
    const Dictionary* definedColumns() const { return definedColumns_; }
    // Shows the list selected at the last save, else the first list.
    void windowDidLoad();

    // ---- DocumentWindowController
    void showWindow() override {}
    void close() override {}
    bool answersSelectedRecord() const override { return true; }
    RecordPtr selectedRecord() override;
    std::vector<RecordPtr> selectedRecords() override;
    const void* window() const override;
    // The records of the shown list, in display order.
    Array listedRecords(bool forScript) override;

    // ---- queries
    GEDCOMModel& gedcomModel() const;
    RecordsIndices& recordsIndex() const;
    const ListPtr& currentList() const { return shown_; }
    std::string currentType() const;
    std::optional<std::string> currentRecordID();
    std::optional<std::vector<std::string>> selectedRecordIDs() const;
    std::vector<RecordPtr> listedRecords() const;
    bool isDisplayingAnAlbum() const;
    long selectedListRow() const { return listRow_; }
    const std::vector<long>& selectedRows() const { return selectedRows_; }
    int highlightedColumn() const { return highlightedColumn_; }
    const TableSetupPlan& tablePlan() const { return plan_; }
    std::shared_ptr<IndexStyle> shownStyle() const;
    bool updateViews() const { return updateViews_; }

    // ---- showing lists and records
    void selectRecordTypeIndex(long row);
    void selectRecordType(const std::string& type);
    void selectAnyRecord(const RecordPtr& record);
    void selectByRecordIDs(const std::optional<std::vector<std::string>>& ids);
    // A new untitled document without individuals asks for its first ones.
    bool wantsNewFileSheet() const;
    // The new-file sheet ended: with OK the document makes the first
    // records, and their list is shown.
    void newFileSheetEnded(int code, const Array& settings);
    // Shows the "Corrupted" list, when the store has one, and answers
    // whether it did.
    bool showCorruptedList();

    // ---- events from the widgets
    void listSelectionChanged(long row);
    void recordSelectionChanged(std::vector<long> rows);
    HeaderClick didClickTableColumn(int styleColumn);
    // Return, Enter or a double click on a row opens its record on the next
    // turn of the event loop; the row is never edited in place.
    bool shouldEditRecordRow(long row);
    void setFirstResponderIsRecords(bool focused) { recordsFocused_ = focused; }
    void setSourceShown(bool shown) { sourceShown_ = shown; }

    // ---- store notifications
    void handleRecordEdits(const GEDCOMRecord* record);
    void oldRecordDeleted(const Notification& note);
    void newRecordCreated(const Notification& note);
    void listOrderChanged(const Notification& note);
    void reloadDataIfNeeded();
    // A list renamed: the lists table reloads; an undone or redone rename
    // also shows the list it renamed.
    void recordsTableChanged(const Notification& note);
    // "Record Album Changed": the album's rows when it is shown, and the
    // lists table.
    void updateCurrentAlbum(const Notification& note);
    // Another list over the same records (a picker's copy of the shown
    // list) was sorted: the shown list takes its order and sort key.
    void columnOrderChanged(const Notification& note);
    // The fonts changed: both tables take them again and reload.
    void insertNewSourceFont(const Notification& note);
    // Dates read differently: the records table reloads at once, taking
    // the place of any deferred reload.
    void reloadDataNow(const Notification& note);

    // ---- albums
    // "Add Album": a new album named "New Album", installed and shown.
    ListPtr createAlbum();
    // An empty or missing name gives "New Album".
    ListPtr createAlbumNamed(const std::optional<std::string>& name);
    // Puts the album into the store and shows it; deleteAlbum undoes it.
    void installAlbum(ListPtr album);
    // Takes the album out of the store, showing the row above it;
    // installAlbum undoes it. By value: the album is often the shown list,
    // which showing the row above replaces.
    void deleteAlbum(ListPtr album);
    // "Delete Album": deletes the shown album, if an album is shown.
    void removeAlbum();

    // ---- record and album commands (IndexController+Commands.cpp)
    // Deletes the selected records, asking about each that refuses.
    void deleteRecordCmd();
    // Takes the selected records out of the shown album.
    void remove();
    // Adds the selected records to the album of an albums-menu tag (4501 a
    // new one, which does not take the lists table's selection).
    void populateAlbum(int tag);
    // The album of an albums-menu tag; 4501 makes one through this window.
    ListPtr albumForItemTag(int tag);
    // Set while populateAlbum runs: an album installed then is not shown.
    static bool& suppressAlbumSelection();
    // The picker commands: false (after a beep) when there is no selected
    // record or nothing of the kind.
    bool doSourcesCmd();
    bool doPlacesCmd();
    bool doMultimediaCmd();
    bool doReferencedByCmd();
    // Items are record IDs; false after the failure alert when none resolves.
    bool selectFromArray(const Array& ids, const Dictionary& options);
    // The picker's answer: a record opens (or, with "RecordActionClick",
    // becomes the selected record's portrait); nullptr marks the selected
    // record as having no portrait.
    void openPanelRecord(const RecordPtr& record, const Dictionary& info);
    // The shown list as tab-separated text.
    std::string exportIndexColumns() const;
    // The three heading lines of a text export: the file and its dates.
    static std::vector<std::string> fileNameAndDates(const GEDCOMDocument& doc);

    // ---- merging (IndexController+Merging.cpp)
    // Records > Merge Two Records...: two selected records merge at once
    // (the second into the first); one selected record is offered the
    // records it may merge with in the picker.
    void mergeTwoRecords();
    // The same from a record window: its record is offered the records it
    // may merge with; `sender` (the record window) shows the picker and
    // the refusals.
    void mergeTwoRecords(const RecordPtr& record, IndexView& sender);
    // Merges `other` into the information's "mergeRecord" as one undo step
    // "Merge Two Records"; a browser opens on the kept record unless the
    // information has "noBrowser".
    void mergeRecordsNow(const RecordPtr& other, const Dictionary& info);
    // Records > Merge Duplicate UUIDs...: after the question, every pair of
    // records of a type sharing a UUID merges, outside the undo history;
    // records left with merged texts go into a "Potential Conflicts" album.
    void mergeDuplicateUUIDs();
    // The run under way, for its panel (nullptr when none).
    UUIDMerge* uuidMerge() const { return uuidMerge_.get(); }
    // Every user album holding `other` takes `record` too.
    void addRecordToAlbumsWithRecord(const RecordPtr& record, const RecordPtr& other);

    // ---- column commands
    std::vector<AddColumnItem> addColumnMenu() const;
    // Appends, or answers DeleteColumn for the window to confirm and then
    // call deleteIndexColumn; the sheet opens for the custom item.
    AddColumnMenu::Choice addPredefinedColumn(const AddColumnItem& item);
    void deleteIndexColumn(int styleColumn);
    void addRemovePortraitColumn();
    // After the window's confirmation: an album forgets its own style, any
    // other type takes its entry of the bundled default columns (type ->
    // stored form), or the default style when there is none. Every window
    // showing the type fetches its style again.
    void revertToDefaultColumns(const Dictionary& defaultColumns);
    // A column dragged on screen from one table place to another (the
    // filler column is the last place). Answers the move the window must
    // make to put a column back: the filler never moves, and nothing is
    // dropped after it. The window's own move-back comes in here again and
    // is ignored.
    std::optional<std::pair<int, int>> recordsColumnMoved(int oldPlace, int newPlace, int tableColumns);
    // A column resized on screen; answers the new row height when the
    // resized column shows images.
    std::optional<double> recordsColumnResized(int styleColumn, double width);
    void indexStyleChanged(const Notification& note);
    void indexStyleReload(const Notification& note);

    // ---- the source pane (IndexController+Source.cpp)
    // The pane's states: no editable record shown, a record's text as
    // shown, the text edited since.
    enum SourceState { SourceNone = -1, SourceShown = 0, SourceEdited = 1 };
    // Shows the one selected record's text (none for several, for none or
    // for the reports list). Pending edits reach their own record first.
    void insertGEDCOMSource(bool keepSelection);
    // Commits an edited pane to the record it shows (not to whatever is
    // selected now), as one undo step "GEDCOM Data Edits".
    void textDidEndEditing();
    int sourceChanged() const { return sourceChanged_; }
    void setSourceChanged(int state) { sourceChanged_ = state; }
    bool isSourceChanged() const { return sourceChanged_ == SourceEdited; }
    // The record whose text the pane shows, while it is in the store.
    RecordPtr sourceRecord() const;
    // Rebuilds the record from its GEDCOM text as one undoable step; the
    // UUID stays. With verify a new level-0 ID is asked about first.
    void changeRecordData(const RecordPtr& record, const std::string& gedcom, bool verify);
    // Gives the record these level-1 structures, undoably, and applies (or
    // drops) the ID the last parse left waiting.
    void changeRecordStructures(const RecordPtr& record, std::vector<std::shared_ptr<GEDCOMStructure>> structures,
                                bool verify);
    // Ctrl+Return in the pane: the selected record opens on the next turn;
    // false (after a beep) without one.
    bool openSelectedRecord();

    // ---- records dropped on the lists table (IndexController+Drops.cpp)
    // Whether records dragged from a list of `sourceListType` (from this
    // document or not) may be dropped on the list at `listRow`: only a user
    // album takes them, never from "Corrupted", the reports or itself.
    bool canDropRecords(long listRow, bool fromThisDocument, int sourceListType,
                        const RecordsList* sourceList) const;
    // Adds the records of the IDs to the album at `listRow` as one undo
    // step; false (after a beep) when an ID names no record.
    bool dropRecordsOnList(long listRow, const std::vector<std::string>& ids);
    // Whether dropped image files or web addresses may land at `listRow`
    // of the lists table: past the last row or on the multimedia list.
    bool canDropMultimediaOnList(long listRow) const;
    // Each dropped item ("ImagePath", "isWebURL", "Caption" and the image's
    // properties) gives a multimedia record, found or made, as one undo
    // step "Drop Multimedia Files or URLs". Made records are shown
    // selected: from the lists table (inRecordsTable false) the multimedia
    // list is shown first, and made records whose files lie outside the
    // library go through the document's multimedia queue. False, after a
    // beep, when nothing was made or changed.
    bool dropMultimedia(const std::vector<Dictionary>& items, bool inRecordsTable);
    // Whether the list dragged from row `from` may move to just above row
    // `to` (the list count: to the end): not onto itself nor just below.
    bool canMoveList(long from, long to) const;
    // Moves the list, undoably ("Move an Album"); the selected list stays
    // selected.
    bool moveList(long from, long to);

    // ---- type-ahead find (IndexController+Find.cpp)
    struct FindAnswer {
        bool fieldUseAlert = false;            // the list is not sorted: tell, and empty the field
        std::optional<std::string> match;      // complete the field with this
        long row = -1;
    };
    // The find field's text, as it changes and when editing ends: selects
    // and centres the row of the sorted column's value; after the end of
    // the editing the record opens on the next turn.
    FindAnswer findString(const std::string& text, bool recentEndEditing);

    // ---- menus and bulk work
    IndexMenuState menuState();
    MenuAnswer validateMenuTag(int tag) { return IndexMenuValidation::validateMenuTag(tag, menuState()); }
    void disableViewUpdates() { updateViews_ = false; }
    void enableViewUpdates();
    void documentWillSave();

private:
    void observe();
    void buildTable(int sortColumn);
    void sortOnShow();
    void showList(long row, const ListPtr& list);
    void setSelection(std::vector<long> rows);
    long rowOf(const GEDCOMRecord* record) const;
    void postStyleChanged(const void* object, std::optional<int> sortColumnIndex = std::nullopt);
    bool isOwnModel(const GEDCOMRecord* record) const;
    void selectAfterRemoving(long lowestRow);
    // The lists table after a list moved (or moved back), the shown list
    // still selected.
    void listsMoved();
    // The picker over the selected record's links of a tag (the records
    // that link to it for ""), or a beep when there are none.
    bool offerLinked(const std::string& tag, const std::string& message, Dictionary options);
    // One record's merge: offered the records it may merge with.
    // The picker of the records `record` may merge with, over the view's
    // window, which also takes the refusals.
    void offerMergeFor(const RecordPtr& record, IndexView& view);
    // One pair of the duplicate-UUID merge, without undo.
    bool mergeUUIDPair(const RecordPtr& kept, const RecordPtr& other, std::int64_t& joined);
    void moveLinksAndDelete(const RecordPtr& kept, const RecordPtr& other, bool withUndo);
    void reportUUIDMerge(const UUIDMerge& run);

    GEDCOMDocument& doc_;
    std::shared_ptr<DocumentScripting> scriptDocument_;
    IndexStyleLibrary& styles_;
    IndexView* view_;
    DocumentWindows* windows_ = nullptr;
    const Dictionary* definedColumns_ = nullptr;
    ListPtr shown_;
    long listRow_ = -1;
    std::vector<long> selectedRows_;
    int highlightedColumn_ = -1;
    TableSetupPlan plan_;
    bool updateViews_ = true;
    bool tableNeedsUpdate_ = false;
    bool ignoreMove_ = false;
    bool recordsFocused_ = true;
    bool sourceShown_ = false;
    int sourceChanged_ = SourceNone;
    std::weak_ptr<GEDCOMRecord> sourceRecord_;
    std::vector<Observation> observations_;
    std::unique_ptr<UUIDMerge> uuidMerge_;
};

}  // namespace kl
