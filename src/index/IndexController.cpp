#include "index/IndexController.h"

#include <algorithm>

#include "document/DocumentNotifications.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "index/DocumentScripting.h"
#include "index/DocumentWindows.h"
#include "index/IndexSelection.h"
#include "index/IndexStyleLibrary.h"
#include "index/IndexView.h"
#include "index/UUIDMerge.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// Every call reaches a view; without a window it is one that shows nothing.
IndexView& nullView() {
    static IndexView none;
    return none;
}

const GEDCOMRecord* recordOfNode(const void* object) {
    if (!object) return nullptr;
    return static_cast<const GEDCOMObject*>(object)->theRecord();
}

}  // namespace

namespace {

// The index windows of the open documents, for scripts that ask for a
// document. Main thread only.
std::vector<IndexController*>& liveControllers() {
    static std::vector<IndexController*> controllers;
    return controllers;
}

}  // namespace

IndexController::IndexController(GEDCOMDocument& doc, IndexStyleLibrary& styles, IndexView* view)
    : doc_(doc), styles_(styles), view_(view ? view : &nullView()) {
    observe();
    liveControllers().push_back(this);
}

IndexController::~IndexController() {
    std::erase(liveControllers(), this);
    if (scriptDocument_) scriptDocument_->detach();
    Dispatcher::current().cancelDeferred(this);
    // Album undo actions call back into this window.
    doc_.undo().removeAllActionsWithTarget(this);
}

void IndexController::setView(IndexView* view) { view_ = view ? view : &nullView(); }

void IndexController::observe() {
    auto& center = NotificationCenter::defaultCenter();
    const void* model = &doc_.gedcomModel();
    auto on = [&](const char* name, const void* object, void (IndexController::*handler)(const Notification&)) {
        observations_.push_back(
            center.addObserver(name, object, [this, handler](const Notification& n) { (this->*handler)(n); }));
    };
    on(notification_names::GEDCOMRecordDeleted, model, &IndexController::oldRecordDeleted);
    on(notification_names::NewRecordCreated, model, &IndexController::newRecordCreated);
    on(notification_names::ListOrderOrTextChanged, nullptr, &IndexController::listOrderChanged);
    on(kIndexStyleChanged, nullptr, &IndexController::indexStyleChanged);
    on(kIndexStyleNeedsReload, nullptr, &IndexController::indexStyleReload);
    on(notification_names::RecordsListNameChanged, static_cast<const ModelDocument*>(&doc_), &IndexController::recordsTableChanged);
    auto edits = [this](const Notification& n) { handleRecordEdits(recordOfNode(n.object)); };
    observations_.push_back(center.addObserver(notification_names::RecordStructuresChanged, nullptr, edits));
    observations_.push_back(center.addObserver(notification_names::RecordStructureContentsChanged, nullptr, edits));
    on(notification_names::RecordAlbumChanged, nullptr, &IndexController::updateCurrentAlbum);
    on(notification_names::ColumnOrderChanged, nullptr, &IndexController::columnOrderChanged);
    on(kSourceFontChanged, nullptr, &IndexController::insertNewSourceFont);
    on(kDateFormatChanged, nullptr, &IndexController::reloadDataNow);
}

void IndexController::windowDidLoad() {
    const auto& album = doc_.firstSelectedAlbum();
    const long row = album ? recordsIndex().recordTypeIndex(*album) : -1;
    if (row > 0) {
        view_->selectListRow(row);
        selectRecordTypeIndex(row);
        return;
    }
    selectRecordTypeIndex(std::max(0L, listRow_));
}

// ---- queries

GEDCOMModel& IndexController::gedcomModel() const { return doc_.gedcomModel(); }
RecordsIndices& IndexController::recordsIndex() const { return doc_.gedcomModel().recordsIndex(); }

std::string IndexController::currentType() const { return shown_ ? shown_->recordType() : std::string(); }

bool IndexController::isDisplayingAnAlbum() const { return shown_ && shown_->listType() == ListUserAlbum; }

