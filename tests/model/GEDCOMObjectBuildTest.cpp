#include <gtest/gtest.h>

#include "TreeTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

struct Line {
    int level;
    const char* tag;
    const char* contents;
};

struct BuildCase {
    const char* name;
    std::vector<Line> lines;
    const char* written;
    // Corruption bits of each structure in depth-first order.
    std::vector<std::uint32_t> bits;
};

class TreeBuilding : public ::testing::TestWithParam<BuildCase> {};

TEST_P(TreeBuilding, KeepsLevelsMarksDamageAndWritesBack) {
    const BuildCase& c = GetParam();
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    for (const Line& l : c.lines) record->addLevel(l.level, l.tag, l.contents);
    EXPECT_EQ(record->gedcomString(), c.written);
    std::vector<std::uint32_t> bits;
    record->walk([&](GEDCOMObject& n) {
        if (&n != record.get()) bits.push_back(n.corrupt());
        return GEDCOMObject::WalkStep::Continue;
    });
    EXPECT_EQ(bits, c.bits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeBuilding,
    ::testing::Values(
        BuildCase{"WellFormed",
                  {{1, "BIRT", ""}, {2, "DATE", "1 JAN 1900"}, {2, "PLAC", "Rome"}, {1, "SEX", "M"}},
                  "0 @I1@ INDI\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n1 SEX M\n",
                  {0, 0, 0, 0}},
        BuildCase{"LevelJumpStaysAtItsLevelWithBit4",
                  {{1, "BIRT", ""}, {3, "DATE", "1 JAN 1900"}, {1, "DEAT", "Y"}},
                  "0 @I1@ INDI\n1 BIRT\n3 DATE 1 JAN 1900\n1 DEAT Y\n",
                  {0, 4, 0}},
        BuildCase{"FirstLineTooDeepHangsOnRecord", {{2, "DATE", "1900"}}, "0 @I1@ INDI\n2 DATE 1900\n", {4}},
        BuildCase{"LineAfterJumpFindsShallowerParent",
                  {{1, "BIRT", ""}, {3, "DATE", "X"}, {2, "PLAC", "P"}},
                  "0 @I1@ INDI\n1 BIRT\n3 DATE X\n2 PLAC P\n",
                  {0, 4, 0}},
        BuildCase{"EmptyAndLongTagsAreMarked",
                  {{1, "", ""}, {1, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF", "x"}, {1, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE", "y"}},
                  "0 @I1@ INDI\n1\n1 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF x\n1 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE y\n",
                  {2, 2, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TreeBuilding, LineWithoutLevelKeepsItsRawTextAndBit1) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->addLevel(1, "NAME", "Ann");
    // What the line parser hands over for "99999999999999999999 NOTE x":
    // a level number too large for an integer is no level at all.
    auto raw = record->addNoLevel("99999999999999999999 NOTE x");
    record->addLevel(1, "SEX", "F");
    EXPECT_EQ(raw->glevel(), -1);
    EXPECT_EQ(raw->corrupt(), CorruptMissingLevel);
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 NAME Ann\n99999999999999999999 NOTE x\n1 SEX F\n");
    EXPECT_FALSE(record->isMarkedInSource()) << "bit 1 is not a record-level mark";
    EXPECT_TRUE(raw->isMarkedInSource());
}

TEST(TreeBuilding, StructureMadeWithNegativeLevelGetsBit1NotBit2) {
    auto s = std::make_shared<GEDCOMStructure>(nullptr, -1, "", "raw");
    EXPECT_EQ(s->corrupt(), CorruptMissingLevel);
    auto placeholder = std::make_shared<GEDCOMStructure>();
    EXPECT_EQ(placeholder->glevel(), 1);
    EXPECT_EQ(placeholder->gtag(), "@@@@");
    EXPECT_EQ(placeholder->corrupt(), 0u);
}

TEST(TreeBuilding, AddStructureAtLevelPlacesWithoutMarking) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->addLevel(1, "BIRT", "");
    auto date = std::make_shared<GEDCOMStructure>(record.get(), 3, "DATE", "1900");
    record->addStructureAtLevel(date);
    EXPECT_EQ(date->corrupt(), 0u);
    EXPECT_EQ(record->structures()[0]->structures()[0], date);
}

}  // namespace
}  // namespace kl
