// Record paths over a whole index list: the three columns of an individual
// style (name, birth date, death date) evaluated for the 100,000 individuals
// of the generated tree, once as the shown texts and once as the sort keys
// that sorting a column computes. The tree is read once, outside the timing.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"
#include <zlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/KLExpression.h"
#include "document/ModelDocument.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"

namespace {

using bench::QuietDocument;

struct Tree {
    QuietDocument document;
    kl::GEDCOMModel model{&document};
    std::shared_ptr<kl::RecordsList> individuals;
};

Tree* tree() {
    static Tree* loaded = [] {
        const std::string& text = bench::treeText();
        if (text.empty()) return static_cast<Tree*>(nullptr);
        auto* t = new Tree;  // kept for the whole run
        t->document.undo.disableUndoRegistration();
        t->model.setInputGed(text);
        t->model.setRecordsFromStringVerifyIDs(true, false);
        t->model.runSimplifyGEDCOM(1);
        t->individuals = t->model.recordsIndex().listForType("INDI");
        return t;
    }();
    return loaded;
}

std::shared_ptr<kl::IndexStyle> threeColumnStyle() {
    auto column = [](const char* label, const char* expression) {
        return kl::Value(kl::Dictionary{{"Label", label}, {"Expression", expression}, {"Width", "150"}});
    };
    return kl::IndexStyle::indexStyleWith(
        {column("Name", "NAME"), column("Born", "BIRT.DATE.user"), column("Died", "DEAT.DATE.user")}, "INDI");
}

void evaluate(benchmark::State& state, const std::vector<std::shared_ptr<kl::KLExpression>>& columns) {
    Tree* t = tree();
    if (!t || !t->individuals) {
        state.SkipWithError("generated tree not found");
        return;
    }
    std::size_t filled = 0;
    for (auto _ : state) {
        filled = 0;
        for (const auto& record : t->individuals->order())
            for (const auto& column : columns) {
                std::string value = column->valueInRecord(*record, *record, &t->model);
                filled += !value.empty();
                benchmark::DoNotOptimize(value);
            }
    }
    state.counters["individuals"] = static_cast<double>(t->individuals->count());
    state.counters["filled_cells"] = static_cast<double>(filled);
}

void BM_ThreeColumnTexts(benchmark::State& state) {
    const auto style = threeColumnStyle();
    std::vector<std::shared_ptr<kl::KLExpression>> columns;
    for (const auto& c : style->columns()) columns.push_back(kl::KLExpression::expressionFromString(c.expression));
    evaluate(state, columns);
}
BENCHMARK(BM_ThreeColumnTexts)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ThreeColumnSortKeys(benchmark::State& state) {
    const auto style = threeColumnStyle();
    std::vector<std::shared_ptr<kl::KLExpression>> columns;
    for (int i = 0; i < static_cast<int>(style->numberOfColumns()); ++i) columns.push_back(style->expressionForSort(i));
    evaluate(state, columns);
}
BENCHMARK(BM_ThreeColumnSortKeys)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
