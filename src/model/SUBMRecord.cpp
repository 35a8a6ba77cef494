// A submitter's names, the main submitter's protection, link upkeep through
// the records that hold submitter links, and report prose.
#include "model/SUBMRecord.h"

#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

const std::vector<SUBMRecord::LinkHolder>& SUBMRecord::linkHolders() {
    static const std::vector<LinkHolder> holders{
        {"SUBM", "INDI"}, {"ANCI", "INDI"}, {"DESI", "INDI"}, {"SUBM", "FAM"}, {"SUBM", "SUBN"}};
    return holders;
}

std::string SUBMRecord::viewName() const {
    std::string name = dataWithTag("NAME");
    return name.empty() ? "Submitter ID " + grecordID() : name;
}

std::optional<std::vector<std::string>> SUBMRecord::viewTags() const {
    return viewTagWhenPresent("NAME");
}

std::string SUBMRecord::textForNewRecord(bool) { return "1 NAME New Submitter"; }

void SUBMRecord::insertNewUserText(const std::string& text) {
    if (auto name = firstChildWithTag("NAME")) name->setContents(text);
}

void SUBMRecord::setViewName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setViewName(name); })) return;
    if (auto line = firstChildWithTag("NAME"))
        line->setContents(name);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "NAME", name), this, nullptr, false);
    setChangeDate();
}

bool SUBMRecord::isMainSubmitter() const {
    auto header = model() ? std::dynamic_pointer_cast<HEADRecord>(model()->firstRecordOfType("HEAD")) : nullptr;
    return header && header->mainSubmitter() == grecordID();
}

std::optional<std::string> SUBMRecord::canBeDeleted(unsigned how) {
    if (isMainSubmitter()) return std::string("you cannot delete the main submitter");
    return GEDCOMRecord::canBeDeleted(how);
}

void SUBMRecord::removeAllLinks() {
    if (RecordStore* store = model())
        for (const auto& holder : linkHolders()) store->detachLinksTo(grecordID(), holder.tag, holder.type);
    GEDCOMRecord::removeAllLinks();
}

void SUBMRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    if (RecordStore* store = model())
        for (const auto& holder : linkHolders()) store->changeLinksTo(oldID, holder.tag, holder.type, newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

std::string SUBMRecord::mergeRequirement() const { return "To merge submitters, they must must have the same name."; }

Value SUBMRecord::reportDescription(std::uint32_t options) const {
    const std::string name =
        (options & ReportMainLink) ? report::link(grecordID(), viewName()) : viewName();
    const std::string role = isMainSubmitter() ? "the main" : "an alternate";
    if (options & ReportList) return Value(Array{Value("Record: " + role + " submitter"), Value("Name: " + name)});
    return Value(name + " is " + role + " submitter for the genealogy data in this file.");
}

}  // namespace kl
