// Reading a whole database into the record store: the generated tree of
// 100,000 individuals, decoded once, then parsed into records, lists and the
// place index on each iteration. Reports bytes per second and the process's
// peak resident memory.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <malloc.h>
#include <sys/resource.h>
#include <zlib.h>

#include <filesystem>
#include <limits>
#include <string>

#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "foundation/UndoManager.h"

namespace {

using bench::QuietDocument;

size_t readOnce(const std::string& text) {
    QuietDocument document;
    document.undo.disableUndoRegistration();
    kl::GEDCOMModel model(&document);
    model.setInputGed(text);
    model.setRecordsFromStringVerifyIDs(true, false);
    return model.recordsIndex().numberOfRecords();
}

// With warmHeap, freed memory stays with the process and one untimed read
// runs first, so the timed reads reuse pages already mapped: on a virtual
// machine whose first touch of a page is slow, that separates the code's
// own cost from the kernel's.
void readTree(benchmark::State& state, bool warmHeap) {
    const std::string& text = bench::treeText();
    if (text.empty()) {
        state.SkipWithError("generated tree not found");
        return;
    }
    if (warmHeap) {
        mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        readOnce(text);
    }
    size_t records = 0;
    for (auto _ : state) benchmark::DoNotOptimize(records = readOnce(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_MB"] = bench::peakResidentBytes() / (1 << 20);
}

void BM_ReadGeneratedTree(benchmark::State& state) { readTree(state, false); }
BENCHMARK(BM_ReadGeneratedTree)->Unit(benchmark::kMillisecond)->Iterations(3);

// Last: it changes how the process's heap gives memory back.
void BM_ReadGeneratedTreeWarmHeap(benchmark::State& state) { readTree(state, true); }
BENCHMARK(BM_ReadGeneratedTreeWarmHeap)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
