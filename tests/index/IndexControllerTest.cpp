// The index window's logic without widgets: which list shows and how it is
// sorted, header clicks, selections that follow re-sorted records, lists
// leaving the index when their last record goes, and deferred reloads.
#include <gtest/gtest.h>

#include <cstdio>

#include "IndexTestSupport.h"
#include "document/DocumentNotifications.h"
#include "document/IndexStyle.h"
#include "document/RecordsListForPanel.h"
#include "foundation/NotificationCenter.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::descendingPeople;
using test::IndexFixture;
using test::people;
using test::ShowCase;


class SortOnShow : public testing::TestWithParam<ShowCase> {};

TEST_P(SortOnShow, ListsUnderTheLimitAreSortedOnTheirFirstSortableColumn) {
    const ShowCase& c = GetParam();
    IndexFixture f;
    f.open(descendingPeople(c.count));
    ASSERT_EQ(f.index->currentType(), "INDI");
    ASSERT_EQ(f.index->currentList()->count(), static_cast<std::size_t>(c.count));
    EXPECT_EQ(!f.index->currentList()->howSorted().empty(), c.sorted);
    // A list too long to sort says so in its header, yet its first column
    // is highlighted, so the column commands work at every size.
    EXPECT_EQ(f.index->highlightedColumn(), 0);
    EXPECT_EQ(f.view.arrow == SortIndicator::None, !c.sorted);
    EXPECT_TRUE(f.index->validateMenuTag(IndexMenuValidation::DeleteColumn).enabled);
    EXPECT_TRUE(f.index->validateMenuTag(IndexMenuValidation::EditColumn).enabled);
    EXPECT_EQ(f.index->listedRecords().front()->grecordID(), c.sorted ? "@I" + std::to_string(c.count) + "@" : "@I1@");
}

INSTANTIATE_TEST_SUITE_P(IndexController, SortOnShow,
                         testing::Values(ShowCase{"Small", 3, true}, ShowCase{"OneUnderTheLimit", 24999, true},
                                         ShowCase{"AtTheLimit", 25000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SortOnShowStyles, PortraitOnlyStyleLeavesTheListUnsorted) {
    IndexFixture f;
    auto style = f.styles.indexStyleForType("INDI", &f.doc);
    style->deleteColumn(0);
    style->addRemovePortraitCol(0);
    f.open(people({"B", "A"}));
    EXPECT_TRUE(f.index->currentList()->howSorted().empty());
    EXPECT_EQ(f.index->highlightedColumn(), -1);
    EXPECT_EQ(f.view.lastPlan.portraitColumn, 0);
}

TEST(SortOnShowStyles, RememberedSortIsMarkedAndNotRedone) {
    IndexFixture f;
    f.open(people({"B", "C", "A"}));
    f.index->didClickTableColumn(0);  // now descending
    const auto order = f.shownIDs();
    f.index->selectRecordTypeIndex(f.rowOfList("FAM") >= 0 ? f.rowOfList("FAM") : 1);
    f.index->selectRecordTypeIndex(f.rowOfList("INDI"));
    EXPECT_EQ(f.shownIDs(), order) << "showing the list again keeps its order";
    EXPECT_EQ(f.view.lastPlan.highlightedColumn, 0);
    EXPECT_EQ(f.view.lastPlan.indicator, SortIndicator::Descending);
}

TEST(HeaderClick, SortsThenReverses) {
    IndexFixture f;
    f.open(people({"B", "C", "A"}));
    auto style = f.index->shownStyle();
    style->addColumn(Dictionary{{"Label", "ID"}, {"Expression", "id"}});
    auto first = f.index->didClickTableColumn(1);
    EXPECT_TRUE(first.sorted);
    EXPECT_FALSE(first.beep);
    EXPECT_EQ(f.shownIDs(), (std::vector<std::string>{"@I1@", "@I2@", "@I3@"}));
    EXPECT_EQ(f.view.arrow, SortIndicator::Ascending);
    f.index->didClickTableColumn(1);
    EXPECT_EQ(f.shownIDs(), (std::vector<std::string>{"@I3@", "@I2@", "@I1@"}));
    EXPECT_EQ(f.view.arrow, SortIndicator::Descending);
    EXPECT_EQ(f.index->highlightedColumn(), 1);
}

TEST(HeaderClick, SelectionFollowsItsRecordsThroughTheSort) {
    IndexFixture f;
    f.open(people({"B", "C", "A"}));  // shown A B C
    f.index->recordSelectionChanged({0});
    ASSERT_EQ(f.index->selectedRecord()->grecordID(), "@I3@");
    f.index->didClickTableColumn(0);  // C B A
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{2}));
    EXPECT_EQ(f.index->selectedRecord()->grecordID(), "@I3@");
}

