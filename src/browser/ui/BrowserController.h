#pragma once
// BrowserController: a record browser window. It shows one record of a
// document as a pane laid out by the current format's templates (the pane
// builder fills the editing background, whose widget sits in a scroll area
// inside the window's splitter), rebuilds the pane when the record's
// structures change (several changes in one turn of the event loop give one
// rebuild, keeping the focused cell and the scroll offset), shows another
// record when the document reuses the window, fits its height when the
// template asks, ends editing in the focused cell before anything changes
// the record or the window, and closes when its record is deleted.
//
// Every deferred step (the first build, a rebuild, restoring the place,
// fitting the window, the failure alert) runs on a later turn through the
// dispatcher and is withdrawn when the browser goes, so none outlives it.
//
// The document's window bookkeeping holds a Handle (a BrowserWindow) that
// owns the window; the browser knows its handle to have itself closed.
//
// A main browser (one not opened from another) has the toolbar
// "browserToolBar" and moves between records: along the shown record's
// relationships (a picker when there is more than one), back and forward
// through its own history, and to the previous or next record of the type's
// list or of the album the index window shows (BrowserController+Navigation).
//
// Ownership: owned by its Handle, which DocumentWindows holds; borrows the
// document and its window list, which outlive it. Thread: main thread.
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/GEDCOMWindowController.h"
#include "browser/BrowserNavigation.h"
#include "browser/EditBackgroundView.h"
#include "browser/PaneBuilder.h"
#include "browser/RecordStack.h"
#include "cells/LinkHost.h"
#include "cells/ui/KLPopupEditView.h"
#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"
#include "index/BrowserWindow.h"
#include "model/RecordLinkLists.h"

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QMimeData;
class QPrinter;
class QScrollArea;
class QSplitter;

namespace kl {

class BackForwardToolbarItem;
class ChildBrowserController;
class GroupedRecord;
class DocumentMenus;
class FAMRecord;
class IndexToolbarWidget;
class PrevNextToolbarItem;
class SelectRecordController;
class DocumentWindows;
class PaneScroller;
class EditBackgroundWidget;
class GEDCOMDocument;
class GEDCOMModel;
class UserDefaults;
struct ToolbarItemSpec;

class BrowserController : public GEDCOMWindowController, public LinkHost, private RecordStack::Browser {
    Q_OBJECT
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    static constexpr const char* kFailedMessage = "'%@' could not be formatted for display";
    // Posted with the window as object as a browser window goes; the
    // browsers it opened close with it.
    static constexpr const char* kBrowserWindowWillClose = "Browser Window Will Close";

    // What the document's window list holds of a browser.
    class Handle : public BrowserWindow {
    public:
        explicit Handle(BrowserController* browser) : browser_(browser) {}
        ~Handle() override;
        BrowserController* controller() const { return browser_; }
        void showWindow() override;
        void close() override;
        const void* window() const override { return static_cast<const QWidget*>(browser_); }
        RecordPtr theRecord() const override;
        std::string paneID() const override;
        BrowserWindow* linkedBrowser() const override;
        bool isChildBrowser() const override;
        BrowserWindow* parentBrowser() const override;
        void changeRecord(const RecordPtr& record, const std::string& paneID) override;
        void browserClose() override;
        bool startLinkMmPanel() override;
        Array listedRecords(bool forScript) override;
        void moveOrCopyMM(std::vector<std::string> queue) override;

    private:
        BrowserController* browser_;
    };

    BrowserController(GEDCOMDocument& doc, DocumentWindows& windows, RecordPtr record, BrowserWindow* parent,
                      std::string paneID, bool printing = false);
    ~BrowserController() override;

