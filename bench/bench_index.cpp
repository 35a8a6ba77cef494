// The index window over the 100,000-individual generated tree: a header
// click that re-sorts every individual (by name, then by birth date), and the
// cell values of one screenful of rows as the table asks for them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "IndexBench.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsList.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UserDefaults.h"
#include "foundation/UndoManager.h"
#include "index/FindCompletion.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "index/IndexStyleLibrary.h"

namespace {

struct OpenTree : bench::OpenIndexTree {
    OpenTree() : OpenIndexTree("kl-bench-index") {
        styles.indexStyleForType("INDI", &doc)->addColumn(
            kl::Dictionary{{"Label", "Born"}, {"Expression", "BIRT.DATE"}, {"Width", 90}});
        openWindow();
        index->selectRecordType("INDI");
    }
};

OpenTree& tree() {
    static OpenTree open;
    return open;
}

void BM_HeaderClickSort(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& t = tree();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(t.index->didClickTableColumn(column));
    state.counters["records"] = static_cast<double>(t.index->currentList()->count());
}
BENCHMARK(BM_HeaderClickSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScreenfulOfCells(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& t = tree();
    const auto& records = t.index->listedRecords();
    const auto style = t.index->shownStyle();
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t row = first; row < first + 50; ++row)
            for (int column = 0; column < 2; ++column)
                benchmark::DoNotOptimize(style->dataForRecord(*records[row], column, &t.doc.gedcomModel()));
        first = (first + 50) % (records.size() - 50);
    }
}
BENCHMARK(BM_ScreenfulOfCells)->Unit(benchmark::kMicrosecond);

// The source pane's text as the user left it.
struct PaneView : kl::IndexView {
    std::string text;
    std::string sourceText() const override { return text; }
};

// Sorted by name, as the find field needs.
void sortByName(OpenTree& t) {
    if (t.index->highlightedColumn() != 0 || t.index->currentList()->howSorted().empty())
        t.index->didClickTableColumn(0);
}

// One keystroke of the find field: the row found, selected and centred,
// and the typed text completed inline.
void BM_FindKeystroke(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& t = tree();
    sortByName(t);
    // Typed texts: the first letters of values spread over the list.
    std::vector<std::string> typed;
    const auto& records = t.index->listedRecords();
    for (std::size_t row = 0; row < records.size(); row += records.size() / 64) {
        std::string match;
        t.index->currentList()->findSortedString(records[row]->viewName().substr(0, 1), &match);
        typed.push_back(match.substr(0, 1 + row % 4));
    }
    kl::FindCompletion completion;
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& text = typed[i++ % typed.size()];
        const auto answer = t.index->findString(text, false);
        kl::FindCompletion::Field field{text, text.size(), text.size()};
        completion.completeString(answer.match, field, true);
        benchmark::DoNotOptimize(field);
    }
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMicrosecond);

// Committing the source pane's edit of one person: the record rebuilt from
// its text as one undo step, re-sorted and announced.
void BM_CommitPaneEdit(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& t = tree();
    sortByName(t);
    PaneView view;
    t.index->setView(&view);
    t.index->setSourceShown(true);
    t.index->recordSelectionChanged({static_cast<long>(t.index->currentList()->count() / 2)});
    const auto record = t.index->sourceRecord();
    const std::string plain = record->gedcomString();
    const std::string noted = plain + "1 NOTE Checked against the parish book\n";
    bool flip = false;
    for (auto _ : state) {
        view.text = (flip = !flip) ? noted : plain;
        t.index->setSourceChanged(kl::IndexController::SourceEdited);
        t.index->textDidEndEditing();
    }
    t.doc.undo().removeAllActions();
    t.index->setSourceShown(false);
    t.index->setView(nullptr);
}
BENCHMARK(BM_CommitPaneEdit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
