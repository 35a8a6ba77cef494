// Individuals read from GEDCOM text into a store: names, sex changes with
// their family side effects, drops and the upkeep of links on delete and
// renumbering.
#include <gtest/gtest.h>

#include <map>

#include "StoreTestSupport.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class IndividualFixture : public testing::Test, public test::PeopleStoreFixture {};

struct NameCase {
    const char* lines;
    const char* view;
    const char* alt;
    const char* surname;
    const char* first;
    const char* middle;
};

TEST_F(IndividualFixture, NamesInEveryForm) {
    const NameCase cases[] = {
        {"", "Individual ID @I1@", "Individual ID @I1@", "", "", ""},
        {"1 NAME\n", "Individual ID @I1@", "Individual ID @I1@", "", "", ""},
        {"1 NAME Karl Otto /Berg/ Jr.\n", "Berg, Karl Otto Jr.", "Karl Otto Berg Jr.", "Berg", "Karl", "Otto"},
        {"1 NAME /Berg/ Karl\n", "Berg Karl", "Berg Karl", "Berg", "Karl", ""},
        {"1 NAME Anna /Roth/\n1 NAME Hanna /Rot/\n", "Roth, Anna", "Anna Roth", "Roth", "Anna", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        StoreFixture fresh;
        fresh.read(std::string("0 HEAD\n0 @I1@ INDI\n") + c.lines + "0 TRLR\n");
        auto person = std::dynamic_pointer_cast<INDIRecord>(fresh.model.recordWithID("@I1@", "INDI"));
        ASSERT_TRUE(person);
        EXPECT_EQ(person->viewName(), c.view);
        EXPECT_EQ(person->altViewName(), c.alt);
        EXPECT_EQ(person->surname(), c.surname);
        EXPECT_EQ(person->firstname(), c.first);
        EXPECT_EQ(person->middlename(), c.middle);
        EXPECT_EQ(person->viewTags().has_value(), std::string(c.lines).find("NAME") != std::string::npos);
    }
}

TEST_F(IndividualFixture, NewRecordTextCarriesNameAndSexBeforeTheCreationLines) {
    load("0 @I1@ INDI\n");
    auto person = indi("@I1@");
    EXPECT_EQ(person->textForNewRecord(true).rfind("1 NAME Male /New/\n1 SEX M\n", 0), 0u);
    EXPECT_EQ(person->textForNewRecord(false).rfind("1 NAME Female /New/\n1 SEX F\n", 0), 0u);
}

TEST_F(IndividualFixture, SetViewNameTakesTypedSurnameFirstForm) {
    load("0 @I1@ INDI\n1 SEX M\n0 @I2@ INDI\n1 NAME Old /Name/\n");
    indi("@I1@")->setViewName("Berg, Karl");
    indi("@I2@")->setViewName("Roth, Anna");
    EXPECT_EQ(indi("@I1@")->viewName(), "Berg, Karl");
    EXPECT_EQ(indi("@I2@")->viewName(), "Roth, Anna");
    EXPECT_EQ(text("@I2@").find("Old"), std::string::npos);
}

struct SexCase {
    const char* lines;
    const char* value;
    std::optional<std::string> error;
    const char* sex;
};

TEST_F(IndividualFixture, ScriptSexSetterChecksLetterAndSpouseFamilies) {
    const SexCase cases[] = {
        {"1 NAME A /B/\n", "female", std::nullopt, "F"},
        {"1 NAME A /B/\n1 SEX M\n", "u", std::nullopt, "U"},
        {"1 NAME A /B/\n1 SEX M\n", "x", "Sex must begin in 'M', 'F', or 'U'", "M"},
        {"1 NAME A /B/\n", "", "Sex must begin in 'M', 'F', or 'U'", "U"},
        {"1 NAME A /B/\n1 SEX M\n1 FAMS @F1@\n", "F", "Can't change the sex if individual is spouse in a family record",
         "M"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lines) + c.value);
        StoreFixture fresh;
        fresh.read(std::string("0 HEAD\n0 @I1@ INDI\n") + c.lines + "0 @F1@ FAM\n1 HUSB @I1@\n0 TRLR\n");
        auto person = std::dynamic_pointer_cast<INDIRecord>(fresh.model.recordWithID("@I1@", "INDI"));
        EXPECT_EQ(person->setSex(c.value), c.error);
        EXPECT_EQ(person->sex(), c.sex);
    }
}

TEST_F(IndividualFixture, ScriptSexLandsAfterTheNames) {
    load("0 @I1@ INDI\n1 NAME A /B/\n1 NAME C /D/\n1 NOTE x\n");
    EXPECT_EQ(indi("@I1@")->setSex("F"), std::nullopt);
    EXPECT_EQ(text("@I1@"), "0 @I1@ INDI\n1 NAME A /B/\n1 SEX F\n1 NAME C /D/\n1 NOTE x\n");
}

class SexChange : public IndividualFixture {
protected:
    void SetUp() override {
        load("0 @I1@ INDI\n1 NAME Eva /Berg/\n1 SEX F\n1 FAMS @F1@\n1 FAMS @F2@\n"
             "0 @I2@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n"
             "0 @I3@ INDI\n1 NAME Otto /Roth/\n1 FAMS @F2@\n"
             "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n"
             "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I1@\n");
    }
};