    // The document's browser factory: a new window, its first build
    // pending on the next turn.
    static std::shared_ptr<BrowserWindow> makeBrowser(GEDCOMDocument& doc, DocumentWindows& windows,
                                                      const RecordPtr& record, BrowserWindow* parent,
                                                      const std::string& paneID);
    // "Edit Template": opens a template of a format (the current one when
    // none is named) for editing; the desktop's default application until
    // the format editor takes it over. Tests replace it.
    using EditFormatHandler =
        std::function<void(const std::optional<std::string>& format, const std::string& name, const std::string& list)>;
    static void editFormat(const std::optional<std::string>& format, const std::string& name, const std::string& list);
    static void setEditFormatHandler(EditFormatHandler handler);

    // Where a date field's "Open Tempolin with This Date" goes; by default
    // the document's command. Tests replace it.
    using TempolinHandler = std::function<void(const std::string& date)>;
    static void setTempolinHandler(TempolinHandler handler);

    Handle* handle() const { return handle_; }
    DocumentMenus* documentMenus() const { return documentMenus_; }
    // The open quick-comment editor, if any.
    KLPopupEditView* memoEditor() const { return memo_.data(); }
    // Opens the quick-comment editor under (or, near the bottom, over) a cell.
    void openQuickComment(CustomCell& cell);
    void setHandle(Handle* handle) { handle_ = handle; }
    RecordPtr theRecord() const { return record_; }
    // The record the pane is built from: the window's own record, unless a
    // window shows a group of its structures.
    virtual RecordPtr windowRecord() const { return record_; }
    // A window showing a group of its parent's record's structures.
    virtual bool isChildWindow() const { return false; }
    const std::string& paneID() const { return paneID_; }
    BrowserWindow* linkedBrowser() const { return linkedBrowser_; }
    GEDCOMDocument& document() const { return doc_; }
    bool isPrinting() const { return isPrinting_; }

    // ---- the pane
    EditBackgroundView& backgroundView() { return background_; }
    EditBackgroundWidget* backgroundWidget() const { return backgroundWidget_; }
    QScrollArea* browserScroller() const { return scroller_; }
    QSplitter* browserSplit() const { return split_; }
    PaneBuilder& builder() { return builder_; }
    bool needsReload() const { return needsReload_; }
    // Builds finished since the window was made (for tests and the bench).
    int builds() const { return builds_; }
    std::string windowTitleForDocumentDisplayName() const;

    // ---- life cycle
    bool buildCustomEditNow(bool firstLoad);
    // Schedules one rebuild for this turn; a removal made through this very
    // browser does not rebuild it.
    void reloadRecord(const Notification* notification);
    void reloadRecordNow(const std::shared_ptr<GEDCOMObject>& select);
    virtual void changeRecord(const RecordPtr& record, const std::string& paneID);
    void resizeWindow();
    // 0 keeps observing, 1 stops observing the record while the cell
    // commits, 2 the window is closing; answers the cell's result.
    int endActiveCell(int mode);
    void browserClose();

    // ---- printing
    // File ▸ Print: the record laid out for paper by a hidden printing
    // copy of this browser, with the print panel when asked. Script print
    // settings are copied into the browser print settings for this job.
    // Answers the copy (nullptr when nothing is printed).
    BrowserController* printWithDialog(bool showPanel, const std::optional<Dictionary>& settings = std::nullopt);
    // The print panel: false when cancelled. Tests replace it.
    using PrintPanel = std::function<bool(QPrinter& printer, QWidget* window)>;
    static void setPrintPanel(PrintPanel panel);

    // ---- stored reports, outside searches, reports on the record
    // (BrowserController+Reports.cpp)
    static constexpr int kExportReportTag = 1103;
    static constexpr int kAhnentafelReportTag = 9004;
    static constexpr int kAllRelativesReportTag = 9007;
    static constexpr int kPlaceEventsReportTag = 9009;
    // File ▸ "Report to HTML/Text File": a save panel over the window, then
    // the file is written (replacing one that is there).
    void exportReportAsHTML();
    void exportReportHTMLDidEnd(const std::string& file);
    // Records ▸ "Search the Web" (10001) and "Search Map" (10002): the
    // focused field's selected text or whole value, else the record's
    // place or search words; a beep when there are none.
    void tryGoogleSearch(int tag);
    void ahnentafelReport();
    void allRelativesReport();
    void placeEventsReport();
    QMenu* reportsMenu() const { return reportsMenu_; }

