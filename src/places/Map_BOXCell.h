#pragma once
// Map_BOXCell: a place record's map box (_BOX) shown as a live web map. The
// cell fills a page template of the chosen map interface (0: the hosted
// map service, 1: OpenLayers) with the box's bounds (_BNDS), style (_STYLE),
// the bounding-box colours and a script of its points of interest (_POI
// with _GPS, _CODE and _NOPOI), and its view shows the page in a web pane.
// A box without usable bounds, or a missing template, shows a message as
// plain text instead. The page is built only once the pane is laid out
// (paneDidFinish), and again whenever the box's bounds, style, points or
// their positions change.
//
// A template "Cell expressionfield" whose frame is a _BOX makes this cell
// (registerMaker); every other frame makes a plain expression field.
//
// Ownership and thread: as CustomCell (main thread; held by the pane).
#include <functional>
#include <string>

#include "app/Color.h"
#include "cells/ExpressionFieldCell.h"

namespace kl {

struct CellSeed;
class UserDefaults;

class Map_BOXCell : public ExpressionFieldCell {
public:
    static constexpr const char* kNoBounds = "No bounds have been entered";
    static constexpr const char* kNoTemplate = "Unable to load map template resource";

    // What a page is made with besides the box.
    struct Settings {
        int mappingAPI = 0;          // "Select Mapping API"
        std::string key;             // the map service's key (interface 0)
        std::string openLayers;      // the OpenLayers script's address (interface 1)
        std::string iconBase;        // where the points' icons "<code>.png" lie
        Color stroke{1, 0, 0, 0.8};  // "Map Bounding Box Stroke Color"
        Color fill{1, 0, 0, 0.08};   // "Map Bounding Box Fill Color"
    };
    using SettingsSource = std::function<Settings()>;
    // The program's settings (the user defaults and its map information);
    // an empty source puts back the defaults' reading.
    static void setSettingsSource(SettingsSource source);
    static Settings currentSettings();
    // The mapping interface and colours of the defaults, with the
    // OpenLayers library of the resources when it is there.
    static Settings settingsFromDefaults(UserDefaults& defaults);

    explicit Map_BOXCell(const CellSeed& seed);

    // Makes expression fields of _BOX frames map cells.
    static void registerMaker();

    // The pane is laid out: the page can be built at the cell's size.
    void paneDidFinish();
    bool doUpdate() const { return doUpdate_; }
    // The filled page, a message, or "" before the pane has finished.
    std::string cellString() const override;
    // Whether the text is a page (else a message to show as it is).
    static bool isPage(const std::string& text);

    // The points' script of a box for an interface; `written` counts the
    // points that went in.
    static std::string poisScript(const GEDCOMObject& box, int api, const std::string& iconBase, int* written);
    // A text made safe inside a JavaScript string literal of either quote.
    static std::string scriptText(const std::string& text);

protected:
    void updateStructure() override;

private:
    void watchBox();
    bool doUpdate_ = false;
};

}  // namespace kl
