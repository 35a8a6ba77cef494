#pragma once
// What the document command tests share: the document as a script object
// and an album's records as the tests compare them.
#include <algorithm>
#include <string>
#include <vector>

#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "index/DocumentScripting.h"
#include "index/IndexController.h"
#include "model/GEDCOMRecord.h"

namespace kl::test {

// The objects a script over the index window's document starts with.
inline Dictionary documentObjects(IndexController& index) {
    return {{"doc", Value(std::static_pointer_cast<Object>(index.scriptDocument()))}};
}

// The IDs of the user album's records, sorted; none for a missing album.
inline std::vector<std::string> albumRecordIDs(RecordsIndices& lists, const std::string& name) {
    std::vector<std::string> ids;
    if (auto album = lists.userAlbumNamed(name))
        for (const auto& record : album->order()) ids.push_back(record->grecordID());
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace kl::test
