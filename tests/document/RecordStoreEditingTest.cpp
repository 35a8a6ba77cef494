// Editing the store: free IDs that never reuse a number at or below the
// list's last one, install and delete as each other's undo with their
// notifications, and undo-free report records.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/DocumentNotifications.h"
#include "document/RecordsList.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::NotificationLog;
using test::StoreFixture;

std::vector<const void*> listsIn(const Notification& note) {
    std::vector<const void*> out;
    if (const Value* lists = note.userInfo.get(user_info_keys::ChangedLists))
        for (const Value& v : *lists->array()) out.push_back(v.object().get());
    return out;
}

class StoreEditing : public testing::Test, public StoreFixture {
protected:
    void SetUp() override {
        read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @I3@ INDI\n0 @I4@ INDI\n0 @I5@ INDI\n0 TRLR\n");
    }
    std::shared_ptr<GEDCOMRecord> installNew(const std::string& type) {
        undo.beginUndoGrouping();
        auto r = model.createNewRecordOfType(type);
        undo.endUndoGrouping();
        return r;
    }
    void deleteInGroup(const std::shared_ptr<GEDCOMRecord>& record) {
        undo.beginUndoGrouping();
        model.deleteRecord(record);
        undo.endUndoGrouping();
    }
    UndoManager& undo = document.undo;
};

TEST_F(StoreEditing, NextIDSkipsPastTheCountAndNeverReusesANumber) {
    list("INDI")->setIdNumber(2);
    EXPECT_EQ(model.getUniqueID("INDI"), "@I6@");
    auto sixth = installNew("INDI");
    EXPECT_EQ(sixth->grecordID(), "@I7@") << "6 was handed out already";
    deleteInGroup(sixth);
    EXPECT_EQ(model.getUniqueID("INDI"), "@I8@");
}

TEST_F(StoreEditing, DeletedNumberIsNotHandedOutAgain) {
    list("INDI")->setIdNumber(2);
    auto record = installNew("INDI");
    ASSERT_EQ(record->grecordID(), "@I6@");
    deleteInGroup(record);
    EXPECT_EQ(installNew("INDI")->grecordID(), "@I7@");
}

TEST_F(StoreEditing, IDsOfTypesWithoutAListStartAtOne) {
    struct Case {
        const char* type;
        const char* id;
    };
    for (const Case& c : {Case{"_ZZZ", "@G1@"}, Case{"SOUR", "@SR1@"}, Case{"SUBN", "@SUBN1@"}, Case{"_RPT", "@GR1@"}}) {
        EXPECT_EQ(model.getUniqueID(c.type), c.id) << c.type;
    }
    auto custom = installNew("_ZZZ");
    EXPECT_EQ(custom->grecordID(), "@G1@");
    ASSERT_TRUE(list("_ZZZ"));
    EXPECT_EQ(list("_ZZZ")->listType(), ListUserDefinedType);
    EXPECT_EQ(model.getUniqueID("_ZZZ"), "@G2@");
}

TEST_F(StoreEditing, IDTakenInAnotherIndexIsSkipped) {
    StoreFixture other;
    other.read("0 HEAD\n0 @F1@ FAM\n0 @F2@ FAM\n0 TRLR\n");
    EXPECT_EQ(model.getUniqueID("FAM", &other.model.recordsIndex()), "@F3@");
}

TEST_F(StoreEditing, InstallPostsTheNewRecordAndUndoDeletesIt) {
    NotificationLog log({notification_names::NewRecordCreated, notification_names::GEDCOMRecordDeleted});
    auto record = installNew("FAM");
    ASSERT_EQ(log.count(notification_names::NewRecordCreated), 1u);
    const Notification& created = *log.last(notification_names::NewRecordCreated);
    EXPECT_EQ(created.object, &model);
    EXPECT_EQ(created.userInfo.get(user_info_keys::NewRecord)->object(), record);
    EXPECT_EQ(model.recordWithID("@F1@"), record);

    undo.undo();
    EXPECT_FALSE(model.recordWithID("@F1@"));
    EXPECT_EQ(log.count(notification_names::GEDCOMRecordDeleted), 1u);
    undo.redo();
    EXPECT_EQ(model.recordWithID("@F1@"), record);
    EXPECT_EQ(log.count(notification_names::NewRecordCreated), 2u);
}

