#pragma once
// INDIRecord: an individual (`INDI`): names, sex, events and the family links
// kept both ways with families.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class INDIRecord : public GEDCOMRecord {
public:
    explicit INDIRecord(std::string recordID, std::string type = "INDI")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
