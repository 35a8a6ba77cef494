#pragma once
// DocumentWindow: the stand-in main window of an open database until the
// index window exists: the document's title with its edited mark and the
// number of records of each type. The document controller makes it through
// its window factory, so the index window can take its place there.
//
// Ownership: owned by the document controller's entry for its document;
// the document outlives it. Thread: main thread.
#include <QMainWindow>

class QTreeWidget;

namespace kl {

class GEDCOMDocument;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(GEDCOMDocument& document, QWidget* parent = nullptr);
    GEDCOMDocument& document() const { return document_; }
    // Re-reads the counts (after a revert or an edit).
    void reloadCounts();
    // The table's rows as "TYPE<tab>count", for tests.
    QStringList countLines() const;

private:
    GEDCOMDocument& document_;
    QTreeWidget* table_;
};

}  // namespace kl