std::shared_ptr<IndexStyle> IndexController::shownStyle() const { return shown_ ? shown_->indexStyle() : nullptr; }

IndexController::RecordPtr IndexController::selectedRecord() {
    if (!shown_ || selectedRows_.empty()) return nullptr;
    const long row = selectedRows_.front();
    if (row < 0 || static_cast<std::size_t>(row) >= shown_->count()) {
        setSelection({});
        return nullptr;
    }
    return shown_->order()[static_cast<std::size_t>(row)];
}

std::vector<IndexController::RecordPtr> IndexController::selectedRecords() {
    std::vector<RecordPtr> out;
    if (!shown_) return out;
    for (long row : selectedRows_)
        if (row >= 0 && static_cast<std::size_t>(row) < shown_->count())
            out.push_back(shown_->order()[static_cast<std::size_t>(row)]);
    return out;
}

std::optional<std::string> IndexController::currentRecordID() {
    auto record = selectedRecord();
    return record ? std::optional<std::string>(record->grecordID()) : std::nullopt;
}

std::optional<std::vector<std::string>> IndexController::selectedRecordIDs() const {
    if (selectedRows_.empty() || !shown_) return std::nullopt;
    std::vector<std::string> ids;
    for (long row : selectedRows_)
        if (row >= 0 && static_cast<std::size_t>(row) < shown_->count())
            ids.push_back(shown_->order()[static_cast<std::size_t>(row)]->grecordID());
    return ids;
}

std::vector<IndexController::RecordPtr> IndexController::listedRecords() const {
    return shown_ ? shown_->order() : std::vector<RecordPtr>{};
}

const void* IndexController::window() const { return view_->platformWindow(); }

Array IndexController::listedRecords(bool) {
    Array items;
    for (const auto& record : listedRecords()) items.emplace_back(std::static_pointer_cast<Object>(record));
    return items;
}

std::shared_ptr<DocumentScripting> IndexController::scriptDocument() {
    if (!scriptDocument_) scriptDocument_ = std::make_shared<DocumentScripting>(*this);
    return scriptDocument_;
}

IndexController* IndexController::forDocument(const GEDCOMDocument* doc) {
    for (IndexController* controller : liveControllers())
        if (&controller->doc_ == doc) return controller;
    return nullptr;
}

long IndexController::rowOf(const GEDCOMRecord* record) const {
    if (!shown_ || !record) return -1;
    const auto& order = shown_->order();
    auto it = std::find_if(order.begin(), order.end(), [record](const RecordPtr& r) { return r.get() == record; });
    return it == order.end() ? -1 : static_cast<long>(it - order.begin());
}

bool IndexController::isOwnModel(const GEDCOMRecord* record) const {
    return record && record->model() == static_cast<const RecordStore*>(&doc_.gedcomModel());
}

void IndexController::setSelection(std::vector<long> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    selectedRows_ = std::move(rows);
    view_->showRecordSelection(selectedRows_);
}

// ---- showing lists

void IndexController::listSelectionChanged(long row) {
    if (updateViews_) selectRecordTypeIndex(row);
}

void IndexController::recordSelectionChanged(std::vector<long> rows) {
    std::sort(rows.begin(), rows.end());
    if (isSourceChanged() && shown_) {
        // The commit may move records in the sorted list, so the rows
        // clicked are turned into records first and found again after it.
        std::vector<RecordPtr> chosen;
        for (long row : rows)
            if (row >= 0 && static_cast<std::size_t>(row) < shown_->count())
                chosen.push_back(shown_->order()[static_cast<std::size_t>(row)]);
        textDidEndEditing();
        rows.clear();
        for (const auto& record : chosen)
            if (long row = rowOf(record.get()); row >= 0) rows.push_back(row);
        setSelection(std::move(rows));
        if (updateViews_) insertGEDCOMSource(false);
        return;
    }
    selectedRows_ = std::move(rows);
    if (updateViews_) insertGEDCOMSource(false);
}

