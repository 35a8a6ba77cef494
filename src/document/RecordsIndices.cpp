#include "document/RecordsIndices.h"

#include <algorithm>

#include "document/GEDCOMModel.h"
#include "foundation/RunInParts.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

std::string nameForNewList(const std::string& key, int32_t listType) {
    switch (listType) {
        case ListUserDefinedType: return "User Defined (" + key + ")";
        case ListReports: return "Reports";
        case ListCorrupted: return "Corrupted Records";
        case ListUserAlbum: return "New Album";
        default: return RecordsIndices::pluralNameForRecordType(key, nullptr);
    }
}

}  // namespace

RecordsIndices::RecordsIndices(GEDCOMModel* model, const Array* albums) : model_(model) {
    if (albums) {
        buildFromAlbums(*albums);
        return;
    }
    addList("INDI", nullptr);
    addList("FAM", nullptr);
}

void RecordsIndices::buildFromAlbums(const Array& albums) {
    lists_.clear();
    listKeys_.clear();
    for (const Value& v : albums)
        if (const Dictionary* album = v.dictionary()) addExistingList(RecordsList::listFromDictionary(*album, model_));
}

void RecordsIndices::resetAlbums(const Array* albums) {
    if (albums) buildFromAlbums(*albums);
}

RecordsIndices::ListPtr RecordsIndices::addList(const std::string& key, ListPtr list) {
    const int32_t type = listTypeForKey(key);
    if (!list) list = RecordsList::listWithType(key, nameForNewList(key, type), model_);
    list->setListType(type);
    lists_.push_back(list);
    listKeys_[key] = list;
    return list;
}

void RecordsIndices::removeList(const ListPtr& list) {
    auto it = std::find(lists_.begin(), lists_.end(), list);
    if (it == lists_.end()) return;
    lists_.erase(it);
    auto key = listKeys_.find(list->recordType());
    if (key != listKeys_.end() && key->second == list) listKeys_.erase(key);
}

void RecordsIndices::removeListForType(const std::string& key) {
    if (auto list = listForType(key)) removeList(list);
}

void RecordsIndices::reloadKeys() {
    listKeys_.clear();
    for (const auto& list : lists_) listKeys_[list->recordType()] = list;
}

void RecordsIndices::trimEmptyLists() {
    std::vector<ListPtr> kept;
    for (const auto& list : lists_) {
        if (list->count() == 0 && !list->readOrder().empty()) {
            for (const auto& id : list->readOrder())
                if (auto record = recordWithID(id)) list->addRecord(record);
            list->setReadOrder({});
        }
        // A user album is the user's own, however empty: only the user
        // deletes it.
        if (list->count() > 0 || list->listType() == ListUserAlbum) kept.push_back(list);
    }
    lists_ = std::move(kept);
    reloadKeys();
}

void RecordsIndices::moveRowFrom(long from, long to) {
    const long n = static_cast<long>(lists_.size());
    if (from < 0 || from >= n || to < 0) return;
    if (UndoManager* um = model_ ? model_->undoManager() : nullptr; um && um->isUndoRegistrationEnabled()) {
        const long undoFrom = from < to ? to - 1 : to;
        const long undoTo = from < to ? from : from + 1;
        um->registerUndo(this, [this, undoFrom, undoTo] { moveRowFrom(undoFrom, undoTo); });
    }
    ListPtr moving = lists_[static_cast<size_t>(from)];
    lists_.insert(lists_.begin() + std::min(to, n), moving);
    lists_.erase(lists_.begin() + (to < from ? from + 1 : from));
}

void RecordsIndices::reserveRecords(std::size_t factor) {
    for (const auto& list : lists_)
        if (isRecordList(*list) && list->count() > 0) list->reserveRecords(list->count() * factor);
}

