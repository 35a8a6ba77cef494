#include "browser/ui/BrowserController.h"

#include <QApplication>
#include <QMenu>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QMenu>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/EditMenu.h"
#include "browser/WindowFitting.h"
#include "browser/ui/EditBackgroundWidget.h"
#include "cells/CustomCell.h"
#include "cells/EditPaneCell.h"
#include "cells/ui/PaneScroller.h"
#include "cells/ui/LinkViews.h"
#include "cells/NameAndURLCells.h"
#include "cells/TextFieldCell.h"
#include "cells/ui/KLPopupEditView.h"
#include "cells/ui/KLComboBox.h"
#include "cells/ui/QtCellView.h"
#include "document/ui/DocumentMenus.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "document/DocumentNotifications.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "foundation/MainThread.h"
#include "index/DocumentWindows.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelNotifications.h"
#include "script/Templates.h"

namespace kl {

namespace {

BrowserController::EditFormatHandler& editFormatHandler() {
    static BrowserController::EditFormatHandler handler;
    return handler;
}

BrowserController::TempolinHandler& tempolinHandler() {
    static BrowserController::TempolinHandler handler;
    return handler;
}

std::string documentName(const GEDCOMDocument& doc) {
    if (auto file = doc.fileURL()) return file->stem().string();
    return "Untitled";
}

}  // namespace

// ---- the handle the document's window list holds

BrowserController::Handle::~Handle() { delete browser_; }

void BrowserController::Handle::showWindow() {
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

void BrowserController::Handle::close() { browser_->browserClose(); }
BrowserController::RecordPtr BrowserController::Handle::theRecord() const { return browser_->theRecord(); }
std::string BrowserController::Handle::paneID() const { return browser_->paneID(); }
BrowserWindow* BrowserController::Handle::linkedBrowser() const { return browser_->linkedBrowser(); }
bool BrowserController::Handle::isChildBrowser() const { return browser_->isChildWindow(); }
BrowserWindow* BrowserController::Handle::parentBrowser() const {
    return browser_->isChildWindow() ? browser_->linkedBrowser() : nullptr;
}

void BrowserController::Handle::changeRecord(const RecordPtr& record, const std::string& paneID) {
    browser_->changeRecord(record, paneID);
}

void BrowserController::Handle::browserClose() { browser_->browserClose(); }

bool BrowserController::Handle::startLinkMmPanel() {
    browser_->startLinkMmPanel();
    return true;
}

Array BrowserController::Handle::listedRecords(bool forScript) {
    Array items;
    for (const auto& record : browser_->listedRecords(forScript)) items.emplace_back(std::static_pointer_cast<Object>(record));
    return items;
}

void BrowserController::Handle::moveOrCopyMM(std::vector<std::string> queue) { browser_->moveOrCopyMM(std::move(queue)); }

// ---- making the window

std::shared_ptr<BrowserWindow> BrowserController::makeBrowser(GEDCOMDocument& doc, DocumentWindows& windows,
                                                              const RecordPtr& record, BrowserWindow* parent,
                                                              const std::string& paneID) {
    auto* browser = new BrowserController(doc, windows, record, parent, paneID);
    auto handle = std::make_shared<Handle>(browser);
    browser->setHandle(handle.get());
    return handle;
}

BrowserController::BrowserController(GEDCOMDocument& doc, DocumentWindows& windows, RecordPtr record,
                                     BrowserWindow* parent, std::string paneID, bool printing)
    : doc_(doc), windows_(windows), linkedBrowser_(parent), paneID_(std::move(paneID)), isPrinting_(printing),
      self_(std::make_shared<Object>()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    split_ = new QSplitter(Qt::Vertical, this);
    scroller_ = new QScrollArea(split_);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    backgroundWidget_ = new EditBackgroundWidget;
    backgroundWidget_->resize(300, 300);
    scroller_->setWidget(backgroundWidget_);
    scroller_->setWidgetResizable(false);
    split_->addWidget(scroller_);
    setUpTextPane();
    setCentralWidget(split_);
    resize(560, 640);
    addFileMenu();
    QMenu* edit = EditMenu::addEditMenu(*this, doc_.undo());
    DocumentMenus::Window hooks;
    hooks.keyRecord = [this] { return record_; };
    hooks.keyRecords = [this] { return record_ ? std::vector<RecordPtr>{record_} : std::vector<RecordPtr>{}; };
    hooks.open = [this](const RecordPtr& record, bool linkFile) {
        windows_.openRecordBrowser(record);
        if (linkFile && !windows_.linkNewMMRecord(record)) QApplication::beep();
    };
    // One Records menu: the multimedia items first, then the document's.
    addRecordsMenu();
    addHTMLItems();
    recordsMenu_->addSeparator();
    documentMenus_ =
        DocumentMenus::addDocumentMenus(*this, doc_, UserDefaults::standard(), edit, recordsMenu_, std::move(hooks));
    addGoMenu();
    addReportsMenu();
    if (!linkedBrowser_ && !isPrinting_) setupToolBar();

    background_.setHost(backgroundWidget_);
    background_.setBrowser(self_, static_cast<const QWidget*>(this));
    background_.setBrowserSteps([this](int mode) { return endActiveCell(mode); },
                                [this] { reloadRecord(nullptr); });
    background_.setLinkHost(this);
    installLinkDesktop();
    // A child window's commits look for their parents in its parent's pane.
    if (auto* parentHandle = dynamic_cast<Handle*>(parent))
        background_.setParentPane(&parentHandle->controller()->backgroundView());
    EditBackgroundView::DocumentSteps steps;
    steps.openQuickComment = [this](CustomCell& cell) { openQuickComment(cell); };
    steps.needsMemoPopup = [this] { needsMemoPopup_ = true; };
    steps.familySearch = [this] { documentMenus_->commands().tryFamilySearch(); };
    steps.tempolin = [this](const std::string& date) {
        if (tempolinHandler()) tempolinHandler()(date);
        else documentMenus_->commands().openTempolin(date);
    };
    steps.failedToSaveHTML = [this](const std::string& error) { failedToSaveHTML(error); };
    background_.setDocumentSteps(std::move(steps));
    backgroundWidget_->setDragData([this]() -> QMimeData* {
        if (!record_) return nullptr;
        auto* data = new QMimeData;
        const std::string encoded = encodeRecordIdsDrag({documentKeyFor(&doc_), {record_->grecordID()}});
        data->setData(kRecordIdsMimeType, QByteArray::fromStdString(encoded));
        data->setText(QString::fromStdString(record_->viewName()));
        return data;
    });

    setTheRecord(std::move(record));
    auto& center = NotificationCenter::defaultCenter();
    deletionObservation_ = center.addObserver(notification_names::GEDCOMRecordDeleted,
                                              static_cast<const void*>(&doc_.gedcomModel()),
                                              [this](const Notification& note) { recordDeleted(note); });
    fontObservation_ = center.addObserver("Editing Font Changed Notification", nullptr,
                                          [this](const Notification&) { reloadRecord(nullptr); });
    dateObservation_ = center.addObserver("Date Format Changed Notification", nullptr,
                                          [this](const Notification&) { reloadRecord(nullptr); });
    editedObservation_ = center.addObserver(notification_names::DocumentChangeCountChanged,
                                            static_cast<const void*>(&doc_),
                                            [this](const Notification&) { setWindowModified(doc_.isDocumentEdited()); });
    if (linkedBrowser_) {
        // A browser opened from another goes when that one reloads or closes.
        const void* parentWindow = linkedBrowser_->window();
        auto parentGoes = [this](const Notification&) {
            endActiveCell(2);
            closeSoon();
        };
        parentReloadObservation_ =
            center.addObserver(EditBackgroundView::BrowserWindowWillReload, parentWindow, parentGoes);
        parentCloseObservation_ = center.addObserver(kBrowserWindowWillClose, parentWindow, parentGoes);
    }
    refreshTitle();
    // The window is on screen before its pane is built.
    Dispatcher::current().postDeferred(this, [this] { firstBuild(); });
}

BrowserController::~BrowserController() {
    stopEverything();
    background_.setHost(nullptr);
}

void BrowserController::stopEverything() {
    Dispatcher::current().cancelDeferred(this);
    recordObservation_.reset();
    deletionObservation_.reset();
    fontObservation_.reset();
    dateObservation_.reset();
    editedObservation_.reset();
    parentReloadObservation_.reset();
    parentCloseObservation_.reset();
    if (memo_) delete memo_.data();
    background_.removeCustomCells(false);
    if (!closeAnnounced_) {
        closeAnnounced_ = true;
        NotificationCenter::defaultCenter().post(kBrowserWindowWillClose, static_cast<const QWidget*>(this));
    }
}

void BrowserController::setTheRecord(RecordPtr record) {
    // The same record again is a change of pane only.
    if (record && record == record_) history_.updateCurrentItem(*record);
    else if (record) history_.addRecordToStack(*record);
    record_ = std::move(record);
    background_.setRecord(record_);
    observeRecord();
    if (recordsMenu_) validateRecordsMenu();
}

void BrowserController::observeRecord() {
    recordObservation_.reset();
    if (!record_) return;
    recordObservation_ =
        NotificationCenter::defaultCenter().addObserver(notification_names::RecordStructuresChanged,
                                                        static_cast<const GEDCOMObject*>(record_.get()),
                                                        [this](const Notification& note) { reloadRecord(&note); });
}

std::string BrowserController::windowTitleForDocumentDisplayName() const {
    if (auto custom = builder_.customWindowName()) return *custom;
    return documentName(doc_) + " - " + (record_ ? record_->altViewName() : std::string());
}

void BrowserController::refreshTitle() {
    // The edited mark of the document shows in each of its windows.
    setWindowTitle(QString::fromStdString(windowTitleForDocumentDisplayName()) + "[*]");
    setWindowModified(doc_.isDocumentEdited());
}

PaneBuilder::Environment BrowserController::environment() const {
    PaneBuilder::Environment environment;
    if (LibraryFolder* library = AppController::sharedLibrary()) {
        environment.templates = &library->templates();
        environment.prefs = &library->editingPrefs();
        environment.library = library;
    }
    environment.model = &doc_.gedcomModel();
    if (!paneID_.empty()) environment.paneID = paneID_;
    environment.printing = isPrinting_;
    environment.systemFontExists = [](const std::string& family) {
        return QFontDatabase::families().contains(QString::fromStdString(family));
    };
    environment.makeView = [this](CustomCell& cell) -> std::unique_ptr<CellView> {
        // The large text pane shows in the window's own scroller.
        if (auto* pane = dynamic_cast<EditPaneCell*>(&cell)) return textPane_->bind(*pane);
        auto view = QtCellView::make(cell);
        // A place field takes place records dragged from its own document.
        if (auto* shown = dynamic_cast<QtCellView*>(view.get()))
            if (auto* box = qobject_cast<KLComboBox*>(shown->widget()))
                box->setRecordLookup([this](const std::string& key, const std::string& id) -> RecordPtr {
                    return key == documentKeyFor(&doc_) ? doc_.gedcomModel().recordWithID(id) : nullptr;
                });
        return view;
    };
    return environment;
}

// ---- building

namespace {

// Updates of a widget held back while it is rebuilt.
class PaintPause {
public:
    explicit PaintPause(QWidget* widget) : widget_(widget), was_(widget && widget->updatesEnabled()) {
        if (was_) widget_->setUpdatesEnabled(false);
    }
    ~PaintPause() {
        if (was_) widget_->setUpdatesEnabled(true);
    }
    PaintPause(const PaintPause&) = delete;
    PaintPause& operator=(const PaintPause&) = delete;

private:
    QWidget* widget_;
    bool was_;
};

}  // namespace

bool BrowserController::buildCustomEditNow(bool firstLoad) {
    const int width = std::max(100, scroller_->viewport()->width());
    backgroundWidget_->resize(width, backgroundWidget_->height());
    if (firstLoad) background_.setCurrentHtmlSourceMode(htmlSourceMode_);
    const bool built =
        builder_.buildCustomEdit(windowRecord(), firstLoad, environment(), width, std::max(0, split_->height() - 15));
    placeTextPane(firstLoad);
    ++builds_;
    // A pane built from a group commits into the window's real record.
    if (windowRecord() != record_) background_.setRecord(record_);
    if (record_) record_->setUpLinkLists(lists_);
    else lists_ = RecordLinkLists{};
    maintainMenus();
    backgroundWidget_->resize(width, int(std::ceil(std::max(background_.height(), 1.0))));
    firstCell_ = builder_.firstCell();
    refreshTitle();
    if (!built) {
        const std::string message = builder_.failure().value_or(std::string());
        Dispatcher::current().postDeferred(this, [this, message] { displayFailed(message); });
    }
    return built;
}

void BrowserController::firstBuild() {
    if (!buildCustomEditNow(true)) return;
    if (isPrinting_)
        Dispatcher::current().postDeferred(this, [this] { printHidden(); });
    else
        Dispatcher::current().postDeferred(this, [this] { resizeWindow(); });
}

void BrowserController::displayFailed(const std::string& message) {
    std::string title = kFailedMessage;
    title.replace(title.find("%@"), 2, record_ ? record_->viewName() : std::string());
    Templates* templates = AppController::sharedLibrary() ? &AppController::sharedLibrary()->templates() : nullptr;
    const std::optional<std::string> current = templates ? templates->currentTemplate() : std::nullopt;
    const int answer = AppAlerts::runCriticalAlert(title, message, std::string("OK"),
                                                   current ? std::optional<std::string>("Edit Template") : std::nullopt);
    if (answer == 1001 && current) {
        std::string name = *current;
        if (auto dot = name.rfind(".txt"); dot != std::string::npos && dot + 4 == name.size()) name.erase(dot);
        const std::string suffix = " Record Editing";
        const bool record = name.size() >= 15 && name.ends_with(suffix);
        editFormat(std::nullopt, name, record ? "Record Editing" : "Tag Editing");
    }
    closeSoon();
}

void BrowserController::editFormat(const std::optional<std::string>& format, const std::string& name,
                                   const std::string& list) {
    if (editFormatHandler()) {
        editFormatHandler()(format, name, list);
        return;
    }
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return;
    const auto path = library->templates().templateFilePath(name + ".txt");
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path.string())));
}

