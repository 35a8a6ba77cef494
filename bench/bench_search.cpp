// Searching the 100,000-individual generated tree on one core, as the
// search window's worker does: birth dates compared by day number, names
// compared as text, and every record's whole GEDCOM text.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "index/SearchCriteria.h"

namespace {

kl::GEDCOMDocument& tree() {
    static kl::GEDCOMDocument* doc = [] {
        auto* made = new kl::GEDCOMDocument;
        made->undo().disableUndoRegistration();
        made->gedcomModel().setInputGed(bench::treeText());
        made->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        made->undo().enableUndoRegistration();
        return made;
    }();
    return *doc;
}

void runSearch(benchmark::State& state, int kind, int comparison, const char* text) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& doc = tree();
    auto& index = doc.gedcomModel().recordsIndex();
    kl::CriterionRow row;
    row.kind = kind;
    row.comparison = comparison;
    row.text = text;
    kl::CriterionRow people;
    people.kind = kl::SearchCriteria::RecordType;
    people.recordTypeTitle = "Individual";
    std::size_t hits = 0, searched = 0;
    for (auto _ : state) {
        auto criteria = kl::SearchCriteria::readCriteria({row, people}, index);
        if (!criteria || criteria->validate()) {
            state.SkipWithError("criteria refused");
            return;
        }
        hits = 0;
        const auto records = criteria->recordsToSearch(index);
        searched = records.size();
        for (const auto& record : records)
            if (criteria->testRecord(*record, &doc.gedcomModel())) ++hits;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["records"] = static_cast<double>(searched);
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_BirthDateBefore1850(benchmark::State& state) {
    runSearch(state, kl::SearchCriteria::BirthDate, kl::SearchCriteria::IsBefore, "1850");
}
void BM_NameContains(benchmark::State& state) {
    runSearch(state, kl::SearchCriteria::NameTitle, kl::SearchCriteria::Contains, "Surname_12");
}
void BM_GEDCOMTextContains(benchmark::State& state) {
    runSearch(state, kl::SearchCriteria::GEDCOMText, kl::SearchCriteria::Contains, "Penelope");
}
BENCHMARK(BM_BirthDateBefore1850)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NameContains)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GEDCOMTextContains)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
