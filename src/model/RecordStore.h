#pragma once
// RecordStore: what a record and its structures ask of the store that owns
// the record (the document's record store implements it). The tree holds it
// by plain pointer: a store outlives the records it lists.
//
// Thread: the same as the records it serves.
#include <memory>
#include <string>

namespace kl {

class GEDCOMRecord;
class UndoManager;

class RecordStore {
public:
    virtual ~RecordStore() = default;

    // The document's undo manager, or nullptr when changes are not undoable.
    virtual UndoManager* undoManager() = 0;
    // The record with that ID (with its "@" signs) and type; an empty type
    // matches any type. nullptr when there is none.
    virtual std::shared_ptr<GEDCOMRecord> recordWithID(const std::string& recordID,
                                                       const std::string& type) = 0;
    // The singular display name of a record type ("Source" for SOUR).
    virtual std::string singularNameForType(const std::string& type) = 0;
};

}  // namespace kl
