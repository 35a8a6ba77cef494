// A record browser window over an individual with 50 events, 10 notes and
// 5 families, laid out by the shipped Default Format: the first build of
// the pane with its widgets, the rebuild after one change of the record
// (the notification, the deferred rebuild and its paint in the next turn),
// and Return on a record whose window is already shown.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>
#include <string>

#include "BrowserBench.h"
#include "QtBench.h"
#include "browser/ui/BrowserController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/DocumentWindows.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace {

std::string busyIndividual() {
    std::string text = "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Tamsin /Orrell/\n1 SEX F\n";
    static const char* events[] = {"BIRT", "CHR", "RESI", "OCCU", "EDUC", "CENS", "EVEN", "GRAD", "RETI", "DEAT"};
    for (int i = 0; i < 50; ++i) {
        text += std::string("1 ") + events[i % 10] + (i % 10 == 3 ? " Weaver" : "") + "\n";
        text += "2 DATE " + std::to_string(1 + i % 28) + " MAR " + std::to_string(1800 + i) + "\n";
        text += "2 PLAC Millbrook, Lower Vale\n";
    }
    for (int i = 0; i < 10; ++i) text += "1 NOTE Note number " + std::to_string(i) + " about her life\n";
    for (int i = 1; i <= 5; ++i) text += "1 FAMS @F" + std::to_string(i) + "@\n";
    for (int i = 1; i <= 5; ++i) text += "0 @F" + std::to_string(i) + "@ FAM\n1 WIFE @I1@\n";
    return text + "0 TRLR\n";
}

struct OpenBrowser : bench::BrowserWindow {
    OpenBrowser() : BrowserWindow(busyIndividual()) {}
};

OpenBrowser& shown() { return bench::keptOpen<OpenBrowser>(); }

void BM_BuildPane(benchmark::State& state) {
    auto& w = shown();
    for (auto _ : state) {
        w.browser->backgroundView().removeCustomCells(false);
        benchmark::DoNotOptimize(w.browser->buildCustomEditNow(true));
    }
    state.counters["cells"] = double(w.browser->backgroundView().customCells().size());
}
BENCHMARK(BM_BuildPane)->Unit(benchmark::kMillisecond);

// One change of the record's structures: the notification, then the turn
// of the event loop that rebuilds and paints the pane.
void BM_RebuildAfterOneChange(benchmark::State& state) {
    auto& w = shown();
    int rebuilds = 0, changes = 0;
    for (auto _ : state) {
        const int before = w.browser->builds();
        auto added = std::make_shared<kl::GEDCOMStructure>(w.person.get(), 1, "OCCU", "Carter");
        w.person->addStructure(added, w.person.get(), nullptr, false);
        while (w.browser->needsReload()) QCoreApplication::processEvents();
        w.browser->repaint();
        rebuilds += w.browser->builds() - before;
        ++changes;
        state.PauseTiming();
        w.person->removeStructure(added, w.person.get(), w.browser->backgroundView().mainBrowser());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rebuilds_per_change"] = changes ? double(rebuilds) / changes : 0;
}
BENCHMARK(BM_RebuildAfterOneChange)->Unit(benchmark::kMillisecond);

void BM_ReturnToShownWindow(benchmark::State& state) {
    auto& w = shown();
    for (auto _ : state) {
        benchmark::DoNotOptimize(w.windows->openRecordBrowser(w.person));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ReturnToShownWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
