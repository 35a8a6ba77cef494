// The map cell: the messages it shows instead of a map, the page it fills
// for each map interface, its points of interest, and redrawing when the
// box is edited.
#include <gtest/gtest.h>

#include <filesystem>

#include "cells/CellKinds.h"
#include "charts/ReportsTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "places/Map_BOXCell.h"

namespace kl {
namespace {

using test::ReportFixture;

class MapCell : public ::testing::Test, public ReportFixture {
protected:
    void SetUp() override {
        Map_BOXCell::registerMaker();
        Map_BOXCell::setSettingsSource([this] { return settings; });
        settings.key = "KEY-123";
        settings.openLayers = "file:///opt/ol/ol.js";
        settings.iconBase = "https://icons.example/";
    }
    void TearDown() override {
        Map_BOXCell::setSettingsSource(nullptr);
        CellKinds::setMaker("expressionfield", nullptr);
    }
    // The map cell of the first _BOX of place @P1@, laid out.
    std::shared_ptr<Map_BOXCell> cellFor(const std::string& box) {
        read("0 @P1@ _PLC\n1 _PLACE Radavizu\n1 _BOX Radavizu\n" + box);
        boxLine = record("@P1@")->firstChildWithTag("_BOX");
        auto cell = std::dynamic_pointer_cast<Map_BOXCell>(CellKinds::make(seed(boxLine, "_BOX")));
        EXPECT_NE(cell, nullptr);
        if (cell) cell->paneDidFinish();
        return cell;
    }
    static CellSeed seed(const std::shared_ptr<GEDCOMObject>& structure, const std::string& tag) {
        return CellSeed{"expressionfield", structure, tag, 1, "", {0, 0, 400, 220.7}, nullptr, "_PLC"};
    }
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    Map_BOXCell::Settings settings;
    std::shared_ptr<GEDCOMStructure> boxLine;
};

TEST_F(MapCell, OnlyBoxFramesMakeMapCells) {
    read("0 @I1@ INDI\n1 NOTE x\n");
    auto note = record("@I1@")->firstChildWithTag("NOTE");
    const auto cell = CellKinds::make(seed(note, "NOTE"));
    EXPECT_EQ(cell->className(), "ExpressionFieldCell");
    EXPECT_EQ(std::dynamic_pointer_cast<Map_BOXCell>(cell), nullptr);
}

TEST_F(MapCell, ShowsAMessageInsteadOfAMapWhenTheBoxCannotBeDrawn) {
    auto cell = cellFor("");
    EXPECT_EQ(cell->text(), Map_BOXCell::kNoBounds);
    EXPECT_FALSE(Map_BOXCell::isPage(cell->text()));

    cell = cellFor("2 _BNDS (95, 18.41), (96, 18.49)\n");
    EXPECT_FALSE(cell->text().empty());
    EXPECT_FALSE(Map_BOXCell::isPage(cell->text())) << cell->text();

    const auto saved = ResourceFolder::folder();
    ResourceFolder::setFolder(std::filesystem::temp_directory_path() / "no-such-kinlore-resources");
    cell = cellFor("2 _BNDS (54.1, 18.41), (54.14, 18.49)\n");
    ResourceFolder::setFolder(saved);
    EXPECT_EQ(cell->text(), Map_BOXCell::kNoTemplate);
}

TEST_F(MapCell, WaitsForThePaneBeforeBuildingThePage) {
    read("0 @P1@ _PLC\n1 _BOX B\n2 _BNDS (54.1, 18.41), (54.14, 18.49)\n");
    Map_BOXCell cell(seed(record("@P1@")->firstChildWithTag("_BOX"), "_BOX"));
    EXPECT_EQ(cell.cellString(), "");
    cell.paneDidFinish();
    EXPECT_TRUE(Map_BOXCell::isPage(cell.text()));
}

TEST_F(MapCell, HostedServicePageCarriesBoundsKeyStyleAndColours) {
    auto cell = cellFor("2 _BNDS (54.1, 18.41), (54.14, 18.49)\n2 _STYLE satellite\n");
    const std::string& page = cell->text();
    for (const char* part : {"key=KEY-123", "height: 200px", "north: 54.140000", "south: 54.100000",
                             "east: 18.490000", "west: 18.410000", "\"SATELLITE\"", "strokeColor: \"#FF0000\"",
                             "strokeOpacity: 0.80", "fillOpacity: 0.08"})
        EXPECT_TRUE(has(page, part)) << part << "\n" << page;
    for (const char* mark : {"YOUR_API_KEY", "$HEIGHT$", "$POIS$", "$STYLE$", "$SOPAC$"})
        EXPECT_FALSE(has(page, mark)) << mark;
}

TEST_F(MapCell, OpenLayersPageUsesRgbaColoursAndTheDefaultStyle) {
    settings.mappingAPI = 1;
    auto cell = cellFor("2 _BNDS (54.1, 18.41), (54.14, 18.49)\n");
    const std::string& page = cell->text();
    EXPECT_TRUE(has(page, "<script src=\"file:///opt/ol/ol.js\">")) << page;
    EXPECT_TRUE(has(page, "data-style=\"ROADMAP\"")) << page;
    EXPECT_TRUE(has(page, "rgba(255,0,0,0.800)")) << page;
    EXPECT_TRUE(has(page, "layers: [tiles, boxLayer]")) << "no points, no point layer";
    EXPECT_FALSE(has(page, "pois")) << page;
}

// A named point with a code, a hidden one, one without a position, one
// whose position does not read, and one without a code.
constexpr const char* kPoints =
    "2 _BNDS (54.1, 18.41), (54.14, 18.49)\n"
    "2 _POI The \"Old\" Mill\n3 _GPS (54.12, 18.45)\n3 _CODE MILL\n"
    "2 _POI Hidden\n3 _GPS (54.11, 18.44)\n3 _NOPOI Y\n"
    "2 _POI Nowhere\n"
    "2 _POI Astray\n3 _GPS (95, 18.44)\n"
    "2 _POI Chapel\n3 _GPS 54.13, 18.47\n";

TEST_F(MapCell, HostedServicePointsAreNumberedOverTheShownOnes) {
    auto cell = cellFor(kPoints);
    int written = 0;
    EXPECT_EQ(Map_BOXCell::poisScript(*boxLine, 0, settings.iconBase, &written),
              "    poi0 = new google.maps.LatLng(54.120000,18.450000);\n"
              "    const poiImg0 = document.createElement('img');\n"
              "    poiImg0.src = \"https://icons.example/MILL.png\";\n"
              "    mark0 = new google.maps.marker.AdvancedMarkerElement({position: poi0, map: map, content: poiImg0, "
              "title: \"The \\\"Old\\\" Mill\"});\n"
              "    poi1 = new google.maps.LatLng(54.130000,18.470000);\n"
              "    mark1 = new google.maps.marker.AdvancedMarkerElement({position: poi1, map: map, title: \"Chapel\"});\n");
    EXPECT_EQ(written, 2);
    EXPECT_TRUE(has(cell->text(), "mark1 = new google")) << cell->text();
}

TEST_F(MapCell, OpenLayersPointsWithoutACodeUseTheOtherIcon) {
    settings.mappingAPI = 1;
    auto cell = cellFor(kPoints);
    const std::string script = Map_BOXCell::poisScript(*boxLine, 1, settings.iconBase, nullptr);
    EXPECT_TRUE(script.starts_with("\nvar pois = [];\npois.push(new ol.Feature({\tgeometry: new "
                                   "ol.geom.Point(ol.proj.fromLonLat([18.450000,54.120000])),\n"))
        << script;
    EXPECT_TRUE(has(script, "pois[1].setStyle(new ol.style.Style({\n\timage: new ol.style.Icon({ opacity: 0.95,\n"
                            "\tsrc: 'https://icons.example/other.png'\n\t})\n}));\n"))
        << script;
    EXPECT_FALSE(has(script, "pois[2]"));
    EXPECT_TRUE(script.ends_with("poiLayer = new ol.layer.Vector({source: new ol.source.Vector({features: pois})});\n"));
    EXPECT_TRUE(has(cell->text(), "layers: [tiles, boxLayer, poiLayer]")) << cell->text();
}

TEST(MapCellText, NamesCannotBreakOutOfTheScript) {
    struct Case {
        const char* name;
        const char* safe;
    };
    for (const Case& c : {Case{"Mill \"A\"", "Mill \\\"A\\\""}, Case{"C:\\users", "C:\\\\users"},
                          Case{"St. Ann's", "St. Ann\\'s"}, Case{"two\nlines", "two\\nlines"},
                          Case{"</script><b>", "\\u003c/script>\\u003cb>"}})
        EXPECT_EQ(Map_BOXCell::scriptText(c.name), c.safe) << c.name;
}

TEST_F(MapCell, EditingTheBoxRedrawsTheMap) {
    auto cell = cellFor("2 _BNDS (54.1, 18.41), (54.14, 18.49)\n");
    auto bounds = boxLine->firstChildWithTag("_BNDS");
    bounds->setContents("(50.5, 10.25), (51, 11)");
    EXPECT_TRUE(has(cell->text(), "north: 51.000000")) << cell->text();
    bounds->setContents("(95, 10.25), (96, 11)");
    EXPECT_FALSE(Map_BOXCell::isPage(cell->text())) << "an error in the bounds shows instead of the map";
    EXPECT_FALSE(cell->text().empty());
}

}  // namespace
}  // namespace kl
