// The index window's merge commands: two records of a kind into one, as
// one undo step, and every pair of records that share a UUID, on a worker,
// outside the undo history.
#include <algorithm>

#include "dates/DateBridge.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "foundation/FormatText.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "index/UUIDMerge.h"
#include "model/GEDCOMRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::string localized(const std::string& key) { return LibraryServices::localized(key); }

constexpr double kUUIDMergePoll = 0.25;

}  // namespace

// ---- two records

void IndexController::mergeTwoRecords() {
    const std::vector<RecordPtr> records = selectedRecords();
    if (records.size() == 1) {
        offerMergeFor(records.front(), *view_);
        return;
    }
    if (records.size() != 2) {
        view_->beep();
        return;
    }
    const RecordPtr& first = records[0];
    const RecordPtr& second = records[1];
    if (first->recordType() != second->recordType() || !second->canMergeWith(*first)) {
        view_->beep();
        view_->criticalAlert(localized("The two selected records cannot merge with each other."),
                             second->mergeRequirement(), {});
        return;
    }
    mergeRecordsNow(second, Dictionary{{"mergeRecord", Value(first)}, {"noBrowser", Value("YES")}});
}

void IndexController::mergeTwoRecords(const RecordPtr& record, IndexView& sender) {
    if (!record) {
        sender.beep();
        return;
    }
    offerMergeFor(record, sender);
}

void IndexController::offerMergeFor(const RecordPtr& record, IndexView& view) {
    if (record->isLocked()) {
        view.beep();
        view.criticalAlert(localized("The selected record is locked and therefore cannot merge with another record."),
                           "", {});
        return;
    }
    const ListPtr list = recordsIndex().listForType(record->recordType());
    const RecordsList::Records mergeable = list ? list->mergeableWith(record) : RecordsList::Records{};
    if (mergeable.empty()) {
        view.beep();
        view.criticalAlert(localized("No mergeable and unlocked records were found."), record->mergeRequirement(),
                           {});
        return;
    }
    Dictionary options{{"message", Value(formatText(localized("Merge %@ with"), {record->altViewName()}))},
                       {"mustSelect", Value("YES")},
                       {"recordType", Value(record->recordType())},
                       {"sortOrder", Value(static_cast<std::int64_t>(list->sortOrder()))},
                       {"mergeRecord", Value(record)},
                       {"helpTag", Value(std::int64_t{7513})}};
    if (!list->howSorted().empty())
        options.set("howSorted", Value(Array(list->howSorted().begin(), list->howSorted().end())));
    Array candidates;
    for (const auto& other : mergeable) candidates.emplace_back(other);
    auto pickerList = GEDCOMModel::getListFromArray(candidates, false, &options, &gedcomModel());
    if (!pickerList) return;
    view.runRecordPicker(pickerList, options, [this](const RecordPtr& picked, const Dictionary& info) {
        if (picked) mergeRecordsNow(picked, info);
    });
}

void IndexController::mergeRecordsNow(const RecordPtr& other, const Dictionary& info) {
    const Value* keptValue = info.get("mergeRecord");
    const RecordPtr kept = keptValue ? keptValue->objectAs<GEDCOMRecord>() : nullptr;
    if (!kept || !other || kept == other) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    if (kept->mergeWith(*other, false) >= 0) {
        moveLinksAndDelete(kept, other, true);
        undo.setActionName("Merge Two Records");
    }
    undo.endUndoGrouping();
    if (info.contains("noBrowser")) return;
    Dispatcher::current().postDeferred(this, [this, kept] {
        if (windows_) windows_->openRecordBrowser(kept);
    });
}

void IndexController::moveLinksAndDelete(const RecordPtr& kept, const RecordPtr& other, bool withUndo) {
    const std::string oldID = other->grecordID();
    other->changeAllLinksFromID(oldID, kept->grecordID(), withUndo);
    gedcomModel().checkCSS(true, HREFIDMap{{oldID, kept->grecordID()}});
    addRecordToAlbumsWithRecord(kept, other);
    other->setLinksChanged(true);
    gedcomModel().deleteRecord(other);
}