void BrowserController::setEditFormatHandler(EditFormatHandler handler) { editFormatHandler() = std::move(handler); }

void BrowserController::setTempolinHandler(TempolinHandler handler) { tempolinHandler() = std::move(handler); }

// ---- quick comments

void BrowserController::openQuickComment(CustomCell& cell) {
    auto structure = std::dynamic_pointer_cast<GEDCOMStructure>(cell.structure());
    auto* view = dynamic_cast<QtCellView*>(cell.view());
    if (!structure || !view || !view->widget()) {
        QApplication::beep();
        return;
    }
    if (memo_) memo_->finish();
    QWidget* field = view->widget();
    const QFont font = field->font();
    const QFontMetricsF metrics(font);
    const int high = int(std::ceil((metrics.ascent() + metrics.descent()) * 1.1 + 10));
    // Below the field, a little narrower; never below the pane's bottom.
    const QPoint at = field->mapTo(backgroundWidget_, QPoint(0, 0));
    QRect frame(at.x() + 6, at.y() + field->height(), std::max(40, field->width() - 12), high);
    if (dynamic_cast<TextFieldCell*>(&cell)) {
        // Over a text of several lines the editor sits above it.
        frame.moveTop(std::max(1, at.y() - high));
    } else if (const int excess = frame.bottom() + 1 - backgroundWidget_->height(); excess > 0) {
        frame.moveTop(std::max(0, frame.top() - excess));
    }
    auto* editor = new KLPopupEditView(frame, font, backgroundWidget_);
    editor->setSourceCell(&cell);
    editor->setStructure(structure);
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
    memo_ = editor;
}

