#include "cells/ui/LinkViews.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProcess>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "app/ui/AppAlerts.h"
#include "app/ui/MultimediaImages.h"
#include "cells/ButtonCell.h"
#include "cells/StructuresLink.h"
#include "cells/GroupBox.h"
#include "cells/MultimediaCell.h"
#include "cells/PaletteCell.h"
#include "cells/PaneBarCell.h"
#include "cells/ui/WidgetCellView.h"

namespace kl {

namespace {

QColor qtColor(const Color& c) { return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)); }

QFont qtFont(const CustomCell& cell, double scale = 1.0) {
    QFont made = QApplication::font();
    if (const auto& font = cell.look().font) {
        made = QFont(QString::fromStdString(font->family));
        made.setBold((font->traits & Font::Bold) != 0);
        made.setItalic((font->traits & Font::Italic) != 0);
        made.setPixelSize(std::max(1, int(std::lround(font->size * scale))));
    }
    made.setUnderline(cell.look().underline != 0);
    return made;
}

QRect qtRect(const CellRect& frame) {
    return QRect(int(std::lround(frame.x)), int(std::lround(frame.y)), int(std::lround(frame.width)),
                 int(std::lround(frame.height)));
}

// The library's icons, as the desktop's nearest stock icons.
QIcon stockIcon(const std::string& name) {
    QStyle* style = QApplication::style();
    if (name == "URLIcon") return style->standardIcon(QStyle::SP_DriveNetIcon);
    if (name == "FileNotFoundIcon") return style->standardIcon(QStyle::SP_MessageBoxWarning);
    return style->standardIcon(QStyle::SP_FileIcon);
}

constexpr int kIconSide = 32;

// Views that are one widget, with text measured in its font.
class WidgetView : public WidgetCellView {
public:
    explicit WidgetView(QWidget* widget) : widget_(widget) { widget->setAttribute(Qt::WA_DeleteOnClose, false); }
    ~WidgetView() override {
        if (widget_ && !widget_->parent()) delete widget_.data();
    }
    QWidget* widget() const override { return widget_.data(); }
    void setFrame(const CellRect& frame) override {
        if (widget_) widget_->setGeometry(qtRect(frame));
    }
    double textWidth(const std::string& text) const override {
        return widget_ ? QFontMetricsF(widget_->font()).horizontalAdvance(QString::fromStdString(text)) : 0;
    }
    double textHeight() const override {
        if (!widget_) return 0;
        const QFontMetricsF metrics(widget_->font());
        return metrics.ascent() + metrics.descent() + 3;
    }
    std::string text() const override { return {}; }
    bool hasFocus() const override { return widget_ && widget_->hasFocus(); }
    void beep() override { QApplication::beep(); }

protected:
    QPointer<QWidget> widget_;
    // Context of the widget's connections to the cell: the widget may
    // outlive the cell and this view, the connections must not.
    std::unique_ptr<QObject> guard_ = std::make_unique<QObject>();
};

// ---- buttons

