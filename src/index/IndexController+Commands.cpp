// The index window's record and album commands: deleting records, taking
// them out of an album, filling albums from the albums menu, the pickers of
// linked records and the portrait chosen in one, and the shown list as text.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "foundation/FormatText.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "index/AlbumsMenu.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::string localized(const std::string& key) {
    auto library = LibraryServices::current();
    return library ? library->localString(key) : key;
}

Array idValues(const std::vector<std::string>& ids) {
    Array out;
    for (const auto& id : ids) out.emplace_back(id);
    return out;
}

std::string localTimeText(std::time_t seconds) {
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

}  // namespace

// "File: ...", "Created: ...", "Modified: ..."; an untitled document or a
// file whose times cannot be read gives the fixed texts.
std::vector<std::string> IndexController::fileNameAndDates(const GEDCOMDocument& doc) {
    const auto& path = doc.myFileName();
    struct statx times{};
    if (!path || statx(AT_FDCWD, path->c_str(), 0, STATX_BTIME | STATX_MTIME, &times) != 0)
        return {localized("File") + ": " + localized("unsaved document"), localized("Created") + ": n/a",
                localized("Modified") + ": n/a"};
    const std::string created =
        (times.stx_mask & STATX_BTIME) ? localTimeText(static_cast<std::time_t>(times.stx_btime.tv_sec)) : "n/a";
    return {localized("File") + ": " + path->filename().string(), localized("Created") + ": " + created,
            localized("Modified") + ": " + localTimeText(static_cast<std::time_t>(times.stx_mtime.tv_sec))};
}


bool& IndexController::suppressAlbumSelection() {
    static bool suppress = false;
    return suppress;
}

// ---- deleting

void IndexController::deleteRecordCmd() {
    const std::vector<RecordPtr> records = selectedRecords();
    if (records.empty()) return;
    const long lowest = selectedRows_.front();
    UndoManager& undo = doc_.undo();
    // Alerts run between the deletions; the command stays one undo step.
    undo.beginUndoGrouping();
    std::size_t deleted = 0;
    RecordPtr firstKept;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordPtr& record = records[i];
        const auto answer = record->canBeDeleted(static_cast<unsigned>(records.size()));
        if (!answer) {
            gedcomModel().deleteRecord(record);
            ++deleted;
            continue;
        }
        if (!firstKept) firstKept = record;
        if (*answer == "Skip") continue;
        if (*answer == "Cancel") break;
        const std::string message =
            formatText(localized("The record '%@' cannot be deleted because %@."), {record->viewName(), *answer});
        if (i + 1 == records.size()) {
            view_->criticalAlert(message, localized("All other selected records that could be deleted were deleted."),
                                 {localized("OK")});
            break;
        }
        const int pressed =
            view_->criticalAlert(message, localized("You can continue deleting selected records or cancel the process."),
                                 {localized("Continue"), localized("Cancel")});
        if (pressed != 0) break;
    }
    if (deleted > 0) undo.setActionName(deleted == 1 ? "Delete Record" : "Delete Records");
    undo.endUndoGrouping();
    if (deleted == 0) return;
    if (firstKept)
        selectAnyRecord(firstKept);
    else
        selectAfterRemoving(lowest);
}

void IndexController::selectAfterRemoving(long lowestRow) {
    if (!shown_ || shown_->count() == 0) {
        setSelection({});
        return;
    }
    const long row = std::min(lowestRow, static_cast<long>(shown_->count()) - 1);
    setSelection({row});
    view_->scrollToRow(row);
    insertGEDCOMSource(false);
}

// ---- albums

void IndexController::remove() {
    if (!isDisplayingAnAlbum()) return;
    const std::vector<RecordPtr> records = selectedRecords();
    if (records.empty()) return;
    const long lowest = selectedRows_.front();
    const ListPtr album = shown_;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    for (const auto& record : records) album->removeRecordFromAlbum(record);
    undo.setActionName(records.size() == 1 ? "Remove Record from Album" : "Remove Records from Album");
    undo.endUndoGrouping();
    selectAfterRemoving(lowest);
}

IndexController::ListPtr IndexController::albumForItemTag(int tag) {
    if (tag == AlbumsMenu::kNewAlbumTag) {
        createAlbum();
        const auto albums = recordsIndex().albums();
        return albums.empty() ? nullptr : albums.back();
    }
    return AlbumsMenu::albumForDocument(recordsIndex(), tag);
}

