// The index window over the 100,000-individual generated tree: a header
// click that re-sorts every individual (by name, then by birth date), and the
// cell values of one screenful of rows as the table asks for them.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchCorpus.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsList.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UserDefaults.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"

namespace {

struct OpenTree {
    kl::InlineDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "kl-bench-index";
    kl::UserDefaults defaults{"Kinlore II", folder};
    kl::GEDCOMDocument doc;
    kl::IndexStyleLibrary styles{defaults};
    std::unique_ptr<kl::IndexController> index;

    OpenTree() {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed(bench::treeText());
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
        styles.indexStyleForType("INDI", &doc)->addColumn(
            kl::Dictionary{{"Label", "Born"}, {"Expression", "BIRT.DATE"}, {"Width", 90}});
        index = std::make_unique<kl::IndexController>(doc, styles);
        index->windowDidLoad();
        index->selectRecordType("INDI");
    }
    ~OpenTree() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
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

}  // namespace

BENCHMARK_MAIN();
