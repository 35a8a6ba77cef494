#include "charts/ui/ReportSheets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "charts/GenRelativesReport.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/AlbumsMenu.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

// The choices each sheet starts with, for the rest of the run.
struct Remembered {
    int customColumn = 0;
    int validateIndex = 0;
    DateLimits limits;
    int datesIndex = 0;
    int generations = 10;
    bool boxes[8] = {true, true, true, true, false, false, false, false};
    int styleColumn = 0;
};

Remembered& remembered() {
    static Remembered values;
    return values;
}

QDialogButtonBox* okCancel(KLSheet& sheet) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &sheet);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &sheet, &KLSheet::okClick);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &KLSheet::cancelClick);
    return buttons;
}

QButtonGroup* radioRow(QWidget& owner, QHBoxLayout& row, std::initializer_list<const char*> titles, int selected) {
    auto* group = new QButtonGroup(&owner);
    int column = 0;
    for (const char* title : titles) {
        auto* button = new QRadioButton(QObject::tr(title), &owner);
        group->addButton(button, column);
        row.addWidget(button);
        if (column == selected) button->setChecked(true);
        ++column;
    }
    if (!group->checkedButton()) group->button(0)->setChecked(true);
    return group;
}

}  // namespace

// ---- RecordSetPopUp

void RecordSetPopUp::fill(QComboBox& popUp, GEDCOMDocument& document, int rememberedIndex) {
    popUp.clear();
    popUp.addItem(QObject::tr("All Records"), kAllRecordsTag);
    popUp.addItem(QObject::tr("Selected Records"), kSelectedRecordsTag);
    popUp.insertSeparator(2);
    for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, document.gedcomModel().recordsIndex()))
        popUp.addItem(qt(item.title), item.tag);
    popUp.setCurrentIndex(rememberedIndex >= 0 && rememberedIndex < popUp.count() ? rememberedIndex : 0);
}

int RecordSetPopUp::whichRecords(const QComboBox& popUp) {
    const QVariant tag = popUp.currentData();
    return (tag.isValid() ? tag.toInt() : kAllRecordsTag) - AlbumsMenu::kFirstAlbumTag;
}

// ---- ValidateOptions

