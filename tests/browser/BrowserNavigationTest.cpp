// The browser's navigation rules without a window: which choices are made
// at once, on a picker or fail; steps through a list; which navigation
// items are enabled and how the relationship items are titled; and the
// window's help topic.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "browser/BrowserNavigation.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

class Navigation : public ::testing::Test {
protected:
    void SetUp() override {
        // @I3@ has two families as a child: two fathers to choose from.
        // @F2@ has a woman in its husband slot and is unmarried.
        model.setInputGed(
            "0 HEAD\n1 CHAR UTF-8\n"
            "0 @I1@ INDI\n1 NAME Tobin /Marl/\n1 SEX M\n1 FAMS @F1@\n"
            "0 @I2@ INDI\n1 NAME Wenna /Croft/\n1 SEX F\n1 FAMS @F2@\n"
            "0 @I3@ INDI\n1 NAME Pell /Marl/\n1 SEX M\n1 FAMC @F1@\n1 FAMC @F2@\n1 SOUR @S1@\n"
            "0 @I4@ INDI\n1 NAME Ysolde /Marl/\n1 SEX F\n1 FAMC @F2@\n"
            "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I3@\n"
            "0 @F2@ FAM\n1 HUSB @I2@\n1 _UMR Y\n1 CHIL @I3@\n1 CHIL @I4@\n"
            "0 @S1@ SOUR\n1 TITL Parish book\n"
            "0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
    }
    BrowserNavigation::Facts facts(const std::string& id) {
        BrowserNavigation::Facts f;
        f.record = model.recordWithID(id);
        f.record->setUpLinkLists(lists);
        f.lists = &lists;
        f.model = &model;
        return f;
    }
    GEDCOMModel model;
    RecordLinkLists lists;
};

TEST_F(Navigation, FamilyCommandsShowOneRelativeAtOnceAndPickAmongSeveral) {
    auto person = model.recordWithID("@I4@");
    person->setUpLinkLists(lists);
    const auto* father = BrowserNavigation::linkCommand(kFatherTag);
    ASSERT_NE(father, nullptr);
    EXPECT_EQ(BrowserNavigation::optionsFor(*father, *person), std::nullopt);
    auto one = BrowserNavigation::selectRecordFromArray(lists.fatherOrHusband, "View Father", std::nullopt, model);
    EXPECT_EQ(one.kind, BrowserNavigation::Selection::Direct);
    EXPECT_EQ(one.record, model.recordWithID("@I2@"));

    model.recordWithID("@I3@")->setUpLinkLists(lists);
    const std::string message = BrowserNavigation::message(father->message, *model.recordWithID("@I3@"));
    auto two = BrowserNavigation::selectRecordFromArray(lists.fatherOrHusband, message, std::nullopt, model);
    ASSERT_EQ(two.kind, BrowserNavigation::Selection::Sheet);
    EXPECT_EQ(two.list->count(), 2u);
    EXPECT_EQ(two.options.get("message")->toString(), message);
    EXPECT_NE(message.find("Pell"), std::string::npos) << message;

    auto gone = BrowserNavigation::selectRecordFromArray({"@I99@"}, message, std::nullopt, model);
    EXPECT_EQ(gone.kind, BrowserNavigation::Selection::Failed);
    EXPECT_EQ(gone.failure, BrowserNavigation::kRecordNotFound);
}

TEST_F(Navigation, ListCommandsAlwaysOpenThePickerEvenEmpty) {
    struct Case {
        const char* id;
        int tag;
        std::size_t rows;
        const char* type;
    };
    for (const Case& c : {Case{"@I3@", kSourcesTag, 1, "SOUR"}, Case{"@I4@", kSourcesTag, 0, "SOUR"},
                          Case{"@I4@", kMultimediaTag, 0, "OBJE"}, Case{"@I4@", kPlacesTag, 0, "_PLC"}}) {
        SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.tag));
        auto record = model.recordWithID(c.id);
        record->setUpLinkLists(lists);
        const auto* command = BrowserNavigation::linkCommand(c.tag);
        auto options = BrowserNavigation::optionsFor(*command, *record);
        ASSERT_TRUE(options);
        auto selection = BrowserNavigation::selectRecordFromArray(lists.*(command->list), std::nullopt, options, model);
        ASSERT_EQ(selection.kind, BrowserNavigation::Selection::Sheet);
        EXPECT_EQ(selection.list->count(), c.rows);
        EXPECT_EQ(selection.list->recordType(), c.type);
        EXPECT_EQ(selection.options.get("mustSelect")->toString(), "YES");
    }
    auto options = BrowserNavigation::optionsFor(*BrowserNavigation::linkCommand(kMultimediaTag), *model.recordWithID("@I4@"));
    EXPECT_EQ(options->get("newrecord")->toString(), "Set No Portrait");
    EXPECT_EQ(options->get("recordaction")->toString(), "Set As Portrait");
}

