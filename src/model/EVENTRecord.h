#pragma once
// EVENTRecord: one entry of a list built for display or for one action (an
// event definition of the format, an optional tag offered by a record
// browser, a link offered for detaching), shown as if it were a record so
// that lists, cells and record paths work on it unchanged. Its lines carry
// the entry's data under private tags ("_NAM" its display name, "_TAG" the
// GEDCOM tag concerned, ...). It is never installed in a store nor written.
//
// Ownership: held by the list or window that made it (shared_ptr).
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class EVENTRecord : public GEDCOMRecord {
public:
    using GEDCOMRecord::GEDCOMRecord;

    // The first level-1 "_NAM" line's contents, "" without one.
    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override { return viewTagWhenPresent("_NAM"); }
    std::optional<std::string> scriptRecordType() const override { return "gedcomRecords"; }
};

}  // namespace kl
