// Links between records stay two-sided (link structure here, back link
// there) through attach, detach, rename and delete, and through their undo
// and redo; drops are found by name and refuse with their own texts.
#include <gtest/gtest.h>

#include "RecordTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"
#include "model/OBJERecord.h"
#include "model/RecordLinkLists.h"
#include "model/SOURRecord.h"

namespace kl {
namespace {

using test::AlertScope;
using test::FakeRecordStore;
using test::NotificationLog;
using test::RecordEnvironment;

constexpr const char* kLinkTags[] = {"NOTE", "SOUR", "OBJE"};

// Two individuals and the records they cite; the back links are gathered
// as a read would gather them.
class LinkedStore : public ::testing::Test {
protected:
    void SetUp() override {
        i1 = store.add("@I1@", "INDI", "1 NOTE @N1@\n1 SOUR @S1@\n1 BIRT\n2 SOUR @S1@\n2 NOTE @N2@\n1 OBJE @O1@\n");
        i2 = store.add("@I2@", "INDI", "1 NOTE @N1@\n1 SEX F\n");
        n1 = store.add<NOTERecord>("@N1@", "NOTE", "1 CONC first\n");
        n2 = store.add<NOTERecord>("@N2@", "NOTE", "1 CONC second\n");
        s1 = store.add<SOURRecord>("@S1@", "SOUR", "1 TITL Census\n");
        o1 = store.add<OBJERecord>("@O1@", "OBJE", "1 FILE a.jpg\n");
        for (const auto& [id, record] : store.records)
            for (const char* tag : kLinkTags)
                for (const auto& pair : record->findAllStructuresWithTag(tag, std::nullopt))
                    if (auto cited = store.recordWithID(pair.structure->contents(), tag))
                        cited->addCustom_REFTag(id, 1);
        for (const auto& [id, record] : store.records) record->convert_REFToArray();
    }

    // Every link in a record of the store has its back link, and every back
    // link names a record of the store that holds such a link.
    void expectTwoSided(const char* step) {
        for (const auto& [id, record] : store.records) {
            for (const char* tag : kLinkTags)
                for (const auto& pair : record->findAllStructuresWithTag(tag, std::nullopt))
                    if (auto cited = store.recordWithID(pair.structure->contents(), tag)) {
                        const auto& refs = cited->crossRefIDs();
                        EXPECT_NE(std::find(refs.begin(), refs.end(), id), refs.end())
                            << step << ": " << cited->grecordID() << " lacks back link " << id;
                    }
            for (const auto& citing : record->crossRefIDs()) {
                auto holder = store.recordWithID(citing, "");
                ASSERT_TRUE(holder) << step << ": " << id << " names missing " << citing;
                EXPECT_FALSE(holder->findAllStructuresWithTag(record->recordType(), id).empty())
                    << step << ": " << citing << " holds no link to " << id;
            }
        }
    }

    std::string state() {
        std::string text = test::storeText(store);
        for (const auto& [id, record] : store.records) {
            text += id + ":";
            for (const auto& ref : record->crossRefIDs()) text += ref + ",";
            text += "\n";
        }
        return text;
    }

    // do -> undo -> redo, each step two-sided; answers the state after do.
    std::string roundTrip(const std::function<void()>& operation) {
        const std::string before = state();
        store.undo.beginUndoGrouping();
        operation();
        store.undo.endUndoGrouping();
        const std::string after = state();
        expectTwoSided("do");
        store.undo.undo();
        EXPECT_EQ(state(), before);
        expectTwoSided("undo");
        store.undo.redo();
        EXPECT_EQ(state(), after);
        expectTwoSided("redo");
        return after;
    }

