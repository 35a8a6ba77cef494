// Lists and albums: the stored album dictionary (with the older sort form),
// album membership with undo, filters, stepping, and the album key counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "StoreTestSupport.h"
#include "document/DocumentNotifications.h"
#include "document/RecordsList.h"

namespace kl {
namespace {

using test::NotificationLog;
using test::StoreFixture;

// Runs first in this binary, so no album key was made before it.
TEST(AlbumKeys, KeysGoOnAcrossDocumentsAndSkipOnesInUse) {
    // The counter is shared by the whole process (it starts at "User Album
    // 2"), so other tests in this program may already have moved it on.
    StoreFixture f;
    auto& index = f.model.recordsIndex();
    const std::string first = index.uniqueAlbumType();
    const std::string prefix = "User Album ";
    ASSERT_EQ(first.rfind(prefix, 0), 0u) << first;
    const int n = std::stoi(first.substr(prefix.size()));
    EXPECT_GE(n, 2);
    index.addList(prefix + std::to_string(n + 1), nullptr);
    EXPECT_EQ(index.uniqueAlbumType(), prefix + std::to_string(n + 2)) << "a key already in use is skipped";
    StoreFixture other;
    EXPECT_EQ(other.model.recordsIndex().uniqueAlbumType(), prefix + std::to_string(n + 3))
        << "one counter for every document";
}

TEST(AlbumKeys, KeysAreAlbumsByTheirFirstTenCharacters) {
    EXPECT_TRUE(RecordsIndices::userType("User Album 12"));
    EXPECT_TRUE(RecordsIndices::userType("User Album"));
    EXPECT_FALSE(RecordsIndices::userType("User Albu"));
    EXPECT_EQ(RecordsIndices::listTypeForKey("User Album 3"), ListUserAlbum);
    EXPECT_EQ(RecordsIndices::listTypeForKey("Corrupted"), ListCorrupted);
    EXPECT_EQ(RecordsIndices::listTypeForKey("SUBN"), ListSingleRecord);
    EXPECT_EQ(RecordsIndices::listTypeForKey("_LOG"), ListRecordType);
}

TEST(TypeTables, PlacesPrefixesAndNames) {
    EXPECT_EQ(RecordsIndices::indexForRecordType("INDI"), 1);
    EXPECT_EQ(RecordsIndices::indexForRecordType("_RPT"), 13);
    EXPECT_EQ(RecordsIndices::indexForRecordType("XYZ"), 14);
    EXPECT_EQ(RecordsIndices::recordTypeAtIndex(0), "INDI");
    EXPECT_EQ(RecordsIndices::recordTypeAtIndex(14), std::nullopt);
    EXPECT_EQ(RecordsIndices::idStartForType("HEAD"), "");
    EXPECT_EQ(RecordsIndices::idStartForType("XYZ"), "@G");
    EXPECT_EQ(RecordsIndices::singularNameForRecordType("XYZ", nullptr), "????");
    EXPECT_EQ(RecordsIndices::singularNameForRecordType("NOTE", nullptr), "Notes");
    EXPECT_EQ(RecordsIndices::tagFromLocalizedName("Research Log"), "_LOG");
}

struct DictionaryCase {
    const char* name;
    Dictionary stored;
    std::vector<std::string> sort;
    int32_t order;
};

class AlbumDictionary : public testing::TestWithParam<DictionaryCase> {};

TEST_P(AlbumDictionary, ReadsTheSort) {
    auto list = RecordsList::listFromDictionary(GetParam().stored, nullptr);
    EXPECT_EQ(list->howSorted(), GetParam().sort);
    EXPECT_EQ(list->sortOrder(), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Sorts, AlbumDictionary,
    testing::Values(
        DictionaryCase{"Array", Dictionary{{"Album Record Type", "INDI"}, {"Album Sorting Array", Array{1, "NAME", "view"}}},
                       {"NAME", "view"}, 1},
        DictionaryCase{"LegacyPlus", Dictionary{{"Album Record Type", "INDI"}, {"Album Sorting", "+view"}}, {"view"}, -1},
        DictionaryCase{"LegacyOther", Dictionary{{"Album Record Type", "INDI"}, {"Album Sorting", "-BIRT.DATE.sdn"}},
                       {"BIRT.DATE.sdn"}, 1},
        DictionaryCase{"ArrayWins",
                       Dictionary{{"Album Record Type", "INDI"},
                                  {"Album Sorting", "+view"},
                                  {"Album Sorting Array", Array{-1, "NAME"}}},
                       {"NAME"}, -1},
        DictionaryCase{"None", Dictionary{{"Album Record Type", "INDI"}}, {}, -1}),
    [](const testing::TestParamInfo<DictionaryCase>& info) { return std::string(info.param.name); });

class Albums : public testing::Test, public StoreFixture {
protected:
    void SetUp() override {
        read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @I3@ INDI\n0 @F1@ FAM\n0 TRLR\n");
        album = model.recordsIndex().addList("User Album 7", nullptr);
        other = model.recordsIndex().addList("User Album 8", nullptr);
    }
    std::shared_ptr<GEDCOMRecord> rec(const char* id) { return model.recordWithID(id); }
    std::shared_ptr<RecordsList> album, other;
};

TEST_F(Albums, DictionaryRoundTripsThroughTheIndex) {
    album->addRecordToAlbum(rec("@I2@"));
    album->addRecordToAlbum(rec("@F1@"));
    album->initName("Kin");
    album->setHowSorted({"view"}, 1);
    album->setSelectedRecords({"@F1@"});
    const Array stored = model.recordsIndex().albumOrder();
    const Dictionary& d = *stored[model.recordsIndex().recordTypeIndex("User Album 7")].dictionary();
    EXPECT_EQ(d, (Dictionary{{"Album Record Type", "User Album 7"},
                             {"Album Name", "Kin"},
                             {"Album Sorting Array", Array{1, "view"}},
                             {"Album Type ID", 5},
                             {"Album Record IDs", Array{"@I2@", "@F1@"}},
                             {"Album Selected IDs", Array{"@F1@"}}}));
    const Dictionary& typeList = *stored[0].dictionary();
    EXPECT_FALSE(typeList.contains("Album Record IDs")) << "type lists are filled by the reader";

    Dictionary attributes;
    model.addAttributesToDictionary(attributes);
    StoreFixture copy;
    copy.model.readAttributes(attributes);
    copy.read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @I3@ INDI\n0 @F1@ FAM\n0 TRLR\n");
    auto back = copy.list("User Album 7");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->listDictionary(), d);
    ASSERT_TRUE(copy.list("User Album 8")) << "an empty album is the user's: it stays";
    EXPECT_EQ(copy.list("User Album 8")->count(), 0u);
}

TEST_F(Albums, AddingTwiceChangesNothingAndUndoRemoves) {
    NotificationLog log({notification_names::RecordAlbumChanged});
    album->addRecordToAlbum(rec("@I1@"));
    album->addRecordToAlbum(rec("@I1@"));
    EXPECT_EQ(album->count(), 1u);
    EXPECT_EQ(document.undo.undoCount(), 1u);
    EXPECT_EQ(log.count(notification_names::RecordAlbumChanged), 1u);
    EXPECT_EQ(log.last(notification_names::RecordAlbumChanged)->object, album.get());
    document.undo.undo();
    EXPECT_EQ(album->count(), 0u);
    document.undo.redo();
    EXPECT_EQ(album->count(), 1u);
}

TEST_F(Albums, AlbumOperationsOnATypeListDoNothing) {
    list("INDI")->removeRecordFromAlbum(rec("@I1@"));
    list("FAM")->addRecordToAlbum(rec("@I1@"));
    EXPECT_EQ(list("INDI")->count(), 3u);
    EXPECT_EQ(list("FAM")->count(), 1u);
    EXPECT_FALSE(document.undo.canUndo());
}

TEST_F(Albums, FiltersByAnotherAlbum) {
    struct Case {
        int mode;
        std::vector<std::string> expected;
    };
    for (const Case& c : {Case{0, {"@I2@"}}, Case{1, {"@I1@", "@I2@", "@I3@"}}, Case{-1, {"@I1@"}}}) {
        StoreFixture f;
        f.read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @I3@ INDI\n0 TRLR\n");
        auto mine = f.model.recordsIndex().addList("User Album 7", nullptr);
        auto theirs = f.model.recordsIndex().addList("User Album 8", nullptr);
        for (const char* id : {"@I1@", "@I2@"}) mine->addRecordToAlbum(f.model.recordWithID(id));
        for (const char* id : {"@I2@", "@I3@"}) theirs->addRecordToAlbum(f.model.recordWithID(id));
        f.document.undo.removeAllActions();
        mine->ISFilterAlbum(*theirs, c.mode);
        EXPECT_EQ(mine->recordIDArray(), c.expected) << "mode " << c.mode;
        f.document.undo.undo();
        auto ids = mine->recordIDArray();
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, (std::vector<std::string>{"@I1@", "@I2@"})) << "mode " << c.mode;
    }
}

TEST_F(Albums, UnionWithAnAlbumOfTheSameRecordsChangesNothing) {
    for (auto* a : {album.get(), other.get()}) a->addRecordToAlbum(rec("@I1@"));
    document.undo.removeAllActions();
    album->ISFilterAlbum(*other, 1);
    EXPECT_EQ(album->count(), 1u);
    EXPECT_FALSE(document.undo.canUndo());
}

TEST_F(Albums, RenamingIsUndoableAndTellsTheDocument) {
    NotificationLog log({notification_names::RecordsListNameChanged});
    album->initName("Old");
    album->setName("New");
    ASSERT_EQ(log.count(notification_names::RecordsListNameChanged), 1u);
    EXPECT_EQ(log.last(notification_names::RecordsListNameChanged)->object, &document);
    EXPECT_EQ(log.last(notification_names::RecordsListNameChanged)->userInfo.get("TheList")->object(), album);
    document.undo.undo();
    EXPECT_EQ(album->name(), "Old");
}

TEST_F(Albums, SteppingThroughAList) {
    auto indis = list("INDI");
    auto first = rec("@I1@"), last = rec("@I3@");
    EXPECT_EQ(indis->stepRecord(1, last), last);
    EXPECT_FALSE(indis->validateStepRecord(1, last));
    EXPECT_EQ(indis->stepRecord(-1, last), rec("@I2@"));
    EXPECT_EQ(indis->stepRecord(-5, last), first);
    EXPECT_EQ(indis->stepRecord(2, first), last);
    EXPECT_TRUE(indis->validateStepRecord(-2, first));
    EXPECT_FALSE(indis->validateStepRecord(0, first));
    EXPECT_FALSE(indis->stepRecord(1, rec("@F1@")));
    EXPECT_FALSE(album->stepRecord(1, first));
}

TEST_F(Albums, MovingAListIsUndoable) {
    auto& index = model.recordsIndex();
    const std::vector<std::string> before = listKeys();
    index.moveRowFrom(0, static_cast<long>(index.count()));
    EXPECT_EQ(listKeys().back(), before.front());
    document.undo.undo();
    EXPECT_EQ(listKeys(), before);
    index.moveRowFrom(3, 1);
    EXPECT_EQ(listKeys()[1], before[3]);
    document.undo.undo();
    EXPECT_EQ(listKeys(), before);
}

TEST_F(Albums, ASecondHeaderIsRefusedByItsList) {
    auto extra = std::make_shared<GEDCOMRecord>("", "HEAD");
    model.recordsIndex().addRecord(extra, false);
    EXPECT_EQ(list("HEAD")->count(), 1u);
    EXPECT_TRUE(extra->isCorrupt(CorruptExtraRecord));
}

}  // namespace
}  // namespace kl