TEST(HeaderClick, PortraitColumnAndBadColumnsBeep) {
    IndexFixture f;
    f.open(people({"B", "A"}));
    f.index->addRemovePortraitColumn();
    const auto order = f.shownIDs();
    for (int column : {0, 7, -1}) {
        auto answer = f.index->didClickTableColumn(column);
        EXPECT_TRUE(answer.beep) << column;
        EXPECT_FALSE(answer.sorted) << column;
    }
    EXPECT_EQ(f.view.beeps, 3);
    EXPECT_EQ(f.shownIDs(), order);
}

// Names sorted: A0 A1 ... each row's record is known by its name.
TEST(RecordEdits, SelectionFollowsARecordThatSortsElsewhere) {
    IndexFixture f;
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i) names.push_back("M" + std::to_string(10 + i));
    f.open(people(names));
    f.index->recordSelectionChanged({5, 10});
    auto moving = f.index->listedRecords()[10];
    // Between the records at rows 1 and 2.
    moving->findStructureWithTag("NAME")->setContents("M115");
    EXPECT_EQ(f.index->listedRecords()[2], moving);
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{2, 6}));
    EXPECT_EQ(f.view.selection, (std::vector<long>{2, 6}));
    EXPECT_EQ(f.view.scrolledTo, 6);
}

TEST(RecordEdits, ReloadsOnceOnTheNextTurnHoweverManyChanges) {
    IndexFixture f;
    f.open(people({"A", "B", "C"}));
    const int before = f.view.recordReloads;
    for (const auto& r : f.index->listedRecords()) r->findStructureWithTag("NAME")->setContents(r->grecordID());
    EXPECT_EQ(f.view.recordReloads, before);
    f.dispatcher.drain();
    EXPECT_EQ(f.view.recordReloads, before + 1);
}

TEST(SelectByIDs, MissingIDsAreSkippedAndTheFirstFoundIsScrolledTo) {
    IndexFixture f;
    f.open(people({"A", "B", "C", "D"}));
    f.index->selectByRecordIDs(std::vector<std::string>{"@I3@", "@I99@", "@I2@"});
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{1, 2}));
    EXPECT_EQ(f.view.scrolledTo, 2);
    EXPECT_EQ(f.index->selectedRecordIDs(), (std::vector<std::string>{"@I2@", "@I3@"}));
}

TEST(SelectByIDs, ListsRememberTheirSelectionWhenAnotherIsShown) {
    IndexFixture f;
    f.open(people({"A", "B"}) + "0 @N1@ NOTE text\n");
    f.index->recordSelectionChanged({1});
    f.index->selectRecordType("NOTE");
    EXPECT_EQ(f.index->currentType(), "NOTE");
    EXPECT_TRUE(f.index->selectedRows().empty());
    f.index->selectRecordType("INDI");
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{1}));
}

TEST(SelectAnyRecord, ShowsItsListWithTheRecordAloneSelected) {
    IndexFixture f;
    f.open(people({"A", "B"}) + "0 @N1@ NOTE one\n0 @N2@ NOTE two\n");
    f.index->recordSelectionChanged({0, 1});
    f.index->selectAnyRecord(f.record("@N2@"));
    EXPECT_EQ(f.index->currentType(), "NOTE");
    EXPECT_EQ(f.index->selectedRecordIDs(), (std::vector<std::string>{"@N2@"}));
}

