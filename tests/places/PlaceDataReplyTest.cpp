// The place-data service's replies as the tolerant reader takes them, and
// the request texts sent for a place.
#include <gtest/gtest.h>

#include "places/MyHTTPRequest.h"
#include "places/PlaceAdvisor.h"
#include "places/PlaceDataRequests.h"

namespace kl {
namespace {

Value read(std::string_view text, bool asList = false) {
    PlaceDataError error;
    auto value = MyHTTPRequest::stringToDictionary(text, asList, &error);
    EXPECT_TRUE(value) << error.description;
    return value ? *value : Value();
}

std::string textAt(const Value& value, std::string_view key) {
    const Value* found = value.dictionary() ? value.dictionary()->get(key) : nullptr;
    return found && found->string() ? *found->string() : "<missing>";
}

TEST(PlaceDataReply, ObjectsKeyedByNumbersAreListsInKeyOrder) {
    const Value list = read(R"({"1": {"point_name": "Mill"}, "0": {"point_name": "Bridge"}})", true);
    ASSERT_TRUE(list.array());
    ASSERT_EQ(list.array()->size(), 2u);
    EXPECT_EQ(textAt((*list.array())[0], "point_name"), "Bridge");
    EXPECT_EQ(textAt((*list.array())[1], "point_name"), "Mill");

    const Value nested = read(R"({"URL_dict": {"0": {"URL": "a"}, "1": {"URL": "b"}}, "other": {"0": "x", "2": "y"}})");
    const Value* links = nested.dictionary()->get("URL_dict");
    ASSERT_TRUE(links && links->array());
    EXPECT_EQ(textAt((*links->array())[1], "URL"), "b");
    const Value* other = nested.dictionary()->get("other");
    ASSERT_TRUE(other && other->dictionary()) << "a key missing: the object stays an object";

    const Value values = read(R"({"a": {"n": "1"}, "b": {"n": "2"}})", true);
    ASSERT_TRUE(values.array());
    EXPECT_EQ(textAt((*values.array())[1], "n"), "2") << "without numbered keys: the values in their order";
}

TEST(PlaceDataReply, NullsAndEmptyObjectsLeaveNoKey) {
    const Value reply = read(R"({"comment": null, "event_dict": {}, "kept": "x", "quoted": "null"})");
    const Dictionary& d = *reply.dictionary();
    EXPECT_FALSE(d.contains("comment"));
    EXPECT_FALSE(d.contains("event_dict"));
    EXPECT_FALSE(d.contains("quoted"));
    EXPECT_EQ(textAt(reply, "kept"), "x");
}

struct TextCase {
    const char* reply;
    const char* expected;  // the value of key "v"
};

class PlaceDataTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(PlaceDataTexts, ValuesAreReadAsOnePiece) {
    EXPECT_EQ(textAt(read(GetParam().reply), "v"), GetParam().expected) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PlaceDataTexts,
    ::testing::Values(TextCase{R"({"v": "Caf\u00e9"})", "Café"}, TextCase{R"({"v": "\u00e9\u00E9"})", "éé"},
                      TextCase{R"({"v": "x\u00e9y"})", "xéy"}, TextCase{R"({"v": "a, b: c"})", "a, b: c"},
                      TextCase{R"({"v": "say \"hi, there\" now"})", "say \"hi, there\" now"},
                      TextCase{R"({"v": 'single'})", "single"}, TextCase{R"({"v": "\ud83c\udf0d"})", "\U0001F30D"},
                      TextCase{R"({"v": "bad \ud83c end"})", "bad \uFFFD end"},
                      TextCase{R"({"v": "\u00zz"})", R"(\u00zz)"},
                      TextCase{"Content-Type: text/plain\n\n{\"v\": \"x\"} trailing {\"v\": \"y\"}", "x"},
                      TextCase{R"({"v": "first", "v": "second"})", "second"},
                      TextCase{"{\n  \"v\" :\t\"spaced\"\n}", "spaced"}));

TEST(PlaceDataReply, AReplyWithoutAnObjectIsAnError) {
    PlaceDataError error;
    EXPECT_FALSE(MyHTTPRequest::stringToDictionary("<html>Internal Server Error</html>", false, &error));
    EXPECT_EQ(error.domain, "HTTP Request Process");
    EXPECT_EQ(error.code, 1);
    EXPECT_EQ(error.description, "The returned text does not contain a dictionary marked with brackets {} (open "
                                 "Console to see the response)");
}

