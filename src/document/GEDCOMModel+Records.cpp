// Editing the store: free IDs, new records, install and delete as each
// other's undo.
#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "document/RecordsListForPanel.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include <filesystem>
#include <map>

#include "model/BookRecord.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"
#include "model/LOGRecord.h"
#include "model/NOTERecord.h"
#include "model/OBJERecord.h"
#include "model/OtherRecord.h"
#include "model/PlaceRecord.h"
#include "model/REPORecord.h"
#include "model/ReportRecord.h"
#include "model/SOURRecord.h"
#include "model/SUBMRecord.h"
#include "model/SUBNRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

template <class Kind>
std::shared_ptr<GEDCOMRecord> makeKind(const std::string& recordID, const std::string& type) {
    return std::make_shared<Kind>(recordID, type);
}

using NewMaker = std::shared_ptr<GEDCOMRecord> (*)(const std::string&, const std::string&);

const std::map<std::string, NewMaker, std::less<>>& newMakers() {
    static const std::map<std::string, NewMaker, std::less<>> makers{
        {"INDI", makeKind<INDIRecord>}, {"FAM", makeKind<FAMRecord>},   {"SOUR", makeKind<SOURRecord>},
        {"REPO", makeKind<REPORecord>}, {"NOTE", makeKind<NOTERecord>}, {"OBJE", makeKind<OBJERecord>},
        {"SUBM", makeKind<SUBMRecord>}, {"SUBN", makeKind<SUBNRecord>}, {"_LOG", makeKind<LOGRecord>},
        {"_BOK", makeKind<BookRecord>}, {"_PLC", makeKind<PlaceRecord>}, {"_RPT", makeKind<ReportRecord>}};
    return makers;
}

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

std::shared_ptr<GEDCOMRecord> makeNewRecord(const std::string& type, const std::string& recordID) {
    if (type == "HEAD") return std::make_shared<HEADRecord>();
    auto found = newMakers().find(type);
    return found != newMakers().end() ? found->second(recordID, type) : std::make_shared<OtherRecord>(recordID, type);
}

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
    return createNewRecordWithID(type, getUniqueID(type), info);
}

GEDCOMModel::RecordPtr GEDCOMModel::createNoteWhenMergingFrom(const GEDCOMModel& other) {
    return createNewRecordWithID("NOTE", getUniqueID("NOTE", &other.recordsIndex()), {});
}

GEDCOMModel::RecordPtr GEDCOMModel::createNewRecordWithID(const std::string& type, const std::string& id,
                                                          const Value& info) {
    RecordPtr record = makeNewRecord(type, id);
    record->setModel(this);
    std::string text;
    if (type == "_PLC") {
        const std::string name = info.string() ? *info.string() : places_->uniquePlaceName("Place ");
        text = "1 _PLACE " + name + "\n" + GEDCOMRecord::createdText();
    } else {
        text = record->textForNewRecord(type == "INDI" && info.toBool(false));
    }
    UndoPause pause(undoManager(), isUndoFreeType(type));
    {
        // The template is the record's first text, not an edit.
        UndoPause quiet(undoManager(), true);
        record->reparse(record->structureLine() + text);
    }
    installRecord(record);
    return record;
}

std::shared_ptr<OBJERecord> GEDCOMModel::addMultimediaRecord(const std::string& path,
                                                             const std::optional<std::string>& title,
                                                             std::vector<std::string>& addedIDs) {
    const auto found = OBJERecord::multimediaFile(path, multimediaRoot(), fileURL());
    if (!found) return nullptr;
    Dictionary file;
    file.set(OBJERecord::OBJEFileTag(), Value(found->stored));
    if (auto known = std::dynamic_pointer_cast<OBJERecord>(recordType("OBJE", file))) return known;
    auto object = std::dynamic_pointer_cast<OBJERecord>(createNewRecordOfType("OBJE"));
    if (!object) return nullptr;
    const std::string name = title ? *title : std::filesystem::path(found->stored).filename().string();
    object->attachMultimedia(found->stored, name, OBJERecord::getMmFileFormat(found->stored, found->root),
                             std::string());
    addedIDs.push_back(object->grecordID());
    return object;
}