TEST_F(StoreEditing, DeletePostsEveryListThatMayHaveHeldTheRecord) {
    auto index = &model.recordsIndex();
    auto a = index->addList("User Album 7", nullptr);
    auto b = index->addList("User Album 8", nullptr);
    auto record = model.recordWithID("@I3@");
    record->setCorruptBit(CorruptInvalidTag);
    index->addCorruptedRecord(record, false);
    a->addRecordToAlbum(record);

    NotificationLog log({notification_names::GEDCOMRecordDeleted});
    deleteInGroup(record);
    ASSERT_EQ(log.count(notification_names::GEDCOMRecordDeleted), 1u);
    const Notification& note = *log.last(notification_names::GEDCOMRecordDeleted);
    EXPECT_EQ(note.object, &model);
    EXPECT_EQ(note.userInfo.get(user_info_keys::TheRecord)->object(), record);
    EXPECT_EQ(listsIn(note), (std::vector<const void*>{list("INDI").get(), a.get(), b.get(), list("Corrupted").get()}));
    EXPECT_FALSE(model.recordWithID("@I3@"));
    EXPECT_FALSE(a->contains(record.get()));
    EXPECT_EQ(list("Corrupted")->count(), 0u);
}

TEST_F(StoreEditing, UndoneDeleteComesBackIntoItsListsAndAlbums) {
    auto album = model.recordsIndex().addList("User Album 7", nullptr);
    auto record = model.recordWithID("@I3@");
    album->addRecordToAlbum(record);
    std::weak_ptr<GEDCOMRecord> watch = record;
    deleteInGroup(record);
    record.reset();
    ASSERT_FALSE(watch.expired()) << "the undo action keeps the deleted record";

    NotificationLog log({notification_names::NewRecordCreated});
    undo.undo();
    auto back = model.recordWithID("@I3@");
    ASSERT_TRUE(back);
    EXPECT_EQ(back, watch.lock());
    EXPECT_TRUE(album->contains(back.get()));
    EXPECT_EQ(log.count(notification_names::NewRecordCreated), 1u);
    undo.redo();
    EXPECT_FALSE(model.recordWithID("@I3@"));
    EXPECT_FALSE(album->contains(back.get()));
}

TEST_F(StoreEditing, ReportRecordsLeaveNothingToUndo) {
    auto report = installNew("_RPT");
    EXPECT_EQ(report->grecordID(), "@GR1@");
    EXPECT_EQ(list("_RPT")->listType(), ListReports);
    EXPECT_FALSE(undo.canUndo());
    deleteInGroup(report);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    EXPECT_FALSE(model.recordWithID("@GR1@"));
}

TEST_F(StoreEditing, NewPlacesAreNamedUniquelyAndIndexed) {
    auto first = model.createNewRecordOfType("_PLC");
    auto second = model.createNewRecordOfType("_PLC");
    auto named = model.createNewRecordOfType("_PLC", Value("Paris, France"));
    EXPECT_EQ(first->findContentsWithTag("_PLACE", 1), "Place 1");
    EXPECT_EQ(second->findContentsWithTag("_PLACE", 1), "Place 2");
    EXPECT_EQ(model.placeForName("Paris, France"), named);
    EXPECT_EQ(model.places().findDetachedPlaces().size(), 3u);
    model.deleteRecord(second);
    EXPECT_FALSE(model.placeForName("Place 2"));
}

