#include "places/ui/SearchPlace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "foundation/MainThread.h"
#include "places/PlaceAdvisor.h"

namespace kl {

SearchPlace::SearchPlace(const std::string& code, std::string requestBase, QWidget* parent)
    : KLSheet("SearchPlaceDialog", parent),
      requestBase_(std::move(requestBase)),
      continueThread_(std::make_shared<std::atomic<bool>>(false)) {
    auto place = PlaceAdvisor::placeLevels(code);
    placeName_ = std::move(place.placeName);
    levels_ = std::move(place.levels);
    setWindowTitle(tr("Search for Place"));
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    findString_ = new QLineEdit(this);
    wholeLevel_ = new QRadioButton(tr("Match whole place levels"), this);
    contained_ = new QRadioButton(tr("Contained in place name"), this);
    caseSensitiveBox_ = new QCheckBox(tr("Case sensitive"), this);
    inCountry_ = new QRadioButton(tr("In the country"), this);
    inBox_ = new QRadioButton(tr("In the bounding box of the current place"), this);
    auto* levelsGroup = new QButtonGroup(this);
    levelsGroup->addButton(wholeLevel_);
    levelsGroup->addButton(contained_);
    auto* whereGroup = new QButtonGroup(this);
    whereGroup->addButton(inCountry_);
    whereGroup->addButton(inBox_);
    downloadLabel_ = new QLabel(this);
    downloadLabel_->hide();
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 0);
    progress_->hide();
    auto* buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SearchPlace::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &SearchPlace::cancelClick);

    auto* grid = new QGridLayout;
    grid->addWidget(wholeLevel_, 0, 0);
    grid->addWidget(contained_, 0, 1);
    grid->addWidget(inCountry_, 1, 0);
    grid->addWidget(inBox_, 1, 1);
    grid->addWidget(caseSensitiveBox_, 2, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(findString_);
    layout->addLayout(grid);
    layout->addWidget(downloadLabel_);
    layout->addWidget(progress_);
    layout->addWidget(buttons);
    windowDidLoad();
}

SearchPlace::~SearchPlace() { *continueThread_ = false; }

PlaceSearch::Settings& SearchPlace::settings() {
    static PlaceSearch::Settings remembered;
    return remembered;
}

void SearchPlace::setTheString(const std::string& text) { settings().text = text; }

void SearchPlace::windowDidLoad() {
    const PlaceSearch::Settings& remembered = settings();
    (remembered.wholeLevels ? wholeLevel_ : contained_)->setChecked(true);
    caseSensitiveBox_->setChecked(remembered.caseSensitive);
    (remembered.inBoundingBox ? inBox_ : inCountry_)->setChecked(true);
    connect(inBox_, &QRadioButton::toggled, this, [this] { updateTitle(); });
    updateTitle();
    findString_->setText(QString::fromStdString(remembered.text));
    connect(findString_, &QLineEdit::textChanged, this,
            [this](const QString& text) { okButton_->setEnabled(!text.isEmpty()); });
    okButton_->setEnabled(!findString_->text().isEmpty());
}

std::string SearchPlace::country() const {
    LibraryFolder* library = AppController::sharedLibrary();
    const auto name = library && !levels_.empty() ? library->countryForCode(levels_[0]) : std::nullopt;
    return name.value_or(levels_.empty() ? std::string() : levels_[0]);
}

void SearchPlace::updateTitle() {
    label_->setText(inBox_->isChecked()
                        ? tr("Search for place within the bounding box for '%1'").arg(QString::fromStdString(placeName_))
                        : tr("Search for place within the country '%1'").arg(QString::fromStdString(country())));
}

void SearchPlace::okClick() {
    *continueThread_ = false;
    continueThread_ = std::make_shared<std::atomic<bool>>(true);
    downloadLabel_->setText(tr("Searching..."));
    downloadLabel_->show();
    progress_->show();
    PlaceSearch::Settings& chosen = settings();
    chosen.text = findString_->text().toStdString();
    chosen.wholeLevels = wholeLevel_->isChecked();
    chosen.caseSensitive = caseSensitiveBox_->isChecked();
    chosen.inBoundingBox = inBox_->isChecked();
    QPointer<SearchPlace> sheet(this);
    QThread* worker =
        QThread::create([sheet, base = requestBase_, levels = levels_, settings = chosen, running = continueThread_] {
            auto result = PlaceSearch::findPlaces(base, levels, settings, *running);
            if (!result || !*running) return;
            Dispatcher::current().post([sheet, result = std::move(*result)]() mutable {
                if (!sheet) return;
                if (result.kind == PlaceSearch::Result::NotFound) sheet->searchNotFound();
                else sheet->searchIsDone(std::move(result));
            });
        });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    okButton_->setEnabled(false);
}

void SearchPlace::searchIsDone(PlaceSearch::Result result) {
    searchResults_ = std::move(result);
    downloadLabel_->hide();
    progress_->hide();
    KLSheet::okClick();
}

void SearchPlace::searchNotFound() {
    searchResults_.reset();
    downloadLabel_->setText(tr("No places found"));
    progress_->hide();
    okButton_->setEnabled(!findString_->text().isEmpty());
}

void SearchPlace::cancelClick() {
    *continueThread_ = false;
    KLSheet::cancelClick();
}

std::string SearchPlace::queryText() const {
    return PlaceSearch::queryText(settings(), country(), placeName_, searchResults_ ? searchResults_->names.size() : 0);
}

}  // namespace kl
