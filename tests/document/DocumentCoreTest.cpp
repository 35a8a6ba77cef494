// The document's own state: multimedia root folders with undo and their
// notifications, album styles, the read/write message, and autosave.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "StoreTestSupport.h"
#include "document/AutosaveTimer.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::NotificationLog;
using test::ScratchFolder;
namespace fs = std::filesystem;

using Roots = std::vector<std::string>;

struct RootCase {
    const char* label;
    std::function<void(GEDCOMDocument&)> act;
    Roots after;
    size_t willRemove;  // "Multimedia Root Folder Will be Removed" posts
    size_t changed;     // "Multimedia Root Folders Changed" posts
};

const RootCase kRootCases[] = {
    {"AddAtMinusOneAppends", [](GEDCOMDocument& d) { d.addMultimediaRoot("/c/", -1); }, {"/a/", "/b/", "/c/"}, 0, 1},
    {"AddPastTheEndAppends", [](GEDCOMDocument& d) { d.addMultimediaRoot("/c/", 9); }, {"/a/", "/b/", "/c/"}, 0, 1},
    {"AddAtFrontInserts", [](GEDCOMDocument& d) { d.addMultimediaRoot("/c/", 0); }, {"/c/", "/a/", "/b/"}, 0, 1},
    {"RemoveFirst", [](GEDCOMDocument& d) { d.removeMultimediaRootAtIndex(0); }, {"/b/"}, 1, 1},
    {"RemoveAtCountDoesNothing", [](GEDCOMDocument& d) { d.removeMultimediaRootAtIndex(2); }, {"/a/", "/b/"}, 0, 0},
    {"ChangeSecond", [](GEDCOMDocument& d) { d.changeMultimediaRoot("/z/", 1); }, {"/a/", "/z/"}, 1, 1},
    {"ChangePastTheEndDoesNothing", [](GEDCOMDocument& d) { d.changeMultimediaRoot("/z/", 2); }, {"/a/", "/b/"}, 0, 0},
    {"ReplaceAllPostsNothing", [](GEDCOMDocument& d) { d.replaceAllRootFolders({"/q/"}); }, {"/q/"}, 0, 0},
};

class RootFolders : public testing::TestWithParam<RootCase> {};

