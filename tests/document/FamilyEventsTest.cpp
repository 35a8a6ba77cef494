// A family's marriage data, names and search texts, the check of a
// candidate child's dates against its parents (warnings at 181 and 481
// days after a parent's death and at 43800 days before it), and the drops
// that attach children and spouses.
#include <gtest/gtest.h>

#include <cstring>

#include "StoreTestSupport.h"
#include "dates/DateBridge.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

// "D MON YYYY" of a day number.
std::string dayText(SDN sdn) {
    static const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    int year = 0, month = 0, day = 0;
    sdnToGregorianDate(sdn, year, month, day);
    return std::to_string(day) + " " + months[month - 1] + " " + std::to_string(year);
}

const SDN kBase = earliestSdnForDate("1 JAN 1850");

std::string dated(const char* event, std::optional<SDN> offset) {
    if (!offset) return "";
    return std::string("1 ") + event + "\n2 DATE " + dayText(kBase + *offset) + "\n";
}

class FamilyEvents : public testing::Test, public test::PeopleStoreFixture {};

struct ChildCase {
    const char* label;
    std::optional<SDN> childBirth, childDeath, motherBirth, motherDeath, fatherBirth, fatherDeath;
    const char* warning;  // "" for none; %c child birth, %d child death, %M/%F parent dates filled below
};

TEST_F(FamilyEvents, ChildDatesAgainstTheParents) {
    const std::nullopt_t none = std::nullopt;
    const ChildCase cases[] = {
        {"born 180 days after the mother died", 180, none, none, 0, none, none, ""},
        {"born 181 days after the mother died", 181, none, none, 0, none, none,
         "Kid Berg's birth date (%c) may be after mother (Eva Roth, d:%Md) died."},
        {"born 480 days after the father died", 480, none, none, none, none, 0, ""},
        {"born 481 days after the father died", 481, none, none, none, none, 0,
         "Kid Berg's birth date (%c) may be well after father (Karl Berg, d:%Fd) died."},
        {"born before the mother", 0, none, 1, none, none, none,
         "Kid Berg's birth date (%c) may be before mother (Eva Roth, b:%Mb) was born."},
        {"born the day the mother was", 0, none, 0, none, none, none, ""},
        {"born before the father", 0, none, none, none, 1, none,
         "Kid Berg's birth date (%c) may be before father (Karl Berg, b:%Fb) was born."},
        {"died before the mother was born", none, 0, 1, none, none, none,
         "Kid Berg's death date (%d) may be before mother (Eva Roth, b:%Mb) was born."},
        {"died before the father was born", none, 0, none, none, 1, none,
         "Kid Berg's death date (%d) may be before father (Karl Berg, b:%Fb) was born."},
        // a parent without a birth date lived at most 43800 days
        {"died 43801 days before the mother", none, 0, none, 43801, none, none,
         "Kid Berg's death date (%d) may be before mother (Eva Roth, d:%Md) was born."},
        {"died 43800 days before the mother", none, 0, none, 43800, none, none, ""},
        {"died 43801 days before the father", none, 0, none, none, none, 43801,
         "Kid Berg's death date (%d) may be before father (Karl Berg, d:%Fd) was born."},
        {"the mother's test comes first", 500, none, none, 0, none, 0,
         "Kid Berg's birth date (%c) may be after mother (Eva Roth, d:%Md) died."},
        {"no dates at all", none, none, 1, 2, 3, 4, ""},
        {"no parent dates", 0, 10, none, none, none, none, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n" + dated("BIRT", c.fatherBirth) +
             dated("DEAT", c.fatherDeath) + "0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n1 FAMS @F1@\n" +
             dated("BIRT", c.motherBirth) + dated("DEAT", c.motherDeath) + "0 @I3@ INDI\n1 NAME Kid /Berg/\n" +
             dated("BIRT", c.childBirth) + dated("DEAT", c.childDeath) +
             "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n");
        std::string expected = c.warning;
        const std::pair<const char*, std::string> holes[] = {
            {"%c", indi("@I3@")->birthDate()}, {"%d", indi("@I3@")->deathDate()},
            {"%Mb", indi("@I2@")->birthDate()}, {"%Md", indi("@I2@")->deathDate()},
            {"%Fb", indi("@I1@")->birthDate()}, {"%Fd", indi("@I1@")->deathDate()}};
        for (const auto& [hole, value] : holes)
            if (auto at = expected.find(hole); at != std::string::npos) expected.replace(at, std::strlen(hole), value);
        bool fatal = true;
        auto message = fam("@F1@")->verifyChild(indi("@I3@"), fatal);
        EXPECT_EQ(message.value_or(""), expected);
        if (!expected.empty()) {
            EXPECT_FALSE(fatal);
        }
    }
}

