// Copying a place from the place-data service: what is downloaded for a
// country and for a place, and what is written into the place record.
#include <gtest/gtest.h>

#include "document/StoreTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "model/PlaceRecord.h"
#include "places/PlaceDataFake.h"
#include "places/PlaceImport.h"

namespace kl {
namespace {

const std::string kLyonDetails = R"({"comment": "On two rivers",
  "event_dict": {"0": {"level_of_origin": "local", "property_type": "Population", "DATE": "1990", "_VALUE": "415000",
                       "_PNOTE": "Census", "_DIST": "OWNER"},
                 "1": {"level_of_origin": "parent", "property_type": "Area", "_VALUE": "47"},
                 "2": {"level_of_origin": "local", "property_type": "Motto", "_DIST": "family"},
                 "3": {"level_of_origin": "local", "property_type": "Fairs", "_VALUE": "two", "_DIST": "Owner"}},
  "wikipedia_URL": "https://wiki.example/Lyon",
  "URL_dict": {"0": {"URL": "https://lyon.example/", "URL_type": "Town"}, "1": {"URL": "https://wiki.example/Lyon"}}})";
const std::string kLyonBox =
    R"({"level2": {"sw_bb_lat": "45.7073666", "sw_bb_lon": "4.7718134", "ne_bb_lat": "45.808", "ne_bb_lon": "4.898"}})";
const std::string kLyonPoints = R"({"0": {"POI_lat": "45.76", "POI_lon": "4.8271234567", "point_name": "Old Bridge",
  "URL_descriptive": "https://bridge.example/", "feature_code": "BDG"},
  "1": {"POI_lat": "45.75", "POI_lon": "4.82", "public_comments": "Closed on Sundays"},
  "2": {"point_name": "Nowhere"}})";

class PlaceImporting : public ::testing::Test, public test::StoreFixture {
protected:
    void SetUp() override {
        read("0 HEAD\n1 CHAR UTF-8\n0 TRLR\n");
        service.replies = {{"fetchLevel2Details.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon", kLyonDetails},
                           {"fetchLevel2MapInfo.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon", kLyonBox},
                           {"fetchLevel2POIs.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon&bb_factor=0.0", kLyonPoints}};
    }
    PlaceImport::Download download(const std::vector<std::string>& levels) {
        continueThread = true;
        auto got = PlaceImport::collectData(test::FakePlaceService::kBase, levels, continueThread);
        EXPECT_TRUE(got);
        return got ? *got : PlaceImport::Download{};
    }
    PlaceImport::Choice lyon(bool withURL, bool withoutURL) {
        const auto got = download({"FR", "Rhône", "Lyon"});
        return {got.details, got.mapInfo, got.pois, "Lyon, Rhône, France", withURL, withoutURL};
    }
    // The record's lines without its creation and change dates.
    static std::string lines(const GEDCOMRecord& record) {
        std::string text = record.gedcomString(), kept;
        bool skipping = false;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t end = text.find('\n', from);
            const std::string line = text.substr(from, end == std::string::npos ? end : end - from + 1);
            from = end == std::string::npos ? text.size() : end + 1;
            if (line[0] <= '1') skipping = line.rfind("1 CHAN", 0) == 0 || line.rfind("1 REFN", 0) == 0;
            if (!skipping) kept += line;
        }
        return kept;
    }

    test::FakePlaceService service;
    std::atomic<bool> continueThread{true};
};

TEST_F(PlaceImporting, ACountryAsksForItsDetailsAndBoxOnly) {
    service.replies = {{"fetchCountryDetails.py?country=FR", R"({"comment": "x"})"},
                       {"fetchCountryMapInfo.py?country=FR", R"({"country": {}})"}};
    const auto got = download({"FR"});
    EXPECT_EQ(service.asked, (std::vector<std::string>{"fetchCountryDetails.py?country=FR",
                                                       "fetchCountryMapInfo.py?country=FR"}));
    EXPECT_FALSE(got.error);
    EXPECT_EQ(got.poisWithURL + got.poisWithoutURL, 0);
}

TEST_F(PlaceImporting, APlaceCountsItsPointsWithAndWithoutAnAddress) {
    const auto got = download({"FR", "Rhône", "Lyon"});
    EXPECT_EQ(service.asked.size(), 3u);
    EXPECT_EQ(got.poisWithURL, 1);
    EXPECT_EQ(got.poisWithoutURL, 2);
}

TEST_F(PlaceImporting, AFailedRequestEndsTheDownloadWithItsError) {
    service.replies.erase("fetchLevel2MapInfo.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon");
    auto got = download({"FR", "Rhône", "Lyon"});
    ASSERT_TRUE(got.error);
    EXPECT_EQ(got.error->description, "Not Found");
    EXPECT_EQ(service.asked.size(), 2u) << "no points are asked for after the failure";

    service.replies["fetchLevel2Details.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon"] = "Service down";
    got = download({"FR", "Rhône", "Lyon"});
    ASSERT_TRUE(got.error);
    EXPECT_EQ(got.error->domain, "HTTP Request Process");

    continueThread = false;
    EXPECT_FALSE(PlaceImport::collectData(test::FakePlaceService::kBase, {"FR"}, continueThread))
        << "a cancelled download reports nothing";
}

