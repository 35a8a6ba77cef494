// Evaluation speed of a column-style expression compiled in advance: the
// work an index column does for each record it shows.
#include <benchmark/benchmark.h>

#include "script/Expression.h"

namespace {

void BM_ColumnExpression(benchmark::State& state) {
    kl::Expression e("uppercase(#surname)&\", \"&#given&\" (\"&(#death-#birth)&\")\"");
    if (e.tokenizeExpr()) {
        state.SkipWithError("expression does not compile");
        return;
    }
    const kl::Variables variables{{"#surname", "Smith"}, {"#given", "John"}, {"#birth", "1820"}, {"#death", "1891"},
                                  {"#place", "Boston"},  {"#sex", "M"},      {"#id", "I42"}};
    for (auto _ : state) {
        auto error = e.evaluateWith(variables);
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(e.value().data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ColumnExpression);

void BM_ArithmeticWithIndex(benchmark::State& state) {
    kl::Expression e("(#width-10)/2+#col[#i+1]*3");
    const kl::Variables variables{{"#width", "480"}, {"#i", "1"}, {"#col[2]", "12"}};
    for (auto _ : state) {
        auto error = e.evaluateWith(variables);
        benchmark::DoNotOptimize(error);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ArithmeticWithIndex);

}  // namespace

BENCHMARK_MAIN();
