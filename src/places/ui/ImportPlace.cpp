#include "places/ui/ImportPlace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/PlaceIndex.h"
#include "foundation/MainThread.h"
#include "places/PlaceAdvisor.h"

namespace kl {

namespace {
// The point boxes' last states, for the next sheet of this run.
bool& rememberedWithURL() {
    static bool on = false;
    return on;
}
bool& rememberedWithoutURL() {
    static bool on = false;
    return on;
}

QString pointsTitle(int count, bool withURL) {
    if (count == 1)
        return withURL ? QStringLiteral("Include 1 POI that has a URL") : QStringLiteral("Include 1 POI that does not have a URL");
    return (withURL ? QStringLiteral("Include %1 POIs that have a URL") : QStringLiteral("Include %1 POIs that do not have a URL"))
        .arg(count);
}

QString countryName(const std::string& code) {
    LibraryFolder* library = AppController::sharedLibrary();
    const auto name = library ? library->countryForCode(code) : std::nullopt;
    return QString::fromStdString(name.value_or(code));
}
}  // namespace

ImportPlace::ImportPlace(const std::string& code, std::string requestBase, std::vector<GEDCOMDocument*> documents,
                         QWidget* parent)
    : KLSheet("ImportPlaceDialog", parent),
      requestBase_(std::move(requestBase)),
      sourceDocs_(std::move(documents)),
      continueThread_(std::make_shared<std::atomic<bool>>(false)) {
    auto place = PlaceAdvisor::placeLevels(code);
    placeName_ = std::move(place.placeName);
    levels_ = std::move(place.levels);
    setWindowTitle(tr("Copy To Place"));
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    downloadLabel_ = new QLabel(tr("Downloading place information..."), this);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 0);
    whichDocument_ = new QComboBox(this);
    placeFld_ = new QComboBox(this);
    placeFld_->setEditable(true);
    placeFld_->setMaxVisibleItems(10);
    poisWithURLBox_ = new QCheckBox(pointsTitle(0, true), this);
    poisWithoutURLBox_ = new QCheckBox(pointsTitle(0, false), this);
    auto* buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(tr("New"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportPlace::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportPlace::cancelClick);

    auto* form = new QFormLayout;
    form->addRow(tr("Document:"), whichDocument_);
    form->addRow(tr("Place record:"), placeFld_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addLayout(form);
    layout->addWidget(poisWithURLBox_);
    layout->addWidget(poisWithoutURLBox_);
    layout->addWidget(downloadLabel_);
    layout->addWidget(progress_);
    layout->addWidget(buttons);
    windowDidLoad(code);
}

ImportPlace::~ImportPlace() { *continueThread_ = false; }

void ImportPlace::windowDidLoad(const std::string& code) {
    *continueThread_ = true;
    poisWithURLBox_->setEnabled(false);
    poisWithoutURLBox_->setEnabled(false);
    okButton_->setEnabled(false);
    // The worker owns copies of what it needs; it reports back only while
    // the sheet still exists.
    QPointer<ImportPlace> sheet(this);
    QThread* worker = QThread::create([sheet, base = requestBase_, levels = levels_, running = continueThread_] {
        auto download = PlaceImport::collectData(base, levels, *running);
        if (!download || !*running) return;
        Dispatcher::current().post([sheet, download = std::move(*download)]() mutable {
            if (sheet) sheet->collectIsDone(std::move(download));
        });
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();

    label_->setText(tr("Copy the information on '%1' from the place-data service to a place record.")
                        .arg(QString::fromStdString(placeName_)));
    for (GEDCOMDocument* document : sourceDocs_) {
        DocController* controller = DocController::sharedDocumentController();
        whichDocument_->addItem(controller ? controller->displayName(*document) : QString());
    }
    connect(whichDocument_, &QComboBox::currentIndexChanged, this, [this] { changeDocument(); });
    whichDocument_->setCurrentIndex(0);
    changeDocument();
    placeFld_->setEditText(levels_.size() == 1 ? countryName(code) : QString::fromStdString(placeName_));
    connect(placeFld_, &QComboBox::editTextChanged, this, [this] { controlTextDidChange(); });
    connect(placeFld_, &QComboBox::activated, this, [this] { okButton_->setText(tr("Merge")); });
    controlTextDidChange();
}

GEDCOMDocument* ImportPlace::chosenDocument() const {
    if (currentIndex_ < 0 || currentIndex_ >= int(sourceDocs_.size())) return nullptr;
    GEDCOMDocument* document = sourceDocs_[currentIndex_];
    // A document closed while the sheet was up is no target.
    DocController* controller = DocController::sharedDocumentController();
    if (!controller) return document;
    const auto open = controller->documents();
    return std::find(open.begin(), open.end(), document) != open.end() ? document : nullptr;
}

void ImportPlace::changeDocument() {
    const int chosen = whichDocument_->currentIndex();
    if (chosen == currentIndex_) return;
    currentIndex_ = chosen;
    const QString typed = placeFld_->currentText();
    placeFld_->clear();
    if (GEDCOMDocument* document = chosenDocument()) {
        QStringList names;
        for (const std::string& name : document->gedcomModel().places().order()) names << QString::fromStdString(name);
        placeFld_->addItems(names);
        placeFld_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    }
    placeFld_->setEditText(typed);
    controlTextDidChange();
}

void ImportPlace::controlTextDidChange() {
    GEDCOMDocument* document = chosenDocument();
    if (!document) return;
    const bool known = document->gedcomModel().placeForName(placeFld_->currentText().toStdString()) != nullptr;
    okButton_->setText(known ? tr("Merge") : tr("New"));
}

void ImportPlace::collectIsDone(PlaceImport::Download download) {
    download_ = std::move(download);
    downloadLabel_->hide();
    progress_->hide();
    if (download_->poisWithURL > 0) {
        poisWithURLBox_->setEnabled(true);
        poisWithURLBox_->setChecked(rememberedWithURL());
        poisWithURLBox_->setText(pointsTitle(download_->poisWithURL, true));
    }
    if (download_->poisWithoutURL > 0) {
        poisWithoutURLBox_->setEnabled(true);
        poisWithoutURLBox_->setChecked(rememberedWithoutURL());
        poisWithoutURLBox_->setText(pointsTitle(download_->poisWithoutURL, false));
    }
    if (download_->error) {
        okClick();
        return;
    }
    okButton_->setEnabled(true);
}

void ImportPlace::cancelClick() {
    *continueThread_ = false;
    KLSheet::cancelClick();
}

Value ImportPlace::sheetContextInfo(int returnCode) {
    if (returnCode == OKCode && download_ && !download_->error) {
        if (download_->poisWithURL > 0) rememberedWithURL() = poisWithURLBox_->isChecked();
        if (download_->poisWithoutURL > 0) rememberedWithoutURL() = poisWithoutURLBox_->isChecked();
    }
    return KLSheet::sheetContextInfo(returnCode);
}

PlaceImport::Choice ImportPlace::choice() const {
    PlaceImport::Choice choice;
    if (!download_) return choice;
    choice.details = download_->details;
    choice.mapInfo = download_->mapInfo;
    choice.pois = download_->pois;
    choice.name = placeFld_->currentText().toStdString();
    choice.includeWithURL = download_->poisWithURL > 0 && poisWithURLBox_->isChecked();
    choice.includeWithoutURL = download_->poisWithoutURL > 0 && poisWithoutURLBox_->isChecked();
    return choice;
}

}  // namespace kl