void IndexController::selectRecordTypeIndex(long row) {
    const auto& lists = recordsIndex().lists();
    if (row < 0 || static_cast<std::size_t>(row) >= lists.size()) return;
    textDidEndEditing();
    listRow_ = row;
    const ListPtr list = lists[static_cast<std::size_t>(row)];
    if (list == shown_) return;
    if (shown_) shown_->setSelectedRecords(selectedRecordIDs().value_or(std::vector<std::string>{}));
    showList(row, list);
}

void IndexController::showList(long row, const ListPtr& list) {
    listRow_ = row;
    shown_ = list;
    selectedRows_.clear();
    shown_->setIndexStyle(styles_.indexStyleForType(shown_->recordType(), &doc_));
    buildTable(-1);
    view_->reloadRecords();
    if (highlightedColumn_ < 0) sortOnShow();
    view_->fillAddColumnMenu(addColumnMenu());
    selectByRecordIDs(shown_->selectedRecords());
}

void IndexController::buildTable(int sortColumn) {
    const auto& style = shown_->indexStyle();
    plan_ = TableSetupPlan::setupTable(*style, sortColumn, SortState{shown_->howSorted(), shown_->sortOrder()},
                                       TableSetupPlan::Kind::Table, view_->lineHeight());
    highlightedColumn_ = plan_.highlightedColumn;
    view_->applyTablePlan(plan_, plan_.rowHeight(view_->lineHeight()));
    if (plan_.sortRequest) {
        shown_->sortColumn(*plan_.sortRequest);
        highlightedColumn_ = *plan_.sortRequest;
        view_->markSortColumn(highlightedColumn_, TableSetupPlan::hiliteSorting(shown_->sortOrder()));
    }
}

void IndexController::sortOnShow() {
    const int first = shown_->indexStyle()->firstSortColumn();
    if (first < 0) return;
    if (shown_->count() >= kSortOnShowLimit) {
        // Too long to sort now: the header says unsorted, yet the column
        // is highlighted, so the column commands work as on a short list.
        highlightedColumn_ = first;
        view_->markSortColumn(first, SortIndicator::None);
        return;
    }
    // The selected records keep their selection in the new order, so the
    // highlighted rows and the source pane show the same record.
    const auto ids = selectedRecordIDs();
    shown_->sortColumn(first);
    highlightedColumn_ = first;
    view_->markSortColumn(first, TableSetupPlan::hiliteSorting(shown_->sortOrder()));
    view_->reloadRecords();
    if (ids) selectByRecordIDs(ids);
}

void IndexController::selectByRecordIDs(const std::optional<std::vector<std::string>>& ids) {
    textDidEndEditing();
    setSelection({});
    std::vector<long> rows;
    if (ids && shown_)
        for (const auto& id : *ids)
            if (long row = rowOf(shown_->recordWithIDIncludingAlbums(id).get()); row >= 0) rows.push_back(row);
    if (!rows.empty()) {
        const long first = rows.front();
        setSelection(std::move(rows));
        view_->scrollToRow(first);
    }
    // With nothing selected the pane empties: it never shows a record of
    // another list.
    insertGEDCOMSource(false);
    view_->focusRecords();
}

void IndexController::selectRecordType(const std::string& type) {
    const long row = recordsIndex().recordTypeIndex(type);
    if (row >= 0 && row != listRow_) {
        view_->selectListRow(row);
        selectRecordTypeIndex(row);
    }
    view_->focusRecords();
}

bool IndexController::wantsNewFileSheet() const {
    return !doc_.createWithInitOnly() && gedcomModel().numberOfType("INDI") == 0;
}

void IndexController::newFileSheetEnded(int code, const Array& settings) {
    if (code != 1 || !doc_.makeFirstRecords(settings)) return;
    // The lists moved under the selected row: the people's list is shown
    // whatever row was selected before.
    view_->reloadLists();
    const long row = recordsIndex().recordTypeIndex("INDI");
    view_->selectListRow(row);
    selectRecordTypeIndex(row);
}

bool IndexController::showCorruptedList() {
    const long row = recordsIndex().corruptedIndex();
    if (row < 0) return false;
    view_->selectListRow(row);
    selectRecordTypeIndex(row);
    insertGEDCOMSource(false);
    return true;
}

