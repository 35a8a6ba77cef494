#pragma once
// MergeOptions: the sheet of File > Merge…: which other open database to
// merge, all its records or one of its albums, whether every merged record
// links to a new note (and its text), and the name of the album the merged
// records join. The check box and the note text are remembered for the
// rest of the run.
//
// Ownership: a child of the destination's window; borrows the documents,
// which outlive the sheet. Thread: main thread.
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "app/ui/KLSheet.h"
#include "document/MergeController.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kl {

class GEDCOMDocument;

class MergeOptions : public KLSheet {
    Q_OBJECT
public:
    struct OpenDocument {
        GEDCOMDocument* document;
        QString displayName;
    };

    // The sheet for a destination among the open documents (it is left out
    // of the document pop-up).
    MergeOptions(GEDCOMDocument& document, std::vector<OpenDocument> openDocuments, QWidget* parent = nullptr);
    // The same over the document controller's open documents.
    static MergeOptions* initForDoc(GEDCOMDocument& document, QWidget* parent);

    static void setAttachLinkText(std::string text);
    // The answer for a return code: nullopt for anything but OK, which also
    // remembers the check box and the note text.
    std::optional<MergeAnswer> answer(int returnCode);

    // A document pop-up position was chosen: its records pop-up is filled.
    void changeDocument(int position);

    QComboBox* whichDocument() const { return whichDocument_; }
    QComboBox* whichRecords() const { return whichRecords_; }
    QCheckBox* attachLinkBox() const { return attachLinkBox_; }
    QLineEdit* linkText() const { return linkText_; }
    QLineEdit* createAlbumText() const { return createAlbumText_; }

private:
    // The document of a pop-up position, skipping the destination.
    GEDCOMDocument* documentAt(int position) const;

    GEDCOMDocument& document_;
    std::vector<OpenDocument> sourceDocs_;
    int myIndex_ = -1;
    int currentIndex_ = -1;
    QComboBox* whichDocument_ = nullptr;
    QComboBox* whichRecords_ = nullptr;
    QCheckBox* attachLinkBox_ = nullptr;
    QLineEdit* linkText_ = nullptr;
    QLineEdit* createAlbumText_ = nullptr;
};

}  // namespace kl
