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
    // ASCII, and no CHAR line at all, are read by their bytes.
    {"Ascii", "0 HEAD\n1 CHAR ASCII\n", Outcome::Found, 1, "ASCII", {}},
    {"NoCharLine", "  \r\n0 HEAD\n1 SOUR X\n", Outcome::Found, 1, "", {}},
    {"MacRoman", "0 HEAD\n1 CHAR MACINTOSH\r\n", Outcome::Found, 30, "MACINTOSH", {}},
    {"MacRomanOneWord", "0 HEAD\n1 CHAR MacRoman\n", Outcome::Found, 30, "MACROMAN", {}},
    {"Ansel", "0 HEAD\r\n1 CHAR ANSEL\r\n", Outcome::Found, 0x10000, "ANSEL", {}},
    {"Utf8WithoutHyphen", "0 HEAD\n1 CHAR UTF8\n", Outcome::Found, 4, "UTF-8", {}},
    {"LowerCaseValue", "0 HEAD\n1 CHAR utf-8\n", Outcome::Found, 4, "UTF-8", {}},
    {"Windows", "0 HEAD\n1 CHAR Windows-1252\n", Outcome::Found, 12, "WINDOWS-1252", {}},
    {"Latin1Number", "0 HEAD\n1 CHAR ISO-8859-1\n", Outcome::Found, 12, "ISO-8859-1", {}},
    {"Unicode", "0 HEAD\n1 CHAR UNICODE\n", Outcome::Found, 10, "UNICODE", {}},
    {"Ansi", "0 HEAD\n1 CHAR ANSI\n", Outcome::Found, 12, "ANSI", {}},
    {"WindowsAlone", "0 HEAD\n1 CHAR WINDOWS\n", Outcome::Found, 12, "WINDOWS", {}},
    {"IbmWindows", "0 HEAD\n1 CHAR IBM WINDOWS\n", Outcome::Found, 12, "IBM WINDOWS", {}},
    {"Cp1252", "0 HEAD\n1 CHAR cp1252\n", Outcome::Found, 12, "CP1252", {}},
    {"IbmPc", "0 HEAD\n1 CHAR IBMPC\n", Outcome::Found, 0x80000400, "IBMPC", {}},
    {"IbmPcHyphen", "0 HEAD\n1 CHAR IBM-PC\n", Outcome::Found, 0x80000400, "IBM-PC", {}},
    {"MsDos", "0 HEAD\n1 CHAR MSDOS\n", Outcome::Found, 0x80000400, "MSDOS", {}},
    {"Dos", "0 HEAD\n1 CHAR dos\n", Outcome::Found, 0x80000400, "DOS", {}},
    {"Cp437", "0 HEAD\n1 CHAR CP437\n", Outcome::Found, 0x80000400, "CP437", {}},
    {"Utf8LowerCase", "0 HEAD\n1 CHAR utf8\n", Outcome::Found, 4, "UTF-8", {}},
    {"LowerCaseTag", "0 HEAD\n1 char ANSEL\n", Outcome::Found, 0x10000, "ANSEL", {}},
    {"ExtraBlanksAndTabs", "0 HEAD\n 1   CHAR \t ANSEL  \r\n", Outcome::Found, 0x10000, "ANSEL", {}},
    {"CharBelowAnotherTagIsNoDeclaration", "0 HEAD\n2 CHAR ANSEL\n", Outcome::Found, 1, "", {}},
    {"UnknownNameAsksWithGuess", "0 HEAD\n1 CHAR KOI8-R\n", Outcome::Ask, 0, "", "KOI8-R"},
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
    EXPECT_EQ(CharsetDetection::detect(late).encoding, 1u);
    EXPECT_EQ(CharsetDetection::detect(late).name, "");
}

TEST(CharsetDetection, BytesSuggestUTF8OrWindows) {
    EXPECT_EQ(CharsetDetection::suggestedEncoding("0 HEAD\n1 NAME Ren\xC3\xA9\n"), 4u);
    EXPECT_EQ(CharsetDetection::suggestedEncoding("0 HEAD\n1 NAME Ren\xE9\n"), 12u);
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
