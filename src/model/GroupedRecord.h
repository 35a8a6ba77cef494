#pragma once
// GroupedRecord: a group of structures of a real record, with their level,
// shown as a record of its own (a child browser's record, a group box's
// cells, expressions over part of a record). Its children are the real
// record's structures, shared and not copied, so a change made through it
// changes that record. It is never installed in a store nor written.
//
// Ownership: held by the cell or window that made it (shared_ptr); keeps its
// parent structure alive; the store is a plain pointer that it never
// registers with.
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>

#include "model/GEDCOMRecord.h"

namespace kl {

class GroupedRecord : public GEDCOMRecord {
public:
    // The group at `level` (not 0): the structures become its children.
    GroupedRecord(const StructureList& structures, int level, RecordStore* model, std::string type);

    std::shared_ptr<GEDCOMObject> parentStructure() const override { return parentStructure_; }
    void setParentStructure(std::shared_ptr<GEDCOMObject> structure) { parentStructure_ = std::move(structure); }
    std::optional<std::string> scriptRecordType() const override { return "gedcomRecords"; }
    // A group is no record of the store: it registers nothing there.
    void registerRecordNotifications() override {}

private:
    std::shared_ptr<GEDCOMObject> parentStructure_;
};

}  // namespace kl
