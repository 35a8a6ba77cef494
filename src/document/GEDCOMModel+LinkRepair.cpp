// Repairing the links inside record text once record IDs have changed: the
// "<!--CSS key -->" comments that name style sheets, and the record links
// of HTML notes, sources and research logs.
#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// The kinds whose text may be HTML with record links.
constexpr const char* kHTMLTypes[] = {"NOTE", "SOUR", "_LOG"};

bool mayHoldHTML(const GEDCOMRecord& record) {
    for (const char* type : kHTMLTypes)
        if (record.isType(type)) return true;
    return false;
}

}  // namespace

void GEDCOMModel::checkCSSLinks() {
    if (cssRecords_.size() == 0) return;
    for (const auto& record : recordsIndex_->collectRecords(std::nullopt)) record->fixCSSLinksInRecord(cssRecords_);
    cssRecords_ = Dictionary();
}

void GEDCOMModel::repairLinksOf(GEDCOMRecord& record, bool fixCSS, const HREFIDMap& newIDs,
                                const HREFIDSet* mergeIDs) {
    if (fixCSS && cssRecords_.size() > 0) record.fixCSSLinksInRecord(cssRecords_);
    record.fixHREFLinksInRecord(&newIDs, mergeIDs);
}

void GEDCOMModel::checkCSS(bool fixCSS, const HREFIDMap& newIDs) {
    for (const char* type : kHTMLTypes)
        if (auto list = recordsIndex_->listForType(type))
            for (const auto& record : RecordsList::Records(list->order()))
                repairLinksOf(*record, fixCSS, newIDs, nullptr);
    cssRecords_ = Dictionary();
}

void GEDCOMModel::checkCSSandHREFLinksFor(const std::unordered_map<std::string, RecordPtr>& records,
                                          const HREFIDMap& newIDs) {
    HREFIDSet mergeIDs;
    for (const auto& entry : records) mergeIDs.insert(entry.first);
    const bool fixCSS = cssRecords_.size() > 0;
    // Only the HTML kinds are searched for record links: a merge of a large
    // database would otherwise walk every line of every person and family.
    for (const auto& entry : records) {
        GEDCOMRecord& record = *entry.second;
        if (fixCSS) record.fixCSSLinksInRecord(cssRecords_);
        if (mayHoldHTML(record)) record.fixHREFLinksInRecord(&newIDs, &mergeIDs);
    }
    cssRecords_ = Dictionary();
}

void GEDCOMModel::detachAllCSSLinksTo(const std::string& recordID) {
    // Albums hold nothing that the record lists do not.
    for (const auto& record : recordsIndex_->collectRecords(std::nullopt)) record->detachCSSLinkTo(recordID);
}

}  // namespace kl
