// Searching the place-data service for names: which script each choice
// calls, how the answers are filtered, and the errors a search reports.
#include <gtest/gtest.h>

#include "places/PlaceDataFake.h"
#include "places/PlaceSearch.h"

namespace kl {
namespace {

const std::string kParisNames = R"({"0": {"name": "Paris, Île-de-France, France"}, "1": {"name": "Paris-Plage, Pas-de-Calais, France"},
  "2": {"name": "paris, Somewhere, France"}, "3": {}, "4": {"name": "Cormeilles-en-Parisis, Val-d'Oise, France"}})";
const std::string kBox = "fetchLevel1MapInfo.py?country=FR&level1=%C3%8Ele-de-France";
const std::string kBoxReply =
    R"({"level1": {"sw_bb_lat": "48.1", "sw_bb_lon": "1.4", "ne_bb_lat": "49.2", "ne_bb_lon": "3.5"}})";
const std::string kInBox = "fetchSubstringCaseInsensitiveMatchingNamesInBox.py?placeName=Paris&country=FR"
                           "&sw_bb_lat=48.1&sw_bb_lon=1.4&ne_bb_lat=49.2&ne_bb_lon=3.5";
const std::string kSubstring = "fetchSubstringCaseInsensitiveMatchingNames.py?placeName=Paris&country=FR";

struct SearchCase {
    PlaceSearch::Settings settings;
    std::string request;
    std::vector<std::string> found;
};

class PlaceSearching : public ::testing::TestWithParam<SearchCase> {
protected:
    std::optional<PlaceSearch::Result> search(const PlaceSearch::Settings& settings) {
        return PlaceSearch::findPlaces(test::FakePlaceService::kBase, {"FR", "Île-de-France"}, settings, running);
    }
    test::FakePlaceService service;
    std::atomic<bool> running{true};
};

TEST_P(PlaceSearching, EachChoiceCallsItsScriptAndFiltersWhatTheScriptCannot) {
    const SearchCase& c = GetParam();
    service.replies = {{kBox, kBoxReply}, {c.request, kParisNames}};
    const auto result = search(c.settings);
    ASSERT_TRUE(result);
    EXPECT_EQ(service.asked.back(), c.request);
    EXPECT_EQ(result->names, c.found);
    EXPECT_EQ(result->kind, c.found.empty() ? PlaceSearch::Result::NotFound : PlaceSearch::Result::Found);
}

const std::string kParis = "Paris, Île-de-France, France", kPlage = "Paris-Plage, Pas-de-Calais, France",
                  kLower = "paris, Somewhere, France", kParisis = "Cormeilles-en-Parisis, Val-d'Oise, France";

INSTANTIATE_TEST_SUITE_P(
    Choices, PlaceSearching,
    ::testing::Values(
        SearchCase{{"Paris", true, true, false}, "fetchMatchingNames.py?placeName=Paris&country=FR",
                   {kParis, kPlage, kLower, kParisis}},
        SearchCase{{"Paris", true, false, false}, "fetchCaseInsensitiveMatchingNames.py?placeName=Paris&country=FR",
                   {kParis, kPlage, kLower, kParisis}},
        SearchCase{{"Paris", false, true, false}, kSubstring, {kParis, kPlage, kParisis}},
        SearchCase{{"Paris", false, false, false}, kSubstring, {kParis, kPlage, kLower, kParisis}},
        SearchCase{{"Paris", true, true, true}, kInBox, {kParis}},
        SearchCase{{"Paris", true, false, true}, kInBox, {kParis, kLower}},
        SearchCase{{"Paris", false, true, true}, kInBox, {kParis, kPlage, kParisis}},
        SearchCase{{"Paris", false, false, true}, kInBox, {kParis, kPlage, kLower, kParisis}}));

TEST(PlaceSearchMatch, WholeLevelsIgnoreDiacriticsAndMayFollowSpaces) {
    struct Case {
        const char* name;
        const char* text;
        bool caseSensitive;
        bool matches;
    };
    for (const Case& c : {Case{"Paris, Île-de-France, France", "Ile-de-France", true, true},
                          Case{"Paris, Île-de-France, France", "France", true, true},
                          Case{"Paris, Île-de-France, France", "france", true, false},
                          Case{"Paris, Île-de-France, France", "france", false, true},
                          Case{"Paris-Plage, France", "Paris", true, false},
                          Case{"Paris-Paris, Paris", "Paris", true, true},
                          Case{"Saint-Denis", "Denis", true, false}, Case{"Lyon", "", true, false}})
        EXPECT_EQ(PlaceSearch::wholeLevelMatch(c.name, c.text, c.caseSensitive), c.matches) << c.name << " / " << c.text;
    EXPECT_TRUE(PlaceSearch::containsWithCase("Orléans, France", "Orle"));
    EXPECT_FALSE(PlaceSearch::containsWithCase("Orléans, France", "orle"));
}

class PlaceSearchFailures : public PlaceSearching {};

TEST_F(PlaceSearchFailures, AreReportedWithTheirErrors) {
    PlaceSearch::Settings inBox{"Paris", true, true, true};
    auto result = search(inBox);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->kind, PlaceSearch::Result::Failed);
    EXPECT_EQ(result->error.description, "Not Found") << "the box could not be read";

    service.replies = {{kBox, R"({"level1": {"sw_bb_lat": "48.1"}})"}};
    result = search(inBox);
    EXPECT_EQ(result->error.description, "The data available for the current place does not have a bounding box "
                                         "(open Console to see the response)");
    EXPECT_EQ(service.asked.size(), 2u) << "no name search without a box";

    service.replies = {{kSubstring, R"({"0": {"name": "Paris, France"}, "1": "Lyon"})"}};
    result = search({"Paris", false, false, false});
    EXPECT_EQ(result->kind, PlaceSearch::Result::Failed);
    EXPECT_EQ(result->error.description,
              "Unexpected error decoding response from server. Check Console app for details.");

    running = false;
    EXPECT_FALSE(search({"Paris", false, false, false})) << "a cancelled search reports nothing";
}

TEST(PlaceSearchQuery, TellsWhatWasSearchedAndHowManyMatched) {
    EXPECT_EQ(PlaceSearch::queryText({"Paris", true, false, true}, "France", "Île-de-France, France", 1),
              "Search for 'Paris' in country 'France' (matching whole place levels, case insensitive, in bounding box "
              "for 'Île-de-France, France')\nFound one match.\n");
    EXPECT_EQ(PlaceSearch::queryText({"Par", false, true, false}, "FR", "FR", 3),
              "Search for 'Par' in country 'FR' (contained in place name, case sensitive)\nFound 3 matches.\n");
}

}  // namespace
}  // namespace kl