void IndexController::addRecordToAlbumsWithRecord(const RecordPtr& record, const RecordPtr& other) {
    for (const auto& album : recordsIndex().albums()) album->addRecordToAlbumsWithRecord(record, other);
}

// ---- records sharing a UUID

bool IndexController::mergeUUIDPair(const RecordPtr& kept, const RecordPtr& other, std::int64_t& joined) {
    joined = kept->mergeWith(*other, true);
    if (joined < 0) return false;
    moveLinksAndDelete(kept, other, false);
    return true;
}

void IndexController::mergeDuplicateUUIDs() {
    if (uuidMerge_) return;
    const int answer = view_->criticalAlert(
        localized("Are you sure you want to merge all records with duplicate UUIDs?"),
        localized("This process might change many records and it cannot be undone"),
        {localized("Merge"), localized("Cancel")});
    if (answer != 0) return;
    std::string time;
    const std::string date = todayDateString(&time);
    const std::string albumName = formatText(localized("Potential Conflicts %@ %@"), {date, time});

    if (windows_) windows_->closeAllBrowsers();
    UndoManager& undo = doc_.undo();
    undo.removeAllActions();
    undo.disableUndoRegistration();
    disableViewUpdates();

    uuidMerge_ = std::make_unique<UUIDMerge>(
        gedcomModel(), [this](const RecordPtr& kept, const RecordPtr& other, std::int64_t& joined) {
            return mergeUUIDPair(kept, other, joined);
        });
    UUIDMerge& run = *uuidMerge_;
    run.start();
    if (doc_.ui().pauseIn(run, 0))
        doc_.ui().runProgress(run, localized("Merging records with duplicate UUIDs"), localized("Merged / Changed"),
                              kUUIDMergePoll);
    // The panel may close on Cancel before the worker has seen it.
    run.cancelAction();
    run.join();
    enableViewUpdates();

    if (!run.conflictRecords().empty()) {
        const ListPtr album = createAlbumNamed(albumName);
        for (const auto& record : run.conflictRecords()) album->addRecordToAlbum(record);
    }
    undo.enableUndoRegistration();
    // Nothing of it can be undone, so only a save keeps it: closing must ask.
    if (run.merged() > 0) doc_.updateChangeCount(GEDCOMDocument::Change::Done);
    reportUUIDMerge(run);
    uuidMerge_.reset();
}

void IndexController::reportUUIDMerge(const UUIDMerge& run) {
    const std::int64_t merged = run.merged();
    const std::int64_t conflicts = run.conflicts();
    std::string message;
    std::string information;
    if (merged == 0) {
        message = localized("No records with duplicate UUIDs were found and thereore no records could be merged.");
    } else {
        const std::string pairs =
            merged == 1
                ? localized("Only one set of records with duplicate UUIDs was found and those two were merged.")
                : formatText(localized("The merge found %ld record pairs with duplicate UUIDs and merged them."),
                             {std::to_string(merged)});
        if (conflicts == 0)
            message = formatText(localized("%@ No merging conflicts occurred."), {pairs});
        else if (conflicts == 1)
            message = formatText(localized("%@ One merged record has unresolved conflicts."), {pairs});
        else
            message = formatText(localized("%@ %ld of the merged records have unresolved conflicts."),
                                 {pairs, std::to_string(conflicts)});
        if (conflicts != 0)
            information = localized(
                "You should open and resolve the conflicts for the records added to the new 'Potential Conflicts' "
                "folder.");
    }
    if (const std::string failure = run.failure(); !failure.empty())
        information += (information.empty() ? "" : "\n") + localized("The merge stopped early:") + " " + failure;
    view_->criticalAlert(message, information, {});
}

}  // namespace kl
