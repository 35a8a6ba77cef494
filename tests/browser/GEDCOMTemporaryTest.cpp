// Template frames: made for present and missing structures, children taken
// out without touching the record, tab stops kept per run, and record paths
// evaluated on a frame.
#include <gtest/gtest.h>

#include "browser/GEDCOMTemporary.h"
#include "document/GEDCOMModel.h"
#include "document/KLExpression.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

class Frames : public testing::Test {
protected:
    void SetUp() override {
        model.setInputGed(
            "0 HEAD\n"
            "0 @I1@ INDI\n"
            "1 NAME Ada /Byron/\n"
            "1 BIRT\n"
            "2 DATE 10 DEC 1815\n"
            "2 PLAC London\n"
            "2 SOUR @S1@\n"
            "3 PAGE 12\n"
            "0 @S1@ SOUR\n"
            "1 TITL Parish book\n"
            "0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
        person = model.recordWithID("@I1@");
        birth = person->findChild("BIRT", false);
        birth->changeContents("Y");
        birth->setQuickComment("at home");
    }
    std::shared_ptr<GEDCOMTemporary> frameFor(const std::shared_ptr<GEDCOMStructure>& s) {
        return GEDCOMTemporary::makeWithTag(s->gtag(), s->glevel(), s->contents(), s);
    }
    std::string eval(const std::shared_ptr<GEDCOMTemporary>& frame, const std::string& path) {
        KLExpression e(path);
        std::string value = e.valueInRecord(*frame, *person, &model);
        frame->setLastStructure(e.lastStructure(), e.lastParent());
        return value;
    }

    GEDCOMModel model;
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMStructure> birth;
};

TEST_F(Frames, FrameTakesTheShapeOfItsStructure) {
    auto frame = frameFor(birth);
    EXPECT_EQ(frame->structure(), birth);
    EXPECT_EQ(frame->recordType(), "BIRT");
    EXPECT_EQ(frame->grecordID(), "Y");
    EXPECT_EQ(frame->glevel(), 1);
    EXPECT_EQ(frame->structures(), birth->structures());
    EXPECT_EQ(frame->quickComment(), std::optional<std::string>("at home"));
    EXPECT_FALSE(frame->defaultCellLocked());
    EXPECT_FALSE(frame->hideExcess());
    EXPECT_EQ(frame->description(), "Temporary Record/Structure: 1 BIRT Y");
}

TEST_F(Frames, FrameForAMissingStructureIsEmpty) {
    auto frame = GEDCOMTemporary::makeWithTag("DEAT", 1, "", nullptr);
    EXPECT_EQ(frame->structure(), nullptr);
    EXPECT_TRUE(frame->structures().empty());
    EXPECT_EQ(frame->quickComment(), std::nullopt);
    EXPECT_EQ(frame->gtag(), "DEAT");
    EXPECT_EQ(frame->glevel(), 1);
}

TEST_F(Frames, TakingChildrenOutLeavesTheRecordWhole) {
    const std::string before = person->gedcomString();
    auto frame = frameFor(birth);
    auto date = frame->findChild("DATE", true);
    ASSERT_TRUE(date);
    EXPECT_EQ(frame->findChildren("SOUR", true).size(), 1u);
    EXPECT_EQ(frame->structures().size(), 1u);
    EXPECT_EQ(birth->structures().size(), 3u);
    EXPECT_EQ(birth->findChild("DATE", false), date);
    EXPECT_EQ(person->gedcomString(), before);
    frame.reset();  // the record's nodes outlive the frame
    EXPECT_EQ(person->gedcomString(), before);
}

TEST_F(Frames, ChildTemplateTabStopsStayItsOwn) {
    auto parent = frameFor(birth);
    parent->setTabs({40, 120});
    auto child = GEDCOMTemporary::makeWithTag("DATE", 2, "", nullptr);
    child->copyTabs(parent->tabs());
    child->setTabs({40, 120, 200});
    EXPECT_EQ(parent->tabs(), (std::vector<double>{40, 120}));
}

struct FramePath {
    const char* path;
    const char* expected;
};

TEST_F(Frames, RecordPathsEvaluateOnFrames) {
    auto frame = frameFor(birth);
    const FramePath present[] = {
        {"DATE", "10 DEC 1815"},
        {"DATE.year", "1815"},
        {"PLAC", "London"},
        {"SOUR.TITL", "Parish book"},
        {"SOUR.s", "@S1@"},
        {"_MEMO", "at home"},
        {"contents", "Y"},
        {"tag", "BIRT"},
        {"level", "1"},
        {"rec", "INDI"},
        {"id", "@I1@"},
        {"parent", "@I1@"},
        {"parent.NAME", "Ada /Byron/"},
        {"count.SOUR", "1"},
        {"NOTE", ""},
    };
    for (const auto& c : present) EXPECT_EQ(eval(frame, c.path), c.expected) << c.path;

    // What a structure command took out is no longer found through the frame.
    frame->findChild("PLAC", true);
    EXPECT_EQ(eval(frame, "PLAC"), "");

    auto missing = GEDCOMTemporary::makeWithTag("DEAT", 1, "", nullptr);
    const FramePath absent[] = {{"DATE", ""}, {"parent", ""}, {"_MEMO", ""}, {"tag", "DEAT"}, {"NAME", ""}};
    for (const auto& c : absent) EXPECT_EQ(eval(missing, c.path), c.expected) << c.path;
}

TEST_F(Frames, FrameKeepsWhatTheLastExpressionReached) {
    auto frame = frameFor(birth);
    eval(frame, "DATE");
    EXPECT_EQ(frame->lastPathStructure(), birth->findChild("DATE", false));
    EXPECT_EQ(frame->lastPathParent().get(), frame.get());
    eval(frame, "parent");
    EXPECT_EQ(frame->lastPathStructure(), person);
    EXPECT_EQ(frame->lastPathParent(), nullptr);
    eval(frame, "NOTE");
    EXPECT_EQ(frame->lastPathStructure(), nullptr);
    EXPECT_EQ(frame->lastPathParent().get(), frame.get());
}

}  // namespace
}  // namespace kl
