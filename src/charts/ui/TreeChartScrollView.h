#pragma once
// TreeChartScrollView: the scroll view of a tree chart: a zoom pop-up at
// the left end of its horizontal scroll bar (10 % to 200 %, "Fit Width",
// "Fit Window"), zoom by Ctrl-click (in) and Ctrl-Alt- or Ctrl-Shift-click
// (out) keeping the clicked point in the middle, and a ruler of our own
// above the chart counting generations ("Generations" for columns,
// "HGenerations" for rows).
//
// Ownership: owns the chart (as its widget), the pop-up and the ruler.
// Borrows the window. Thread: main thread.
#include <QPointF>
#include <QScrollArea>

#include <optional>

#include "charts/ChartZoom.h"

class QComboBox;

namespace kl {

class GenerationRuler;
class TreeChartView;

class TreeChartScrollView : public QScrollArea {
    Q_OBJECT
public:
    explicit TreeChartScrollView(QWidget* parent = nullptr);

    void setTreeChart(TreeChartView* chart);
    TreeChartView* treeChart() const { return chart_; }
    QComboBox* zoomButton() const { return zoomButton_; }
    GenerationRuler* ruler() const { return ruler_; }
    const ChartZoom& zoom() const { return zoom_; }
    double scaleFactor() const { return zoom_.scaleFactor(); }

    // Zooms to a table index, keeping `centre` (chart points; the middle of
    // the view without one) in the middle.
    void setScaleIndex(int index, std::optional<QPointF> centre = std::nullopt);
    // A Ctrl-click at a chart point; beeps past either end.
    void zoomClick(QPointF at, bool zoomOut);
    // A fitting zoom follows the window's size and the chart's branches.
    void windowDidResize();
    // The chart's size changed.
    void chartChanged();
    void centreOn(QPointF at);
    // The chart's pointer for the modifier keys held: Ctrl "ZoomPlus",
    // Ctrl with Alt or Shift "ZoomMinus", "ZoomNo" at the end the click
    // would pass; otherwise the arrow (an empty name).
    void showZoomCursor(Qt::KeyboardModifiers modifiers);
    const QString& zoomCursorName() const { return cursorName_; }
    // Our drawn magnifier cursors, hot spot (6, 6).
    static QCursor zoomCursor(const QString& name);
    // "Generations" or "HGenerations", from the chart's orientation.
    QString rulerUnits() const;
    void updateRuler();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void placeRuler();

    TreeChartView* chart_ = nullptr;
    QComboBox* zoomButton_ = nullptr;
    GenerationRuler* ruler_ = nullptr;
    ChartZoom zoom_;
    bool fitting_ = false;
    QString cursorName_;
};

// The ruler above a chart: a mark and number at every generation, the zero
// at the middle of the first column of boxes.
class GenerationRuler : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 18;
    explicit GenerationRuler(TreeChartScrollView& scroll);
    // Points per unit at 100 %.
    double unitPoints() const;
    double originOffset() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TreeChartScrollView& scroll_;
};

}  // namespace kl