TEST(SelectedRecord, RowPastTheEndClearsTheSelection) {
    IndexFixture f;
    f.open(people({"A"}));
    f.index->recordSelectionChanged({4});
    EXPECT_EQ(f.index->selectedRecord(), nullptr);
    EXPECT_TRUE(f.index->selectedRows().empty());
    EXPECT_EQ(f.index->currentRecordID(), std::nullopt);
}

TEST(Deletion, LastRecordOfTheShownTypeTakesItsListAwayAndShowsRowZero) {
    IndexFixture f;
    f.open(people({"A"}) + "0 @N1@ NOTE only\n");
    f.index->selectRecordType("NOTE");
    ASSERT_EQ(f.index->currentType(), "NOTE");
    f.doc.gedcomModel().deleteRecord(f.record("@N1@"));
    EXPECT_LT(f.rowOfList("NOTE"), 0);
    EXPECT_EQ(f.index->selectedListRow(), 0);
    EXPECT_EQ(f.view.listRow, 0);
    EXPECT_EQ(f.index->currentList(), f.lists().lists()[0]);
    f.doc.undo().undo();
    EXPECT_GE(f.rowOfList("NOTE"), 0) << "undo brings the record and its list back";
}

TEST(Deletion, SelectedRowsPastTheShortenedListAreDropped) {
    IndexFixture f;
    f.open(people({"A", "B", "C"}));
    f.index->recordSelectionChanged({0, 2});
    f.doc.gedcomModel().deleteRecord(f.index->listedRecords()[1]);
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{0}));
}

TEST(Deletion, AnAlbumKeepsItsPlaceWhenItsOnlyRecordGoes) {
    IndexFixture f;
    f.open(people({"A", "B"}));
    auto& index = f.lists();
    const std::string key = index.uniqueAlbumType();
    auto album = index.addList(key, nullptr);
    album->addRecordToAlbum(f.record("@I1@"));
    f.index->selectRecordType(key);
    ASSERT_TRUE(f.index->isDisplayingAnAlbum());
    f.doc.gedcomModel().deleteRecord(f.record("@I1@"));
    EXPECT_EQ(index.listForType(key), album);
    EXPECT_EQ(album->count(), 0u);
    EXPECT_EQ(f.index->currentList(), album) << "the emptied album stays shown";
    f.doc.undo().undo();
    EXPECT_EQ(album->count(), 1u) << "undo puts the record back in the album";
}

TEST(NewRecords, ReloadTheShownListOfTheirType) {
    IndexFixture f;
    f.open(people({"A"}));
    const int lists = f.view.listReloads, records = f.view.recordReloads;
    f.doc.gedcomModel().createNewRecordOfType("INDI", Value(true));
    EXPECT_GT(f.view.listReloads, lists);
    EXPECT_GT(f.view.recordReloads, records);
}

TEST(AlbumChanged, ReloadsTheShownAlbumsRowsAndAlwaysTheLists) {
    IndexFixture f;
    f.open(people({"A", "B"}));
    f.index->setSourceShown(true);  // a hidden pane is never refreshed
    auto album = f.index->createAlbum();
    f.view = {};
    album->addRecordToAlbum(f.record("@I2@"));
    EXPECT_GT(f.view.recordReloads, 0);
    EXPECT_GT(f.view.sourceRefreshes, 0);
    EXPECT_GT(f.view.listReloads, 0);
    f.index->selectRecordType("INDI");
    f.view = {};
    album->addRecordToAlbum(f.record("@I1@"));
    EXPECT_EQ(f.view.recordReloads, 0) << "an album not shown leaves the records table alone";
    EXPECT_GT(f.view.listReloads, 0);
}

