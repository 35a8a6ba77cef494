#pragma once
// PlaceRecord: a place (`_PLC`): a place name with its coordinates.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class PlaceRecord : public GEDCOMRecord {
public:
    explicit PlaceRecord(std::string recordID, std::string type = "_PLC")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
