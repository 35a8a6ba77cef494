// Object commands for documents and albums: scripts make records and
// albums, fill, empty and combine albums, group their changes into one undo
// step, choose the list the index window shows and read what it lists.
#include "ScriptTestSupport.h"
#include "DocumentScriptSupport.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "foundation/UserDefaults.h"
#include "scripting/DocumentsApplication.h"

#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/DocumentScripting.h"
#include "index/IndexTestSupport.h"
#include "model/GEDCOMRecord.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

// Three people in a document whose index window shows the individuals;
// scripts get the document as "doc".
struct DocumentScript {
    IndexFixture window;
    ScriptHarness harness;  // its queue stands in for the main thread from here on
    QueueServingUI serving{harness.dispatcher};
    DocumentScript() {
        window.open(people({"Ann /Apple/", "Bea /Birch/", "Cid /Cedar/"}));
        window.index->selectRecordType("INDI");
        window.doc.setUI(&serving);
    }
    ~DocumentScript() { window.doc.setUI(nullptr); }
    ScriptOutcome run(const std::string& script) { return harness.run(script, documentObjects(*window.index)); }
    std::vector<std::string> idsOf(const std::string& albumName) { return albumRecordIDs(window.lists(), albumName); }
};

class DocumentCommands : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(DocumentCommands, AnswerAsTheirTargetsAllow) {
    DocumentScript f;
    expectOutcome(f.run(GetParam().script), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Documents, DocumentCommands,
    ::testing::Values(
        ScriptCase{"Attributes", "write @doc.class, @doc.name, @doc.modified", "document,Untitled,false", nullptr},
        ScriptCase{"AnIndividualIsFemaleUnlessMale",
                   "doc.addrecord her, INDI\ndoc.addrecord him, INDI, MALE\nwrite @her.name, \"/\", @him.name",
                   "New, Female,/,New, Male", nullptr},
        ScriptCase{"NewRecordsGetFreshIDs", "doc.addrecord n, NOTE\nwrite @n.id", "@N1@", nullptr},
        ScriptCase{"RecordListsAndLookups",
                   "getobject p doc.individuals\ngetobject f doc.families\nwrite @p.count, @f.count, @p.1.name",
                   "3,0,Birch, Bea", nullptr},
        ScriptCase{"TheIndexWindowsListedRecords",
                   "getobject rows doc.listedRecords\nwrite @rows.count, @rows.0.name", "3,Apple, Ann", nullptr},
        ScriptCase{"DisplayAnAlbumByName",
                   "doc.addalbum a, Friends\ngetobject p doc.individuals\na.addrecord p.2\ndoc.display Friends\n"
                   "getobject rows doc.listedRecords\nwrite @rows.count, @rows.0.name",
                   "1,Cedar, Cid", nullptr},
        ScriptCase{"DisplayNothingKnown", "doc.display Nowhere", "",
                   "The record type or album name could not be found"},
        ScriptCase{"AddAlbumNeedsAnObjectName", "doc.addalbum 1a", "",
                   "First parameter in CreateAlbum command must be a valid object variable name"},
        ScriptCase{"AddAlbumOnlyOnDocuments", "createlist l\nl.addalbum a", "",
                   "The target object for CreateAlbum command must be a document"},
        ScriptCase{"AddRecordNeedsAnObjectName", "doc.addrecord \"\", INDI", "",
                   "First parameter in AddRecord command must be a valid object variable name"},
        ScriptCase{"AddRecordOnAPlainList", "createlist l\nl.addrecord r, INDI", "",
                   "The target object for AddRecord command is not valid"},
        ScriptCase{"UnionOnAList", "createlist l\nl.union l", "", "Union command only allowed for albums."},
        ScriptCase{"IntersectionWithNothing", "doc.addalbum a\na.intersection nosuch", "",
                   "First parameter to Intersection command must be valid object."},
        ScriptCase{"DifferenceWithAList", "doc.addalbum a\ncreatelist l\na.difference l", "",
                   "First parameter to Difference command must be an album."},
        ScriptCase{"RemoveSomethingElse", "doc.addalbum a\na.remove 0", "", "Invalid object variable"},
        ScriptCase{"BeginUndoOnAList", "createlist l\nl.beginundo", "",
                   "BeginUndo command only allowed for document objects"},
        ScriptCase{"EndUndoWithoutAGroupGoesOn", "doc.endundo\nwrite \"after\"", "after", nullptr},
        ScriptCase{"RemovingFromAListStillWorks", "createlist l a b\nl.remove 0\nwrite @l.0", "b", nullptr},
        ScriptCase{"SaveOnlyToAPackage", "doc.save \"/tmp/x.ged\"", "", "save must be to file with extension 'gedpkg'"},
        ScriptCase{"SaveIntoAMissingFolder", "doc.save \"/no-such-folder-kl/x.gedpkg\"", "",
                   "save has folder that does not exist or is inaccessible"},
        ScriptCase{"SaveAnUntitledDocumentNeedsAPath", "doc.save", "",
                   "save needs a path for a document that was never saved"},
        ScriptCase{"SaveOnAList", "createlist l\nl.save", "", "save command only allowed for documents"},
        ScriptCase{"CloseWithSaveOnlyToAPackage", "doc.close \"/tmp/x.txt\"", "",
                   "close with save must be to file with extension 'gedpkg'"},
        ScriptCase{"CloseOnAList", "createlist l\nl.close", "", "close command only allowed for documents or windows"},
        ScriptCase{"ClearContextInfoOfAnUnknownType", "doc.clearcontextinfo _XYZ", "",
                   "class DocumentScripting does not respond to clearContextInfo"},
        ScriptCase{"ExportOnAList", "createlist l\nl.exportgedcom \"/tmp/x.ged\", l", "",
                   "The target object for ExportGEDCOM command must be a document"},
        ScriptCase{"DeleteAnAlbum",
                   "doc.addalbum a, Gone\ngetobject all doc.albums\nwrite @all.count\na.delete\n"
                   "getobject all doc.albums\nwrite @all.count",
                   "10", nullptr},
        ScriptCase{"SetTheHomeRecord", "doc.set homeRecord \"@I2@\"\nwrite @doc.homeRecord", "@I2@", nullptr}),
    caseName);

TEST(AlbumCommands, UnionAddsOnceDifferenceAndIntersectionTakeAway) {
    DocumentScript f;
    const ScriptOutcome outcome = f.run(
        "getobject p doc.individuals\n"
        "doc.addalbum a, First\na.addrecord p.0, p.1\n"
        "doc.addalbum b, Second\nb.addrecord p.1, p.2\n"
        "doc.addalbum u, Union\nu.addrecord p.0\nu.union a\nu.union b\n"
        "doc.addalbum i, Both\ni.addrecord p.0, p.1\ni.intersection b\n"
        "doc.addalbum d, Only\nd.addrecord p.0, p.1\nd.difference b\n"
        "doc.addalbum e, Empty\ne.addrecord p\ne.difference e\n"
        "u.remove p.2\n");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.idsOf("First"), (std::vector<std::string>{"@I1@", "@I2@"}));
    EXPECT_EQ(f.idsOf("Union"), (std::vector<std::string>{"@I1@", "@I2@"})) << "each once, the removed one gone";
    EXPECT_EQ(f.idsOf("Both"), (std::vector<std::string>{"@I2@"}));
    EXPECT_EQ(f.idsOf("Only"), (std::vector<std::string>{"@I1@"}));
    EXPECT_TRUE(f.idsOf("Empty").empty()) << "an album minus itself";
}