void IndexController::populateAlbum(int tag) {
    const std::vector<RecordPtr> records = selectedRecords();
    if (records.empty()) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    suppressAlbumSelection() = true;
    const ListPtr album = albumForItemTag(tag);
    // Cleared here too: no album may have been installed.
    suppressAlbumSelection() = false;
    if (album)
        for (const auto& record : records) album->addRecordToAlbum(record);
    undo.setActionName("Move Records to an Album");
    undo.endUndoGrouping();
}

// ---- pickers

bool IndexController::selectFromArray(const Array& ids, const Dictionary& options) {
    auto list = GEDCOMModel::getListFromArray(ids, true, &options, &gedcomModel());
    if (!list) {
        view_->criticalAlert(localized("The requested record could not be opened"),
                             localized("No records found, or the possible records were corrupted or have been deleted"),
                             {});
        return false;
    }
    view_->runRecordPicker(list, options, [this](const RecordPtr& record, const Dictionary& info) {
        openPanelRecord(record, info);
    });
    return true;
}

bool IndexController::offerLinked(const std::string& tag, const std::string& message, Dictionary options) {
    const RecordPtr record = selectedRecord();
    std::vector<std::string> ids;
    if (record && tag.empty())
        ids = record->crossRefsOnTheFly();
    else if (record)
        record->readAllTags(ids, tag);
    if (ids.empty()) {
        view_->beep();
        return false;
    }
    options.set("message", formatText(localized(message), {record->altViewName()}));
    options.set("mustSelect", "YES");
    return selectFromArray(idValues(ids), options);
}

bool IndexController::doSourcesCmd() {
    return offerLinked("SOUR", "View Sources for %@", Dictionary{{"recordType", "SOUR"}});
}

bool IndexController::doPlacesCmd() {
    return offerLinked("PLAC", "View Places for %@", Dictionary{{"recordType", "_PLC"}});
}

bool IndexController::doMultimediaCmd() {
    return offerLinked(
        "OBJE", "Multimedia for %@",
        Dictionary{{"recordType", "OBJE"},
                   {"newrecord", localized("Set No Portrait")},
                   {"recordaction", localized("Set As Portrait")},
                   {"newrecordhelp",
                    localized("Click if none of the attached multimedia are appropriate as a portrait for this record")},
                   {"recordactionhelp", localized("Set this multimedia object as the portrait for this record")}});
}

// Those that link here: an empty tag.
bool IndexController::doReferencedByCmd() {
    return offerLinked("", "View Records citing %@", Dictionary{{"recordType", "@_REF"}});
}

void IndexController::openPanelRecord(const RecordPtr& record, const Dictionary& info) {
    if (record && !info.get("RecordActionClick")) {
        Dispatcher::current().postDeferred(this, [this, record] {
            if (windows_) windows_->openRecordBrowser(record);
        });
        return;
    }
    const RecordPtr selected = selectedRecord();
    if (!selected) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    if (record) {
        if (!selected->setPortraitOBJE(record))
            view_->criticalAlert(localized("The selected multimedia object could not be set as the portrait."),
                                 localized("You can only set multimedia objects at the main record level as portraits."),
                                 {});
        else
            undo.setActionName("Change Portrait");
    } else if (selected->setPortraitOBJE(nullptr)) {
        undo.setActionName("Set No Portrait");
    }
    undo.endUndoGrouping();
}

// ---- the shown list as text

std::string IndexController::exportIndexColumns() const {
    std::string text;
    for (const auto& line : fileNameAndDates(doc_)) text += line + "\n";
    if (!shown_) return text;
    text += localized("Records Type") + ": " + shown_->name() + "\n";
    text += localized("Number") + ": " + std::to_string(shown_->count()) + "\n\n";
    const auto style = shown_->indexStyle();
    if (!style) return text;
    const int portrait = style->portraitColumn();
    const auto labels = style->label();
    auto row = [&](auto cell) {
        bool first = true;
        for (int c = 0; c < static_cast<int>(style->numberOfColumns()); ++c) {
            if (c == portrait) continue;
            if (!first) text += '\t';
            first = false;
            text += cell(c);
        }
        text += '\n';
    };
    row([&](int c) { return static_cast<std::size_t>(c) < labels.size() ? labels[static_cast<std::size_t>(c)] : std::string(); });
    for (const auto& record : shown_->order())
        row([&](int c) { return style->dataForRecord(*record, c, &gedcomModel()); });
    return text;
}

}  // namespace kl
