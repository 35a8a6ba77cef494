#include "app/ui/AppDrawing.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace kl {

QImage AppDrawing::imageWithString(const std::string& text) { return imageWithString(text, QApplication::font()); }

QImage AppDrawing::imageWithString(const std::string& text, const QFont& font) {
    const QString shown = QString::fromStdString(text);
    const QFontMetrics metrics(font);
    const QSize size = metrics.size(0, shown).expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (shown.isEmpty()) return image;
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QApplication::palette().color(QPalette::WindowText));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignTop, shown);
    return image;
}

}  // namespace kl