ValidateOptions::ValidateOptions(GEDCOMDocument& document, QWidget* parent)
    : KLSheet("ValidateOptionsDialog", parent), gedDoc_(document) {
    setWindowTitle(tr("Validate GEDCOM"));
    auto* custom = new QGroupBox(tr("Unrecognized custom tags"), this);
    auto* row = new QHBoxLayout(custom);
    customOption_ = radioRow(*custom, *row, {"Report", "Ignore", "Delete"}, remembered().customColumn);
    whichRecords_ = new QComboBox(this);
    whichRecords_->setObjectName("whichRecords");
    RecordSetPopUp::fill(*whichRecords_, gedDoc_, remembered().validateIndex);
    // A remembered index the pop-up no longer has is forgotten.
    remembered().validateIndex = whichRecords_->currentIndex();
    auto* form = new QFormLayout;
    form->addRow(tr("Records to check:"), whichRecords_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(custom);
    layout->addLayout(form);
    layout->addWidget(okCancel(*this));
}

QRadioButton* ValidateOptions::customOption(int column) const {
    return static_cast<QRadioButton*>(customOption_->button(column));
}

Value ValidateOptions::sheetContextInfo(int returnCode) {
    if (returnCode != OKCode) return Value();
    remembered().customColumn = customOption_->checkedId();
    remembered().validateIndex = whichRecords_->currentIndex();
    return Value(Dictionary{{"customTags", Value(remembered().customColumn)},
                            {"whichRecords", Value(RecordSetPopUp::whichRecords(*whichRecords_))}});
}

int ValidateOptions::rememberedColumn() { return remembered().customColumn; }
int ValidateOptions::rememberedIndex() { return remembered().validateIndex; }
void ValidateOptions::resetRemembered() {
    remembered().customColumn = 0;
    remembered().validateIndex = 0;
}

// ---- CheckDatesOptions

CheckDatesOptions::CheckDatesOptions(GEDCOMDocument& document, QWidget* parent)
    : KLSheet("CheckDatesOptionsDialog", parent), gedDoc_(document) {
    setWindowTitle(tr("Check Dates"));
    const DateLimits& limits = remembered().limits;
    const int32_t values[5] = {limits.maxPersonAge, limits.minParentAge, limits.maxMotherAge, limits.maxFatherAge,
                               limits.minSpouseAge};
    const char* labels[5] = {
        "Maximum age at death:", "Youngest parent:", "Oldest mother:", "Oldest father:", "Youngest spouse:"};
    auto* form = new QFormLayout;
    for (int i = 0; i < 5; ++i) {
        dateLimits_[i] = new QSpinBox(this);
        dateLimits_[i]->setRange(0, 999);
        dateLimits_[i]->setValue(values[i]);
        form->addRow(tr(labels[i]), dateLimits_[i]);
    }
    whichRecords_ = new QComboBox(this);
    whichRecords_->setObjectName("whichRecords");
    RecordSetPopUp::fill(*whichRecords_, gedDoc_, remembered().datesIndex);
    remembered().datesIndex = whichRecords_->currentIndex();
    form->addRow(tr("Records to check:"), whichRecords_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(*this));
}

Value CheckDatesOptions::sheetContextInfo(int returnCode) {
    if (returnCode != OKCode) return Value();
    DateLimits& limits = remembered().limits;
    limits = {dateLimits_[0]->value(), dateLimits_[1]->value(), dateLimits_[2]->value(), dateLimits_[3]->value(),
              dateLimits_[4]->value()};
    remembered().datesIndex = whichRecords_->currentIndex();
    return Value(Dictionary{{"maxPersonAge", Value(limits.maxPersonAge)},
                            {"minParentAge", Value(limits.minParentAge)},
                            {"maxMotherAge", Value(limits.maxMotherAge)},
                            {"maxFatherAge", Value(limits.maxFatherAge)},
                            {"minSpouseAge", Value(limits.minSpouseAge)},
                            {"whichRecords", Value(RecordSetPopUp::whichRecords(*whichRecords_))}});
}

DateLimits CheckDatesOptions::rememberedLimits() { return remembered().limits; }
void CheckDatesOptions::resetRemembered() {
    remembered().limits = DateLimits();
    remembered().datesIndex = 0;
}

// ---- RelativesReportOptions

RelativesReportOptions::RelativesReportOptions(std::string sheetName, std::shared_ptr<Object> record, QWidget* parent)
    : KLSheet(std::move(sheetName), parent), theRecord_(std::move(record)) {
    setWindowTitle(tr("Report Options"));
    groupBox_ = new QGroupBox(this);
    auto* inner = new QVBoxLayout(groupBox_);
    auto* generations = new QFormLayout;
    numberGenerations_ = new QLineEdit(QString::number(remembered().generations), groupBox_);
    numberGenerations_->setValidator(new QIntValidator(1, 9999, numberGenerations_));
    generations->addRow(tr("Number of generations:"), numberGenerations_);
    inner->addLayout(generations);
    const char* titles[8] = {"Birth dates", "Birth places", "Death dates",    "Death places",
                             "Spouses",     "Children",     "Marriage dates", "Marriage places"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        boxes_[i] = new QCheckBox(tr(titles[i]), groupBox_);
        boxes_[i]->setChecked(remembered().boxes[i]);
        grid->addWidget(boxes_[i], i % 4, i / 4);
    }
    inner->addLayout(grid);
    auto* style = new QHBoxLayout;
    outputStyle_ = radioRow(*groupBox_, *style, {"Prose", "List", "Table"}, remembered().styleColumn);
    inner->addLayout(style);
    miniText_ = new QLabel(groupBox_);
    miniText_->setWordWrap(true);
    miniText_->hide();
    inner->addWidget(miniText_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groupBox_);
    layout->addWidget(okCancel(*this));
}

void RelativesReportOptions::setReportTitle(const std::string& title) { groupBox_->setTitle(qt(title)); }

void RelativesReportOptions::setMiniMessage(const std::string& message) {
    miniText_->setText(qt(message));
    miniText_->setVisible(!message.empty());
}

QRadioButton* RelativesReportOptions::outputStyle(int column) const {
    return static_cast<QRadioButton*>(outputStyle_->button(column));
}

Value RelativesReportOptions::sheetContextInfo(int returnCode) {
    if (returnCode != OKCode) return Value();
    Remembered& values = remembered();
    values.generations = numberGenerations_->text().toInt();
    for (int i = 0; i < 8; ++i) values.boxes[i] = boxes_[i]->isChecked();
    values.styleColumn = outputStyle_->checkedId();
    Dictionary options{
        {"maxGenerations", Value(values.generations)},
        {"outputFlags",
         Value(static_cast<long long>(GenRelativesReport::outputFlags(values.boxes, values.styleColumn)))}};
    options.set("theRecord", Value(theRecord_));
    return Value(std::move(options));
}

void RelativesReportOptions::resetRemembered() {
    Remembered fresh;
    Remembered& values = remembered();
    values.generations = fresh.generations;
    std::copy(std::begin(fresh.boxes), std::end(fresh.boxes), std::begin(values.boxes));
    values.styleColumn = fresh.styleColumn;
}

}  // namespace kl