class ButtonView : public WidgetView {
public:
    explicit ButtonView(ButtonCell& cell) : WidgetView(new QToolButton), button_(static_cast<QToolButton*>(widget())) {
        ButtonCell* target = &cell;
        QObject::connect(button_, &QToolButton::clicked, guard_.get(), [target] {
            target->buttonClick((QApplication::keyboardModifiers() & Qt::AltModifier) != 0);
        });
        button_->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(button_, &QWidget::customContextMenuRequested, guard_.get(),
                         [this, target](const QPoint& at) { showMenu(*target, at); });
    }
    void refresh(const CustomCell& cell) override {
        if (!widget_) return;
        const auto& button = static_cast<const ButtonCell&>(cell);
        static constexpr double sizes[] = {1.0, 0.85, 0.7};
        button_->setFont(qtFont(cell, sizes[std::clamp(button.buttonControlSize(), 0, 2)]));
        button_->setText(QString::fromStdString(cell.text()));
        button_->setToolTip(QString::fromStdString(cell.look().help));
        // Style sheets cost a parse per widget, and a pane may hold
        // hundreds of links: the look goes through the palette. A bordered
        // button is a raised one; any other is flat until the pointer is on it.
        button_->setAutoRaise(!button.bordered() || button.bezelStyle() == 0);
        QPalette shade = QApplication::palette();
        if (cell.look().textColor) {
            shade.setColor(QPalette::ButtonText, qtColor(*cell.look().textColor));
            shade.setColor(QPalette::WindowText, qtColor(*cell.look().textColor));
        }
        if (cell.look().backgroundColor) shade.setColor(QPalette::Button, qtColor(*cell.look().backgroundColor));
        button_->setAutoFillBackground(cell.look().backgroundColor.has_value());
        button_->setPalette(shade);
        showImage(button);
    }
    QToolButton* button() const { return button_; }

private:
    void showImage(const ButtonCell& button) {
        static constexpr Qt::ToolButtonStyle placements[] = {
            Qt::ToolButtonTextOnly,      Qt::ToolButtonIconOnly,      Qt::ToolButtonTextBesideIcon,
            Qt::ToolButtonTextBesideIcon, Qt::ToolButtonTextUnderIcon, Qt::ToolButtonTextUnderIcon,
            Qt::ToolButtonIconOnly};
        const auto& image = button.shownImage();
        if (!image) {
            button_->setIcon(QIcon());
            button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
            return;
        }
        const QSize side(std::max(1, int(std::lround(image->width))), std::max(1, int(std::lround(image->height))));
        const bool same = shown_ && shown_->path == image->path && shown_->data == image->data &&
                          shown_->icon == image->icon && button_->iconSize() == side;
        if (!same) {
            if (image->icon) {
                button_->setIcon(stockIcon(*image->icon));
            } else {
                const QImage read = MultimediaImages::readImage(image->data, image->path, side);
                button_->setIcon(QIcon(QPixmap::fromImage(read)));
            }
            button_->setIconSize(side);
            shown_ = image;
        }
        const int position = std::clamp(button.imagePosition(), 0, 6);
        button_->setToolButtonStyle(button.text().empty() && position != 0 ? Qt::ToolButtonIconOnly : placements[position]);
    }
    void showMenu(ButtonCell& cell, const QPoint& at) {
        const auto items = cell.contextMenu();
        if (items.empty() || !widget_) return;
        auto* menu = new QMenu(QStringLiteral("Menu"), button_);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        ButtonCell* target = &cell;
        for (const auto& item : items) {
            QAction* action = menu->addAction(QString::fromStdString(item.title));
            action->setData(item.tag);
            const int tag = item.tag;
            QObject::connect(action, &QAction::triggered, guard_.get(), [target, tag] { target->cellMenuAction(tag); });
        }
        menu->popup(button_->mapToGlobal(at));
    }

    QToolButton* button_;
    std::optional<CellImage> shown_;
};

// ---- group boxes

class GroupContentView : public QWidget {
public:
    using QWidget::QWidget;
};

