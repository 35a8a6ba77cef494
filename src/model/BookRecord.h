#pragma once
// BookRecord: a book-style record (`_BOK`).
// The kind's own fields and operations build on the GEDCOMRecord base.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>

#include "model/GEDCOMRecord.h"

namespace kl {

class BookRecord : public GEDCOMRecord {
public:
    explicit BookRecord(std::string recordID, std::string type = "_BOK")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
};

}  // namespace kl