TEST_F(FamilyEvents, ChildrenThatCannotBeAttachedAreRefusedOutright) {
    load("0 @I1@ INDI\n1 NAME Karl /Berg/\n0 @I2@ INDI\n1 NAME Eva /Roth/\n0 @I3@ INDI\n1 NAME Kid /Berg/\n"
         "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n0 @F2@ FAM\n");
    const struct {
        std::shared_ptr<INDIRecord> candidate;
        const char* message;
    } cases[] = {
        {nullptr, "No child was selected."},
        {indi("@I3@"), "The individual Kid Berg is already attached to this family."},
        {indi("@I1@"), "The individual Karl Berg is the father in this family and therefore cannot also be a child."},
        {indi("@I2@"), "The individual Eva Roth is the mother in this family and therefore cannot also be a child."},
    };
    for (const auto& c : cases) {
        bool fatal = false;
        EXPECT_EQ(fam("@F1@")->verifyChild(c.candidate, fatal), std::optional<std::string>(c.message));
        EXPECT_TRUE(fatal);
    }
    bool fatal = false;
    EXPECT_EQ(fam("@F2@")->verifyChild(indi("@I3@"), fatal), std::nullopt);  // no parents to compare with
}

TEST_F(FamilyEvents, DroppedIndividualsBecomeChildrenOrSpouses) {
    load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 DEAT\n2 DATE 1 JAN 1850\n"
         "0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n"
         "0 @I3@ INDI\n1 NAME Kid /Berg/\n1 BIRT\n2 DATE 1 JAN 1860\n"
         "0 @I4@ INDI\n1 NAME Max /Berg/\n"
         "0 @F1@ FAM\n1 HUSB @I1@\n1 FAMS @F1@\n");
    auto family = fam("@F1@");
    EXPECT_EQ(family->drop(indi("@I4@")), std::nullopt);
    EXPECT_EQ(indi("@I4@")->parentsFAM(), family);
    EXPECT_EQ(family->drop(indi("@I4@")), "The individual Max Berg is already attached to this family.");
    EXPECT_EQ(family->drop(indi("@I3@")),
              "Kid Berg's birth date (1 JAN 1860) may be well after father (Karl Berg, d:1 JAN 1850) died. Use "
              "Attach->Child... menu command if you still want to attach.");
    EXPECT_EQ(family->children().size(), 1u);

    EXPECT_EQ(family->drop(indi("@I4@"), true),
              "The selected individual has unknown sex and cannot be attached as a spouse.");
    EXPECT_EQ(family->drop(indi("@I2@"), true), std::nullopt);
    EXPECT_EQ(family->wifeID(), "@I2@");
    EXPECT_TRUE(indi("@I2@")->hasLink("FAMS", "@F1@"));
}

TEST_F(FamilyEvents, HusbandSetterTakesOnlyMen) {
    load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n0 @F1@ FAM\n");
    auto family = fam("@F1@");
    family->setHusbandRecord(indi("@I2@"));
    EXPECT_EQ(family->husbandID(), "");
    family->setHusbandRecord(indi("@I1@"));
    EXPECT_EQ(family->husbandID(), "@I1@");
    EXPECT_TRUE(indi("@I1@")->hasLink("FAMS", "@F1@"));
    family->setHusbandRecord(nullptr);
    EXPECT_EQ(family->husbandID(), "");
    EXPECT_FALSE(indi("@I1@")->hasLink("FAMS", "@F1@"));
}

struct FamilyNameCase {
    const char* lines;
    const char* view;
    const char* alt;
    const char* ipn;
    const char* married;    // wife slot, husband slot
    const char* unmarried;
};

