#include "charts/ui/TreeChartScrollView.h"

#include <QComboBox>
#include <QCursor>
#include <QPixmap>
#include <QPainter>
#include <QGuiApplication>
#include <QScrollBar>

#include "charts/RelativesTree.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/TreeChartView.h"

namespace kl {

TreeChartScrollView::TreeChartScrollView(QWidget* parent) : QScrollArea(parent) {
    setObjectName("TreeChartScrollView");
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TreeChartScrollView::setTreeChart(TreeChartView* chart) {
    chart_ = chart;
    zoomButton_ = new QComboBox(this);
    zoomButton_->setObjectName("ZoomButton");
    for (const std::string& title : ChartZoom::titles()) zoomButton_->addItem(tr(title.c_str()));
    zoomButton_->setCurrentIndex(zoom_.scaleIndex());
    QFont small = zoomButton_->font();
    small.setPointSize(10);
    zoomButton_->setFont(small);
    zoomButton_->setFixedWidth(85);
    addScrollBarWidget(zoomButton_, Qt::AlignLeft);
    connect(zoomButton_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) setScaleIndex(index);
    });
    setWidget(chart);
    QPalette background = viewport()->palette();
    background.setColor(QPalette::Window, chart->colors().background);
    viewport()->setPalette(background);
    viewport()->setAutoFillBackground(true);
    ruler_ = new GenerationRuler(*this);
    setViewportMargins(0, GenerationRuler::kHeight, 0, 0);
    placeRuler();
    ruler_->show();
}

QString TreeChartScrollView::rulerUnits() const {
    return chart_ && !chart_->layout().orientation().horizontal ? QStringLiteral("HGenerations")
                                                                 : QStringLiteral("Generations");
}

void TreeChartScrollView::updateRuler() {
    if (ruler_) ruler_->update();
}

void TreeChartScrollView::placeRuler() {
    if (!ruler_) return;
    const QRect area = viewport()->geometry();
    ruler_->setGeometry(area.x(), area.y() - GenerationRuler::kHeight, area.width(), GenerationRuler::kHeight);
}

void TreeChartScrollView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placeRuler();
    windowDidResize();
}

void TreeChartScrollView::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    if (ruler_) ruler_->update();
}

void TreeChartScrollView::setScaleIndex(int index, std::optional<QPointF> centre) {
    if (!chart_) return;
    const double s = zoom_.scaleFactor();
    const QSize view = viewport()->size();
    if (!centre)
        centre = QPointF((horizontalScrollBar()->value() + view.width() / 2.0) / s,
                         (verticalScrollBar()->value() + view.height() / 2.0) / s);
    const QSizeF size = chart_->chartSize();
    // The visible area and the chart, both in points at the current scale.
    zoom_.setScaleIndex(index, view.width() / s, view.height() / s, size.width(), size.height());
    fitting_ = true;
    chart_->setScale(zoom_.scaleFactor());
    fitting_ = false;
    centreOn(*centre);
    if (zoomButton_ && zoomButton_->currentIndex() != zoom_.scaleIndex()) zoomButton_->setCurrentIndex(zoom_.scaleIndex());
    if (ruler_) ruler_->update();
}

void TreeChartScrollView::centreOn(QPointF at) {
    if (!chart_) return;
    const double s = zoom_.scaleFactor();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setValue(
        static_cast<int>(ChartZoom::scrollOrigin(at.x() * s, view.width(), chart_->width())));
    verticalScrollBar()->setValue(
        static_cast<int>(ChartZoom::scrollOrigin(at.y() * s, view.height(), chart_->height())));
}

void TreeChartScrollView::zoomClick(QPointF at, bool zoomOut) {
    const auto next = zoom_.clickIndex(zoomOut);
    if (!next) {
        if (chart_) chart_->controller().beep();
        return;
    }
    setScaleIndex(*next, at);
    showZoomCursor(QGuiApplication::keyboardModifiers() | Qt::ControlModifier |
                   (zoomOut ? Qt::AltModifier : Qt::NoModifier));
}

QCursor TreeChartScrollView::zoomCursor(const QString& name) {
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QPointF(6, 6), 5, 5);
    painter.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(9.8, 9.8), QPointF(14.5, 14.5));
    painter.setPen(QPen(Qt::black, 1.2));
    if (name != "ZoomNo") painter.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (name == "ZoomPlus") painter.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
    painter.end();
    return QCursor(image, 6, 6);
}

void TreeChartScrollView::showZoomCursor(Qt::KeyboardModifiers modifiers) {
    if (!chart_) return;
    cursorName_.clear();
    if (modifiers & Qt::ControlModifier) {
        const bool out = (modifiers & (Qt::AltModifier | Qt::ShiftModifier)) != 0;
        if (out)
            cursorName_ = zoom_.scaleIndex() == 0 ? "ZoomNo" : "ZoomMinus";
        else
            cursorName_ = zoom_.scaleIndex() == ChartZoom::kFixedScales - 1 ? "ZoomNo" : "ZoomPlus";
    }
    if (cursorName_.isEmpty())
        chart_->unsetCursor();
    else
        chart_->setCursor(zoomCursor(cursorName_));
}

void TreeChartScrollView::windowDidResize() {
    if (zoom_.isFitting() && !fitting_) setScaleIndex(zoom_.scaleIndex());
}

void TreeChartScrollView::chartChanged() {
    if (ruler_) ruler_->update();
}

// ---- the ruler

GenerationRuler::GenerationRuler(TreeChartScrollView& scroll) : QWidget(&scroll), scroll_(scroll) {
    setObjectName("GenerationRuler");
}

double GenerationRuler::unitPoints() const {
    TreeChartView* chart = scroll_.treeChart();
    if (!chart) return 0;
    return chart->layout().settings().generationUnit(chart->layout().orientation().horizontal);
}

double GenerationRuler::originOffset() const {
    TreeChartView* chart = scroll_.treeChart();
    if (!chart) return 0;
    const auto& s = chart->layout().settings();
    return s.leftMargin + s.rowWidth / 2;
}

void GenerationRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const double scale = scroll_.scaleFactor(), unit = unitPoints() * scale;
    if (unit <= 1) return;
    painter.setPen(palette().color(QPalette::ButtonText));
    QFont small = font();
    small.setPointSize(8);
    painter.setFont(small);
    const double shift = scroll_.horizontalScrollBar()->value();
    // Steps of two generations when the marks would crowd.
    const int step = unit < 30 ? 2 : 1;
    for (int n = 0;; n += step) {
        const double x = originOffset() * scale + n * unit - shift;
        if (x > width()) break;
        if (x < -40) continue;
        painter.drawLine(QPointF(x, height() - 6), QPointF(x, height()));
        painter.drawText(QPointF(x + 2, height() - 6), QString::number(n));
        if (unit >= 60) painter.drawLine(QPointF(x + unit / 2, height() - 3), QPointF(x + unit / 2, height()));
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

}  // namespace kl