void IndexController::selectAnyRecord(const RecordPtr& record) {
    if (!record) return;
    textDidEndEditing();
    selectRecordType(record->recordType());
    const long row = rowOf(record.get());
    if (row < 0) return;
    setSelection({row});
    view_->scrollToRow(row);
    insertGEDCOMSource(false);
    view_->focusRecords();
}

// ---- events from the widgets

IndexController::HeaderClick IndexController::didClickTableColumn(int styleColumn) {
    const auto style = shownStyle();
    const bool image = style && styleColumn >= 0 && static_cast<std::size_t>(styleColumn) < style->numberOfColumns() &&
                       IndexStyle::isPortraitExpression(style->columns()[static_cast<std::size_t>(styleColumn)].expression);
    if (!shown_ || !style || !shown_->canSort() || image || styleColumn < 0 ||
        static_cast<std::size_t>(styleColumn) >= style->numberOfColumns()) {
        view_->beep();
        return HeaderClick{true, false};
    }
    // The selection follows its records through the new order.
    const auto ids = selectedRecordIDs();
    shown_->sortColumn(styleColumn);
    highlightedColumn_ = styleColumn;
    view_->markSortColumn(styleColumn, TableSetupPlan::hiliteSorting(shown_->sortOrder()));
    view_->reloadRecords();
    if (ids) selectByRecordIDs(ids);
    return HeaderClick{false, true};
}

bool IndexController::shouldEditRecordRow(long row) {
    if (!shown_ || row < 0 || static_cast<std::size_t>(row) >= shown_->count()) return false;
    RecordPtr record = shown_->order()[static_cast<std::size_t>(row)];
    Dispatcher::current().postDeferred(this, [this, record] {
        if (windows_) windows_->openRecordBrowser(record);
    });
    return false;
}

// ---- store notifications

void IndexController::handleRecordEdits(const GEDCOMRecord* record) {
    if (!updateViews_ || !isOwnModel(record)) return;
    const long from = rowOf(record);
    const bool wasSelected = selectedRecord().get() == record;
    NotificationCenter::defaultCenter().post(notification_names::RecordMayNeedSorting,
                                             static_cast<const GEDCOMObject*>(record));
    const long to = rowOf(record);
    if (from >= 0 && to != from && !selectedRows_.empty()) {
        const auto moved = IndexSelection::afterRecordMove(selectedRows_, from, to);
        setSelection(moved.rows);
        if (moved.scrollTo) view_->scrollToRow(*moved.scrollTo);
    }
    if (wasSelected || selectedRecord().get() == record) insertGEDCOMSource(true);
}

void IndexController::oldRecordDeleted(const Notification& note) {
    std::vector<ListPtr> changed;
    if (const Value* lists = note.userInfo.get(user_info_keys::ChangedLists); lists && lists->array())
        for (const Value& v : *lists->array())
            if (auto list = v.objectAs<RecordsList>()) changed.push_back(list);
    const bool shownChanged = std::find(changed.begin(), changed.end(), shown_) != changed.end();
    if (updateViews_) {
        if (shownChanged) {
            // Rows past the shortened list no longer name records.
            std::erase_if(selectedRows_, [this](long row) { return static_cast<std::size_t>(row) >= shown_->count(); });
            view_->reloadRecords();
            view_->showRecordSelection(selectedRows_);
            insertGEDCOMSource(false);
        }
        view_->reloadLists();
    }
    // A type whose last record went leaves the index; a user album stays
    // until the user deletes it, however empty.
    bool removedShown = false;
    for (const auto& list : changed) {
        if (list->count() != 0 || list->listType() == ListUserAlbum) continue;
        recordsIndex().removeList(list);
        removedShown = removedShown || list == shown_;
    }
    if (!updateViews_) return;
    view_->reloadLists();
    if (removedShown) {
        view_->selectListRow(0);
        selectRecordTypeIndex(0);
    } else if (shown_) {
        listRow_ = recordsIndex().recordTypeIndex(shown_->recordType());
    }
}

