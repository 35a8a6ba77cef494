// Link buttons and multimedia cells through their widgets: a record window
// whose pane holds 200 source links (laid out by the shipped Default
// Format), re-titling them all when the source they link to is renamed,
// and a multimedia cell showing a 3000 x 2000 JPEG from a stored thumbnail
// and from the file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "BrowserBench.h"
#include "QtBench.h"
#include "browser/ui/BrowserController.h"
#include "cells/LinkButton.h"
#include "cells/MultimediaCell.h"
#include "cells/ui/LinkViews.h"
#include "cells/ui/WidgetCellView.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace {

std::string citingIndividual() {
    std::string text = "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Tamsin /Orrell/\n1 SEX F\n";
    for (int i = 0; i < 200; ++i) text += "1 SOUR @S1@\n";
    text += "0 @S1@ SOUR\n1 TITL Parish book of Hollin Cross\n";
    return text + "0 TRLR\n";
}

struct LinkWindow : bench::BrowserWindow {
    std::shared_ptr<kl::GEDCOMStructure> title;

    LinkWindow() : BrowserWindow(citingIndividual()) {
        title = doc.gedcomModel().recordWithID("@S1@")->findChild("TITL", false);
    }
    int links() const {
        int count = 0;
        for (const auto& cell : browser->backgroundView().customCells())
            if (dynamic_cast<kl::LinkButton*>(cell.get())) ++count;
        return count;
    }
};

LinkWindow& shown() { return bench::keptOpen<LinkWindow>(); }

void BM_PaneWith200Links(benchmark::State& state) {
    auto& w = shown();
    for (auto _ : state) {
        w.browser->backgroundView().removeCustomCells(false);
        benchmark::DoNotOptimize(w.browser->buildCustomEditNow(true));
    }
    state.counters["links"] = w.links();
}
BENCHMARK(BM_PaneWith200Links)->Unit(benchmark::kMillisecond);

// Every link follows the source's title: one edit re-titles all of them.
void BM_RenameRetitles200Links(benchmark::State& state) {
    auto& w = shown();
    int round = 0;
    for (auto _ : state) w.title->setContents("Parish book, copy " + std::to_string(++round));
    int retitled = 0;
    for (const auto& cell : w.browser->backgroundView().customCells())
        if (dynamic_cast<kl::LinkButton*>(cell.get()) && cell->text() == w.title->contents()) ++retitled;
    state.counters["retitled"] = retitled;
}
BENCHMARK(BM_RenameRetitles200Links)->Unit(benchmark::kMillisecond);

struct Picture {
    QTemporaryDir folder;
    std::string path;
    std::string thumbnail;
    Picture() {
        kl::installLinkDesktop();
        QImage photo(3000, 2000, QImage::Format_RGB32);
        QPainter painter(&photo);
        painter.fillRect(photo.rect(), QColor(120, 140, 90));
        painter.setPen(QPen(Qt::white, 40));
        painter.drawEllipse(photo.rect().adjusted(200, 200, -200, -200));
        painter.end();
        path = folder.filePath("photo.jpg").toStdString();
        photo.save(QString::fromStdString(path), "JPEG", 90);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        photo.scaled(300, 200, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(&buffer, "JPEG", 85);
        thumbnail = bytes.toStdString();
    }
};

// A multimedia cell made, given its picture at thumbnail height and shown.
void showPicture(benchmark::State& state, bool fromThumbnail) {
    auto& picture = bench::keptOpen<Picture>();
    kl::CellImage source;
    if (fromThumbnail) source.data = picture.thumbnail;
    else source.path = picture.path;
    QWidget pane;
    for (auto _ : state) {
        kl::MultimediaCell cell({0, 0, 200, 150}, nullptr, nullptr);
        auto measured = kl::ButtonCell::measureImage(source);
        if (!measured) state.SkipWithError("the picture does not read");
        cell.cellNSImage(*measured);
        cell.cellImageSize(measured->width * 150 / measured->height, 150);
        cell.setView(kl::makeLinkView(cell));
        auto* view = dynamic_cast<kl::WidgetCellView*>(cell.view());
        view->widget()->setParent(&pane);
        view->widget()->repaint();
        delete view->widget();
    }
}

void BM_MultimediaFromThumbnail(benchmark::State& state) { showPicture(state, true); }
BENCHMARK(BM_MultimediaFromThumbnail)->Unit(benchmark::kMillisecond);

void BM_MultimediaFromFile(benchmark::State& state) { showPicture(state, false); }
BENCHMARK(BM_MultimediaFromFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
