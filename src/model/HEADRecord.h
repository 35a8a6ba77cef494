#pragma once
// HEADRecord: the header (`HEAD`) of a database: its ID is the word HEAD,
// it keeps no CHAN (a change only drops the cached text) and it cannot be
// deleted.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>

#include "model/GEDCOMRecord.h"

namespace kl {

class HEADRecord : public GEDCOMRecord {
public:
    HEADRecord() : GEDCOMRecord("HEAD", "HEAD") {}

    void setChangeDate() override { clearGEDCOMCache(); }
    std::optional<std::string> canBeDeleted(unsigned) override { return std::string("you cannot delete the header"); }
};

}  // namespace kl
