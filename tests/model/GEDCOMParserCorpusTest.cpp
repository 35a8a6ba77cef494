// Every file of the shared GEDCOM corpus goes through the parser: real files
// written by other programs, broken ones, other character sets and the large
// generated trees. Each must be scanned or refused cleanly, with every line
// reported exactly once.
#include "model/GEDCOMParser.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "model/GEDCOMReader.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

const fs::path& kCorpus = test::corpusFolder();

// Every file named as GEDCOM is one, bar the deliberately broken one.
bool shouldBeAccepted(const fs::path& path) {
    std::string name = path.filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name != "bogus.ged" && (name.ends_with(".ged") || name.ends_with(".ged.gz"));
}

std::string readCorpusFile(const fs::path& path) {
    const std::string bytes = test::readCorpusBytes(path);
    return decode(bytes, test::guessCorpusEncoding(bytes)).text;
}

// Counts what a scan reports; answers yes to the trailer.
class CountingReader : public GEDCOMReader {
public:
    size_t lineReports = 0;
    size_t starts = 0;
    size_t ends = 0;
    std::map<std::string, size_t> recordTypes;

    void parserDidStart() override { ++starts; }
    void parserDidEnd() override { ++ends; }
    void parserFoundHEAD() override { ++lineReports; }
    void parserStartRecord(std::string type, std::string, std::string, bool) override {
        ++lineReports;
        ++recordTypes[type];
    }
    void parserLevel(int32_t level, std::string, std::string, bool) override {
        ++lineReports;
        EXPECT_GT(level, 0);
    }
    bool parserFoundTRLR() override {
        ++lineReports;
        return true;
    }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string) override {}
    void parserInvalidLevelOrder() override {}
    void parserInvalidTag() override {}
    void parserNoLevelLine(std::string) override { ++lineReports; }
};

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A line that the parser takes for the trailer: level zero (any number of
// zeros), then exactly the tag TRLR.
bool isTrailer(std::string_view line) {
    auto words = [&](size_t from) {
        const size_t start = std::min(line.find_first_not_of(" \t", from), line.size());
        return std::pair{start, std::min(line.find_first_of(" \t", start), line.size())};
    };
    const auto [levelStart, levelEnd] = words(0);
    const std::string_view level = line.substr(levelStart, levelEnd - levelStart);
    if (level.empty() || level.find_first_not_of('0') != std::string_view::npos) return false;
    const auto [tagStart, tagEnd] = words(levelEnd);
    return line.substr(tagStart, tagEnd - tagStart) == "TRLR";
}

// Non-blank lines up to and including the first trailer: what a scan must
// report, one report each.
size_t linesToReport(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    size_t count = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (isBlank(line)) continue;
        ++count;
        if (isTrailer(line)) break;
    }
    return count;
}

std::string testName(const fs::path& path) {
    std::string name = fs::relative(path, kCorpus).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class CorpusTest : public ::testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusTest);

TEST_P(CorpusTest, ScansOrRefusesCleanlyReportingEveryLineOnce) {
    std::string text = readCorpusFile(GetParam());
    const size_t expectedReports = linesToReport(text);
    CountingReader reader;
    GEDCOMParser parser(std::move(text));
    parser.setDelegate(&reader);
    if (!parser.parse()) {
        EXPECT_FALSE(shouldBeAccepted(GetParam()));
        EXPECT_EQ(parser.errorMsg(), "The file does not appear to be a GEDCOM file.");
        EXPECT_EQ(reader.starts + reader.ends + reader.lineReports, 0u);
        return;
    }
    EXPECT_EQ(reader.starts, 1u);
    EXPECT_EQ(reader.ends, 1u);
    EXPECT_EQ(reader.lineReports, expectedReports);
    EXPECT_EQ(parser.fractionDone(), 1.0);
}

KL_CORPUS_PRESENCE_TEST(ParserCorpus)

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(test::corpusFiles()),
                         [](const auto& info) { return testName(info.param); });

struct GeneratedTree {
    const char* file;
    size_t individuals;
    size_t families;
};

class GeneratedTreeTest : public ::testing::TestWithParam<GeneratedTree> {};

TEST_P(GeneratedTreeTest, FindsEveryRecord) {
    const fs::path path = kCorpus / "generated" / GetParam().file;
    if (!fs::exists(path)) GTEST_SKIP() << "no " << path;
    CountingReader reader;
    GEDCOMParser parser(test::readCorpusBytes(path));
    parser.setDelegate(&reader);
    ASSERT_TRUE(parser.parse()) << parser.errorMsg();
    EXPECT_EQ(reader.recordTypes["INDI"], GetParam().individuals);
    EXPECT_EQ(reader.recordTypes["FAM"], GetParam().families);
}

INSTANTIATE_TEST_SUITE_P(Generated, GeneratedTreeTest,
                         ::testing::Values(GeneratedTree{"gen100k_seed20240601.ged.gz", 100000, 45047}),
                         [](const auto& info) { return std::string(info.param.file).substr(0, 6); });

}  // namespace
}  // namespace kl
