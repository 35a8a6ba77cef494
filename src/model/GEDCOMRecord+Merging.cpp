// The base merge rules: two records of a kind may merge when their keys
// (their view names, unless a kind says otherwise) agree ignoring case.
#include <algorithm>
#include <cstdint>

#include "dates/DateBridge.h"
#include "foundation/TextCase.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/MergeCleanup.h"
#include "model/NOTERecord.h"

namespace kl {

namespace {

// Five years, leap days included.
constexpr std::int64_t kMergeWindowDays = 1827;

// The other record's lines that a merge never takes: its change date, its
// UUID when the kept record has one, and its creation stamp.
bool skippedInMerge(const GEDCOMStructure& line, bool keptHasUUID) {
    const auto& tags = GEDCOMRecord::baseTags();
    if (line.gtag() == tags[0]) return true;
    if (line.gtag() == tags[1]) return keptHasUUID;
    if (line.gtag() != tags[2]) return false;
    auto type = line.firstChildWithTag(tags[3]);
    return type && type->contents() == tags[4];
}

}  // namespace

std::int64_t GEDCOMRecord::mergeWith(GEDCOMRecord& other, bool) {
    const StructureList before = structures();
    const bool hasUUID = !recordUUID().empty();
    const std::string& textTag = baseTags()[5];
    std::int64_t joined = 0;
    bool changed = false;
    for (const auto& line : StructureList(other.structures())) {
        if (skippedInMerge(*line, hasUUID)) continue;
        if (line->gtag() == textTag) {
            if (auto text = findStructureWithTag(textTag)) {
                if (textcase::compareFolded(text->contents(), line->contents()) != 0) {
                    text->setContents(text->contents() + NOTERecord::kMergeSeparator + line->contents());
                    ++joined;
                    changed = true;
                }
                continue;
            }
        }
        int answer = GEDCOMStructure::kMatchNone;
        for (const auto& kept : before)
            if ((answer = kept->matches(*line)) != GEDCOMStructure::kMatchNone) break;
        if (answer == GEDCOMStructure::kMatchNone)
            addStructure(line->structCopyForRecord(this), this, lastStructure().get(), false);
        if (answer != GEDCOMStructure::kMatchSame) changed = true;
    }
    if (hasCrossRefs())
        for (const auto& recordID : std::vector<std::string>(other.crossRefIDs()))
            if (std::find(crossRefIDs().begin(), crossRefIDs().end(), recordID) == crossRefIDs().end())
                attachCrossRefTo(recordID);
    if (changed) setChangeDate();
    return joined;
}

std::int64_t GEDCOMRecord::removeDuplicateLinks(const std::string& tag) {
    return merge_cleanup::removeDuplicateLinks(*this, tag);
}

std::int64_t GEDCOMRecord::removeDuplicateEvents(const std::string& tag) {
    return merge_cleanup::removeDuplicateEvents(*this, tag);
}

bool GEDCOMRecord::canMergeWith(const GEDCOMRecord& other) {
    return textcase::lower(mergeKey()) == textcase::lower(other.mergeKey());
}

std::string GEDCOMRecord::mergeRequirement() const {
    return "To merge records, they must have the same 'view' name in the index window.";
}

bool GEDCOMRecord::prepareToMergeWith(GEDCOMRecord&) { return true; }

bool GEDCOMRecord::datesWithinMergeWindow(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return true;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    daySpanBetweenDates(first, second, minimum, maximum);
    // An invalid date reports the largest minimum: it passes, like a
    // missing one.
    if (minimum == INT64_MAX) return true;
    return minimum <= kMergeWindowDays && maximum >= -kMergeWindowDays;
}

}  // namespace kl
