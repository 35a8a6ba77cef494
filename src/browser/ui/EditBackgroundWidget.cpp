#include "browser/ui/EditBackgroundWidget.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "cells/ui/WidgetCellView.h"

namespace kl {

EditBackgroundWidget::EditBackgroundWidget(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

void EditBackgroundWidget::addCellView(CustomCell& cell, CustomCell* groupBox) {
    auto* view = dynamic_cast<WidgetCellView*>(cell.view());
    if (!view || !view->widget()) return;
    QWidget* into = this;
    if (groupBox)
        if (auto* box = dynamic_cast<WidgetCellView*>(groupBox->view()); box && box->contentWidget())
            into = box->contentWidget();
    view->widget()->setParent(into);
    view->setFrame(cell.viewFrame());
    view->widget()->show();
}

void EditBackgroundWidget::removeAllCellViews() {
    const auto children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) delete child;
}

void EditBackgroundWidget::setBackgroundColor(const std::optional<Color>& color) {
    QPalette shade = palette();
    if (color)
        shade.setColor(QPalette::Window, QColor::fromRgbF(float(color->red), float(color->green), float(color->blue),
                                                          float(color->alpha)));
    else
        shade.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    setPalette(shade);
}

void EditBackgroundWidget::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    pressedAt_ = event->position().toPoint();
}

void EditBackgroundWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressed_ = false;
    QMimeData* data = makeDragData();
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QString name = data->text();
    const QFontMetrics metrics(font());
    QPixmap image(std::max(1, metrics.horizontalAdvance(name) + 4), metrics.height() + 2);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.drawText(image.rect(), Qt::AlignCenter, name);
    }
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(image.width() / 2, image.height()));
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

void EditBackgroundWidget::heightChanged(double height) {
    resize(width(), int(std::ceil(std::max(height, 1.0))));
}

}  // namespace kl
