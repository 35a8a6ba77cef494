#include "charts/ui/TreeChartView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QPrinter>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTimer>

#include <cmath>

#include "app/ui/Localized.h"
#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/MultimediaImages.h"
#include "charts/RelativesTree.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/RelativesOutlineModel.h"
#include "charts/ui/TreeChartScrollView.h"
#include "document/IndexStyle.h"
#include "foundation/UserDefaults.h"
#include "model/LibraryServices.h"
#include "model/OBJERecord.h"
#include "document/GEDCOMModel.h"

namespace kl {

namespace {

QColor colorOf(const UserDefaults& defaults, const std::string& key, const Color& fallback) {
    const Color c = AppController::unarchive(defaults.dataForKey(key), fallback);
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue),
                            static_cast<float>(c.alpha));
}

QPointF point(double x, double y) { return {x, y}; }

}  // namespace

ChartColors ChartColors::fromDefaults(const UserDefaults& defaults, bool dark) {
    const auto pick = [&](const char* light, const char* darkKey, const Color& lightDefault, const Color& darkDefault) {
        return dark ? colorOf(defaults, darkKey, darkDefault) : colorOf(defaults, light, lightDefault);
    };
    const Color black = Color::black(), white = Color::white(1);
    ChartColors c;
    c.maleCell = pick("Male Tree Chart Cell Color", "Male Tree Chart Cell ColorDark", {0.5, 0.75, 1.0, 1},
                      {0, 0, 0.72, 1});
    c.femaleCell = pick("Female Tree Chart Cell Color", "Female Tree Chart Cell ColorDark", {1.0, 0.5, 1.0, 1},
                        {0.68, 0, 0, 1});
    c.maleText = pick("Male Tree Chart Text Color", "Male Tree Chart Text Color Dark", black, white);
    c.femaleText = pick("Female Tree Chart Text Color", "Female Tree Chart Text Color Dark", black, white);
    c.background =
        pick("Tree Chart Background Color", "Tree Chart Background Color Dark", white, Color::white(0.13));
    c.border = pick("Tree Chart Cell Border Color", "Tree Chart Cell Border Color Dark", black, white);
    c.lines = pick("Tree Chart Line Color", "Tree Chart Line Color Dark", black, white);
    return c;
}

TreeChartView::TreeChartView(RelativesController& window, UserDefaults& defaults, int initialGenerations,
                             QWidget* parent)
    : QWidget(parent), window_(window), defaults_(defaults) {
    setObjectName("TreeChart");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    RelativesTree& tree = window_.tree();
    const int kind = tree.kind() == RelativesTree::Kind::Ancestors ? 0 : 1;
    layout_ = std::make_unique<TreeChartLayout>(tree, TreeChartSettings::fromDefaults(defaults_),
                                                ChartOrientation::defaultFor(kind));
    layout_->setPoster([this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); });
    layout_->setTiledHandler([this] { chartTiled(); });
    showPageLines_ = defaults_.boolForKey(kPageLinesKey);
    getFontFeatures();
    layout_->showInitial(initialGenerations);
}

TreeChartView::~TreeChartView() = default;

QFont TreeChartView::resolveChartFont(const std::string& family, double size) {
    QFont font(QString::fromStdString(family));
    font.setPointSizeF(size > 0 ? size : 10);
    if (!family.empty() && QFontDatabase::hasFamily(QString::fromStdString(family))) return font;
    // Not installed: a sans font that is, never a font without glyphs.
    QFont sans;
    sans.setStyleHint(QFont::SansSerif);
    sans.setFamily(QFontInfo(QFont(QStringLiteral("Sans Serif"))).family());
    if (!QFontDatabase::hasFamily(sans.family())) sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    sans.setPointSizeF(font.pointSizeF());
    return sans;
}

void TreeChartView::getFontFeatures() {
    const Font stored = AppController::unarchive(defaults_.dataForKey(kChartFontKey), Font{"Helvetica", 10, 0});
    font_ = resolveChartFont(stored.family, stored.size);
    font_.setBold((stored.traits & Font::Bold) != 0);
    font_.setItalic((stored.traits & Font::Italic) != 0);
    colors_ = ChartColors::fromDefaults(defaults_, AppAlerts::isDarkMode());
    portraits_.clear();
    const QFontMetricsF metrics(font_);
    layout_->setSettings(TreeChartSettings::fromDefaults(defaults_));
    layout_->setMetrics({metrics.lineSpacing(), metrics.lineSpacing() - metrics.ascent() - metrics.descent()});
    update();
}

