// Records > Merge Duplicate UUIDs... over the 100,000-individual generated
// tree: the worker reads every record's UUID, type by type, and the window
// ends with its report.
#include <benchmark/benchmark.h>

#include <memory>

#include "IndexBench.h"

namespace {

void BM_MergeDuplicateUUIDs(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    static auto tree = [] {
        auto open = std::make_unique<bench::OpenIndexTree>("kl-bench-merge");
        open->openWindow();
        return open;
    }();
    for (auto _ : state) tree->index->mergeDuplicateUUIDs();
}
BENCHMARK(BM_MergeDuplicateUUIDs)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