TEST_F(Navigation, StepsKeepToTheListAndAnswerNothingAtItsEnds) {
    auto list = model.recordsIndex().listForType("INDI");
    ASSERT_NE(list, nullptr);
    const auto& order = list->order();
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(BrowserNavigation::moveRecord(list.get(), -1, order.front()), nullptr);
    EXPECT_EQ(BrowserNavigation::moveRecord(list.get(), +1, order.back()), nullptr);
    EXPECT_EQ(BrowserNavigation::moveRecord(list.get(), +1, order.front()), order[1]);

    // An album without the shown record starts from its selection, else its first record.
    auto album = RecordsListForPanel::listWithType("INDI", &model);
    album->addRecord(order[1]);
    album->addRecord(order[2]);
    const auto outsider = order[0];
    EXPECT_EQ(BrowserNavigation::moveRecordInAlbum(album.get(), +1, outsider, order[2]), order[2]);
    EXPECT_EQ(BrowserNavigation::moveRecordInAlbum(album.get(), +1, outsider, nullptr), order[1]);
    EXPECT_EQ(BrowserNavigation::moveRecordInAlbum(album.get(), +1, order[2], nullptr), nullptr);
    auto empty = RecordsListForPanel::listWithType("INDI", &model);
    EXPECT_EQ(BrowserNavigation::moveRecordInAlbum(empty.get(), +1, outsider, nullptr), nullptr);
}

TEST_F(Navigation, ValidationEnablesByTheListsAndTitlesTheParentItems) {
    auto person = facts("@I4@");  // one parent family, headed by a woman
    EXPECT_TRUE(BrowserNavigation::validateMenuTag(kFatherTag, person)->enabled);
    EXPECT_EQ(BrowserNavigation::validateMenuTag(kFatherTag, person)->title, "Mother");
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kMotherTag, person)->enabled);
    EXPECT_EQ(BrowserNavigation::validateMenuTag(kMotherTag, person)->title, "Mother");
    EXPECT_TRUE(BrowserNavigation::validateMenuTag(kSiblingsTag, person)->enabled);
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kChildrenTag, person)->enabled);
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kSourcesTag, person)->enabled);
    EXPECT_EQ(BrowserNavigation::validateMenuTag(4201, person), std::nullopt);

    struct Case {
        const char* family;
        const char* husband;
        const char* wife;
    };
    for (const Case& c : {Case{"@F1@", "Husband", "Wife"}, Case{"@F2@", "Mother", "Mother"}}) {
        SCOPED_TRACE(c.family);
        auto family = facts(c.family);
        EXPECT_EQ(BrowserNavigation::validateMenuTag(kFatherTag, family)->title, c.husband);
        EXPECT_EQ(BrowserNavigation::validateMenuTag(kMotherTag, family)->title, c.wife);
    }

    auto moves = facts("@I1@");
    moves.canGoBack = true;
    moves.canStepRecord = [](int step) { return step > 0; };
    EXPECT_TRUE(BrowserNavigation::validateMenuTag(kGoBackTag, moves)->enabled);
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kGoForwardTag, moves)->enabled);
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kPreviousRecordTag, moves)->enabled);
    EXPECT_TRUE(BrowserNavigation::validateMenuTag(kNextRecordTag, moves)->enabled);
    EXPECT_FALSE(BrowserNavigation::validateMenuTag(kAlbumNextTag, moves)->enabled);
    moves.displayingAlbum = true;
    EXPECT_TRUE(BrowserNavigation::validateMenuTag(kAlbumPreviousTag, moves)->enabled);
}

TEST_F(Navigation, HelpTopicFollowsTheRecordType) {
    EXPECT_EQ(BrowserNavigation::contextHelpTopic(nullptr, &model), "Editing/browser");
    EXPECT_EQ(BrowserNavigation::contextHelpTopic(model.recordWithID("@I1@").get(), &model), "Editing/individual");
    EXPECT_EQ(BrowserNavigation::contextHelpTopic(model.recordWithID("@S1@").get(), &model), "Editing/source");
    GEDCOMRecord place("@P1@", "_PLC");
    EXPECT_EQ(BrowserNavigation::contextHelpTopic(&place, &model), "Editing/places");
}

}  // namespace
}  // namespace kl