QSizeF TreeChartView::chartSize() const {
    const ChartRect f = layout_->chartFrame();
    return {f.width, f.height};
}

void TreeChartView::setScale(double scale) {
    scale_ = scale > 0 ? scale : 1;
    chartTiled();
}

void TreeChartView::chartTiled() {
    const QSizeF size = chartSize() * scale_;
    resize(std::max(1, static_cast<int>(std::ceil(size.width()))), std::max(1, static_cast<int>(std::ceil(size.height()))));
    update();
    if (auto* scroll = scrollView()) scroll->chartChanged();
}

TreeChartScrollView* TreeChartView::scrollView() const {
    for (QWidget* up = parentWidget(); up; up = up->parentWidget())
        if (auto* scroll = qobject_cast<TreeChartScrollView*>(up)) return scroll;
    return nullptr;
}

QRect TreeChartView::widgetRect(const ChartRect& r) const {
    return QRectF(r.x * scale_, r.y * scale_, r.width * scale_, r.height * scale_).toAlignedRect();
}

// ---- selection

void TreeChartView::selectCell(TreeItem* item) {
    if (item == selected_) return;
    selected_ = item;
    update();
}

void TreeChartView::deselectCell(const TreeItem* item) {
    if (item != selected_) return;
    selected_ = nullptr;
    update();
}

void TreeChartView::scrollCellToVisible(TreeItem* item) {
    if (!item) return;
    if (auto* scroll = scrollView()) {
        const ChartRect f = item->chartBox().frame;
        scroll->centreOn(QPointF(f.x + f.width / 2, f.y + f.height / 2));
    }
}

bool TreeChartView::revealItem(TreeItem* item, bool select) {
    if (!item || !layout_->revealItem(*item)) return false;
    scrollCellToVisible(item);
    if (select) selectCell(item);
    return true;
}

TreeItem* TreeChartView::itemAt(QPoint at, bool* onButton) const {
    const double x = at.x() / scale_, y = at.y() / scale_;
    const ChartRect spot{x, y, 0.01, 0.01};
    for (TreeItem* item : layout_->shownNodes()) {
        const ChartBox& box = item->chartBox();
        if (box.hasButton && box.button.intersects(spot)) {
            if (onButton) *onButton = true;
            return item;
        }
        if (box.frame.intersects(spot)) {
            if (onButton) *onButton = false;
            return item;
        }
    }
    return nullptr;
}

void TreeChartView::toggleItem(TreeItem& item, bool wholeBranch) {
    if (item.expanded())
        layout_->collapseItem(item, wholeBranch);
    else
        window_.chartExpandItem(item, wholeBranch);
    if (auto* scroll = scrollView()) scroll->windowDidResize();
}

void TreeChartView::reloadFromTree() {
    portraits_.clear();
    if (selected_ && !selected_->chartBox().shown) selected_ = nullptr;
    layout_->setNeedsRetile();
}

void TreeChartView::nodeLeaving(const TreeItem& item) {
    if (selected_ == &item) selected_ = nullptr;
    layout_->nodeLeaving(item);
}

// ---- mouse

void TreeChartView::mousePressEvent(QMouseEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier) {
        if (auto* scroll = scrollView())
            scroll->zoomClick(QPointF(event->position().x() / scale_, event->position().y() / scale_),
                              (mods & (Qt::AltModifier | Qt::ShiftModifier)) != 0);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    bool onButton = false;
    TreeItem* item = itemAt(event->position().toPoint(), &onButton);
    if (item && onButton) {
        toggleItem(*item, (mods & (Qt::AltModifier | Qt::ShiftModifier)) != 0);
        return;
    }
    pressPoint_ = event->position().toPoint();
    selectCell(item);
}

void TreeChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !selected_) return;
    if ((event->position().toPoint() - pressPoint_).manhattanLength() < QApplication::startDragDistance()) return;
    if (itemAt(pressPoint_) != selected_) return;
    startDrag();
}

