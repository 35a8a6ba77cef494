// The individual's relatives, reached only through its FAMS and FAMC links
// and the families they name. A link whose family or individual is missing
// is skipped; nothing here sorts.
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordLinkLists.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

std::shared_ptr<FAMRecord> familyOf(const GEDCOMRecord& record, const GEDCOMStructure& link) {
    RecordStore* store = record.model();
    if (!store) return nullptr;
    return std::dynamic_pointer_cast<FAMRecord>(store->recordWithID(link.contents(), "FAM"));
}

// The families named by the level-1 links with the tag, in record order.
std::vector<std::shared_ptr<FAMRecord>> familiesOf(const GEDCOMRecord& record, std::string_view tag) {
    std::vector<std::shared_ptr<FAMRecord>> families;
    for (const auto& link : record.structures())
        if (link->gtag() == tag)
            if (auto family = familyOf(record, *link)) families.push_back(family);
    return families;
}

}  // namespace

// ---- the browser's lists

void INDIRecord::setUpLinkLists(RecordLinkLists& lists) {
    GEDCOMRecord::setUpLinkLists(lists);
    readSpouses(&lists.spouses, &lists.families, &lists.children, nullptr);
    readFather(&lists.fatherOrHusband, &lists.motherOrWife, &lists.families, &lists.siblings);
    readAllTags(lists.places, "PLAC");
}

void INDIRecord::readSpouses(std::vector<std::string>* spouses, std::vector<std::string>* families,
                             std::vector<std::string>* children, const FAMRecord* skip) const {
    for (const auto& family : familiesOf(*this, "FAMS")) {
        if (families && family.get() != skip) families->push_back(family->grecordID());
        if (children) family->readChildren(*children, nullptr, nullptr);
        const std::string spouseID = family->spouseIDFor(grecordID());
        if (spouses && !spouseID.empty()) spouses->push_back(spouseID);
    }
}

void INDIRecord::readFather(std::vector<std::string>* fathers, std::vector<std::string>* mothers,
                            std::vector<std::string>* families, std::vector<std::string>* siblings) const {
    for (const auto& family : familiesOf(*this, "FAMC")) {
        if (families) families->push_back(family->grecordID());
        if (fathers) family->readParent(*fathers, nullptr, "HUSB");
        if (mothers) family->readParent(*mothers, nullptr, "WIFE");
        if (siblings) family->readChildren(*siblings, nullptr, this);
    }
}

// ---- parents

std::shared_ptr<FAMRecord> INDIRecord::parentsFAM() const {
    auto link = firstChildWithTag("FAMC");
    return link ? familyOf(*this, *link) : nullptr;
}

std::optional<std::vector<std::shared_ptr<INDIRecord>>> INDIRecord::parents() const {
    auto family = parentsFAM();
    if (!family) return std::nullopt;
    std::vector<std::shared_ptr<INDIRecord>> found;
    if (auto father = family->husbandRecord()) found.push_back(father);
    if (auto mother = family->wifeRecord()) found.push_back(mother);
    if (found.empty()) return std::nullopt;
    return found;
}

std::vector<std::shared_ptr<INDIRecord>> INDIRecord::parentRecs() const { return parents().value_or(
    std::vector<std::shared_ptr<INDIRecord>>{}); }

std::shared_ptr<INDIRecord> INDIRecord::fatherRecord() const {
    auto family = parentsFAM();
    return family ? family->husbandRecord() : nullptr;
}

std::shared_ptr<INDIRecord> INDIRecord::motherRecord() const {
    auto family = parentsFAM();
    return family ? family->wifeRecord() : nullptr;
}

Value INDIRecord::fatherRec() const {
    auto father = fatherRecord();
    return father ? Value(father) : Value("");
}

Value INDIRecord::motherRec() const {
    auto mother = motherRecord();
    return mother ? Value(mother) : Value("");
}

// ---- spouses and children

std::optional<std::vector<std::shared_ptr<FAMRecord>>> INDIRecord::spouses(const FAMRecord* leaveOut) const {
    std::vector<std::shared_ptr<FAMRecord>> found;
    for (auto& family : familiesOf(*this, "FAMS"))
        if (family.get() != leaveOut) found.push_back(std::move(family));
    if (found.empty()) return std::nullopt;
    return found;
}

std::vector<std::shared_ptr<FAMRecord>> INDIRecord::spouseFamsRecs() const {
    return spouses(nullptr).value_or(std::vector<std::shared_ptr<FAMRecord>>{});
}

std::vector<std::shared_ptr<INDIRecord>> INDIRecord::spouseRecs() const {
    std::vector<std::shared_ptr<INDIRecord>> found;
    for (const auto& family : familiesOf(*this, "FAMS"))
        if (auto other = family->spouseRecordFor(grecordID())) found.push_back(other);
    return found;
}

std::vector<std::shared_ptr<INDIRecord>> INDIRecord::childrenRecs() const {
    std::vector<std::shared_ptr<INDIRecord>> found;
    for (const auto& family : familiesOf(*this, "FAMS")) family->childrenToArray(found);
    return found;
}

std::shared_ptr<GEDCOMStructure> INDIRecord::spouseLink(std::string& spouseID, std::size_t index) const {
    std::size_t wanted = index < 2 ? 1 : index;
    for (const auto& link : structures()) {
        if (link->gtag() != "FAMS" || --wanted != 0) continue;
        auto family = familyOf(*this, *link);
        if (!family) return nullptr;
        spouseID = family->spouseIDFor(grecordID());
        return spouseID.empty() ? nullptr : link;
    }
    return nullptr;
}

std::shared_ptr<GEDCOMRecord> INDIRecord::spouse(std::shared_ptr<GEDCOMStructure>* link, std::size_t atIndex) {
    std::string spouseID;
    auto found = spouseLink(spouseID, atIndex);
    if (link) *link = found;
    return found ? linkedRecord(spouseID, "INDI") : nullptr;
}

// ---- all parent families, stepped

std::vector<std::shared_ptr<FAMRecord>> INDIRecord::allParentsStartStep(ParentSteps* steps) const {
    std::vector<std::shared_ptr<FAMRecord>> own;
    std::vector<std::shared_ptr<FAMRecord>> fathers;
    std::vector<std::shared_ptr<FAMRecord>> mothers;
    auto collect = [](std::vector<std::shared_ptr<FAMRecord>>& into, const std::shared_ptr<INDIRecord>& parent,
                      const FAMRecord* family) {
        if (!parent) return;
        if (auto others = parent->spouses(family)) into.insert(into.end(), others->begin(), others->end());
    };
    for (const auto& family : familiesOf(*this, "FAMC")) {
        own.push_back(family);
        collect(fathers, family->husbandRecord(), family.get());
        collect(mothers, family->wifeRecord(), family.get());
    }
    if (steps) *steps = ParentSteps{own.size(), fathers.size()};
    own.insert(own.end(), fathers.begin(), fathers.end());
    own.insert(own.end(), mothers.begin(), mothers.end());
    return own;
}

std::vector<std::shared_ptr<INDIRecord>> INDIRecord::allParentsWithSex(char16_t sex) const {
    std::vector<std::shared_ptr<INDIRecord>> found;
    for (const auto& family : allParents())
        for (auto parent : {family->husbandRecord(), family->wifeRecord()})
            if (parent && parent->sexChar() == sex) found.push_back(parent);
    return found;
}

}  // namespace kl
