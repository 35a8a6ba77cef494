#pragma once
// PlaceRecord: a place (`_PLC`): a place name with its coordinates.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class PlaceRecord : public GEDCOMRecord {
public:
    explicit PlaceRecord(std::string recordID, std::string type = "_PLC")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // The first level-1 _PLACE when not empty, else "Place ID <id>".
    std::string viewName() const override;
    // The view name's comma-separated parts, trimmed, last first ("Vessland,
    // Lower Vessmark, Radavizu"); a name of one part unchanged.
    std::string altViewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override { return viewTagWhenPresent("_PLACE"); }
};

}  // namespace kl
