#include "app/ui/ColorButtonCell.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>

namespace kl {

ColorButtonCell::ColorButtonCell(SideHandler setLightSide, QObject* parent)
    : QStyledItemDelegate(parent), setLightSide_(std::move(setLightSide)) {}

void ColorButtonCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariantList colors = index.data(colorsRole).toList();
    const QRect frame = option.rect.adjusted(2, 2, -2, -2);
    painter->save();
    if (colors.size() == 1) {
        painter->fillRect(frame, colors[0].value<QColor>());
    } else if (colors.size() >= 2) {
        QRect left = frame;
        left.setWidth(frame.width() / 2);
        painter->fillRect(left, colors[0].value<QColor>());
        painter->fillRect(QRect(left.right() + 1, frame.top(), frame.width() - left.width(), frame.height()),
                          colors[1].value<QColor>());
    }
    painter->setPen(option.palette.color(QPalette::Mid));
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->restore();
}

bool ColorButtonCell::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonPress && setLightSide_)
        setLightSide_(isLightSide(option.rect, static_cast<QMouseEvent*>(event)->position().toPoint()));
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

}  // namespace kl
