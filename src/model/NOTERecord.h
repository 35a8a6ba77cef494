#pragma once
// NOTERecord: a note (`NOTE`): citeable text whose back links say who cites
// it; deleted with the last record that cites it.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class NOTERecord : public GEDCOMRecord {
public:
    explicit NOTERecord(std::string recordID, std::string type = "NOTE")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
    bool isCiteableType() const override { return true; }
    // Whether only that record (or, for nullopt, no record) cites this one.
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override {
        return backLinksHoldOnly(recordID);
    }
};

}  // namespace kl
