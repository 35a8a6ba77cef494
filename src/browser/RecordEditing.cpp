#include "browser/RecordEditing.h"

#include "document/GEDCOMModel.h"
#include "document/RecordsListForPanel.h"
#include "foundation/UndoManager.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/EVENTRecord.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

bool isLinkToRecordOfItsTag(const std::string& tag) {
    return tag == "NOTE" || tag == "OBJE" || tag == "_LOG" || tag == "SOUR";
}

}  // namespace

DetachEntries::DetachEntries(GEDCOMModel* model) : list_(RecordsListForPanel::listWithType("@IEV", model)) {}

void DetachEntries::addDetachLink(const std::shared_ptr<GEDCOMStructure>& link, const std::optional<LinkName>& name,
                                  const std::optional<std::string>& inEvent, GEDCOMObject* parent) {
    if (!name || !link || !parent) return;
    auto entry = std::make_shared<EVENTRecord>("@EVENT" + std::to_string(list_->count() + 1) + "@", "@IEV");
    entry->addLevel(1, "_TYP", (*name)[0]);
    entry->addLevel(1, "_NAM", (*name)[1]);
    entry->addLevel(1, "_EVT", inEvent ? ".." + *inEvent : std::string("Record"));
    entries_[entry.get()] = {link, parent->shared_from_this()};
    list_->addRecord(entry);
}

std::optional<DetachEntries::Entry> DetachEntries::entryFor(const GEDCOMRecord* pseudo) const {
    const auto found = entries_.find(pseudo);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
}

std::shared_ptr<GEDCOMRecord> RecordEditing::orphanedByDetaching(GEDCOMRecord& record, const GEDCOMStructure& item,
                                                                  GEDCOMModel& model) {
    const std::string& tag = item.gtag();
    if (!isLinkToRecordOfItsTag(tag)) return nullptr;
    auto linked = model.recordWithID(item.contents(), tag);
    if (!linked) return nullptr;
    if (record.findAllStructuresWithTag(tag, item.contents()).size() > 1) return nullptr;
    return linked->isNotLinkedToRecordsBesides(record.grecordID()) ? linked : nullptr;
}

void RecordEditing::detachItem(GEDCOMRecord& record, GEDCOMObject& parent,
                               const std::shared_ptr<GEDCOMStructure>& item, GEDCOMModel& model,
                               const std::shared_ptr<GEDCOMRecord>& alsoDelete) {
    const std::string& tag = item->gtag();
    if (item->glevel() == 1 && (tag == "FAMS" || tag == "FAMC") && record.isType("INDI")) {
        auto family = std::dynamic_pointer_cast<FAMRecord>(model.recordWithID(item->contents(), "FAM"));
        if (family && tag == "FAMC") {
            family->detachChild(std::static_pointer_cast<INDIRecord>(record.shared_from_this()));
            return;
        }
        if (family && family->husbandID() == record.grecordID()) {
            family->detachSpouse("HUSB");
            return;
        }
        if (family && family->wifeID() == record.grecordID()) {
            family->detachSpouse("WIFE");
            return;
        }
    }
    RecordEditing::undoable(record, kDetachItemAction, [&] {
        item->clearCrossLinksTo(record);
        record.removeStructure(item, &parent, nullptr);
        record.setChangeDate();
        if (alsoDelete) model.deleteRecord(alsoDelete);
    });
}

bool RecordEditing::detachFromParent(GEDCOMRecord& record, GEDCOMRecord& parent) {
    const std::string& type = record.recordType();
    const auto links = parent.findAllStructuresWithTag(type, record.grecordID());
    if (links.empty() || !links.front().parent) return false;
    RecordEditing::undoable(record, "Detach Record Link", [&] {
        if (links.size() == 1) {
            if (type == "_LOG") {
                for (const char* backTag : {"_INDI", "_FAM", "__PLC"}) record.detachCrossRef(backTag, parent.grecordID());
            } else {
                record.detachCrossRefTo(parent.grecordID());
            }
        }
        parent.removeStructure(links.front().structure, links.front().parent.get(), nullptr);
        parent.setChangeDate();
    });
    return true;
}

RecordEditing::SexChange RecordEditing::sexChange(const INDIRecord& person) {
    SexChange change;
    if (!person.firstChildWithTag("FAMS")) return change;
    const std::string sex = person.sex();
    if (sex == "M" || sex == "F") {
        change.ask = true;
        change.newSex = sex == "M" ? "female" : "male";
        change.pronoun = sex == "M" ? "he" : "she";
        return change;
    }
    bool women = false;
    bool men = false;
    for (const auto& spouse : person.spouseRecs()) {
        const std::string spouseSex = spouse ? spouse->sex() : std::string();
        women = women || spouseSex == "F";
        men = men || spouseSex == "M";
    }
    if (women != men) change.value = women ? "M" : "F";
    return change;
}

void RecordEditing::changeSex(INDIRecord& person, const std::optional<std::string>& value) {
    RecordEditing::undoable(person, "Changed Sex", [&] { person.changeSex(value); });
}

void RecordEditing::toggleMaritalStatus(FAMRecord& family) {
    RecordEditing::undoable(family, "Changed Marital Status", [&] { family.toggleMaritalStatus(); });
}

void RecordEditing::detachSpouse(FAMRecord& family, const std::string& role) {
    RecordEditing::undoable(family, role == "HUSB" ? "Detach Husband" : "Detach Wife", [&] { family.detachSpouse(role); });
}

void RecordEditing::detachChild(FAMRecord& family, const std::shared_ptr<INDIRecord>& child) {
    RecordEditing::undoable(family, "Detach Child", [&] { family.detachChild(child); });
}

}  // namespace kl
