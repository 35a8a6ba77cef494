#pragma once
// ExportOptionsDialog: the export options sheet of a database: which
// records (all, or one user album), character set, line ending, export
// style and maximum line length. It shows the application's export
// settings (ExportOptions) and sets them on OK, storing the character set,
// line ending, style and line length in the user defaults; the document's
// export then reads them.
//
// Ownership: a KLSheet; the document is borrowed and must outlive it.
// Thread: main thread.
#include "app/ui/KLSheet.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kl {

class GEDCOMDocument;
class UserDefaults;

class ExportOptionsDialog : public KLSheet {
    Q_OBJECT
public:
    ExportOptionsDialog(GEDCOMDocument& document, UserDefaults& defaults, QWidget* parent = nullptr);

    QComboBox* whichRecords() const { return whichRecords_; }
    QComboBox* charSetMenu() const { return charSetMenu_; }
    QComboBox* lineEndingMenu() const { return lineEndingMenu_; }
    QButtonGroup* exportStyle() const { return exportStyle_; }
    QLineEdit* maxLineLength() const { return maxLineLength_; }
    QPushButton* okButton() const { return okButton_; }

public slots:
    void okClick() override;

private:
    void windowDidLoad();

    GEDCOMDocument& document_;
    UserDefaults& defaults_;
    QComboBox* whichRecords_;
    QComboBox* charSetMenu_;
    QComboBox* lineEndingMenu_;
    QButtonGroup* exportStyle_;
    QLineEdit* maxLineLength_;
    QPushButton* okButton_;
};

// File > Export > GEDCOM File...: the options sheet on the window, then the
// save panel, then the export on the next turn of the event loop.
void exportGEDCOMData(GEDCOMDocument& document, UserDefaults& defaults, QWidget* window);

}  // namespace kl
