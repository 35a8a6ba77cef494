// Drops on the index window's tables: records join an album as one undo
// step (never from "Corrupted", the reports or itself); lists move within
// the lists table; image files and web addresses become multimedia records.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "index/DocumentWindows.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"

#include <algorithm>
#include <fstream>

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

// ---- image files and web addresses

struct MultimediaDropFixture : test::IndexFixture {
    std::filesystem::path folder = scratch.folder / "pictures";
    MultimediaDropFixture() {
        open(test::people({"Ann /Apple/"}));
        std::filesystem::create_directories(folder);
        for (const char* name : {"hall.jpg", "barn.png"}) std::ofstream(folder / name) << "not really a picture";
    }
    static Dictionary file(const std::filesystem::path& path) {
        Dictionary item;
        item.set("ImagePath", Value(path.string()));
        return item;
    }
    std::vector<std::string> objectIDs() {
        std::vector<std::string> ids;
        for (const auto& r : doc.gedcomModel().recordsOfType("OBJE")) ids.push_back(r->grecordID());
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // The object whose file (or address) this is.
    std::shared_ptr<OBJERecord> objectOf(const std::string& file) {
        for (const auto& r : doc.gedcomModel().recordsOfType("OBJE"))
            if (auto object = std::dynamic_pointer_cast<OBJERecord>(r); object && object->mmFileName() == file)
                return object;
        return nullptr;
    }
};

TEST(MultimediaDrop, TwoImageFilesBecomeTwoSelectedObjectsUnderOneUndo) {
    MultimediaDropFixture f;
    ASSERT_TRUE(f.index->dropMultimedia({f.file(f.folder / "hall.jpg"), f.file(f.folder / "barn.png")}, false));
    const auto ids = f.objectIDs();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(f.index->currentType(), "OBJE");
    auto selected = f.index->selectedRecordIDs().value_or(std::vector<std::string>{});
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, ids);
    auto hall = f.objectOf((f.folder / "hall.jpg").string());
    ASSERT_TRUE(hall);
    ASSERT_TRUE(hall->titleStructure());
    EXPECT_EQ(hall->titleStructure()->contents(), "hall.jpg") << "untitled files take their names";
    EXPECT_EQ(f.doc.undo().undoActionName(), "Drop Multimedia Files or URLs");
    f.doc.undo().undo();
    EXPECT_TRUE(f.objectIDs().empty());
}

TEST(MultimediaDrop, AWebAddressKeepsItsCaptionAndAnImageCommentBecomesOneSharedNote) {
    MultimediaDropFixture f;
    Dictionary page;
    page.set("ImagePath", Value(std::string("https://example.org/mill.jpg")));
    page.set("Caption", Value(std::string("The old mill")));
    page.set("isWebURL", Value(true));
    Dictionary hall = f.file(f.folder / "hall.jpg"), barn = f.file(f.folder / "barn.png");
    hall.set("Comment", Value(std::string("Taken in spring")));
    barn.set("Comment", Value(std::string("Taken in spring")));
    ASSERT_TRUE(f.index->dropMultimedia({page, hall, barn}, false));
    const auto ids = f.objectIDs();
    ASSERT_EQ(ids.size(), 3u);
    const auto mill = f.objectOf("https://example.org/mill.jpg");
    ASSERT_TRUE(mill);
    const std::string text = mill->gedcomString();
    EXPECT_NE(text.find("1 FILE https://example.org/mill.jpg\n"), std::string::npos) << text;
    EXPECT_NE(text.find("2 FORM url\n"), std::string::npos) << text;
    EXPECT_NE(text.find("TITL The old mill"), std::string::npos) << text;
    const auto notes = f.doc.gedcomModel().recordsOfType("NOTE");
    ASSERT_EQ(notes.size(), 1u) << "the same comment is one note";
    for (const char* name : {"hall.jpg", "barn.png"})
        EXPECT_TRUE(f.objectOf((f.folder / name).string())->hasLink("NOTE", notes[0]->grecordID())) << name;
}

TEST(MultimediaDrop, NothingMadeOrChangedBeepsAndIsRefused) {
    MultimediaDropFixture f;
    ASSERT_TRUE(f.index->dropMultimedia({f.file(f.folder / "hall.jpg")}, false));
    const auto before = f.objectIDs();
    const std::string undoName = f.doc.undo().undoActionName();
    struct Case {
        const char* name;
        std::vector<Dictionary> items;
    } cases[] = {
        {"TheSameFileAgain", {f.file(f.folder / "hall.jpg")}},
        {"AFileFoundNowhere", {f.file(f.folder / "gone.jpg")}},
        {"NoItems (image data only)", {}},
    };
    for (const Case& c : cases) {
        const int beeps = f.view.beeps;
        EXPECT_FALSE(f.index->dropMultimedia(c.items, true)) << c.name;
        EXPECT_EQ(f.view.beeps, beeps + 1) << c.name;
        EXPECT_EQ(f.objectIDs(), before) << c.name;
    }
    f.doc.undo().undo();
    EXPECT_TRUE(f.objectIDs().empty()) << "a refused drop leaves no undo step of its own";
}

