#pragma once
// What the record kinds tidy after a merge has put two records' lines into
// one: links and events that now appear twice. Removals go through the
// record, so they are undoable with the merge. Main thread.
#include <cstdint>
#include <string>

namespace kl {

class GEDCOMRecord;

namespace merge_cleanup {

// Removes the later level-1 links with the tag that name the same record as
// an earlier one, when neither has sub-lines or both say the same; answers
// how many were removed.
std::int64_t removeDuplicateLinks(GEDCOMRecord& record, const std::string& tag);
// Removes each level-1 event with the tag that says the same as an earlier
// one (dates and case aside, see GEDCOMStructure::matches).
std::int64_t removeDuplicateEvents(GEDCOMRecord& record, const std::string& tag);

}  // namespace merge_cleanup

}  // namespace kl
