// Whether two records may merge: individuals by name, sex, lock and birth
// and death dates within 1827 days; families by their known spouses and
// marriage dates within 1827 days; other kinds by their view names.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class MergeRules : public testing::Test, public test::PeopleStoreFixture {};

struct IndividualMergeCase {
    const char* kept;
    const char* other;
    bool merges;
};

TEST_F(MergeRules, Individuals) {
    const IndividualMergeCase cases[] = {
        {"1 NAME Karl /Berg/\n1 SEX M\n", "1 NAME KARL /berg/\n1 SEX m\n", true},  // names differing in case only
        {"1 NAME Karl /Berg/\n1 SEX M\n", "1 NAME Karl /Bergs/\n1 SEX M\n", false},
        {"1 SEX M\n", "1 SEX M\n", true},  // two unnamed
        {"1 NAME Karl /Berg/\n", "1 NAME Karl /Berg/\n1 SEX M\n", false},
        {"1 NAME Karl /Berg/\n1 SEX U\n", "1 NAME Karl /Berg/\n", true},  // unknown merges with unknown only
        {"1 NAME Karl /Berg/\n1 RESN locked\n", "1 NAME Karl /Berg/\n", false},
        {"1 NAME Karl /Berg/\n", "1 NAME Karl /Berg/\n1 RESN locked\n", true},  // only the kept record's lock counts
        // 1827 days apart merge, 1828 do not, in either order
        {"1 BIRT\n2 DATE 1 FEB 1820\n", "1 BIRT\n2 DATE 1 FEB 1825\n", true},
        {"1 BIRT\n2 DATE 1 FEB 1820\n", "1 BIRT\n2 DATE 2 FEB 1825\n", false},
        {"1 BIRT\n2 DATE 2 FEB 1825\n", "1 BIRT\n2 DATE 1 FEB 1820\n", false},
        {"1 BIRT\n2 DATE 1 FEB 1825\n", "1 BIRT\n2 DATE 1 FEB 1820\n", true},
        {"1 DEAT\n2 DATE 1 FEB 1880\n", "1 DEAT\n2 DATE 1 FEB 1885\n", true},
        {"1 DEAT\n2 DATE 1 FEB 1880\n", "1 DEAT\n2 DATE 2 FEB 1885\n", false},
        // a range overlapping the window merges
        {"1 BIRT\n2 DATE 1820\n", "1 BIRT\n2 DATE 1825\n", true},
        // missing or unreadable dates pass
        {"1 BIRT\n2 DATE 1 FEB 1820\n", "1 BIRT\n2 PLAC Salem\n", true},
        {"1 BIRT\n2 DATE 1 FEB 1820\n", "1 BIRT\n2 DATE no day\n", true},
        {"1 BIRT\n2 DATE garbage\n", "1 BIRT\n2 DATE 1 FEB 1900\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kept) + "|" + c.other);
        load(std::string("0 @I1@ INDI\n") + c.kept + "0 @I2@ INDI\n" + c.other);
        EXPECT_EQ(indi("@I1@")->canMergeWith(*indi("@I2@")), c.merges);
    }
    EXPECT_EQ(indi("@I1@")->mergeRequirement(),
              "To merge individuals, they must have the same name and sex, be unlocked, and have birth and death "
              "dates (if known) within 5 years.");
}

TEST_F(MergeRules, KindsDoNotMergeAcross) {
    load("0 @I1@ INDI\n0 @F1@ FAM\n");
    EXPECT_FALSE(indi("@I1@")->canMergeWith(*fam("@F1@")));
    EXPECT_FALSE(fam("@F1@")->canMergeWith(*indi("@I1@")));
}

struct FamilyMergeCase {
    const char* kept;
    const char* other;
    bool merges;
};

TEST_F(MergeRules, Families) {
    const FamilyMergeCase cases[] = {
        {"1 HUSB @I1@\n1 MARR\n2 DATE 1 FEB 1820\n", "1 HUSB @I1@\n1 MARR\n2 DATE 1 FEB 1825\n", true},
        {"1 HUSB @I1@\n1 MARR\n2 DATE 1 FEB 1820\n", "1 HUSB @I1@\n1 MARR\n2 DATE 2 FEB 1825\n", false},
        {"1 HUSB @I1@\n1 MARR\n2 DATE 2 FEB 1825\n", "1 HUSB @I1@\n1 MARR\n2 DATE 1 FEB 1820\n", false},
        {"1 HUSB @I1@\n", "1 HUSB @I2@\n", false},
        {"1 WIFE @I3@\n", "1 WIFE @I4@\n", false},
        {"1 HUSB @I1@\n", "1 WIFE @I4@\n", true},  // an unknown spouse matches anyone
        {"1 HUSB @I1@\n1 WIFE @I3@\n", "1 HUSB @I1@\n", true},
        {"1 MARR\n2 DATE 1 FEB 1820\n", "1 MARR\n2 DATE garbage\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kept) + "|" + c.other);
        load(std::string("0 @F1@ FAM\n") + c.kept + "0 @F2@ FAM\n" + c.other);
        EXPECT_EQ(fam("@F1@")->canMergeWith(*fam("@F2@")), c.merges);
    }
    EXPECT_EQ(fam("@F1@")->mergeRequirement(),
              "To merge families, they must have the same known spouses and have marriage dates (if known) within "
              "5 years.");
}

TEST_F(MergeRules, OtherKindsCompareViewNamesIgnoringCase) {
    load("0 @R1@ _XYZ\n0 @r1@ _XYZ\n0 @R12@ _XYZ\n");
    auto first = model.recordWithID("@R1@", "");
    auto sameButCase = model.recordWithID("@r1@", "");
    auto longer = model.recordWithID("@R12@", "");
    ASSERT_TRUE(first && sameButCase && longer);
    EXPECT_TRUE(first->canMergeWith(*sameButCase));
    EXPECT_FALSE(first->canMergeWith(*longer));
    EXPECT_TRUE(first->prepareToMergeWith(*longer));
    EXPECT_EQ(first->mergeRequirement(), "To merge records, they must have the same 'view' name in the index window.");
}

// Asked through the record base, as the merge command asks: the objects'
// files decide, not their titles.
TEST_F(MergeRules, MultimediaObjectsCompareTheirFilesIgnoringCase) {
    load("0 @O1@ OBJE\n1 FILE a/Photo.jpg\n1 TITL One\n0 @O2@ OBJE\n1 FILE A/photo.JPG\n1 TITL Two\n"
         "0 @O3@ OBJE\n1 FILE other.jpg\n1 TITL One\n");
    std::shared_ptr<GEDCOMRecord> first = model.recordWithID("@O1@", "");
    std::shared_ptr<GEDCOMRecord> sameFile = model.recordWithID("@O2@", "");
    std::shared_ptr<GEDCOMRecord> sameTitle = model.recordWithID("@O3@", "");
    ASSERT_TRUE(first && sameFile && sameTitle);
    EXPECT_TRUE(first->canMergeWith(*sameFile));
    EXPECT_FALSE(first->canMergeWith(*sameTitle));
    EXPECT_EQ(first->mergeRequirement(),
              "To merge multimedia objects, they must be linked to the same file or web site.");
}

}  // namespace
}  // namespace kl
