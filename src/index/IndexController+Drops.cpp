// Drops on the index window's tables: records dragged onto an album join
// it, lists dragged within the lists table move, and image files or web
// addresses become multimedia records.
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"
#include "model/OBJERecord.h"

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

bool IndexController::canDropMultimediaOnList(long listRow) const {
    const auto& lists = recordsIndex().lists();
    if (listRow == static_cast<long>(lists.size())) return true;
    const ListPtr target = listAt(recordsIndex(), listRow);
    return target && target->recordType() == "OBJE";
}

bool IndexController::dropMultimedia(const std::vector<Dictionary>& items, bool inRecordsTable) {
    GEDCOMModel& model = gedcomModel();
    UndoManager& undo = doc_.undo();
    std::vector<std::string> added;
    bool changed = false;
    undo.beginUndoGrouping();
    for (const Dictionary& item : items) {
        const Value* path = item.get("ImagePath");
        if (!path || path->toString().empty()) continue;
        std::optional<std::string> caption;
        if (const Value* text = item.get("Caption")) caption = text->toString();
        const Value* web = item.get("isWebURL");
        const auto object = web && web->toBool(false) ? model.addMultimediaURL(path->toString(), caption, added)
                                                      : model.addMultimediaRecord(path->toString(), caption, added);
        if (object && object->addImageProperties(item)) changed = true;
    }
    if (added.empty() && !changed) {
        undo.endUndoGrouping();
        view_->beep();
        return false;
    }
    undo.setActionName("Drop Multimedia Files or URLs");
    undo.endUndoGrouping();
    if (added.empty()) return true;
    if (!inRecordsTable) selectRecordType("OBJE");
    selectByRecordIDs(added);
    // Files from outside the library: the user says, one file at a time,
    // whether to link, move or copy them.
    if (windows_) windows_->bulkCopyMultimediaObjects(model, added);
    return true;
}

bool IndexController::canMoveList(long from, long to) const {
    const long count = static_cast<long>(recordsIndex().count());
    return from >= 0 && from < count && to >= 0 && to <= count && to != from && to != from + 1;
}

bool IndexController::moveList(long from, long to) {
    if (!canMoveList(from, to)) return false;
    UndoManager& undo = doc_.undo();
    undo.beginUndoGrouping();
    // Shown again on both sides of the move, so that undo and redo, which
    // run the group backwards, show the lists after moving them.
    listsMoved();
    recordsIndex().moveRowFrom(from, to);
    listsMoved();
    undo.setActionName("Move an Album");
    undo.endUndoGrouping();
    return true;
}

void IndexController::listsMoved() {
    UndoManager& undo = doc_.undo();
    if (undo.isUndoRegistrationEnabled()) undo.registerUndo(this, [this] { listsMoved(); });
    if (shown_) listRow_ = recordsIndex().recordTypeIndex(shown_->recordType());
    view_->reloadLists();
    view_->selectListRow(listRow_);
    NotificationCenter::defaultCenter().post(kUserAlbumAddedOrDeleted, static_cast<const ModelDocument*>(&doc_));
}

}  // namespace kl
