#pragma once
// PlaceRecord: a place (`_PLC`): a place name with its coordinates.
// The kind's own fields and operations build on the GEDCOMRecord base. Its
// map boxes hold bounds texts ("(lat, lon), (lat, lon)" corners or a centre
// with a span) that boundsToRect reads; a standard GEDCOM export folds the
// record back under each citing PLAC line (embedGedcom).
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class PlaceRecord : public GEDCOMRecord {
public:
    explicit PlaceRecord(std::string recordID, std::string type = "_PLC")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // The first level-1 _PLACE when not empty, else "Place ID <id>".
    std::string viewName() const override;
    // The view name's comma-separated parts, trimmed, last first ("Vessland,
    // Lower Vessmark, Radavizu"); a name of one part unchanged.
    std::string altViewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override { return viewTagWhenPresent("_PLACE"); }

    // The contents of the first level-1 _PLACE ("" without one).
    std::string placeName() const { return dataWithTag("_PLACE"); }
    // Gives the first level-1 _PLACE the name (its CRs made LFs), adding
    // one at the end when there is none, with undo, and stamps the record
    // changed; the place index re-files the record when the edit is
    // reported. Before the record is in a store the rename waits for it.
    void setPlaceName(const std::string& name);
    void setViewName(const std::string& name) override { setPlaceName(name); }
    // The name the place index files the record under; it lags behind the
    // record's text until the index hears of a rename.
    const std::string& currentName() const { return currentName_; }
    void setCurrentName(std::string name) { currentName_ = std::move(name); }
    // The first _PLACE (any level) with its CONT/CONC lines joined: the
    // name the place index files the record under.
    std::string placeNameWithCONC() const;
    // The lines to put below a cited "2 PLAC" line in standard GEDCOM, each
    // preceded by the current line ending; nullopt when there are none.
    std::optional<std::string> embedGedcom(std::uint32_t exportFlags) const;

    // A box in degrees: x the west longitude, y the south latitude.
    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Rect&) const = default;
    };
    // The first level-1 _BOX whose _BNDS reads; nullopt when none does.
    std::optional<Rect> firstBox() const;

    // ---- bounds texts
    // The pieces between ( ) , : ; [ ] { }, trimmed, empties dropped.
    static std::vector<std::string> decodeBoundingBox(std::string_view text);
    // One number read by GlobalCoordinate; a distance comes back in degrees
    // of latitude. 0 and the message on error.
    static double decode(std::string_view text, int expecting, std::string* error);
    // The zero box and a message on any error.
    static Rect boundsToRect(std::string_view text, std::string* error);

private:
    std::string currentName_;
};

}  // namespace kl
