// Opening a descendants window five generations deep for the person with
// most descendants of the generated tree, until it has been shown.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>

#include "QtBench.h"
#include "RelativesBench.h"
#include "app/ui/QtDispatcher.h"
#include "charts/ui/RelativesController.h"
#include "foundation/UserDefaults.h"
#include "index/DocumentWindows.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"

namespace {

void BM_OpenDescendantsWindow(benchmark::State& state) {
    kl::QtDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    const auto folder = std::filesystem::temp_directory_path() / "kl-bench-relatives-ui";
    {
        kl::UserDefaults defaults{"Kinlore II", folder};
        auto styles = std::make_shared<kl::IndexStyleLibrary>(defaults);
        auto& doc = bench::generatedDocument();
        auto person = bench::mostDescendants(doc.gedcomModel());
        auto index = std::make_unique<kl::IndexWindow>(doc, styles, defaults);
        kl::TreeItem::setMaxGenerations(100);
        for (auto _ : state) {
            auto* window = new kl::DescendantController(doc, index->documentWindows(), styles, defaults, "bench");
            window->initForRecord(person, 5);
            window->resize(800, 600);
            window->show();
            QCoreApplication::processEvents();
            state.PauseTiming();
            window->close();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            state.ResumeTiming();
        }
        index.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_OpenDescendantsWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
