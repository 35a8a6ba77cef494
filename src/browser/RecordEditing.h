#pragma once
// RecordEditing: what a record window's Detach, Delete, Change Sex and
// marital-status commands do to the data, apart from the questions they
// ask. Each change is one undo step of the record's document, named as the
// Edit menu shows it.
//
// Thread: main thread.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "foundation/UndoManager.h"
#include "model/DetachLinkList.h"
#include "model/GEDCOMRecord.h"

namespace kl {

class FAMRecord;
class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;
class INDIRecord;
class RecordsListForPanel;

// The picker's list of what a record can detach: one entry per event,
// attribute or link, shown as a pseudo record, each remembering the line
// and the line it hangs from.
class DetachEntries : public DetachLinkList {
public:
    struct Entry {
        std::shared_ptr<GEDCOMStructure> link;
        std::shared_ptr<GEDCOMObject> parent;
    };
    explicit DetachEntries(GEDCOMModel* model);
    void addDetachLink(const std::shared_ptr<GEDCOMStructure>& link, const std::optional<LinkName>& name,
                       const std::optional<std::string>& inEvent, GEDCOMObject* parent) override;
    const std::shared_ptr<RecordsListForPanel>& list() const { return list_; }
    std::optional<Entry> entryFor(const GEDCOMRecord* pseudo) const;

private:
    std::shared_ptr<RecordsListForPanel> list_;
    std::map<const GEDCOMRecord*, Entry> entries_;
};

class RecordEditing {
public:
    // One named undo step around a change; a record outside any document
    // (no undo manager) just changes. A null name leaves the step unnamed.
    template <class Change>
    static void undoable(GEDCOMRecord& record, const char* name, Change change) {
        UndoManager* undo = record.undoManager();
        if (undo) undo->beginUndoGrouping();
        change();
        if (undo) {
            if (name) undo->setActionName(name);
            undo->endUndoGrouping();
        }
    }

    static constexpr const char* kDetachItemAction = "Detach Event/Attribute/Link";
    static constexpr const char* kDeleteLinkedQuestion =
        "After detaching the link, the detached %@ will no longer be linked to any record. Do you want to delete "
        "the %@ record too?";
    static constexpr const char* kDeleteLinkedInfo =
        "Click 'No' to detach the link but keep the detached record in the file. Click 'Yes' to detach the link "
        "and delete the record.";

    // The record a detached note, multimedia, research-log or source link
    // would leave linked to nothing, when the user should be offered to
    // delete it too; nullptr otherwise.
    static std::shared_ptr<GEDCOMRecord> orphanedByDetaching(GEDCOMRecord& record, const GEDCOMStructure& item,
                                                             GEDCOMModel& model);
    // Takes `item` out of `parent` in `record`: a level-1 family link takes
    // the individual out of that family on both sides; anything else drops
    // the back-links its records keep, then the line; `alsoDelete` goes
    // afterwards, in the same undo step.
    static void detachItem(GEDCOMRecord& record, GEDCOMObject& parent, const std::shared_ptr<GEDCOMStructure>& item,
                           GEDCOMModel& model, const std::shared_ptr<GEDCOMRecord>& alsoDelete);

    // "Detach" when deleting a record that other records link to: `parent`
    // loses its one link of the record's type to `record`, and `record` its
    // back-link to `parent`. False when `parent` has no such link or more
    // than one (nothing changes).
    static bool detachFromParent(GEDCOMRecord& record, GEDCOMRecord& parent);

    // Changing an individual's sex: whether to ask first, and what to hand
    // the record.
    struct SexChange {
        bool ask = false;
        std::string newSex;   // "female" or "male", for the question
        std::string pronoun;  // "he" or "she"
        std::optional<std::string> value;  // nullopt: swap M and F
    };
    static SexChange sexChange(const INDIRecord& person);
    static void changeSex(INDIRecord& person, const std::optional<std::string>& value);

    static void toggleMaritalStatus(FAMRecord& family);
    static void detachSpouse(FAMRecord& family, const std::string& role);
    static void detachChild(FAMRecord& family, const std::shared_ptr<INDIRecord>& child);
};

}  // namespace kl
