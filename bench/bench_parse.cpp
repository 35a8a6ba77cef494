// Scanning speed of the GEDCOM line parser over the generated 100,000-person
// tree, with a reader that does nothing (the scanner alone) and with one that
// builds the records' trees of GEDCOMStructure nodes. Reports MB/s and the
// process's peak resident memory against the file size.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <malloc.h>
#include <sys/resource.h>
#include <zlib.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/GEDCOMObject.h"
#include "model/GEDCOMParser.h"
#include "model/GEDCOMReader.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace {

using bench::NullReader;
using bench::peakResidentBytes;
using bench::treeText;
using bench::TreeReader;

// Runs one parse per iteration over a fresh copy of the text; the copy is
// not timed, the in-place preparation is. With warmHeap, freed memory stays
// with the process and one untimed scan runs first, so the timed scans reuse
// pages already mapped: on a virtual machine whose first touch of a page is
// slow, that separates the code's own cost from the kernel's.
template <typename Reader>
void scanTree(benchmark::State& state, bool warmHeap = false) {
    const std::string& text = treeText();
    if (text.empty()) {
        state.SkipWithError("generated tree not found");
        return;
    }
    std::optional<Reader> reader;
    if (warmHeap) {
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        reader.emplace();
        kl::GEDCOMParser parser(text);
        parser.setDelegate(&*reader);
        parser.parse();
    }
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

void BM_ScanBuildingTree(benchmark::State& state) { scanTree<TreeReader>(state); }
BENCHMARK(BM_ScanBuildingTree)->Unit(benchmark::kMillisecond);

// Last: it changes how the process's heap gives memory back.
void BM_ScanBuildingTreeWarmHeap(benchmark::State& state) { scanTree<TreeReader>(state, true); }
BENCHMARK(BM_ScanBuildingTreeWarmHeap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
