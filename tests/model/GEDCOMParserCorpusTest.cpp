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

namespace kl {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(KL_TESTDATA) / "gedcom";

std::string readPlain(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readGzip(const fs::path& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return {};
    std::string text;
    char buffer[1 << 16];
    int got = 0;
    while ((got = gzread(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
    gzclose(file);
    return text;
}

// A rough stand-in for the document's character-set detection: UTF-16 by
// its byte-order mark or zero bytes, else the header's CHAR line.
TextEncoding guessEncoding(std::string_view bytes) {
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' || bytes.starts_with("\xFE\xFF") ||
                              bytes.starts_with("\xFF\xFE")))
        return TextEncoding::UTF16;
    const size_t charLine = bytes.substr(0, 4096).find("1 CHAR ");
    if (charLine == std::string_view::npos) return TextEncoding::UTF8;
    const std::string_view rest = bytes.substr(charLine + 7);
    const std::string_view name = rest.substr(0, rest.find_first_of(" \r\n"));
    if (name == "ANSEL") return TextEncoding::ANSEL;
    if (name == "ANSI") return TextEncoding::Windows1252;
    return TextEncoding::UTF8;
}

// Every file named as GEDCOM is one, bar the deliberately broken one.
bool shouldBeAccepted(const fs::path& path) {
    std::string name = path.filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name != "bogus.ged" && (name.ends_with(".ged") || name.ends_with(".ged.gz"));
}

std::string readCorpusFile(const fs::path& path) {
    const std::string bytes = path.extension() == ".gz" ? readGzip(path) : readPlain(path);
    return decode(bytes, guessEncoding(bytes)).text;
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

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(kCorpus, error)) return files;
    // The generated scale files are counted by GeneratedTreeTest and timed by
    // the benchmarks; scanning the million-person one under the sanitizers
    // would cost minutes and find nothing the hand-made files don't.
    for (const auto& entry : fs::recursive_directory_iterator(kCorpus, error))
        if (entry.is_regular_file() && entry.path().parent_path().filename() != "generated")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
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

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(corpusFiles()),
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
    GEDCOMParser parser(readGzip(path));
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
