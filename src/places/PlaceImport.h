#pragma once
// PlaceImport: copying what the place-data service knows about one place
// into a place record. collectData downloads the details, the bounding box
// and the points of interest one request after the other (a worker's
// work); copyPlaceNow writes a note, facts, web links, the box and the
// chosen points into the document's place record of the given name,
// making the record when there is none, each structure added undoably.
//
// Thread: collectData on a worker thread (it reads only its arguments and
// the cancel flag); copyPlaceNow on the main thread, as all editing.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Value.h"
#include "places/MyHTTPRequest.h"

namespace kl {

class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;
class PlaceRecord;

class PlaceImport {
public:
    static constexpr double kTimeout = 60;

    // What a download gathered: an error, or the three replies and the
    // counts of points with and without a "URL_descriptive" address.
    struct Download {
        std::optional<PlaceDataError> error;
        Dictionary details;
        Dictionary mapInfo;
        Array pois;
        int poisWithURL = 0;
        int poisWithoutURL = 0;
    };
    // The downloads for the place's levels under the request base; nullopt
    // when continueThread was cleared first (nothing is to be reported).
    static std::optional<Download> collectData(const std::string& requestBase, const std::vector<std::string>& levels,
                                               const std::atomic<bool>& continueThread);

    // What the user chose to write.
    struct Choice {
        Dictionary details;
        Dictionary mapInfo;
        Array pois;
        std::string name;
        bool includeWithURL = false;
        bool includeWithoutURL = false;
    };
    // Writes the choice into the model's place record named choice.name
    // and answers that record.
    static std::shared_ptr<PlaceRecord> copyPlaceNow(GEDCOMModel& model, const Choice& choice);

    // A level-1 structure of the first pair [tag, contents, tag, contents,
    // ...]; each further pair a level-2 child of it, except "_DIST", a
    // level-3 child of the last level-2 child. Added after the record's
    // last level-1 structure.
    static std::shared_ptr<GEDCOMStructure> makeStructure(const std::vector<std::string>& pairs,
                                                          GEDCOMRecord& place);
    // The number text cut six digits after its first full stop.
    static std::string truncateLatLon(const std::string& number);
};

}  // namespace kl
