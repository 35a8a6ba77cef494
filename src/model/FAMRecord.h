#pragma once
// FAMRecord: a family (`FAM`): spouses, children and family events, linked
// both ways with its individuals.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class FAMRecord : public GEDCOMRecord {
public:
    explicit FAMRecord(std::string recordID, std::string type = "FAM")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
