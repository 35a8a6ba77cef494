// Every file of the shared GEDCOM corpus (bar the generated scale trees,
// which bench_read reads) reads into the store without a
// crash: each level-0 record the parser finds ends up in a list, and only
// duplicates and extra headers are kept out of their type's list.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "StoreTestSupport.h"
#include "foundation/Exception.h"
#include "model/TextEncoding.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(KL_TESTDATA) / "gedcom";

std::string readBytes(const fs::path& path) {
    if (path.extension() != ".gz") {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string text;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[1 << 16];
    for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
    gzclose(file);
    return text;
}

// UTF-16 by its zero bytes or mark, else the header's CHAR line.
TextEncoding encodingOf(std::string_view bytes) {
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' || bytes.starts_with("\xFE\xFF") ||
                              bytes.starts_with("\xFF\xFE")))
        return TextEncoding::UTF16;
    const size_t at = bytes.substr(0, 4096).find("1 CHAR ");
    if (at == std::string_view::npos) return TextEncoding::UTF8;
    const std::string_view name = bytes.substr(at + 7, bytes.substr(at + 7).find_first_of(" \r\n"));
    if (name == "ANSEL") return TextEncoding::ANSEL;
    if (name == "ANSI") return TextEncoding::Windows1252;
    return TextEncoding::UTF8;
}

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(kCorpus, error)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(kCorpus, error))
        // The generated scale trees are read by the benchmarks.
        if (entry.is_regular_file() && entry.path().parent_path().filename() != "generated")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class StoreCorpus : public testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StoreCorpus);

TEST_P(StoreCorpus, ReadsEveryRecordIntoAList) {
    const std::string bytes = readBytes(GetParam());
    test::StoreFixture f;
    try {
        f.read(decode(bytes, encodingOf(bytes)).text);
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLFileReadError");
        std::string name = GetParam().filename().string();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        const bool gedcom = name.ends_with(".ged") || name.ends_with(".ged.gz");
        EXPECT_TRUE(!gedcom || name == "bogus.ged") << e.message();
        return;
    }
    size_t keptOut = 0;
    if (auto corrupted = f.list("Corrupted"))
        for (const auto& r : corrupted->order()) keptOut += r->isCorrupt(CorruptDuplicateID | CorruptExtraRecord);
    size_t listed = 0;
    for (const auto& list : f.model.recordsIndex().lists()) {
        EXPECT_GT(list->count(), 0u) << list->recordType();
        if (list->listType() <= ListReports) listed += list->count();
    }
    EXPECT_EQ(listed + keptOut, static_cast<size_t>(f.model.recordsDone()));
    ASSERT_TRUE(f.model.header());
}

INSTANTIATE_TEST_SUITE_P(Files, StoreCorpus, testing::ValuesIn(corpusFiles()), [](const auto& info) {
    std::string name = fs::relative(info.param, kCorpus).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
}  // namespace kl
