// Personal names in every display style, typed names, name parts and
// details, Soundex codes, places joined with addresses, and the names a
// place record shows.
#include <gtest/gtest.h>

#include "FakeRecordStore.h"
#include "model/GEDCOMRecord.h"
#include "model/PlaceRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/Soundex.h"
#include "foundation/TextCase.h"
#include "support/CaseName.h"

namespace kl {
namespace {

struct StyleCase {
    const char* name;
    int style;
    std::optional<std::string> expected;
};

class NameStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(NameStyles, FormatsTheName) {
    const StyleCase& c = GetParam();
    EXPECT_EQ(GEDCOMRecord::formatName(c.name, c.style), c.expected) << c.name << " style " << c.style;
}

const StyleCase kStyleCases[] = {
    // 0: surname first
    {"Ann Marie /Berg/ Jr.", 0, "Berg, Ann Marie Jr."},
    {"/Berg/", 0, "Berg"},
    {"Ann //", 0, "-, Ann"},
    {"  Ann\t/Berg/  ", 0, "Berg, Ann"},
    {"Ann /Berg", 0, "Berg, Ann"},
    {"Ann Berg", 0, "Ann Berg"},
    {"Ann /van/Berg/ Jr.", 0, "van/Berg, Ann Jr."},
    // 1: reading order
    {"Ann Marie /Berg/ Jr.", 1, "Ann Marie Berg Jr."},
    {"/Berg/ Jr.", 1, "Berg Jr."},
    // 3: plain for editing
    {"Ann /Berg/", 3, "Ann Berg"},
    {"/Berg/", 3, "Berg"},
    {"Ann /van Berg/", 3, "Ann /van Berg/"},
    {"Ann /Berg/ Jr.", 3, "Ann /Berg/ Jr."},
    {"Ann /Berg", 3, "Ann Berg"},
    {"Ann //", 3, "Ann //"},
    {"Ann Berg", 3, "Ann Berg"},
    // 4: GEDCOM form
    {"Ann Berg", 4, "Ann /Berg/"},
    {"Berg", 4, "/Berg/"},
    {"Ann /Berg", 4, "Ann /Berg/"},
    {" Ann /Berg/ Jr. ", 4, "Ann /Berg/ Jr."},
    // 5: capitals
    {"Ann Berg", 5, "ANN /BERG/"},
    {"Åse /Ødegård/", 5, "ÅSE /ØDEGÅRD/"},
    // 6: surname in capitals with slashes
    {"Ann /Berg/ Jr.", 6, "Ann /BERG/ Jr."},
    {"/Berg/ Jr.", 6, "/BERG/ Jr."},
    {"Ann Berg", 6, "Ann /BERG/"},
    // 7: each word capitalised, the surname included
    {"ann /berg/", 7, "Ann /Berg/"},
    {"ANN MARIE BERG", 7, "Ann Marie /Berg/"},
    // 8: surname alone
    {"Ann Berg", 8, "Berg"},
    {"Ann /van Berg/ Jr.", 8, "van Berg"},
    // 9: surname in capitals without slashes
    {"Ann /Berg/ Jr.", 9, "Ann BERG Jr."},
    {"Ann Berg", 9, "Ann BERG"},
    // styles not in use
    {"Ann /Berg/", 2, std::nullopt},
    {"Ann /Berg/", 10, std::nullopt},
    {"Ann /Berg/", -1, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Cases, NameStyles, ::testing::ValuesIn(kStyleCases), ::kl::test::CaseName());

TEST(TypedNames, BecomeGEDCOMNames) {
    struct Case {
        const char* typed;
        const char* expected;
    } cases[] = {
        {"Berg, Ann", "Ann /Berg/"}, {"Ann Berg", "Ann /Berg/"},      {" Ann /Berg", "Ann /Berg/"},
        {"Ann /Berg/", "Ann /Berg/"}, {"Berg,", "/Berg/"},            {"van Berg , Ann Marie ", "Ann Marie /van Berg/"},
        {"Berg", "/Berg/"},
    };
    for (const auto& c : cases) EXPECT_EQ(GEDCOMRecord::formatUserName(c.typed), c.expected) << c.typed;
}

TEST(NameParts, KeepOneBlankWhereTheNameHadOne) {
    struct Case {
        std::optional<std::string> name;
        std::array<std::string, 3> parts;
    } cases[] = {
        {"Ann  /Berg/  Jr.", {"Ann ", "Berg", " Jr."}},
        {"Ann/Berg/Jr.", {"Ann", "Berg", "Jr."}},
        {"Ann/ Berg /Jr.", {"Ann ", "Berg", " Jr."}},
        {"Ann /Berg", {"Ann ", "Berg", ""}},
        {" Ann Berg ", {"", "Ann Berg", ""}},
        {std::nullopt, {"", "", ""}},
        {"/Berg/", {"", "Berg", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(GEDCOMRecord::splitNameParts(c.name), c.parts) << c.name.value_or("nil");
}

TEST(NameDetails, ListWordsInitialsAndSoundexWhenAsked) {
    auto details = GEDCOMRecord::nameDetails(std::string("Ann Élise /Ashcraft/ Jr. III"), true);
    EXPECT_EQ(details.get("surname")->toString(), "Ashcraft");
    EXPECT_EQ(*details.get("given")->array(), (Array{"Ann", "Élise"}));
    EXPECT_EQ(*details.get("initials")->array(), (Array{"A", "É"}));
    EXPECT_EQ(*details.get("suffix")->array(), (Array{"Jr.", "III"}));
    EXPECT_EQ(details.get("surname soundex")->toString(), "A261");
    EXPECT_EQ(*details.get("given soundex")->array(), (Array{"A500", "E420"}));
    EXPECT_EQ(details.get("suffix soundex")->array()->size(), 2u);

    auto plain = GEDCOMRecord::nameDetails(std::string("/Berg/"), false);
    EXPECT_EQ(plain.keys(), (std::vector<std::string>{"surname", "given", "initials", "suffix"}));
    EXPECT_TRUE(plain.get("given")->array()->empty());
}

TEST(Soundex, GivesTheAmericanCodes) {
    struct Case {
        const char* name;
        const char* code;
    } cases[] = {
        {"Robert", "R163"}, {"Rupert", "R163"}, {"Ashcraft", "A261"}, {"Pfister", "P236"}, {"Tymczak", "T522"},
        {"", "Z000"},       {"Lee", "L000"},    {"O'Hara", "O600"},   {"  berg", "B620"},  {"Ødegård", "D263"},
        {"Émile", "E540"},  {"123", "Z000"},
    };
    for (const auto& c : cases) EXPECT_EQ(soundexForString(c.name), c.code) << c.name;
}

TEST(TextCase, ChangesLettersAndKeepsEverythingElse) {
    EXPECT_EQ(textcase::upper("straße ŝ ÿ ǆ"), "STRAßE Ŝ Ÿ ǆ");
    EXPECT_EQ(textcase::lower("ÀÉÎ Ĳ ΣΑ ЖЁ"), "àéî ĳ σα жё");
    EXPECT_EQ(textcase::capitalized("mARY-ann o'neil\tde /la/"), "Mary-ann O'neil\tDe /La/");
    const std::string broken = "a\xff\xc3z";
    EXPECT_EQ(textcase::upper(broken), "A\xff\xc3Z");
}

TEST(PlaceAndAddress, JoinsTheAddressLines) {
    struct Case {
        const char* place;
        const char* address;
        bool at;
        const char* expected;
    } cases[] = {
        {"Oslo", "Storgata 1\n   \n", true, "Oslo at Storgata 1"},
        {"Oslo", "Storgata 1\n   \n", false, "Oslo (Address: Storgata 1)"},
        {"Oslo", " Storgata 1 \n\tN-0155\n", true, "Oslo at Storgata 1, N-0155"},
        {"", "Storgata 1", true, "Storgata 1"},
        {"Oslo", "", true, "Oslo"},
        {"Oslo", " \n\t", false, "Oslo"},
    };
    for (const auto& c : cases) EXPECT_EQ(GEDCOMRecord::place(c.place, c.address, c.at), c.expected) << c.address;
}

TEST(PlaceAndAddress, ReadsAnEventsOwnLines) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto birt = record->addLevel(1, "BIRT", "");
    record->addLevel(2, "PLAC", "Oslo");
    record->addLevel(2, "ADDR", "Storgata 1");
    record->addLevel(3, "PLAC", "Bergen");
    EXPECT_EQ(GEDCOMRecord::place(*birt, true), "Oslo at Storgata 1");
    auto deat = record->addLevel(1, "DEAT", "");
    EXPECT_EQ(GEDCOMRecord::place(*deat, false), "");
}

TEST(PlaceRecordNames, ShowTheFirstPlaceNameAndItsPartsReversed) {
    struct Case {
        const char* name;
        const char* lines;
        const char* view;
        const char* reversed;
    } cases[] = {
        {"ThreeParts", "1 _PLACE Radavizu, Lower Vessmark, Vessland\n", "Radavizu, Lower Vessmark, Vessland",
         "Vessland, Lower Vessmark, Radavizu"},
        {"PartsTrimmed", "1 _PLACE  Dolni ,Vessland \n", " Dolni ,Vessland ", "Vessland, Dolni"},
        {"OnePart", "1 _PLACE Vessland\n", "Vessland", "Vessland"},
        {"FirstOfTwo", "1 _PLACE Kestry, Vessland\n1 _PLACE Old Kestry\n", "Kestry, Vessland", "Vessland, Kestry"},
        {"NoPlaceLine", "1 NOTE n\n", "Place ID @P9@", "Place ID @P9@"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeRecordStore store;
        auto place = store.add<PlaceRecord>("@P9@", "_PLC", c.lines);
        EXPECT_EQ(place->viewName(), c.view);
        EXPECT_EQ(place->altViewName(), c.reversed);
        EXPECT_EQ(place->viewTags().has_value(), std::string(c.lines).find("_PLACE") != std::string::npos);
    }
}

}  // namespace
}  // namespace kl