void RecordsIndices::prepareAfterRead() {
    UndoManager* um = model_ ? model_->undoManager() : nullptr;
    if (!um || um->isUndoRegistrationEnabled()) return;
    std::vector<GEDCOMRecord*> records;
    for (const auto& list : lists_)
        if (isRecordList(*list))
            for (const auto& record : list->order()) records.push_back(record.get());
    const std::size_t threads =
        std::min<std::size_t>(static_cast<std::size_t>(GEDCOMModel::tidyingThreads(records.size())), records.size());
    // Each thread takes a run of records of its own; records are independent
    // until the store's pass links them.
    std::vector<char> placed(std::max<std::size_t>(threads, 1), 0);
    runInParts(placed.size(), [&](std::size_t part) {
        const std::size_t from = records.size() * part / placed.size();
        const std::size_t to = records.size() * (part + 1) / placed.size();
        bool any = false;
        for (std::size_t i = from; i < to; ++i) any = records[i]->prepareAfterRead() || any;
        placed[part] = any;
    });
    // Records tidied while the read installed them are skipped above; what
    // they got counts too.
    const bool whileReading = model_->takeUUIDsFromReading();
    if (whileReading || std::find(placed.begin(), placed.end(), 1) != placed.end()) model_->setInsertedSomeUUIDs(true);
}

void RecordsIndices::simplifyGEDCOM(int mode) {
    // A document's read prepares its records on several threads; the pass
    // below then follows right away, before anything else sees them.
    if (mode == 1 || mode == 2) prepareAfterRead();
    for (const auto& list : std::vector<ListPtr>(lists_))
        if (isRecordList(*list)) list->simplifyGEDCOMInList(mode);
    for (const char* type : {"NOTE", "SOUR", "OBJE"}) convert_REFDictionaries(type);
    if (ListPtr objects = listForType("OBJE")) objects->scanMultimediaFiles(mode);
}

void RecordsIndices::convert_REFDictionaries(const std::string& type) {
    if (ListPtr list = listForType(type)) list->convert_REFToArray();
}

// ---- records

bool RecordsIndices::addRecord(const RecordPtr& record, bool sorted) {
    if (!record) return false;
    ListPtr list = listForType(record->recordType());
    const bool created = !list;
    if (created) list = addList(record->recordType(), nullptr);
    if (sorted)
        list->addRecord(record, true);
    else
        list->addRecord(record);
    record->setModel(model_);
    return created;
}

bool RecordsIndices::addCorruptedRecord(const RecordPtr& record, bool sorted) {
    if (!record) return false;
    ListPtr list = listForType(kCorrupted);
    const bool created = !list;
    if (created) list = addList(kCorrupted, nullptr);
    if (sorted)
        list->addRecord(record, false);
    else
        list->addRecord(record);
    return created;
}

bool RecordsIndices::removeCorruptedRecord(const RecordPtr& record) {
    ListPtr list = listForType(kCorrupted);
    if (!list) return false;
    list->removeRecord(record);
    return list->count() == 0;
}

// ---- lookups

RecordsIndices::RecordPtr RecordsIndices::recordWithID(const std::string& recordID) const {
    for (const auto& list : lists_)
        if (auto r = list->recordWithID(recordID)) return r;
    return nullptr;
}

RecordsIndices::RecordPtr RecordsIndices::recordWithID(const std::string& recordID, const std::string& type) const {
    if (type.empty()) return recordWithID(recordID);
    // Trees resolve every link they show through here: the list is looked
    // at in place rather than shared for the call.
    const auto found = listKeys_.find(type);
    return found == listKeys_.end() || !found->second ? nullptr : found->second->recordWithID(recordID);
}

RecordsIndices::RecordPtr RecordsIndices::recordAtIndex(long index) const {
    if (index < 0) return nullptr;
    for (const auto& list : lists_) {
        if (!isRecordList(*list)) continue;
        if (index < static_cast<long>(list->count())) return list->recordWithIndex(index);
        index -= static_cast<long>(list->count());
    }
    return nullptr;
}

RecordsIndices::RecordPtr RecordsIndices::recordWithViewName(const std::string& name) const {
    for (const auto& list : lists_)
        if (isRecordList(*list))
            if (auto r = list->recordWithViewName(name)) return r;
    return nullptr;
}

