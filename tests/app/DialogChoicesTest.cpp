// The window-free halves of the new-file dialog, the character-set dialog
// and the placement of document windows.
#include <gtest/gtest.h>

#include "app/CascadePoints.h"
#include "app/CharacterSetRows.h"
#include "app/NewFileSettings.h"

namespace kl {
namespace {

NewFileSettings couple(bool link) {
    NewFileSettings settings;
    settings.person1 = {"John /Smith/", NewFileSettings::Male, "1 JAN 1900", ""};
    settings.person2 = {"Mary /Jones/", NewFileSettings::Female, "", "ABT 1970"};
    settings.linkAsFamily = link;
    return settings;
}

TEST(NewFileSettingsTest, EightItemsAndFamilyMarkerOnlyWhenLinked) {
    const Array unlinked = couple(false).fileSettings();
    ASSERT_EQ(unlinked.size(), 8u);
    EXPECT_EQ(unlinked[0], Value("John /Smith/"));
    EXPECT_EQ(unlinked[1], Value(1));
    EXPECT_EQ(unlinked[2], Value("1 JAN 1900"));
    EXPECT_EQ(unlinked[3], Value(""));
    EXPECT_EQ(unlinked[5], Value(2));
    EXPECT_EQ(unlinked[7], Value("ABT 1970"));
    const Array linked = couple(true).fileSettings();
    ASSERT_EQ(linked.size(), 9u);
    EXPECT_EQ(linked.back(), Value("family"));
}

TEST(NewFileSettingsTest, ReadsBackItsOwnAnswerAndRefusesOthers) {
    for (bool link : {false, true}) {
        const auto back = NewFileSettings::fromArray(couple(link).fileSettings());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->fileSettings(), couple(link).fileSettings());
    }
    Array badSex = couple(false).fileSettings();
    badSex[1] = Value(3);
    Array badMarker = couple(true).fileSettings();
    badMarker.back() = Value("families");
    Array tooShort = couple(false).fileSettings();
    tooShort.pop_back();
    Array numberAsName = couple(false).fileSettings();
    numberAsName[4] = Value(7);
    for (const Array* bad : {&badSex, &badMarker, &tooShort, &numberAsName})
        EXPECT_FALSE(NewFileSettings::fromArray(*bad));
}

TEST(NewFileSettingsTest, AnyOtherModeThanTheChartIsTheFamilyCommand) {
    EXPECT_FALSE(NewFileSettings::isFamilyMode(0));
    EXPECT_EQ(NewFileSettings::familyTitleMode(1), 1);
    EXPECT_EQ(NewFileSettings::familyTitleMode(2), 2);
    EXPECT_EQ(NewFileSettings::familyTitleMode(7), 2);
    EXPECT_TRUE(NewFileSettings::isFamilyMode(-1));
}

TEST(CharacterSetRowsTest, RowsAnswerTheirEncodingAndName) {
    struct Case {
        int row;
        std::uint32_t encoding;
        const char* name;
    } cases[] = {{0, 1, "ASCII"},       {1, 0x10000, "ANSEL"}, {2, 4, "UTF-8"},
                 {3, 30, "MacOS Roman"}, {4, 12, "Windows"},    {5, 10, "UNICODE"},
                 {6, 0x80000400, "IBMPC"}};
    for (const auto& c : cases) {
        const auto choice = CharacterSetRows::choiceForRow(c.row);
        ASSERT_TRUE(choice) << c.row;
        EXPECT_EQ(choice->encoding, c.encoding);
        EXPECT_EQ(choice->name, c.name);
    }
    EXPECT_FALSE(CharacterSetRows::choiceForRow(-1));
    EXPECT_FALSE(CharacterSetRows::choiceForRow(7));
    EXPECT_EQ(CharacterSetRows::choiceForRow(CharacterSetRows::defaultRow)->encoding, 12u);
    EXPECT_EQ(CharacterSetRows::rowForEncoding(4), 2);
    EXPECT_EQ(CharacterSetRows::rowForEncoding(0), CharacterSetRows::defaultRow);
}

TEST(CascadePointsTest, LaterWindowsOfANameStepFromTheLastOne) {
    CascadePoints points;
    const auto first = points.place("Index", {100, 50}, true);
    EXPECT_EQ(first.topLeft, (CascadePoint{100, 50}));
    // The second window did not get the name: it cascades from the first.
    const auto second = points.place("Index", {100, 50}, false);
    EXPECT_EQ(second.topLeft, first.next);
    const auto third = points.place("Index", {100, 50}, false);
    EXPECT_EQ(third.topLeft, (CascadePoint{100 + 2 * CascadePoints::step, 50 + 2 * CascadePoints::step}));
    // Another name starts from its own window.
    EXPECT_EQ(points.place("Browser", {5, 6}, false).topLeft, (CascadePoint{5, 6}));
    // The owner of a name (the first window again, after the others closed)
    // stays where its frame is.
    EXPECT_EQ(points.place("Index", {300, 200}, true).topLeft, (CascadePoint{300, 200}));
}

TEST(CascadePointsTest, WindowsAreFittedInsideTheScreensFreeArea) {
    const CascadeRect free{0, 30, 1280, 770};
    struct Case {
        const char* name;
        CascadeRect frame;
        CascadeRect fitted;
    } cases[] = {
        {"Inside", {100, 100, 900, 600}, {100, 100, 900, 600}},
        {"LargerThanTheScreen", {0, 30, 3000, 2000}, {0, 30, 1280, 770}},
        {"PastTheRightEdgeMovedIn", {500, 100, 900, 600}, {380, 100, 900, 600}},
        {"PastTheBottomEdgeMovedIn", {100, 300, 900, 600}, {100, 200, 900, 600}},
        {"AboveAndLeftMovedIn", {-50, 0, 900, 600}, {0, 30, 900, 600}},
        {"NoScreenKnown", {-50, 0, 900, 600}, {-50, 0, 900, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CascadeRect area = std::string(c.name) == "NoScreenKnown" ? CascadeRect{} : free;
        EXPECT_EQ(CascadePoints::fitted(c.frame, area), c.fitted);
    }
    // A cascade that reaches an edge starts again at the top-left corner.
    EXPECT_EQ(CascadePoints::fitted({500, 100, 900, 600}, free, true), (CascadeRect{0, 30, 900, 600}));
    EXPECT_EQ(CascadePoints::fitted({100, 300, 900, 600}, free, true), (CascadeRect{0, 30, 900, 600}));
    // A maximised first window: every later one stays inside, and the
    // cascade steps on from where each really went.
    CascadePoints points;
    EXPECT_EQ(points.placeInside("Index", free, true, free), free);
    for (int i = 0; i < 3; ++i) {
        const CascadeRect next = points.placeInside("Index", free, false, free);
        EXPECT_EQ(next, free) << i;
    }
    const CascadeRect small = points.placeInside("Index", {0, 0, 900, 600}, false, free);
    EXPECT_EQ(small, (CascadeRect{CascadePoints::step, 30 + CascadePoints::step, 900, 600}));
}

}  // namespace
}  // namespace kl