class GroupBoxCell : public QWidget {
public:
    explicit GroupBoxCell(const GroupBox& box) : box_(&box) { content_ = new GroupContentView(this); }
    GroupContentView* content() const { return content_; }
    void forget() { box_ = nullptr; }
    void place() {
        if (!box_) return;
        content_->setGeometry(int(std::lround(box_->contentLeft())), int(std::lround(box_->contentTop())),
                              int(std::lround(box_->contentWidth())),
                              std::max(1, height() - int(std::lround(box_->contentTop() + box_->contentLeft()))));
    }

protected:
    void resizeEvent(QResizeEvent*) override { place(); }
    void paintEvent(QPaintEvent*) override {
        if (!box_) return;
        QPainter painter(this);
        const CellLook& look = box_->look();
        QRectF area(0, 0, width(), height());
        const double titleHeight = box_->titleLineHeight();
        if (box_->titlePosition() == 2) area.setTop(titleHeight);
        if (box_->titlePosition() == 4) area.setBottom(height() - titleHeight);
        if (box_->borderType() == 0) {
            const double w = look.borderWidth;
            QPainterPath path;
            path.addRect(area.adjusted(w / 2, w / 2, -w / 2, -w / 2));
            if (look.backgroundColor) painter.fillPath(path, qtColor(*look.backgroundColor));
            if (box_->frameTheBox() && look.borderColor && w > 0) {
                QPen pen(qtColor(*look.borderColor), w);
                pen.setCapStyle(Qt::SquareCap);
                pen.setJoinStyle(Qt::MiterJoin);
                painter.setPen(pen);
                painter.drawPath(path);
            }
        } else {
            // The desktop's groove: a dark line with a light one inside.
            const QRectF groove = area.adjusted(0.5, 0.5, -1.5, -1.5);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(groove);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawRect(groove.translated(1, 1));
        }
        if (box_->titlePosition() == 0 || box_->text().empty()) return;
        painter.setFont(font());
        painter.setPen(look.textColor ? qtColor(*look.textColor) : palette().color(QPalette::WindowText));
        const double y = box_->titlePosition() == 4 ? height() - titleHeight : (box_->titlePosition() == 2 ? 0 : 2);
        painter.drawText(QRectF(GroupBox::kContentMargin + 2, y, width() - 2 * GroupBox::kContentMargin, titleHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(box_->text()));
    }

private:
    const GroupBox* box_;
    GroupContentView* content_;
};

class GroupBoxView : public WidgetView {
public:
    explicit GroupBoxView(const GroupBox& box) : WidgetView(new GroupBoxCell(box)) {}
    ~GroupBoxView() override {
        if (auto* cell = boxCell()) cell->forget();
    }
    QWidget* contentWidget() const override {
        auto* cell = boxCell();
        return cell ? cell->content() : nullptr;
    }
    void refresh(const CustomCell& cell) override {
        if (!widget_) return;
        widget_->setFont(qtFont(cell));
        widget_->setToolTip(QString::fromStdString(cell.look().help));
        boxCell()->place();
        widget_->update();
    }
    void setFrame(const CellRect& frame) override {
        WidgetView::setFrame(frame);
        if (auto* cell = boxCell()) cell->place();
    }

private:
    GroupBoxCell* boxCell() const { return static_cast<GroupBoxCell*>(widget_.data()); }
};

// ---- palettes

class QtPalettePainter : public PaletteCanvas::Painter {
public:
    explicit QtPalettePainter(QPainter& painter) : painter_(painter) { apply(); }
    void setColor(const Color& color) override {
        color_ = qtColor(color);
        apply();
    }
    void setLineWidth(double width) override {
        width_ = width;
        apply();
    }
    void line(double x1, double y1, double x2, double y2) override { painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }
    void rect(double x, double y, double width, double height, bool fill) override {
        if (fill) painter_.fillRect(QRectF(x, y, width, height), color_);
        else painter_.drawRect(QRectF(x, y, width, height));
    }
    void oval(double x, double y, double width, double height, bool fill) override {
        if (!fill) {
            painter_.drawEllipse(QRectF(x, y, width, height));
            return;
        }
        QPainterPath path;
        path.addEllipse(QRectF(x, y, width, height));
        painter_.fillPath(path, color_);
    }

private:
    void apply() {
        QPen pen(color_, width_);
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
    }
    QPainter& painter_;
    QColor color_ = Qt::black;
    double width_ = 1.0;
};

class PaletteCanvasView : public QWidget {
public:
    explicit PaletteCanvasView(const PaletteCell& cell) : cell_(&cell) {}
    void forget() { cell_ = nullptr; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!cell_) return;
        // The painter, its pen width included, ends with this paint.
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QtPalettePainter replay(painter);
        cell_->canvas().draw(replay);
    }

private:
    const PaletteCell* cell_;
};

