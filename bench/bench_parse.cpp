// Scanning speed of the GEDCOM line parser over the generated 100,000-person
// tree, with a reader that does nothing (the scanner alone). Reports MB/s and
// the process's peak resident memory against the file size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <zlib.h>

#include <optional>
#include <string>

#include "model/GEDCOMParser.h"
#include "model/GEDCOMReader.h"

namespace {

const char* const kTreeFile = KL_TESTDATA "/gedcom/generated/gen100k_seed20240601.ged.gz";

const std::string& treeText() {
    static const std::string text = [] {
        std::string out;
        gzFile file = gzopen(kTreeFile, "rb");
        if (!file) return out;
        char buffer[1 << 16];
        int got = 0;
        while ((got = gzread(file, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(got));
        gzclose(file);
        return out;
    }();
    return text;
}

double peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

class NullReader : public kl::GEDCOMReader {
public:
    void parserDidStart() override {}
    void parserDidEnd() override {}
    void parserFoundHEAD() override {}
    void parserStartRecord(std::string, std::string, std::string, bool) override {}
    void parserLevel(int32_t, std::string, std::string, bool) override {}
    bool parserFoundTRLR() override { return true; }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string) override {}
    void parserInvalidLevelOrder() override {}
    void parserInvalidTag() override {}
    void parserNoLevelLine(std::string) override {}
};

// Runs one parse per iteration over a fresh copy of the text; the copy is
// not timed, the in-place preparation is.
template <typename Reader>
void scanTree(benchmark::State& state) {
    const std::string& text = treeText();
    if (text.empty()) {
        state.SkipWithError("generated tree not found");
        return;
    }
    std::optional<Reader> reader;
    for (auto _ : state) {
        state.PauseTiming();
        reader.reset();  // dropping the last tree is not part of reading
        std::string copy = text;
        reader.emplace();
        state.ResumeTiming();
        kl::GEDCOMParser parser(std::move(copy));
        parser.setDelegate(&*reader);
        benchmark::DoNotOptimize(parser.parse());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["peak_RSS_MB"] = peakResidentBytes() / 1e6;
    state.counters["peak_RSS_x_file"] = peakResidentBytes() / static_cast<double>(text.size());
}

void BM_ScanNullReader(benchmark::State& state) { scanTree<NullReader>(state); }
BENCHMARK(BM_ScanNullReader)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
