// Records dragged from the records table (or a search or relatives window)
// onto an album of the lists table join it.
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

IndexController::ListPtr listAt(RecordsIndices& index, long row) {
    const auto& lists = index.lists();
    if (row < 0 || static_cast<std::size_t>(row) >= lists.size()) return nullptr;
    return lists[static_cast<std::size_t>(row)];
}

}  // namespace

bool IndexController::canDropRecords(long listRow, bool fromThisDocument, int sourceListType,
                                     const RecordsList* sourceList) const {
    const ListPtr target = listAt(recordsIndex(), listRow);
    if (!target || target->listType() != ListUserAlbum || !fromThisDocument) return false;
    return sourceList != target.get() && sourceListType != ListReports && sourceListType != ListCorrupted;
}

bool IndexController::dropRecordsOnList(long listRow, const std::vector<std::string>& ids) {
    const ListPtr album = listAt(recordsIndex(), listRow);
    if (!album || album->listType() != ListUserAlbum) return false;
    std::vector<RecordPtr> records;
    for (const auto& id : ids) {
        RecordPtr record = gedcomModel().recordWithID(id);
        if (!record || record->isType("_RPT")) {
            view_->beep();
            return false;
        }
        records.push_back(std::move(record));
    }
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    for (const auto& record : records) album->addRecordToAlbum(record);
    undo.setActionName("Move Record(s) to an Album");
    undo.endUndoGrouping();
    return true;
}

}  // namespace kl
