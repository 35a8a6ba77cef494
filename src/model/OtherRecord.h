#pragma once
// OtherRecord: a record of a type the program has no kind for (custom `_`
// types and unknown tags); its type comes from the file.
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class OtherRecord : public GEDCOMRecord {
public:
    OtherRecord(std::string recordID, std::string type) : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
