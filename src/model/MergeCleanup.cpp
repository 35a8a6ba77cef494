#include "model/MergeCleanup.h"

#include <unordered_map>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl::merge_cleanup {

namespace {

// A copy answers, so the line compared with is never completed from it.
bool sameLine(const GEDCOMStructure& line, GEDCOMStructure& earlier, GEDCOMRecord& record) {
    return line.structCopyForRecord(&record)->matches(earlier) == GEDCOMStructure::kMatchSame;
}

}  // namespace

std::int64_t removeDuplicateLinks(GEDCOMRecord& record, const std::string& tag) {
    std::unordered_map<std::string, std::shared_ptr<GEDCOMStructure>> first;
    std::int64_t removed = 0;
    for (const auto& line : record.findChildren(tag, false)) {
        auto [at, isFirst] = first.emplace(line->contents(), line);
        if (isFirst) continue;
        GEDCOMStructure& earlier = *at->second;
        const bool bare = line->structures().empty() && earlier.structures().empty();
        if (!bare && !sameLine(*line, earlier, record)) continue;
        record.removeStructure(line, &record, nullptr);
        ++removed;
    }
    return removed;
}

std::int64_t removeDuplicateEvents(GEDCOMRecord& record, const std::string& tag) {
    const auto events = record.findChildren(tag, false);
    std::int64_t removed = 0;
    for (std::size_t later = events.size(); later-- > 1;) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (!sameLine(*events[later], *events[earlier], record)) continue;
            record.removeStructure(events[later], &record, nullptr);
            ++removed;
            break;
        }
    }
    return removed;
}

}  // namespace kl::merge_cleanup
