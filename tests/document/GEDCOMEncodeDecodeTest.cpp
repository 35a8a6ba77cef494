// Embedded data lines: piece boundaries, the two reading errors, lenient
// base64, and round trips through the GEDCOM reader.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "document/GEDCOMEncodeDecode.h"
#include "foundation/PropertyList.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using Codec = GEDCOMEncodeDecode;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        EXPECT_NE(end, std::string::npos) << "last line without a line feed";
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct PieceCase {
    std::size_t textLength;
    int level;
    std::vector<std::size_t> pieceLengths;
};

class EmbeddedPieces : public testing::TestWithParam<PieceCase> {};

TEST_P(EmbeddedPieces, CutsTheTextInto72CharacterConcLinesOneLevelDown) {
    const PieceCase& c = GetParam();
    std::string text;
    for (std::size_t i = 0; i < c.textLength; ++i) text.push_back("ABCDEFGHIJ"[i % 10]);
    const std::string out = Codec::base64ToEmbeddedGedcom(text, c.level, "Settings");

    EXPECT_EQ(out.find('\r'), std::string::npos);
    const auto lines = splitLines(out);
    ASSERT_EQ(lines.size(), c.pieceLengths.size() + 1);
    EXPECT_EQ(lines[0], std::to_string(c.level) + " _NSDATA Settings = ");
    std::string joined;
    const std::string prefix = std::to_string(c.level + 1) + " CONC ";
    for (std::size_t i = 0; i < c.pieceLengths.size(); ++i) {
        ASSERT_EQ(lines[i + 1].rfind(prefix, 0), 0u) << lines[i + 1];
        EXPECT_EQ(lines[i + 1].size() - prefix.size(), c.pieceLengths[i]) << "piece " << i;
        joined += lines[i + 1].substr(prefix.size());
    }
    EXPECT_EQ(joined, text);
}

INSTANTIATE_TEST_SUITE_P(Lengths, EmbeddedPieces,
                         testing::Values(PieceCase{0, 1, {}},           // first line alone
                                         PieceCase{1, 1, {1}},          //
                                         PieceCase{72, 1, {72}},        // no empty second piece
                                         PieceCase{73, 1, {72, 1}},     //
                                         PieceCase{144, 1, {72, 72}},   // no empty third piece
                                         PieceCase{145, 0, {72, 72, 1}},
                                         PieceCase{144, 3, {72, 72}}), ::kl::test::CaseName());