// ---- rebuilding

void BrowserController::reloadRecord(const Notification* note) {
    std::shared_ptr<GEDCOMObject> select;
    if (note) {
        if (const Value* removing = note->userInfo.get("removing"); removing && removing->object() == self_) return;
        const Value* scroll = note->userInfo.get("scrollToView");
        if (const Value* structure = note->userInfo.get("structure"); structure && scroll && scroll->toBool())
            select = structure->objectAs<GEDCOMObject>();
    }
    if (needsReload_) return;
    needsReload_ = true;
    Dispatcher::current().postDeferred(this, [this, select] { reloadRecordNow(select); });
}

CustomCell* BrowserController::focusedCell() const {
    // Any cell: an address made editable by the user is not one the
    // keyboard reaches, but what is typed into it must be committed too.
    for (const auto& cell : background_.customCells())
        if (cell->view() && cell->view()->hasFocus()) return cell.get();
    return nullptr;
}

void BrowserController::focusCell(CustomCell* cell) {
    if (!cell || !cell->view()) return;
    if (auto* address = dynamic_cast<EditURLCell*>(cell)) {
        // A long address shows as a link again; a short one is still being
        // typed and gets the insertion point after its last character.
        if (!address->canEditNew()) return;
        address->view()->takeFocus();
        if (auto* shown = dynamic_cast<QtCellView*>(address->view()))
            if (auto* line = qobject_cast<QLineEdit*>(shown->widget())) line->end(false);
        return;
    }
    cell->view()->takeFocus();
}

