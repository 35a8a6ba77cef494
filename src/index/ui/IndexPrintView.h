#pragma once
// IndexPrintView: prints a record list or a tree outline as it shows on
// screen: the columns of the view (without the filler that ends a list) in
// strips one page wide, whole rows on every page, a header band with the
// file's data above the table, a page number on every page and, on the
// rows of pages after the first, the titles of that page's columns.
//
// Thread: main thread.
#include <QStringList>

#include "foundation/Value.h"

#include <functional>
#include <string>
#include <vector>

class QAbstractItemView;
class QFont;
class QPrinter;
class QTreeView;
class QWidget;

namespace kl {

class IndexPrintView {
public:
    struct Content {
        std::vector<std::string> headerLines;  // the band's lines, top down
        std::vector<std::string> titles;
        std::vector<double> widths;       // on screen, in points
        std::vector<int> alignments;      // 0 left, 1 right, 2 centre
        std::vector<QStringList> rows;    // the cells' texts
        std::vector<int> levels;          // a tree row's depth, else empty
        double indentation = 0;           // per level
        int headerLines8or7 = 8;
    };

    // What a list or an outline shows: every column but a list's last
    // (filler) one, the rows in order (an outline's expanded rows only).
    static Content ofTable(const QAbstractItemView& table, bool dropLastColumn);
    static Content ofOutline(const QTreeView& outline);

    // Prints onto the printer's pages; false when the printer cannot be
    // painted on. Answers the number of pages.
    static int print(QPrinter& printer, const Content& content, const QFont& font);

    // Sets up a printer from a document's print settings (and a script's
    // job settings), asks the print panel when `showPanel`, and prints.
    // Answers the pages printed, 0 when cancelled or not printable.
    static int printWithPanel(const Dictionary& printInfo, const Content& content, const QFont& font, bool showPanel,
                              QWidget* window);
    // The same for any printing: `pages` paints onto the set-up printer.
    static int printWithPanel(const Dictionary& printInfo, bool showPanel, QWidget* window,
                              const std::function<int(QPrinter&)>& pages);
    // Tests answer the print panel themselves.
    using PrintPanel = std::function<bool(QPrinter&, QWidget*)>;
    static void setPrintPanel(PrintPanel panel);
};

}  // namespace kl