class PaletteView : public WidgetView {
public:
    explicit PaletteView(const PaletteCell& cell) : WidgetView(new PaletteCanvasView(cell)) {}
    ~PaletteView() override {
        if (widget_) static_cast<PaletteCanvasView*>(widget_.data())->forget();
    }
    void refresh(const CustomCell&) override {
        if (widget_) widget_->update();
    }
};

// ---- pane bars

class PaneBarView : public WidgetView {
public:
    explicit PaneBarView(PaneBarCell& cell) : WidgetView(new QTabBar), bar_(static_cast<QTabBar*>(widget())) {
        bar_->setExpanding(false);
        bar_->setDrawBase(false);
        PaneBarCell* target = &cell;
        // A click on the shown segment builds its pane again all the same.
        QObject::connect(bar_, &QTabBar::tabBarClicked, guard_.get(), [target](int index) {
            if (index >= 0) target->buttonClick(index);
        });
    }
    void refresh(const CustomCell& cell) override {
        if (!widget_) return;
        const auto& bar = static_cast<const PaneBarCell&>(cell);
        const QSignalBlocker quiet(bar_);
        bar_->setFont(qtFont(cell));
        while (bar_->count() > int(bar.labels().size())) bar_->removeTab(bar_->count() - 1);
        for (std::size_t i = 0; i < bar.labels().size(); ++i) {
            const QString label = QString::fromStdString(bar.labels()[i]);
            if (int(i) < bar_->count()) bar_->setTabText(int(i), label);
            else bar_->addTab(label);
        }
        bar_->setShape(bar.segmentStyle() == 4 || bar.segmentStyle() == 6 ? QTabBar::TriangularNorth
                                                                           : QTabBar::RoundedNorth);
        if (bar.selectedSegment() >= 0) bar_->setCurrentIndex(bar.selectedSegment());
    }
    QTabBar* bar() const { return bar_; }

private:
    QTabBar* bar_;
};

std::optional<CellImage> measure(const CellImage& image) {
    CellImage measured = image;
    if (image.icon) {
        measured.width = measured.height = measured.pixelsWide = measured.pixelsHigh = kIconSide;
        return measured;
    }
    auto size = MultimediaImages::imageSize(image.data, image.path);
    if (!size) return std::nullopt;
    measured.width = measured.pixelsWide = size->width();
    measured.height = measured.pixelsHigh = size->height();
    return measured;
}

}  // namespace

std::unique_ptr<CellView> makeLinkView(CustomCell& cell) {
    if (auto* button = dynamic_cast<LinkButton*>(&cell)) return std::make_unique<ButtonView>(*button);
    if (auto* group = dynamic_cast<StructuresLink*>(&cell)) return std::make_unique<ButtonView>(*group);
    if (auto* box = dynamic_cast<GroupBox*>(&cell)) return std::make_unique<GroupBoxView>(*box);
    if (auto* palette = dynamic_cast<PaletteCell*>(&cell)) return std::make_unique<PaletteView>(*palette);
    if (auto* bar = dynamic_cast<PaneBarCell*>(&cell)) return std::make_unique<PaneBarView>(*bar);
    return nullptr;
}

void installLinkDesktop() {
    static bool measured = false;
    if (!measured) {
        measured = true;
        ButtonCell::setImageMeasurer(measure);
    }
    if (MultimediaCell::workspace().openFile) return;
    MultimediaCell::Workspace desk;
    desk.openFileWithApplication = [](const std::string& path, const std::string& application) {
        return !application.empty() &&
               QProcess::startDetached(QString::fromStdString(application), {QString::fromStdString(path)});
    };
    desk.openFile = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    desk.openURL = [](const std::string& address) {
        QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
    };
    desk.beep = [] { QApplication::beep(); };
    desk.criticalAlert = [](const std::string& message, const std::string& information) {
        AppAlerts::criticalAlert(message, information, nullptr);
    };
    MultimediaCell::setWorkspace(std::move(desk));
}

}  // namespace kl
