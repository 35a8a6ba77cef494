// Editing the store: free IDs, new records, install and delete as each
// other's undo.
#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

// Switches undo registration off for one scope when it was on.
class UndoPause {
public:
    UndoPause(UndoManager* um, bool pause) : um_(pause && um && um->isUndoRegistrationEnabled() ? um : nullptr) {
        if (um_) um_->disableUndoRegistration();
    }
    ~UndoPause() {
        if (um_) um_->enableUndoRegistration();
    }
    UndoPause(const UndoPause&) = delete;
    UndoPause& operator=(const UndoPause&) = delete;

private:
    UndoManager* um_;
};

std::string formID(const std::string& prefix, long n) { return prefix + std::to_string(n) + "@"; }

}  // namespace

// ---- IDs

std::string GEDCOMModel::getUniqueID(const std::string& type) { return getUniqueID(type, nullptr); }

std::string GEDCOMModel::getUniqueID(const std::string& type, const RecordsIndices* mergeIndex) {
    const std::string prefix = RecordsIndices::idStartForType(type);
    auto list = recordsIndex_->listForType(type);
    long n = 1;
    if (list) {
        n = static_cast<long>(list->idNumber()) + 1;
        if (static_cast<long>(list->count()) >= n) n = static_cast<long>(list->count()) + 1;
    }
    auto taken = [&](const std::string& id) {
        return recordsIndex_->recordWithID(id) || (mergeIndex && mergeIndex->recordWithID(id));
    };
    std::string id = formID(prefix, n);
    while (taken(id)) id = formID(prefix, ++n);
    if (list) list->setIdNumber(static_cast<int32_t>(n));
    return id;
}

// ---- creating

GEDCOMModel::RecordPtr GEDCOMModel::createNewRecordOfType(const std::string& type, const Value& info) {
    const std::string id = getUniqueID(type);
    RecordPtr record = makeRecordForRead(type, type == "HEAD" ? "" : id, type);
    record->setModel(this);
    if (type == "_PLC") {
        const std::string name = info.string() ? *info.string() : places_->uniquePlaceName("Place ");
        record->addLevel(1, "_PLACE", name);
    }
    UndoPause pause(undoManager(), isUndoFreeType(type));
    installRecord(record);
    return record;
}

// ---- install and delete

void GEDCOMModel::installRecord(const RecordPtr& record) {
    if (!record) return;
    recordsIndex_->addRecord(record, true);
    if (record->isType("_PLC")) {
        auto place = record->findStructureWithTag("_PLACE");
        places_->addPlace(place ? place->contents() : record->viewName(), record);
    }
    if (record->corrupt() != 0) recordsIndex_->addCorruptedRecord(record, true);
    NotificationCenter::defaultCenter().post(notification_names::NewRecordCreated, this,
                                             Dictionary{{user_info_keys::NewRecord, Value(record)}});
    if (UndoManager* um = undoManager(); um && um->isUndoRegistrationEnabled())
        um->registerUndo(this, [this, record] { deleteRecord(record); });
}

void GEDCOMModel::deleteRecord(const RecordPtr& record) {
    if (!record) return;
    RecordPtr keep = record;  // the lists may hold the last reference
    UndoPause pause(undoManager(), isUndoFreeType(record->recordType()));
    deleteAndRegister(keep);
}

void GEDCOMModel::deleteAndRegister(const RecordPtr& record) {
    if (record->isType("OBJE") && document_) document_->removeThumbnail(record->grecordID());
    if (record->isType("_PLC"))
        if (auto place = record->findStructureWithTag("_PLACE")) places_->deletePlace(record, place->contents());

    // Albums that held it get it back on undo, so an undone delete loses nothing.
    std::vector<std::weak_ptr<RecordsList>> heldIn;
    for (const auto& album : recordsIndex_->albums())
        if (album->contains(record.get())) heldIn.push_back(album);

    std::vector<std::shared_ptr<RecordsList>> changed;
    for (const auto& list : std::vector<std::shared_ptr<RecordsList>>(recordsIndex_->lists()))
        list->recordWasDeleted(record, changed);
    Array changedLists;
    for (const auto& list : changed) changedLists.emplace_back(list);
    NotificationCenter::defaultCenter().post(
        notification_names::GEDCOMRecordDeleted, this,
        Dictionary{{user_info_keys::ChangedLists, Value(std::move(changedLists))},
                   {user_info_keys::TheRecord, Value(record)}});

    if (UndoManager* um = undoManager(); um && um->isUndoRegistrationEnabled())
        um->registerUndo(this, [this, record, heldIn] {
            installRecord(record);
            for (const auto& weak : heldIn)
                if (auto album = weak.lock()) {
                    album->addRecord(record, false);
                    NotificationCenter::defaultCenter().post(notification_names::RecordAlbumChanged, album.get());
                }
        });
}

}  // namespace kl
