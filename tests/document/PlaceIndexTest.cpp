// The place index: events cite a place by the text of a level-2 PLAC; a
// renamed place record is filed under its new name and its events follow,
// with undo; a deleted record leaves no name behind.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/DocumentNotifications.h"
#include "document/PlaceIndex.h"
#include "foundation/NotificationCenter.h"
#include "model/GEDCOMStructure.h"
#include "model/PlaceRecord.h"

namespace kl {
namespace {

class Places : public testing::Test, public test::StoreFixture {
protected:
    void SetUp() override {
        read("0 HEAD\n"
             "0 @I1@ INDI\n1 BIRT\n2 PLAC Ostrel\n1 DEAT\n2 PLAC Ostrel\n"
             "0 @I2@ INDI\n1 RESI\n2 PLAC Vessby\n1 NOTE Ostrel\n"
             "0 @F1@ FAM\n1 MARR\n2 PLAC Ostrel\n"
             "0 @P1@ _PLC\n1 _PLACE Ostrel\n"
             "0 @P2@ _PLC\n1 _PLACE Vessby\n"
             "0 TRLR\n");
    }
    std::shared_ptr<PlaceRecord> place(const std::string& id) {
        return std::dynamic_pointer_cast<PlaceRecord>(model.recordWithID(id));
    }
    std::string plac(const std::string& id, const std::string& event) {
        return model.recordWithID(id)->findChild(event, false)->findChild("PLAC", false)->contents();
    }
    // What the index window posts after a record was edited.
    void reportEdit(const std::shared_ptr<GEDCOMRecord>& record) {
        NotificationCenter::defaultCenter().post(notification_names::RecordMayNeedSorting,
                                                 static_cast<const GEDCOMObject*>(record.get()));
    }
    PlaceIndex& index() { return model.places(); }
    UndoManager& undo = document.undo;
};

TEST_F(Places, CitationsAreLevelTwoPlacesOfIndividualsThenFamilies) {
    PlaceIndex::Citations citations;
    const auto records = index().findPlace("Ostrel", &citations);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]->grecordID(), "@I1@");
    EXPECT_EQ(records[1]->grecordID(), "@F1@");
    ASSERT_EQ(citations.size(), 2u);
    EXPECT_EQ(citations[0].size(), 2u) << "birth and death";
    EXPECT_EQ(citations[1].size(), 1u);

    struct Case {
        const char* name;
        bool any, multiple;
    } cases[] = {{"Ostrel", true, true}, {"Vessby", true, false}, {"ostrel", false, false}, {"", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(index().findAnyPlace(c.name), c.any) << c.name;
        EXPECT_EQ(index().findMultiplePlace(c.name), c.multiple) << c.name;
    }
    EXPECT_TRUE(index().findPlace("Nowhere").empty());
}

TEST_F(Places, ARenamedPlaceIsFiledAgainAndItsEventsFollowUntilUndone) {
    auto ostrel = place("@P1@");
    EXPECT_EQ(ostrel->currentName(), "Ostrel");
    undo.beginUndoGrouping();
    ostrel->setPlaceName("Ostrel Harbour North");
    reportEdit(ostrel);
    undo.endUndoGrouping();
    EXPECT_EQ(ostrel->placeName(), "Ostrel Harbour North");
    EXPECT_EQ(index().placeForName("Ostrel Harbour North"), ostrel);
    EXPECT_FALSE(index().placeForName("Ostrel"));
    EXPECT_EQ(plac("@I1@", "BIRT"), "Ostrel Harbour North");
    EXPECT_EQ(plac("@I1@", "DEAT"), "Ostrel Harbour North");
    EXPECT_EQ(plac("@F1@", "MARR"), "Ostrel Harbour North");
    EXPECT_EQ(model.recordWithID("@I2@")->findChild("NOTE", false)->contents(), "Ostrel") << "only places follow";

    undo.undo();
    reportEdit(ostrel);
    EXPECT_EQ(ostrel->placeName(), "Ostrel");
    EXPECT_EQ(index().placeForName("Ostrel"), ostrel);
    EXPECT_EQ(plac("@I1@", "BIRT"), "Ostrel");
    EXPECT_EQ(plac("@F1@", "MARR"), "Ostrel");
    EXPECT_EQ(index().order(), (std::vector<std::string>{"Ostrel", "Vessby"}));
}

TEST_F(Places, AnEmptiedNameLeavesTheEventsCitingTheOldText) {
    auto vessby = place("@P2@");
    vessby->setPlaceName("");
    reportEdit(vessby);
    EXPECT_FALSE(index().placeForName("Vessby"));
    EXPECT_EQ(plac("@I2@", "RESI"), "Vessby");
    vessby->setPlaceName("Vessby Mill");
    reportEdit(vessby);
    EXPECT_EQ(index().placeForName("Vessby Mill"), vessby) << "named again, it is filed again";
}

TEST_F(Places, ADeletedPlaceLeavesNoNameEvenAfterARename) {
    auto vessby = place("@P2@");
    vessby->setPlaceName("Vessby Mill");
    reportEdit(vessby);
    model.deleteRecord(vessby);
    EXPECT_EQ(index().order(), std::vector<std::string>{"Ostrel"});
    EXPECT_EQ(index().numberOfPlaces(), 1u);
}

}  // namespace
}  // namespace kl
