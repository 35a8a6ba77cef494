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
#include "support/Corpus.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

const fs::path& kCorpus = test::corpusFolder();

class StoreCorpus : public testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StoreCorpus);

TEST_P(StoreCorpus, ReadsEveryRecordIntoAList) {
    const std::string bytes = test::readCorpusBytes(GetParam());
    test::StoreFixture f;
    try {
        f.read(decode(bytes, test::guessCorpusEncoding(bytes)).text);
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

KL_CORPUS_PRESENCE_TEST(StoreCorpusFiles)

INSTANTIATE_TEST_SUITE_P(Files, StoreCorpus, testing::ValuesIn(test::corpusFiles()), [](const auto& info) {
    std::string name = fs::relative(info.param, kCorpus).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
}  // namespace kl
