#pragma once
// ImportPlace: the sheet of the place advisor's "Copy To Place". It
// downloads the shown place's details, box and points on a worker while
// the user picks the document and the place record's name; OK hands the
// download and the choices to the advisor, which writes them
// (PlaceImport::copyPlaceNow). A failed download ends the sheet with OK at
// once, so that the advisor reports the error.
//
// Ownership: a child of the advisor window while shown; the worker holds
// only its own copies and the shared cancel flag, and reports back through
// a guarded pointer, so the sheet may go while it runs. Thread: main
// thread.
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/KLSheet.h"
#include "places/PlaceImport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kl {

class GEDCOMDocument;

class ImportPlace : public KLSheet {
    Q_OBJECT
public:
    // The place code of the advisor's page, the service's request base and
    // the documents open now.
    ImportPlace(const std::string& code, std::string requestBase, std::vector<GEDCOMDocument*> documents,
                QWidget* parent = nullptr);
    ~ImportPlace() override;

    const std::string& placeName() const { return placeName_; }
    const std::vector<std::string>& levels() const { return levels_; }
    // The download, once it is done.
    const std::optional<PlaceImport::Download>& download() const { return download_; }
    // The choices for the writing; only after an OK without error.
    PlaceImport::Choice choice() const;
    GEDCOMDocument* chosenDocument() const;

    QComboBox* whichDocument() const { return whichDocument_; }
    QComboBox* placeFld() const { return placeFld_; }
    QPushButton* okButton() const { return okButton_; }
    QCheckBox* poisWithURLBox() const { return poisWithURLBox_; }
    QCheckBox* poisWithoutURLBox() const { return poisWithoutURLBox_; }

    void collectIsDone(PlaceImport::Download download);
    void cancelClick() override;
    Value sheetContextInfo(int returnCode) override;

private:
    void windowDidLoad(const std::string& code);
    void changeDocument();
    void controlTextDidChange();

    std::string placeName_;
    std::vector<std::string> levels_;
    std::string requestBase_;
    std::vector<GEDCOMDocument*> sourceDocs_;
    int currentIndex_ = -1;
    std::optional<PlaceImport::Download> download_;
    std::shared_ptr<std::atomic<bool>> continueThread_;

    QLabel* label_ = nullptr;
    QLabel* downloadLabel_ = nullptr;
    QComboBox* whichDocument_ = nullptr;
    QComboBox* placeFld_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QCheckBox* poisWithURLBox_ = nullptr;
    QCheckBox* poisWithoutURLBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace kl