TEST(PlaceDataReply, AReplyCutShortAnswersWhatWasStored) {
    const Value reply = read(R"({"a": "1", "b": {"c": "2"}, "d": "3)");
    EXPECT_EQ(textAt(reply, "a"), "1");
    EXPECT_TRUE(reply.dictionary()->contains("b"));
    EXPECT_FALSE(reply.dictionary()->contains("d")) << "no comma or brace ends the last pair";
}

TEST(PlaceDataRequest, TheQueryIsEncodedAndFilledValuesStayValues) {
    EXPECT_EQ(MyHTTPRequest("http://h/cgi-bin/fetchMatchingNames.py?placeName=Île de Ré&country=FR", 60).url(),
              "http://h/cgi-bin/fetchMatchingNames.py?placeName=%C3%8Ele%20de%20R%C3%A9&country=FR");
    EXPECT_EQ(MyHTTPRequest("http://h/a b", 60).url(), "http://h/a%20b") << "without a script: the whole text";
    const std::string filled = MyHTTPRequest::fillRequest("x.py?placeName=%@&country=%@", {"A & B=50%", "FR"});
    EXPECT_EQ(filled, "x.py?placeName=A%20%26%20B%3D50%25&country=FR");
    EXPECT_EQ(MyHTTPRequest("http://h/" + filled, 60).url(), "http://h/" + filled) << "not encoded twice";
}

TEST(PlaceDataRequest, EachLevelHasItsScripts) {
    using R = PlaceDataRequests;
    EXPECT_EQ(R::details({"FR"}), "fetchCountryDetails.py?country=FR");
    EXPECT_EQ(R::mapInfo({"FR"}), "fetchCountryMapInfo.py?country=FR");
    EXPECT_EQ(R::pois({"FR"}), std::nullopt) << "no points of a whole country";
    EXPECT_EQ(R::details({"FR", "Rhône", "Lyon"}), "fetchLevel2Details.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon");
    EXPECT_EQ(R::pois({"FR", "Rhône"}), "fetchLevel1POIs.py?country=FR&level1=Rh%C3%B4ne&bb_factor=0.0");
    EXPECT_EQ(R::mapInfo({"FR", "a", "b", "c", "d", "e"}),
              "fetchLevel5MapInfo.py?country=FR&level1=a&level2=b&level3=c&level4=d&level5=e");
    EXPECT_EQ(R::details({"FR", "a", "b", "c", "d", "e", "f"}), std::nullopt);
    EXPECT_EQ(R::details({}), std::nullopt);
    EXPECT_EQ(R::nameSearch(R::NameSearch::SubstringInBox, "Paris", "FR", {"48.1", "2.2", "49", "2.5"}),
              "fetchSubstringCaseInsensitiveMatchingNamesInBox.py?placeName=Paris&country=FR&sw_bb_lat=48.1"
              "&sw_bb_lon=2.2&ne_bb_lat=49&ne_bb_lon=2.5");
}

TEST(PlaceDataRequest, PlaceCodesGiveTheLevelsFromTheLargestDown) {
    const auto country = PlaceAdvisor::placeLevels("FR");
    EXPECT_EQ(country.placeName, "FR");
    EXPECT_EQ(country.levels, std::vector<std::string>{"FR"});
    const auto city = PlaceAdvisor::placeLevels("FR:  Lyon , Rhône,France ");
    EXPECT_EQ(city.placeName, "Lyon , Rhône,France");
    EXPECT_EQ(city.levels, (std::vector<std::string>{"FR", "Rhône", "Lyon"}));
}

TEST(PlaceDataRequest, TheBoxIsTheFirstCountryOrLevelKeyWithAllCorners) {
    const Value info = read(R"({"lev": {"sw_bb_lat": "0"}, "level2": {"sw_bb_lat": "45.7", "sw_bb_lon": "4.7",
                                "ne_bb_lat": "45.8", "ne_bb_lon": "4.9"}})");
    EXPECT_EQ(PlaceDataRequests::boundingBox(info), (std::array<std::string, 4>{"45.7", "4.7", "45.8", "4.9"}));
    EXPECT_EQ(PlaceDataRequests::boundingBox(read(R"({"country": {"sw_bb_lat": "1", "sw_bb_lon": "2"}})")),
              std::nullopt);
}

}  // namespace
}  // namespace kl
