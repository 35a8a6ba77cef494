#pragma once
// OBJERecord: a multimedia object (`OBJE`): a citeable record naming a file or
// a URL.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class OBJERecord : public GEDCOMRecord {
public:
    explicit OBJERecord(std::string recordID, std::string type = "OBJE")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
    bool isCiteableType() const override { return true; }
    // Whether only that record (or, for nullopt, no record) cites this one.
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override {
        return backLinksHoldOnly(recordID);
    }
};

}  // namespace kl
