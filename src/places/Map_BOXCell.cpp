#include "places/Map_BOXCell.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/MapSettings.h"
#include "app/AppController.h"
#include "cells/CellKinds.h"
#include "charts/RelationshipChart.h"
#include "charts/ReportController.h"
#include "foundation/AsciiText.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMStructure.h"
#include "model/GlobalCoordinate.h"
#include "model/PlaceRecord.h"

namespace kl {

namespace {

Map_BOXCell::SettingsSource& settingsSource() {
    static Map_BOXCell::SettingsSource source;
    return source;
}

}  // namespace

Map_BOXCell::Settings Map_BOXCell::settingsFromDefaults(UserDefaults& defaults) {
    Settings settings;
    settings.mappingAPI = static_cast<int>(defaults.integerForKey("Select Mapping API"));
    settings.stroke = AppController::unarchive(defaults.dataForKey("Map Bounding Box Stroke Color"), settings.stroke);
    settings.fill = AppController::unarchive(defaults.dataForKey("Map Bounding Box Fill Color"), settings.fill);
    // The key read from the version list at start-up, else the built-in
    // one; a page never waits for the web.
    settings.key = MapSettings::shared().readMapInfo(nullptr)[0];
    // The OpenLayers library lies in "ol" beside the program's resources.
    const auto library = ResourceFolder::folder().parent_path() / "ol" / "ol.js";
    std::error_code error;
    if (std::filesystem::exists(library, error))
        settings.openLayers = ReportController::fileAddress(library.string());
    return settings;
}

namespace {

std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string replaceAll(std::string text, std::string_view mark, const std::string& by) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

std::string childText(const GEDCOMObject& node, std::string_view tag) {
    const auto child = node.firstChildWithTag(tag);
    return child ? child->contents() : std::string();
}

// The point's latitude and longitude, when its _GPS reads as both.
bool pointPosition(const GEDCOMObject& poi, double& latitude, double& longitude) {
    const auto numbers = PlaceRecord::decodeBoundingBox(childText(poi, "_GPS"));
    if (numbers.size() < 2) return false;
    std::string error;
    latitude = PlaceRecord::decode(numbers[0], GlobalCoordinate::Latitude, &error);
    if (!error.empty()) return false;
    longitude = PlaceRecord::decode(numbers[1], GlobalCoordinate::Longitude, &error);
    return error.empty();
}

}  // namespace

void Map_BOXCell::setSettingsSource(SettingsSource source) { settingsSource() = std::move(source); }

Map_BOXCell::Settings Map_BOXCell::currentSettings() {
    return settingsSource() ? settingsSource()() : settingsFromDefaults(UserDefaults::standard());
}

Map_BOXCell::Map_BOXCell(const CellSeed& seed) : ExpressionFieldCell(seed, "Map_BOXCell") {
    setViewFrame(seed.frame);
    watchBox();
    // The base showed the box's contents; the map waits for the layout.
    updateStructure();
}

void Map_BOXCell::registerMaker() {
    CellKinds::setMaker("expressionfield", [](const CellSeed& seed) -> std::shared_ptr<CustomCell> {
        if (seed.tag == "_BOX") return std::make_shared<Map_BOXCell>(seed);
        return std::make_shared<ExpressionFieldCell>(seed);
    });
}

void Map_BOXCell::watchBox() {
    const auto box = structure();
    if (!box) return;
    std::vector<std::shared_ptr<GEDCOMObject>> watched;
    for (const char* tag : {"_BNDS", "_STYLE"})
        if (auto first = box->firstChildWithTag(tag)) watched.push_back(first);
    for (const auto& child : box->structures()) {
        if (child->gtag() != "_POI") continue;
        watched.push_back(child);
        if (auto gps = child->firstChildWithTag("_GPS")) watched.push_back(gps);
    }
    if (!watched.empty()) addWatchStructures(watched);
}

void Map_BOXCell::paneDidFinish() {
    doUpdate_ = true;
    updateStructure();
}

void Map_BOXCell::updateStructure() { setText(cellString()); }

bool Map_BOXCell::isPage(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string::npos && text[start] == '<';
}

std::string Map_BOXCell::scriptText(const std::string& text) {
    std::string safe;
    for (char c : text) {
        switch (c) {
        case '\\': safe += "\\\\"; break;
        case '"': safe += "\\\""; break;
        case '\'': safe += "\\'"; break;
        case '\n': safe += "\\n"; break;
        case '\r': safe += "\\r"; break;
        // "</script>" inside a string would end the page's script.
        case '<': safe += "\\u003c"; break;
        default: safe += c;
        }
    }
    return safe;
}

std::string Map_BOXCell::poisScript(const GEDCOMObject& box, int api, const std::string& iconBase, int* written) {
    std::string script;
    int n = 0;
    for (const auto& poi : box.structures()) {
        if (poi->gtag() != "_POI" || childText(*poi, "_NOPOI") == "Y") continue;
        double latitude = 0, longitude = 0;
        if (!pointPosition(*poi, latitude, longitude)) continue;
        const std::string label = scriptText(poi->contents());
        std::string code = scriptText(childText(*poi, "_CODE"));
        const std::string index = std::to_string(n);
        if (api == 1) {
            if (code.empty()) code = "other";
            if (n == 0) script += "\nvar pois = [];\n";
            script += "pois.push(new ol.Feature({\tgeometry: new ol.geom.Point(ol.proj.fromLonLat([" +
                      number("%lf", longitude) + "," + number("%lf", latitude) + "])),\n";
            script += "\tlabel: \"" + label + "\"\n}));";
            script += "pois[" + index + "].setStyle(new ol.style.Style({\n";
            script += "\timage: new ol.style.Icon({ opacity: 0.95,\n\tsrc: '" + scriptText(iconBase) + code +
                      ".png'\n\t})\n}));\n";
        } else {
            std::string image, option;
            if (!code.empty()) {
                image = "    const poiImg" + index + " = document.createElement('img');\n    poiImg" + index +
                        ".src = \"" + scriptText(iconBase) + code + ".png\";\n";
                option = ", content: poiImg" + index;
            }
            script += "    poi" + index + " = new google.maps.LatLng(" + number("%lf", latitude) + "," +
                      number("%lf", longitude) + ");\n" + image;
            script += "    mark" + index + " = new google.maps.marker.AdvancedMarkerElement({position: poi" + index +
                      ", map: map" + option + ", title: \"" + label + "\"});\n";
        }
        ++n;
    }
    if (api == 1 && n > 0)
        script += "poiLayer = new ol.layer.Vector({source: new ol.source.Vector({features: pois})});\n";
    if (written) *written = n;
    return script;
}

std::string Map_BOXCell::cellString() const {
    const auto box = structure();
    if (!box || !doUpdate_) return {};
    const auto boundsLine = box->firstChildWithTag("_BNDS");
    const std::string bounds = boundsLine ? boundsLine->contents() : std::string();
    if (bounds.empty()) return kNoBounds;
    std::string error;
    const PlaceRecord::Rect rect = PlaceRecord::boundsToRect(bounds, &error);
    if (!error.empty()) return error;
    std::string style = asciiUpper(childText(*box, "_STYLE"));
    if (style.empty()) style = "ROADMAP";

    const Settings settings = currentSettings();
    const int api = settings.mappingAPI;
    auto page = ResourceFolder::readResource(api == 0 ? "MapJavascript" : "MapJavascriptOL", "txt");
    if (!page) return kNoTemplate;
    std::string html = std::move(*page);
    html = api == 0 ? replaceAll(html, "YOUR_API_KEY", settings.key)
                    : replaceAll(html, "$OPENLAYERS$", settings.openLayers);
    const double height = std::trunc(viewFrame().height - 20);
    html = replaceAll(html, "$HEIGHT$", std::to_string(static_cast<long long>(height)));
    html = replaceAll(html, "$SOUTH$", number("%lf", rect.y));
    html = replaceAll(html, "$NORTH$", number("%lf", rect.y + rect.height));
    html = replaceAll(html, "$WEST$", number("%lf", rect.x));
    html = replaceAll(html, "$EAST$", number("%lf", rect.x + rect.width));
    html = replaceAll(html, "$STYLE$", scriptText(style));
    double strokeAlpha = 1, fillAlpha = 1;
    const bool rgba = api != 0;
    html = replaceAll(html, "$SCOLOR$", RelationshipChart::translateColor(settings.stroke, &strokeAlpha, rgba));
    if (api == 0) html = replaceAll(html, "$SOPAC$", number("%.2f", strokeAlpha));
    html = replaceAll(html, "$FCOLOR$", RelationshipChart::translateColor(settings.fill, &fillAlpha, rgba));
    if (api == 0) html = replaceAll(html, "$FOPAC$", number("%.2f", fillAlpha));
    int written = 0;
    html = replaceAll(html, "$POIS$", poisScript(*box, api, settings.iconBase, &written));
    if (api != 0) html = replaceAll(html, "$POISL$", written > 0 ? ", poiLayer" : "");
    return html;
}

}  // namespace kl
