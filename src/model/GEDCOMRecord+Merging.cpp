// The base merge rules: two records of a kind may merge when their keys
// (their view names, unless a kind says otherwise) agree ignoring case.
#include <cstdint>

#include "dates/DateBridge.h"
#include "model/GEDCOMRecord.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

// Five years, leap days included.
constexpr std::int64_t kMergeWindowDays = 1827;

}  // namespace

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