    // ---- enabling and titling by tag (BrowserController+Validation.cpp)
    // Whether the command of the tag is enabled for the shown record; a
    // menu item given is retitled where the command's title depends on
    // the record (toolbar items pass none and keep their titles).
    bool validateMenuTag(int tag, QAction* item);
    void validateMenu(QMenu& menu);

    // ---- front-window queries
    Record selectedRecord() override;
    std::optional<Records> selectedRecords() override;
    Records listedRecords(bool forScript) override;
    Record keyRecord() override { return record_; }
    std::optional<Records> keyRecords() override { return Records{record_}; }

    // ---- links and multimedia (BrowserController+Links.cpp)
    static constexpr int kLinkMultimediaTag = 4208;
    static constexpr int kCopyMultimediaTag = 4006;
    static constexpr const char* kWarnNonLibraryKey = "Warn on link to non-library file";
    // Move options: link the file as it is, move or copy it into the library.
    enum MoveOption : int { LinkAsIs = 1000, MoveToLibrary = 1001, CopyToLibrary = 1002 };
    GEDCOMModel* linkModel() override;
    UserDefaults& linkDefaults() override;
    void openLinkedRecord(const RecordPtr& record, Open where, const std::optional<std::string>& paneID) override;
    std::optional<std::string> browserPaneID() const override;
    void recordNotOpened(const std::string& message) override;
    void reloadLinkRecord() override { reloadRecord(nullptr); }
    void beep() override;
    bool performMenuItem(int menuTag, int submenuTag, int itemTag) override;
    void runScript(const std::string& name, int type, const std::optional<std::string>& message) override;
    void detachEventNow(const std::shared_ptr<GEDCOMObject>& parent, const std::shared_ptr<GEDCOMObject>& link) override;
    void changeOBJERecord(const RecordPtr& record) override;
    void confirmHelper(const std::string& application, int option, const std::string& file,
                       const std::string& format) override;
    // ---- the child window of a structures link (BrowserController+Groups.cpp)
    std::shared_ptr<GroupedRecord> childGroupRecord() const override;
    void bringChildWindowForward() override;
    void showGroupInChildWindow(const std::shared_ptr<GroupedRecord>& group, bool restoring,
                                const std::shared_ptr<GEDCOMObject>& created) override;
    // The child window this browser opened for a group; nullptr for none.
    ChildBrowserController* childWindow() const;
    // Records > "Link to File or Address..." on a multimedia record.
    void startLinkMmPanel();
    // Records > "Edit GEDCOM Source": the index window shows the record's
    // source, the focused cell's structure marked; editing goes on.
    static constexpr int kShowSourceTag = 3009;
    void showGEDCOMEditor();
    // Records > "Copy Multimedia File..." (Alt: move).
    void copyMultimediaObject(bool move);
    void copyOrMoveMultimediaObject(int moveOption, const std::vector<std::string>& moreIDs, bool canCancel);
    // One step of the document's multimedia queue, on a later turn: unless
    // the file is empty or the user links it as it is, the file is copied
    // or moved; either way the rest of the queue goes on.
    void moveOrCopyMM(std::vector<std::string> queue);
    static int getMoveOptionForFile(const std::string& file, bool canCancel, UserDefaults& defaults);
    QMenu* recordsMenu() const { return recordsMenu_; }

