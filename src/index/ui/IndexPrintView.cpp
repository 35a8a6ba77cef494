#include "index/ui/IndexPrintView.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <functional>

#include "app/ui/PageLayoutSheet.h"
#include "index/IndexPrintLayout.h"

namespace kl {

namespace {

int alignmentCode(const QVariant& alignment) {
    const int flags = alignment.isValid() ? alignment.toInt() : 0;
    if (flags & Qt::AlignRight) return 1;
    if (flags & Qt::AlignHCenter) return 2;
    return 0;
}

Qt::Alignment qtAlignment(int code) {
    return Qt::AlignVCenter | (code == 1 ? Qt::AlignRight : code == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
}

void addColumns(IndexPrintView::Content& content, const QAbstractItemModel& model, const QHeaderView& header,
                int count) {
    for (int column = 0; column < count; ++column) {
        if (header.isSectionHidden(column)) continue;
        content.titles.push_back(model.headerData(column, Qt::Horizontal).toString().toStdString());
        content.widths.push_back(header.sectionSize(column));
        content.alignments.push_back(alignmentCode(model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)));
    }
}

QStringList rowTexts(const QAbstractItemModel& model, const QModelIndex& parent, int row, const QHeaderView& header,
                     int count) {
    QStringList cells;
    for (int column = 0; column < count; ++column)
        if (!header.isSectionHidden(column)) cells << model.index(row, column, parent).data().toString();
    return cells;
}

}  // namespace

IndexPrintView::Content IndexPrintView::ofTable(const QAbstractItemView& view, const bool dropLastColumn) {
    Content content;
    const auto* table = qobject_cast<const QTableView*>(&view);
    const QAbstractItemModel* model = view.model();
    if (!table || !model) return content;
    const int count = std::max(0, model->columnCount() - (dropLastColumn ? 1 : 0));
    addColumns(content, *model, *table->horizontalHeader(), count);
    for (int row = 0; row < model->rowCount(); ++row)
        content.rows.push_back(rowTexts(*model, {}, row, *table->horizontalHeader(), count));
    return content;
}

IndexPrintView::Content IndexPrintView::ofOutline(const QTreeView& outline) {
    Content content;
    content.headerLines8or7 = 7;
    const QAbstractItemModel* model = outline.model();
    if (!model) return content;
    const int count = model->columnCount();
    addColumns(content, *model, *outline.header(), count);
    content.indentation = outline.indentation();
    // Only what is open on screen prints, in outline order.
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            content.rows.push_back(rowTexts(*model, parent, row, *outline.header(), count));
            content.levels.push_back(level);
            const QModelIndex index = model->index(row, 0, parent);
            if (outline.isExpanded(index)) walk(index, level + 1);
        }
    };
    walk({}, 0);
    return content;
}

