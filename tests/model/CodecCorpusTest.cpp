// The codecs against the public GEDCOM corpus: every file decodes, and the
// files that exist in several character sets decode to the same text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "model/TextEncoding.h"
#include "model/UnicodeFolding.h"
#include "foundation/Utf8.h"
#include "model/wex.h"
#include "support/Corpus.h"

namespace fs = std::filesystem;
using namespace kl;

namespace {

fs::path corpus() { return test::corpusFolder(); }

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Decomposes every precomposed letter, so that texts from programs that
// compose and programs that do not compare equal.
std::string decomposed(std::string_view text) {
    std::string out;
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        char32_t cp = utf8::decodeAt(text, i, &n), base = 0;
        std::u32string marks;
        if (!unicode::decompose(cp, &base, &marks)) {
            out.append(text.substr(i, n));
            continue;
        }
        utf8::append(out, base);
        for (char32_t m : marks) utf8::append(out, m);
    }
    return out;
}

std::vector<std::string> lines(const std::string& text) { return wex::linesToArray(decomposed(text)); }

// LF CR is one line end in these files; the standard rules would see two.
std::string normalisedLineEnds(std::string text) {
    text = wex::replaceOccurrencesOfString(text, "\r\n", "\n");
    text = wex::replaceOccurrencesOfString(text, "\n\r", "\n");
    return wex::replaceOccurrencesOfString(text, "\r", "\n");
}

DecodeResult decodeFile(const std::string& name, TextEncoding encoding) {
    return decode(readFile(corpus() / name), encoding);
}

class CodecCorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(corpus())) GTEST_SKIP() << "no test data at " << corpus();
    }
};

TEST_F(CodecCorpusTest, EveryFileDecodesInEverySet) {
    const TextEncoding all[] = {TextEncoding::ASCII,     TextEncoding::UTF8,        TextEncoding::ISOLatin1,
                                TextEncoding::ISOLatin2, TextEncoding::UTF16,       TextEncoding::Windows1252,
                                TextEncoding::MacOSRoman, TextEncoding::ANSEL};
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus())) {
        if (!entry.is_regular_file() || entry.path().extension() == ".gz") continue;
        std::string bytes = readFile(entry.path());
        ++files;
        for (TextEncoding e : all) {
            DecodeResult r = decode(bytes, e);
            EXPECT_TRUE(isValidUTF8(r.text)) << entry.path() << " as " << encodingName(e);
        }
    }
    EXPECT_GT(files, 30);
}

TEST_F(CodecCorpusTest, AnselFilesDecodeCleanly) {
    for (const char* name : {"eichmann/ANSEL.GED", "gedcom-parse/ansel.ged", "gedcom-parse/compat-paf2.ged"}) {
        DecodeResult r = decodeFile(name, TextEncoding::ANSEL);
        EXPECT_TRUE(r.clean()) << name << ": " << r.message();
    }
}

TEST_F(CodecCorpusTest, AnselTestMatchesItsUtf8Twin) {
    auto ours = lines(normalisedLineEnds(decodeFile("gedcom-parse/ansel.ged", TextEncoding::ANSEL).text));
    // The twin writes alif (0xAE) as U+02BE; ANSEL's alif is the modifier
    // apostrophe U+02BC, as the other modifier letters 0xA7, 0xB0 and 0xB7 sit
    // in the same block. That is the one character where the files differ.
    std::string twinText = decodeFile("gedcom-parse/anselutf8.ged", TextEncoding::UTF8).text;
    auto twin = lines(normalisedLineEnds(wex::replaceOccurrencesOfString(twinText, "\u02BE", "\u02BC")));
    ASSERT_EQ(ours.size(), twin.size());
    for (std::size_t i = 0; i < ours.size(); ++i)
        EXPECT_EQ(ours[i], twin[i]) << "line " << i + 1;
}

// The UTF-16 variants hold the same text in every byte order, with and
// without a byte-order mark and with four kinds of line end; only the note
// lines that describe each file's own form differ.
TEST_F(CodecCorpusTest, Utf16VariantsDecodeToTheSameText) {
    auto isSelfDescription = [](const std::string& line) {
        return line.find("order") != std::string::npos || line.find("terminated") != std::string::npos;
    };
    auto reference = lines(normalisedLineEnds(decodeFile("gedcom-parse/uhlbomcl.ged", TextEncoding::UTF16).text));
    ASSERT_GT(reference.size(), 100u);
    for (const char* name : {"gedcom-parse/uhlcl.ged", "gedcom-parse/ulhbomcl.ged", "gedcom-parse/ulhc.ged",
                             "gedcom-parse/ulhcl.ged", "gedcom-parse/ulhl.ged", "gedcom-parse/ulhlc.ged",
                             "eichmann/UHLBOMCL.GED", "eichmann/ULHBOMCL.GED", "eichmann/ULHCL.GED"}) {
        DecodeResult r = decodeFile(name, TextEncoding::UTF16);
        EXPECT_TRUE(r.clean()) << name;
        auto variant = lines(normalisedLineEnds(r.text));
        ASSERT_EQ(variant.size(), reference.size()) << name;
        for (std::size_t i = 0; i < variant.size(); ++i) {
            if (isSelfDescription(reference[i])) continue;
            EXPECT_EQ(variant[i], reference[i]) << name << " line " << i + 1;
        }
    }
}

TEST_F(CodecCorpusTest, Gedcom555Utf16SamplesMatchTheUtf8Sample) {
    // Only the header's CHAR line names each file's own set.
    auto withoutCharLine = [](const std::string& text) {
        auto all = wex::linesToArray(normalisedLineEnds(text));
        std::erase_if(all, [](const std::string& line) { return line.starts_with("1 CHAR "); });
        return all;
    };
    auto utf8 = withoutCharLine(decodeFile("gedcom555/555SAMPLE.GED", TextEncoding::UTF8).text);
    ASSERT_GT(utf8.size(), 50u);
    for (const char* name : {"gedcom555/555SAMPLE16BE.GED", "gedcom555/555SAMPLE16LE.GED"}) {
        DecodeResult r = decodeFile(name, TextEncoding::UTF16);
        EXPECT_TRUE(r.clean()) << name;
        EXPECT_EQ(withoutCharLine(r.text), utf8) << name;
    }
}

// The other program's export rebuilds the file from its own database, so its
// lines do not correspond one to one: it merges places with equal names and
// writes its own header. Every test string of the original (the PLAC values)
// must still read the same.
TEST_F(CodecCorpusTest, EichmannAnselMatchesTheOtherProgramsExport) {
    auto places = [](const std::string& text) {
        std::set<std::string> found;
        for (const auto& line : lines(normalisedLineEnds(text)))
            if (line.starts_with("2 PLAC ")) found.insert(line.substr(7));
        return found;
    };
    auto ours = places(decodeFile("eichmann/ANSEL.GED", TextEncoding::ANSEL).text);
    auto theirs = places(decodeFile("eichmann/ANSEL.gramps-5.1.5-export-utf8.ged", TextEncoding::UTF8).text);
    ASSERT_GT(theirs.size(), 30u);
    for (const auto& place : theirs) EXPECT_TRUE(ours.count(place)) << "not decoded: " << place;
    for (const auto& place : ours) EXPECT_TRUE(theirs.count(place)) << "not in the export: " << place;
}

}  // namespace
