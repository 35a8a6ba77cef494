#include "document/PlaceIndex.h"

#include <algorithm>

#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/TextOrder.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

std::size_t PlaceIndex::insertLocationForPlace(const std::string& name) const {
    auto at = std::lower_bound(order_.begin(), order_.end(), name, [](const std::string& a, const std::string& b) {
        const int c = compareCaseless(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return static_cast<std::size_t>(at - order_.begin());
}

void PlaceIndex::addPlace(const std::string& name, const RecordPtr& record) {
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

PlaceIndex::Places PlaceIndex::findDetachedPlaces() const {
    Places detached = placeNames_;
    if (!model_) return detached;
    for (const char* type : {"INDI", "FAM"}) {
        auto list = model_->recordsIndex().listForType(type);
        if (!list) continue;
        for (const auto& record : list->order())
            for (const auto& event : record->structures())
                for (const auto& line : event->structures())
                    if (line->gtag() == "PLAC") detached.erase(line->contents());
    }
    return detached;
}

}  // namespace kl
