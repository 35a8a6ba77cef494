#pragma once
// IndexPrintLayout: how a printed record list or tree outline falls onto
// pages. The columns shown on screen are copied into strips one page wide
// (a column that does not fit closes its strip, the last column of the
// strip taking up the room left, and a column too wide for what is left of
// a page is narrowed), rows tile the page height exactly, and a header band
// of whole rows sits above the table. Printing cuts the result into pages
// row of pages by row of pages, each row `pagesForWidth` strips wide.
//
// Units are view units (points divided by the print scaling). A plain
// value; any thread.
#include <functional>
#include <string>
#include <vector>

namespace kl {

class IndexPrintLayout {
public:
    struct Column {
        std::string title;
        double width = 0;   // on screen
        int alignment = 0;  // 0 left, 1 right, 2 centre
    };
    struct Metrics {
        double pageWidth = 0;
        double pageHeight = 0;
        double cellSpacing = 3;          // horizontal, between columns
        double verticalSpacing = 2;      // between rows
        double rowHeight = 17;           // on screen, without spacing
        double headerRowHeight = 14;     // one line of the header band
        int headerLines = 8;             // 8 for a list, 7 for a tree
    };
    // The printed place of one column.
    struct Placed {
        std::string title;
        double x = 0;  // in the table, from its left edge
        double width = 0;
        int alignment = 0;
    };
    // A column title of one strip and where its pen starts.
    struct Label {
        std::string title;
        double x = 0;  // from the strip's left edge
        double width = 0;
        int alignment = 0;
    };

    // `columns` without the filler column that ends the table on screen.
    IndexPrintLayout(const std::vector<Column>& columns, const Metrics& metrics, int rows);

    const std::vector<Placed>& columns() const { return placed_; }
    int pagesForWidth() const { return pagesForWidth_; }
    // Rows tile a page: the pitch is the page height over the whole number
    // of on-screen rows (with spacing) that fit in it.
    double rowPitch() const { return rowPitch_; }
    int rowsPerPage() const { return rowsPerPage_; }
    double headerSize() const { return headerSize_; }
    // The table's width (running x) and the whole view's size.
    double tableWidth() const { return tableWidth_; }
    double viewWidth() const { return tableWidth_ + 4; }
    double viewHeight() const { return rows_ * rowPitch_ + headerSize_ + 2; }
    // Pages in all: rows of pages times strips.
    int pageCount() const;

    // "7" with one strip, else "row - strip"; pages count from 1.
    static std::string pageLabel(int page, int pagesForWidth);
    // The strip of a page, from 1.
    int stripOfPage(int page) const;
    // The titles drawn above strip `k` (0: every column, as the header band
    // shows them), pen positions from x0 = 0.
    std::vector<Label> stripLabels(int k) const;
    // A title shortened to `width` by cutting characters from its end and
    // adding "..."; empty when even "..." does not fit.
    static std::string fittedTitle(const std::string& title, double width,
                                   const std::function<double(const std::string&)>& measure);

private:
    Metrics metrics_;
    int rows_ = 0;
    std::vector<Placed> placed_;
    int pagesForWidth_ = 1;
    double rowPitch_ = 0;
    int rowsPerPage_ = 1;
    double headerSize_ = 0;
    double tableWidth_ = 0;
};

}  // namespace kl
