// Relatives windows over the generated tree: opening a descendants window
// five generations deep for the person with most descendants, until it has
// been shown, and painting the visible part of a large chart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <filesystem>

#include "QtBench.h"
#include "RelativesBench.h"
#include "app/ui/QtDispatcher.h"
#include "charts/TreeChartLayout.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/TreeChartScrollView.h"
#include "charts/ui/TreeChartView.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"

namespace {

// A window's surroundings: user defaults in a folder of their own, the
// generated tree and an index window over it.
struct WindowBench {
    kl::QtDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    std::filesystem::path folder;
    std::unique_ptr<kl::UserDefaults> defaults;
    std::shared_ptr<kl::IndexStyleLibrary> styles;
    kl::GEDCOMDocument& doc = bench::generatedDocument();
    std::unique_ptr<kl::IndexWindow> index;

    explicit WindowBench(const char* name) : folder(std::filesystem::temp_directory_path() / name) {
        defaults = std::make_unique<kl::UserDefaults>("Kinlore II", folder);
        styles = std::make_shared<kl::IndexStyleLibrary>(*defaults);
        index = std::make_unique<kl::IndexWindow>(doc, styles, *defaults);
    }
    ~WindowBench() {
        index.reset();
        styles.reset();
        defaults.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    kl::DescendantController* open() {
        return new kl::DescendantController(doc, index->documentWindows(), styles, *defaults, "bench");
    }
    static void close(QWidget* window) {
        window->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

void BM_OpenDescendantsWindow(benchmark::State& state) {
    auto person = bench::mostDescendantsOrSkip(state);
    if (!person) return;
    WindowBench bench("kl-bench-relatives-ui");
    kl::TreeItem::setMaxGenerations(100);
    for (auto _ : state) {
        auto* window = bench.open();
        window->initForRecord(person, 5);
        window->resize(800, 600);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        WindowBench::close(window);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDescendantsWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// Painting what a chart window shows of a descendants chart of 10,000 boxes
// or more: only the boxes in view are drawn.
void BM_PaintVisibleChart(benchmark::State& state) {
    auto person = bench::mostDescendantsOrSkip(state);
    if (!person) return;
    WindowBench bench("kl-bench-chart-ui");
    kl::TreeItem::setMaxGenerations(100000);
    auto* window = bench.open();
    window->initForRecord(person, 0);
    window->setChartMode(true);
    window->tree().rootItem()->recursiveExpand(nullptr);
    auto& chart = *window->chart();
    for (int generations = 1; generations < 1000 && chart.layout().shownNodes().size() < 10000; ++generations)
        chart.layout().showInitial(generations);
    window->resize(1000, 700);
    window->show();
    QCoreApplication::processEvents();
    const QSize view = window->chartScrollView()->viewport()->size();
    QImage image(view, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) chart.render(&image, QPoint(), QRegion(QRect(QPoint(0, 0), view)));
    state.counters["boxes"] = static_cast<double>(chart.layout().shownNodes().size());
    WindowBench::close(window);
}
BENCHMARK(BM_PaintVisibleChart)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