#include "document/RecordsListForPanel.h"

namespace kl {
namespace {

TEST(PickerList, ListsResolvedIDsOrRecordsAndIsNullWhenNothingResolves) {
    test::StoreFixture f;
    f.read("0 HEAD\n0 @I1@ INDI\n0 @F1@ FAM\n0 TRLR\n");
    auto byIDs = GEDCOMModel::getListFromArray(Array{"@F1@", "@nope@", "@I1@"}, true, nullptr, &f.model);
    ASSERT_TRUE(byIDs);
    EXPECT_EQ(byIDs->recordIDArray(), (std::vector<std::string>{"@F1@", "@I1@"}));
    EXPECT_EQ(byIDs->recordType(), "FAM");
    EXPECT_EQ(byIDs->name(), "panel list");
    EXPECT_FALSE(byIDs->recordWithID("@F1@")) << "a panel list keeps no ID dictionary";

    const Dictionary options{{"recordType", "INDI"}, {"howSorted", Array{"NAME"}}, {"sortOrder", 1}};
    auto records = GEDCOMModel::getListFromArray(Array{Value(f.model.recordWithID("@I1@"))}, false, &options, &f.model);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->howSorted(), (std::vector<std::string>{"NAME"}));
    EXPECT_EQ(records->sortOrder(), 1);
    EXPECT_FALSE(GEDCOMModel::getListFromArray(Array{"@nope@"}, true, &options, &f.model));
}

}  // namespace
}  // namespace kl
