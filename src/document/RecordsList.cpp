#include "document/RecordsList.h"

#include <algorithm>

#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"
#include "document/TextOrder.h"
#include <unordered_set>

namespace kl {

namespace {

std::vector<std::string> stringsOf(const Value* value) {
    std::vector<std::string> out;
    if (!value || !value->array()) return out;
    for (const Value& v : *value->array())
        if (v.string()) out.push_back(*v.string());
    return out;
}

Array arrayOf(const std::vector<std::string>& texts) {
    Array out;
    out.reserve(texts.size());
    for (const auto& t : texts) out.emplace_back(t);
    return out;
}

}  // namespace

RecordsList::RecordsList(std::string recordType, GEDCOMModel* model)
    : recordType_(std::move(recordType)), model_(model) {}

RecordsList::RecordsList() : RecordsList("_Unk", nullptr) {}

RecordsList::~RecordsList() = default;

std::shared_ptr<RecordsList> RecordsList::listWithType(std::string recordType, std::string name,
                                                       GEDCOMModel* model) {
    auto list = std::make_shared<RecordsList>(std::move(recordType), model);
    list->initName(std::move(name));
    list->registerMethods();
    return list;
}

void RecordsList::registerMethods() {
    auto& center = NotificationCenter::defaultCenter();
    std::weak_ptr<RecordsList> weak = weak_from_this();
    observations_.clear();
    observations_.push_back(center.addObserver(notification_names::RecordMayNeedSorting, nullptr,
                                               [weak](const Notification& note) {
                                                   if (auto self = weak.lock()) self->updateRecordState(note);
                                               }));
    observations_.push_back(center.addObserver(notification_names::VerifyUUIDs, nullptr,
                                               [weak](const Notification& note) {
                                                   if (auto self = weak.lock()) self->verifyUUIDs(note);
                                               }));
    if (model_)
        observations_.push_back(center.addObserver(notification_names::RecordIDChanged, model_,
                                                   [weak](const Notification& note) {
                                                       if (auto self = weak.lock()) self->updateRecordIDState(note);
                                                   }));
}

// ---- stored form

std::shared_ptr<RecordsList> RecordsList::listFromDictionary(const Dictionary& album, GEDCOMModel* model) {
    const Value* type = album.get(kRecordType);
    const Value* name = album.get(kName);
    auto list = listWithType(type ? type->toString() : "_Unk", name ? name->toString() : "", model);
    if (const Value* t = album.get(kTypeID)) list->listType_ = static_cast<int32_t>(t->toInteger());
    if (const Value* sorting = album.get(kSortingArray); sorting && sorting->array() && !sorting->array()->empty()) {
        const Array& a = *sorting->array();
        std::vector<std::string> exprs;
        for (size_t i = 1; i < a.size() && exprs.size() < 2; ++i)
            if (a[i].string()) exprs.push_back(*a[i].string());
        list->setHowSorted(std::move(exprs), a[0].toInteger(-1) > 0 ? 1 : -1);
    } else if (const Value* legacy = album.get(kLegacySorting); legacy && legacy->string() &&
                                                              !legacy->string()->empty()) {
        const std::string& text = *legacy->string();
        list->setHowSorted({text.substr(1)}, text[0] == '+' ? -1 : 1);
    }
    if (list->listType_ == ListUserAlbum) list->readOrder_ = stringsOf(album.get(kRecordIDs));
    list->selectedRecords_ = stringsOf(album.get(kSelectedIDs));
    return list;
}

Dictionary RecordsList::listDictionary() const {
    Dictionary album;
    album.set(kRecordType, recordType_);
    album.set(kName, name_);
    if (!howSorted_.empty()) {
        Array sorting{Value(sortOrder_)};
        for (const auto& e : howSorted_) sorting.emplace_back(e);
        album.set(kSortingArray, std::move(sorting));
    }
    album.set(kTypeID, listType_);
    if (isAlbum()) album.set(kRecordIDs, arrayOf(recordIDArray()));
    if (!selectedRecords_.empty()) album.set(kSelectedIDs, arrayOf(selectedRecords_));
    return album;
}

// ---- membership

bool RecordsList::listUsesIdDict() const { return listType_ >= ListRecordType && listType_ <= ListReports; }

bool RecordsList::contains(const GEDCOMRecord* record) const {
    return std::any_of(order_.begin(), order_.end(), [record](const RecordPtr& r) { return r.get() == record; });
}

bool RecordsList::refusesExtraRecord(const RecordPtr& record) {
    if (listType_ != ListSingleRecord || order_.empty()) return false;
    record->setCorruptBit(CorruptExtraRecord);
    return true;
}

void RecordsList::addRecord(const RecordPtr& record) {
    if (!record || refusesExtraRecord(record)) return;
    order_.push_back(record);
    if (listUsesIdDict() && !record->grecordID().empty()) idDict_[record->grecordID()] = record;
}

void RecordsList::reserveRecords(std::size_t count) {
    order_.reserve(count);
    if (listUsesIdDict()) idDict_.reserve(count);
}

void RecordsList::addRecord(const RecordPtr& record, bool toIDList) {
    if (!record || refusesExtraRecord(record)) return;
    insertSorted(record);
    if (toIDList && !record->grecordID().empty()) idDict_[record->grecordID()] = record;
}

void RecordsList::insertSorted(const RecordPtr& record) {
    const size_t at = howSorted_.empty() ? order_.size() : insertLocationForRecord(*record);
    order_.insert(order_.begin() + static_cast<long>(std::min(at, order_.size())), record);
}

void RecordsList::removeRecord(const RecordPtr& record) {
    if (!record) return;
    auto it = std::find(order_.begin(), order_.end(), record);
    if (it != order_.end()) order_.erase(it);
    if (listUsesIdDict()) {
        auto found = idDict_.find(record->grecordID());
        if (found != idDict_.end() && found->second == record) idDict_.erase(found);
    }
}

void RecordsList::recordWasDeleted(const RecordPtr& record, std::vector<std::shared_ptr<RecordsList>>& theLists) {
    if (!record) return;
    if (listUsesIdDict()) {
        // A duplicate or an extra record never entered its type's list.
        if (record->recordType() != recordType_ || record->isCorrupt(CorruptDuplicateID | CorruptExtraRecord))
            return;
        removeRecord(record);
    } else {
        removeRecord(record);
    }
    theLists.push_back(shared_from_this());
}

void RecordsList::updateRecordIDState(const Notification& note) {
    const Value* oldID = note.userInfo.get(user_info_keys::OldRecordID);
    const Value* theRecord = note.userInfo.get(user_info_keys::TheRecord);
    if (!oldID || !theRecord) return;
    auto record = theRecord->objectAs<GEDCOMRecord>();
    auto found = idDict_.find(oldID->toString());
    if (!record || found == idDict_.end() || found->second != record) return;
    idDict_.erase(found);
    idDict_[record->grecordID()] = record;
}

void RecordsList::verifyUUIDs(const Notification&) {
    if (!listUsesIdDict() || listType_ == ListSingleRecord) return;
    bool inserted = false;
    for (const auto& r : Records(order_)) inserted = r->insertUUID() || inserted;
    if (!inserted || !model_) return;
    if (UndoManager* um = model_->undoManager()) um->setActionName("Insert UUIDs");
}

void RecordsList::simplifyGEDCOMInList(int mode) {
    for (const auto& r : Records(order_)) {
        r->simplifyGEDCOMInMode(mode);
        if (model_) model_->incrementSimplified();
    }
}

void RecordsList::scanMultimediaFiles(int mode) {
    // A record's further files may become new records of this list; they
    // are in their final shape already.
    for (const auto& r : Records(order_))
        if (auto object = std::dynamic_pointer_cast<OBJERecord>(r)) {
            object->simplifyMultimediaLinks(mode);
            object->unembedThumbnail();
        }
}

void RecordsList::convert_REFToArray() {
    for (const auto& r : order_) r->convert_REFToArray();
}

// ---- albums

void RecordsList::postAlbumChanged() const {
    NotificationCenter::defaultCenter().post(notification_names::RecordAlbumChanged, this);
}

void RecordsList::registerAlbumUndo(const RecordPtr& record, bool addBack) {
    UndoManager* um = model_ ? model_->undoManager() : nullptr;
    if (!um || !um->isUndoRegistrationEnabled()) return;
    std::weak_ptr<RecordsList> weak = weak_from_this();
    um->registerUndo(this, [weak, record, addBack] {
        auto self = weak.lock();
        if (!self) return;
        if (addBack)
            self->addRecordToAlbum(record);
        else
            self->removeRecordFromAlbum(record);
    });
}

void RecordsList::addRecordToAlbum(const RecordPtr& record) {
    if (!isAlbum() || !record || contains(record.get())) return;
    registerAlbumUndo(record, false);
    addRecord(record, false);
    postAlbumChanged();
}

void RecordsList::addRecordsToNewAlbum(const Records& records) {
    if (!isAlbum() || records.empty()) return;
    for (const RecordPtr& record : records)
        if (record) addRecord(record, false);
    postAlbumChanged();
}

void RecordsList::removeRecordFromAlbum(const RecordPtr& record) {
    if (!isAlbum() || !record || !contains(record.get())) return;
    registerAlbumUndo(record, true);
    removeRecord(record);
    postAlbumChanged();
}

RecordsList::Records RecordsList::mergeableWith(const RecordPtr& record) const {
    Records found;
    for (const auto& other : order_)
        if (other != record && other->canMergeWith(*record)) found.push_back(other);
    return found;
}

void RecordsList::addRecordToAlbumsWithRecord(const RecordPtr& record, const RecordPtr& other) {
    if (isAlbum() && other && contains(other.get())) addRecordToAlbum(record);
}

void RecordsList::ISFilterAlbum(const RecordsList& other, int mode) {
    if (!isAlbum()) return;
    auto idsOf = [](const Records& records) {
        std::unordered_set<std::string> ids;
        for (const auto& r : records) ids.insert(r->grecordID());
        return ids;
    };
    if (mode == 1) {
        const auto mine = idsOf(order_);
        for (const RecordPtr& r : Records(other.order_))
            if (!mine.count(r->grecordID())) addRecordToAlbum(r);
        return;
    }
    const auto theirs = idsOf(other.order_);
    const bool keepShared = mode == 0;
    for (const RecordPtr& r : Records(order_))
        if ((theirs.count(r->grecordID()) != 0) != keepShared) removeRecordFromAlbum(r);
}

void RecordsList::setName(std::string name) {
    if (UndoManager* um = model_ ? model_->undoManager() : nullptr; um && um->isUndoRegistrationEnabled()) {
        std::weak_ptr<RecordsList> weak = weak_from_this();
        um->registerUndo(this, [weak, old = name_] {
            if (auto self = weak.lock()) self->setName(old);
        });
    }
    name_ = std::move(name);
    Dictionary info{{user_info_keys::TheList, Value(shared_from_this())}};
    NotificationCenter::defaultCenter().post(notification_names::RecordsListNameChanged,
                                             model_ ? static_cast<const void*>(model_->document()) : nullptr,
                                             std::move(info));
}

// ---- lookups

RecordsList::RecordPtr RecordsList::recordWithID(const std::string& recordID) const {
    auto found = idDict_.find(recordID);
    return found == idDict_.end() ? nullptr : found->second;
}

RecordsList::RecordPtr RecordsList::recordWithIDIncludingAlbums(const std::string& recordID) const {
    if (listUsesIdDict()) return recordWithID(recordID);
    for (const auto& r : order_)
        if (r->grecordID() == recordID) return r;
    return nullptr;
}

RecordsList::RecordPtr RecordsList::recordWithViewName(const std::string& name) const {
    for (const auto& r : order_)
        if (r->viewName() == name) return r;
    return nullptr;
}

RecordsList::RecordPtr RecordsList::recordWithIndex(long index) const {
    if (index < 0 || static_cast<size_t>(index) >= order_.size()) return nullptr;
    return order_[static_cast<size_t>(index)];
}

RecordsList::RecordPtr RecordsList::recordMatchingTags(const Dictionary& tags) const {
    for (const auto& r : order_) {
        bool all = true;
        for (size_t i = 0; i < tags.size() && all; ++i)
            all = r->findStructureWithTag(tags.keyAt(i), tags.valueAt(i).toString(), 1) != nullptr;
        if (all) return r;
    }
    return nullptr;
}

RecordsList::Records RecordsList::recordsWithTag(const std::string& tag, const std::string& content,
                                                 bool matchCase) const {
    Records out;
    for (const auto& r : order_) {
        auto s = r->findStructureWithTag(tag);
        if (!s) continue;
        if (matchCase ? s->contents() == content : compareCaseless(s->contents(), content) == 0) out.push_back(r);
    }
    return out;
}

RecordsList::RecordPtr RecordsList::stepRecord(int step, const RecordPtr& from) const {
    if (order_.empty()) return nullptr;
    if (step <= -2) return order_.front();
    if (step >= 2) return order_.back();
    auto it = std::find(order_.begin(), order_.end(), from);
    if (it == order_.end()) return nullptr;
    if (step == -1 && it != order_.begin()) return *(it - 1);
    if (step == 1 && it + 1 != order_.end()) return *(it + 1);
    return from;
}

bool RecordsList::validateStepRecord(int step, const RecordPtr& from) const {
    if (step == 0 || order_.empty()) return false;
    if (step >= 2 || step <= -2) return true;
    auto it = std::find(order_.begin(), order_.end(), from);
    if (it == order_.end()) return false;
    return step < 0 ? it != order_.begin() : it + 1 != order_.end();
}

std::vector<std::string> RecordsList::recordIDArray() const {
    std::vector<std::string> ids;
    ids.reserve(order_.size());
    for (const auto& r : order_) ids.push_back(r->grecordID());
    return ids;
}

Dictionary RecordsList::recordIDDictionary() const {
    Dictionary ids;
    for (const auto& r : order_) ids.set(r->grecordID(), 0);
    return ids;
}

std::string RecordsList::readAlbumID() const {
    const size_t space = recordType_.rfind(' ');
    return space == std::string::npos ? recordType_ : recordType_.substr(space + 1);
}

std::string RecordsList::grecordID() const { return "@" + readAlbumID() + "@"; }

}  // namespace kl