void BrowserController::reloadRecordNow(const std::shared_ptr<GEDCOMObject>& select) {
    if (!needsReload_) return;
    SavedPlace place;
    if (CustomCell* focused = focusedCell()) {
        place.hadFocus = true;
        place.structure = focused->structure();
        place.index = background_.indexOfRespondingCell(focused);
    }
    place.hScroll = scroller_->horizontalScrollBar()->value();
    place.vScroll = scroller_->verticalScrollBar()->value();
    place.newStructure = select;
    const std::string childLink = childLinkLocation();
    if (memo_) delete memo_.data();
    bool built = false;
    {
        // One repaint for the whole pane, not one per widget dropped or shown.
        const PaintPause pause(backgroundWidget_);
        background_.removeCustomCells(false);
        built = buildCustomEditNow(false);
    }
    if (!built) return;
    restoreChildWindow(childLink, select);
    Dispatcher::current().postDeferred(this, [this, place] { selectCell(place); });
}

void BrowserController::selectCell(const SavedPlace& place) {
    CustomCell* target = nullptr;
    if (place.hadFocus) {
        const auto saved = place.structure.lock();
        target = background_.cellForStructure(saved.get(), place.index);
        // An address the user had made editable is outside the keyboard's loop.
        if (saved && (!target || target->structure() != saved))
            if (auto* address = dynamic_cast<EditURLCell*>(background_.cellForStructure(saved.get()))) target = address;
    }
    int vScroll = place.vScroll;
    if (auto wanted = place.newStructure.lock())
        if (CustomCell* cell = background_.respondingCellForStructure(wanted.get())) {
            if (cell->respondingCell()) target = cell;
            const int visible = scroller_->viewport()->height();
            vScroll = std::clamp(int(cell->viewFrame().y) - visible / 2, 0,
                                 std::max(0, backgroundWidget_->height() - visible));
        }
    if (target) firstCell_ = target;
    needsReload_ = false;
    focusCell(target);
    if (needsMemoPopup_) {
        needsMemoPopup_ = false;
        if (target) openQuickComment(*target);
    }
    scroller_->horizontalScrollBar()->setValue(place.hScroll);
    scroller_->verticalScrollBar()->setValue(vScroll);
}

