// How the first bytes of a plain GEDCOM file decide its character set.
#include <gtest/gtest.h>

#include "document/CharsetDetection.h"
#include "model/TextEncoding.h"

namespace kl {
namespace {

using Outcome = CharsetGuess::Outcome;

struct DetectCase {
    const char* label;
    std::string bytes;
    Outcome outcome;
    uint32_t encoding;
    std::string name;
    std::optional<std::string> guess;
};

std::string s(const char* text, size_t n) { return std::string(text, n); }

const DetectCase kCases[] = {
    {"BigEndianMark", s("\xFE\xFF\0" "0", 4), Outcome::Found, 10, "UNICODE", {}},
    {"LittleEndianMark", s("\xFF\xFE" "0\0", 4), Outcome::Found, 10, "UNICODE", {}},
    {"BigEndianNoMark", s("\0" "0\0 ", 4), Outcome::Found, encodingCode(TextEncoding::UTF16BigEndian), "UNICODE", {}},
    {"LittleEndianNoMark", s("0\0 \0", 4), Outcome::Found, encodingCode(TextEncoding::UTF16LittleEndian), "UNICODE",
     {}},
    {"UTF8Mark", "\xEF\xBB\xBF" "0 HEAD\n", Outcome::Found, 4, "UTF-8", {}},
    {"Ascii", "0 HEAD\n1 CHAR ASCII\n", Outcome::Found, 30, "ASCII", {}},
    {"MacRoman", "0 HEAD\n1 CHAR MACINTOSH\r\n", Outcome::Found, 30, "MACINTOSH", {}},
    {"Ansel", "0 HEAD\r\n1 CHAR ANSEL\r\n", Outcome::Found, 0x10000, "ANSEL", {}},
    {"Utf8WithoutHyphen", "0 HEAD\n1 CHAR UTF8\n", Outcome::Found, 4, "UTF-8", {}},
    {"LowerCaseValue", "0 HEAD\n1 CHAR utf-8\n", Outcome::Found, 4, "UTF-8", {}},
    {"Windows", "0 HEAD\n1 CHAR Windows-1252\n", Outcome::Found, 12, "WINDOWS-1252", {}},
    {"Latin1Number", "0 HEAD\n1 CHAR ISO-8859-1\n", Outcome::Found, 12, "ISO-8859-1", {}},
    {"Unicode", "0 HEAD\n1 CHAR UNICODE\n", Outcome::Found, 10, "UNICODE", {}},
    {"IbmPcAsksWithGuess", "0 HEAD\n1 CHAR IBMPC\n", Outcome::Ask, 0, "", "IBMPC"},
    {"AnsiAsksWithGuess", "0 HEAD\n1 CHAR ANSI\n", Outcome::Ask, 0, "", "ANSI"},
    {"LowerCaseTagAsksWithoutGuess", "0 HEAD\n1 char ANSEL\n", Outcome::Ask, 0, "", {}},
    {"NoCharLine", "  \r\n0 HEAD\n1 SOUR X\n", Outcome::Ask, 0, "", {}},
    {"NotGEDCOM", "## Makefile\n0 HEAD\n", Outcome::NotGEDCOM, 0, "", {}},
    {"OnlyBlanks", " \r\n\t ", Outcome::NotGEDCOM, 0, "", {}},
};

class Detect : public testing::TestWithParam<DetectCase> {};

TEST_P(Detect, FindsTheSetOrAsks) {
    const DetectCase& c = GetParam();
    const CharsetGuess g = CharsetDetection::detect(c.bytes);
    EXPECT_EQ(g.outcome, c.outcome);
    EXPECT_EQ(g.guess, c.guess);
    if (c.outcome != Outcome::Found) return;
    EXPECT_EQ(g.encoding, c.encoding);
    EXPECT_EQ(g.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(Samples, Detect, testing::ValuesIn(kCases), [](const auto& info) { return info.param.label; });

TEST(CharsetDetection, LooksOnlyAtTheFirst3000Bytes) {
    const std::string late = "0 HEAD\n" + std::string(3000, ' ') + "\n1 CHAR UTF-8\n";
    EXPECT_EQ(CharsetDetection::detect(late).outcome, Outcome::Ask);
}

// A little-endian file without a mark must not be read big-endian: every
// character would come out as a CJK ideograph.
TEST(CharsetDetection, LittleEndianWithoutMarkDecodesLittleEndian) {
    const std::string bytes("0\0 \0H\0E\0A\0D\0\n\0", 14);
    const CharsetGuess g = CharsetDetection::detect(bytes);
    const auto encoding = encodingFromCode(g.encoding);
    ASSERT_TRUE(encoding);
    EXPECT_EQ(decode(bytes, *encoding).text, "0 HEAD\n");
}

}  // namespace
}  // namespace kl
