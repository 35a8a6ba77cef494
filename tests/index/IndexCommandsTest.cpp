// The index window's record and album commands without widgets: deleting
// with refusals, removing from and filling albums, the pickers of linked
// records and the portrait chosen there, and the shown list as text.
#include <gtest/gtest.h>

#include "document/RecordsListForPanel.h"
#include "foundation/UndoManager.h"
#include "index/AlbumsMenu.h"
#include "index/IndexTestSupport.h"

namespace kl {
namespace {

using test::IndexFixture;
using test::people;

using test::AskingView;
using test::CommandsFixture;

const char* kThreeWithLockedMiddle =
    "0 @I1@ INDI\n1 NAME Ada\n"
    "0 @I2@ INDI\n1 NAME Bea\n1 RESN locked\n"
    "0 @I3@ INDI\n1 NAME Cy\n"
    "0 @I4@ INDI\n1 NAME Dot\n";

TEST(DeleteRecords, ContinuePastARefusalDeletesTheOthersAsOneStepAndShowsTheRefusingRecord) {
    CommandsFixture f;
    f.openAsking(kThreeWithLockedMiddle);
    f.selectIDs({"I1", "I2", "I3"});
    f.asking.answers = {0};  // Continue
    f.index->deleteRecordCmd();
    ASSERT_EQ(f.asking.alerts.size(), 1u);
    EXPECT_EQ(f.asking.alerts[0].message, "The record 'Bea' cannot be deleted because it is locked.");
    EXPECT_EQ(f.asking.alerts[0].buttons, (std::vector<std::string>{"Continue", "Cancel"}));
    EXPECT_FALSE(f.record("@I1@"));
    EXPECT_FALSE(f.record("@I3@"));
    EXPECT_EQ(f.doc.undo().undoActionName(), "Delete Records");
    EXPECT_EQ(f.selectedIDs(), std::vector<std::string>{"I2"});
    f.doc.undo().undo();
    EXPECT_TRUE(f.record("@I1@"));
    EXPECT_TRUE(f.record("@I3@")) << "one undo brings both back";
}

TEST(DeleteRecords, CancelStopsAndARefusalOfTheLastRecordOnlyTells) {
    CommandsFixture f;
    f.openAsking(kThreeWithLockedMiddle);
    f.selectIDs({"I2", "I3"});
    f.asking.answers = {1};  // Cancel
    f.index->deleteRecordCmd();
    EXPECT_TRUE(f.record("@I3@")) << "nothing after Cancel is deleted";
    EXPECT_FALSE(f.doc.undo().canUndo());

    f.selectIDs({"I1", "I2"});
    f.index->deleteRecordCmd();
    ASSERT_EQ(f.asking.alerts.size(), 2u);
    EXPECT_EQ(f.asking.alerts[1].information, "All other selected records that could be deleted were deleted.");
    EXPECT_EQ(f.asking.alerts[1].buttons.size(), 1u);
    EXPECT_FALSE(f.record("@I1@"));
    EXPECT_EQ(f.doc.undo().undoActionName(), "Delete Record");
}

TEST(DeleteRecords, DeletingTheLastRowsSelectsTheNewLastRow) {
    CommandsFixture f;
    f.openAsking(people({"A", "B", "C", "D"}));
    const auto shown = f.shownIDs();
    f.selectIDs({shown[2], shown[3]});
    ASSERT_EQ(f.index->selectedRows(), (std::vector<long>{2, 3}));
    f.index->deleteRecordCmd();
    EXPECT_EQ(f.index->selectedRows(), std::vector<long>{1});
    EXPECT_EQ("@" + f.selectedIDs().at(0) + "@", shown[1]);
}

TEST(DeleteRecords, ARecordInTwoAlbumsIsInBothAgainAfterUndo) {
    CommandsFixture f;
    f.openAsking(people({"A", "B"}));
    f.selectIDs({"I1"});
    f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
    f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
    const auto albums = f.lists().albums();
    ASSERT_EQ(albums.size(), 2u);
    f.index->selectRecordType("INDI");
    f.selectIDs({"I1"});
    f.index->deleteRecordCmd();
    EXPECT_EQ(albums[0]->count(), 0u);
    f.doc.undo().undo();
    EXPECT_TRUE(albums[0]->contains(f.record("@I1@").get()));
    EXPECT_TRUE(albums[1]->contains(f.record("@I1@").get()));
}

TEST(Albums, RemovingFromTheShownAlbumNamesTheUndoByCount) {
    struct Case {
        std::vector<std::string> removed;
        const char* name;
    };
    for (const Case& c : {Case{{"I1"}, "Remove Record from Album"}, Case{{"I1", "I2"}, "Remove Records from Album"}}) {
        CommandsFixture f;
        f.openAsking(people({"A", "B", "C"}));
        f.selectIDs({"I1", "I2", "I3"});
        f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
        const auto album = f.lists().albums().front();
        f.index->selectRecordType(album->recordType());
        f.selectIDs(c.removed);
        f.index->remove();
        EXPECT_EQ(album->count(), 3 - c.removed.size()) << c.name;
        EXPECT_EQ(f.doc.undo().undoActionName(), c.name);
        EXPECT_EQ(f.index->selectedRows().size(), 1u) << "a row near the removed ones is selected";
    }
}

TEST(Albums, FillingANewAlbumFromTheMenuKeepsTheShownListAndIsOneStep) {
    CommandsFixture f;
    f.openAsking(people({"A", "B"}));
    const long row = f.index->selectedListRow();
    f.selectIDs({"I1", "I2"});
    f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
    EXPECT_EQ(f.index->selectedListRow(), row);
    EXPECT_EQ(f.index->currentType(), "INDI");
    EXPECT_FALSE(IndexController::suppressAlbumSelection());
    ASSERT_EQ(f.lists().albums().size(), 1u);
    EXPECT_EQ(f.lists().albums().front()->count(), 2u);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Move Records to an Album");
    f.doc.undo().undo();
    EXPECT_TRUE(f.lists().albums().empty());
    // A later Add Album is shown again.
    f.index->createAlbum();
    EXPECT_TRUE(f.index->isDisplayingAnAlbum());
    // An existing album by its tag.
    f.index->selectRecordType("INDI");
    f.selectIDs({"I2"});
    f.index->populateAlbum(AlbumsMenu::kFirstAlbumTag);
    EXPECT_EQ(f.lists().albums().front()->count(), 1u);
}

TEST(Albums, TheAlbumsMenuKeepsItsFixedItemsAndTagsEachAlbum) {
    CommandsFixture f;
    f.openAsking(people({"A"}));
    f.index->createAlbumNamed(std::string("Trips"));
    f.index->createAlbumNamed(std::string("Letters"));
    const auto items = AlbumsMenu::loadAlbumsMenu({{"Save", 0}, {"New Album", 4501}, {"old", 4510}}, 2, f.lists());
    EXPECT_EQ(items, (std::vector<AlbumMenuItem>{{"Save", 0}, {"New Album", 4501}, {"Trips", 4510}, {"Letters", 4511}}));
    EXPECT_EQ(AlbumsMenu::albumForDocument(f.lists(), 4511)->name(), "Letters");
    EXPECT_FALSE(AlbumsMenu::albumForDocument(f.lists(), 4512));
    EXPECT_FALSE(AlbumsMenu::albumForDocument(f.lists(), 4501));
}

const char* kLinked =
    "0 @I1@ INDI\n1 NAME Ada\n1 SOUR @S1@\n1 OBJE @O1@\n1 OBJE @O2@\n"
    "0 @I2@ INDI\n1 NAME Bea\n"
    "0 @S1@ SOUR\n1 TITL Parish book\n"
    "0 @O1@ OBJE\n1 FILE a.jpg\n"
    "0 @O2@ OBJE\n1 FILE b.jpg\n";

TEST(Pickers, OfferTheLinkedRecordsWithTheirMessageAndBeepWhenThereAreNone) {
    CommandsFixture f;
    f.openAsking(kLinked);
    f.selectIDs({"I1"});
    ASSERT_TRUE(f.index->doSourcesCmd());
    ASSERT_TRUE(f.asking.picked);
    EXPECT_EQ(f.asking.picked->count(), 1u);
    EXPECT_EQ(f.asking.pickerOptions.get("message")->toString(), "View Sources for Ada");
    EXPECT_EQ(f.asking.pickerOptions.get("mustSelect")->toString(), "YES");
    ASSERT_TRUE(f.index->doMultimediaCmd());
    EXPECT_EQ(f.asking.picked->count(), 2u);
    EXPECT_EQ(f.asking.pickerOptions.get("newrecord")->toString(), "Set No Portrait");

    f.selectIDs({"I2"});
    const int beeps = f.asking.beeps;
    EXPECT_FALSE(f.index->doReferencedByCmd()) << "nothing cites Bea";
    EXPECT_EQ(f.asking.beeps, beeps + 1);
    f.doc.undo().disableUndoRegistration();
    f.record("@S1@")->attachCrossRefTo("@I1@");
    f.doc.undo().enableUndoRegistration();
    f.index->selectRecordType("SOUR");
    f.selectIDs({"S1"});
    ASSERT_TRUE(f.index->doReferencedByCmd());
    EXPECT_EQ(f.asking.picked->order().front()->grecordID(), "@I1@");
}

TEST(Pickers, APickerWithNothingLeftSaysSo) {
    CommandsFixture f;
    f.openAsking(kLinked);
    EXPECT_FALSE(f.index->selectFromArray(Array{Value("@X9@"), Value("X9")}, Dictionary{}));
    ASSERT_EQ(f.asking.alerts.size(), 1u);
    EXPECT_EQ(f.asking.alerts[0].message, "The requested record could not be opened");
    EXPECT_EQ(f.asking.alerts[0].information,
              "No records found, or the possible records were corrupted or have been deleted");
}

TEST(Pickers, SetNoPortraitNamesItsUndoOnlyWhenSomethingChanged) {
    CommandsFixture f;
    f.openAsking(kLinked);
    f.selectIDs({"I1"});
    ASSERT_TRUE(f.index->doMultimediaCmd());
    f.asking.answer(nullptr, f.asking.pickerOptions);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Set No Portrait");
    const auto steps = f.doc.undo().undoCount();
    f.asking.answer(nullptr, f.asking.pickerOptions);
    EXPECT_EQ(f.doc.undo().undoCount(), steps) << "nothing changed, nothing to undo";

    Dictionary action = f.asking.pickerOptions;
    action.set("RecordActionClick", "YES");
    f.asking.answer(f.record("@O2@"), action);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Change Portrait");
    EXPECT_EQ(f.record("@I1@")->portraitImage(), f.record("@O2@"));
}

TEST(ExportIndexData, WritesTheHeadingTheTitlesAndOneLinePerShownRecord) {
    CommandsFixture f;
    f.openAsking(people({"Ada", "Bea"}));
    const std::string text = f.index->exportIndexColumns();
    EXPECT_EQ(text.rfind("File: unsaved document\nCreated: n/a\nModified: n/a\n", 0), 0u) << text;
    EXPECT_NE(text.find("Number: 2\n\n"), std::string::npos);
    const auto lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(lines, 3 + 3 + 1 + 2) << text;
    EXPECT_NE(text.find("Ada"), std::string::npos);
}

}  // namespace
}  // namespace kl
