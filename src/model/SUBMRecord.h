#pragma once
// SUBMRecord: a submitter (`SUBM`): who made the data; linked without back
// links.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class SUBMRecord : public GEDCOMRecord {
public:
    explicit SUBMRecord(std::string recordID, std::string type = "SUBM")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
