#include "app/ui/ExportOptionsDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "foundation/Numbers.h"
#include "foundation/UserDefaults.h"
#include "index/AlbumsMenu.h"

namespace kl {

namespace {

constexpr const char* kCharacterSetTitles[] = {"ASCII", "ANSEL", "UTF-8", "UNICODE (UTF-16)", "Windows"};
constexpr const char* kLineEndingTitles[] = {"CR (classic Mac)", "LF (Linux, macOS)", "CR LF (Windows)"};
constexpr const char* kStyleTitles[] = {
    "Standard GEDCOM 5.5.1: no logs, places or books",
    "GEDCOM 5.5.1 with multimedia embedded",
    "GEDCOM 5.5 with multimedia embedded",
    "All records, with logs, places and books",
    "All records with the file's settings and thumbnails",
    "All records with the file's settings, no thumbnails",
};

}  // namespace

ExportOptionsDialog::ExportOptionsDialog(GEDCOMDocument& document, UserDefaults& defaults, QWidget* parent)
    : KLSheet("ExportOptionsDialog", parent),
      document_(document),
      defaults_(defaults),
      whichRecords_(new QComboBox(this)),
      charSetMenu_(new QComboBox(this)),
      lineEndingMenu_(new QComboBox(this)),
      exportStyle_(new QButtonGroup(this)),
      maxLineLength_(new QLineEdit(this)),
      okButton_(new QPushButton(tr("OK"), this)) {
    setWindowTitle(tr("Export GEDCOM File"));
    for (const char* title : kCharacterSetTitles) charSetMenu_->addItem(tr(title));
    for (const char* title : kLineEndingTitles) lineEndingMenu_->addItem(tr(title));
    auto* form = new QFormLayout;
    form->addRow(tr("Records:"), whichRecords_);
    form->addRow(tr("Character set:"), charSetMenu_);
    form->addRow(tr("Line ending:"), lineEndingMenu_);
    form->addRow(tr("Maximum line length:"), maxLineLength_);
    auto* styles = new QVBoxLayout;
    for (int style = 0; style < 6; ++style) {
        auto* row = new QRadioButton(tr(kStyleTitles[style]), this);
        exportStyle_->addButton(row, style);
        styles->addWidget(row);
    }
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(okButton_);
    okButton_->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Export style:"), this));
    layout->addLayout(styles);
    layout->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, &ExportOptionsDialog::okClick);
    connect(cancel, &QPushButton::clicked, this, &ExportOptionsDialog::cancelClick);
    windowDidLoad();
}

void ExportOptionsDialog::windowDidLoad() {
    ExportOptions::setAlbumIndex(0);
    charSetMenu_->setCurrentIndex(ExportOptions::exportEncodingIndex());
    lineEndingMenu_->setCurrentIndex(ExportOptions::lineEndingIndex());
    maxLineLength_->setText(QString::number(defaults_.integerForKey(ExportOptions::kMaximumLineKey)));
    const int style = static_cast<int>(defaults_.integerForKey(ExportOptions::kStyleKey));
    if (QAbstractButton* row = exportStyle_->button(style >= 0 && style <= 5 ? style : 0)) row->setChecked(true);
    whichRecords_->addItem(tr("All Records"));
    for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, document_.gedcomModel().recordsIndex()))
        whichRecords_->addItem(QString::fromStdString(item.title));
}

void ExportOptionsDialog::okClick() {
    const int album = std::max(whichRecords_->currentIndex(), 0);
    ExportOptions::setAlbumIndex(album);
    ExportOptions::setCurrentEncodingByIndex(charSetMenu_->currentIndex(), defaults_);
    ExportOptions::setCurrentLineEndingByIndex(lineEndingMenu_->currentIndex(), defaults_);
    // Text that is no number counts as the shortest length.
    const double length = parseDouble(maxLineLength_->text().toStdString()).value_or(0);
    maxLineLength_->setText(QString::number(ExportOptions::setMaximumLineLength(length, defaults_)));
    ExportOptions::setExportStyle(std::max(exportStyle_->checkedId(), 0), defaults_);
    if (album != 0) ExportOptions::setEmbedSettings(false);
    KLSheet::okClick();
}

void exportGEDCOMData(GEDCOMDocument& document, UserDefaults& defaults, QWidget* window) {
    auto* sheet = new ExportOptionsDialog(document, defaults, window);
    QPointer<QWidget> alive(window);
    GEDCOMDocument* doc = &document;
    sheet->startSheet(window, [alive, doc](KLSheet& ended, const Value& context) {
        ended.deleteLater();
        if (context.toInteger(0) != KLSheet::OKCode || !alive) return;
        auto* panel = new QFileDialog(alive, QObject::tr("Select name for exported GEDCOM file"));
        panel->setAcceptMode(QFileDialog::AcceptSave);
        panel->setNameFilter(QObject::tr("GEDCOM (*.ged *.txt)"));
        panel->setDefaultSuffix("ged");
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->setWindowModality(Qt::WindowModal);
        QObject::connect(panel, &QFileDialog::fileSelected, alive, [alive, doc](const QString& file) {
            const std::filesystem::path path = file.toStdString();
            QTimer::singleShot(0, alive, [doc, path] { doc->exportFinally(path); });
        });
        panel->open();
    });
}

}  // namespace kl
