// Merging the generated tree of 100,000 individuals into an open copy of
// itself: every ID clashes, so every record is renumbered and every link
// rewritten, then installed with undo into the destination. The source's
// text is handed over as a drop hands it, so the timing covers decode,
// tidy, renumbering and installing.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"

namespace {

namespace fs = std::filesystem;

class BenchUI : public kl::DocumentUI {
public:
    bool pauseIn(kl::KLProgress& task, double) override { return task.stillRunning(); }
    void runProgress(kl::KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
};

std::unique_ptr<kl::GEDCOMDocument> openTree(BenchUI& ui, const fs::path& plain) {
    auto document = std::make_unique<kl::GEDCOMDocument>();
    document->setUI(&ui);
    std::string error;
    if (!document->readFromURL(plain, kl::GEDCOMDocument::kGEDCOMType, &error)) return nullptr;
    return document;
}

void BM_MergeIntoCopyOfItself(benchmark::State& state) {
    if (bench::treeText().empty()) return state.SkipWithError("generated tree not found");
    const fs::path folder = fs::temp_directory_path() / ("kl-bench-merge-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path plain = folder / "gen100k.ged";
    std::ofstream(plain, std::ios::binary) << bench::treeText();
    BenchUI ui;
    for (auto _ : state) {
        state.PauseTiming();
        auto dest = openTree(ui, plain);
        auto source = openTree(ui, plain);
        if (!dest || !source) return state.SkipWithError("could not open the tree");
        std::string text = bench::treeText();
        state.ResumeTiming();
        benchmark::DoNotOptimize(dest->mergeGEDCOMString(std::move(text), source.get()));
        state.PauseTiming();
        state.counters["records"] = static_cast<double>(dest->gedcomModel().recordsIndex().numberOfRecords());
        dest.reset();
        source.reset();
        state.ResumeTiming();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}
BENCHMARK(BM_MergeIntoCopyOfItself)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
