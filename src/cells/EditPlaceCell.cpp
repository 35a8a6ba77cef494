#include "cells/EditPlaceCell.h"

#include "cells/CellPane.h"
#include "cells/LinkHost.h"
#include "document/GEDCOMModel.h"
#include "document/PlaceIndex.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelAlerts.h"
#include "model/PlaceRecord.h"
#include "model/wex.h"

namespace kl {

namespace {

std::string filled(std::string text, std::initializer_list<std::string> values) {
    std::size_t from = 0;
    for (const std::string& value : values) {
        const auto at = text.find("%@", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

}  // namespace

EditPlaceCell::EditPlaceCell(const CellSeed& seed) : EditValueCell(seed, "EditPlaceCell") {}

EditPlaceCell::~EditPlaceCell() { Dispatcher::current().cancelDeferred(this); }

bool EditPlaceCell::editsEventPlace(const CellSeed& seed) {
    return seed.kind == "editvalue" && seed.tag == "PLAC" && seed.level == 2 &&
           (seed.recordType == "INDI" || seed.recordType == "FAM") && wex::isOneLine(seed.contents);
}

GEDCOMModel* EditPlaceCell::model() const {
    auto record = theRecord();
    return record ? dynamic_cast<GEDCOMModel*>(record->model()) : nullptr;
}

const PlaceIndex* EditPlaceCell::places() const {
    GEDCOMModel* store = model();
    return store ? &store->places() : nullptr;
}

int EditPlaceCell::endStructureEditing(bool checkNewName) {
    if (!changed() || tryAgain_) return EditSet;
    setChanged(false);
    const std::string typed = fieldText();
    auto shown = structure();
    if (shown && shown->contents() == typed) {
        updateStructure();
        return EditSet;
    }
    if (!shown && typed.empty()) return EditSet;

    std::shared_ptr<PlaceRecord> renamed;
    GEDCOMModel* store = model();
    if (checkNewName && store && !typed.empty() && !store->placeForName(typed)) {
        const std::string oldName = shown ? shown->contents() : std::string();
        auto oldPlace = oldName.empty() ? nullptr : std::dynamic_pointer_cast<PlaceRecord>(store->placeForName(oldName));
        PlaceIndex& places = store->places();
        if (oldPlace && !places.findMultiplePlace(oldName)) {
            // The only event citing the old place: the place takes the new name.
            renamed = oldPlace;
        } else {
            const std::string message = filled("The name%@ '%@' is a new place name for this file.",
                                               {oldName.empty() ? std::string() : " change to", typed});
            enum Choice { Create, TryAgain, Change } choice = Create;
            if (!oldPlace) {
                const bool warn = UserDefaults::standard().objectForKey(kWarnKey).toBool(true);
                if (places.numberOfPlaces() >= kQuietPlaces && warn) {
                    const int answer = ModelAlerts::current()->runAlert(
                        ModelAlerts::Style::Critical, message,
                        filled("Do you really want to 'Create' a new place '%@' or do you want to click 'Try Again' "
                               "and then pick an existing place?",
                               {typed}) +
                            "\n\n(You can turn off this warning in Preferences)",
                        {"Create", "Try Again"});
                    choice = answer == 1 ? TryAgain : Create;
                }
            } else {
                const int answer = ModelAlerts::current()->runAlert(
                    ModelAlerts::Style::Critical, message + " Choose one option:",
                    filled("\u2022 'Create' a new place record for '%@'", {typed}) +
                        filled("\n\u2022 'Change' name for place '%@' to '%@' (which will change it in the other "
                               "events that cite this place too).",
                               {oldName, typed}) +
                        "\n\u2022 'Try Again' to choose a different or an existing place",
                    {"Create", "Try Again", "Change"});
                choice = answer == 1 ? TryAgain : answer == 2 ? Change : Create;
            }
            if (choice == TryAgain) {
                tryAgain_ = true;
                Dispatcher::current().postDeferred(this, [this] { placeTryAgain(); });
                return EditRefused;
            }
            if (choice == Change) renamed = oldPlace;
            else store->createNewRecordOfType("_PLC", Value(typed));
        }
    }
    // The cell's own text follows the field, so that a later refresh shows
    // what was stored.
    setText(typed);
    const int result = editStructure(typed, std::string(kUndoName));
    if (renamed) {
        renamed->setPlaceName(typed);
        // Filed again at once, whether or not a window reports the edit.
        if (store) store->places().updateRecordState(renamed.get());
    }
    return result;
}

void EditPlaceCell::placeTryAgain() {
    setText(structureContents());
    tryAgain_ = false;
    setChanged(false);
    if (view()) view()->takeFocus();
}

std::vector<EditValueCell::MenuItem> EditPlaceCell::menuItems() const {
    auto items = EditValueCell::menuItems();
    items.insert(items.begin() + 1, MenuItem{"Open Place Record", kOpenPlaceTag});
    return items;
}

void EditPlaceCell::cellMenuAction(int tag, const std::string& title) {
    if (tag == kOpenPlaceTag) {
        openPlaceRecord();
        return;
    }
    EditValueCell::cellMenuAction(tag, title);
}

void EditPlaceCell::openPlaceRecord() {
    const std::string name = structureContents();
    if (!structure() || name.empty()) {
        beep();
        return;
    }
    LinkHost* host = pane() ? pane()->linkHost() : nullptr;
    GEDCOMModel* store = model();
    if (!host || !store) return;
    if (auto place = store->placeForName(name))
        host->openLinkedRecord(place, LinkHost::Open::ThisWindow, std::nullopt);
    else
        host->recordNotOpened(kNoPlaceRecord);
}

}  // namespace kl