// Dropped files from outside the library go through the multimedia queue:
// the first one's new window asks what to do and carries the rest on;
// web addresses and files in the library are passed over.
TEST(MultimediaDrop, FilesFromOutsideTheLibraryAreOfferedOneWindowAtATime) {
    MultimediaDropFixture f;
    DocumentWindows windows{*f.scratch.defaults, test::browserDoublePlatform()};
    f.index->setWindows(&windows);
    const auto library = f.scratch.folder / "library";
    std::filesystem::create_directories(library);
    std::ofstream(library / "kept.jpg") << "in the library";
    f.doc.setMultimediaRoot({library.string() + "/"});
    Dictionary page;
    page.set("ImagePath", Value(std::string("https://example.org/mill.jpg")));
    page.set("isWebURL", Value(true));
    ASSERT_TRUE(f.index->dropMultimedia(
        {page, f.file(library / "kept.jpg"), f.file(f.folder / "hall.jpg"), f.file(f.folder / "barn.png")}, false));
    ASSERT_EQ(windows.windowControllers().size(), 1u) << "one window for the first file from outside";
    auto* asking = dynamic_cast<test::BrowserDouble*>(windows.windowControllers()[0].get());
    ASSERT_NE(asking, nullptr);
    EXPECT_EQ(asking->record, f.objectOf((f.folder / "hall.jpg").string()));
    ASSERT_EQ(asking->queues.size(), 1u);
    ASSERT_EQ(asking->queues[0].size(), 1u);
    EXPECT_EQ(f.record(asking->queues[0][0]), f.objectOf((f.folder / "barn.png").string()));

    // The window hands the rest back: the next file gets a window of its own.
    windows.bulkCopyMultimediaObjects(f.doc.gedcomModel(), asking->queues[0]);
    ASSERT_EQ(windows.windowControllers().size(), 2u);
    auto* next = dynamic_cast<test::BrowserDouble*>(windows.windowControllers()[1].get());
    EXPECT_EQ(next->record, f.objectOf((f.folder / "barn.png").string()));
    EXPECT_EQ(next->queues, std::vector<std::vector<std::string>>{{}});
}

TEST(MultimediaDrop, OnlyPastTheLastListOrOnTheMultimediaList) {
    MultimediaDropFixture f;
    ASSERT_TRUE(f.index->dropMultimedia({f.file(f.folder / "hall.jpg")}, false));
    const long count = static_cast<long>(f.lists().count());
    EXPECT_TRUE(f.index->canDropMultimediaOnList(count));
    EXPECT_TRUE(f.index->canDropMultimediaOnList(f.rowOfList("OBJE")));
    EXPECT_FALSE(f.index->canDropMultimediaOnList(f.rowOfList("INDI")));
    EXPECT_FALSE(f.index->canDropMultimediaOnList(count + 1));
}

// ---- moving lists

TEST(ListMove, RefusedOntoItselfJustBelowAndOutsideTheTable) {
    DropFixture f;
    const long count = static_cast<long>(f.lists().count());
    const long last = count - 1;
    struct Case {
        long from, to;
        bool allowed;
    } cases[] = {{last, 0, true}, {0, count, true}, {last, last, false}, {last, count, false},
                 {0, 1, false},   {-1, 0, false},   {0, count + 1, false}, {count, 0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(f.index->canMoveList(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

TEST(ListMove, AnAlbumMovedToTheTopStaysSelectedThroughUndoAndRedo) {
    DropFixture f;
    f.index->selectRecordTypeIndex(f.albumRow);
    const auto before = f.lists().lists();
    ASSERT_TRUE(f.index->moveList(f.albumRow, 0));
    EXPECT_EQ(f.lists().lists().front(), f.album);
    EXPECT_EQ(f.index->selectedListRow(), 0);
    EXPECT_EQ(f.view.listRow, 0);
    EXPECT_EQ(f.doc.undo().undoActionName(), "Move an Album");
    f.doc.undo().undo();
    EXPECT_EQ(f.lists().lists(), before);
    EXPECT_EQ(f.view.listRow, f.albumRow) << "the moved album is still the selected list";
    f.doc.undo().redo();
    EXPECT_EQ(f.lists().lists().front(), f.album);
    EXPECT_EQ(f.view.listRow, 0);
}

}  // namespace
}  // namespace kl
