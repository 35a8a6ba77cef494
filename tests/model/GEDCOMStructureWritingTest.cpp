#include <gtest/gtest.h>

#include <sstream>

#include "TreeTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "foundation/Utf8.h"

namespace kl {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// Runs with a chosen maximum line length and puts the default back.
class StructureWriting : public ::testing::Test {
protected:
    static constexpr int M = 240;
    void SetUp() override { GEDCOMStructure::setMaximumGEDCOMLineLength(M); }
    void TearDown() override { GEDCOMStructure::setMaximumGEDCOMLineLength(240); }

    std::shared_ptr<GEDCOMRecord> record = std::make_shared<GEDCOMRecord>("@N1@", "NOTE");

    std::shared_ptr<GEDCOMStructure> add(int level, std::string tag, std::string contents) {
        return record->addLevel(level, std::move(tag), std::move(contents));
    }
    // Writes the record, reads it back and answers the first structure.
    std::shared_ptr<GEDCOMStructure> roundTrip() {
        auto back = test::readRecord(record->gedcomString());
        return back->structures().at(0);
    }
};

std::string words(std::size_t length, const std::string& word = "genealogy ") {
    std::string s;
    while (s.size() < length) s += word;
    s.resize(length);
    return s;
}

TEST_F(StructureWriting, LongNoteIsCutBeforeBlanksAndReadsBackIdentical) {
    const std::string note = words(1000);
    add(1, "NOTE", note);
    const auto lines = linesOf(record->gedcomString());
    ASSERT_GT(lines.size(), 5u);
    EXPECT_LE(utf8::countCharacters(lines[1]), std::size_t(M - 7));
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("2 CONC ", 0), 0u) << lines[i];
        EXPECT_LE(utf8::countCharacters(lines[i]), std::size_t(M));
        EXPECT_EQ(lines[i][7], ' ') << "each cut falls just before a blank";
    }
    EXPECT_EQ(roundTrip()->contents(), note);
}

struct LengthCase {
    const char* name;
    std::string contents;  // of a level-1 NOTE
    std::size_t expectedLines;
};

class LineLengthWriting : public StructureWriting, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(LineLengthWriting, SplitsOnlyLinesLongerThanTheMaximum) {
    add(1, "NOTE", GetParam().contents);
    const auto lines = linesOf(record->gedcomString());
    EXPECT_EQ(lines.size() - 1, GetParam().expectedLines);
    for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_LE(utf8::countCharacters(lines[i]), std::size_t(M));
    EXPECT_EQ(roundTrip()->contents(), GetParam().contents);
}

// "1 NOTE " is 7 characters, so a value of M - 7 makes a line of exactly M.
INSTANTIATE_TEST_SUITE_P(
    Cases, LineLengthWriting,
    ::testing::Values(LengthCase{"ExactlyMaximumStaysWhole", std::string(240 - 7, 'x'), 1},
                      LengthCase{"OneMoreIsSplit", std::string(240 - 6, 'x'), 2},
                      LengthCase{"ExactlyMaximumInTwoByteCharacters", words(2 * (240 - 7), "\xc3\xa9"), 1},
                      LengthCase{"OneMoreInTwoByteCharacters", words(2 * (240 - 6), "\xc3\xa9"), 2},
                      LengthCase{"EmptyLineInTheMiddle", "first\n\nthird", 3},
                      LengthCase{"EndsWithLineBreak", "first\n", 2},
                      LengthCase{"StartsWithBlank", " leading and trailing ", 1},
                      LengthCase{"BlankRightAfterTheTagIsNoCutPoint", " " + std::string(400, 'y'), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StructureWriting, ContinuationLinesHaveNoTrailingBlankWhenEmpty) {
    add(1, "NOTE", "first\n\nthird\n");
    EXPECT_EQ(record->gedcomString(), "0 @N1@ NOTE\n1 NOTE first\n2 CONT\n2 CONT third\n2 CONT\n");
}

TEST_F(StructureWriting, ConcAtLevelOneContinuesAtLevelOne) {
    add(1, "CONC", std::string(300, 'z'));
    const auto lines = linesOf(record->gedcomString());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].rfind("1 CONC ", 0), 0u);
}

struct Utf8Case {
    const char* name;
    std::string unit;  // repeated to fill the value
};

class Utf8Cuts : public StructureWriting, public ::testing::WithParamInterface<Utf8Case> {};