    FakeRecordStore store;
    std::shared_ptr<GEDCOMRecord> i1, i2, n1, n2, s1, o1;
};

TEST_F(LinkedStore, StartsTwoSided) {
    expectTwoSided("start");
    EXPECT_EQ(s1->crossRefIDs(), std::vector<std::string>{"@I1@"});
    EXPECT_EQ(n1->crossRefIDs(), (std::vector<std::string>{"@I1@", "@I2@"}));
}

TEST_F(LinkedStore, AttachingACitedRecordAddsBothSides) {
    roundTrip([&] { i2->attachRefedLink(s1, "SOUR"); });
    EXPECT_EQ(i2->gedcomString(), "0 @I2@ INDI\n1 NOTE @N1@\n1 SEX F\n1 SOUR @S1@\n");
    EXPECT_EQ(s1->crossRefIDs(), (std::vector<std::string>{"@I1@", "@I2@"}));
}

TEST_F(LinkedStore, AttachingPutsTheLinkAfterTheLastOfItsTag) {
    roundTrip([&] { i1->attachRefedLink(n2, "NOTE"); });
    EXPECT_EQ(i1->findChildren("NOTE", false).size(), 2u);
    EXPECT_EQ(i1->structures()[1]->contents(), "@N2@");
}

TEST_F(LinkedStore, DetachingBothSides) {
    roundTrip([&] {
        EXPECT_TRUE(i1->detachCrossRef("SOUR", "@S1@"));
        EXPECT_TRUE(s1->detachCrossRefTo("@I1@"));
    });
    EXPECT_TRUE(i1->findAllStructuresWithTag("SOUR", std::nullopt).empty());
    EXPECT_FALSE(s1->hasCrossRefs());
}

TEST_F(LinkedStore, DeletingTheOnlyCiterOfANoteDeletesTheNote) {
    std::vector<std::string> deleted;
    roundTrip([&] {
        store.deleteRecord(i1);
        deleted = store.deleted;
    });
    EXPECT_EQ(deleted, (std::vector<std::string>{"@N2@", "@I1@"}));
    EXPECT_EQ(n1->crossRefIDs(), std::vector<std::string>{"@I2@"});
    EXPECT_FALSE(s1->hasCrossRefs());  // cited twice, its one back link gone
    EXPECT_TRUE(store.recordWithID("@S1@", "SOUR"));
}

TEST_F(LinkedStore, DeletingOneOfTwoCitersKeepsTheNote) {
    std::vector<std::string> deleted;
    roundTrip([&] {
        store.deleteRecord(i2);
        deleted = store.deleted;
    });
    EXPECT_EQ(n1->crossRefIDs(), std::vector<std::string>{"@I1@"});
    EXPECT_EQ(deleted, std::vector<std::string>{"@I2@"});
}

TEST_F(LinkedStore, RepeatedLinkUnderTheSameParentIsRemovedNotDoubled) {
    auto birt = i1->findChild("BIRT", false);
    i1->addStructure(std::make_shared<GEDCOMStructure>(i1.get(), 2, "NOTE", "@N1@"), birt.get(), nullptr);
    store.undo.beginUndoGrouping();
    i1->changeCrossRefUndo("NOTE", "@N2@", "@N1@");
    store.undo.endUndoGrouping();
    EXPECT_EQ(birt->findChildren("NOTE", false).size(), 1u);
    store.undo.undo();
    EXPECT_EQ(birt->findChildren("NOTE", false).size(), 2u);
}

TEST_F(LinkedStore, ChangingARecordsIDKeepsBackLinksAndTellsOnce) {
    NotificationLog log;
    i1->changeRecordIDToID("@I7@");
    store.records.erase("@I1@");
    store.records["@I7@"] = i1;
    expectTwoSided("renamed");
    EXPECT_EQ(n1->crossRefIDs(), (std::vector<std::string>{"@I2@", "@I7@"}));
    EXPECT_EQ(s1->crossRefIDs(), std::vector<std::string>{"@I7@"});  // cited twice, listed once
    ASSERT_EQ(log.count("Record ID Changed Notification"), 1u);
    for (const auto& n : log.posted) {
        if (n.name != "Record ID Changed Notification") continue;
        EXPECT_EQ(n.object, &store);
        EXPECT_EQ(n.userInfo.get("OldRecordID")->toString(), "@I1@");
        EXPECT_EQ(n.userInfo.get("TheRecord")->objectAs<GEDCOMRecord>(), i1);
    }
    EXPECT_EQ(i1->gedcomString().substr(0, 12), "0 @I7@ INDI\n");
}

TEST_F(LinkedStore, BackLinkChangesAreUndoneAndAnnounced) {
    struct Case {
        const char* name;
        std::function<bool()> change;
        bool answer;
        std::size_t notes;
    } cases[] = {
        {"detach a back link", [&] { return s1->detachCrossRefTo("@I1@"); }, true, 1},
        {"detach a missing one", [&] { return s1->detachCrossRefTo("@nobody@"); }, false, 0},
        {"attach one", [&] { s1->attachCrossRefTo("@X1@"); return true; }, true, 1},
    };
    for (const auto& c : cases) {
        store.undo.removeAllActions();
        const auto before = s1->crossRefIDs();
        NotificationLog log;
        EXPECT_EQ(c.change(), c.answer) << c.name;
        EXPECT_EQ(log.count("Record Structures Changed Notification"), c.notes) << c.name;
        EXPECT_EQ(store.undo.canUndo(), c.notes > 0) << c.name;
        store.undo.undo();
        EXPECT_EQ(s1->crossRefIDs(), before) << c.name;
    }
}

TEST_F(LinkedStore, ReadingFormKeepsEachIDOnceInOrder) {
    auto note = std::make_shared<NOTERecord>("@N9@");
    for (const char* id : {"@I2@", "@I1@", "@I2@"}) note->addCustom_REFTag(id, 2);
    EXPECT_TRUE(note->readingCrossRefs());
    note->convert_REFToArray();
    EXPECT_FALSE(note->readingCrossRefs());
    EXPECT_EQ(note->crossRefIDs(), (std::vector<std::string>{"@I2@", "@I1@"}));
    note->addCustom_REFTag("@I1@", 0);  // any other mode: the undoable road, still once
    EXPECT_EQ(note->crossRefIDs().size(), 2u);
}

TEST_F(LinkedStore, LinkListsOfABrowser) {
    store.placeIDs["Oslo"] = "@P1@";
    i1->addLevel(2, "PLAC", "Oslo");
    i1->addLevel(1, "RESI", "");
    i1->addLevel(2, "PLAC", "Oslo");
    RecordLinkLists lists;
    lists.children.push_back("stale");
    i1->setUpLinkLists(lists);
    EXPECT_EQ(lists.sources, (std::vector<std::string>{"@S1@", "@S1@"}));
    EXPECT_EQ(lists.multimedia, std::vector<std::string>{"@O1@"});
    EXPECT_TRUE(lists.children.empty());
    std::vector<std::string> places;
    i1->readAllTags(places, "PLAC");
    EXPECT_EQ(places, std::vector<std::string>{"@P1@"});
}

// ---- drops

TEST_F(LinkedStore, DropsRefuseASecondLevelOneLink) {
    auto log = store.add("@L1@", "_LOG", "1 TITL Work\n");
    auto subm = store.add("@U1@", "SUBM", "1 NAME Me\n");
    i2->attachRefedLink(o1, "OBJE");
    i2->attachRefedLink(log, "_LOG");
    i2->attachLink(*subm, "SUBM");
    struct Case {
        std::shared_ptr<GEDCOMRecord> dropped;
        const char* refusal;
    } cases[] = {
        {n1, "Those notes are already attached to this record."},
        {o1, "That multimedia object is already attached to this record."},
        {log, "That research log is already attached to this record."},
        {subm, "The dropped Submitted record is already attached to this record."},
    };
    for (const auto& c : cases) {
        const std::string before = i2->gedcomString();
        EXPECT_EQ(i2->drop(c.dropped), std::optional<std::string>(c.refusal));
        EXPECT_EQ(i2->gedcomString(), before);
    }
}

TEST_F(LinkedStore, DroppingANoteLinkedOnlyInAnEventAttachesItAtLevelOne) {
    EXPECT_EQ(i1->drop(n2), std::nullopt);
    auto notes = i1->findChildren("NOTE", false);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[1]->contents(), "@N2@");
    EXPECT_EQ(i1->structures()[1], notes[1]);
    expectTwoSided("dropped");
}

TEST_F(LinkedStore, DroppingALinkedSourceAsksWhetherToAttachAgain) {
    struct Case {
        int button;
        std::optional<std::string> answer;
        std::size_t sources;
    } cases[] = {{1, "Skip", 1}, {0, std::nullopt, 2}};
    for (const auto& c : cases) {
        AlertScope scope;
        scope.alerts->answers = {c.button};
        EXPECT_EQ(i1->drop(s1), c.answer);
        EXPECT_EQ(i1->findChildren("SOUR", false).size(), c.sources);
        ASSERT_EQ(scope.alerts->shown.size(), 1u);
        EXPECT_EQ(scope.alerts->shown[0].message, "The source 'Census' is already attached to this record");
        EXPECT_EQ(scope.alerts->shown[0].informative, "Attach anyway or skip this source");
        EXPECT_EQ(scope.alerts->shown[0].buttons, (std::vector<std::string>{"Attach", "Skip"}));
    }
    EXPECT_EQ(s1->crossRefIDs(), std::vector<std::string>{"@I1@"});
}

TEST_F(LinkedStore, DropWithoutAHandlerIsRefused) {
    EXPECT_EQ(GEDCOMRecord::dropOperationName("SOUR"), "dropSOURRecord:");
    EXPECT_EQ(GEDCOMRecord::dropOperationName("INDI", true), "dropINDICtrlRecord:");
    EXPECT_TRUE(i1->respondsToDrop("drop_LOGRecord:"));
    EXPECT_FALSE(i1->respondsToDrop("dropINDIRecord:"));
    const std::string before = i1->gedcomString();
    EXPECT_EQ(i1->drop(i2), std::optional<std::string>("A record of type INDI cannot be attached to this record."));
    EXPECT_EQ(i1->drop(s1, true), std::optional<std::string>("A record of type SOUR cannot be attached to this record."));
    EXPECT_EQ(i1->gedcomString(), before);
}

// A kind adds its own drops to its base's table and keeps the base's.
class AliasRecord : public GEDCOMRecord {
public:
    using GEDCOMRecord::GEDCOMRecord;
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
        attachLink(*dropped, "ALIA");
        return std::nullopt;
    }

protected:
    const DropTable& dropTable() const override {
        static const DropTable table =
            extendDropTable(baseDropTable(), {{"dropINDIRecord:", static_cast<DropHandler>(&AliasRecord::dropINDIRecord)}});
        return table;
    }
};

TEST_F(LinkedStore, KindsExtendTheDropTable) {
    auto alias = store.add<AliasRecord>("@I3@", "INDI");
    EXPECT_TRUE(alias->respondsToDrop("dropINDIRecord:"));
    EXPECT_TRUE(alias->respondsToDrop("dropNOTERecord:"));
    EXPECT_EQ(alias->drop(i1), std::nullopt);
    EXPECT_EQ(alias->drop(n1), std::nullopt);
    EXPECT_EQ(alias->gedcomString(), "0 @I3@ INDI\n1 ALIA @I1@\n1 NOTE @N1@\n");
}

}  // namespace
}  // namespace kl