TEST_F(SexChange, SwapLeavesEverySpouseFamilyAndUndoRestoresBothSides) {
    const std::string before1 = text("@I1@"), beforeF1 = text("@F1@"), beforeF2 = text("@F2@");
    document.undo.beginUndoGrouping();
    indi("@I1@")->changeSex(std::nullopt);
    document.undo.endUndoGrouping();
    EXPECT_EQ(indi("@I1@")->sex(), "M");
    EXPECT_EQ(text("@I1@"), "0 @I1@ INDI\n1 NAME Eva /Berg/\n1 SEX M\n");
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 HUSB @I2@\n");
    EXPECT_EQ(text("@F2@"), "0 @F2@ FAM\n1 HUSB @I3@\n");
    document.undo.undo();
    EXPECT_EQ(text("@I1@"), before1);
    EXPECT_EQ(text("@F1@"), beforeF1);
    EXPECT_EQ(text("@F2@"), beforeF2);
}

TEST_F(SexChange, SameSexAsHeldChangesNothing) {
    const std::string before = text("@I1@"), beforeF1 = text("@F1@");
    indi("@I1@")->changeSex(std::string("F"));
    indi("@I1@")->changeSex(std::string("f"));
    EXPECT_EQ(text("@I1@"), before);
    EXPECT_EQ(text("@F1@"), beforeF1);
}

TEST_F(SexChange, ValueForAnUnknownSexKeepsTheFamilies) {
    indi("@I3@")->changeSex(std::nullopt);  // no SEX yet: made "M" after the names, families left
    EXPECT_EQ(text("@I3@"), "0 @I3@ INDI\n1 NAME Otto /Roth/\n1 SEX M\n");
    EXPECT_EQ(text("@F2@"), "0 @F2@ FAM\n1 WIFE @I1@\n");

    load("0 @I4@ INDI\n1 SEX U\n1 FAMS @F9@\n0 @F9@ FAM\n1 HUSB @I4@\n");
    indi("@I4@")->changeSex(std::string("F"));
    EXPECT_EQ(text("@I4@"), "0 @I4@ INDI\n1 SEX F\n1 FAMS @F9@\n");
    EXPECT_EQ(text("@F9@"), "0 @F9@ FAM\n1 HUSB @I4@\n");
}

struct DropCase {
    const char* target;
    const char* dropped;
    bool control;
    std::optional<std::string> answer;
    const char* tag;
};

TEST_F(IndividualFixture, DropsLinkOnceAndRefuseSelf) {
    const DropCase cases[] = {
        {"@I1@", "@I2@", false, std::nullopt, "ASSO"},
        {"@I1@", "@I1@", false, "Cannot associate a record with itself.", "ASSO"},
        {"@I1@", "@I3@", false, "That record is already associated with this record.", "ASSO"},
        {"@I1@", "@I2@", true, std::nullopt, "ALIA"},
        {"@I1@", "@I1@", true, "Cannot make a record an alias of itself.", "ALIA"},
        {"@I1@", "@F1@", false, std::nullopt, "ASSO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dropped) + (c.control ? " ctrl" : ""));
        StoreFixture fresh;
        fresh.read("0 HEAD\n0 @I1@ INDI\n1 ASSO @I3@\n0 @I2@ INDI\n0 @I3@ INDI\n0 @F1@ FAM\n0 TRLR\n");
        auto target = fresh.model.recordWithID(c.target, "INDI");
        auto dropped = fresh.model.recordWithID(c.dropped, "");
        const auto links = [&] { return target->findAllStructuresWithTag(c.tag, std::string(c.dropped)).size(); };
        const std::size_t before = links();
        EXPECT_EQ(target->drop(dropped, c.control), c.answer);
        EXPECT_EQ(links(), before + (c.answer ? 0 : 1));
        if (!c.answer) {
            EXPECT_TRUE(target->drop(dropped, c.control).has_value());  // a second drop is refused
        }
    }
}

class IndividualLinks : public IndividualFixture {
protected:
    void SetUp() override {
        load("0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 FAMS @F1@\n1 FAMC @F2@\n1 _LOG @L1@\n"
             "0 @I2@ INDI\n1 SEX F\n1 FAMS @F1@\n1 ALIA @I1@\n1 ASSO @I1@\n"
             "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 ASSO @I1@\n"
             "0 @F2@ FAM\n1 CHIL @I1@\n"
             "0 @L1@ _LOG\n1 _INDI @I1@\n");
    }
};

TEST_F(IndividualLinks, RemovingAllLinksLeavesNoRecordNamingTheIndividual) {
    indi("@I1@")->removeAllLinks();
    for (const char* id : {"@I2@", "@F1@", "@F2@", "@L1@"})
        EXPECT_EQ(text(id).find("@I1@"), std::string::npos) << text(id);
    EXPECT_EQ(text("@I2@"), "0 @I2@ INDI\n1 SEX F\n1 FAMS @F1@\n");
    EXPECT_EQ(text("@F1@"), "0 @F1@ FAM\n1 WIFE @I2@\n");
}

TEST_F(IndividualLinks, RenamingRepointsEveryLinkAndUndoPutsThemBack) {
    std::map<std::string, std::string> before;
    for (const char* id : {"@I2@", "@F1@", "@F2@", "@L1@"}) before[id] = text(id);
    document.undo.beginUndoGrouping();
    indi("@I1@")->changeAllLinksFromID("@I1@", "@I9@", true);
    document.undo.endUndoGrouping();
    for (const auto& [id, old] : before) {
        EXPECT_EQ(text(id).find("@I1@"), std::string::npos) << text(id);
        EXPECT_NE(text(id).find("@I9@"), std::string::npos) << text(id);
    }
    document.undo.undo();
    for (const auto& [id, old] : before) EXPECT_EQ(text(id), old);
}

}  // namespace
}  // namespace kl
