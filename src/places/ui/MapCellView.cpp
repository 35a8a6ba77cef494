#include "places/ui/MapCellView.h"

#include <QApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <cmath>

#include "cells/ui/QtCellView.h"
#include "places/Map_BOXCell.h"

namespace kl {

void MapCellView::install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    Map_BOXCell::registerMaker();
    QtCellView::addViewMaker([](CustomCell& cell) -> std::unique_ptr<CellView> {
        if (auto* map = dynamic_cast<Map_BOXCell*>(&cell)) return std::make_unique<MapCellView>(*map);
        return nullptr;
    });
}

MapCellView::MapCellView(Map_BOXCell& cell) : guard_(std::make_unique<QObject>()) {
    stack_ = new QStackedWidget;
    message_ = new QLabel(stack_);
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    web_ = new QWebEngineView(stack_);
    stack_->addWidget(message_);
    stack_->addWidget(web_);
    // The pane is laid out by the time the event loop turns again.
    QTimer::singleShot(0, guard_.get(), [&cell] { cell.paneDidFinish(); });
}

MapCellView::~MapCellView() {
    // A widget the pane never took goes with the view.
    if (stack_ && !stack_->parent()) delete stack_.data();
}

QWidget* MapCellView::widget() const { return stack_.data(); }

void MapCellView::setFrame(const CellRect& frame) {
    if (!stack_) return;
    stack_->setGeometry(int(std::lround(frame.x)), int(std::lround(frame.y)), int(std::lround(frame.width)),
                        int(std::lround(frame.height)));
}

std::string MapCellView::pagePath() const { return page_ ? page_->fileName().toStdString() : std::string(); }

void MapCellView::refresh(const CustomCell& cell) {
    if (!stack_ || cell.text() == shown_) return;
    shown_ = cell.text();
    if (!Map_BOXCell::isPage(shown_)) {
        page_.reset();
        message_->setText(QString::fromStdString(shown_));
        stack_->setCurrentWidget(message_);
        return;
    }
    page_ = std::make_unique<QTemporaryFile>(QDir::temp().filePath("Kinlore-map-XXXXXX.html"));
    if (!page_->open()) {
        message_->setText(QObject::tr("The map page could not be written to %1").arg(QDir::tempPath()));
        stack_->setCurrentWidget(message_);
        return;
    }
    page_->write(shown_.data(), qint64(shown_.size()));
    page_->flush();
    web_->load(QUrl::fromLocalFile(page_->fileName()));
    stack_->setCurrentWidget(web_);
}

double MapCellView::textWidth(const std::string& text) const {
    return QFontMetricsF(QApplication::font()).horizontalAdvance(QString::fromStdString(text));
}

double MapCellView::textHeight() const { return QFontMetricsF(QApplication::font()).height(); }

}  // namespace kl
