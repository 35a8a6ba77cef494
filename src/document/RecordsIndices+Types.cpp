// The fixed tables of record types: names, ID prefixes, the type order.
#include <array>
#include <atomic>
#include <mutex>

#include "document/RecordsIndices.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

struct TypeRow {
    const char* type;
    const char* singular;
    const char* plural;
    const char* idStart;
};

constexpr std::array<TypeRow, 13> kTypes{{
    {"INDI", "Individual", "Individuals", "@I"},
    {"FAM", "Family", "Families", "@F"},
    {"SOUR", "Source", "Sources", "@SR"},
    {"REPO", "Repository", "Repositories", "@R"},
    {"NOTE", "Notes", "Notes", "@N"},
    {"OBJE", "Multimedia Object", "Multimedia Objects", "@M"},
    {"HEAD", "Header", "Header", ""},
    {"SUBN", "Submission", "Submission", "@SUBN"},
    {"SUBM", "Submitter", "Submitters", "@SM"},
    {"_LOG", "Research Log", "Research Logs", "@L"},
    {"_PLC", "Place", "Places", "@P"},
    {"_BOK", "Book Style", "Book Styles", "@B"},
    {"_RPT", "Report", "Reports", "@GR"},
}};

// Places 0 and 1 both hold INDI: new-record commands use 0 for a man and 1
// for a woman, while lookups start at 1.
constexpr std::array<const char*, 14> kTypeOrder{"INDI", "INDI", "FAM", "_PLC", "SOUR", "OBJE", "REPO",
                                                 "SUBM", "SUBN", "NOTE", "HEAD", "_LOG", "_BOK", "_RPT"};

const TypeRow* rowFor(const std::string& type) {
    for (const auto& row : kTypes)
        if (type == row.type) return &row;
    return nullptr;
}

std::string otherName(const GEDCOMRecord* record) { return record ? record->recordType() : "????"; }

struct PaneIDs {
    std::mutex mutex;
    std::map<std::string, std::string> ids;
};

PaneIDs& paneIDs() {
    static PaneIDs panes;
    static const bool filled = [] {
        for (const auto& row : kTypes) panes.ids[row.type] = "";
        return true;
    }();
    (void)filled;
    return panes;
}

}  // namespace

std::string RecordsIndices::idStartForType(const std::string& type) {
    const TypeRow* row = rowFor(type);
    return row ? row->idStart : "@G";
}

std::optional<std::string> RecordsIndices::recordTypeAtIndex(long index) {
    if (index < 0 || index >= static_cast<long>(kTypeOrder.size())) return std::nullopt;
    return kTypeOrder[static_cast<size_t>(index)];
}

int RecordsIndices::indexForRecordType(const std::string& type) {
    for (size_t i = 1; i < kTypeOrder.size(); ++i)
        if (type == kTypeOrder[i]) return static_cast<int>(i);
    return kUnknownTypeIndex;
}

std::string RecordsIndices::singularNameForRecordType(const std::string& type, const GEDCOMRecord* record) {
    const TypeRow* row = rowFor(type);
    return row ? row->singular : otherName(record);
}

std::string RecordsIndices::pluralNameForRecordType(const std::string& type, const GEDCOMRecord* record) {
    const TypeRow* row = rowFor(type);
    return row ? row->plural : otherName(record);
}

const std::map<std::string, std::string>& RecordsIndices::recordTypeSingularName() {
    static const std::map<std::string, std::string> names = [] {
        std::map<std::string, std::string> m;
        for (const auto& row : kTypes) m[row.type] = row.singular;
        return m;
    }();
    return names;
}

std::optional<std::string> RecordsIndices::tagFromLocalizedName(const std::string& name) {
    for (const auto& row : kTypes)
        if (name == row.singular) return std::string(row.type);
    return std::nullopt;
}

std::string RecordsIndices::paneIDForRecordType(const std::string& type) {
    auto& panes = paneIDs();
    std::lock_guard lock(panes.mutex);
    auto found = panes.ids.find(type);
    return found == panes.ids.end() ? std::string() : found->second;
}

void RecordsIndices::setPaneID(const std::string& paneID, const std::string& type) {
    auto& panes = paneIDs();
    std::lock_guard lock(panes.mutex);
    panes.ids[type] = paneID;
}

bool RecordsIndices::userType(const std::string& key) { return key.size() >= 10 && key.starts_with("User Album"); }

int32_t RecordsIndices::listTypeForKey(const std::string& key) {
    if (key == kCorrupted) return ListCorrupted;
    if (userType(key)) return ListUserAlbum;
    if (key == "_RPT") return ListReports;
    if (key == "HEAD" || key == "SUBN") return ListSingleRecord;
    return rowFor(key) ? ListRecordType : ListUserDefinedType;
}

std::string RecordsIndices::uniqueAlbumType() const {
    static std::atomic<int> counter{1};
    for (;;) {
        std::string key = "User Album " + std::to_string(++counter);
        if (!listKeys_.count(key)) return key;
    }
}

}  // namespace kl
