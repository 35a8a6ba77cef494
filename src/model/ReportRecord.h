#pragma once
// ReportRecord: a stored report (`_RPT`): kept out of the undo history and
// never written to the file.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class ReportRecord : public GEDCOMRecord {
public:
    explicit ReportRecord(std::string recordID, std::string type = "_RPT")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
