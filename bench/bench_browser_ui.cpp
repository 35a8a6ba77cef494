// A record browser window over an individual with 50 events, 10 notes and
// 5 families, laid out by the shipped Default Format: the first build of
// the pane with its widgets, the rebuild after one change of the record
// (the notification, the deferred rebuild and its paint in the next turn),
// and Return on a record whose window is already shown; typing into the
// pane: a keystroke in a date field, committing a date or a value with its
// rebuild, Edit > Undo of a commit, and a 100 kB note opening in its
// multi-line cell.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <memory>
#include <string>

#include <QKeyEvent>
#include <QLineEdit>

#include "BrowserBench.h"
#include "QtBench.h"
#include "app/LibraryFolder.h"
#include "cells/CellKinds.h"
#include "cells/EditDateCell.h"
#include "cells/TextFieldCell.h"
#include "cells/ui/QtCellView.h"
#include "app/AppController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
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

// The first cell of a kind over a structure of this tag, and its line edit.
template <class Cell>
Cell* cellOf(OpenBrowser& w, const std::string& tag, QLineEdit** line = nullptr) {
    for (const auto& cell : w.browser->backgroundView().customCells())
        if (auto* found = dynamic_cast<Cell*>(cell.get()); found && found->editTag() == tag && found->structure()) {
            if (line)
                if (auto* view = dynamic_cast<kl::QtCellView*>(found->view()))
                    *line = qobject_cast<QLineEdit*>(view->widget());
            return found;
        }
    return nullptr;
}

void waitForRebuild(OpenBrowser& w) {
    while (w.browser->needsReload()) QCoreApplication::processEvents();
    w.browser->repaint();
}

// A keystroke only marks the field changed: nothing is stored or rebuilt.
// Each iteration types a digit and takes it back, so the text keeps its
// length: two keystrokes.
void BM_KeystrokeInDateField(benchmark::State& state) {
    auto& w = shown();
    QLineEdit* line = nullptr;
    cellOf<kl::EditDateCell>(w, "DATE", &line);
    if (!line) {
        state.SkipWithError("no date field");
        return;
    }
    const int before = w.browser->builds();
    for (auto _ : state) {
        for (auto [key, text] : {std::pair{Qt::Key_1, "1"}, std::pair{Qt::Key_Backspace, ""}}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(line, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QApplication::sendEvent(line, &release);
        }
    }
    state.counters["rebuilds"] = double(w.browser->builds() - before);
    if (auto* cell = cellOf<kl::EditDateCell>(w, "DATE")) cell->setChanged(false);
}
BENCHMARK(BM_KeystrokeInDateField)->Unit(benchmark::kMicrosecond);

// A typed value committed: the undo registration, the notification and the
// rebuild of the pane in the next turn.
template <class Cell>
void commitTyped(benchmark::State& state, const std::string& tag, const char* first, const char* second) {
    auto& w = shown();
    bool flip = false;
    for (auto _ : state) {
        state.PauseTiming();
        QLineEdit* line = nullptr;
        Cell* cell = cellOf<Cell>(w, tag, &line);
        if (!cell || !line) {
            state.SkipWithError("no field");
            return;
        }
        line->setText(flip ? first : second);
        flip = !flip;
        cell->setChanged(true);
        state.ResumeTiming();
        cell->endStructureEditing(true);
        waitForRebuild(w);
    }
}

void BM_CommitDateWithRebuild(benchmark::State& state) { commitTyped<kl::EditDateCell>(state, "DATE", "5 MAR 1801", "ABT 1802"); }
BENCHMARK(BM_CommitDateWithRebuild)->Unit(benchmark::kMillisecond);

void BM_CommitValueWithRebuild(benchmark::State& state) { commitTyped<kl::EditValueCell>(state, "OCCU", "Weaver", "Carter"); }
BENCHMARK(BM_CommitValueWithRebuild)->Unit(benchmark::kMillisecond);

// Edit > Undo of a committed value, with its rebuild.
void BM_UndoCommittedValue(benchmark::State& state) {
    auto& w = shown();
    bool flip = false;
    for (auto _ : state) {
        state.PauseTiming();
        QLineEdit* line = nullptr;
        auto* cell = cellOf<kl::EditValueCell>(w, "OCCU", &line);
        if (!cell || !line) {
            state.SkipWithError("no field");
            return;
        }
        line->setText(flip ? "Weaver" : "Carter");
        flip = !flip;
        cell->setChanged(true);
        cell->endStructureEditing(true);
        waitForRebuild(w);
        QCoreApplication::processEvents();  // the turn's undo group closes
        state.ResumeTiming();
        w.doc.undo().undo();
        waitForRebuild(w);
    }
}
BENCHMARK(BM_UndoCommittedValue)->Unit(benchmark::kMillisecond);

// A note of 100 kB shown in its multi-line cell, sized to its text.
void BM_OpenLongNote(benchmark::State& state) {
    auto& w = shown();
    std::string text;
    while (text.size() < 100 * 1024) text += "The mill wheel turned through the winter of the great frost.\n";
    auto note = std::make_shared<kl::GEDCOMStructure>(w.person.get(), 1, "NOTE", text);
    kl::LibraryFolder* library = kl::AppController::sharedLibrary();
    const kl::CellSeed seed{"editfield", note, "NOTE", 1, text, {10, 10, 300, 20},
                            library ? &library->editingPrefs() : nullptr, "INDI"};
    for (auto _ : state) {
        auto cell = kl::CellKinds::make(seed);
        cell->setView(kl::QtCellView::make(*cell));
        cell->sizeToFit(0);
        benchmark::DoNotOptimize(cell->viewFrame().height);
    }
}
BENCHMARK(BM_OpenLongNote)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