    // ---- navigation (BrowserController+Navigation.cpp)
    using PickerAnswer = std::function<void(const RecordPtr&, const Dictionary&)>;
    // The history the Go menu moves through: a child window's is that of
    // the top browser of its chain.
    virtual RecordStack& history() { return history_; }
    // The IDs of the shown record's relatives, sources, places and
    // multimedia, read after every build.
    virtual const RecordLinkLists& linkLists() { return lists_; }
    // nullptr for a browser opened from another, which has none.
    IndexToolbarWidget* toolbar() const { return toolbar_; }
    BackForwardToolbarItem* backForwardItem() const;
    PrevNextToolbarItem* prevNextItem() const;
    QMenu* goMenu() const { return goMenu_; }
    // The back and forward pop-up menus of the history.
    QMenu* historyMenu(int direction) const { return direction < 0 ? backMenu_ : forwardMenu_; }
    // The window's own picker, made on first use.
    SelectRecordController* getRecordPicker();
    SelectRecordController* recordPicker() const { return picker_; }
    // The browser that runs this one's choices: itself, or the top of the
    // chain of browsers that opened it.
    BrowserController* mainBrowser();

    // Runs a navigation command by its menu tag; false for another tag.
    bool performNavigation(int tag);
    void doLinkCommand(int tag);
    void doGoBackCmd() { history().goToBackRecord(); }
    void doGoForwardCmd() { history().goToForwardRecord(); }
    void doMoveRecord(int step);
    void doMoveRecordInAlbum(int step);
    // Whether a navigation tag is enabled, and its menu title;
    // nullopt for a tag that is not one.
    std::optional<DocumentMenuAnswer> validateMenuTag(int tag);
    // The Go menu's items and the toolbar enabled and titled for the
    // shown record.
    void maintainMenus();
    void validateToolbar();

    // A choice among records named by ID: at once, on the picker, or the
    // failure alert.
    void selectRecordFromArray(const std::vector<std::string>& ids, PickerAnswer action,
                               const std::optional<std::string>& message, const std::optional<Dictionary>& options);
    void changeRecordInfo(const RecordPtr& record, const Dictionary& info);
    // The multimedia picker's answer: show the object, make it the
    // portrait ("RecordActionClick"), or, without one, clear the portrait.
    void changeOBJERecord(const RecordPtr& record, const Dictionary& info);

    // Help: the topic of the main browser's record, with its prefix.
    using HelpHandler = std::function<void(const std::string& topic, const std::string& prefix)>;
    static void setHelpHandler(HelpHandler handler);
    void contextHelpTopic();
    // ---- merging (BrowserController+Merging.cpp)
    static constexpr int kMergeTwoRecordsTag = 4007;
    // Records > "Merge Two %@ Records...": editing ends, then the index
    // window offers the records this one may merge with in the picker over
    // this window; refusals show here too.
    void mergeTwoRecords();
    // The item's title, or nullopt when it is off: a record (not a report)
    // of a type with at least two records.
    std::optional<std::string> mergeTwoRecordsTitle() const;

    // ---- the large text pane (BrowserController+HTML.cpp)
    static constexpr int kHTMLSourceTag = 3011;
    static constexpr int kHTMLContentTag = 3012;
    PaneScroller* textPaneScroller() const { return textPane_; }
    // How the pane shows HTML text: 2 the rendered page, 1 its source.
    int htmlSourceMode() const { return htmlSourceMode_; }
    // Records > "View HTML Content" (the pane shows text) or "Edit HTML
    // Source" ("View HTML Source" for a stored report): switches the pane.
    void editHTMLSource();
    // The pane's "View HTML Content": shows the rendered page.
    void viewHTMLContent();
    // The switch's title; nullopt when the pane holds no HTML text.
    std::optional<std::string> htmlSourceTitle() const;
    bool canViewHTMLContent() const;
    // The pane's "Attach CSS": a multimedia record of a style sheet is
    // chosen and marked in the pane's text.
    void selectCSS();
    void selectCSSNow(const RecordPtr& sheet);
    // The alert of a page file that could not be written, on a later turn.
    void failedToSaveHTML(const std::string& error);