TEST(AlbumCommands, ChangesBetweenBeginAndEndUndoAreOneNamedStep) {
    DocumentScript f;
    const std::size_t before = f.window.doc.gedcomModel().recordsOfType("NOTE").size();
    const ScriptOutcome outcome =
        f.run("doc.beginundo\ndoc.addrecord n, NOTE\ndoc.addrecord m, NOTE\ndoc.endundo \"Script Notes\"");
    EXPECT_EQ(outcome.report, "");
    UndoManager& undo = f.window.doc.undo();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(f.window.doc.gedcomModel().recordsOfType("NOTE").size(), before + 2);
    EXPECT_EQ(undo.undoActionName(), "Script Notes");
    undo.undo();
    EXPECT_EQ(f.window.doc.gedcomModel().recordsOfType("NOTE").size(), before) << "both notes in one step";
}

// A script that outlives the document's window finds a closed document:
// no answers and no changes, never freed memory.
TEST(DocumentObject, ClearContextInfoForgetsItForEveryRecordOfTheType) {
    DocumentScript f;
    for (const char* id : {"@I1@", "@I3@"}) f.window.record(id)->setContextInfo(Value(7));
    const ScriptOutcome outcome = f.run("doc.clearcontextinfo INDI");
    EXPECT_EQ(outcome.report, "");
    for (const char* id : {"@I1@", "@I3@"}) EXPECT_TRUE(f.window.record(id)->contextInfo().isNull()) << id;
}

