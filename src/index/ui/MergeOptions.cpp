#include "index/ui/MergeOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/DocController.h"
#include "dates/DateBridge.h"
#include "document/GEDCOMDocument.h"
#include "index/AlbumsMenu.h"

namespace kl {

namespace {

// What the sheet remembers between uses, for the whole run.
struct SheetMemory {
    bool attachLink = false;
    std::string linkText;
};

SheetMemory& memory() {
    static SheetMemory remembered;
    return remembered;
}

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void MergeOptions::setAttachLinkText(std::string text) { memory().linkText = std::move(text); }

MergeOptions* MergeOptions::initForDoc(GEDCOMDocument& document, QWidget* parent) {
    std::vector<OpenDocument> open;
    if (DocController* controller = DocController::sharedDocumentController())
        for (GEDCOMDocument* each : controller->documents()) open.push_back({each, controller->displayName(*each)});
    return new MergeOptions(document, std::move(open), parent);
}

MergeOptions::MergeOptions(GEDCOMDocument& document, std::vector<OpenDocument> openDocuments, QWidget* parent)
    : KLSheet("MergeOptionsDialog", parent), document_(document), sourceDocs_(std::move(openDocuments)) {
    setWindowTitle(tr("Merge"));
    whichDocument_ = new QComboBox(this);
    whichRecords_ = new QComboBox(this);
    attachLinkBox_ = new QCheckBox(tr("Link each merged record to a note with this text:"), this);
    linkText_ = new QLineEdit(this);
    createAlbumText_ = new QLineEdit(this);
    createAlbumText_->setMinimumWidth(280);

    for (std::size_t i = 0; i < sourceDocs_.size(); ++i) {
        if (sourceDocs_[i].document == &document_) {
            myIndex_ = static_cast<int>(i);
            continue;
        }
        whichDocument_->addItem(sourceDocs_[i].displayName);
    }
    attachLinkBox_->setChecked(memory().attachLink);
    linkText_->setText(qt(memory().linkText));
    std::string time;
    const std::string date = todayDateString(&time);
    createAlbumText_->setText(qt("Merged " + date + " " + time));

    auto* form = new QFormLayout;
    form->addRow(tr("Merge records from:"), whichDocument_);
    form->addRow(tr("Records:"), whichRecords_);
    form->addRow(attachLinkBox_);
    form->addRow(tr("Note text:"), linkText_);
    form->addRow(tr("Album for merged records:"), createAlbumText_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Merge"));
    connect(buttons, &QDialogButtonBox::accepted, this, &KLSheet::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &KLSheet::cancelClick);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(whichDocument_, &QComboBox::activated, this, &MergeOptions::changeDocument);
    if (whichDocument_->count() > 0) {
        whichDocument_->setCurrentIndex(0);
        changeDocument(0);
    }
}

GEDCOMDocument* MergeOptions::documentAt(int position) const {
    if (position < 0) return nullptr;
    const int at = myIndex_ >= 0 && position >= myIndex_ ? position + 1 : position;
    return at < static_cast<int>(sourceDocs_.size()) ? sourceDocs_[static_cast<std::size_t>(at)].document : nullptr;
}

void MergeOptions::changeDocument(int position) {
    if (position == currentIndex_) return;
    currentIndex_ = position;
    whichRecords_->clear();
    whichRecords_->addItem(tr("All Records"));
    if (GEDCOMDocument* source = documentAt(position))
        for (const auto& item : AlbumsMenu::loadAlbumsMenu({}, 0, source->gedcomModel().recordsIndex()))
            whichRecords_->addItem(qt(item.title));
    whichRecords_->setCurrentIndex(0);
}

std::optional<MergeAnswer> MergeOptions::answer(int returnCode) {
    if (returnCode != OKCode) return std::nullopt;
    memory().attachLink = attachLinkBox_->isChecked();
    memory().linkText = linkText_->text().toStdString();
    MergeAnswer answer;
    answer.sourceDoc = documentAt(whichDocument_->currentIndex());
    answer.albumIndex = std::max(0, whichRecords_->currentIndex());
    if (attachLinkBox_->isChecked()) answer.linkText = memory().linkText;
    answer.createAlbumName = createAlbumText_->text().toStdString();
    return answer;
}

}  // namespace kl
