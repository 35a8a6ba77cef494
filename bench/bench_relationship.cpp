// The relationship finder on the generated tree of 100,000 people: taking
// the snapshot of the family links when the finder opens, and a whole
// search from a person to one who is not related by blood (the walk that
// must visit everything within reach).
#include <benchmark/benchmark.h>

#include <memory>

#include "RelativesBench.h"
#include "charts/RelationshipSearch.h"
#include "charts/RelativesWalk.h"

namespace {

// Counts paths and never stops early.
struct Counter : kl::RelationshipTarget {
    void foundRelationship(const kl::Relative&, const std::vector<int>&, const std::vector<int>&) override {
        ++found;
    }
    bool stopLooking() override { return false; }
    int32_t hits() override { return found; }
    int32_t found = 0;
};

void BM_RelationshipSnapshot(benchmark::State& state) {
    auto& model = bench::generatedDocument().gedcomModel();
    if (!bench::mostDescendantsOrSkip(state)) return;
    for (auto _ : state) {
        kl::RelativesGraph graph(model);
        benchmark::DoNotOptimize(graph.people().size());
    }
}
BENCHMARK(BM_RelationshipSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RelationshipSearch(benchmark::State& state) {
    auto& model = bench::generatedDocument().gedcomModel();
    const auto top = bench::mostDescendantsOrSkip(state);
    if (!top) return;
    auto graph = std::make_shared<const kl::RelativesGraph>(model);
    // From a child of the most prolific person to someone with no family
    // links at all, so nothing ends the walk early.
    int subject = -1, stranger = -1;
    for (int i = 0; i < static_cast<int>(graph->people().size()); ++i) {
        const auto& p = graph->person(i);
        if (subject < 0 && !p.parents.empty() && p.parents.front() >= 0 &&
            graph->family(p.parents.front()).husband == graph->personIndex(top.get()))
            subject = i;
        if (stranger < 0 && p.parents.empty() && p.families.empty()) stranger = i;
    }
    if (subject < 0) subject = graph->personIndex(top.get());
    if (stranger < 0) stranger = subject == 0 ? 1 : 0;
    for (auto _ : state) {
        kl::RelativesWalk walk(graph, subject, kl::RelativesWalk::kFinderGenerations);
        Counter counter;
        walk.findRelationships(stranger, counter);
        benchmark::DoNotOptimize(counter.found);
    }
}
BENCHMARK(BM_RelationshipSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
