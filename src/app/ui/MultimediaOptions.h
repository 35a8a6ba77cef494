#pragma once
// MultimediaOptions: a document's multimedia options window. For now it
// lists the multimedia root folders through which the document resolves
// its records' relative file names, kept current as the folders change;
// the thumbnail and consolidation controls come with the preferences
// window. One per document: the document's menus make it on first use and
// find it again.
//
// Ownership: a top-level window parented to the document's index window,
// so it goes with the document at the latest; borrows the document.
// Thread: main thread.
#include <QWidget>

#include "foundation/NotificationCenter.h"

class QListWidget;

namespace kl {

class GEDCOMDocument;

class MultimediaOptions : public QWidget {
    Q_OBJECT
public:
    // Made without showing it (`initForDocument`).
    MultimediaOptions(GEDCOMDocument& document, QWidget* parent);

    // The document's window, nullptr when none was made.
    static MultimediaOptions* forDocument(const GEDCOMDocument& document);

    GEDCOMDocument& document() const { return document_; }
    void showWindow();
    // Stops following the document before the window closes.
    void cancelUpdates();
    void updateTable();
    QListWidget* rootFolders() const { return roots_; }

private:
    GEDCOMDocument& document_;
    QListWidget* roots_;
    Observation rootsChanged_;
};

}  // namespace kl
