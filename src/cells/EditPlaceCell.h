#pragma once
// EditPlaceCell: the place of an individual's or a family's event, typed
// into a combo box that offers the document's place names. A name that no
// place record carries yet becomes a place record when it is committed: at
// once while the file has few places (or the user turned the warning off),
// else after the user chose "Create" over "Try Again". When the old name
// belongs to a place record that only this event cites, that record is
// renamed instead; when other events cite it too, the user may also
// "Change" that record's name, and the other events follow it. Undo name
// "Place Change".
//
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/EditValueCell.h"

namespace kl {

class GEDCOMModel;
class PlaceIndex;

class EditPlaceCell : public EditValueCell {
public:
    static constexpr const char* kUndoName = "Place Change";
    static constexpr const char* kWarnKey = "Warn before creating new place from user text";
    // Below this many place names a new one is made without asking.
    static constexpr std::size_t kQuietPlaces = 20;
    static constexpr int kOpenPlaceTag = 10004;
    static constexpr const char* kNoPlaceRecord = "No place record was found for this place (or the place is empty)";

    explicit EditPlaceCell(const CellSeed& seed);
    ~EditPlaceCell() override;

    // Whether the seed's frame is a one-line PLAC of an individual's or a
    // family's event.
    static bool editsEventPlace(const CellSeed& seed);

    // checkNewName: a name no place record carries may make one (false
    // after a dropped place record filled the field). EditRefused after
    // "Try Again": the field shows the stored place again.
    int endStructureEditing(bool checkNewName) override;
    std::vector<MenuItem> menuItems() const override;
    void cellMenuAction(int tag, const std::string& title = {}) override;
    bool tryingAgain() const { return tryAgain_; }
    // The place index whose names the combo box offers; nullptr outside a store.
    const PlaceIndex* places() const;

private:
    GEDCOMModel* model() const;
    void placeTryAgain();
    void openPlaceRecord();
    bool tryAgain_ = false;
};

}  // namespace kl