RecordsIndices::RecordPtr RecordsIndices::recordType(const std::string& type, const Dictionary& matchingTags) const {
    ListPtr list = listForType(type);
    return list ? list->recordMatchingTags(matchingTags) : nullptr;
}

RecordsIndices::ListPtr RecordsIndices::listForType(const std::string& key) const {
    auto found = listKeys_.find(key);
    return found == listKeys_.end() ? nullptr : found->second;
}

RecordsIndices::RecordPtr RecordsIndices::header() const {
    ListPtr list = listForType("HEAD");
    return list ? list->recordWithIndex(0) : nullptr;
}

RecordsIndices::RecordPtr RecordsIndices::submission() const {
    ListPtr list = listForType("SUBN");
    return list ? list->recordWithIndex(0) : nullptr;
}

long RecordsIndices::recordTypeIndex(const std::string& key) const {
    for (size_t i = 0; i < lists_.size(); ++i)
        if (lists_[i]->recordType() == key) return static_cast<long>(i);
    return -1;
}

std::vector<RecordsIndices::ListPtr> RecordsIndices::albums() const {
    std::vector<ListPtr> out;
    for (const auto& list : lists_)
        if (list->listType() == ListUserAlbum) out.push_back(list);
    return out;
}

RecordsIndices::ListPtr RecordsIndices::userAlbumNamed(const std::string& name) const {
    for (const auto& list : albums())
        if (list->name() == name) return list;
    return nullptr;
}

RecordsIndices::ListPtr RecordsIndices::userAlbumWithId(const std::string& albumID) const {
    for (const auto& list : albums())
        if (list->readAlbumID() == albumID) return list;
    return nullptr;
}

RecordsIndices::ListPtr RecordsIndices::userAlbumAtIndex(long index) const {
    const auto all = albums();
    if (index < 0 || index >= static_cast<long>(all.size())) return nullptr;
    return all[static_cast<size_t>(index)];
}

Array RecordsIndices::albumOrder() const {
    Array out;
    out.reserve(lists_.size());
    for (const auto& list : lists_) out.emplace_back(list->listDictionary());
    return out;
}

std::size_t RecordsIndices::numberOfRecords() const {
    std::size_t n = 0;
    for (const auto& list : lists_)
        if (isRecordList(*list)) n += list->count();
    return n;
}

std::size_t RecordsIndices::countOf(const std::string& key) const {
    ListPtr list = listForType(key);
    return list ? list->count() : 0;
}

std::size_t RecordsIndices::numberOfLogRecords() const { return countOf("_LOG"); }
std::size_t RecordsIndices::numberOfObjeRecords() const { return countOf("OBJE"); }

std::vector<RecordsIndices::RecordPtr> RecordsIndices::collectRecords(const std::optional<std::string>& key) const {
    std::vector<RecordPtr> out;
    auto append = [&out](const ListPtr& list) { out.insert(out.end(), list->order().begin(), list->order().end()); };
    if (!key) {
        for (const auto& list : lists_)
            if (isRecordList(*list)) append(list);
    } else if (*key == "Unknown") {
        for (const auto& list : lists_)
            if (list->listType() == ListUserDefinedType) append(list);
    } else if (*key == "Unused Place") {
        if (model_)
            for (const auto& [name, places] : model_->places().findDetachedPlaces())
                out.insert(out.end(), places.begin(), places.end());
    } else if (ListPtr list = listForType(*key)) {
        append(list);
    }
    return out;
}

std::unordered_map<std::string, RecordsIndices::RecordPtr> RecordsIndices::collectIDs() const {
    std::unordered_map<std::string, RecordPtr> ids;
    for (const auto& list : lists_)
        if (isRecordList(*list) && list->recordType() != "HEAD")
            for (const auto& r : list->order()) ids.emplace(r->grecordID(), r);
    return ids;
}

}  // namespace kl
