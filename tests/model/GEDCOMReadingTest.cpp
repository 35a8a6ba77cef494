#include <gtest/gtest.h>

#include "TreeTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

struct FoldCase {
    const char* name;
    const char* read;     // the record as read, before folding
    const char* written;  // written again after folding
    const char* comment;  // quick comment of the first structure, nullptr for none
};

class ContinuationFolding : public ::testing::TestWithParam<FoldCase> {};

TEST_P(ContinuationFolding, JoinsLeadingContinuationsAndMemo) {
    const FoldCase& c = GetParam();
    auto record = test::readRecord(c.read);
    EXPECT_EQ(record->gedcomString(), c.written);
    auto first = record->structures().at(0)->quickComment();
    if (c.comment)
        EXPECT_EQ(first, std::optional<std::string>(c.comment));
    else
        EXPECT_EQ(first, std::nullopt);
    // A read's tidying, which folds only lines that have something to fold,
    // comes to the same.
    auto tidied = test::readRecord(c.read, false);
    tidied->prepareAfterRead();
    EXPECT_EQ(tidied->gedcomString(), c.written);
    EXPECT_EQ(tidied->structures().at(0)->quickComment(), first);
}

// Deeper than the few levels the tidying's search keeps on the stack.
TEST(ContinuationFolding, ReadTidyingFoldsAtAnyDepth) {
    for (int depth : {1, 2, 15, 16, 17, 30}) {
        std::string read = "0 @I1@ INDI\n1 SEX F\n";
        std::string written = read;
        for (int level = 1; level <= depth; ++level) {
            const std::string line = std::to_string(level) + (level == depth ? " NOTE a" : " _X");
            read += line + "\n";
            written += line + (level == depth ? "b" : "") + "\n";
        }
        read += std::to_string(depth + 1) + " CONC b\n";
        auto record = test::readRecord(read, false);
        record->prepareAfterRead();
        EXPECT_EQ(record->gedcomString(), written) << depth;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContinuationFolding,
    ::testing::Values(
        FoldCase{"ContAndConc", "0 @N1@ NOTE\n1 NOTE a\n2 CONC b\n2 CONT c\n2 CONT\n2 CONC d\n",
                 "0 @N1@ NOTE\n1 NOTE ab\n2 CONT c\n2 CONT d\n", nullptr},
        FoldCase{"MemoRightAfterContinuations", "0 @N1@ NOTE\n1 NOTE a\n2 CONC b\n2 _MEMO seen\n3 CONC  it\n2 SOUR @S1@\n",
                 "0 @N1@ NOTE\n1 NOTE ab\n2 _MEMO seen it\n2 SOUR @S1@\n", "seen it"},
        FoldCase{"EmptyMemoLeavesNoComment", "0 @N1@ NOTE\n1 NOTE a\n2 _MEMO\n", "0 @N1@ NOTE\n1 NOTE a\n", nullptr},
        FoldCase{"LaterContinuationStaysAChild", "0 @N1@ NOTE\n1 NOTE a\n2 SOUR @S1@\n2 CONT late\n2 _MEMO late\n",
                 "0 @N1@ NOTE\n1 NOTE a\n2 SOUR @S1@\n2 CONT late\n2 _MEMO late\n", nullptr},
        FoldCase{"GrandchildrenAreFoldedToo", "0 @I1@ INDI\n1 BIRT\n2 NOTE x\n3 CONC y\n3 _MEMO m\n",
                 "0 @I1@ INDI\n1 BIRT\n2 NOTE xy\n3 _MEMO m\n", nullptr},
        FoldCase{"BlobIsReplacedByAnExplanation", "0 @O1@ OBJE\n1 BLOB\n2 CONT .HM.......\n2 CONT .HM......\n2 _MEMO m\n",
                 "0 @O1@ OBJE\n1 BLOB Encoded multimedia BLOB was deleted (clear this text to remove).\n", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceView, MarksDamagedLinesButRecordLinesOnlyForRecordDamage) {
    auto record = test::readRecord("0 @I1@ INDI\n1 BIRT\n3 DATE 1900\n1 SEX F\n", false);
    record->setCorruptBit(CorruptMissingLevel);
    auto runs = record->attributedGedcomString();
    EXPECT_EQ(runs, (std::vector<AttributedRun>{{"0 @I1@ INDI\n", false},
                                                {"1 BIRT\n", false},
                                                {"3 DATE 1900\n", true},
                                                {"1 SEX F\n", false}}));
    record->setCorruptBit(CorruptDuplicateID);
    EXPECT_TRUE(record->attributedGedcomString().front().marked);
}

TEST(ScriptRows, EachNodeGivesLevelTagAndContents) {
    auto record = test::readRecord("0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n");
    Array rows = record->gedcomArray();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], Value(GEDCOMObject::gedcomRow(0, "@I1@", "INDI")));
    EXPECT_EQ(rows[2], Value(GEDCOMObject::gedcomRow(2, "DATE", "1900")));
}

TEST(PartialWriting, StopsBeforeTheGivenNode) {
    auto record = test::readRecord("0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n1 SEX F\n");
    std::string text;
    EXPECT_FALSE(record->appendGEDCOMUntil(text, record->findStructureWithTag("SEX").get()));
    EXPECT_EQ(text, "0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n");
    text.clear();
    EXPECT_TRUE(record->appendGEDCOMUntil(text, nullptr));
}

}  // namespace
}  // namespace kl
