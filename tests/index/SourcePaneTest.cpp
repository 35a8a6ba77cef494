// The index window's source pane without widgets: what it shows, when its
// edits are committed and to which record, and rebuilding records from text.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "document/DocumentTestSupport.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "index/IndexScriptHost.h"
#include "model/ModelNotifications.h"

namespace kl {
namespace {

using test::IndexFixture;
using test::people;

// An index with the pane shown over a few people and a note.
struct PaneFixture : IndexFixture {
    PaneFixture(const std::string& extra = "") {
        open(people({"Ann /Apple/", "Bea /Birch/", "Cal /Cedar/"}) + "0 @N1@ NOTE First text\n" + extra);
        index->setSourceShown(true);
    }
    void select(const std::string& type, long row) {
        index->selectRecordType(type);
        index->recordSelectionChanged({row});
    }
    // The user types into the pane.
    void type(const std::string& text) {
        view.paneText = text;
        index->setSourceChanged(IndexController::SourceEdited);
    }
    std::string nameOf(const std::string& id) { return record(id)->gedcomString(); }
};

TEST(SourcePane, ShowsOnlyOneSelectedRecordAndIsReadOnlyOtherwise) {
    PaneFixture f;
    f.select("INDI", 0);
    EXPECT_TRUE(f.view.paneEditable);
    EXPECT_EQ(f.view.paneText, f.record("@I1@")->gedcomString());
    EXPECT_EQ(f.index->sourceChanged(), IndexController::SourceShown);

    f.index->recordSelectionChanged({0, 1});
    EXPECT_FALSE(f.view.paneEditable);
    EXPECT_EQ(f.view.paneText, "");
    EXPECT_EQ(f.index->sourceChanged(), IndexController::SourceNone);

    f.index->recordSelectionChanged({});
    EXPECT_EQ(f.index->sourceChanged(), IndexController::SourceNone);
    // Ctrl+Return with nothing selected only beeps.
    const int beeps = f.view.beeps;
    EXPECT_FALSE(f.index->openSelectedRecord());
    EXPECT_EQ(f.view.beeps, beeps + 1);
}

TEST(SourcePane, AReportRecordIsNeverEditable) {
    PaneFixture f("0 @R1@ _RPT\n1 TITL Report\n");
    const long reports = f.rowOfList("_RPT");
    ASSERT_GE(reports, 0);
    f.index->selectRecordTypeIndex(reports);
    f.index->recordSelectionChanged({0});
    EXPECT_FALSE(f.view.paneEditable);
    EXPECT_EQ(f.index->sourceChanged(), IndexController::SourceNone);
}

// Every road that changes what the pane shows commits its edit first, to
// the record it was typed for.
struct SelectionRoad {
    const char* name;
    void (*change)(PaneFixture&);
};

const SelectionRoad kRoads[] = {
    {"Click", [](PaneFixture& f) { f.index->recordSelectionChanged({2}); }},
    {"ScriptOrNotification", [](PaneFixture& f) { f.index->selectByRecordIDs(std::vector<std::string>{"@I3@"}); }},
    {"AnotherList", [](PaneFixture& f) { f.index->selectRecordType("NOTE"); }},
    {"Save", [](PaneFixture& f) { f.index->documentWillSave(); }},
    {"Sort", [](PaneFixture& f) { f.index->didClickTableColumn(0); }},
};

class CommitFirst : public ::testing::TestWithParam<SelectionRoad> {};

TEST_P(CommitFirst, TheEditReachesItsOwnRecord) {
    PaneFixture f;
    f.select("INDI", 0);
    f.type("0 @I1@ INDI\n1 NAME Ann /Aspen/\n");
    const std::string untouched = f.nameOf("@I3@");
    GetParam().change(f);
    EXPECT_NE(f.nameOf("@I1@").find("Ann /Aspen/"), std::string::npos);
    EXPECT_EQ(f.nameOf("@I3@").find("Aspen"), std::string::npos);
    EXPECT_EQ(f.doc.undo().undoActionName(), "GEDCOM Data Edits");
    EXPECT_FALSE(f.index->isSourceChanged());
}

INSTANTIATE_TEST_SUITE_P(Roads, CommitFirst, ::testing::ValuesIn(kRoads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SourcePane, AClickAfterAnEditThatResortsSelectsTheRecordClicked) {
    PaneFixture f;
    f.select("INDI", 0);
    // Ann becomes Zoe and sorts last; the click was on Bea's row.
    f.type("0 @I1@ INDI\n1 NAME Zoe /Apple/\n");
    f.index->recordSelectionChanged({1});
    ASSERT_TRUE(f.index->selectedRecord());
    EXPECT_EQ(f.index->selectedRecord()->grecordID(), "@I2@");
    EXPECT_EQ(f.view.paneText, f.nameOf("@I2@"));
}

TEST(SourcePane, ANoteEditUndoesInOneStepKeepingTheUUID) {
    PaneFixture f;
    f.select("NOTE", 0);
    auto note = f.record("@N1@");
    const std::string uuid = note->recordUUID();
    const std::string before = note->gedcomString();
    f.type("0 @N1@ NOTE Second text\n");
    f.index->textDidEndEditing();
    EXPECT_NE(note->gedcomString(), before);
    EXPECT_EQ(note->recordUUID(), uuid);
    f.doc.undo().undo();
    EXPECT_EQ(note->gedcomString(), before);
    EXPECT_EQ(note->recordUUID(), uuid);
    f.doc.undo().redo();
    EXPECT_NE(note->gedcomString().find("Second text"), std::string::npos);
}

struct IDChange {
    const char* name;
    const char* newID;
    std::vector<int> answers;
    const char* expectedID;
    const char* alert;
};

const IDChange kIDChanges[] = {
    {"FreeYes", "@I9@", {1}, "@I9@", "Are you sure you want to change the record ID?"},
    {"FreeNo", "@I9@", {0}, "@I1@", "Are you sure you want to change the record ID?"},
    {"Taken", "@I2@", {}, "@I1@", "You changed the record ID to one that is not available."},
};

class IDChanges : public ::testing::TestWithParam<IDChange> {};

TEST_P(IDChanges, RenameAfterConfirmationAndApplyTheRestAlways) {
    const IDChange& c = GetParam();
    PaneFixture f;
    f.select("INDI", 0);
    auto ann = f.record("@I1@");
    std::optional<std::string> oldID;
    auto watch = NotificationCenter::defaultCenter().addObserver(
        notification_names::RecordIDChanged, nullptr, [&](const Notification& note) {
            if (const Value* id = note.userInfo.get("OldRecordID")) oldID = id->toString();
        });
    f.view.answers = c.answers;
    f.type(std::string("0 ") + c.newID + " INDI\n1 NAME Ann /Aspen/\n");
    f.index->textDidEndEditing();
    ASSERT_EQ(f.view.alerts.size(), 1u);
    EXPECT_EQ(f.view.alerts[0], c.alert);
    EXPECT_EQ(ann->grecordID(), c.expectedID);
    EXPECT_NE(ann->gedcomString().find("Ann /Aspen/"), std::string::npos);
    EXPECT_EQ(f.doc.gedcomModel().recordWithID(c.expectedID), ann);
    if (std::string(c.expectedID) != "@I1@")
        EXPECT_EQ(oldID, "@I1@");
    else
        EXPECT_FALSE(oldID);
}

INSTANTIATE_TEST_SUITE_P(Answers, IDChanges, ::testing::ValuesIn(kIDChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SourcePane, ADuplicateGivenAFreeIDLeavesTheCorruptedList) {
    PaneFixture f("0 @I1@ INDI\n1 NAME Dup /Twin/\n");
    const long corrupted = f.lists().corruptedIndex();
    ASSERT_GE(corrupted, 0);
    f.index->selectRecordTypeIndex(corrupted);
    f.index->recordSelectionChanged({0});
    auto twin = f.index->selectedRecord();
    ASSERT_TRUE(twin);
    f.view.answers = {1};
    f.type("0 @I7@ INDI\n1 NAME Dup /Twin/\n");
    f.index->textDidEndEditing();
    EXPECT_EQ(twin->grecordID(), "@I7@");
    EXPECT_FALSE(twin->isCorrupt(CorruptDuplicateID));
    EXPECT_EQ(f.doc.gedcomModel().recordWithID("@I7@"), twin);
    auto list = f.lists().listForType(RecordsIndices::kCorrupted);
    EXPECT_TRUE(!list || list->count() == 0);
}

// ---- the window-side script host

struct HostFixture : PaneFixture {
    DocumentWindows windows{*scratch.defaults};
    IndexScriptHost host{*index, windows};
    HostFixture() {
        windows.setPlatform(test::browserDoublePlatform());
        windows.makeWindowControllers(std::shared_ptr<DocumentWindowController>(index.get(), [](auto*) {}));
        doc.gedcomModel().setScriptHost(&host);
    }
    ~HostFixture() { doc.gedcomModel().setScriptHost(nullptr); }
    test::BrowserDouble* browser(std::size_t i) {
        return static_cast<test::BrowserDouble*>(windows.windowControllers().at(i + 1).get());
    }
};

TEST(WindowScriptHost, AScriptShowingARecordOpensItsBrowser) {
    HostFixture f;
    auto bea = f.record("@I2@");
    EXPECT_FALSE(bea->handleScriptCommand("scriptShowBrowser", {}).error);
    ASSERT_EQ(f.windows.windowControllers().size(), 2u);
    EXPECT_EQ(f.browser(0)->record, bea);
    EXPECT_FALSE(f.record("@I3@")->handleScriptCommand("scriptShowBrowserPane", {{"withID", Value("Notes")}}).error);
    ASSERT_EQ(f.windows.windowControllers().size(), 3u);
    EXPECT_EQ(f.browser(1)->pane, "Notes");
}

TEST(WindowScriptHost, AScriptReplacingTheShownRecordsTextCommitsThePaneFirst) {
    HostFixture f;
    f.select("INDI", 1);
    f.type("0 @I2@ INDI\n1 NAME Bea /Beech/\n1 SEX F\n");
    auto bea = f.record("@I2@");
    // The script's command is one step, as the event loop groups it.
    f.doc.undo().beginUndoGrouping();
    EXPECT_FALSE(bea->setGedcomString("0 @I2@ INDI\n1 NAME Bea /Beech/\n1 OCCU Baker\n"));
    f.doc.undo().endUndoGrouping();
    const std::string text = bea->gedcomString();
    EXPECT_NE(text.find("OCCU Baker"), std::string::npos);
    EXPECT_EQ(text.find("SEX F"), std::string::npos);
    // The pane's edit went in first, inside the script's step: nothing of
    // it waits to overwrite the script's text later.
    EXPECT_FALSE(f.index->isSourceChanged());
    f.index->recordSelectionChanged({0});
    EXPECT_NE(bea->gedcomString().find("OCCU Baker"), std::string::npos);
    f.doc.undo().undo();
    EXPECT_NE(bea->gedcomString().find("Bea /Birch/"), std::string::npos);
}

// ---- real data

TEST(SourcePaneCorpus, EveryRecordRebuiltFromItsOwnTextWritesTheSameFile) {
    const std::filesystem::path path = std::filesystem::path(KL_TESTDATA) / "gedcom/gedcom-parse/compat-paf2.ged";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus not present";
    test::DocumentFixture d;
    std::string error;
    ASSERT_TRUE(d.import(path, &error)) << error;
    test::ScratchDefaults scratch;
    IndexStyleLibrary styles{*scratch.defaults};
    test::RecordingView view;
    IndexController index(*d.document, styles, &view);
    index.windowDidLoad();
    const std::string before = test::recordsText(*d.document);
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    for (const auto& list : d.document->gedcomModel().recordsIndex().lists())
        if (list->listType() != ListUserAlbum)
            for (const auto& record : list->order()) records.push_back(record);
    ASSERT_GT(records.size(), 100u);
    for (const auto& record : records) index.changeRecordData(record, record->gedcomString(), false);
    EXPECT_EQ(test::recordsText(*d.document), before);
    EXPECT_TRUE(view.alerts.empty());
}

}  // namespace
}  // namespace kl
