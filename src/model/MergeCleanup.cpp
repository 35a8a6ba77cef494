#include "model/MergeCleanup.h"

#include <unordered_set>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl::merge_cleanup {

namespace {

template <class Key>
std::int64_t removeRepeats(GEDCOMRecord& record, const std::string& tag, Key key) {
    std::unordered_set<std::string> seen;
    std::int64_t removed = 0;
    for (const auto& line : record.findChildren(tag, false)) {
        if (seen.insert(key(*line)).second) continue;
        record.removeStructure(line, &record, nullptr);
        ++removed;
    }
    return removed;
}

}  // namespace

std::int64_t removeDuplicateLinks(GEDCOMRecord& record, const std::string& tag) {
    return removeRepeats(record, tag, [](const GEDCOMStructure& line) { return line.contents(); });
}

std::int64_t removeDuplicateEvents(GEDCOMRecord& record, const std::string& tag) {
    return removeRepeats(record, tag, [](const GEDCOMStructure& line) { return line.gedcomString(); });
}

}  // namespace kl::merge_cleanup
