// When two families may merge: no two different known husbands or wives,
// and marriage dates within five years where both are known.
#include "model/FAMRecord.h"

namespace kl {

namespace {

bool sameOrUnknown(const std::string& first, const std::string& second) {
    return first.empty() || second.empty() || first == second;
}

}  // namespace

bool FAMRecord::canMergeWith(const GEDCOMRecord& other) {
    const auto* family = dynamic_cast<const FAMRecord*>(&other);
    if (!family) return false;
    if (!sameOrUnknown(husbandID(), family->husbandID()) || !sameOrUnknown(wifeID(), family->wifeID()))
        return false;
    return datesWithinMergeWindow(marriageDate(), family->marriageDate());
}

std::string FAMRecord::mergeRequirement() const {
    return "To merge families, they must have the same known spouses and have marriage dates (if known) within 5 "
           "years.";
}

bool FAMRecord::removeDuplicateLinksAfterMerge() {
    std::int64_t removed = 0;
    for (const char* tag : {"HUSB", "WIFE", "CHIL"}) removed += removeDuplicateLinks(tag);
    return removed >= contextInfo().toInteger(0);
}

}  // namespace kl
