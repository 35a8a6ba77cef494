#include "index/IndexPrintLayout.h"

#include <algorithm>
#include <cmath>

namespace kl {

IndexPrintLayout::IndexPrintLayout(const std::vector<Column>& columns, const Metrics& metrics, int rows)
    : metrics_(metrics), rows_(std::max(0, rows)) {
    const double s = metrics.cellSpacing;
    const double pageWidth = metrics.pageWidth;
    double x = s;
    double room = pageWidth - s - 2;
    bool narrowed = true;  // the first column, or the last one was narrowed
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column& column = columns[i];
        const bool last = i + 1 == columns.size();
        const double w = column.width + s;
        Placed placed{column.title, x, column.width, column.alignment};
        if (w <= room) {
            room -= w;
            narrowed = false;
        } else if (!narrowed) {
            // Close the strip: the previous column takes what is left of it.
            placed_.back().width += room;
            ++pagesForWidth_;
            x += room;
            placed.x = x;
            if (w <= pageWidth) {
                room = pageWidth - w;
            } else {
                // Wider than a page after other columns: it fills a strip of
                // its own, so later columns start on a page boundary.
                placed.width = pageWidth - s;
                narrowed = true;
                if (!last) ++pagesForWidth_;
                room = pageWidth;
            }
        } else {
            placed.width = std::max(0.0, room - s);
            if (!last) ++pagesForWidth_;
            room = pageWidth;
        }
        placed_.push_back(placed);
        x += placed.width + s;
    }
    tableWidth_ = x;

    const double step = metrics.rowHeight + metrics.verticalSpacing;
    rowsPerPage_ = step > 0 ? std::max(1, static_cast<int>(std::floor(metrics.pageHeight / step))) : 1;
    rowPitch_ = metrics.pageHeight > 0 ? metrics.pageHeight / rowsPerPage_ : step;
    const double header = metrics.headerLines * metrics.headerRowHeight;
    headerSize_ = rowPitch_ > 0 ? (std::floor(header / rowPitch_) + 1) * rowPitch_ : header;
}

int IndexPrintLayout::pageCount() const {
    const double height = viewHeight();
    const int pageRows =
        metrics_.pageHeight > 0 ? std::max(1, static_cast<int>(std::ceil(height / metrics_.pageHeight - 1e-9))) : 1;
    return pageRows * pagesForWidth_;
}

std::string IndexPrintLayout::pageLabel(int page, int pagesForWidth) {
    if (pagesForWidth <= 1) return std::to_string(page);
    const int row = (page + pagesForWidth - 1) / pagesForWidth;
    const int strip = page % pagesForWidth == 0 ? pagesForWidth : page % pagesForWidth;
    return std::to_string(row) + " - " + std::to_string(strip);
}

int IndexPrintLayout::stripOfPage(int page) const {
    if (pagesForWidth_ <= 1) return 1;
    return page % pagesForWidth_ == 0 ? pagesForWidth_ : page % pagesForWidth_;
}

std::vector<IndexPrintLayout::Label> IndexPrintLayout::stripLabels(int k) const {
    const double s = metrics_.cellSpacing;
    const double pageWidth = metrics_.pageWidth;
    std::vector<Label> labels;
    double pen = k <= 1 ? 2 + s : 0;
    double at = 2 + s;
    for (const Placed& column : placed_) {
        if (k != 0) {
            if (at + column.width > k * pageWidth + 0.5) break;
            if (at + column.width < (k - 1) * pageWidth) {
                at += column.width + s;
                continue;
            }
        }
        labels.push_back({column.title, pen, column.width, column.alignment});
        pen += column.width + s;
        at += column.width + s;
    }
    return labels;
}

std::string IndexPrintLayout::fittedTitle(const std::string& title, double width,
                                          const std::function<double(const std::string&)>& measure) {
    if (measure(title) <= width) return title;
    std::string kept = title;
    while (!kept.empty()) {
        // Drop a whole UTF-8 character.
        std::size_t end = kept.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(kept[end]) & 0xC0) == 0x80) --end;
        kept.erase(end);
        if (measure(kept + "...") <= width) return kept + "...";
    }
    return measure("...") <= width ? "..." : std::string();
}

}  // namespace kl
