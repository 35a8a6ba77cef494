// The submission: folding, link upkeep through the header, its submitter
// drop, script name and report prose.
#include "model/SUBNRecord.h"

#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"

namespace kl {

void SUBNRecord::simplifyGEDCOMInMode(int) {
    if (corrupt() != 0) return;
    for (const auto& child : structures()) child->appendCONTandCONC();
}

void SUBNRecord::removeAllLinks() {
    if (RecordStore* store = model()) store->detachLinksTo(grecordID(), "SUBN", "HEAD");
    GEDCOMRecord::removeAllLinks();
}

void SUBNRecord::changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) {
    if (RecordStore* store = model()) store->changeLinksTo(oldID, "SUBN", "HEAD", newID, withUndo);
    GEDCOMRecord::changeAllLinksFromID(oldID, newID, withUndo);
}

GEDCOMRecord::DropAnswer SUBNRecord::dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (!dropped) return std::string("No record was dropped.");
    if (hasLink("SUBM", dropped->grecordID())) return std::string("The dropped Submitted record is already the main submitted.");
    if (auto old = firstChildWithTag("SUBM")) removeStructure(old, this, nullptr);
    attachLink(*dropped, "SUBM");
    return std::nullopt;
}

std::optional<std::string> SUBNRecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "name") return std::string("Submission Records");
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool SUBNRecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    if (name == "name") return false;
    return GEDCOMRecord::klis_setAttribute(name, value, sender);
}

Value SUBNRecord::reportDescription(std::uint32_t options) const {
    if (options & ReportList) return Value(Array{Value("Record: Submission")});
    return Value("The Submission record for the file. ");
}

}  // namespace kl
