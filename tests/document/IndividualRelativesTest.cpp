// An individual's relatives through its FAMS and FAMC links: parents of the
// birth family, spouses, children, the browser's lists and the stepped list
// of all parent families with its counts. Links to missing records are
// skipped.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/RecordPathFacts.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordLinkLists.h"

namespace kl {
namespace {

template <typename Records>
std::vector<std::string> ids(const Records& records) {
    std::vector<std::string> out;
    for (const auto& r : records) out.push_back(r->grecordID());
    return out;
}

using IDs = std::vector<std::string>;

// @I1@ is the child of F1 (Karl and Eva) and of F5 (foster, Otto alone);
// Karl also heads F2 and F3, Eva also heads F4 and, with Karl, F3.
class Relatives : public testing::Test, public test::PeopleStoreFixture {
protected:
    void SetUp() override {
        load("0 @I1@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 FAMC @F1@\n1 FAMC @F9@\n1 FAMC @F5@\n"
             "1 FAMS @F6@\n1 FAMS @F7@\n1 BIRT\n2 PLAC Salem\n"
             "0 @I2@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n1 FAMS @F3@\n"
             "0 @I3@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n1 FAMS @F1@\n1 FAMS @F4@\n1 FAMS @F3@\n"
             "0 @I4@ INDI\n1 NAME Otto /Kern/\n1 SEX M\n1 FAMS @F5@\n"
             "0 @I5@ INDI\n1 NAME Max /Berg/\n1 FAMC @F1@\n"
             "0 @I6@ INDI\n1 NAME Ida /Berg/\n1 FAMC @F1@\n"
             "0 @I7@ INDI\n1 NAME Jan /Holm/\n1 SEX M\n1 FAMS @F6@\n"
             "0 @I8@ INDI\n1 NAME Tom /Holm/\n1 FAMC @F6@\n"
             "0 @I9@ INDI\n1 NAME Una /Holm/\n1 FAMC @F7@\n"
             "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I5@\n1 CHIL @I1@\n1 CHIL @I6@\n"
             "0 @F2@ FAM\n1 HUSB @I2@\n"
             "0 @F3@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n"
             "0 @F4@ FAM\n1 WIFE @I3@\n"
             "0 @F5@ FAM\n1 HUSB @I4@\n1 CHIL @I1@\n"
             "0 @F6@ FAM\n1 HUSB @I7@\n1 WIFE @I1@\n1 CHIL @I8@\n1 CHIL @I99@\n"
             "0 @F7@ FAM\n1 WIFE @I1@\n1 CHIL @I9@\n");
    }
};

TEST_F(Relatives, AllParentFamiliesInStepsWithTheirCounts) {
    INDIRecord::ParentSteps steps;
    // F9 does not exist; F3 is both the father's and the mother's other family
    EXPECT_EQ(ids(indi("@I1@")->allParentsStartStep(&steps)), (IDs{"@F1@", "@F5@", "@F2@", "@F3@", "@F4@", "@F3@"}));
    EXPECT_EQ(steps.own, 2u);
    EXPECT_EQ(steps.father, 2u);
    EXPECT_EQ(ids(indi("@I1@")->allParents()).size(), 6u);

    EXPECT_EQ(ids(indi("@I2@")->allParentsStartStep(&steps)), IDs{});
    EXPECT_EQ(steps.own, 0u);
    EXPECT_EQ(steps.father, 0u);
}

TEST_F(Relatives, ParentsOfOneSexFollowTheParentFamilies) {
    EXPECT_EQ(ids(indi("@I1@")->allParentsWithSex(u'M')), (IDs{"@I2@", "@I4@", "@I2@", "@I2@", "@I2@"}));
    EXPECT_EQ(ids(indi("@I1@")->allParentsWithSex(u'F')), (IDs{"@I3@", "@I3@", "@I3@", "@I3@"}));
    EXPECT_TRUE(indi("@I2@")->allParentsWithSex(u'M').empty());
}

TEST_F(Relatives, BirthFamilyParents) {
    auto lena = indi("@I1@");
    EXPECT_EQ(lena->parentsFAM()->grecordID(), "@F1@");
    EXPECT_EQ(ids(*lena->parents()), (IDs{"@I2@", "@I3@"}));
    EXPECT_EQ(lena->fatherRecord()->grecordID(), "@I2@");
    EXPECT_EQ(lena->motherRec().objectAs<INDIRecord>()->grecordID(), "@I3@");
}

TEST_F(Relatives, ABirthFamilyThatIsMissingOrEmptyGivesNoParents) {
    // only the first FAMC is the birth family
    load("0 @I20@ INDI\n1 FAMC @F99@\n1 FAMC @F21@\n0 @F21@ FAM\n1 HUSB @I22@\n1 CHIL @I20@\n"
         "0 @I21@ INDI\n1 FAMC @F20@\n0 @F20@ FAM\n1 CHIL @I21@\n0 @I22@ INDI\n");
    for (const char* id : {"@I20@", "@I21@", "@I22@"}) {
        SCOPED_TRACE(id);
        auto person = indi(id);
        EXPECT_FALSE(person->parents().has_value());
        EXPECT_TRUE(person->parentRecs().empty());
        EXPECT_EQ(person->fatherRec(), Value(""));
        EXPECT_EQ(person->motherRec(), Value(""));
        EXPECT_EQ(person->fatherRecord(), nullptr);
    }
}

TEST_F(Relatives, SpousesAndChildrenAcrossSpouseFamilies) {
    auto lena = indi("@I1@");
    EXPECT_EQ(ids(*lena->spouses(nullptr)), (IDs{"@F6@", "@F7@"}));
    EXPECT_EQ(ids(*lena->spouses(fam("@F6@").get())), IDs{"@F7@"});
    EXPECT_EQ(ids(lena->spouseRecs()), IDs{"@I7@"});  // F7 has no husband
    EXPECT_EQ(ids(lena->childrenRecs()), (IDs{"@I8@", "@I9@"}));

    auto otto = indi("@I4@");
    EXPECT_FALSE(otto->spouses(fam("@F5@").get()).has_value());  // nothing left: none, not empty
    EXPECT_TRUE(indi("@I5@")->spouseFamsRecs().empty());
    EXPECT_TRUE(indi("@I5@")->spouseRecs().empty());
    EXPECT_TRUE(indi("@I5@")->childrenRecs().empty());
}

struct SpouseLinkCase {
    const char* id;
    std::size_t index;
    const char* famsOf;  // the FAMS answered, or "" for none
    const char* spouseID;
};

TEST_F(Relatives, NthSpouseLinkAndTheOtherSpouse) {
    const SpouseLinkCase cases[] = {
        {"@I1@", 0, "@F6@", "@I7@"}, {"@I1@", 1, "@F6@", "@I7@"}, {"@I1@", 2, "", ""},  // F7 has no other spouse
        {"@I1@", 3, "", "untouched"},  {"@I2@", 2, "", ""},      {"@I3@", 3, "@F3@", "@I2@"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.index));
        std::string spouseID = "untouched";
        auto link = indi(c.id)->spouseLink(spouseID, c.index);
        EXPECT_EQ(link ? link->contents() : "", c.famsOf);
        EXPECT_EQ(spouseID, c.spouseID);
        // record paths read the same link
        std::string pathID = "untouched";
        EXPECT_EQ(RecordPathFacts::spouse(*indi(c.id), c.index, &model, pathID), link.get());
    }
    std::shared_ptr<GEDCOMStructure> link;
    EXPECT_EQ(indi("@I3@")->spouse(&link, 1)->grecordID(), "@I2@");
    EXPECT_EQ(link->contents(), "@F1@");
}

TEST_F(Relatives, BrowserListsHoldSpouseFamiliesThenParentFamilies) {
    RecordLinkLists lists;
    indi("@I5@")->setUpLinkLists(lists);
    EXPECT_EQ(lists.families, IDs{"@F1@"});
    EXPECT_EQ(lists.siblings, (IDs{"@I1@", "@I6@"}));
    EXPECT_EQ(lists.fatherOrHusband, IDs{"@I2@"});
    EXPECT_EQ(lists.motherOrWife, IDs{"@I3@"});

    indi("@I1@")->setUpLinkLists(lists);
    EXPECT_EQ(lists.families, (IDs{"@F6@", "@F7@", "@F1@", "@F5@"}));
    EXPECT_EQ(lists.spouses, IDs{"@I7@"});
    EXPECT_EQ(lists.children, (IDs{"@I8@", "@I9@"}));  // the missing @I99@ is skipped
    EXPECT_EQ(lists.fatherOrHusband, (IDs{"@I2@", "@I4@"}));
    EXPECT_EQ(lists.siblings, (IDs{"@I5@", "@I6@"}));
}

TEST_F(Relatives, FamilyListsReachEachSpousesOtherFamilies) {
    RecordLinkLists lists;
    fam("@F1@")->setUpLinkLists(lists);
    EXPECT_EQ(lists.fatherOrHusband, IDs{"@I2@"});
    EXPECT_EQ(lists.motherOrWife, IDs{"@I3@"});
    EXPECT_EQ(lists.children, (IDs{"@I5@", "@I1@", "@I6@"}));
    // Karl's other families, Eva's other families, then Lena's spouse families
    EXPECT_EQ(lists.families, (IDs{"@F2@", "@F3@", "@F4@", "@F3@", "@F6@", "@F7@"}));

    auto both = fam("@F6@")->childrenAndSpouses();
    ASSERT_TRUE(both);
    EXPECT_EQ(ids(*both), IDs{"@I8@"});
    EXPECT_FALSE(fam("@F2@")->childrenAndSpouses().has_value());
    EXPECT_EQ(fam("@F2@")->wifeRec(), Value(""));
}

}  // namespace
}  // namespace kl