    // ---- detaching, deleting, properties, events (BrowserController+Editing.cpp)
    static constexpr int kDeleteRecordTag = 2007;
    static constexpr int kCopyEventTag = 2011;
    static constexpr int kPasteEventTag = 2012;
    static constexpr int kRestrictionTag = 4210;
    static constexpr int kChangeSexTag = 4211;
    static constexpr int kMaritalStatusTag = 4212;
    static constexpr int kDetachHusbandTag = 4301;
    static constexpr int kDetachWifeTag = 4302;
    static constexpr int kDetachChildTag = 4303;
    static constexpr int kDetachEventTag = 4304;
    // Deletes the record; opened from another record's window, a record
    // that others link to too may instead lose only its link from there.
    void deleteRecordCmd();
    void detachHusbandCommand();
    void detachWifeCommand();
    void detachChildCommand();
    // Offers the record's events, attributes and links to detach.
    void detachEventCommand();
    void changeSexCommand();
    void changeRestriction();
    void changeMaritalStatus();
    void copyEventCommand();
    void pasteEventCommand();
    // Whether one of these commands is enabled, and its menu title;
    // nullopt for another tag.
    std::optional<DocumentMenuAnswer> validateEditingTag(int tag);

    // ---- attaching and sorting (BrowserController+Linking.cpp), record
    // drops (BrowserController+Drops.cpp)
    void attachHusbandCommand();
    void attachWifeCommand();
    void attachChildCommand();
    void attachEventCommand();
    // Links to notes, sources, multimedia or research logs by menu tag.
    void attachGeneric(int tag);
    void attachGenericLinkNow(const RecordPtr& chosen, const Dictionary& info);
    void attachOptionalDataCommand();
    // The association sheet; `target` is where the associated record shows.
    void startAssoPanel(int target);
    void attachAssoLinkNow(const RecordPtr& chosen, const Dictionary& info);
    void attachQuickComment();
    void sortGEDCOMData(int tag);
    std::optional<DocumentMenuAnswer> validateLinkingTag(int tag);
    // Dropped records, each attached through the shown record's handler
    // for its type; false when none was.
    bool doDragOperation(const std::vector<std::string>& ids, const std::string& undoFormat, bool control);
    // Dropped files and web addresses linked as multimedia records.
    bool acceptFileListDrag(const std::vector<Dictionary>& items);

protected:
    DocumentWindows& documentWindows() const { return windows_; }
    void markNeedsReload() { needsReload_ = true; }
    // Builds the pane from scratch for what the window now shows (the
    // reload notice first closes the windows opened from it), then fits
    // the window.
    void showNewContents(bool firstLoad);
    void closeEvent(QCloseEvent* event) override;
    // A wider or narrower pane is laid out again.
    void resizeEvent(QResizeEvent* event) override;
    // A window that becomes the main one names its menu items for its record.
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct SavedPlace {
        std::size_t index = 0;
        std::weak_ptr<GEDCOMObject> structure;
        bool hadFocus = false;
        int hScroll = 0;
        int vScroll = 0;
        std::weak_ptr<GEDCOMObject> newStructure;
    };
    void firstBuild();
    void addFileMenu();
    void addReportsMenu();
    // Prints a report that has no pane of its own: its page, as the
    // window shows it.
    void printReport(bool showPanel, const Dictionary& settings);
    // The main menu's relationship and attach items named for the record.
    void retitleMainMenu();
    std::string selectedText();
    // The printing copy prints once its pane is built, then closes.
    void printHidden();
    void displayFailed(const std::string& message);
    void selectCell(const SavedPlace& place);
    void observeRecord();
    void stopObservingRecord() { recordObservation_.reset(); }
    // After a rebuild the child window is handed its group again by the
    // link at the same tag location, or closed when there is none.
    std::string childLinkLocation() const;
    void restoreChildWindow(const std::string& location, const std::shared_ptr<GEDCOMObject>& created);
    // No notification, deferred step or cell of this browser outlives it.
    void stopEverything();
    void recordDeleted(const Notification& note);
    void closeSoon();
    void setTheRecord(RecordPtr record);
    void refreshTitle();
    PaneBuilder::Environment environment() const;
    CustomCell* focusedCell() const;
    void focusCell(CustomCell* cell);
    void addRecordsMenu();
    void setUpTextPane();
    // The pane's scroller stands on the cell's side of the split, with its
    // share of the window on a first load; hidden without a pane cell.
    void placeTextPane(bool firstLoad);
    void addHTMLItems();
    void validateHTMLItems();
    void chooseRecordForPane(const std::string& type, const std::string& message,
                             std::function<void(const RecordPtr&)> answer);
    // ---- navigation
    RecordPtr historyRecordWithID(const std::string& recordID) const override;
    std::optional<std::string> historyPaneID() const override;
    void changeRecordFromHistory(const RecordPtr& record, const std::optional<std::string>& paneID) override;
    void addGoMenu();
    void setupToolBar();
    void toolbarItemChosen(const ToolbarItemSpec& item);
    QWidget* makeToolbarView(const ToolbarItemSpec& item);
    void fillHistoryMenu(int direction);
    BrowserNavigation::Facts menuFacts();
    void selectionFailed(const std::string& message);
    void validateRecordsMenu();
    void addEditingItems();
    void validateEditingItems(QMenu& menu);
    void detachSpouseCommand(const std::string& role);
    void addLinkingItems();
    void attachSpouseCommand(const std::string& role);
    void openNewFamily(const std::shared_ptr<GEDCOMRecord>& family);
    void attachChildNow(const std::shared_ptr<FAMRecord>& family, const RecordPtr& chosen, const Dictionary& info,
                        int pedigree);
    void attachOptionalNow(const RecordPtr& entry);
    void attachGenericWith(const Dictionary& options);
    void showAttached(const RecordPtr& record, int target);
    void attachAssociationOfType(const std::string& type, int target);
    // The drag's record IDs when they come from a window of this document.
    std::optional<std::vector<std::string>> draggedRecordIDs(const QMimeData* data) const;
    int dragOperation(const QDropEvent& event) const;
    bool isMainSubmitter(const GEDCOMRecord& record) const;
    void copyMMFile(const std::string& destination, const std::string& origPath, int moveOption,
                    const std::vector<std::string>& moreIDs);

