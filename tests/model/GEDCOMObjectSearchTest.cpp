#include <gtest/gtest.h>

#include <functional>

#include "TreeTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "dates/Calendars.h"
#include "model/LibraryServices.h"

namespace kl {
namespace {

const char* kFamilyMember =
    "0 @I1@ INDI\n"
    "1 NAME Ann /Smith/\n"
    "1 SEX F\n"
    "1 BIRT\n"
    "2 DATE 1 JAN 1900\n"
    "2 SOUR @S1@\n"
    "3 PAGE 12\n"
    "3 SOUR @S9@\n"
    "1 SOUR @S2@\n"
    "1 SOUR not a link\n"
    "1 SOUR @S3@\n"
    "1 NOTE @N1@\n"
    "1 FAMS @F1@\n";

struct Tree {
    std::shared_ptr<GEDCOMRecord> record = test::readRecord(kFamilyMember);
    std::shared_ptr<GEDCOMStructure> birt = record->findStructureWithTag("BIRT");
};

// Describes a search result by its line, "nil" for none.
std::string lineOf(const std::shared_ptr<GEDCOMObject>& node) {
    if (!node) return "nil";
    if (node->glevel() == 0) return "the record";
    return node->description();
}

struct SearchCase {
    const char* name;
    std::function<std::shared_ptr<GEDCOMObject>(Tree&)> search;
    const char* expected;
};

class TreeSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(TreeSearch, FindsTheExpectedLine) {
    Tree t;
    EXPECT_EQ(lineOf(GetParam().search(t)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeSearch,
    ::testing::Values(
        SearchCase{"DepthFirstFindsNestedBeforeLaterSibling",
                   [](Tree& t) { return t.record->findStructureWithTag("SOUR"); }, "2 SOUR @S1@"},
        SearchCase{"ByTagDoesNotTestReceiver", [](Tree& t) { return t.birt->findStructureWithTag("BIRT"); }, "nil"},
        SearchCase{"ByLevelSkipsDeeperMatches", [](Tree& t) { return t.record->findStructureWithTag("SOUR", 1); },
                   "1 SOUR @S2@"},
        SearchCase{"ByLevelAnswersReceiverAtThatLevel", [](Tree& t) { return t.birt->findStructureWithTag("BIRT", 1); },
                   "1 BIRT "},
        SearchCase{"ByLevelAboveRequestedIsNil", [](Tree& t) { return t.birt->findStructureWithTag("DATE", 0); },
                   "nil"},
        SearchCase{"ByLevelNeverMatchesRecordItself", [](Tree& t) { return t.record->findStructureWithTag("INDI", 0); },
                   "nil"},
        SearchCase{"ByContents", [](Tree& t) { return t.record->findStructureWithTag("SOUR", "@S3@", 1); },
                   "1 SOUR @S3@"},
        SearchCase{"HasLink", [](Tree& t) { return t.record->hasLink("FAMS", "@F1@"); }, "1 FAMS @F1@"},
        SearchCase{"HasLinkOnlyAmongChildren", [](Tree& t) { return t.record->hasLink("SOUR", "@S1@"); }, "nil"},
        SearchCase{"AfterStructureFirstTagFound",
                   [](Tree& t) { return t.record->findAfterStructure({"RESN", "SEX", "NAME"}); }, "1 SEX F"},
        SearchCase{"AfterStructureElseLastChild", [](Tree& t) { return t.record->findAfterStructure({"RESN"}); },
                   "1 FAMS @F1@"},
        SearchCase{"ChildIndexZeroIsFirst", [](Tree& t) { return t.record->findChild("SOUR", false, 0); },
                   "1 SOUR @S2@"},
        SearchCase{"ChildIndexNegativeIsFirst", [](Tree& t) { return t.record->findChild("SOUR", false, -5); },
                   "1 SOUR @S2@"},
        SearchCase{"ChildIndexThird", [](Tree& t) { return t.record->findChild("SOUR", false, 3); }, "1 SOUR @S3@"},
        SearchCase{"ChildIndexBeyondMatches", [](Tree& t) { return t.record->findChild("SOUR", false, 4); }, "nil"},
        SearchCase{"ChildAtIndexOutOfRange", [](Tree& t) { return t.record->findChildAtIndex(99, true); }, "nil"},
        SearchCase{"ParentByLevel",
                   [](Tree& t) { return t.record->findParentOfStructure(t.record->findStructureWithTag("PAGE").get()); },
                   "2 SOUR @S1@"},
        SearchCase{"ParentByLevelOfStranger",
                   [](Tree& t) {
                       auto stranger = std::make_shared<GEDCOMStructure>(nullptr, 2, "DATE", "1 JAN 1900");
                       return t.record->findParentOfStructure(stranger.get());
                   },
                   "nil"},
        SearchCase{"ParentByIdentity",
                   [](Tree& t) { return t.record->parentOfStructure(t.record->findStructureWithTag("DATE").get()); },
                   "1 BIRT "},
        SearchCase{"ParentStructureOfLevelOneIsRecord",
                   [](Tree& t) { return t.birt->parentStructure(); }, "the record"},
        SearchCase{"NextSibling", [](Tree& t) { return t.birt->nextStructure(); }, "1 SOUR @S2@"},
        SearchCase{"PrevSibling", [](Tree& t) { return t.birt->prevStructure(); }, "1 SEX F"},
        SearchCase{"NoNextAtEnd", [](Tree& t) { return t.record->lastStructure()->nextStructure(); }, "nil"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TreeSearch, RemovingFindsHandTheChildOverAndTakeItOut) {
    Tree t;
    auto sex = t.record->findChild("SEX", true);
    ASSERT_NE(sex, nullptr);
    EXPECT_EQ(t.record->findChild("SEX", false), nullptr);
    auto sources = t.record->findChildren("SOUR", true);
    EXPECT_EQ(sources.size(), 3u);
    EXPECT_EQ(t.record->findChild("SOUR", false), nullptr);
    EXPECT_NE(t.record->findStructureWithTag("SOUR"), nullptr) << "nested citations stay";
    t.record->removeChild("NOTE", true);
    t.record->removeChild("NAME", false);
    EXPECT_EQ(t.record->gedcomString(),
              "0 @I1@ INDI\n1 BIRT\n2 DATE 1 JAN 1900\n2 SOUR @S1@\n3 PAGE 12\n3 SOUR @S9@\n1 FAMS @F1@\n");
}

TEST(TreeSearch, CountAllChildrenStopsAtAMatch) {
    Tree t;
    EXPECT_EQ(t.birt->countAllChildren("SOUR"), 1u);
    EXPECT_EQ(t.record->countAllChildren("SOUR"), 4u);
    EXPECT_EQ(t.record->countChildren("SOUR"), 3u);
}

TEST(TreeSearch, ReceiverIsListedOnlyWhenItsOwnTagFieldMatches) {
    Tree t;
    auto source = t.record->findStructureWithTag("SOUR");
    EXPECT_EQ(source->findAllChildren("SOUR").size(), 2u);
    EXPECT_TRUE(source->findAllStructuresWithTag("SOUR", std::nullopt).size() == 1u);
    EXPECT_TRUE(t.record->findAllChildren("INDI").empty());
}

TEST(TreeSearch, AllStructuresComeWithTheirParentsDepthFirst) {
    Tree t;
    auto found = t.record->findAllStructuresWithTag("SOUR", std::nullopt);
    std::vector<std::string> seen;
    for (const auto& f : found) seen.push_back(f.structure->contents() + " in " + f.parent->gtag());
    EXPECT_EQ(seen, (std::vector<std::string>{"@S1@ in BIRT", "@S9@ in SOUR", "@S2@ in INDI",
                                              "not a link in INDI", "@S3@ in INDI"}));
    EXPECT_EQ(t.record->findAllStructuresWithTag("SOUR", std::string("@S3@")).size(), 1u);
}

TEST(TreeSearch, LinkedIDsKeepOnlyRecordIDs) {
    Tree t;
    EXPECT_EQ(t.record->sourceIDs(), (std::vector<std::string>{"@S2@", "@S3@"}));
    EXPECT_EQ(t.record->notesIDs(), (std::vector<std::string>{"@N1@"}));
    EXPECT_TRUE(t.record->multimediaIDs().empty());
}

TEST(TreeSearch, EventShortcutsReadTheLinesRightBelow) {
    Tree t;
    EXPECT_EQ(t.birt->eventDate(), "1 JAN 1900");
    EXPECT_EQ(t.birt->eventPlace(), "");
    EXPECT_EQ(t.record->findContentsWithTag("NAME", 1), "Ann /Smith/");
    EXPECT_EQ(t.record->findContentsWithTag("PAGE", 1), "");
}

// Tag lists come from the library folder; without one a name is a tag.
struct EventLists : LibraryServices {
    std::shared_ptr<const TagList> tagList(std::string_view name) const override {
        if (name != "INDIEvents") return nullptr;
        return std::make_shared<TagList>(TagList{"BIRT", "DEAT", "FAMS"});
    }
};

TEST(TreeSearch, CountChildrenUsesTagListsOfTheLibrary) {
    Tree t;
    EXPECT_EQ(t.record->countChildren("INDIEvents"), 0u);
    LibraryServices::setCurrent(std::make_shared<EventLists>());
    EXPECT_EQ(t.record->countChildren("INDIEvents"), 2u);
    EXPECT_EQ(t.record->countChildren("SEX"), 1u);
    LibraryServices::setCurrent(nullptr);
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

struct DayNumberCase {
    const char* name;
    const char* lines;  // below a level-1 event
    std::int64_t earliest;
    std::int64_t latest;
};

class EventDayNumbers : public ::testing::TestWithParam<DayNumberCase> {};

TEST_P(EventDayNumbers, ComeFromTheDateRightBelowTheEvent) {
    auto record = test::readRecord(std::string("0 @I1@ INDI\n1 BIRT\n") + GetParam().lines);
    auto event = record->structures().at(0);
    EXPECT_EQ(event->eventSDN(), GetParam().earliest);
    EXPECT_EQ(event->eventSDNMax(), GetParam().latest);
    EXPECT_EQ(event->eventSDNLong(), Value(static_cast<long long>(GetParam().earliest)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventDayNumbers,
    ::testing::Values(DayNumberCase{"OneDay", "2 DATE 1 JAN 1900\n", gregorianDateToSdn(1900, 1, 1),
                                    gregorianDateToSdn(1900, 1, 1)},
                      DayNumberCase{"Range", "2 DATE BET 1900 AND 1910\n", gregorianDateToSdn(1900, 1, 1),
                                    gregorianDateToSdn(1910, 12, 31)},
                      DayNumberCase{"NoDate", "2 PLAC Rome\n", 0, 0},
                      DayNumberCase{"Invalid", "2 DATE sometime\n", 0, 0},
                      DayNumberCase{"DateTooDeep", "2 SOUR @S1@\n3 DATE 1 JAN 1900\n", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kl
