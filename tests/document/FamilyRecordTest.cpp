// Families read from GEDCOM text into a store: spouse slots, child placement
// with pedigrees, the not-married mark, and links that stay two-sided after
// every change and after undo.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class FamilyFixture : public testing::Test, public test::PeopleStoreFixture {
protected:
    // Undoes one grouped change and checks every record reads as before.
    template <typename Change>
    void changeThenUndo(const std::vector<std::string>& ids, Change change) {
        std::vector<std::string> before;
        for (const auto& id : ids) before.push_back(text(id));
        document.undo.beginUndoGrouping();
        change();
        document.undo.endUndoGrouping();
        document.undo.undo();
        for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(text(ids[i]), before[i]) << ids[i];
    }
};

constexpr const char* kPeople =
    "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n"
    "0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n"
    "0 @I3@ INDI\n1 NAME Otto /Kern/\n1 SEX M\n"
    "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n";

struct SpouseCase {
    const char* family;
    const char* individual;
    const char* tag;
    const char* familyAfter;
    const char* displacedAfter;  // text of @I1@ afterwards
};

TEST_F(FamilyFixture, SpouseSlotsAndFAMSPlacement) {
    const SpouseCase cases[] = {
        {"1 MARR\n", "@I1@", "HUSB", "0 @F1@ FAM\n1 HUSB @I1@\n1 MARR\n", "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n"},
        {"1 HUSB @I1@\n", "@I2@", "WIFE", "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n",
         "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n"},
        // the asked slot taken, the other free: the other slot is used
        {"1 HUSB @I1@\n", "@I3@", "HUSB", "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I3@\n",
         "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n"},
        // both taken: the present husband leaves, the new one comes first
        {"1 HUSB @I1@\n1 WIFE @I2@\n", "@I3@", "HUSB", "0 @F1@ FAM\n1 HUSB @I3@\n1 WIFE @I2@\n",
         "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family) + c.individual);
        StoreFixture fresh;
        std::string people = kPeople;
        // the individuals already in the family hold their FAMS
        fresh.read("0 HEAD\n" + people + "0 @F1@ FAM\n" + c.family + "0 TRLR\n");
        auto family = std::dynamic_pointer_cast<FAMRecord>(fresh.model.recordWithID("@F1@", "FAM"));
        for (const char* id : {"@I1@", "@I2@"})
            if (family->hasLink("HUSB", id) || family->hasLink("WIFE", id)) {
                auto person = fresh.model.recordWithID(id, "INDI");
                person->addLevel(1, "FAMS", "@F1@");
            }
        family->attachSpouse(std::dynamic_pointer_cast<INDIRecord>(fresh.model.recordWithID(c.individual, "INDI")),
                             c.tag);
        EXPECT_EQ(family->gedcomString(), c.familyAfter);
        EXPECT_EQ(fresh.model.recordWithID("@I1@", "INDI")->gedcomString(), c.displacedAfter);
        EXPECT_TRUE(fresh.model.recordWithID(c.individual, "INDI")->hasLink("FAMS", "@F1@"));
    }
}

struct ChildCase {
    const char* family;
    int pedigree;
    const char* familyAfter;
    const char* childAfter;
};

TEST_F(FamilyFixture, ChildIsLastAndCarriesItsPedigree) {
    const ChildCase cases[] = {
        {"1 HUSB @I1@\n1 CHIL @I3@\n1 NOTE n\n", 0, "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I3@\n1 CHIL @I4@\n1 NOTE n\n",
         "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n"},
        {"1 HUSB @I1@\n1 MARR\n1 MARR\n", 1, "0 @F1@ FAM\n1 HUSB @I1@\n1 MARR\n1 CHIL @I4@\n1 MARR\n",
         "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n2 PEDI Adopted\n"},
        {"1 NOTE n\n1 WIFE @I2@\n", 2, "0 @F1@ FAM\n1 NOTE n\n1 WIFE @I2@\n1 CHIL @I4@\n",
         "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n2 PEDI Foster\n"},
        {"", 3, "0 @F1@ FAM\n1 CHIL @I4@\n",
         "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n2 PEDI Sealing\n"},
        {"", 7, "0 @F1@ FAM\n1 CHIL @I4@\n", "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family) + std::to_string(c.pedigree));
        StoreFixture fresh;
        fresh.read(std::string("0 HEAD\n") + kPeople + "0 @F1@ FAM\n" + c.family + "0 TRLR\n");
        auto family = std::dynamic_pointer_cast<FAMRecord>(fresh.model.recordWithID("@F1@", "FAM"));
        family->attachChild(std::dynamic_pointer_cast<INDIRecord>(fresh.model.recordWithID("@I4@", "INDI")),
                            c.pedigree);
        EXPECT_EQ(family->gedcomString(), c.familyAfter);
        EXPECT_EQ(fresh.model.recordWithID("@I4@", "INDI")->gedcomString(), c.childAfter);
    }
}

TEST_F(FamilyFixture, NotMarriedRemovesOnlyTheFirstMarriageAndDoesNotBringItBack) {
    load(std::string(kPeople) + "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n2 DATE 1900\n1 MARR\n2 DATE 1910\n");
    auto family = fam("@F1@");
    family->toggleMaritalStatus();
    EXPECT_TRUE(family->isUnmarried());
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 _UMR Y\n1 MARR\n2 DATE 1910\n");
    family->toggleMaritalStatus();
    EXPECT_FALSE(family->isUnmarried());
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n2 DATE 1910\n");
}

TEST_F(FamilyFixture, EveryChangeUndoesOnBothSides) {
    load(std::string(kPeople) + "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 MARR\n");
    indi("@I1@")->addLevel(1, "FAMS", "@F1@");
    indi("@I2@")->addLevel(1, "FAMS", "@F1@");
    indi("@I3@")->addLevel(1, "FAMC", "@F1@");
    const std::vector<std::string> all{"@F1@", "@I1@", "@I2@", "@I3@", "@I4@"};
    changeThenUndo(all, [&] { fam("@F1@")->attachSpouse(indi("@I4@"), "WIFE"); });
    changeThenUndo(all, [&] { fam("@F1@")->attachChild(indi("@I4@"), 1); });
    changeThenUndo(all, [&] { fam("@F1@")->detachChild(indi("@I3@")); });
    changeThenUndo(all, [&] { fam("@F1@")->detachSpouse("HUSB"); });
    changeThenUndo(all, [&] { fam("@F1@")->toggleMaritalStatus(); });
    changeThenUndo(all, [&] { fam("@F1@")->removeAllLinks(); });
}

TEST_F(FamilyFixture, RemovingTheFamilyLeavesNoLinkToItInAnyTarget) {
    load(std::string(kPeople) + "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 _LOG @L1@\n"
                                "0 @L1@ _LOG\n1 _FAM @F1@\n");
    indi("@I1@")->addLevel(1, "FAMS", "@F1@");
    indi("@I2@")->addLevel(1, "FAMS", "@F1@");
    indi("@I3@")->addLevel(1, "FAMC", "@F1@");
    fam("@F1@")->removeAllLinks();
    for (const char* id : {"@I1@", "@I2@", "@I3@", "@L1@"}) EXPECT_EQ(text(id).find("@F1@"), std::string::npos) << id;
    EXPECT_TRUE(indi("@I1@"));
}

TEST_F(FamilyFixture, RenumberingRepointsSpousesChildrenAndLogs) {
    load(std::string(kPeople) + "0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I3@\n1 _LOG @L1@\n0 @L1@ _LOG\n1 _FAM @F1@\n");
    indi("@I1@")->addLevel(1, "FAMS", "@F1@");
    indi("@I3@")->addLevel(1, "FAMC", "@F1@");
    fam("@F1@")->changeAllLinksFromID("@F1@", "@F7@", true);
    for (const char* id : {"@I1@", "@I3@", "@L1@"}) EXPECT_NE(text(id).find("@F7@"), std::string::npos) << id;
}

TEST_F(FamilyFixture, ConnectedNeedsTwoPeople) {
    load(std::string(kPeople) + "0 @F1@ FAM\n1 WIFE @I2@\n1 CHIL @I3@\n0 @F2@ FAM\n1 HUSB @I1@\n");
    EXPECT_TRUE(fam("@F1@")->isConnected());
    EXPECT_FALSE(fam("@F2@")->isConnected());
    EXPECT_EQ(fam("@F1@")->children().size(), 1u);
    EXPECT_EQ(fam("@F1@")->spouseIDFor("@I2@"), "");
}

}  // namespace
}  // namespace kl
