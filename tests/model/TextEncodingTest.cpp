#include <gtest/gtest.h>

#include <string>

#include "model/AnselCodec.h"
#include "model/ComposedText.h"
#include "model/TextEncoding.h"

using namespace kl;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

struct DecodeCase {
    const char* what;
    TextEncoding encoding;
    std::string input;
    std::string text;
    std::size_t invalid;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, GivesTextAndCountsWhatItCouldNotRead) {
    const DecodeCase& c = GetParam();
    DecodeResult r = decode(c.input, c.encoding);
    EXPECT_EQ(r.text, c.text) << c.what;
    EXPECT_EQ(r.invalidCount, c.invalid) << c.what;
    // Handing the bytes over changes nothing in what comes out.
    DecodeResult taken = decodeTaking(std::string(c.input), c.encoding);
    EXPECT_EQ(taken.text, c.text) << c.what;
    EXPECT_EQ(taken.invalidCount, c.invalid) << c.what;
    EXPECT_EQ(taken.encoding, r.encoding) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Ansel, DecodeTest,
    ::testing::Values(
        // Letters and marks come out composed, as UTF-8 files have them.
        DecodeCase{"acute e", TextEncoding::ANSEL, bytes({0xE2, 'e'}), "\u00E9", 0},
        DecodeCase{"diaeresis a", TextEncoding::ANSEL, bytes({0xE8, 'a'}), "\u00E4", 0},
        DecodeCase{"AE", TextEncoding::ANSEL, bytes({0xA5}), "Æ", 0},
        DecodeCase{"midline e", TextEncoding::ANSEL, bytes({0xCD}), "e", 0},
        DecodeCase{"empty box", TextEncoding::ANSEL, bytes({0xBE}), "\u25A1", 0},
        DecodeCase{"sharp s", TextEncoding::ANSEL, bytes({0xCF}), "ß", 0},
        DecodeCase{"diacritic slash", TextEncoding::ANSEL, bytes({0xFC, 'o'}), "o\u0336", 0},
        DecodeCase{"later MARC code", TextEncoding::ANSEL, bytes({'a', 0xC7, 'b'}), "a?b", 1},
        DecodeCase{"zero byte", TextEncoding::ANSEL, bytes({'a', 0, 'b'}), "a?b", 1},
        // Marks on a special letter: the letter is read through the table.
        DecodeCase{"acute on AE", TextEncoding::ANSEL, bytes({0xE2, 0xA5}), "\u01FC", 0},
        // Two marks on one letter: composed in canonical order.
        DecodeCase{"two marks", TextEncoding::ANSEL, bytes({0xE2, 0xF2, 'e'}), "\u1EB9\u0301", 0},
        DecodeCase{"mark ends the data", TextEncoding::ANSEL, bytes({'x', 0xE2}), "x\u0301", 0},
        DecodeCase{"mark before line end", TextEncoding::ANSEL, bytes({'x', 0xE2, '\n', 'y'}), "x\u0301\ny", 0},
        DecodeCase{"undefined mark", TextEncoding::ANSEL, bytes({0xFD, 'a'}), "a?", 1},
        DecodeCase{"plain ASCII", TextEncoding::ANSEL, "0 HEAD\r\n", "0 HEAD\r\n", 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    EightBit, DecodeTest,
    ::testing::Values(
        DecodeCase{"curly quotes", TextEncoding::Windows1252, bytes({0x93, 'A', 0x94}), "“A”", 0},
        DecodeCase{"Z caron", TextEncoding::Windows1252, bytes({0x8E}), "Ž", 0},
        DecodeCase{"euro and Y diaeresis", TextEncoding::Windows1252, bytes({0x80, 0x9F}), "€Ÿ", 0},
        DecodeCase{"unassigned", TextEncoding::Windows1252, bytes({0x81, 0x8D, 0x8F, 0x90, 0x9D}), "?????", 5},
        DecodeCase{"zero byte", TextEncoding::Windows1252, bytes({0}), "?", 1},
        DecodeCase{"latin half", TextEncoding::Windows1252, bytes({0xE9, 0xFF}), "éÿ", 0},
        DecodeCase{"Latin 1 controls", TextEncoding::ISOLatin1, bytes({0x81, 0xE9}), "\u0081é", 0},
        DecodeCase{"Latin 2", TextEncoding::ISOLatin2, bytes({0xA1, 0xB3, 0xE6, 0xF9}), "Ąłćů", 0},
        DecodeCase{"Mac OS Roman", TextEncoding::MacOSRoman, bytes({0x8E, 0xA5, 0xD0, 0xDB, 0xF0}), "é•–€\uF8FF", 0},
        DecodeCase{"ASCII high byte", TextEncoding::ASCII, bytes({'a', 0xE9}), "a?", 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Unicode, DecodeTest,
    ::testing::Values(
        DecodeCase{"UTF-8 as it is", TextEncoding::UTF8, "0 NAME Zoë\n", "0 NAME Zoë\n", 0},
        DecodeCase{"UTF-8 mark only", TextEncoding::UTF8, "\xEF\xBB\xBF", "", 0},
        DecodeCase{"UTF-8 with mark", TextEncoding::UTF8, "\xEF\xBB\xBFZoë", "Zoë", 0},
        DecodeCase{"UTF-8 stray byte", TextEncoding::UTF8, bytes({'a', 0xE9, 'b'}), "a\uFFFDb", 1},
        DecodeCase{"UTF-8 truncated", TextEncoding::UTF8, bytes({'a', 0xE2, 0x82}), "a\uFFFD", 1},
        DecodeCase{"UTF-8 surrogate", TextEncoding::UTF8, bytes({0xED, 0xA0, 0x80}), "\uFFFD\uFFFD\uFFFD", 3},
        DecodeCase{"UTF-8 overlong", TextEncoding::UTF8, bytes({0xC0, 0xAF}), "\uFFFD\uFFFD", 2},
        DecodeCase{"BE with mark", TextEncoding::UTF16, bytes({0xFE, 0xFF, 0, '0', 0, 0xE9}), "0é", 0},
        DecodeCase{"LE with mark", TextEncoding::UTF16, bytes({0xFF, 0xFE, '0', 0, 0xE9, 0}), "0é", 0},
        DecodeCase{"BE without mark", TextEncoding::UTF16, bytes({0, '0', 0, ' ', 0, 'H'}), "0 H", 0},
        DecodeCase{"LE without mark", TextEncoding::UTF16, bytes({'0', 0, ' ', 0, 'H', 0}), "0 H", 0},
        DecodeCase{"surrogate pair", TextEncoding::UTF16BigEndian, bytes({0xD8, 0x3D, 0xDE, 0x00}), "😀", 0},
        DecodeCase{"pair little-endian", TextEncoding::UTF16LittleEndian, bytes({0x3D, 0xD8, 0x00, 0xDE}), "😀", 0},
        DecodeCase{"lone high surrogate", TextEncoding::UTF16BigEndian, bytes({0xD8, 0x3D, 0, 'a'}), "\uFFFDa", 1},
        DecodeCase{"lone low surrogate", TextEncoding::UTF16BigEndian, bytes({0xDE, 0x00}), "\uFFFD", 1},
        DecodeCase{"high surrogate at end", TextEncoding::UTF16BigEndian, bytes({0, 'a', 0xD8, 0x3D}), "a\uFFFD", 1},
        DecodeCase{"odd byte at end", TextEncoding::UTF16BigEndian, bytes({0, 'a', 0}), "a\uFFFD", 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct EncodeCase {
    const char* what;
    TextEncoding encoding;
    std::string text;
    std::string output;
    std::size_t lost;
};

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, WritesBytesAndCountsWhatTheSetCannotHold) {
    const EncodeCase& c = GetParam();
    EncodeResult r = encode(c.text, c.encoding);
    EXPECT_EQ(r.bytes, c.output) << c.what;
    EXPECT_EQ(r.lostCount, c.lost) << c.what;
    EncodeResult strict = encode(c.text, c.encoding, {.lossy = false});
    EXPECT_EQ(strict.bytes, c.lost ? "" : c.output) << c.what;
    // Handing the text over changes nothing in what comes out.
    EncodeResult taken = encodeTaking(std::string(c.text), c.encoding);
    EXPECT_EQ(taken.bytes, c.output) << c.what;
    EXPECT_EQ(taken.lostCount, c.lost) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Ansel, EncodeTest,
    ::testing::Values(
        EncodeCase{"C cedilla", TextEncoding::ANSEL, "Ç", bytes({0xF0, 'C'}), 0},
        EncodeCase{"c cedilla", TextEncoding::ANSEL, "ç", bytes({0xF0, 'c'}), 0},
        EncodeCase{"N tilde", TextEncoding::ANSEL, "Ñ", bytes({0xE4, 'N'}), 0},
        EncodeCase{"half", TextEncoding::ANSEL, "½", "1/2", 1},
        EncodeCase{"decomposed e acute", TextEncoding::ANSEL, "e\u0301", bytes({0xE2, 'e'}), 0},
        EncodeCase{"é then dot below", TextEncoding::ANSEL, "é\u0323", bytes({0xE2, 0xF2, 'e'}), 0},
        EncodeCase{"Eth and D stroke", TextEncoding::ANSEL, "ÐĐß©", bytes({0xA3, 0xA3, 0xCF, 0xC3}), 0},
        // ANSEL holds the macron: the letter keeps it.
        EncodeCase{"A macron", TextEncoding::ANSEL, "Ā", bytes({0xE5, 'A'}), 0},
        EncodeCase{"Polish", TextEncoding::ANSEL, "Łódź", bytes({0xA1, 0xE2, 'o', 'd', 0xE2, 'z'}), 0},
        EncodeCase{"Vietnamese two marks", TextEncoding::ANSEL, "ế", bytes({0xE3, 0xE2, 'e'}), 0},
        EncodeCase{"mark at start", TextEncoding::ANSEL, "\u0301a", bytes({0xE2, ' ', 'a'}), 0},
        EncodeCase{"no stand-in", TextEncoding::ANSEL, "a中b", "a?b", 1},
        EncodeCase{"NUL dropped", TextEncoding::ANSEL, std::string("a\0b", 3), "ab", 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Others, EncodeTest,
    ::testing::Values(
        EncodeCase{"Windows quotes", TextEncoding::Windows1252, "“A” €", bytes({0x93, 'A', 0x94, ' ', 0x80}), 0},
        EncodeCase{"Windows composes", TextEncoding::Windows1252, "e\u0301", bytes({0xE9}), 0},
        EncodeCase{"Windows stand-in", TextEncoding::Windows1252, "Ā", "A", 1},
        EncodeCase{"Latin 1 drops stray mark", TextEncoding::ISOLatin1, "q\u0301", "q", 1},
        EncodeCase{"Latin 2", TextEncoding::ISOLatin2, "Łódź", bytes({0xA3, 0xF3, 'd', 0xBC}), 0},
        EncodeCase{"Mac OS Roman", TextEncoding::MacOSRoman, "é–€", bytes({0x8E, 0xD0, 0xDB}), 0},
        EncodeCase{"ASCII lossy", TextEncoding::ASCII, "Ærø “x” …", "AEro \"x\" ...", 5},
        EncodeCase{"UTF-8 repairs", TextEncoding::UTF8, bytes({'a', 0xFF}), "a\uFFFD", 1},
        EncodeCase{"UTF-16 BE", TextEncoding::UTF16BigEndian, "a😀", bytes({0, 'a', 0xD8, 0x3D, 0xDE, 0x00}), 0},
        EncodeCase{"UTF-16 default", TextEncoding::UTF16, "a", bytes({0xFF, 0xFE, 'a', 0}), 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(AnselCodec, EncodedTextReadsBackComposed) {
    struct Case {
        std::string text, composed;
    } cases[] = {
        {"é\u0323", "\u1EB9\u0301"},
        {"Ǣ", "Ǣ"},
        {"Ñandú Łukasz Ørsted þorn", "Ñandú Łukasz Ørsted þorn"},
        {"Nguyễn", "Nguyễn"},
        {"□■♭♯℗ℓ", "□■♭♯℗ℓ"},
    };
    for (const auto& c : cases) {
        EncodeResult bytes = stringToANSEL(c.text);
        EXPECT_EQ(bytes.lostCount, 0u) << c.text;
        DecodeResult back = ANSELToString(bytes.bytes);
        EXPECT_EQ(back.text, c.composed) << c.text;
        // Written again, the composed text reads back to itself.
        EXPECT_EQ(ANSELToString(stringToANSEL(back.text).bytes).text, back.text) << c.text;
    }
}

TEST(AnselCodec, EveryByteSequenceRoundTripsThroughText) {
    // Every defined ANSEL letter and every mark on "a" decode and encode back
    // to the same bytes.
    for (int b = 0xA1; b <= 0xFE; ++b) {
        std::string in = b >= 0xE0 ? bytes({b, 'a'}) : bytes({b});
        DecodeResult text = ANSELToString(in);
        if (!text.clean() || b == 0xCD || b == 0xCE) continue;  // midline e and o read as plain letters
        EXPECT_EQ(stringToANSEL(text.text).bytes, in) << std::hex << b;
    }
}

TEST(TextEncodingMessages, NameTheSetAndTheCount) {
    EXPECT_EQ(ANSELToString(bytes({0xC7})).message(), "Decoding ANSEL character set file encountered 1 invalid characters");
    EXPECT_EQ(WindowsToString(bytes({0x81, 0x8D})).message(),
              "Decoding Windows character set file encountered 2 invalid characters");
    EXPECT_EQ(WindowsToString("plain").message(), "");
}

TEST(TextEncodingCodes, MapToEncodings) {
    struct Case {
        std::uint32_t code;
        std::optional<TextEncoding> encoding;
    } cases[] = {{1, TextEncoding::ASCII},        {4, TextEncoding::UTF8},      {5, TextEncoding::ISOLatin1},
                 {9, TextEncoding::ISOLatin2},    {10, TextEncoding::UTF16},    {12, TextEncoding::Windows1252},
                 {30, TextEncoding::MacOSRoman},  {65536, TextEncoding::ANSEL}, {2, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(encodingFromCode(c.code), c.encoding) << c.code;
}

TEST(Utf8Validation, FindsTheFirstBadByte) {
    struct Case {
        std::string text;
        std::size_t validLength;
    } cases[] = {
        {"", 0},
        {"plain ascii text longer than eight", 34},
        {"0123456789é", 12},
        {"01234567" + bytes({0xE2, 0x82}), 8},
        {"ok" + bytes({0xF4, 0x90, 0x80, 0x80}), 2},  // above U+10FFFF
        {"😀" + bytes({0x80}), 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(validUTF8Length(c.text), c.validLength) << c.text;
        EXPECT_EQ(isValidUTF8(c.text), c.validLength == c.text.size()) << c.text;
    }
}

TEST(SingleByteCodecs, EveryDefinedByteRoundTrips) {
    for (TextEncoding e : {TextEncoding::ISOLatin1, TextEncoding::ISOLatin2, TextEncoding::Windows1252,
                           TextEncoding::MacOSRoman, TextEncoding::ASCII}) {
        for (int b = 1; b < 256; ++b) {
            std::string in = bytes({b});
            DecodeResult text = decode(in, e);
            if (!text.clean()) continue;
            EXPECT_EQ(encode(text.text, e).bytes, in) << encodingName(e) << " " << b;
        }
    }
}

}  // namespace

namespace kl {
namespace {

// Composition of decoded text: runs of marks join the letter before them,
// wherever they stand and however long the run of other characters is.
TEST(ComposedText, JoinsMarksToTheirLetters) {
    const std::pair<std::string, std::string> cases[] = {
        {"e\u0301", "\u00E9"},
        {"Jose\u0301 Garci\u0301a, Jose\u0301", "Jos\u00E9 Garc\u00EDa, Jos\u00E9"},
        {"\u00E9 stays", "\u00E9 stays"},
        {"0 HEAD\n1 CHAR ANSEL\n", "0 HEAD\n1 CHAR ANSEL\n"},
        // a long run: Greek capitals with a mark after the first
        {"x\u0391\u0301\u0392\u0393\u0394\u0395y", "x\u0386\u0392\u0393\u0394\u0395y"},
        // marks in the wrong canonical order are put right
        {"e\u0301\u0323", "\u1EB9\u0301"},
        {"\u0301 at the start", "\u0301 at the start"},
        {"ends with e\u0308", "ends with \u00EB"},
    };
    for (const auto& [text, composed] : cases) EXPECT_EQ(unicode::composedText(text), composed) << text;
}

}  // namespace
}  // namespace kl