// A picker's copy of the shown list, sorted there, hands its order back.
TEST(ColumnOrder, ACopySortedElsewhereGivesTheShownListItsOrderAndKey) {
    IndexFixture f;
    f.open(people({"B", "C", "A"}));
    f.index->selectByRecordIDs(std::vector<std::string>{"@I2@"});
    auto shown = f.index->currentList();
    ASSERT_FALSE(shown->howSorted().empty());
    auto copy = RecordsListForPanel::listWithList(*shown);
    copy->setIndexStyle(shown->indexStyle());
    f.view = {};
    copy->sortColumn(0);  // the same column again: reversed
    EXPECT_EQ(shown->sortOrder(), copy->sortOrder());
    EXPECT_EQ(shown->howSorted(), copy->howSorted());
    EXPECT_EQ(f.shownIDs(), (std::vector<std::string>{"@I2@", "@I1@", "@I3@"}));
    EXPECT_EQ(f.view.marked, 0);
    EXPECT_EQ(f.view.arrow, SortIndicator::Descending);
    EXPECT_GT(f.view.listReloads, 0);
    EXPECT_GT(f.view.recordReloads, 0);
    EXPECT_EQ(f.index->selectedRows(), (std::vector<long>{0})) << "the selection follows its record";

    f.view = {};
    shown->sortColumn(0);  // the shown list itself
    copy->setOrder({});    // a copy that lost its rows
    copy->sortColumn(0);
    EXPECT_EQ(f.view.listReloads, 0);
    EXPECT_EQ(f.shownIDs(), (std::vector<std::string>{"@I3@", "@I1@", "@I2@"}));
}

TEST(ColumnOrder, AlbumsOverTheSameRecordsAreNotCopiesOfEachOther) {
    IndexFixture f;
    f.open(people({"B", "A"}));
    auto first = f.index->createAlbumNamed(std::string("First"));
    auto second = f.index->createAlbumNamed(std::string("Second"));
    for (const auto& album : {first, second}) {
        album->addRecordToAlbum(f.record("@I1@"));
        album->addRecordToAlbum(f.record("@I2@"));
    }
    second->setIndexStyle(f.index->shownStyle());
    f.index->selectRecordType(first->recordType());
    ASSERT_EQ(f.index->currentList(), first);
    const auto before = f.shownIDs();
    bool secondDiffered = false;
    for (int click = 0; click < 2; ++click) {
        second->sortColumn(0);
        secondDiffered = secondDiffered || second->order().front() != first->order().front();
        EXPECT_EQ(f.shownIDs(), before);
    }
    EXPECT_TRUE(secondDiffered);
}

TEST(FontsAndDates, BothTablesFollowTheFontsAndDatesReloadAtOnce) {
    IndexFixture f;
    f.open(people({"B", "A"}));
    f.index->setSourceShown(true);
    auto& center = NotificationCenter::defaultCenter();
    f.index->disableViewUpdates();  // both are followed even during bulk work
    f.view = {};
    center.post(IndexController::kSourceFontChanged, nullptr);
    EXPECT_EQ(f.view.fontResets, 1);
    EXPECT_EQ(f.view.listReloads, 1);
    EXPECT_EQ(f.view.recordReloads, 1);
    EXPECT_EQ(f.view.sourceRefreshes, 1);
    f.index->enableViewUpdates();

    // A deferred reload pending when the date format changes is done by
    // the immediate one.
    NotificationCenter::defaultCenter().post(notification_names::ListOrderOrTextChanged, f.index->currentList().get());
    f.view = {};
    center.post(IndexController::kDateFormatChanged, nullptr);
    EXPECT_EQ(f.view.immediateReloads, 1);
    f.dispatcher.drain();
    EXPECT_EQ(f.view.recordReloads, 0);
}

TEST(ViewUpdates, BulkWorkStopsFollowingAndRestartsAtRowZero) {
    IndexFixture f;
    f.open(people({"A"}) + "0 @N1@ NOTE n\n");
    f.index->selectRecordType("NOTE");
    f.index->disableViewUpdates();
    f.index->listSelectionChanged(0);
    EXPECT_EQ(f.index->currentType(), "NOTE") << "selections are ignored meanwhile";
    f.index->enableViewUpdates();
    EXPECT_EQ(f.index->currentList(), f.lists().lists()[0]);
}

TEST(OpenRecord, ActivatingARowNeverEditsIt) {
    IndexFixture f;
    f.open(people({"A"}));
    EXPECT_FALSE(f.index->shouldEditRecordRow(0));
    EXPECT_FALSE(f.index->shouldEditRecordRow(3));
    f.dispatcher.drain();  // no windows: opens nothing, says nothing
}

