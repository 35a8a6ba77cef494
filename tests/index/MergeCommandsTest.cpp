// The index window's merge commands without widgets: two records into one
// as one undo step, the refusals, the picker offered for one record, and
// the merge of records sharing a UUID on its worker.
#include <gtest/gtest.h>

#include "document/StoreTestSupport.h"
#include "foundation/UndoManager.h"
#include "index/AlbumsMenu.h"
#include "index/IndexTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "index/UUIDMerge.h"
#include "model/ModelNotifications.h"

namespace kl {
namespace {

using test::AskingView;
using test::CommandsFixture;

std::vector<std::string> idsOf(const RecordsList& list) {
    std::vector<std::string> ids;
    for (const auto& r : list.order()) ids.push_back(r->grecordID());
    return ids;
}

TEST(MergeTwoRecords, TheSecondMergesIntoTheFirstAsOneUndoStep) {
    CommandsFixture f;
    f.openAsking("0 @I1@ INDI\n1 NAME Ann /Lee/\n1 OCCU Baker\n1 FAMS @F1@\n"
                 "0 @I2@ INDI\n1 NAME Ann /Lee/\n1 RELI None\n1 FAMS @F2@\n"
                 "0 @F1@ FAM\n1 HUSB @I1@\n0 @F2@ FAM\n1 HUSB @I2@\n");
    f.selectIDs({"I1", "I2"});
    const auto selected = f.index->selectedRecords();
    ASSERT_EQ(selected.size(), 2u);
    const RecordPtr kept = selected[0];
    const std::string goneID = selected[1]->grecordID();
    f.selectIDs({goneID});
    f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
    const auto album = f.lists().albums().front();
    f.index->selectRecordType("INDI");
    f.selectIDs({"I1", "I2"});
    f.index->mergeTwoRecords();

    EXPECT_FALSE(f.record(goneID));
    EXPECT_TRUE(kept->firstChildWithTag("OCCU"));
    EXPECT_TRUE(kept->firstChildWithTag("RELI"));
    for (const char* family : {"@F1@", "@F2@"})
        EXPECT_EQ(f.record(family)->firstChildWithTag("HUSB")->contents(), kept->grecordID()) << family;
    EXPECT_TRUE(album->contains(kept.get()));
    EXPECT_EQ(f.doc.undo().undoActionName(), "Merge Two Records");
    EXPECT_TRUE(f.asking.alerts.empty());

    const std::string mergedText = kept->gedcomString();
    const std::size_t records = f.lists().numberOfRecords();
    f.doc.undo().undo();
    ASSERT_TRUE(f.record(goneID));
    EXPECT_EQ(f.record("@F1@")->firstChildWithTag("HUSB")->contents(), "@I1@");
    EXPECT_EQ(f.record("@F2@")->firstChildWithTag("HUSB")->contents(), "@I2@");
    EXPECT_FALSE(album->contains(kept.get()));

    f.doc.undo().redo();
    EXPECT_FALSE(f.record(goneID));
    EXPECT_EQ(f.lists().numberOfRecords(), records);
    EXPECT_EQ(kept->gedcomString(), mergedText);
    for (const char* family : {"@F1@", "@F2@"})
        EXPECT_EQ(f.record(family)->firstChildWithTag("HUSB")->contents(), kept->grecordID()) << family;
    EXPECT_EQ(idsOf(*album), (std::vector<std::string>{kept->grecordID()}));
}

struct RefusalCase {
    const char* name;
    const char* records;
    std::vector<std::string> selected;
    bool inAlbum;  // selected in an album holding every record
    const char* alert;
};

TEST(MergeTwoRecords, RefusalsBeepAndSayWhy) {
    const RefusalCase cases[] = {
        {"two types", "0 @I1@ INDI\n1 NAME Ann\n0 @F1@ FAM\n", {"I1", "F1"}, true,
         "The two selected records cannot merge with each other."},
        {"two people", "0 @I1@ INDI\n1 NAME Ann\n0 @I2@ INDI\n1 NAME Bea\n", {"I1", "I2"}, false,
         "The two selected records cannot merge with each other."},
        {"locked", "0 @I1@ INDI\n1 NAME Ann\n1 RESN locked\n0 @I2@ INDI\n1 NAME Ann\n", {"I1"}, false,
         "The selected record is locked and therefore cannot merge with another record."},
        {"nobody alike", "0 @I1@ INDI\n1 NAME Ann\n0 @I2@ INDI\n1 NAME Bea\n", {"I1"}, false,
         "No mergeable and unlocked records were found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandsFixture f;
        f.openAsking(c.records);
        if (c.inAlbum) {
            f.selectIDs(c.selected);
            f.index->populateAlbum(AlbumsMenu::kNewAlbumTag);
            for (const auto& id : c.selected) f.lists().albums().front()->addRecordToAlbum(f.record("@" + id + "@"));
            f.index->selectRecordType(f.lists().albums().front()->recordType());
        }
        f.selectIDs(c.selected);
        const std::size_t before = f.doc.gedcomModel().recordsIndex().numberOfRecords();
        f.index->mergeTwoRecords();
        EXPECT_EQ(f.asking.beeps, 1);
        ASSERT_EQ(f.asking.alerts.size(), 1u);
        EXPECT_EQ(f.asking.alerts.front().message, c.alert);
        EXPECT_EQ(f.doc.gedcomModel().recordsIndex().numberOfRecords(), before);
        EXPECT_FALSE(f.asking.picked);
    }
}

TEST(MergeTwoRecords, OneSelectedRecordIsOfferedThoseItMayMergeWith) {
    CommandsFixture f;
    f.openAsking("0 @I1@ INDI\n1 NAME Ann /Lee/\n0 @I2@ INDI\n1 NAME Bea\n0 @I3@ INDI\n1 NAME ann /lee/\n"
                 "1 OCCU Miller\n");
    f.selectIDs({"I1"});
    f.index->mergeTwoRecords();
    ASSERT_TRUE(f.asking.picked);
    EXPECT_EQ(idsOf(*f.asking.picked), (std::vector<std::string>{"@I3@"}));
    EXPECT_EQ(f.asking.pickerOptions.get("message")->toString(), "Merge Ann Lee with");
    EXPECT_EQ(f.asking.pickerOptions.get("helpTag")->toInteger(), 7513);
    EXPECT_EQ(f.asking.pickerOptions.get("mustSelect")->toString(), "YES");
    f.asking.answer(f.record("@I3@"), f.asking.pickerOptions);
    EXPECT_FALSE(f.record("@I3@"));
    EXPECT_EQ(f.record("@I1@")->firstChildWithTag("OCCU")->contents(), "Miller");
}

// ---- records sharing a UUID

struct UUIDFixture : CommandsFixture {
    test::FixedToday today{2026, 3, 5};
    void runMerge(const std::string& records) {
        openAsking(records);
        index->mergeDuplicateUUIDs();
    }
    const AskingView::Alert& finalAlert() { return asking.alerts.back(); }
};

const char* kThreePairs =
    "0 @I1@ INDI\n1 NAME Ann A\n1 _KLID u-1\n1 FAMS @F1@\n0 @I2@ INDI\n1 NAME Ann B\n1 _KLID u-1\n1 FAMS @F2@\n"
    "0 @I3@ INDI\n1 NAME Bea A\n1 _KLID u-2\n0 @I4@ INDI\n1 NAME Bea B\n1 _KLID u-2\n0 @I5@ INDI\n1 NAME Cy\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 _KLID f-1\n0 @F2@ FAM\n1 HUSB @I2@\n1 _KLID f-1\n";

TEST(MergeDuplicateUUIDs, EachPairKeepsItsLaterRecordAndTheDocumentNeedsSaving) {
    UUIDFixture f;
    f.doc.undo().registerUndo(&f, [] {});
    f.runMerge(kThreePairs);
    EXPECT_EQ(f.asking.alerts.front().message, "Are you sure you want to merge all records with duplicate UUIDs?");
    EXPECT_EQ(f.finalAlert().message,
              "The merge found 3 record pairs with duplicate UUIDs and merged them. No merging conflicts occurred.");
    for (const char* gone : {"@I1@", "@I3@"}) EXPECT_FALSE(f.record(gone)) << gone;
    for (const char* kept : {"@I2@", "@I4@", "@I5@"}) EXPECT_TRUE(f.record(kept)) << kept;
    ASSERT_EQ(f.lists().listForType("FAM")->count(), 1u);
    const auto family = f.lists().listForType("FAM")->order().front();
    EXPECT_EQ(family->findChildren("HUSB", false).size(), 1u);
    EXPECT_TRUE(f.lists().albums().empty());
    EXPECT_FALSE(f.doc.undo().canUndo());
    EXPECT_TRUE(f.doc.isDocumentEdited());
    EXPECT_TRUE(f.index->updateViews());
}

TEST(MergeDuplicateUUIDs, ThreeRecordsWithOneUUIDLeaveOne) {
    UUIDFixture f;
    f.runMerge("0 @I1@ INDI\n1 NAME Ann A\n1 _KLID u\n1 OCCU Baker\n0 @I2@ INDI\n1 NAME Ann B\n1 _KLID u\n"
               "0 @I3@ INDI\n1 NAME Ann C\n1 _KLID u\n1 RELI None\n");
    EXPECT_FALSE(f.record("@I1@"));
    EXPECT_FALSE(f.record("@I2@"));
    ASSERT_TRUE(f.record("@I3@"));
    EXPECT_TRUE(f.record("@I3@")->firstChildWithTag("OCCU"));
    EXPECT_TRUE(f.record("@I3@")->firstChildWithTag("RELI"));
    EXPECT_EQ(f.finalAlert().message,
              "The merge found 2 record pairs with duplicate UUIDs and merged them. No merging conflicts occurred.");
}

TEST(MergeDuplicateUUIDs, JoinedTextsAreGatheredInAnAlbum) {
    UUIDFixture f;
    f.runMerge("0 @N1@ NOTE First text\n1 _KLID n\n0 @N2@ NOTE Second text\n1 _KLID n\n"
               "0 @N3@ NOTE Same\n1 _KLID m\n0 @N4@ NOTE same\n1 _KLID m\n");
    EXPECT_EQ(f.finalAlert().message,
              "The merge found 2 record pairs with duplicate UUIDs and merged them. One merged record has unresolved "
              "conflicts.");
    EXPECT_EQ(f.finalAlert().information,
              "You should open and resolve the conflicts for the records added to the new 'Potential Conflicts' "
              "folder.");
    ASSERT_EQ(f.lists().albums().size(), 1u);
    const auto album = f.lists().albums().front();
    EXPECT_EQ(album->name().rfind("Potential Conflicts 5 MAR 2026 ", 0), 0u) << album->name();
    EXPECT_EQ(idsOf(*album), (std::vector<std::string>{"@N2@"}));
}

TEST(MergeDuplicateUUIDs, NothingToMergeSaysSoAndMakesNoAlbum) {
    UUIDFixture f;
    f.runMerge("0 @I1@ INDI\n1 NAME Ann\n1 _KLID a\n0 @I2@ INDI\n1 NAME Ann\n");
    EXPECT_EQ(f.finalAlert().message,
              "No records with duplicate UUIDs were found and thereore no records could be merged.");
    EXPECT_TRUE(f.lists().albums().empty());
    EXPECT_TRUE(f.record("@I2@"));
}

TEST(MergeDuplicateUUIDs, AnsweringCancelChangesNothing) {
    UUIDFixture f;
    f.asking.answers = {1};
    f.runMerge(kThreePairs);
    EXPECT_EQ(f.asking.alerts.size(), 1u);
    EXPECT_TRUE(f.record("@I1@"));
}

TEST(MergeDuplicateUUIDs, CancelDuringTheIndividualsLeavesTheFamilies) {
    UUIDFixture f;
    Observation stop = NotificationCenter::defaultCenter().addObserver(
        notification_names::GEDCOMRecordDeleted, nullptr, [&f](const Notification&) {
            if (f.index && f.index->uuidMerge()) f.index->uuidMerge()->cancelAction();
        });
    f.runMerge(kThreePairs);
    EXPECT_EQ(f.finalAlert().message,
              "Only one set of records with duplicate UUIDs was found and those two were merged. No merging "
              "conflicts occurred.");
    EXPECT_FALSE(f.record("@I1@"));
    EXPECT_TRUE(f.record("@I3@"));
    EXPECT_TRUE(f.record("@F1@"));
    EXPECT_TRUE(f.record("@F2@"));
}

TEST(MergeDuplicateUUIDs, TheStepLineNamesEachTypeWalkedThenTheLinkCleanUp) {
    UUIDFixture f;
    f.openAsking(kThreePairs);
    std::vector<std::string> steps;
    UUIDMerge* running = nullptr;
    UUIDMerge run(f.doc.gedcomModel(), [&](const RecordPtr&, const RecordPtr&, std::int64_t&) {
        steps.push_back(running->stepText());
        return false;
    });
    running = &run;
    EXPECT_EQ(run.stepText(), "");
    run.start();
    run.join();
    const std::string people = "Merging INDI records with duplicate UUIDs";
    EXPECT_EQ(steps, (std::vector<std::string>{people, people, "Merging FAM records with duplicate UUIDs"}));
    EXPECT_EQ(run.stepText(), "Removing duplicate record links");
}

TEST(MergeDuplicateUUIDs, ProgressIsCompleteWhenThereIsNothingToCount) {
    UUIDFixture f;
    f.openAsking("");
    UUIDMerge run(f.doc.gedcomModel(), {});
    EXPECT_EQ(run.fractionDone(), 1.0);
    EXPECT_EQ(run.updateStatusField(), std::optional<std::string>("0 / 0"));
}

}  // namespace
}  // namespace kl