std::shared_ptr<OBJERecord> GEDCOMModel::addMultimediaURL(const std::string& url,
                                                          const std::optional<std::string>& title,
                                                          std::vector<std::string>& addedIDs) {
    Dictionary file;
    file.set(OBJERecord::OBJEFileTag(), Value(url));
    if (auto known = std::dynamic_pointer_cast<OBJERecord>(recordType("OBJE", file))) return known;
    auto object = std::dynamic_pointer_cast<OBJERecord>(createNewRecordOfType("OBJE"));
    if (!object) return nullptr;
    object->attachMultimedia(url, title.value_or(url), std::string("url"), std::string());
    addedIDs.push_back(object->grecordID());
    return object;
}

GEDCOMModel::RecordPtr GEDCOMModel::addNoteRecord(const std::string& text, bool& newRecord) {
    Dictionary line;
    line.set("CONC", Value(text));
    if (RecordPtr known = recordType("NOTE", line)) {
        newRecord = false;
        return known;
    }
    RecordPtr note = createNewRecordOfType("NOTE");
    newRecord = note != nullptr;
    if (note) note->insertNewUserText(text);
    return note;
}

void GEDCOMModel::detachLinksTo(const std::string& recordID, const std::string& tag, const std::string& type) {
    if (auto list = recordsIndex_->listForType(type))
        for (const auto& r : RecordsList::Records(list->order())) r->detachCrossRef(tag, recordID);
}

void GEDCOMModel::changeLinksTo(const std::string& oldID, const std::string& tag, const std::string& type,
                                const std::string& newID, bool withUndo) {
    auto list = recordsIndex_->listForType(type);
    if (!list) return;
    for (const auto& r : list->order()) {
        if (withUndo)
            r->changeCrossRefUndo(tag, oldID, newID);
        else
            r->changeCrossRef(tag, oldID, newID);
    }
}

// ---- picker lists

std::shared_ptr<RecordsListForPanel> GEDCOMModel::getListFromArray(const Array& items, bool hasIDs,
                                                                   const Dictionary* options, GEDCOMModel* model) {
    std::shared_ptr<RecordsListForPanel> list;
    if (options) {
        const Value* type = options->get("recordType");
        list = RecordsListForPanel::listWithType(type ? type->toString("INDI") : "INDI", model);
        if (const Value* sort = options->get("howSorted"); sort && sort->array()) {
            std::vector<std::string> exprs;
            for (const Value& e : *sort->array())
                if (e.string()) exprs.push_back(*e.string());
            const Value* order = options->get("sortOrder");
            list->setHowSorted(std::move(exprs), static_cast<int32_t>(order ? order->toInteger(-1) : -1));
        }
    }
    for (const Value& item : items) {
        RecordPtr record = hasIDs ? (model ? model->recordWithID(item.toString()) : nullptr)
                                  : item.objectAs<GEDCOMRecord>();
        if (!record) continue;
        if (!list) list = RecordsListForPanel::listWithType(record->recordType(), model);
        list->addRecord(record);
    }
    return list && list->count() > 0 ? list : nullptr;
}

// ---- install and delete

void GEDCOMModel::installRecord(const RecordPtr& record) {
    if (!record) return;
    // A record already filed stays as it is. Undoing a merge deletes its
    // note twice (once with the last record linking to it, once by the
    // undo of its own install), so the redo installs it twice.
    if (!record->grecordID().empty() && recordsIndex_->recordWithID(record->grecordID(), record->recordType()) == record)
        return;
    recordsIndex_->addRecord(record, true);
    if (record->isType("_PLC")) {
        auto place = record->findStructureWithTag("_PLACE");
        places_->addPlace(place ? place->contents() : record->viewName(), record);
    }
    if (record->corrupt() != 0) recordsIndex_->addCorruptedRecord(record, true);
    if (!record->isType("HEAD") && !record->isType("SUBN")) record->insertUUID();
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
    if (!isUndoFreeType(record->recordType()) && !record->linksChanged()) record->removeAllLinks();
    if (record->isType("OBJE") && document_) document_->removeThumbnail(record->grecordID());
    // Filed under the name the index knows, which a rename may have left behind.
    if (auto place = std::dynamic_pointer_cast<PlaceRecord>(record)) places_->deletePlace(record, place->currentName());

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