TEST(Columns, PredefinedColumnIsAddedThenOfferedForDeletion) {
    IndexFixture f;
    f.open(people({"A"}));
    test::RecordingView other;
    IndexController second(f.doc, f.styles, &other);
    second.windowDidLoad();
    const int builds = other.builds;
    const AddColumnItem birth{"Birth date (year)", "BIRT.DATE.year", false};
    auto added = f.index->addPredefinedColumn(birth);
    EXPECT_EQ(added.action, AddColumnMenu::Choice::Action::AppendColumn);
    EXPECT_EQ(f.index->shownStyle()->label().back(), "Birth date");
    EXPECT_GT(other.builds, builds) << "every window showing the type rebuilds";
    auto again = f.index->addPredefinedColumn(birth);
    EXPECT_EQ(again.action, AddColumnMenu::Choice::Action::DeleteColumn);
    EXPECT_EQ(again.column, 1);
    f.index->deleteIndexColumn(again.column);
    EXPECT_EQ(f.index->shownStyle()->expressionColumn("BIRT.DATE.year"), -1);
    EXPECT_FALSE(f.view.menu.empty());
}

TEST(Columns, DeletingTheSortedColumnSortsOnTheFirstAgain) {
    IndexFixture f;
    f.open(people({"B", "A"}));
    f.index->shownStyle()->addColumn(Dictionary{{"Label", "ID"}, {"Expression", "id"}});
    f.index->didClickTableColumn(1);
    f.index->deleteIndexColumn(1);
    EXPECT_EQ(f.index->highlightedColumn(), 0);
    EXPECT_EQ(f.index->currentList()->howSorted(), f.index->shownStyle()->sortArrayForIndex(0));
}

TEST(Menus, ValidationReadsTheWindow) {
    IndexFixture f;
    f.open(people({"A", "B"}) + "0 @I9@ INDI\n1 NAME Z\n1 RESN locked\n");
    f.index->selectByRecordIDs(std::vector<std::string>{"@I9@"});
    auto locked = f.index->validateMenuTag(IndexMenuValidation::DeleteRecords);
    EXPECT_FALSE(locked.enabled);
    EXPECT_EQ(locked.title, "Delete Locked Record");
    f.index->recordSelectionChanged({0, 1});
    auto several = f.index->validateMenuTag(IndexMenuValidation::DeleteRecords);
    EXPECT_TRUE(several.enabled);
    EXPECT_EQ(several.title, "Delete 2 Records");
    EXPECT_FALSE(f.index->validateMenuTag(IndexMenuValidation::DeleteAlbum).enabled);
    EXPECT_TRUE(f.index->validateMenuTag(IndexMenuValidation::EditColumn).enabled) << "the list is sorted on show";
}

TEST(Albums, AddAlbumShowsItAtTheEndAndUndoTakesItAway) {
    IndexFixture f;
    f.open(people({"A", "B"}));
    const long before = static_cast<long>(f.lists().count());
    auto album = f.index->createAlbum();
    EXPECT_EQ(album->name(), "New Album");
    EXPECT_EQ(album->listType(), ListUserAlbum);
    EXPECT_EQ(f.index->currentList(), album);
    EXPECT_EQ(f.index->selectedListRow(), before);
    EXPECT_EQ(f.view.listRow, before);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Create Album");
    f.doc.undo().undo();
    EXPECT_LT(f.rowOfList(album->recordType()), 0);
    EXPECT_EQ(f.index->selectedListRow(), before - 1);
    EXPECT_EQ(f.index->currentList(), f.lists().lists()[static_cast<std::size_t>(before - 1)]);
    f.doc.undo().redo();
    EXPECT_EQ(f.index->currentList(), album) << "redo installs and shows it again";
}