void IndexController::newRecordCreated(const Notification& note) {
    if (!updateViews_) return;
    const Value* made = note.userInfo.get(user_info_keys::NewRecord);
    auto record = made ? made->objectAs<GEDCOMRecord>() : nullptr;
    view_->reloadLists();
    if (!record || !shown_) return;
    const bool corrupt = record->isCorrupt(CorruptDuplicateID | CorruptExtraRecord);
    const std::string key = corrupt ? std::string(RecordsIndices::kCorrupted) : record->recordType();
    if (recordsIndex().listForType(key) == shown_) view_->reloadRecords();
    listRow_ = recordsIndex().recordTypeIndex(shown_->recordType());
}

void IndexController::listOrderChanged(const Notification& note) {
    if (!updateViews_ || !shown_ || note.object != shown_.get() || tableNeedsUpdate_) return;
    tableNeedsUpdate_ = true;
    Dispatcher::current().postDeferred(this, [this] { reloadDataIfNeeded(); });
}

void IndexController::reloadDataIfNeeded() {
    if (!tableNeedsUpdate_) return;
    tableNeedsUpdate_ = false;
    view_->reloadRecords();
}

void IndexController::recordsTableChanged(const Notification& note) {
    const UndoManager& undo = doc_.undo();
    if (undo.isUndoing() || undo.isRedoing()) {
        const Value* list = note.userInfo.get(user_info_keys::TheList);
        if (auto renamed = list ? list->objectAs<RecordsList>() : nullptr) {
            const long row = recordsIndex().recordTypeIndex(renamed->recordType());
            if (row >= 0) {
                view_->selectListRow(row);
                selectRecordTypeIndex(row);
            }
        }
    }
    view_->reloadLists();
}

void IndexController::updateCurrentAlbum(const Notification& note) {
    if (!updateViews_) return;
    if (shown_ && note.object == shown_.get()) {
        view_->reloadRecords();
        insertGEDCOMSource(false);
    }
    view_->reloadLists();
}

void IndexController::columnOrderChanged(const Notification& note) {
    if (!shown_ || !note.object || note.object == shown_.get()) return;
    const auto* sorted = static_cast<const RecordsList*>(note.object);
    // A list's ID dictionary is copied, not shared, by the lists made from
    // it, so "the same records" is the same model and equal dictionaries;
    // lists that keep none (albums) never match.
    if (sorted->model() != shown_->model() || shown_->idDict().empty() || sorted->count() != shown_->count() ||
        sorted->idDict() != shown_->idDict())
        return;
    if (sorted->howSorted() == shown_->howSorted() && sorted->sortOrder() == shown_->sortOrder() &&
        sorted->order() == shown_->order())
        return;
    // The copy sorted its own rows; taking only its key would leave the
    // shown list claiming an order it does not have, and type-ahead find
    // searches by that claim.
    const auto ids = selectedRecordIDs();
    shown_->setOrder(sorted->order());
    shown_->setHowSorted(sorted->howSorted(), sorted->sortOrder());
    const auto mark = TableSetupPlan::rehilteSortColumn(*shown_->indexStyle(),
                                                        SortState{shown_->howSorted(), shown_->sortOrder()});
    // Without a column of that key the highlight stays, without its arrow.
    if (mark) highlightedColumn_ = mark->first;
    view_->markSortColumn(highlightedColumn_, mark ? mark->second : SortIndicator::None);
    view_->reloadRecords();
    view_->reloadLists();
    if (ids) selectByRecordIDs(ids);
}

void IndexController::insertNewSourceFont(const Notification&) {
    insertGEDCOMSource(true);
    view_->resetFonts();
    view_->reloadLists();
    if (shown_) view_->reloadRecords();
}

void IndexController::reloadDataNow(const Notification&) {
    tableNeedsUpdate_ = false;
    view_->reloadRecordsNow();
}

// ---- albums

IndexController::ListPtr IndexController::createAlbum() {
    ListPtr album = createAlbumNamed(std::nullopt);
    doc_.undo().setActionName("Create Album");
    return album;
}

