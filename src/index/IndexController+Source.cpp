// The index window's GEDCOM source pane: which record it shows, committing
// its edited text, and rebuilding a record from text as one undo step.
#include <algorithm>

#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"

namespace kl {

namespace {

constexpr const char* kDataEdits = "GEDCOM Data Edits";
constexpr const char* kIDTaken = "You changed the record ID to one that is not available.";
constexpr const char* kIDTakenInformation = "The record ID will not be changed; the previous ID will used instead.";
constexpr const char* kIDQuestion = "Are you sure you want to change the record ID?";
constexpr const char* kIDQuestionInformation =
    "Changing the record ID in the source editor will break links to this record (and cannot be undone).";

}  // namespace

IndexController::RecordPtr IndexController::sourceRecord() const {
    RecordPtr record = sourceRecord_.lock();
    // A deleted record may live on in an undo action; the pane never
    // writes into it.
    if (!record || record->model() != static_cast<const RecordStore*>(&gedcomModel())) return nullptr;
    if (gedcomModel().recordWithID(record->grecordID()) == record) return record;
    // A record whose ID another record holds is listed only as corrupted.
    const auto corrupted = recordsIndex().listForType(RecordsIndices::kCorrupted);
    return corrupted && corrupted->contains(record.get()) ? record : nullptr;
}

void IndexController::insertGEDCOMSource(bool keepSelection) {
    if (!sourceShown_) return;
    textDidEndEditing();
    RecordPtr record = selectedRows_.size() == 1 && shown_ && shown_->listType() != ListReports ? selectedRecord()
                                                                                                : nullptr;
    sourceRecord_ = record;
    if (!record) {
        sourceChanged_ = SourceNone;
        view_->showSourceText(std::nullopt, keepSelection);
        return;
    }
    sourceChanged_ = SourceShown;
    view_->showSourceText(record->gedcomString(), keepSelection);
}

void IndexController::textDidEndEditing() {
    if (!isSourceChanged()) return;
    sourceChanged_ = SourceShown;
    RecordPtr record = sourceRecord();
    if (!record) return;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    changeRecordData(record, view_->sourceText(), true);
    record->setChangeDate();
    undo.setActionName(kDataEdits);
    undo.endUndoGrouping();
}

void IndexController::changeRecordData(const RecordPtr& record, const std::string& gedcom, bool verify) {
    if (!record) return;
    auto old = record->structures();
    const std::string uuid = record->recordUUID();
    UndoManager& undo = doc_.undo();
    undo.disableUndoRegistration();
    const bool parsed = gedcomModel().reparseRecord(record, gedcom);
    undo.enableUndoRegistration();
    // Text that is not GEDCOM leaves the record as it was.
    if (!parsed) return;
    record->setRecordUUID(uuid);
    auto rebuilt = record->structures();
    record->setStructures(std::move(old));
    changeRecordStructures(record, std::move(rebuilt), verify);
}

void IndexController::changeRecordStructures(const RecordPtr& record,
                                             std::vector<std::shared_ptr<GEDCOMStructure>> structures, bool verify) {
    if (!record) return;
    std::weak_ptr<GEDCOMRecord> weak = record;
    doc_.undo().registerUndo(record.get(), [this, weak, previous = record->structures()] {
        if (auto held = weak.lock()) changeRecordStructures(held, previous, false);
    });
    const bool wasDuplicate = record->wasCorrupt(CorruptDuplicateID);
    record->setStructures(std::move(structures));

    bool idChanged = false;
    if (const auto& newID = record->changeToRecordID()) {
        if (gedcomModel().recordWithID(*newID)) {
            view_->criticalAlert(kIDTaken, kIDTakenInformation, {});
        } else if (verify && view_->criticalAlert(kIDQuestion, kIDQuestionInformation, {"No", "Yes"}) == 1) {
            const std::string oldID = record->grecordID();
            record->changeRecordID();
            idChanged = true;
            gedcomModel().postNotification(notification_names::RecordIDChanged,
                                           Dictionary{{"OldRecordID", Value(oldID)}, {"TheRecord", Value(record)}});
            if (wasDuplicate) recordsIndex().addRecord(record, true);
        }
        record->setChangeToRecordID(std::nullopt);
    }
    if (!idChanged && wasDuplicate) record->setCorruptBit(CorruptDuplicateID);

    const bool wasCorrupt = record->priorCorrupt() != 0;
    const bool isCorrupt = record->isCorrupt(~0u);
    if (!wasCorrupt && isCorrupt) {
        recordsIndex().addCorruptedRecord(record, true);
    } else if (wasCorrupt && !isCorrupt) {
        recordsIndex().removeCorruptedRecord(record);
        if (shown_ && shown_->recordType() == RecordsIndices::kCorrupted) {
            setSelection({});
            view_->reloadRecords();
        }
    }
    // The next rebuild starts from what the record is now.
    record->setPriorCorrupt(record->corrupt());
    view_->reloadLists();
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(record.get()));
    if (shown_ && shown_->recordType() == RecordsIndices::kCorrupted) insertGEDCOMSource(false);
}

bool IndexController::openSelectedRecord() {
    RecordPtr record = selectedRecord();
    if (!record) {
        view_->beep();
        return false;
    }
    Dispatcher::current().postDeferred(this, [this, record] {
        if (windows_) windows_->openRecordBrowser(record);
    });
    return true;
}

}  // namespace kl