    GEDCOMDocument& doc_;
    DocumentWindows& windows_;
    RecordPtr record_;
    BrowserWindow* linkedBrowser_;
    std::string paneID_;
    bool isPrinting_;
    bool usePrintDialog_ = false;
    // The browser print settings before the job changed them for itself.
    Dictionary settingsBefore_;
    Handle* handle_ = nullptr;
    EditBackgroundView background_;
    PaneBuilder builder_{background_};
    QSplitter* split_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    PaneScroller* textPane_ = nullptr;
    int htmlSourceMode_ = 2;
    EditBackgroundWidget* backgroundWidget_ = nullptr;
    QMenu* recordsMenu_ = nullptr;
    QMenu* reportsMenu_ = nullptr;
    DocumentMenus* documentMenus_ = nullptr;
    QPointer<KLPopupEditView> memo_;
    bool needsMemoPopup_ = false;
    bool needsReload_ = true;
    bool closing_ = false;
    bool closeAnnounced_ = false;
    int builds_ = 0;
    CustomCell* firstCell_ = nullptr;
    RecordStack history_{*this};
    RecordLinkLists lists_;
    IndexToolbarWidget* toolbar_ = nullptr;
    QMenu* goMenu_ = nullptr;
    QMenu* backMenu_ = nullptr;
    QMenu* forwardMenu_ = nullptr;
    SelectRecordController* picker_ = nullptr;  // a child, made on first use
    Observation recordObservation_;
    Observation deletionObservation_;
    Observation fontObservation_;
    Observation dateObservation_;
    Observation editedObservation_;
    Observation parentReloadObservation_;
    Observation parentCloseObservation_;
    std::shared_ptr<Object> self_;  // names this browser in removals made through it
};

}  // namespace kl
