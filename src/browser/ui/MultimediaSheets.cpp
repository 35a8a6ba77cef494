#include "browser/ui/MultimediaSheets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

#include "app/ui/AppAlerts.h"
#include "cells/MultimediaCell.h"

namespace kl {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }

// The media kinds a multimedia file's form may name, by form type.
constexpr std::array<const char*, 15> kFormTypes{"",          "photo",      "video", "audio", "card",
                                                 "book",      "electronic", "fiche", "film",  "magazine",
                                                 "manuscript", "newspaper", "map",   "tombstone", "other"};

// The link type the sheet showed last, for every sheet of the program.
int& lastLinkType() {
    static int type = -1;
    return type;
}

}  // namespace

// ---- the helper sheet

HelperSheet::HelperSheet(QWidget* window, const std::string& application, int option, const std::string& format)
    : QDialog(window) {
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Helper Application"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text("How do you want to handle clicks on multimedia objects of type <" + format + ">?")));
    rows_ = new QButtonGroup(this);
    const char* titles[] = {"Open with this application:", "Open with the default application", "Do not open them"};
    auto* chosen = new QHBoxLayout;
    application_ = new QLineEdit(text(application));
    auto* choose = new QPushButton(tr("Choose..."));
    connect(choose, &QPushButton::clicked, this, [this] { pickHelperApplication(); });
    for (int i = 0; i < 3; ++i) {
        auto* row = new QRadioButton(tr(titles[i]));
        rows_->addButton(row, i);
        if (i == 0) {
            chosen->addWidget(row);
            chosen->addWidget(application_, 1);
            chosen->addWidget(choose);
            layout->addLayout(chosen);
        } else {
            layout->addWidget(row);
        }
    }
    // A row outside the three (an old or damaged entry) falls back to the
    // application when one is named, else to the default application.
    const int row = option >= 0 && option <= 2 ? option : (application.empty() ? 1 : 0);
    rows_->button(row)->setChecked(true);
    confirm_ = new QCheckBox(tr("Do not ask again"));
    confirm_->setChecked(false);
    layout->addWidget(confirm_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QRadioButton* HelperSheet::row(int index) const { return qobject_cast<QRadioButton*>(rows_->button(index)); }
std::string HelperSheet::application() const { return application_->text().toStdString(); }
int HelperSheet::option() const { return rows_->checkedId(); }
bool HelperSheet::doNotAskAgain() const { return confirm_->isChecked(); }

void HelperSheet::pickHelperApplication() {
    if (auto name = helperApplicationSelection(this)) {
        application_->setText(text(*name));
        rows_->button(0)->setChecked(true);
    }
}

std::optional<std::string> HelperSheet::helperApplicationSelection(QWidget* parent) {
    QFileDialog panel(parent, tr("Choose Helper Application"), QStringLiteral("/usr/share/applications"),
                      tr("Applications (*.desktop);;Programs (*)"));
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::ExistingFile);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(panel.selectedFiles().front()).completeBaseName().toStdString();
}

// ---- the link sheet

LinkMultimediaSheet::LinkMultimediaSheet(QWidget* window, const Fields& fields, Resolver resolve)
    : QDialog(window), resolve_(std::move(resolve)) {
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Link to File or Address"));
    setMinimumWidth(460);
    auto* layout = new QVBoxLayout(this);
    auto* types = new QHBoxLayout;
    fileType_ = new QRadioButton(tr("File"));
    urlType_ = new QRadioButton(tr("Web Address"));
    types->addWidget(fileType_);
    types->addWidget(urlType_);
    types->addStretch();
    layout->addLayout(types);
    auto* form = new QFormLayout;
    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(text(fields.isURL ? std::string() : fields.file));
    auto* choose = new QPushButton(tr("Choose..."));
    connect(choose, &QPushButton::clicked, this, [this] { chooseMmFile(); });
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(choose);
    form->addRow(tr("File:"), fileRow);
    url_ = new QLineEdit(text(fields.isURL ? fields.url : std::string()));
    form->addRow(tr("Address:"), url_);
    title_ = new QLineEdit(text(fields.title));
    form->addRow(tr("Title:"), title_);
    kind_ = new QLineEdit(text(fields.kind));
    form->addRow(tr("Kind:"), kind_);
    forms_ = new QComboBox;
    for (std::size_t i = 0; i < kFormTypes.size(); ++i) forms_->addItem(kFormTypes[i], int(i));
    formsLabel_ = new QLabel(tr("Form:"));
    form->addRow(formsLabel_, forms_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    (fields.isURL ? urlType_ : fileType_)->setChecked(true);
    lastLinkType() = fields.isURL ? 1 : 0;
    setMmType(false);
    kind_->setText(text(fields.kind));
    if (fields.formType < 0) {
        forms_->hide();
        formsLabel_->hide();
    } else {
        forms_->setCurrentIndex(std::max(0, forms_->findData(fields.formType)));
    }
    connect(fileType_, &QRadioButton::toggled, this, [this](bool) { setMmType(true); });
}

LinkMultimediaSheet::Fields LinkMultimediaSheet::fields() const {
    Fields shown;
    shown.isURL = urlType_->isChecked();
    shown.file = file_->text().toStdString();
    shown.url = url_->text().toStdString();
    shown.title = title_->text().toStdString();
    shown.kind = kind_->text().toStdString();
    shown.formType = forms_->currentData().toInt();
    return shown;
}

void LinkMultimediaSheet::setMmType(bool fromUser) {
    const int type = urlType_->isChecked() ? 1 : 0;
    if (fromUser && type == lastLinkType()) return;
    lastLinkType() = type;
    const bool isURL = type == 1;
    file_->setEnabled(!isURL);
    url_->setEnabled(isURL);
    forms_->setVisible(!isURL);
    formsLabel_->setVisible(!isURL);
    if (isURL) {
        kind_->setText(tr("url"));
        url_->selectAll();
        return;
    }
    file_->selectAll();
    auto found = resolve_ ? resolve_(file_->text().toStdString()) : std::nullopt;
    kind_->setText(found ? text(found->format) : QString());
}

void LinkMultimediaSheet::chooseMmFile() {
    QString start;
    if (auto found = resolve_ ? resolve_(file_->text().toStdString()) : std::nullopt)
        start = QFileInfo(text(found->fullPath)).absolutePath();
    QFileDialog panel(nullptr, tr("Choose File"), start);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::ExistingFile);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty()) return;
    const std::string chosen = panel.selectedFiles().front().toStdString();
    if (MultimediaCell::isZeroSize(chosen, true)) return;
    auto found = resolve_ ? resolve_(chosen) : std::nullopt;
    if (!found) {
        QApplication::beep();
        AppAlerts::criticalAlert("Error trying to open the selected file",
                                 std::string("You may not have permission to access that folder"), this);
        return;
    }
    file_->setText(text(found->stored));
    fileType_->setChecked(true);
    setMmType(false);
}

void LinkMultimediaSheet::done(int result) {
    if (result == QDialog::Accepted && fileType_->isChecked() &&
        !(resolve_ && resolve_(file_->text().toStdString()))) {
        AppAlerts::criticalAlert("Multimedia file not found",
                                 std::string("Use the Choose... button to be sure to select a valid file name."), this);
        return;
    }
    QDialog::done(result);
}

}  // namespace kl
