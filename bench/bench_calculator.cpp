// The calculator's register model: summing spans through the registers as
// the b + a button does, 100,000 pairs per run (target: under 0.5 s).
#include <benchmark/benchmark.h>

#include "calculator/TPModel.h"

namespace {

void SumSpanPairs(benchmark::State& state) {
    kl::TPModel model;
    const int pairs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < pairs; ++i) {
            model.EnterRegA("2y 3m");
            model.editText(i % 2 ? "BET 10d AND 20d" : "FROM 1y");
            model.SumDateTime();
        }
        benchmark::DoNotOptimize(model.text(kl::TPModel::kA));
    }
}
BENCHMARK(SumSpanPairs)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