void BrowserController::changeRecord(const RecordPtr& record, const std::string& paneID) {
    if (!record) return;
    paneID_ = paneID;
    if (linkedBrowser_) {
        // A browser opened from another shows its own record only.
        Dispatcher::current().postDeferred(this, [this, record] { windows_.openRecordBrowser(record, paneID_); });
        return;
    }
    if (endActiveCell(1) == EditRefused) return;
    const bool sameType = record_ && record_->recordType() == record->recordType();
    needsReload_ = true;
    setTheRecord(record);
    showNewContents(sameType);
}

void BrowserController::showNewContents(bool firstLoad) {
    bool built = false;
    {
        const PaintPause pause(backgroundWidget_);
        background_.removeCustomCells(true);
        built = buildCustomEditNow(firstLoad);
    }
    if (built) Dispatcher::current().postDeferred(this, [this] { resizeWindow(); });
}

void BrowserController::resizeWindow() {
    if (builder_.resizeWindow()) {
        WindowFitting fitting;
        fitting.windowHeight = height();
        fitting.chromeHeight = height() - scroller_->viewport()->height();
        fitting.backgroundHeight = background_.height();
        fitting.cellScrollerHeight = scroller_->viewport()->height();
        fitting.heightRange = builder_.heightRange();
        const int wanted = int(std::lround(fitting.fittedHeight()));
        if (wanted != height()) {
            // The top edge stays where it is; the window grows downwards.
            const QPoint top = pos();
            resize(width(), wanted);
            move(top);
        }
    }
    needsReload_ = false;
    focusCell(firstCell_);
}