IndexController::ListPtr IndexController::createAlbumNamed(const std::optional<std::string>& name) {
    const std::string title = name && !name->empty() ? *name : std::string("New Album");
    auto album = RecordsList::listWithType(recordsIndex().uniqueAlbumType(), title, &gedcomModel());
    album->setListType(ListUserAlbum);
    installAlbum(album);
    return album;
}

void IndexController::installAlbum(ListPtr album) {
    if (!album) return;
    doc_.undo().registerUndo(this, [this, album] { deleteAlbum(album); });
    recordsIndex().addExistingList(album);
    view_->reloadLists();
    if (suppressAlbumSelection()) {
        suppressAlbumSelection() = false;
        if (shown_) listRow_ = recordsIndex().recordTypeIndex(shown_->recordType());
    } else {
        const long last = static_cast<long>(recordsIndex().count()) - 1;
        view_->selectListRow(last);
        selectRecordTypeIndex(last);
    }
    NotificationCenter::defaultCenter().post(kUserAlbumAddedOrDeleted, static_cast<const ModelDocument*>(&doc_),
                                             Dictionary{{user_info_keys::TheList, Value(album)}});
}

void IndexController::deleteAlbum(ListPtr album) {
    const long row = album ? recordsIndex().recordTypeIndex(album->recordType()) : -1;
    if (row < 0) return;
    doc_.undo().registerUndo(this, [this, album] { installAlbum(album); });
    // The row above stays where it is; an album at row 0 leaves row 1 to
    // become row 0.
    const long above = row == 0 ? 1 : row - 1;
    view_->selectListRow(above);
    selectRecordTypeIndex(above);
    recordsIndex().removeList(album);
    view_->reloadLists();
    if (shown_) {
        listRow_ = recordsIndex().recordTypeIndex(shown_->recordType());
        view_->selectListRow(listRow_);
    }
    NotificationCenter::defaultCenter().post(kUserAlbumAddedOrDeleted, static_cast<const ModelDocument*>(&doc_));
}

void IndexController::removeAlbum() {
    if (!isDisplayingAnAlbum()) return;
    deleteAlbum(shown_);
    doc_.undo().setActionName("Delete Album");
}

// ---- column commands

std::vector<AddColumnItem> IndexController::addColumnMenu() const {
    const auto style = shownStyle();
    return style ? AddColumnMenu::updateAddColumnMenu(definedColumns_, *style, true) : std::vector<AddColumnItem>{};
}

void IndexController::postStyleChanged(const void* object, std::optional<int> sortColumnIndex) {
    Dictionary info{{"RecordType", shownStyle()->recordType()}};
    if (sortColumnIndex) info.set("sortColumnIndex", *sortColumnIndex);
    NotificationCenter::defaultCenter().post(kIndexStyleChanged, object, std::move(info));
}

AddColumnMenu::Choice IndexController::addPredefinedColumn(const AddColumnItem& item) {
    const auto style = shownStyle();
    if (!style) return AddColumnMenu::Choice{AddColumnMenu::Choice::Action::OpenSheet, -1, {}};
    auto choice = AddColumnMenu::addPredefinedColumn(item, *style);
    if (choice.action == AddColumnMenu::Choice::Action::AppendColumn) {
        style->addColumn(choice.added);
        postStyleChanged(nullptr);
    }
    return choice;
}

void IndexController::deleteIndexColumn(int styleColumn) {
    const auto style = shownStyle();
    if (!style || styleColumn < 0 || static_cast<std::size_t>(styleColumn) >= style->numberOfColumns()) return;
    const bool wasSorted = styleColumn == highlightedColumn_;
    style->deleteColumn(styleColumn);
    if (wasSorted) shown_->setHowSorted({}, -1);
    postStyleChanged(nullptr);
    if (wasSorted) sortOnShow();
}

void IndexController::addRemovePortraitColumn() {
    const auto style = shownStyle();
    if (!style) return;
    style->addRemovePortraitCol(0);
    postStyleChanged(nullptr);
}

