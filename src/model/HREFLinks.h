#pragma once
// Record links inside HTML text ("<a href='//@I1@'>"): re-pointed to new
// IDs after a merge, and, with no ID maps, counted and cut when the record
// they name no longer exists. The text pass is a pure function; the node
// and record passes (GEDCOMStructure::dereferenceHREFFromID,
// GEDCOMRecord::fixHREFLinksInRecord) apply it down a record's lines.
//
// Thread: the text pass is safe anywhere. The node passes read the record
// store and the class-wide counters and mark; they run where the records
// are not being edited (a reading, merging or report worker).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kl {

class GEDCOMStructure;

// New record IDs by old ID; an empty new ID removes the link.
using HREFIDMap = std::unordered_map<std::string, std::string>;
// The IDs of the records being merged.
using HREFIDSet = std::unordered_set<std::string>;

struct HREFCounts {
    int total = 0;   // links to existing records (counted without maps only)
    int broken = 0;  // links to missing records, removed
};

// Rewrites the record links of one HTML text; nullopt when nothing changed.
// Without maps every link is counted, and a link whose record does not
// exist loses its anchor (keeping the anchor's text) or, with no closing
// "</a>", gets the address "#".
std::optional<std::string> rewriteHREFLinks(std::string_view html, const HREFIDMap* newIDs, const HREFIDSet* mergeIDs,
                                            const std::function<bool(const std::string&)>& recordExists,
                                            HREFCounts& counts);

// A rewrite waiting to be applied: the line and its new contents. Reports
// gather these on their worker and apply them on the main thread.
struct ContentEdit {
    std::shared_ptr<GEDCOMStructure> structure;
    std::string contents;
};
using ContentEdits = std::vector<ContentEdit>;

}  // namespace kl
