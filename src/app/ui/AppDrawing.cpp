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

QColor AppDrawing::qtColor(const Color& color) {
    return QColor::fromRgbF(float(color.red), float(color.green), float(color.blue), float(color.alpha));
}

Color AppDrawing::color(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

QFont AppDrawing::qtFont(const Font& font) {
    QFont made(QString::fromStdString(font.family));
    if (font.size > 0) made.setPointSizeF(font.size);
    made.setBold((font.traits & Font::Bold) != 0);
    made.setItalic((font.traits & Font::Italic) != 0);
    return made;
}

Font AppDrawing::font(const QFont& font) {
    return {font.family().toStdString(), font.pointSizeF() > 0 ? font.pointSizeF() : 12,
            (font.bold() ? int(Font::Bold) : 0) | (font.italic() ? int(Font::Italic) : 0)};
}

}  // namespace kl