void TreeChartView::startDrag() {
    RelativesOutlineModel* model = window_.outlineModel();
    // Only a box with an individual gives a drag; the outline's rule.
    QMimeData* data = model->mimeData({model->indexOf(selected_)});
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

void TreeChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    bool onButton = false;
    TreeItem* item = itemAt(event->position().toPoint(), &onButton);
    if (!item || onButton || (event->modifiers() & Qt::ControlModifier)) return;
    const bool family = (event->modifiers() & (Qt::AltModifier | Qt::ShiftModifier)) != 0;
    window_.openChartItem(*item, family);
}

std::unique_ptr<QMenu> TreeChartView::boxMenu(TreeItem& item) {
    auto menu = std::make_unique<QMenu>(tr("Menu"));
    for (auto [title, tag] : {std::pair{"Show Ancestors", 4001}, std::pair{"Show Descendants", 4002}})
        menu->addAction(localized(title))->setData(tag);
    menu->addSeparator();
    menu->addAction(localized("Read To Me"))->setData(3014);
    if (!portraitFor(item).isNull()) menu->addAction(localized("Set No Portrait"))->setData(1);
    window_.addBoxCommands(*menu, item);
    return menu;
}

void TreeChartView::contextMenuEvent(QContextMenuEvent* event) {
    TreeItem* item = itemAt(event->pos());
    if (!item) return;
    selectCell(item);
    const auto menu = boxMenu(*item);
    if (QAction* chosen = menu->exec(event->globalPos())) window_.performCommand(chosen->data().toInt());
}

// The zoom cursor follows the modifier keys while the pointer is over the
// chart.
void TreeChartView::keyPressEvent(QKeyEvent* event) {
    if (auto* scroll = scrollView()) scroll->showZoomCursor(event->modifiers());
    QWidget::keyPressEvent(event);
}

void TreeChartView::keyReleaseEvent(QKeyEvent* event) {
    if (auto* scroll = scrollView()) scroll->showZoomCursor(event->modifiers());
    QWidget::keyReleaseEvent(event);
}

void TreeChartView::enterEvent(QEnterEvent* event) {
    if (auto* scroll = scrollView()) scroll->showZoomCursor(QGuiApplication::keyboardModifiers());
    QWidget::enterEvent(event);
}

void TreeChartView::leaveEvent(QEvent* event) {
    unsetCursor();
    QWidget::leaveEvent(event);
}

void TreeChartView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        colors_ = ChartColors::fromDefaults(defaults_, AppAlerts::isDarkMode());
        update();
    }
}

// ---- drawing

void TreeChartView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale_, scale_);
    const QRectF exposed = QRectF(event->rect()).adjusted(-2, -2, 2, 2);
    renderChart(painter, QRectF(exposed.x() / scale_, exposed.y() / scale_, exposed.width() / scale_,
                                exposed.height() / scale_),
                true);
}

void TreeChartView::renderChart(QPainter& painter, const QRectF& area, bool toScreen) {
    painter.fillRect(area, colors_.background);
    const ChartRect frame = layout_->chartFrame();
    if (toScreen && showPageLines_) {
        QPen pen(Qt::darkGray, 1, Qt::CustomDashLine);
        pen.setDashPattern({4, 4});
        painter.setPen(pen);
        for (const ChartSegment& s : page_.pageLines(frame))
            painter.drawLine(point(s.x1, s.y1), point(s.x2, s.y2));
    }
    const double thickness = layout_->settings().generationLineThickness;
    QPen solid(colors_.lines, thickness);
    solid.setCapStyle(Qt::FlatCap);
    QPen dashed = solid;
    dashed.setDashPattern({2 / thickness, 1 / thickness});
    const ChartRect visible{area.x(), area.y(), area.width(), area.height()};
    for (const ChartSegment& s : layout_->connectors()) {
        const ChartRect bounds{std::min(s.x1, s.x2) - 1, std::min(s.y1, s.y2) - 1, std::abs(s.x2 - s.x1) + 2,
                               std::abs(s.y2 - s.y1) + 2};
        if (!bounds.intersects(visible)) continue;
        painter.setPen(s.dashed ? dashed : solid);
        painter.drawLine(point(s.x1, s.y1), point(s.x2, s.y2));
    }
    // A copy: a box that fits itself asks for a tiling, which must not
    // change the list being walked.
    const std::vector<TreeItem*> shown = layout_->shownNodes();
    for (TreeItem* item : shown) {
        const ChartBox& box = item->chartBox();
        if (box.frame.intersects(visible)) drawBox(painter, *item, toScreen);
        if (toScreen && box.hasButton && box.button.intersects(visible)) drawButton(painter, *item);
    }
    if (toScreen && selected_) {
        if (!selected_->chartBox().shown) {
            selected_ = nullptr;
        } else {
            const ChartRect f = selected_->chartBox().frame;
            QPen ring(palette().color(QPalette::Highlight), 4);
            ring.setJoinStyle(Qt::RoundJoin);
            painter.setPen(ring);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(f.x - 2, f.y - 2, f.width + 4, f.height + 4));
        }
    }
}