// A script closes the document it holds through the application.
TEST(DocumentObject, CloseDropsUnsavedChangesWithoutAsking) {
    IndexFixture window;
    window.open(people({"Ann /Apple/"}));
    auto application = std::make_shared<DocumentsApplication>([&] { return std::vector<GEDCOMDocument*>{&window.doc}; });
    std::vector<GEDCOMDocument*> closed;
    application->setCloser([&](GEDCOMDocument& doc) { closed.push_back(&doc); });
    ScriptHarness harness(nullptr, application);
    window.doc.updateChangeCount(GEDCOMDocument::Change::Done);
    const ScriptOutcome outcome =
        harness.run("doc.close", {{"doc", Value(std::static_pointer_cast<Object>(window.index->scriptDocument()))}});
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(closed, std::vector<GEDCOMDocument*>{&window.doc});
    EXPECT_FALSE(window.doc.isDocumentEdited());
}

// A folder of its own for what a test writes, and user defaults kept there.
struct ScratchFolder {
    fs::path path = fs::temp_directory_path() /
                    ("kl-script-files-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ScratchFolder() {
        fs::remove_all(path);
        fs::create_directories(path);
        UserDefaults::configureStandard(UserDefaults::defaultDomain, path / "defaults");
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string read(const fs::path& file) const {
        std::ifstream in(path / file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST(DocumentFiles, SaveToANewPathWritesACopyAndKeepsTheDocumentAsItWas) {
    ScratchFolder scratch;
    DocumentScript f;
    const std::string copy = (scratch.path / "copy.gedpkg").string();
    const ScriptOutcome outcome = f.run("doc.save \"" + copy + "\"\nwrite @doc.name");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "Untitled") << "the copy does not become the document's file";
    const std::string gedcom = scratch.read("copy.gedpkg/copy.ged");
    for (const char* name : {"Ann /Apple/", "Bea /Birch/", "Cid /Cedar/"})
        EXPECT_NE(gedcom.find(name), std::string::npos) << name;
    EXPECT_TRUE(f.run("doc.save \"" + copy + "\"").report.starts_with("save cannot overwrite an existing file"));
}

TEST(DocumentFiles, ExportUsesTheScriptsOptionsAndLeavesTheUsersAsTheyWere) {
    ScratchFolder scratch;
    UserDefaults& defaults = UserDefaults::standard();
    ExportOptions::setCurrentEncodingByIndex(2, defaults);
    ExportOptions::setCurrentLineEndingByIndex(2, defaults);
    ExportOptions::setExportStyle(3, defaults);
    DocumentScript f;
    const std::string file = (scratch.path / "out.ged").string();
    const ScriptOutcome outcome =
        f.run("createlist opts CHAR_ANSEL lines_cr other\ndoc.exportgedcom \"" + file + "\", opts");
    EXPECT_EQ(outcome.report, "");
    const std::string text = scratch.read("out.ged");
    EXPECT_NE(text.find("1 CHAR ANSEL\r"), std::string::npos) << text.substr(0, 200);
    EXPECT_EQ(text.find('\n'), std::string::npos) << "CR line ends only";
    EXPECT_NE(text.find("Ann /Apple/"), std::string::npos);
    EXPECT_EQ(ExportOptions::exportEncodingIndex(), 2);
    EXPECT_EQ(ExportOptions::lineEndingIndex(), 2);
    EXPECT_EQ(ExportOptions::exportStyle(), 3);
}

TEST(DocumentObject, AnswersNothingOnceItsWindowHasGone) {
    DocumentScript f;
    auto doc = f.window.index->scriptDocument();
    f.window.index.reset();
    const ScriptOutcome outcome = f.harness.run("write @doc.class\ndoc.addrecord r, INDI",
                                                {{"doc", Value(std::static_pointer_cast<Object>(doc))}});
    EXPECT_EQ(outcome.output, "document");
    EXPECT_TRUE(outcome.report.starts_with("The target object for AddRecord command is not valid")) << outcome.report;
}

}  // namespace
}  // namespace kl::test

