// A record re-reads its own edited GEDCOM text through the line parser, and
// answers the base forms of the names it shows itself by.
#include "model/GEDCOMParser.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelAlerts.h"

namespace kl {

bool GEDCOMRecord::reparse(std::string text) {
    GEDCOMParser parser(std::move(text));
    parser.setDelegate(this);
    parser.setMaximumRecords(1);
    // Text that is not GEDCOM at all is refused before any report, so the
    // record keeps the lines it had.
    const bool parsed = parser.parse();
    if (parsed) simplifyGEDCOMInMode(0);
    return parsed;
}

void GEDCOMRecord::parserDidStart() {
    setStructures({});
    priorCorrupt_ = corrupt();
    setCorrupt(0);
    setChangeToRecordID(std::nullopt);
}

void GEDCOMRecord::parserFoundHEAD() { parserStartRecord("HEAD", "HEAD", "HEAD", false); }

void GEDCOMRecord::parserStartRecord(std::string type, std::string recordID, std::string contents, bool) {
    if (type != recordType()) {
        ModelAlerts::current()->runAlert(ModelAlerts::Style::Critical,
                                         "The type of record cannot be changed in the source editor.",
                                         "You tried to change a " + recordType() + " record to a " + type +
                                             " record; it will remain a " + recordType() + " record.",
                                         {});
    }
    if (isType("HEAD")) return;
    takeRecordText(GEDCOMParser::recordText(recordID, contents));
    if (recordID != grecordID_) setChangeToRecordID(std::move(recordID));
}

void GEDCOMRecord::parserLevel(int32_t level, std::string tag, std::string contents, bool) {
    addLevel(level, std::move(tag), std::move(contents));
}

void GEDCOMRecord::parserInvalidRecordID(std::string) { setCorruptBit(CorruptInvalidID); }
void GEDCOMRecord::parserInvalidLevelOrder() { setCorruptBit(CorruptMisorderedLevels); }
void GEDCOMRecord::parserInvalidTag() { setCorruptBit(CorruptInvalidTag); }
void GEDCOMRecord::parserNoLevelLine(std::string text) { addNoLevel(std::move(text)); }

// ---- names of a record

std::string GEDCOMRecord::viewName() const { return "Record ID " + grecordID_; }

void GEDCOMRecord::setViewName(const std::string&) {}

std::shared_ptr<GEDCOMRecord> GEDCOMRecord::spouse(std::shared_ptr<GEDCOMStructure>*, std::size_t) {
    return nullptr;
}

Value GEDCOMRecord::reportDescription(std::uint32_t options) const {
    if (options & kReportList)
        return Value(Array{Value("Record Type: " + recordType()), Value("Name: " + viewName())});
    return Value("This custom record has tag " + recordType() + " and record ID " + grecordID_);
}

}  // namespace kl
