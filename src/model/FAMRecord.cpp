// The family's spouse and child links, kept on both sides, and the
// not-married mark.
#include "model/FAMRecord.h"

#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

std::shared_ptr<GEDCOMStructure> lastLevelOne(const GEDCOMObject& record, std::string_view tag) {
    std::shared_ptr<GEDCOMStructure> last;
    for (const auto& child : record.structures())
        if (child->gtag() == tag) last = child;
    return last;
}

std::shared_ptr<GEDCOMStructure> levelOneWith(const GEDCOMObject& record, std::string_view tag,
                                              std::string_view contents) {
    for (const auto& child : record.structures())
        if (child->gtag() == tag && child->contents() == contents) return child;
    return nullptr;
}

const char* pedigreeText(int pedigree) {
    switch (pedigree) {
        case FAMRecord::PedigreeAdopted: return "Adopted";
        case FAMRecord::PedigreeFoster: return "Foster";
        case FAMRecord::PedigreeSealing: return "Sealing";
        default: return nullptr;
    }
}

}  // namespace

const std::vector<FAMRecord::LinkTriple>& FAMRecord::linkTriples() {
    static const std::vector<LinkTriple> triples{
        {"HUSB", "FAMS", "INDI"}, {"WIFE", "FAMS", "INDI"}, {"CHIL", "FAMC", "INDI"}, {"_LOG", "_FAM", "_LOG"}};
    return triples;
}

// ---- queries

std::shared_ptr<INDIRecord> FAMRecord::resolve(const std::string& recordID) const {
    if (recordID.empty()) return nullptr;
    return std::dynamic_pointer_cast<INDIRecord>(linkedRecord(recordID, "INDI"));
}

std::shared_ptr<GEDCOMStructure> FAMRecord::husband() const { return firstChildWithTag("HUSB"); }
std::shared_ptr<GEDCOMStructure> FAMRecord::wife() const { return firstChildWithTag("WIFE"); }

std::string FAMRecord::husbandID() const {
    auto link = husband();
    return link ? link->contents() : std::string();
}

std::string FAMRecord::wifeID() const {
    auto link = wife();
    return link ? link->contents() : std::string();
}

std::shared_ptr<INDIRecord> FAMRecord::husbandRecord() const { return resolve(husbandID()); }
std::shared_ptr<INDIRecord> FAMRecord::wifeRecord() const { return resolve(wifeID()); }

std::string FAMRecord::spouseIDFor(const std::string& recordID) const {
    return recordID == husbandID() ? wifeID() : husbandID();
}

std::shared_ptr<INDIRecord> FAMRecord::spouseRecordFor(const std::string& recordID) const {
    return resolve(spouseIDFor(recordID));
}

std::vector<std::shared_ptr<INDIRecord>> FAMRecord::children() const {
    std::vector<std::shared_ptr<INDIRecord>> found;
    for (const auto& child : structures())
        if (child->gtag() == "CHIL")
            if (auto record = resolve(child->contents())) found.push_back(record);
    return found;
}

bool FAMRecord::isUnmarried() const { return firstChildWithTag("_UMR") != nullptr; }

bool FAMRecord::canLinkTo(std::string_view type) const {
    for (std::string_view allowed : {"SOUR", "NOTE", "OBJE", "_LOG", "INDI", "SUBM"})
        if (type == allowed) return true;
    return false;
}

bool FAMRecord::isConnected() {
    if (husband() && wife()) return true;
    return countChildren("CHIL") + countChildren("HUSB") + countChildren("WIFE") >= 2;
}

// ---- changes

std::shared_ptr<GEDCOMStructure> FAMRecord::line(int level, std::string tag, std::string contents) {
    return std::make_shared<GEDCOMStructure>(this, level, std::move(tag), std::move(contents));
}

void FAMRecord::attachSpouse(const std::shared_ptr<INDIRecord>& individual, const std::string& tag) {
    if (!individual || (tag != "HUSB" && tag != "WIFE")) return;
    const std::string other = tag == "HUSB" ? "WIFE" : "HUSB";
    std::string slot = tag;
    if (firstChildWithTag(tag)) {
        if (!firstChildWithTag(other))
            slot = other;
        else
            detachSpouse(tag);
    }
    auto anchor = husband();
    addStructure(line(1, slot, individual->grecordID()), this, anchor.get(), true);
    setChangeDate();

    auto famsAnchor = individual->findAfterStructure({"FAMS", "SEX", "NAME"});
    individual->addStructure(std::make_shared<GEDCOMStructure>(individual.get(), 1, "FAMS", grecordID()),
                             individual.get(), famsAnchor.get(), false);
    individual->setChangeDate();
}

void FAMRecord::detachSpouse(const std::string& tag) {
    auto link = firstChildWithTag(tag);
    if (!link) return;
    // The individual may be gone; the family's own line goes regardless.
    if (auto individual = resolve(link->contents())) {
        if (auto fams = levelOneWith(*individual, "FAMS", grecordID())) {
            individual->removeStructure(fams, individual.get(), nullptr);
            individual->setChangeDate();
        }
    }
    removeStructure(link, this, nullptr);
    setChangeDate();
}

void FAMRecord::detachSpouseByID(const std::string& recordID) {
    auto link = husbandID() == recordID ? husband() : nullptr;
    if (!link && wifeID() == recordID) link = wife();
    if (!link) return;
    removeStructure(link, this, nullptr);
    setChangeDate();
}

void FAMRecord::attachChild(const std::shared_ptr<INDIRecord>& child, int pedigree) {
    if (!child) return;
    auto anchor = lastLevelOne(*this, "CHIL");
    if (!anchor) anchor = findAfterStructure({"MARR", "WIFE", "HUSB"});
    addStructure(line(1, "CHIL", child->grecordID()), this, anchor.get(), true);
    setChangeDate();

    auto famc = std::make_shared<GEDCOMStructure>(child.get(), 1, "FAMC", grecordID());
    if (const char* text = pedigreeText(pedigree)) famc->addLevel(2, "PEDI", text);
    auto famcAnchor = child->findAfterStructure({"FAMC", "FAMS", "SEX", "NAME"});
    child->addStructure(famc, child.get(), famcAnchor.get(), false);
    child->setChangeDate();
}

void FAMRecord::detachChild(const std::shared_ptr<INDIRecord>& child) {
    if (!child) return;
    if (auto famc = levelOneWith(*child, "FAMC", grecordID())) {
        child->removeStructure(famc, child.get(), nullptr);
        child->setChangeDate();
    }
    if (auto link = levelOneWith(*this, "CHIL", child->grecordID())) {
        removeStructure(link, this, nullptr);
        setChangeDate();
    }
}

void FAMRecord::toggleMaritalStatus() {
    if (auto mark = firstChildWithTag("_UMR")) {
        removeStructure(mark, this, nullptr);
    } else {
        auto anchor = findAfterStructure({"WIFE", "HUSB"});
        addStructure(line(1, "_UMR", "Y"), this, anchor.get(), true);
        if (auto marriage = firstChildWithTag("MARR")) removeStructure(marriage, this, nullptr);
    }
    setChangeDate();
}

// ---- link upkeep

void FAMRecord::removeAllLinks() {
    for (const auto& triple : linkTriples())
        detachCrossRefsIn(triple.tag, std::string(triple.reciprocal), std::string(triple.targetType), false);
    GEDCOMRecord::removeAllLinks();
}

void FAMRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    for (const auto& triple : linkTriples())
        changeCrossRefsIn(triple.tag, std::string(triple.reciprocal), std::string(triple.targetType), oldID, newID,
                          withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

}  // namespace kl
