#include "app/ui/QtPrintOperation.h"

#include <QPrinter>

#include "app/AppController.h"

namespace kl {

QtPrintOperation::QtPrintOperation(const QPrinter& printer) : printer_(&printer) {}

QtPrintOperation::QtPrintOperation(QPageLayout layout) : layout_(std::move(layout)) {}

PrintPage QtPrintOperation::printInfo() const { return pageOf(printer_ ? printer_->pageLayout() : layout_); }

PrintPage QtPrintOperation::pageOf(const QPageLayout& layout) {
    if (!layout.isValid()) return {};
    // The paper as it lies (orientation applied), top-left origin.
    const QRectF paper = layout.fullRectPoints();
    // Minimum margins come in the layout's units.
    QPageLayout hardware(layout);
    hardware.setUnits(QPageLayout::Point);
    const QMarginsF least = hardware.minimumMargins();
    QRectF marked = paper.marginsRemoved(least);
    if (marked.width() < 0 || marked.height() < 0) marked = QRectF(paper.topLeft(), QSizeF(0, 0));
    PrintPage page;
    page.paperWidth = paper.width();
    page.paperHeight = paper.height();
    // Top-left to bottom-left: the same turn as flipping.
    page.imageable = AppController::printImageRect(
        {page.paperWidth, page.paperHeight, PrintRect{marked.x(), marked.y(), marked.width(), marked.height()}}, true);
    return page;
}

}  // namespace kl
