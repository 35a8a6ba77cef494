#pragma once
// GEDCOMRecord: the level-0 node of a GEDCOM tree and the base of the record
// kinds. It answers its type as its tag and its ID as its contents, and it is
// the one road by which structures are added to or removed from its tree
// with undo and the "Record Structures Changed Notification".
//
// Ownership: held by the record store's lists through shared_ptr; keeps a
// plain pointer to its store (which outlives it) and, for records outside a
// store, a plain pointer to an undo manager it was given.
//
// Thread: edited on the main thread; filled by a reading worker while its
// store's undo registration is off.
#include <memory>
#include <string>

#include "foundation/Value.h"
#include "model/GEDCOMObject.h"

namespace kl {

class RecordStore;

class GEDCOMRecord : public GEDCOMObject {
public:
    GEDCOMRecord();  // ID and type "UNKNOWN"
    GEDCOMRecord(std::string recordID, std::string type);

    const std::string& grecordID() const { return grecordID_; }
    void setGrecordID(std::string recordID) { grecordID_ = std::move(recordID); }
    const std::string& recordType() const { return recordType_; }
    void setRecordType(std::string type) { recordType_ = std::move(type); }
    bool isType(std::string_view type) const { return recordType_ == type; }
    const std::string& gtag() const override { return recordType_; }
    const std::string& contents() const override { return grecordID_; }

    GEDCOMRecord* theRecord() override { return this; }
    const GEDCOMRecord* theRecord() const override { return this; }

    RecordStore* model() const { return model_; }
    void setModel(RecordStore* model);
    // The store's undo manager; a record outside a store uses the one it
    // was given with setUndoManager (nullptr: nothing is undoable).
    UndoManager* undoManager() const override;
    void setUndoManager(UndoManager* undoManager) { undoManager_ = undoManager; }

    void appendStructureLine(std::string& out) const override;
    void appendGEDCOMArray(Array& rows) const override;
    virtual std::string viewName() const { return grecordID_; }

    // ---- the one road for structure insertion and removal
    using GEDCOMObject::addStructure;
    // Undoable; posts "Record Structures Changed Notification" with
    // "structure", "theRecord" and "scrollToView". Nothing happens when the
    // parent is not in this record.
    virtual void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure, bool scroll);
    // The same insertion without undo or notification.
    virtual void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure);
    // Undoable; announces the removal of the structure and its descendants,
    // then posts "Record Structures Changed Notification" with "structure"
    // and "removing" (the asking browser, or "" when none).
    virtual void removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                 std::shared_ptr<Object> fromBrowser);
    // Marks the record changed; the change-date lines are kept by the
    // record kinds that track them.
    virtual void setChangeDate() {}
    // A line read without a level number: kept as a level -1 child holding
    // the raw text, marked with the missing-level bit.
    std::shared_ptr<GEDCOMStructure> addNoLevel(std::string rawText);

private:
    std::string grecordID_;
    std::string recordType_;
    RecordStore* model_ = nullptr;
    UndoManager* undoManager_ = nullptr;
};

}  // namespace kl
