// Records dropped on the lists table: only an album takes them, as one
// undo step, and never from "Corrupted", the reports or itself.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "foundation/UndoManager.h"

namespace kl {
namespace {

struct DropFixture : test::IndexFixture {
    IndexController::ListPtr album;
    long albumRow = -1;
    DropFixture() {
        open(test::people({"Ann /Apple/", "Bea /Birch/"}) + "0 @R1@ _RPT\n1 TITL Report\n");
        album = index->createAlbum();
        albumRow = lists().recordTypeIndex(album->recordType());
        index->selectRecordType("INDI");
    }
};

TEST(AlbumDrop, TwoRecordsJoinTheAlbumUnderOneUndo) {
    DropFixture f;
    ASSERT_GE(f.albumRow, 0);
    EXPECT_TRUE(f.index->canDropRecords(f.albumRow, true, ListRecordType, f.index->currentList().get()));
    EXPECT_TRUE(f.index->dropRecordsOnList(f.albumRow, {"@I1@", "@I2@"}));
    EXPECT_EQ(f.album->count(), 2u);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Move Record(s) to an Album");
    f.doc.undo().undo();
    EXPECT_EQ(f.album->count(), 0u);
}

TEST(AlbumDrop, RefusedFromItselfCorruptedReportsOtherDocumentsAndOntoTypeLists) {
    DropFixture f;
    const RecordsList* people = f.index->currentList().get();
    struct Case {
        const char* name;
        long row;
        bool ours;
        int sourceType;
        const RecordsList* source;
    } cases[] = {
        {"ItsOwnAlbum", f.albumRow, true, ListUserAlbum, f.album.get()},
        {"Corrupted", f.albumRow, true, ListCorrupted, nullptr},
        {"Reports", f.albumRow, true, ListReports, nullptr},
        {"AnotherDocument", f.albumRow, false, ListRecordType, nullptr},
        {"OntoTheIndividuals", f.rowOfList("INDI"), true, ListRecordType, people},
    };
    for (const Case& c : cases) EXPECT_FALSE(f.index->canDropRecords(c.row, c.ours, c.sourceType, c.source)) << c.name;
}

TEST(AlbumDrop, AnIDNamingNoRecordBeepsAndAddsNothing) {
    DropFixture f;
    const int beeps = f.view.beeps;
    EXPECT_FALSE(f.index->dropRecordsOnList(f.albumRow, {"@I1@", "@I404@"}));
    EXPECT_EQ(f.view.beeps, beeps + 1);
    EXPECT_EQ(f.album->count(), 0u);
}

}  // namespace
}  // namespace kl