QImage TreeChartView::portraitFor(TreeItem& item) {
    const auto& style = window_.tree().indexStyle();
    if (!style || !style->hasPortraitColumn()) return {};
    // The column names the multimedia record whose picture stands for the
    // person, found through the document's multimedia folders.
    const auto id = window_.tree().stringForItem(item, style->portraitColumn());
    if (!id || id->empty()) return {};
    const QString key = QString::fromStdString(*id);
    auto found = portraits_.find(key);
    if (found != portraits_.end()) return *found;
    QImage image;
    if (const auto object = std::dynamic_pointer_cast<OBJERecord>(window_.tree().gedcomModel().recordWithID(*id))) {
        const OBJERecord::Portrait portrait = object->portraitImage(nullptr);
        // Read at a few times the box's height, so zooming in stays sharp.
        const int side = static_cast<int>(std::ceil(layout_->settings().portraitHeight * 4));
        if (portrait.thumbnail || portrait.imagePath)
            image = MultimediaImages::readImage(portrait.thumbnail, portrait.thumbnail ? std::nullopt : portrait.imagePath,
                                                QSize(side, side));
    }
    return *portraits_.insert(key, image);
}

void TreeChartView::drawBox(QPainter& painter, TreeItem& item, bool toScreen) {
    ChartBox& box = item.chartBox();
    const TreeChartSettings& s = layout_->settings();
    const double b = s.cellBorderThickness, pad = s.cellPadding;
    const QRectF frame(box.frame.x, box.frame.y, box.frame.width, box.frame.height);
    const char16_t sex = item.individualSex();
    const QRectF back = frame.adjusted(b / 2, b / 2, -b / 2, -b / 2);
    if (sex == u'F') {
        painter.setBrush(colors_.femaleCell);
    } else if (sex == u'M') {
        painter.setBrush(colors_.maleCell);
    } else {
        QLinearGradient gradient(back.topLeft(), back.topRight());
        gradient.setColorAt(0, colors_.maleCell);
        gradient.setColorAt(1, colors_.femaleCell);
        painter.setBrush(gradient);
    }
    painter.setPen(QPen(colors_.border, b));
    painter.drawRect(back);
    painter.setPen(sex == u'F' ? colors_.femaleText : colors_.maleText);
    painter.setFont(font_);

    double width = frame.width() - 2 * b, height = frame.height() - 2 * b;
    double textLeft = frame.x() + b, textTop = frame.y() + b;
    double least = s.rowMinimumHeight;
    const QImage portrait = portraitFor(item);
    const bool hasPortrait = !portrait.isNull();
    if (hasPortrait) {
        const double ph = s.portraitHeight, pw = portrait.width() * ph / std::max(1, portrait.height());
        least = std::max<double>(s.portraitBoxHeight(), s.rowMinimumHeight);
        if (frame.height() + 0.3 < s.portraitBoxHeight()) {
            box.fittedHeight = s.portraitBoxHeight();
            layout_->setNeedsRetile();
        }
        const bool left = layout_->orientation().portraitLeft;
        const double px = left ? frame.x() + b + pad : frame.x() + b + (width - pw) / 2;
        const double py = left ? frame.y() + b + std::max<double>(pad, (height - ph) / 2) : frame.y() + b + pad;
        painter.drawImage(QRectF(px, py, pw, ph), portrait);
        if (left) {
            textLeft += pw + pad + 1;
            width -= pw + pad + 1;
        } else {
            textTop += ph + pad;
        }
    }
    const QFontMetricsF metrics(font_);
    double y = textTop + pad;
    textLeft += pad;
    width -= 2 * pad;
    const auto lines = window_.tree().chartBoxLines(item, s.nameAlignment);
    for (const ChartBoxLine& line : lines) {
        const Qt::Alignment align =
            line.justify == 1 ? Qt::AlignRight : line.justify == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
        const QString shown =
            metrics.elidedText(QString::fromStdString(line.text), Qt::ElideRight, std::max(1.0, width));
        painter.drawText(QRectF(textLeft, y, std::max(1.0, width), metrics.lineSpacing()), align | Qt::AlignTop, shown);
        y += metrics.lineSpacing();
    }
    const bool drewLine = !lines.empty();
    if (!toScreen) return;
    // Fitting: the room left under the last line, its leading not counted.
    const double textBottom = drewLine ? y - (metrics.lineSpacing() - metrics.height()) : y;
    const double spaceLeft = frame.bottom() - b - pad - textBottom;
    if (auto fitted = TreeChartSettings::fittedHeight(frame.height(), spaceLeft, least, hasPortrait)) {
        box.fittedHeight = *fitted;
        layout_->setNeedsRetile();
    }
}

