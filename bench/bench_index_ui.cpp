// The index window on screen over the 100,000-individual generated tree: a
// click on a column header that re-sorts every individual and reloads the
// table (until the next turn of the event loop has drawn nothing yet), and
// the cells of one screenful of rows as the table asks for them while
// scrolling down, through the window's own model.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "QtBench.h"
#include "BenchCorpus.h"
#include "app/ui/QtDispatcher.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsList.h"
#include "foundation/UserDefaults.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/RecordsTableModel.h"

namespace {

struct OpenWindow {
    kl::QtDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "kl-bench-index-ui";
    kl::UserDefaults defaults{"Kinlore II", folder};
    std::shared_ptr<kl::IndexStyleLibrary> styles = std::make_shared<kl::IndexStyleLibrary>(defaults);
    kl::GEDCOMDocument doc;
    std::unique_ptr<kl::IndexWindow> window;

    OpenWindow() {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed(bench::treeText());
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
        styles->indexStyleForType("INDI", &doc)->addColumn(
            kl::Dictionary{{"Label", "Born"}, {"Expression", "BIRT.DATE"}, {"Width", 90}});
        window = std::make_unique<kl::IndexWindow>(doc, styles, defaults);
        window->resize(1000, 700);
        window->show();
        window->controller().selectRecordType("INDI");
        settle();
    }
    ~OpenWindow() {
        window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
};

OpenWindow& shown() { return bench::keptOpen<OpenWindow>(); }

// The click as the header reports it, then the turn of the event loop that
// reloads the table and paints the first screenful. The clicks alternate
// between the name and the birth-date columns, so each one sorts every
// record anew rather than reversing the last order.
void BM_HeaderClickResort(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& w = shown();
    QHeaderView* header = w.window->recordsTable()->horizontalHeader();
    int section = 0;
    for (auto _ : state) {
        section = 1 - section;
        emit header->sectionClicked(section);
        w.window->flushReloads();
        w.window->recordsTable()->viewport()->repaint();
    }
    state.counters["records"] = static_cast<double>(w.window->recordsModel()->rowCount());
}
BENCHMARK(BM_HeaderClickResort)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same alternating clicks straight to the controller: the sort alone,
// without the table's reload and paint.
void BM_ResortWithoutTable(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& w = shown();
    int column = 0;
    for (auto _ : state) {
        column = 1 - column;
        benchmark::DoNotOptimize(w.window->controller().didClickTableColumn(column));
    }
    w.window->flushReloads();
}
BENCHMARK(BM_ResortWithoutTable)->Unit(benchmark::kMillisecond)->UseRealTime();

// One page down: the model's cells for the rows that come into view, as the
// table asks for them when it paints.
void BM_ScrollOnePage(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& w = shown();
    QTableView* table = w.window->recordsTable();
    QScrollBar* bar = table->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        table->viewport()->repaint();
    }
    state.counters["rowsPerPage"] = bar->pageStep();
}
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMicrosecond);

// The same screenful read straight from the model: the cost the table pays
// per page without the painting.
void BM_ScreenfulOfData(benchmark::State& state) {
    if (bench::treeText().empty()) {
        state.SkipWithError("generated tree missing");
        return;
    }
    auto& w = shown();
    kl::RecordsTableModel* model = w.window->recordsModel();
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    int first = 0;
    for (auto _ : state) {
        for (int row = first; row < first + 50; ++row)
            for (int column = 0; column < columns; ++column)
                benchmark::DoNotOptimize(model->data(model->index(row, column)));
        first = (first + 50) % (rows - 50);
    }
}
BENCHMARK(BM_ScreenfulOfData)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