TEST_F(PlaceImporting, ANewPlaceGetsNoteFactsLinksBoxAndTheChosenPoints) {
    auto record = PlaceImport::copyPlaceNow(model, lyon(true, false));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(model.placeForName("Lyon, Rhône, France"), record);
    const std::string id = record->grecordID();
    const auto note = record->firstChildWithTag("NOTE");
    ASSERT_NE(note, nullptr);
    EXPECT_NE(lines(*model.recordWithID(note->contents())).find("On two rivers"), std::string::npos);
    EXPECT_EQ(lines(*record), "0 " + id + " _PLC\n1 _PLACE Lyon, Rhône, France\n1 NOTE " + note->contents() +
                                  "\n1 _PFACT Population\n2 DATE 1990\n2 _VALUE 415000\n2 _PNOTE Census\n3 _DIST Owner\n"
                                  "1 _PFACT Fairs\n2 _VALUE two\n"
                                  "1 _URL https://wiki.example/Lyon\n2 _LABEL Wikipedia\n"
                                  "1 _URL https://lyon.example/\n2 _LABEL Town\n"
                                  "1 _BOX Lyon\n2 _BNDS (45.707366, 4.771813), (45.808, 4.898)\n"
                                  "2 _POI Old Bridge\n3 _GPS (45.76, 4.827123)\n3 _URL https://bridge.example/\n"
                                  "3 _CODE BDG\n");
}

TEST_F(PlaceImporting, ImportingAgainAddsOnlyWhatIsNewButThePointsAgain) {
    auto first = PlaceImport::copyPlaceNow(model, lyon(false, true));
    const std::string once = lines(*first);
    EXPECT_NE(once.find("2 _POI POI Name\n3 _GPS (45.75, 4.82)\n3 _PNOTE Closed on Sundays\n"), std::string::npos)
        << once;
    EXPECT_EQ(once.find("Old Bridge"), std::string::npos) << "the point with an address was not chosen";
    const std::size_t notes = countOf("NOTE");

    auto second = PlaceImport::copyPlaceNow(model, lyon(false, true));
    EXPECT_EQ(second, first);
    EXPECT_EQ(countOf("NOTE"), notes) << "the same comment is linked already";
    const std::string twice = lines(*second);
    EXPECT_EQ(twice.substr(0, once.size()), once);
    EXPECT_EQ(twice.substr(once.size()), "2 _POI POI Name\n3 _GPS (45.75, 4.82)\n3 _PNOTE Closed on Sundays\n")
        << "same facts, links and box; the points again in the same box";

    // Other bounds make a second box, which takes the points.
    auto moved = lyon(false, true);
    moved.mapInfo = *MyHTTPRequest::stringToDictionary(
        R"({"level2": {"sw_bb_lat": "1", "sw_bb_lon": "2", "ne_bb_lat": "3", "ne_bb_lon": "4"}})", false, nullptr)
                        ->dictionary();
    PlaceImport::copyPlaceNow(model, moved);
    EXPECT_TRUE(lines(*first).ends_with("1 _BOX Lyon\n2 _BNDS (1, 2), (3, 4)\n2 _POI POI Name\n3 _GPS (45.75, 4.82)\n"
                                        "3 _PNOTE Closed on Sundays\n"))
        << lines(*first);
}

TEST_F(PlaceImporting, AnExistingFactWithTheSameDateAndValueIsNotAddedAgain) {
    read("0 HEAD\n1 CHAR UTF-8\n0 @P1@ _PLC\n1 _PLACE Lyon, Rhône, France\n"
         "1 _PFACT Population\n2 DATE 1990\n2 _VALUE 415000\n1 _PFACT Fairs\n2 _VALUE three\n0 TRLR\n");
    auto choice = lyon(false, false);
    choice.mapInfo.clear();
    auto record = PlaceImport::copyPlaceNow(model, choice);
    EXPECT_EQ(record->grecordID(), "@P1@");
    const std::string text = lines(*record);
    EXPECT_EQ(text.find("1 _PFACT Population", text.find("1 _PFACT Population") + 1), std::string::npos) << text;
    EXPECT_NE(text.find("1 _PFACT Fairs\n2 _VALUE two\n"), std::string::npos) << "another value is another fact";
    EXPECT_EQ(text.find("_BOX"), std::string::npos) << "no box without map information";
}

TEST_F(PlaceImporting, TheWholeCopyUndoesAsOneStep) {
    const std::string before = lines(*model.recordWithID("HEAD", ""));
    document.undo.beginUndoGrouping();
    auto record = PlaceImport::copyPlaceNow(model, lyon(true, true));
    document.undo.endUndoGrouping();
    ASSERT_NE(record, nullptr);
    document.undo.undo();
    EXPECT_EQ(model.placeForName("Lyon, Rhône, France"), nullptr);
    EXPECT_EQ(countOf("NOTE"), 0u);
    document.undo.redo();
    auto again = model.placeForName("Lyon, Rhône, France");
    ASSERT_NE(again, nullptr);
    EXPECT_NE(lines(*again).find("3 _CODE BDG"), std::string::npos);
}

TEST(PlaceImportText, CoordinatesAreCutSixDigitsAfterTheStop) {
    for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{
             {"45.7073666", "45.707366"}, {"-4.1234567891", "-4.123456"}, {"45.123456", "45.123456"},
             {"45", "45"}, {"1.2.34567890", "1.2.3456"}})
        EXPECT_EQ(PlaceImport::truncateLatLon(in), out) << in;
}

}  // namespace
}  // namespace kl