int BrowserController::endActiveCell(int mode) {
    if (needsReload_) return EditSet;
    // An open quick comment is saved like a typed value.
    if (memo_) memo_->finish();
    if (mode == 1 || mode == 2) stopObservingRecord();
    CustomCell* cell = focusedCell();
    int result = EditSet;
    if (cell) result = cell->endStructureEditing(mode != 2);
    if (mode == 1 && result == EditRefused) observeRecord();
    return result;
}

// ---- closing

void BrowserController::recordDeleted(const Notification& note) {
    const Value* deleted = note.userInfo.get(user_info_keys::TheRecord);
    if (deleted && record_ && deleted->object() == std::static_pointer_cast<Object>(record_)) {
        closeSoon();
        return;
    }
    if (picker_ && deleted)
        if (auto record = deleted->objectAs<GEDCOMRecord>()) picker_->cancelIfInSelection(record.get());
    // The history may have lost the records its buttons lead to.
    validateToolbar();
}

void BrowserController::closeSoon() {
    Dispatcher::current().cancelDeferred(this);
    recordObservation_.reset();
    if (handle_) {
        windows_.closeMe(handle_);
    } else if (isPrinting_) {
        // A printing copy whose parent went prints nothing, but the job
        // must still end: scripts wait on the flag, and the margins it
        // reduced come back.
        isPrinting_ = false;
        doc_.setPrintingStatusFlag(false);
        doc_.setBrowserInfo(std::move(settingsBefore_));
        browserClose();
        deleteLater();
    } else {
        hide();
    }
}

void BrowserController::browserClose() {
    if (closing_) return;
    closing_ = true;
    stopEverything();
    QMainWindow::close();
}

void BrowserController::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The window goes whatever the cell answers: an entry it cannot store
    // goes back to the stored value.
    endActiveCell(2);
    event->accept();
    closeSoon();
}

void BrowserController::resizeEvent(QResizeEvent* event) {
    GEDCOMWindowController::resizeEvent(event);
    if (builds_ == 0 || needsReload_ || closing_) return;
    if (scroller_->viewport()->width() == backgroundWidget_->width()) return;
    if (endActiveCell(0) != EditRefused) reloadRecord(nullptr);
}

// ---- front-window queries

GEDCOMWindowController::Record BrowserController::selectedRecord() {
    return record_ && !record_->isType("_RPT") ? record_ : nullptr;
}

std::optional<GEDCOMWindowController::Records> BrowserController::selectedRecords() {
    if (!record_ || record_->isType("_RPT")) return std::nullopt;
    return Records{record_};
}

GEDCOMWindowController::Records BrowserController::listedRecords(bool) {
    return record_ ? Records{record_} : Records{};
}

}  // namespace kl
