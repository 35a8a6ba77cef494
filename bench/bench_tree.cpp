// Building and writing GEDCOM trees: a file's worth of ordinary individuals,
// and one pathologically deep record.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace {

using kl::GEDCOMRecord;

std::vector<std::shared_ptr<GEDCOMRecord>> individuals(int count) {
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    records.reserve(count);
    for (int i = 1; i <= count; ++i) {
        auto r = std::make_shared<GEDCOMRecord>("@I" + std::to_string(i) + "@", "INDI");
        r->addLevel(1, "NAME", "Given" + std::to_string(i % 97) + " /Surname" + std::to_string(i % 1013) + "/");
        r->addLevel(1, "SEX", i % 2 ? "M" : "F");
        r->addLevel(1, "BIRT", "");
        r->addLevel(2, "DATE", std::to_string(1700 + i % 300));
        r->addLevel(2, "PLAC", "Town " + std::to_string(i % 500) + ", County, Country");
        r->addLevel(1, "DEAT", "");
        r->addLevel(2, "DATE", std::to_string(1760 + i % 300));
        r->addLevel(1, "FAMC", "@F" + std::to_string(i / 2 + 1) + "@");
        r->addLevel(1, "FAMS", "@F" + std::to_string(i + 7) + "@");
        r->addLevel(1, "NOTE", std::string(i % 5 == 0 ? 600 : 40, 'n'));
        records.push_back(std::move(r));
    }
    return records;
}

void BM_WriteIndividuals(benchmark::State& state) {
    auto records = individuals(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        out.reserve(bytes);
        for (const auto& r : records) r->appendGEDCOM(out);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_WriteIndividuals)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BuildIndividuals(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(individuals(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_BuildIndividuals)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DeepRecordBuildWriteFree(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto record = std::make_shared<GEDCOMRecord>("@N1@", "NOTE");
        for (int level = 1; level <= depth; ++level) record->addLevel(level, "STEP", "x");
        std::string out;
        record->appendGEDCOM(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetComplexityN(depth);
}
BENCHMARK(BM_DeepRecordBuildWriteFree)->Arg(25000)->Arg(50000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
