#pragma once
// REPORecord: a repository (`REPO`): where sources are kept.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class REPORecord : public GEDCOMRecord {
public:
    explicit REPORecord(std::string recordID, std::string type = "REPO")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