TEST(Albums, DeletingTheShownAlbumShowsTheRowAboveAndUndoReinstallsItLast) {
    IndexFixture f;
    f.open(people({"A"}) + "0 @N1@ NOTE n\n");
    auto first = f.index->createAlbumNamed(std::string("First"));
    auto second = f.index->createAlbumNamed(std::string(""));
    EXPECT_EQ(second->name(), "New Album");
    f.index->selectRecordType(first->recordType());
    const long row = f.rowOfList(first->recordType());
    f.index->removeAlbum();
    EXPECT_LT(f.rowOfList(first->recordType()), 0);
    EXPECT_EQ(f.index->selectedListRow(), row - 1);
    EXPECT_EQ(f.view.listRow, row - 1);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Delete Album");
    f.doc.undo().undo();
    EXPECT_EQ(f.lists().lists().back(), first);
    EXPECT_EQ(f.index->currentList(), first);
    f.index->selectRecordType("INDI");
    f.index->removeAlbum();
    EXPECT_EQ(f.index->currentType(), "INDI") << "only a shown album is deleted";
}

TEST(Albums, UndoingARenameShowsTheRenamedList) {
    IndexFixture f;
    f.open(people({"A"}) + "0 @N1@ NOTE n\n");
    auto album = f.index->createAlbumNamed(std::string("Old"));
    album->setName("New");
    f.index->selectRecordType("NOTE");
    const int reloads = f.view.listReloads;
    f.doc.undo().undo();
    EXPECT_EQ(album->name(), "Old");
    EXPECT_EQ(f.index->currentList(), album);
    EXPECT_GT(f.view.listReloads, reloads);
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

struct DragCase {
    const char* name;
    int from;
    int to;
    std::optional<std::pair<int, int>> moveBack;
    std::vector<std::string> labels;
};

class ColumnDrag : public testing::TestWithParam<DragCase> {};

// Three style columns A B C and the filler at table place 3.
TEST_P(ColumnDrag, MovesTheStyleColumnAndSpringsTheFillerBack) {
    const DragCase& c = GetParam();
    test::IndexFixture f;
    f.open(test::people({"A"}));
    auto style = f.index->shownStyle();
    style->setProperties(Dictionary{{"Label", "A"}}, 0);
    style->addColumn(Dictionary{{"Label", "B"}, {"Expression", "id"}});
    style->addColumn(Dictionary{{"Label", "C"}, {"Expression", "rec"}});
    test::RecordingView other;
    IndexController second(f.doc, f.styles, &other);
    second.windowDidLoad();
    const int ownBuilds = f.view.builds, otherBuilds = other.builds;
    EXPECT_EQ(f.index->recordsColumnMoved(c.from, c.to, 4), c.moveBack);
    EXPECT_EQ(style->label(), c.labels);
    const bool moved = c.labels != std::vector<std::string>{"A", "B", "C"};
    EXPECT_EQ(other.builds > otherBuilds, moved) << "other windows of the type rebuild";
    EXPECT_EQ(f.view.builds - ownBuilds, moved ? 1 : 0) << "its own table is renumbered once";
    if (c.moveBack) {
        EXPECT_EQ(f.index->recordsColumnMoved(c.moveBack->first, c.moveBack->second, 4), std::nullopt);
        EXPECT_EQ(style->label(), c.labels) << "the window's own move-back changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    IndexController, ColumnDrag,
    testing::Values(DragCase{"FirstToLast", 0, 2, std::nullopt, {"B", "C", "A"}},
                    DragCase{"FillerDragged", 3, 1, std::make_pair(1, 3), {"A", "B", "C"}},
                    DragCase{"DroppedAfterTheFiller", 0, 3, std::make_pair(3, 2), {"B", "C", "A"}},
                    DragCase{"LastDroppedAfterTheFiller", 2, 3, std::make_pair(3, 2), {"A", "B", "C"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnResize, StoresTheWidthAndSizesRowsToAnImageColumn) {
    test::IndexFixture f;
    f.open(test::people({"A"}));
    EXPECT_EQ(f.index->recordsColumnResized(0, 150), std::nullopt) << "the stored width";
    EXPECT_EQ(f.index->recordsColumnResized(-1, 30), std::nullopt) << "the filler";
    f.index->recordsColumnResized(0, 180.6);
    EXPECT_EQ(f.index->shownStyle()->widthForColumn(0), 180);
    f.index->addRemovePortraitColumn();
    EXPECT_EQ(f.index->recordsColumnResized(0, 64), 64.0);
}

}  // namespace
}  // namespace kl