int IndexPrintView::print(QPrinter& printer, const Content& content, const QFont& font) {
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const QRectF paper = printer.paperRect(QPrinter::Point);
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Point);
    const double scale = printer.resolution() / 72.0;
    painter.scale(scale, scale);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    IndexPrintLayout::Metrics m;
    m.pageWidth = paper.width() - margins.left() - margins.right();
    m.pageHeight = paper.height() - margins.top() - margins.bottom();
    m.rowHeight = std::ceil(metrics.height()) + 2;
    m.headerRowHeight = (metrics.ascent() + metrics.descent()) * 1.2;
    m.headerLines = content.headerLines8or7;
    std::vector<IndexPrintLayout::Column> columns;
    for (std::size_t i = 0; i < content.titles.size(); ++i)
        columns.push_back({content.titles[i], content.widths[i], content.alignments[i]});
    const IndexPrintLayout layout(columns, m, static_cast<int>(content.rows.size()));
    const double h = m.headerRowHeight;
    const double pitch = layout.rowPitch();
    const QColor grid(Qt::darkGray);
    const auto measure = [&](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); };

    const auto drawLabels = [&](int strip, QPointF at) {
        for (const auto& label : layout.stripLabels(strip)) {
            const QString title = QString::fromStdString(IndexPrintLayout::fittedTitle(label.title, label.width, measure));
            painter.drawText(QRectF(at.x() + label.x, at.y(), label.width, h), qtAlignment(label.alignment), title);
        }
    };
    // The view in view units; each page draws only the rows and columns it
    // shows, so a long list costs each page its own rows, not the list's.
    const auto drawView = [&](const QRectF& shown) {
        double y = 0;
        for (const std::string& line : content.headerLines) {
            painter.drawText(QRectF(0, y, layout.viewWidth(), h), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromStdString(line));
            y += h;
        }
        drawLabels(0, QPointF(0, layout.headerSize() - h));
        const double top = layout.headerSize();
        const auto rowCount = static_cast<double>(content.rows.size());
        const double firstRow = std::clamp(std::floor((shown.top() - top) / pitch), 0.0, rowCount);
        const double endRow = std::clamp(std::ceil((shown.bottom() - top) / pitch), 0.0, rowCount);
        for (auto r = static_cast<std::size_t>(firstRow); r < static_cast<std::size_t>(endRow); ++r) {
            const double rowTop = top + static_cast<double>(r) * pitch;
            const QStringList& cells = content.rows[r];
            for (std::size_t c = 0; c < layout.columns().size() && c < static_cast<std::size_t>(cells.size()); ++c) {
                const auto& column = layout.columns()[c];
                if (2 + column.x > shown.right() || 2 + column.x + column.width < shown.left()) continue;
                double x = 2 + column.x;
                double width = column.width;
                if (c == 0 && !content.levels.empty()) {
                    const double indent = content.indentation * content.levels[r];
                    x += indent;
                    width = std::max(0.0, width - indent);
                }
                painter.drawText(QRectF(x, rowTop, width, pitch), qtAlignment(column.alignment),
                                 metrics.elidedText(cells[static_cast<int>(c)], Qt::ElideRight, width));
            }
        }
        painter.setPen(QPen(grid, 1));
        const double bottom = top + static_cast<double>(content.rows.size()) * pitch;
        for (std::size_t c = 1; c < layout.columns().size(); ++c) {
            const double x = 2 + layout.columns()[c].x - m.cellSpacing / 2;
            painter.drawLine(QPointF(x, top), QPointF(x, bottom));
        }
        painter.setPen(QPen(grid, 1.5));
        painter.drawRect(QRectF(0, top - 2, layout.tableWidth() + 4, bottom - top + 4));
        painter.setPen(Qt::black);
    };

    const int pages = layout.pageCount();
    const int strips = layout.pagesForWidth();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) printer.newPage();
        const int pageRow = (page - 1) / strips;
        const int strip = layout.stripOfPage(page);
        painter.save();
        painter.translate(margins.left(), margins.top());
        painter.setClipRect(QRectF(0, 0, m.pageWidth, m.pageHeight));
        painter.translate(-(strip - 1) * m.pageWidth, -pageRow * m.pageHeight);
        drawView(QRectF((strip - 1) * m.pageWidth, pageRow * m.pageHeight, m.pageWidth, m.pageHeight));
        painter.restore();

        const QString label = QString::fromStdString(IndexPrintLayout::pageLabel(page, strips));
        const double labelTop = paper.height() - (margins.bottom() + h) / 2;
        painter.drawText(QRectF(0, std::min(labelTop, paper.height() - h), paper.width(), h), Qt::AlignCenter, label);
        if (pageRow > 0) {
            drawLabels(strip, QPointF(margins.left(), margins.top() - h));
            const double start = margins.left() + (strip == 1 ? 1 : 0);
            const double length = strip == strips ? layout.tableWidth() - (strip - 1) * m.pageWidth + 2
                                                  : m.pageWidth - (strip == 1 ? 2 : 0);
            painter.setPen(QPen(grid, 1));
            painter.drawLine(QPointF(start, margins.top() - 0.5), QPointF(start + length, margins.top() - 0.5));
            painter.setPen(Qt::black);
        }
    }
    painter.end();
    return pages;
}

namespace {
IndexPrintView::PrintPanel& printPanel() {
    static IndexPrintView::PrintPanel panel;
    return panel;
}
}  // namespace

void IndexPrintView::setPrintPanel(PrintPanel panel) { printPanel() = std::move(panel); }

int IndexPrintView::printWithPanel(const Dictionary& printInfo, const Content& content, const QFont& font,
                                   bool showPanel, QWidget* window) {
    return printWithPanel(printInfo, showPanel, window,
                          [&](QPrinter& printer) { return print(printer, content, font); });
}

int IndexPrintView::printWithPanel(const Dictionary& printInfo, bool showPanel, QWidget* window,
                                   const std::function<int(QPrinter&)>& pages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PageLayoutSheet::pageLayout(printInfo));
    // A script's job saved to a file goes there as PDF.
    const Value* disposition = printInfo.get("NSJobDisposition");
    const Value* target = printInfo.get("NSJobSavingURL");
    if (disposition && disposition->toString() == "NSPrintSaveJob" && target && target->string()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(*target->string()));
    }
    if (showPanel) {
        if (printPanel()) {
            if (!printPanel()(printer, window)) return 0;
        } else {
            QPrintDialog dialog(&printer, window);
            if (dialog.exec() != QDialog::Accepted) return 0;
        }
    }
    return pages(printer);
}

}  // namespace kl
