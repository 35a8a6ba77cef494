#pragma once
// SUBNRecord: the submission (`SUBN`): keeps no change date.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class SUBNRecord : public GEDCOMRecord {
public:
    explicit SUBNRecord(std::string recordID, std::string type = "SUBN")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
    // Keeps no CHAN: a change only drops the cached text.
    void setChangeDate() override { clearGEDCOMCache(); }
};

}  // namespace kl