void IndexController::revertToDefaultColumns(const Dictionary& defaultColumns) {
    const auto style = shownStyle();
    if (!style) return;
    const std::string type = style->recordType();
    if (RecordsIndices::userType(type)) {
        doc_.removeAlbumStyle(type);
    } else {
        const Value* bundled = defaultColumns.get(type);
        styles_.replaceIndexPreference(bundled && bundled->array() ? std::optional<Array>(*bundled->array())
                                                                   : std::nullopt,
                                       type);
    }
    NotificationCenter::defaultCenter().post(kIndexStyleNeedsReload, nullptr, Dictionary{{"RecordType", type}});
}

std::optional<std::pair<int, int>> IndexController::recordsColumnMoved(int oldPlace, int newPlace,
                                                                      int tableColumns) {
    if (ignoreMove_) {
        ignoreMove_ = false;
        return std::nullopt;
    }
    const auto style = shownStyle();
    const int filler = tableColumns - 1;
    if (!style || oldPlace == newPlace) return std::nullopt;
    if (oldPlace == filler) {
        ignoreMove_ = true;
        return std::make_pair(newPlace, oldPlace);
    }
    std::optional<std::pair<int, int>> back;
    if (newPlace == filler) {
        ignoreMove_ = true;
        back = std::make_pair(newPlace, newPlace - 1);
        newPlace -= 1;
        if (newPlace == oldPlace) return back;
    }
    style->moveColumn(oldPlace, newPlace);
    buildTable(-1);
    postStyleChanged(this);
    return back;
}

std::optional<double> IndexController::recordsColumnResized(int styleColumn, double width) {
    const auto style = shownStyle();
    if (!style || styleColumn < 0 || !style->setWidth(width, styleColumn)) return std::nullopt;
    postStyleChanged(this);
    if (styleColumn == style->portraitColumn()) return static_cast<double>(style->widthForColumn(styleColumn));
    return std::nullopt;
}

void IndexController::indexStyleChanged(const Notification& note) {
    const auto style = shownStyle();
    const Value* type = note.userInfo.get("RecordType");
    if (!style || !type || type->toString() != style->recordType()) return;
    view_->fillAddColumnMenu(addColumnMenu());
    if (note.object == this) return;
    const auto ids = selectedRecordIDs();
    const Value* sortIndex = note.userInfo.get("sortColumnIndex");
    buildTable(sortIndex ? static_cast<int>(sortIndex->toInteger(-1)) : -1);
    view_->reloadRecords();
    if (ids) selectByRecordIDs(ids);
}

void IndexController::indexStyleReload(const Notification& note) {
    const auto style = shownStyle();
    const Value* type = note.userInfo.get("RecordType");
    if (!style || !type || type->toString() != style->recordType()) return;
    shown_->setSelectedRecords(selectedRecordIDs().value_or(std::vector<std::string>{}));
    shown_.reset();
    selectRecordTypeIndex(listRow_);
}

// ---- menus and bulk work

IndexMenuState IndexController::menuState() {
    IndexMenuState s;
    if (shown_) {
        s.listType = shown_->listType();
        s.listCount = shown_->count();
    }
    s.selectedRows = selectedRows_.size();
    if (auto record = selectedRecord()) s.selected = SelectedRecordFacts::of(*record);
    s.recordsFocused = recordsFocused_;
    s.columnHighlighted = highlightedColumn_ >= 0;
    s.sourceShown = sourceShown_;
    const auto style = shownStyle();
    s.styleHasPortrait = style && style->hasPortraitColumn();
    return s;
}

void IndexController::enableViewUpdates() {
    if (updateViews_) return;
    updateViews_ = true;
    view_->reloadLists();
    view_->selectListRow(0);
    shown_.reset();
    selectRecordTypeIndex(0);
}

void IndexController::documentWillSave() {
    textDidEndEditing();
    if (shown_) shown_->setSelectedRecords(selectedRecordIDs().value_or(std::vector<std::string>{}));
}

}  // namespace kl