TEST_P(Utf8Cuts, NeverSplitASequence) {
    std::string value;
    while (utf8::countCharacters(value) < 1000) value += GetParam().unit;
    add(1, "NOTE", value);
    std::string memoValue = value;
    record->structures()[0]->setQuickComment(memoValue);
    for (const auto& line : linesOf(record->gedcomString())) {
        ASSERT_FALSE(line.empty());
        // The last byte must end a complete sequence: decode the tail.
        std::size_t start = line.size() - 1;
        while (start > 0 && utf8::isContinuation(static_cast<unsigned char>(line[start]))) --start;
        unsigned char lead = static_cast<unsigned char>(line[start]);
        std::size_t need = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        EXPECT_EQ(line.size() - start, need) << "cut inside a sequence";
        EXPECT_LE(utf8::countCharacters(line), std::size_t(M));
    }
    auto back = roundTrip();
    EXPECT_EQ(back->contents(), value);
    EXPECT_EQ(back->quickComment(), memoValue);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Cuts,
                         ::testing::Values(Utf8Case{"TwoByte", "\xc3\xa9"}, Utf8Case{"ThreeByte", "\xe6\x97\xa5"},
                                           Utf8Case{"FourByte", "\xf0\x9f\x8c\xb3"},
                                           Utf8Case{"MixedWithBlanks", "a\xc3\xa9\xe6\x97\xa5 \xf0\x9f\x8c\xb3"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MemoCase {
    const char* name;
    std::size_t length;
    std::size_t memoLines;
};

class QuickCommentWriting : public StructureWriting, public ::testing::WithParamInterface<MemoCase> {};

TEST_P(QuickCommentWriting, StaysOnMemoLineUpToItsLimit) {
    auto s = add(1, "NOTE", "");
    const std::string memo(GetParam().length, 'q');
    s->setQuickComment(memo);
    const auto lines = linesOf(record->gedcomString());
    ASSERT_EQ(lines.size(), 2 + GetParam().memoLines);
    EXPECT_EQ(lines[1], "1 NOTE");
    EXPECT_EQ(lines[2].rfind("2 _MEMO ", 0), 0u);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind("3 CONC ", 0), 0u);
        EXPECT_LE(lines[i].size(), std::size_t(M));
    }
    EXPECT_EQ(roundTrip()->quickComment(), memo);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuickCommentWriting,
                         ::testing::Values(MemoCase{"MaximumMinus8StaysWhole", 240 - 8, 1},
                                           MemoCase{"MaximumMinus7GetsConc", 240 - 7, 2},
                                           MemoCase{"Long", 1000, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StructureWriting, LineBreaksInsideQuickCommentBecomeContinuationLines) {
    auto s = add(1, "NOTE", "x");
    s->setQuickComment("one\n0 @X1@ INDI\r\nthree\rfour");
    EXPECT_EQ(record->gedcomString(),
              "0 @N1@ NOTE\n1 NOTE x\n2 _MEMO one\n3 CONT 0 @X1@ INDI\n3 CONT three\n3 CONT four\n");
    EXPECT_EQ(roundTrip()->quickComment(), "one\n0 @X1@ INDI\nthree\nfour");
}

TEST_F(StructureWriting, CarriageReturnInContentsCannotStartARecord) {
    add(1, "NOTE", "a\r0 @X@ INDI");
    EXPECT_EQ(record->gedcomString(), "0 @N1@ NOTE\n1 NOTE a\n2 CONT 0 @X@ INDI\n");
}

TEST_F(StructureWriting, TinyMaximumStillEndsAndKeepsText) {
    GEDCOMStructure::setMaximumGEDCOMLineLength(3);
    add(1, "NOTE", "abc def");
    auto s = record->structures()[0];
    s->setQuickComment("memo text");
    EXPECT_EQ(roundTrip()->contents(), "abc def");
    EXPECT_EQ(roundTrip()->quickComment(), "memo text");
}

// Lines deeper than the writer's stack frames and their siblings on the
// way back up come out in file order, each once.
TEST_F(StructureWriting, DeepBranchThenSiblingsKeepFileOrder) {
    std::string expected = "0 @N1@ NOTE\n";
    for (int level = 1; level <= 40; ++level) {
        add(level, "STEP", std::to_string(level));
        expected += std::to_string(level) + " STEP " + std::to_string(level) + "\n";
    }
    for (int level : {39, 25, 24, 23, 2, 1}) {
        add(level, "BACK", std::to_string(level));
        expected += std::to_string(level) + " BACK " + std::to_string(level) + "\n";
    }
    EXPECT_EQ(record->gedcomString(), expected);
}

TEST_F(StructureWriting, LineEndingIsUsedForEveryLine) {
    add(1, "NOTE", "a\nb");
    GEDCOMObject::setLineEnding("\r\n");
    const std::string text = record->gedcomString();
    GEDCOMObject::setLineEnding("\n");
    EXPECT_EQ(text, "0 @N1@ NOTE\r\n1 NOTE a\r\n2 CONT b\r\n");
}

}  // namespace
}  // namespace kl
