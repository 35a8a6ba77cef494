#pragma once
// QtPrintOperation: a print run of the desktop as the current print
// operation (PrintOperation). Made around the painting of a QPrinter, it
// answers the page of that printer's layout as it stands at each question;
// made over a page layout alone, the page of that layout. The imageable
// bounds are the paper less the layout's minimum margins (what the printer
// cannot mark; none for PDF output), in points of the paper with the origin
// at its bottom-left corner, so AppController::currentPrintImageRect
// answers them as print information would. Its flipped form is Qt's own
// top-left rectangle of the paper.
//
// Ownership: a scope on the stack of the printing code; the printer is
// borrowed and must outlive it. Thread: the thread that prints.
#include <QPageLayout>

#include "app/PrintOperation.h"

class QPrinter;

namespace kl {

class QtPrintOperation : public PrintOperation {
public:
    explicit QtPrintOperation(const QPrinter& printer);
    explicit QtPrintOperation(QPageLayout layout);

    PrintPage printInfo() const override;
    // The page of a layout: paper size and imageable bounds in points.
    static PrintPage pageOf(const QPageLayout& layout);

private:
    const QPrinter* printer_ = nullptr;
    QPageLayout layout_;
};

}  // namespace kl
