#pragma once
// What a drag or copy of records carries between the program's windows:
// the records' IDs and a key naming the document they belong to, so a drop
// can refuse records of another database or hand them to a merge.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

// Inside the program only; no other application reads it.
inline constexpr const char* kRecordIdsMimeType = "application/x-kinlore-record-ids";

struct RecordIdsDrag {
    std::string documentKey;        // the source document's key (see documentKeyFor)
    std::vector<std::string> ids;   // record IDs, "@I1@" form, in drag order
};

// The key of a document for drags: unique among the documents of one run.
inline std::string documentKeyFor(const void* document) {
    char buf[2 + 2 * sizeof(void*) + 1];
    static const char* hex = "0123456789abcdef";
    auto v = reinterpret_cast<unsigned long long>(document);
    int n = 2 * int(sizeof(void*));
    buf[0] = '0';
    buf[1] = 'x';
    for (int i = 0; i < n; ++i) buf[2 + i] = hex[(v >> (4 * (n - 1 - i))) & 0xF];
    buf[2 + n] = '\0';
    return buf;
}

// One line for the key, then one ID a line.
inline std::string encodeRecordIdsDrag(const RecordIdsDrag& drag) {
    std::string out = drag.documentKey;
    for (const auto& id : drag.ids) {
        out += '\n';
        out += id;
    }
    return out;
}

// nullopt for data that is not a drag of ours (no key line).
inline std::optional<RecordIdsDrag> decodeRecordIdsDrag(std::string_view data) {
    RecordIdsDrag drag;
    size_t pos = data.find('\n');
    drag.documentKey = std::string(data.substr(0, pos));
    if (drag.documentKey.empty()) return std::nullopt;
    while (pos != std::string_view::npos) {
        size_t next = data.find('\n', pos + 1);
        auto id = data.substr(pos + 1, next == std::string_view::npos ? next : next - pos - 1);
        if (!id.empty()) drag.ids.emplace_back(id);
        pos = next;
    }
    return drag;
}

}  // namespace kl
