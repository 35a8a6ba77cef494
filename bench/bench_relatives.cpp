// Building a descendants tree: every branch of the person with most
// descendants of the generated tree, on the branch worker.
#include <benchmark/benchmark.h>

#include <memory>

#include "RelativesBench.h"
#include "charts/RelativesTree.h"
#include "document/IndexStyle.h"

namespace {

void BM_ExpandAllDescendants(benchmark::State& state) {
    auto& doc = bench::generatedDocument();
    auto person = bench::mostDescendantsOrSkip(state);
    if (!person) return;
    kl::TreeItem::setMaxGenerations(100000);
    auto style = kl::IndexStyle::defaultStyleForType("Descend");
    long nodes = 0;
    for (auto _ : state) {
        auto tree =
            std::make_unique<kl::RelativesTree>(kl::RelativesTree::Kind::Descendants, doc.gedcomModel(), style);
        tree->setRootItemRecord(person);
        if (!tree->rootItem()->recursiveExpand(nullptr)) state.SkipWithError("expansion did not finish");
        nodes += kl::TreeItem::visitedCount();
        // Letting the tree go is not building it.
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["nodes"] = benchmark::Counter(static_cast<double>(kl::TreeItem::visitedCount()));
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExpandAllDescendants)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