TEST_P(RootFolders, ChangeUndoRedo) {
    GEDCOMDocument d;
    d.setMultimediaRoot({"/a/", "/b/"});
    NotificationLog log({GEDCOMDocument::kRootsWillBeRemoved, GEDCOMDocument::kRootsChanged});
    GetParam().act(d);
    EXPECT_EQ(d.multimediaRoot(), GetParam().after);
    EXPECT_EQ(log.count(GEDCOMDocument::kRootsWillBeRemoved), GetParam().willRemove);
    EXPECT_EQ(log.count(GEDCOMDocument::kRootsChanged), GetParam().changed);
    for (const auto& note : log.notes) EXPECT_EQ(note.object, &d.gedcomModel());
    if (GetParam().after == Roots{"/a/", "/b/"}) return;
    d.undo().undo();
    EXPECT_EQ(d.multimediaRoot(), (Roots{"/a/", "/b/"}));
    d.undo().redo();
    EXPECT_EQ(d.multimediaRoot(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Edits, RootFolders, testing::ValuesIn(kRootCases),
                         [](const auto& info) { return info.param.label; });

TEST(RootFolders, WillBeRemovedNamesTheOldFolder) {
    GEDCOMDocument d;
    d.setMultimediaRoot({"/a/", "/b/"});
    NotificationLog log({GEDCOMDocument::kRootsWillBeRemoved});
    d.changeMultimediaRoot("/z/", 1);
    ASSERT_TRUE(log.last(GEDCOMDocument::kRootsWillBeRemoved));
    EXPECT_EQ(log.last(GEDCOMDocument::kRootsWillBeRemoved)->userInfo.get("folder")->toString(), "/b/");
}

// ---- the change count

// Edits, undo and redo move the count as a desktop document's do, and the
// document is edited while the count differs from the saved state's.
TEST(ChangeCount, UndoAndRedoMoveItAndTheEditedMarkFollows) {
    GEDCOMDocument d;
    test::UIDouble ui;
    d.setUI(&ui);
    EXPECT_FALSE(d.isDocumentEdited());
    d.addMultimediaRoot("/a/", -1);
    EXPECT_EQ(d.changeCount(), 1);
    EXPECT_TRUE(d.isDocumentEdited());
    d.undo().undo();
    EXPECT_EQ(d.changeCount(), 0);
    EXPECT_FALSE(d.isDocumentEdited());
    d.undo().redo();
    EXPECT_EQ(d.changeCount(), 1);
    EXPECT_TRUE(d.isDocumentEdited());
    // The window heard each move, with the state after it.
    EXPECT_EQ(ui.edited, (std::vector<bool>{true, false, true}));

    // A save marks the state saved: undoing an edit made before it makes the
    // document edited again, redoing it returns to the saved state.
    d.updateChangeCount(GEDCOMDocument::Change::Cleared);
    EXPECT_FALSE(d.isDocumentEdited());
    d.undo().undo();
    EXPECT_TRUE(d.isDocumentEdited());
    d.undo().redo();
    EXPECT_FALSE(d.isDocumentEdited());
    EXPECT_EQ(ui.edited.back(), false);
}

// A fresh change made after undoing past the saved state drops that state
// from the redo history: no later count reaches it again.
TEST(ChangeCount, AFreshChangeAfterUndoingPastTheSaveStaysEdited) {
    GEDCOMDocument d;
    d.addMultimediaRoot("/a/", -1);
    d.updateChangeCount(GEDCOMDocument::Change::Cleared);
    d.undo().undo();
    d.addMultimediaRoot("/b/", -1);
    EXPECT_EQ(d.changeCount(), 0);
    EXPECT_TRUE(d.isDocumentEdited());
    d.undo().undo();
    EXPECT_TRUE(d.isDocumentEdited());
    d.undo().redo();
    EXPECT_TRUE(d.isDocumentEdited());
    d.updateChangeCount(GEDCOMDocument::Change::Cleared);
    EXPECT_FALSE(d.isDocumentEdited());
}

// A group of changes is one change; changes made with undo off (reading) and
// changes undone by the undo manager's own bookkeeping move nothing.
TEST(ChangeCount, AGroupIsOneChangeAndUnregisteredChangesAreNone) {
    GEDCOMDocument d;
    d.undo().beginUndoGrouping();
    d.addMultimediaRoot("/a/", -1);
    d.addMultimediaRoot("/b/", -1);
    d.undo().endUndoGrouping();
    EXPECT_EQ(d.changeCount(), 1);
    d.undo().disableUndoRegistration();
    d.addMultimediaRoot("/c/", -1);
    d.undo().enableUndoRegistration();
    EXPECT_EQ(d.changeCount(), 1);
    d.undo().undo();
    EXPECT_EQ(d.changeCount(), 0);
    EXPECT_FALSE(d.isDocumentEdited());
}

TEST(DocumentState, MessagesCollectChanges) {
    GEDCOMDocument d;
    d.appendReadWriteMessage("added Submitter");
    d.appendReadWriteMessage("added Header");
    EXPECT_EQ(d.readWriteMessage(), "Changes: added Submitter, added Header");
}

TEST(DocumentState, AlbumStyleIsMadeOnceAndForgotten) {
    GEDCOMDocument d;
    auto style = d.albumStyle("User Album 7");
    EXPECT_EQ(d.albumStyle("User Album 7"), style);
    d.removeAlbumStyle("User Album 7");
    EXPECT_FALSE(d.hasAlbumStyle("User Album 7"));
}

TEST(DocumentState, DeletedRecordsThumbnailLeaves) {
    GEDCOMDocument d;
    d.setThumbnail("jpeg", "@O1@");
    ModelDocument& asStore = d;
    EXPECT_EQ(asStore.getThumbnail("@O1@"), "jpeg");
    asStore.removeThumbnail("@O1@");
    EXPECT_FALSE(d.getThumbnail("@O1@"));
}

// ---- autosave

class TimerDouble : public AutosaveTimer {
public:
    void start(double interval, double tolerance, std::function<void()> action) override {
        running = true;
        ++starts;
        lastInterval = interval;
        lastTolerance = tolerance;
        fire = std::move(action);
    }
    void stop() override { running = false; }
    bool isRunning() const override { return running; }
    bool running = false;
    int starts = 0;
    double lastInterval = 0;
    double lastTolerance = 0;
    std::function<void()> fire;
};

struct AutosaveFixture : testing::Test {
    ScratchFolder scratch;
    DocumentFixture f;
    TimerDouble* timer = nullptr;
    void SetUp() override {
        UserDefaults::configureStandard("Kinlore II Test", scratch.path());
        UserDefaults::standard().registerDefaults(Dictionary{{"Autosave minutes", 61}, {"Autosave prompts", true}});
        auto owned = std::make_unique<TimerDouble>();
        timer = owned.get();
        f.document->setAutosaveTimer(std::move(owned));
        f.document->setMyFileName(scratch / "A.gedpkg");
    }
    void TearDown() override { UserDefaults::configureStandard("Kinlore II"); }
    void minutes(int m) { UserDefaults::standard().setObject(m, "Autosave minutes"); }
};

TEST_F(AutosaveFixture, MinutesSetTheIntervalAnd61MeansNever) {
    minutes(5);
    f.document->startAutoSaveTimer();
    EXPECT_TRUE(timer->running);
    EXPECT_DOUBLE_EQ(timer->lastInterval, 300.0);
    EXPECT_DOUBLE_EQ(timer->lastTolerance, 12.5);
    minutes(61);
    NotificationCenter::defaultCenter().post(GEDCOMDocument::kResetAutoSaveTimers, nullptr, {});
    EXPECT_FALSE(timer->running);
    minutes(5);
    NotificationCenter::defaultCenter().post(GEDCOMDocument::kResetAutoSaveTimers, nullptr, {});
    NotificationCenter::defaultCenter().post(GEDCOMDocument::kResetAutoSaveTimers, nullptr, {});
    EXPECT_TRUE(timer->running);
    EXPECT_EQ(timer->starts, 3);
}

TEST_F(AutosaveFixture, UntitledAndPlainFileDocumentsHaveNoTimer) {
    minutes(5);
    f.document->setFileType(GEDCOMDocument::kGEDCOMType);
    f.document->startAutoSaveTimer();
    EXPECT_FALSE(timer->running) << "a plain GEDCOM file is never saved over";
    f.document->setFileType(GEDCOMDocument::kPackageType);
    f.document->setMyFileName(std::nullopt);
    f.document->startAutoSaveTimer();
    EXPECT_FALSE(timer->running);
}

TEST_F(AutosaveFixture, SavesOnlyEditedDocumentsAndHonoursSkip) {
    f.document->doAutoSave();
    EXPECT_EQ(f.ui.prompts, 0);
    f.document->updateChangeCount(GEDCOMDocument::Change::Done);
    f.ui.answerSave = false;
    f.document->doAutoSave();
    EXPECT_EQ(f.ui.prompts, 1);
    EXPECT_EQ(f.ui.saves, 0);
    EXPECT_TRUE(f.document->isDocumentEdited());
    f.ui.answerSave = true;
    f.document->doAutoSave();
    EXPECT_EQ(f.ui.saves, 1);
    UserDefaults::standard().setObject(false, "Autosave prompts");
    f.document->doAutoSave();
    EXPECT_EQ(f.ui.prompts, 2);
    EXPECT_EQ(f.ui.saves, 2);
}

TEST_F(AutosaveFixture, ASaveStopsTheTimerAndRestartsItAfterSuccess) {
    minutes(5);
    test::writeFile(scratch / "a.ged", "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n0 TRLR\n");
    ASSERT_TRUE(f.import(scratch / "a.ged"));
    auto owned = std::make_unique<TimerDouble>();
    timer = owned.get();
    f.document->setAutosaveTimer(std::move(owned));
    ASSERT_TRUE(f.document->importFileName());
    f.document->setMyFileName(scratch / "A.gedpkg");
    f.document->startAutoSaveTimer();
    ASSERT_TRUE(timer->running);
    InlineDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    ASSERT_TRUE(f.document->saveToURL(scratch / "A.gedpkg"));
    EXPECT_FALSE(timer->running);
    dispatcher.drain();
    EXPECT_TRUE(timer->running);
}

}  // namespace
}  // namespace kl
