#include "document/PlaceIndex.h"

#include <algorithm>

#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/TextOrder.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/PlaceRecord.h"
#include "foundation/UndoManager.h"

namespace kl {

PlaceIndex::PlaceIndex(GEDCOMModel* model) : model_(model) {
    if (!model_) return;
    renames_ = NotificationCenter::defaultCenter().addObserver(
        notification_names::RecordMayNeedSorting, nullptr, [this](const Notification& note) {
            updateRecordState(dynamic_cast<const GEDCOMRecord*>(static_cast<const GEDCOMObject*>(note.object)));
        });
}

std::size_t PlaceIndex::insertLocationForPlace(const std::string& name) const {
    auto at = std::lower_bound(order_.begin(), order_.end(), name, [](const std::string& a, const std::string& b) {
        const int c = compareCaseless(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return static_cast<std::size_t>(at - order_.begin());
}

void PlaceIndex::addPlace(const std::string& name, const RecordPtr& record) {
    if (auto place = std::dynamic_pointer_cast<PlaceRecord>(record)) place->setCurrentName(name);
    if (name.empty() || !record) return;
    auto& records = placeNames_[name];
    if (records.empty()) order_.insert(order_.begin() + static_cast<long>(insertLocationForPlace(name)), name);
    records.push_back(record);
}

void PlaceIndex::deletePlace(const RecordPtr& record, const std::string& name) {
    auto found = placeNames_.find(name);
    if (found == placeNames_.end()) return;
    auto& records = found->second;
    records.erase(std::remove(records.begin(), records.end(), record), records.end());
    if (!records.empty()) return;
    placeNames_.erase(found);
    order_.erase(std::remove(order_.begin(), order_.end(), name), order_.end());
}

PlaceIndex::RecordPtr PlaceIndex::placeForName(const std::string& name) const {
    auto found = placeNames_.find(name);
    return found == placeNames_.end() ? nullptr : found->second.front();
}

std::string PlaceIndex::uniquePlaceName(const std::string& base) const {
    for (long n = 1;; ++n) {
        std::string name = base + std::to_string(n);
        if (!placeNames_.count(name)) return name;
    }
}

// ---- citations

template <typename Visit>
void PlaceIndex::eachCitation(const std::string* name, Visit visit) const {
    if (!model_ || (name && name->empty())) return;
    for (const char* type : {"INDI", "FAM"}) {
        auto list = model_->recordsIndex().listForType(type);
        if (!list) continue;
        for (const auto& record : list->order())
            for (const auto& event : record->structures())
                for (const auto& line : event->structures())
                    if (line->gtag() == "PLAC" && (!name || line->contents() == *name) && !visit(record, line)) return;
    }
}

PlaceIndex::Places PlaceIndex::findDetachedPlaces() const {
    Places detached = placeNames_;
    eachCitation(nullptr, [&](const RecordPtr&, const std::shared_ptr<GEDCOMStructure>& line) {
        detached.erase(line->contents());
        return true;
    });
    return detached;
}

std::vector<PlaceIndex::RecordPtr> PlaceIndex::findPlace(const std::string& name, Citations* citations) const {
    std::vector<RecordPtr> records;
    eachCitation(&name, [&](const RecordPtr& record, const std::shared_ptr<GEDCOMStructure>& line) {
        if (records.empty() || records.back() != record) {
            records.push_back(record);
            if (citations) citations->emplace_back();
        }
        if (citations) citations->back().push_back(line);
        return true;
    });
    return records;
}

bool PlaceIndex::findAnyPlace(const std::string& name) const {
    bool found = false;
    eachCitation(&name, [&](const RecordPtr&, const std::shared_ptr<GEDCOMStructure>&) { return !(found = true); });
    return found;
}

bool PlaceIndex::findMultiplePlace(const std::string& name) const {
    int count = 0;
    eachCitation(&name, [&](const RecordPtr&, const std::shared_ptr<GEDCOMStructure>&) { return ++count < 2; });
    return count >= 2;
}

void PlaceIndex::changePlace(const std::string& oldName, const std::string& newName) {
    Citations citations;
    const auto records = findPlace(oldName, &citations);
    for (std::size_t i = 0; i < records.size(); ++i) {
        for (const auto& line : citations[i]) line->setContents(newName);
        records[i]->setChangeDate();
    }
}

void PlaceIndex::updateRecordState(const GEDCOMRecord* edited) {
    auto* place = dynamic_cast<const PlaceRecord*>(edited);
    if (!place || !model_ || place->model() != model_) return;
    const std::string oldName = place->currentName();
    const std::string newName = place->placeName();
    if (oldName == newName) return;
    RecordPtr record = model_->recordWithID(place->grecordID());
    if (record.get() != edited) return;
    deletePlace(record, oldName);
    addPlace(newName, record);
    UndoManager* undo = model_->undoManager();
    // A place whose name was emptied leaves its events citing the old text:
    // emptying them would lose every event's place.
    if (newName.empty() || oldName.empty()) return;
    if (!undo || !undo->isUndoing()) changePlace(oldName, newName);
}

}  // namespace kl
