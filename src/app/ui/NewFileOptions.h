#pragma once
// NewFileOptions: the sheet that asks for the first couple of a new database
// (new-file mode) or for the two partners of a new family (mode 1 from the
// tree chart, 2 from the document's command). It only collects names, sexes
// and dates; the caller reads fileSettings() when the sheet ends with 1 (OK)
// and makes the records. In new-file mode "Empty File" ends with 2 and no
// records are wanted; in family mode the link box is hidden but stays on.
//
// Ownership: a KLSheet; the document is borrowed and may be null.
// Thread: main thread.
#include "app/NewFileSettings.h"
#include "app/ui/KLSheet.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kl {

class GEDCOMDocument;

class NewFileOptions : public KLSheet {
    Q_OBJECT
public:
    NewFileOptions(GEDCOMDocument* document, int newFamily, QWidget* parent = nullptr);

    GEDCOMDocument* document() const { return document_; }
    int newFamily() const { return newFamily_; }
    Array fileSettings() const;
    NewFileSettings settings() const;

    QLabel* newTitle() const { return newTitle_; }
    QLabel* famTitle() const { return famTitle_; }
    QLabel* fam2Title() const { return fam2Title_; }
    QLineEdit* person1() const { return person1_; }
    QLineEdit* born1() const { return born1_; }
    QLineEdit* died1() const { return died1_; }
    QLineEdit* person2() const { return person2_; }
    QLineEdit* born2() const { return born2_; }
    QLineEdit* died2() const { return died2_; }
    QButtonGroup* sex1() const { return sex1_; }
    QButtonGroup* sex2() const { return sex2_; }
    QCheckBox* linkAsFamily() const { return linkAsFamily_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* emptyFile() const { return emptyFile_; }
    QPushButton* cancelFamily() const { return cancelFamily_; }
    // The date engine's message for a typed date it cannot read.
    QLabel* dateMessage() const { return dateMessage_; }

public slots:
    // A birth or death date that does not read keeps the sheet open with
    // the reason shown and the field selected.
    void okClick() override;

private:
    void windowDidLoad();
    void newFamilyMode();

    GEDCOMDocument* document_;
    int newFamily_;
    QLabel* newTitle_;
    QLabel* famTitle_;
    QLabel* fam2Title_;
    QLineEdit* person1_;
    QLineEdit* born1_;
    QLineEdit* died1_;
    QLineEdit* person2_;
    QLineEdit* born2_;
    QLineEdit* died2_;
    QButtonGroup* sex1_;
    QButtonGroup* sex2_;
    QCheckBox* linkAsFamily_;
    QPushButton* okButton_;
    QPushButton* emptyFile_;
    QPushButton* cancelFamily_;
    QLabel* dateMessage_;
};

}  // namespace kl
