// A research log's title, its visible back-link lines, drops, tasks and
// merge rules.
#include "model/LOGRecord.h"

#include <algorithm>

#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"

namespace kl {

const std::vector<LOGRecord::BackLink>& LOGRecord::backLinks() {
    static const std::vector<BackLink> links{{"_FAM", "FAM"}, {"_INDI", "INDI"}, {"__PLC", "_PLC"}};
    return links;
}

std::string LOGRecord::viewName() const {
    std::string title = dataWithTag("_TTL");
    return title.empty() ? "Research Log ID " + grecordID() : title;
}

std::optional<std::vector<std::string>> LOGRecord::viewTags() const {
    return viewTagWhenPresent("_TTL");
}

std::string LOGRecord::textForNewRecord(bool) { return "1 _TTL New Research Log\n" + createdText(); }

void LOGRecord::insertNewUserText(const std::string& text) {
    if (auto title = firstChildWithTag("_TTL")) title->setContents(text);
}

void LOGRecord::setViewName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setViewName(name); })) return;
    if (auto title = firstChildWithTag("_TTL"))
        title->setContents(name);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "_TTL", name), this, nullptr, false);
    setChangeDate();
}

void LOGRecord::attachCrossRef(const GEDCOMRecord& record) {
    const std::string tag = "_" + record.recordType();
    for (const auto& line : findChildren(tag, false))
        if (line->contents() == record.grecordID()) return;
    addStructure(std::make_shared<GEDCOMStructure>(this, 1, tag, record.grecordID()), this, lastStructure().get(),
                 false);
    setChangeDate();
}

// ---- links

bool LOGRecord::canLinkTo(std::string_view type) const {
    return type == "SOUR" || type == "NOTE" || type == "OBJE" || type == "INDI" || type == "FAM";
}

std::vector<std::string> LOGRecord::crossRefIDs() const {
    std::vector<std::string> ids;
    for (const char* tag : {"_INDI", "_FAM", "__PLC"})
        for (auto& id : linkedIDs(tag)) ids.push_back(std::move(id));
    return ids;
}

std::size_t LOGRecord::backLinkLineCount() const { return crossRefIDs().size(); }

bool LOGRecord::isConnected() { return backLinkLineCount() > 0; }

bool LOGRecord::isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) {
    const auto ids = crossRefIDs();
    if (ids.empty()) return true;
    return recordID && std::all_of(ids.begin(), ids.end(), [&](const std::string& id) { return id == *recordID; });
}

bool LOGRecord::shouldVerifyDeleteAsChildOf(const GEDCOMRecord&) const { return backLinkLineCount() >= 2; }

void LOGRecord::removeAllLinks() {
    for (const auto& link : backLinks()) detachCrossRefsIn(link.tag, std::string(kLinkTag), std::string(link.type), false);
    GEDCOMRecord::removeAllLinks();
}

void LOGRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    for (const auto& link : backLinks())
        changeCrossRefsIn(link.tag, std::string(kLinkTag), std::string(link.type), oldID, newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

const GEDCOMRecord::DropTable& LOGRecord::dropTable() const {
    static const DropTable table =
        extendDropTable(baseDropTable(), {
                                             {"dropINDIRecord:", static_cast<DropHandler>(&LOGRecord::dropINDIRecord)},
                                             {"dropFAMRecord:", static_cast<DropHandler>(&LOGRecord::dropFAMRecord)},
                                             {"drop_PLCRecord:", static_cast<DropHandler>(&LOGRecord::drop_PLCRecord)},
                                         });
    return table;
}

GEDCOMRecord::DropAnswer LOGRecord::dropLinking(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal) {
    if (!dropped) return std::string("No record was dropped.");
    const auto ids = crossRefIDs();
    if (std::find(ids.begin(), ids.end(), dropped->grecordID()) != ids.end()) return std::string(refusal);
    dropped->attachRefedLink(holdRecord(), kLinkTag);
    return std::nullopt;
}

GEDCOMRecord::DropAnswer LOGRecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLinking(dropped, "The dragged individual is already attached to this log record.");
}

GEDCOMRecord::DropAnswer LOGRecord::dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLinking(dropped, "The dragged family is already attached to this log record.");
}

GEDCOMRecord::DropAnswer LOGRecord::drop_PLCRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropLinking(dropped, "The dragged place is already attached to this log record.");
}

// ---- tasks and merging

std::optional<std::array<std::string, 2>> LOGRecord::nameForEventToDetach(const GEDCOMStructure& structure) const {
    if (structure.gtag() != "_TASK") return GEDCOMRecord::nameForEventToDetach(structure);
    std::string description = structure.contents();
    if (description.empty() || description == "Y") {
        auto date = structure.firstChildWithTag("_DATE");
        auto goal = date ? nullptr : structure.firstChildWithTag("_GOAL");
        description = date ? date->contents() : goal ? goal->contents() : std::string();
    }
    if (description.empty()) description = "No Subordinate Data";
    return std::array<std::string, 2>{"Research Task", description};
}

std::string LOGRecord::mergeRequirement() const { return "To merge research logs, they must must have the same title."; }

bool LOGRecord::removeDuplicateLinksAfterMerge() {
    std::int64_t removed = 0;
    for (const char* tag : {"_FAM", "_INDI", "__PLC"}) removed += removeDuplicateLinks(tag);
    return removed >= contextInfo().toInteger(0);
}

std::shared_ptr<Object> LOGRecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "referencedBy") {
        const auto ids = crossRefIDs();
        return listValue(sender, Array(ids.begin(), ids.end()));
    }
    return GEDCOMRecord::klis_getObjectAttribute(name, sender);
}

}  // namespace kl