TEST_F(StoreEditing, DeletedRecordStaysValidWhileAWorkerHoldsIt) {
    auto record = model.recordWithID("@I2@");
    record->addLevel(1, "NAME", "Held /Here/");
    std::shared_ptr<GEDCOMRecord> workerCopy = record;
    deleteInGroup(record);
    undo.removeAllActions();
    record.reset();
    EXPECT_EQ(workerCopy->findContentsWithTag("NAME", 1), "Held /Here/");
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

// Records citing a note, linked both ways through the record road.
class NoteCiters : public testing::Test, public test::StoreFixture {
protected:
    void SetUp() override {
        read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 @N1@ NOTE shared text\n0 TRLR\n");
        note = model.recordWithID("@N1@");
    }
    void cite(const char* id) { model.recordWithID(id)->attachRefedLink(note, "NOTE"); }
    void deleteInGroup(const char* id) {
        document.undo.beginUndoGrouping();
        model.deleteRecord(model.recordWithID(id));
        document.undo.endUndoGrouping();
    }
    std::shared_ptr<GEDCOMRecord> note;
};

TEST_F(NoteCiters, NoteReadFromItsLevelZeroLineKeepsItsText) {
    EXPECT_EQ(note->findContentsWithTag("CONC", 1), "shared text");
}

TEST_F(NoteCiters, DeletingTheOnlyCiterDeletesTheNoteAndUndoBringsBothBack) {
    cite("@I1@");
    document.undo.removeAllActions();
    deleteInGroup("@I1@");
    EXPECT_FALSE(model.recordWithID("@N1@"));
    document.undo.undo();
    auto citer = model.recordWithID("@I1@");
    ASSERT_TRUE(citer);
    ASSERT_EQ(model.recordWithID("@N1@"), note);
    EXPECT_EQ(note->crossRefIDs(), (std::vector<std::string>{"@I1@"}));
    EXPECT_TRUE(citer->hasLink("NOTE", "@N1@"));
}

TEST_F(NoteCiters, DeletingOneOfTwoCitersKeepsTheNoteWithOneBackLink) {
    cite("@I1@");
    cite("@I2@");
    deleteInGroup("@I1@");
    ASSERT_EQ(model.recordWithID("@N1@"), note);
    EXPECT_EQ(note->crossRefIDs(), (std::vector<std::string>{"@I2@"}));
}

TEST_F(NoteCiters, ChangedIDKeepsBackLinksLookupsAndAlbumsConsistent) {
    cite("@I1@");
    auto album = model.recordsIndex().addList("User Album 7", nullptr);
    auto record = model.recordWithID("@I1@");
    album->addRecordToAlbum(record);
    test::NotificationLog log({notification_names::RecordIDChanged});
    record->changeRecordIDToID("@I9@");
    EXPECT_EQ(log.count(notification_names::RecordIDChanged), 1u);
    EXPECT_EQ(log.last(notification_names::RecordIDChanged)->object, &model);
    EXPECT_EQ(model.recordWithID("@I9@"), record);
    EXPECT_FALSE(model.recordWithID("@I1@"));
    EXPECT_EQ(list("INDI")->recordWithID("@I9@"), record);
    EXPECT_EQ(note->crossRefIDs(), (std::vector<std::string>{"@I9@"}));
    EXPECT_EQ(album->recordIDArray(), (std::vector<std::string>{"@I9@"}));
    EXPECT_EQ(album->recordWithIDIncludingAlbums("@I9@"), record);
}

TEST(NewRecords, GetTheirKindAndAUUID) {
    GEDCOMRecord::setInsertingUUIDs(true);
    test::StoreFixture f;
    f.read(GEDCOMModel::kEmptyDatabase);
    for (const char* type : {"INDI", "FAM", "SOUR", "NOTE", "_LOG", "_XYZ"}) {
        auto r = f.model.createNewRecordOfType(type);
        EXPECT_EQ(r->recordType(), type);
        EXPECT_TRUE(r->findChild("_KLID", false)) << type;
        EXPECT_EQ(f.model.recordWithID(r->grecordID()), r) << type;
    }
    GEDCOMRecord::setInsertingUUIDs(false);
}

}  // namespace
}  // namespace kl
