#pragma once
// TreeChartView: a relatives tree drawn as a chart: one box per shown
// node (coloured by sex, with its portrait and one line per style column),
// expand buttons that open and close branches, connector lines, page lines
// and the selection ring. Places come from TreeChartLayout; the view
// paints at its scroll view's zoom, only the boxes in the exposed area, and
// lets each painted box fit its height to its text.
//
// Alt, or Shift (window managers often take Alt-clicks), on an expand
// button opens or closes the whole branch, and on a family box's double
// click opens the family. Ctrl-clicks zoom (TreeChartScrollView).
//
// Ownership: owns its layout; borrows its window (RelativesController),
// which owns it through the scroll view. Thread: main thread.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>

#include "charts/ChartPage.h"
#include "charts/TreeChartLayout.h"

class QMenu;
class QPrinter;

namespace kl {
class RelativesController;
class TreeChartScrollView;
class UserDefaults;

// The chart's colours, by the library's theme numbers.
struct ChartColors {
    QColor maleCell, femaleCell, maleText, femaleText, background, border, lines;
    // From the "... Tree Chart ... Color" user defaults, the "Dark" ones
    // in a dark appearance.
    static ChartColors fromDefaults(const UserDefaults& defaults, bool dark);
};

class TreeChartView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kChartFontKey = "Tree Chart Font";
    static constexpr const char* kPageLinesKey = "Show Page Lines in Charts";

    TreeChartView(RelativesController& window, UserDefaults& defaults, int initialGenerations,
                  QWidget* parent = nullptr);
    ~TreeChartView() override;

    TreeChartLayout& layout() const { return *layout_; }
    RelativesController& controller() const { return window_; }
    // The stored chart font, or an installed sans font when it is not.
    static QFont resolveChartFont(const std::string& family, double size);
    const QFont& chartFont() const { return font_; }
    const ChartColors& colors() const { return colors_; }
    // Reads font, colours and sizes again (a theme or preference change).
    void getFontFeatures();

    void setScale(double scale);
    double scale() const { return scale_; }
    // The chart's frame, in points.
    QSizeF chartSize() const;

    // ---- selection
    TreeItem* selectedCell() const { return selected_; }
    void selectCell(TreeItem* item);
    void deselectCell(const TreeItem* item);
    void scrollCellToVisible(TreeItem* item);
    bool revealItem(TreeItem* item, bool select);
    // The box or button at a point of the widget.
    TreeItem* itemAt(QPoint point, bool* onButton = nullptr) const;
    QRect widgetRect(const ChartRect& r) const;

    // A box's context menu: the box's open and edit commands, then "Show
    // Ancestors", "Show Descendants", "Read To Me", and "Set No Portrait"
    // only while the box shows a portrait. Each item's data is its command
    // tag; a label's data is negative.
    std::unique_ptr<QMenu> boxMenu(TreeItem& item);

    // ---- opening and closing, as the expand buttons do
    void toggleItem(TreeItem& item, bool wholeBranch);

    // ---- drawing: the screen draws buttons, ring and page lines
    void renderChart(QPainter& painter, const QRectF& area, bool toScreen);
    // Writes the chart as one PDF page in one step; on failure the alert
    // "File Error" is shown and false answered.
    bool exportPDF(const QString& path);
    // Prints the chart cut into the printer's pages (its margins set to
    // what the printer can mark); answers the pages printed.
    int printChart(QPrinter& printer);
    void setShowPageLines(bool show);
    bool showPageLines() const { return showPageLines_; }
    void setPage(const ChartPage& page) { page_ = page; }

    // The tree changed (a reload): boxes of open branches shown again.
    void reloadFromTree();
    void nodeLeaving(const TreeItem& item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void drawBox(QPainter& painter, TreeItem& item, bool toScreen);
    void drawButton(QPainter& painter, const TreeItem& item);
    QImage portraitFor(TreeItem& item);
    void chartTiled();
    TreeChartScrollView* scrollView() const;
    void startDrag();

    RelativesController& window_;
    UserDefaults& defaults_;
    std::unique_ptr<TreeChartLayout> layout_;
    QFont font_;
    ChartColors colors_;
    double scale_ = 1;
    TreeItem* selected_ = nullptr;
    bool showPageLines_ = false;
    ChartPage page_;
    QPoint pressPoint_;
    QHash<QString, QImage> portraits_;
};

}  // namespace kl