TEST_F(FamilyEvents, NamesOfTheFamilyAndItsSpouseSlots) {
    const FamilyNameCase cases[] = {
        {"1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n2 DATE ABT 1850\n", "Berg, Karl-Roth, Eva Family",
         "Karl Berg and Eva Roth Family", "Berg/Roth (c1850)", "Wife Husband", "Mother Father"},
        {"1 WIFE @I2@\n", "(unknown husband)-Roth, Eva Family", "(unknown husband) and Eva Roth Family", "/Roth ()",
         "Wife Husband", "Mother Father"},
        {"1 HUSB @I9@\n1 WIFE @I3@\n", "(unknown husband)-Berg, Ida Family", "(unknown husband) and Ida Berg Family",
         "/Berg ()", "Husband Husband", "Father Father"},  // Ida's sex is unknown
        {"", "(unknown husband)-(unknown wife) Family", "(unknown husband) and (unknown wife) Family", "/ ()",
         "Wife Husband", "Mother Father"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n"
             "0 @I3@ INDI\n1 NAME Ida /Berg/\n0 @F1@ FAM\n" +
             std::string(c.lines));
        auto family = fam("@F1@");
        EXPECT_EQ(family->viewName(), c.view);
        EXPECT_EQ(family->altViewName(), c.alt);
        EXPECT_EQ(family->ipnName(), c.ipn);
        EXPECT_EQ(family->marriedName("WIFE") + " " + family->marriedName("HUSB"), c.married);
        EXPECT_EQ(family->unmarriedName("WIFE") + " " + family->unmarriedName("HUSB"), c.unmarried);
    }
}

TEST_F(FamilyEvents, MarriageDataSettersAndAnniversary) {
    test::FixedToday today(2024, 3, 5);
    load("0 @F1@ FAM\n1 HUSB @I1@\n0 @F2@ FAM\n1 MARR\n2 DATE 6 MAR 1990\n2 PLAC Salem\n2 ADDR Church St\n");
    auto bare = fam("@F1@");
    EXPECT_EQ(bare->marriageDate(), "");
    EXPECT_EQ(bare->marriageSDN(), 0);
    EXPECT_EQ(bare->anniversaryInYears(), -1);
    EXPECT_EQ(bare->marriagePlaceWithAddress(), "");
    document.undo.beginUndoGrouping();
    bare->setMarriagePlace("Lynn");
    bare->setMarriageDate("1 JUN 1900");
    document.undo.endUndoGrouping();
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n1 MARR\n2 PLAC Lynn\n2 DATE 1 JUN 1900\n");
    EXPECT_EQ(bare->anniversaryInYears(), 123);
    document.undo.undo();
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 HUSB @I1@\n");

    auto married = fam("@F2@");
    EXPECT_EQ(married->marriagePlace(), "Salem");
    EXPECT_EQ(married->marriagePlaceWithAddress(), "Salem at Church St");
    EXPECT_EQ(married->marriageSDNMax(), earliestSdnForDate("6 MAR 1990"));
    EXPECT_EQ(married->marriageDateUser(), userDisplayDate("6 MAR 1990"));
    EXPECT_EQ(married->anniversaryInYears(), 33);
}

struct FamilyTermsCase {
    const char* lines;
    std::optional<std::array<const char*, 4>> terms;
    const char* words;
};

TEST_F(FamilyEvents, SearchTextsStartFromTheHusbandAndPreferTheMarriage) {
    const FamilyTermsCase cases[] = {
        {"1 HUSB @I1@\n1 WIFE @I2@\n", std::array<const char*, 4>{"Karl", "Berg", "Essex", "1825"},
         "Karl Berg Eva Roth  "},  // his place and her year
        {"1 HUSB @I1@\n1 WIFE @I2@\n1 MARR\n2 DATE ABT 1850\n2 PLAC Salem, Essex\n",
         std::array<const char*, 4>{"Karl", "Berg", "Salem, Essex", "1850"}, "Karl Berg Eva Roth Salem, Essex ABT 1850"},
        {"1 WIFE @I2@\n", std::array<const char*, 4>{"Eva", "Roth", "", "1825"}, "(unknown husband) Eva Roth  "},
        {"1 CHIL @I1@\n", std::nullopt, "(unknown husband) (unknown wife)  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 DEAT\n2 PLAC Lynn, Essex\n"
             "0 @I2@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n1 BIRT\n2 DATE BEF 1825\n0 @F1@ FAM\n" +
             std::string(c.lines));
        auto terms = fam("@F1@")->familySearchTerms();
        EXPECT_EQ(terms.has_value(), c.terms.has_value());
        if (terms && c.terms) {
            ASSERT_TRUE(terms->array() && terms->array()->size() == 4);
            for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(*(*terms->array())[i].string(), (*c.terms)[i]) << i;
        }
        EXPECT_EQ(fam("@F1@")->googleWords(), c.words);
    }
}

}  // namespace
}  // namespace kl
