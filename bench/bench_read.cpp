// Reading a whole database into the record store: the generated tree of
// 100,000 individuals, decoded once, then parsed into records, lists and the
// place index on each iteration. Reports bytes per second and the process's
// peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "foundation/UndoManager.h"

namespace {

const std::filesystem::path kTree =
    std::filesystem::path(KL_TESTDATA) / "gedcom" / "generated" / "gen100k_seed20240601.ged.gz";

std::string unpack(const std::filesystem::path& path) {
    std::string text;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[1 << 16];
    for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
    gzclose(file);
    return text;
}

class QuietDocument : public kl::ModelDocument {
public:
    kl::UndoManager* undoManager() override { return &undo; }
    kl::UndoManager undo;
};

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_ReadGeneratedTree(benchmark::State& state) {
    static const std::string text = unpack(kTree);
    if (text.empty()) {
        state.SkipWithError("generated tree not found");
        return;
    }
    size_t records = 0;
    for (auto _ : state) {
        QuietDocument document;
        document.undo.disableUndoRegistration();
        kl::GEDCOMModel model(&document);
        model.setInputGed(text);
        model.setRecordsFromStringVerifyIDs(true, false);
        records = model.recordsIndex().numberOfRecords();
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReadGeneratedTree)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
