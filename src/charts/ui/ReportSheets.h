#pragma once
// The options sheets of the reports: ValidateOptions (custom-tag choice and
// record set), CheckDatesOptions (the five age limits and record set) and
// RelativesReportOptions (generations, eight detail boxes, output style).
// Each starts with the values last confirmed in this run of the program;
// Cancel leaves them as they were. sheetContextInfo answers the options
// dictionary for OK and a null value otherwise.
//
// The record-set pop-up holds "All Records", "Selected Records", a
// separator and one item per album; its answer is the item's tag - 4510
// (-2 all, -1 selected, an album's index).
//
// Ownership: KLSheets, shown on the index window and deleted by their
// caller once ended; they borrow the document. Thread: main thread.
#include <memory>
#include <string>

#include "app/ui/KLSheet.h"
#include "charts/DateCheck.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace kl {

class GEDCOMDocument;

// Fills a record-set pop-up and reads its answer.
class RecordSetPopUp {
public:
    static constexpr int kAllRecordsTag = 4508;
    static constexpr int kSelectedRecordsTag = 4509;
    static void fill(QComboBox& popUp, GEDCOMDocument& document, int rememberedIndex);
    static int whichRecords(const QComboBox& popUp);
};

class ValidateOptions : public KLSheet {
    Q_OBJECT
public:
    explicit ValidateOptions(GEDCOMDocument& document, QWidget* parent = nullptr);
    Value sheetContextInfo(int returnCode) override;

    QRadioButton* customOption(int column) const;
    QComboBox* whichRecords() const { return whichRecords_; }
    // The remembered column and pop-up index.
    static int rememberedColumn();
    static int rememberedIndex();
    static void resetRemembered();

private:
    GEDCOMDocument& gedDoc_;
    QButtonGroup* customOption_ = nullptr;
    QComboBox* whichRecords_ = nullptr;
};

class CheckDatesOptions : public KLSheet {
    Q_OBJECT
public:
    explicit CheckDatesOptions(GEDCOMDocument& document, QWidget* parent = nullptr);
    Value sheetContextInfo(int returnCode) override;

    QSpinBox* dateLimits(int at) const { return dateLimits_[at]; }
    QComboBox* whichRecords() const { return whichRecords_; }
    static DateLimits rememberedLimits();
    static void resetRemembered();

private:
    GEDCOMDocument& gedDoc_;
    QSpinBox* dateLimits_[5] = {};
    QComboBox* whichRecords_ = nullptr;
};

class RelativesReportOptions : public KLSheet {
    Q_OBJECT
public:
    // The subject is handed to the report under "theRecord".
    RelativesReportOptions(std::string sheetName, std::shared_ptr<Object> record, QWidget* parent = nullptr);
    void setReportTitle(const std::string& title);
    void setMiniMessage(const std::string& message);
    Value sheetContextInfo(int returnCode) override;

    QLineEdit* numberGenerations() const { return numberGenerations_; }
    QCheckBox* checkBox(int at) const { return boxes_[at]; }
    QRadioButton* outputStyle(int column) const;
    QGroupBox* groupBox() const { return groupBox_; }
    QLabel* miniText() const { return miniText_; }
    static void resetRemembered();

private:
    std::shared_ptr<Object> theRecord_;
    QGroupBox* groupBox_ = nullptr;
    QLineEdit* numberGenerations_ = nullptr;
    QCheckBox* boxes_[8] = {};
    QButtonGroup* outputStyle_ = nullptr;
    QLabel* miniText_ = nullptr;
};

}  // namespace kl