TEST(EmbeddedName, NamesThatCannotComeBackWriteNothing) {
    for (const char* name : {"", "Set =tings", "Set\ntings", "a ="}) {
        EXPECT_EQ(Codec::dataToEmbeddedGedcom(Data{1, 2, 3}, 1, name), "") << name;
        std::string error;
        EXPECT_FALSE(Codec::EncodeData(Value(Dictionary{{"a", 1}}), 1, name, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    EXPECT_NE(Codec::dataToEmbeddedGedcom(Data{1}, 1, "A=B"), "");
}

TEST(EmbeddedEncode, PropertyListThatCannotBeWrittenAnswersTheWritersError) {
    std::string error;
    Value list(Array{Value(1), Value()});  // a null cannot be written
    EXPECT_FALSE(Codec::EncodeData(list, 1, "Attributes", &error));
    EXPECT_FALSE(error.empty());
}

struct DecodeFailure {
    const char* contents;
    std::optional<std::string> name;
    std::optional<std::string> error;
};

class EmbeddedDecodeFailures : public testing::TestWithParam<DecodeFailure> {};

TEST_P(EmbeddedDecodeFailures, AnswerNothingWithTheNameAndErrorFound) {
    const DecodeFailure& c = GetParam();
    std::optional<std::string> name = "stale";
    std::optional<std::string> error = "stale";
    EXPECT_FALSE(Codec::DecodeData(c.contents, &name, &error));
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmbeddedDecodeFailures,
    testing::Values(DecodeFailure{"Settings", std::nullopt, Codec::kNoEqualsSign},
                    DecodeFailure{"Settings=QUJD", std::nullopt, Codec::kNoEqualsSign},
                    DecodeFailure{"", std::nullopt, Codec::kNoEqualsSign},
                    DecodeFailure{"Settings =", "Settings", Codec::kNoData},
                    DecodeFailure{"Settings =  \n\r\t \n", "Settings", Codec::kNoData},
                    // base64 that does not decode: no error text
                    DecodeFailure{"Settings = Q", "Settings", std::nullopt},
                    DecodeFailure{"Settings = QQ==QQ==", "Settings", std::nullopt},
                    DecodeFailure{"Settings = QUJD===", "Settings", std::nullopt},
                    // decodes, but is no property list
                    DecodeFailure{"Settings = QUJD", "Settings", std::nullopt}), ::kl::test::CaseName());

struct Base64Case {
    const char* text;
    std::optional<std::string> bytes;
};

class LenientBase64 : public testing::TestWithParam<Base64Case> {};

TEST_P(LenientBase64, IgnoresCharactersOutsideTheAlphabet) {
    const Base64Case& c = GetParam();
    const auto data = Codec::base64Decode(c.text);
    if (!c.bytes) {
        EXPECT_FALSE(data);
        return;
    }
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), *c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, LenientBase64,
                         testing::Values(Base64Case{"", ""}, Base64Case{"QUJD", "ABC"},
                                         Base64Case{"QU\nJ D\r\n", "ABC"}, Base64Case{"QQ==", "A"},
                                         Base64Case{"QUI=", "AB"}, Base64Case{"QQ", "A"},
                                         Base64Case{"Q U\tI", "AB"}, Base64Case{"*QQ==*", "A"},
                                         Base64Case{"Q", std::nullopt}, Base64Case{"QQ=", std::nullopt},
                                         Base64Case{"=QQ", std::nullopt}), ::kl::test::CaseName());

// Reads embedded lines as the record reader does: parsed below a record,
// CONC lines folded into the `_NSDATA` contents.
std::string joinedContents(const std::string& lines) {
    auto record = std::make_shared<GEDCOMRecord>("@O1@", "OBJE");
    EXPECT_TRUE(record->reparse("0 @O1@ OBJE\n" + lines));
    auto data = record->findChild("_NSDATA", false);
    if (!data) {
        ADD_FAILURE() << "no _NSDATA line in\n" << lines;
        return {};
    }
    data->appendCONTandCONC();
    return data->contents();
}

TEST(EmbeddedRoundTrip, RandomBytesComeBackThroughTheReader) {
    std::mt19937 random(20240305);
    for (std::size_t size : {1u, 2u, 3u, 53u, 54u, 55u, 107u, 108u, 109u, 1000u}) {
        Data bytes(size);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        const std::string lines = Codec::dataToEmbeddedGedcom(bytes, 1, "Thumbnail");
        std::optional<std::string> name, error;
        const auto back = Codec::decodeEmbedded(joinedContents(lines), &name, &error);
        ASSERT_TRUE(back) << size;
        EXPECT_EQ(*back, bytes) << size;
        EXPECT_EQ(name, "Thumbnail");
        EXPECT_FALSE(error);
    }
}

TEST(EmbeddedRoundTrip, StrayBlanksAndLineBreaksBetweenPiecesAreIgnored) {
    Data bytes(200);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    const std::string text = Codec::base64Encode(bytes);
    std::string contents = "Thumbnail =  \n";
    for (std::size_t at = 0; at < text.size(); at += 72) contents += text.substr(at, 72) + " \r\n ";
    const auto back = Codec::decodeEmbedded(contents, nullptr, nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, bytes);
}

TEST(EmbeddedRoundTrip, PropertyListComesBackEqual) {
    Dictionary settings{{"Record Album Listings", Array{Value(Dictionary{{"name", "Ancestors"}})}},
                        {"Multimedia Root Folders", Array{Value("~/Pictures/")}},
                        {"Zoom", 1.5},
                        {"Blob", Data{0, 255, 10, 13}},
                        {"Text", "Müller & <Söhne>"}};
    std::string error;
    const auto lines = Codec::EncodeData(Value(settings), 1, "Settings", &error);
    ASSERT_TRUE(lines) << error;
    std::optional<std::string> name, decodeError;
    const auto back = Codec::DecodeData(joinedContents(*lines), &name, &decodeError);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Value(settings));
    EXPECT_EQ(name, "Settings");
}

}  // namespace
}  // namespace kl