void TreeChartView::drawButton(QPainter& painter, const TreeItem& item) {
    const ChartRect r = item.chartBox().button;
    QPainterPath arrow;
    if (item.expanded()) {
        arrow.moveTo(r.x + 2, r.y + 4);
        arrow.lineTo(r.x + 11, r.y + 4);
        arrow.lineTo(r.x + 6.5, r.y + 10);
    } else {
        arrow.moveTo(r.x + 4, r.y + 2);
        arrow.lineTo(r.x + 10, r.y + 6.5);
        arrow.lineTo(r.x + 4, r.y + 11);
    }
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors_.lines);
    painter.drawPath(arrow);
}

void TreeChartView::setShowPageLines(bool show) {
    showPageLines_ = show;
    update();
}

bool TreeChartView::exportPDF(const QString& path) {
    // Written beside the target and renamed over it: a failed write leaves
    // no partial file.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        const QSizeF size = chartSize();
        QPdfWriter pdf(&file);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(size, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        painter.setRenderHint(QPainter::Antialiasing);
        renderChart(painter, QRectF(QPointF(0, 0), size), false);
        written = painter.end() && file.commit();
    }
    if (!written) {
        const QString reason = file.errorString();
        AppAlerts::criticalAlert(localized("File Error").toStdString(),
                                 QString::fromStdString(localized("When saving file '%@': %s").toStdString())
                                     .replace("%@", path)
                                     .replace("%s", reason)
                                     .toStdString(),
                                 &window_);
        return false;
    }
    return true;
}

int TreeChartView::printChart(QPrinter& printer) {
    printer.setFullPage(true);
    // The chart's margins are what the paper can be marked on.
    const QRectF marked = printer.pageLayout().paintRect(QPageLayout::Point);
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(printer.resolution() / 72.0, printer.resolution() / 72.0);
    const QSizeF size = chartSize();
    const double width = std::max(1.0, marked.width());
    const double height = std::max(1.0, marked.height());
    const int across = std::max(1, static_cast<int>(std::ceil(size.width() / width)));
    const int down = std::max(1, static_cast<int>(std::ceil(size.height() / height)));
    int pages = 0;
    for (int row = 0; row < down; ++row)
        for (int column = 0; column < across; ++column) {
            if (pages++ > 0) printer.newPage();
            painter.save();
            painter.translate(marked.topLeft());
            painter.setClipRect(QRectF(0, 0, width, height));
            painter.translate(-column * width, -row * height);
            renderChart(painter, QRectF(column * width, row * height, width, height), false);
            painter.restore();
        }
    painter.end();
    return pages;
}

}  // namespace kl
