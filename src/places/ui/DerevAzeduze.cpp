#include "places/ui/DerevAzeduze.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSplitter>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

#include <vector>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/WindowCascade.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/IndexWindow.h"
#include "places/AdvisorToolbar.h"
#include "places/PlaceAdvisor.h"
#include "places/ui/ImportPlace.h"
#include "places/ui/PlaceDataTransport.h"
#include "places/ui/PlaceWebView.h"
#include "places/ui/SearchPlace.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "index/DocumentWindows.h"
#include "model/PlaceRecord.h"
#include "places/PlaceImport.h"

namespace kl {

namespace {
QPointer<DerevAzeduze>& theAdvisor() {
    static QPointer<DerevAzeduze> advisor;
    return advisor;
}

// The defaults of the application's advisor commands.
UserDefaults*& commandDefaults() {
    static UserDefaults* defaults = nullptr;
    return defaults;
}

UserDefaults& advisorDefaults() { return commandDefaults() ? *commandDefaults() : UserDefaults::standard(); }

std::string userName() {
    const QByteArray name = qgetenv("USER");
    return name.isEmpty() ? std::string(qgetenv("LOGNAME").constData()) : std::string(name.constData());
}

std::vector<GEDCOMDocument*> openDocuments() {
    DocController* documents = DocController::sharedDocumentController();
    return documents ? documents->documents() : std::vector<GEDCOMDocument*>{};
}

IndexWindow* indexWindowOf(GEDCOMDocument* document) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<IndexWindow*>(widget); window && &window->document() == document) return window;
    return nullptr;
}

void logError(const PlaceDataError& error) {
    Logger::log("Error: {} domain: {} code: {} userInfo: {}", error.description, error.domain, error.code, "{}");
}

bool hasOpenDocuments() {
    DocController* documents = DocController::sharedDocumentController();
    return documents && !documents->documents().empty();
}
}  // namespace

DerevAzeduze* DerevAzeduze::sharedDerevAzeduze(UserDefaults& defaults) {
    if (!theAdvisor()) {
        theAdvisor() = new DerevAzeduze(defaults);
        theAdvisor()->windowDidLoad();
    }
    return theAdvisor();
}

DerevAzeduze* DerevAzeduze::sharedDerevAzeduze() { return sharedDerevAzeduze(advisorDefaults()); }

bool DerevAzeduze::hasDerevAzeduze() { return !theAdvisor().isNull(); }

bool DerevAzeduze::showDerevAzeduze(int tag) {
    if (tag == PlaceAdvisor::ShowAdvisorTag) {
        DerevAzeduze* advisor = sharedDerevAzeduze();
        advisor->show();
        advisor->raise();
        advisor->activateWindow();
        return true;
    }
    if (tag == PlaceAdvisor::OpenInBrowserTag) {
        const std::string address = theAdvisor() ? theAdvisor()->advisorAddress() : std::string();
        AppController::openAddress(address.empty() ? advisorDefaults().stringForKey("Mundora Alias Web Site")
                                                         .value_or(std::string())
                                                   : address);
        return true;
    }
    return false;
}

void DerevAzeduze::install(UserDefaults& defaults) {
    commandDefaults() = &defaults;
    PlaceDataTransport::install();
    IndexWindow::setApplicationCommand(&DerevAzeduze::showDerevAzeduze);
    KinloreApplication::setDerevAzeduzeOpener(&DerevAzeduze::showDerevAzeduze);
}

void DerevAzeduze::uninstall() {
    IndexWindow::setApplicationCommand(nullptr);
    KinloreApplication::setDerevAzeduzeOpener(nullptr);
    commandDefaults() = nullptr;
    if (theAdvisor()) delete theAdvisor().data();
}

DerevAzeduze::DerevAzeduze(UserDefaults& defaults) : defaults_(defaults) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Derev Azeduze"));
    setObjectName(kFrameName);
    resize(900, 700);
    placePanes_ = new QSplitter(Qt::Vertical, this);
    searchResults_ = new QTextEdit(placePanes_);
    searchResults_->setReadOnly(true);
    placePanes_->addWidget(searchResults_);
    setCentralWidget(placePanes_);
}

DerevAzeduze::~DerevAzeduze() {
    if (theAdvisor() == this) theAdvisor() = nullptr;
}

void DerevAzeduze::windowDidLoad() {
    setupToolBar();
    placeWeb_ = new PlaceWebView(placePanes_);
    placePanes_->insertWidget(0, placeWeb_);
    placePanes_->setHandleWidth(1);
    placePanes_->setCollapsible(1, true);
    // The results pane starts collapsed: the web view takes the full height.
    placePanes_->setSizes({height(), 0});
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    searchResults_->setFont(fixed);
    lineHeight_ = 0.75 * QFontMetricsF(fixed).height();
    placeWeb_->setParentAdvisor(this);
    WindowCascade::setWindowFrameAutosaveNameOrCascade(this, kFrameName);
    loadAdvisor();
}

void DerevAzeduze::setupToolBar() {
    toolbar_ = new IndexToolbarWidget(defaults_, this, AdvisorToolbar::items());
    addToolBar(toolbar_);
    toolbar_->setHandler([this](const ToolbarItemSpec& item) { toolbarItemChosen(item); });
    toolbar_->setValidator([this](int tag) { return MenuAnswer{validateMenuTag(tag), std::nullopt}; });
}

void DerevAzeduze::toolbarItemChosen(const ToolbarItemSpec& item) {
    switch (item.tag) {
    case PlaceAdvisor::OpenInBrowserTag: showDerevAzeduze(item.tag); break;
    case PlaceAdvisor::CopyToPlaceTag: copyToPlaceRecord(); break;
    case PlaceAdvisor::SearchTag: searchForPlace(); break;
    default: contextHelpTopic(); break;
    }
}

std::string DerevAzeduze::advisorAddress() const {
    const long long useLocal = defaults_.integerForKey("Use Local Place Data");
    return PlaceAdvisor::advisorAddress(useLocal, defaults_.stringForKey("Mundora Alias Web Site").value_or(""),
                                        useLocal == 0 ? std::string() : localIPAddress(), userName());
}

void DerevAzeduze::loadAdvisor() { placeWeb_->loadDocumentPath(advisorAddress()); }

std::string DerevAzeduze::localIPAddress() {
    std::vector<std::string> addresses;
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        addresses.push_back(address.toString().toStdString());
    std::string why;
    const std::string chosen = PlaceAdvisor::localIPAddress(addresses, &why);
    if (!why.empty()) Logger::log("{}", why);
    return chosen;
}

std::string DerevAzeduze::requestURL() const { return placeWeb_ ? placeWeb_->requestURL() : std::string(); }

bool DerevAzeduze::validateMenuTag(int tag) const {
    return PlaceAdvisor::validateMenuTag(tag, placeWeb_ ? placeWeb_->placeCode() : std::string(), hasOpenDocuments());
}

void DerevAzeduze::pageChanged() {
    if (toolbar_) toolbar_->validateVisibleItems();
}

void DerevAzeduze::copyToPlaceRecord() {
    if (!PlaceAdvisor::isValidPlaceCode(placeWeb_->placeCode())) {
        AppAlerts::criticalAlert("The place code for the current selected place could not be determined",
                                 "Select the place again or select a new place and try again", this);
        return;
    }
    auto* sheet = new ImportPlace(placeWeb_->placeCode(), requestURL(), openDocuments(), this);
    sheet->startSheet(this, [this](KLSheet& ended, const Value& code) {
        copyPlaceNow(static_cast<ImportPlace&>(ended), int(code.toInteger()));
    });
}

void DerevAzeduze::copyPlaceNow(ImportPlace& sheet, int returnCode) {
    sheet.deleteLater();
    if (returnCode != KLSheet::OKCode || !sheet.download()) return;
    if (const auto& error = sheet.download()->error) {
        logError(*error);
        AppAlerts::criticalAlert("Error downloading place information", error->description, this);
        return;
    }
    GEDCOMDocument* document = sheet.chosenDocument();
    if (!document) return;
    UndoManager* undo = document->gedcomModel().undoManager();
    if (undo) undo->beginUndoGrouping();
    auto record = PlaceImport::copyPlaceNow(document->gedcomModel(), sheet.choice());
    if (undo) {
        undo->setActionName("Copy To Place");
        undo->endUndoGrouping();
    }
    if (!record) return;
    QTimer::singleShot(0, this, [document, record] {
        if (std::vector<GEDCOMDocument*> open = openDocuments();
            std::find(open.begin(), open.end(), document) == open.end())
            return;
        if (IndexWindow* window = indexWindowOf(document)) window->documentWindows().openRecordBrowser(record);
    });
}

void DerevAzeduze::searchForPlace() {
    if (!PlaceAdvisor::isValidPlaceCode(placeWeb_->placeCode())) {
        AppAlerts::criticalAlert("The place code for the current selected country could not be determined",
                                 "Select a conutry and try again", this);
        return;
    }
    searchResults_->clear();
    auto* sheet = new SearchPlace(placeWeb_->placeCode(), requestURL(), this);
    sheet->startSheet(this, [this](KLSheet& ended, const Value& code) {
        showFoundPlaces(static_cast<SearchPlace&>(ended), int(code.toInteger()));
    });
}

void DerevAzeduze::showFoundPlaces(SearchPlace& sheet, int returnCode) {
    sheet.deleteLater();
    const int full = placePanes_->height();
    const QList<int> sizes = placePanes_->sizes();
    const int shown = sizes.size() > 1 ? sizes[1] : 0;
    if (returnCode != KLSheet::OKCode || !sheet.searchResults()) {
        if (shown > 0) placePanes_->setSizes({full, 0});
        return;
    }
    const PlaceSearch::Result& result = *sheet.searchResults();
    if (result.kind == PlaceSearch::Result::Failed) {
        logError(result.error);
        AppAlerts::criticalAlert("Error downloading place search results", result.error.description, this);
        return;
    }
    std::string names;
    for (const std::string& name : result.names) names += (names.empty() ? "" : "\n") + name;
    searchResults_->setPlainText(QString::fromStdString(sheet.queryText() + "\n" + names));
    const double wanted = (double(result.names.size()) + 3) * lineHeight_;
    if (wanted > shown) {
        const int divider = std::max(full / 2, full - int(wanted));
        placePanes_->setSizes({divider, full - divider});
    }
}

// The application has no help window yet.
void DerevAzeduze::contextHelpTopic() { QApplication::beep(); }

void DerevAzeduze::closeOnError() {
    if (theAdvisor() == this) theAdvisor() = nullptr;
    close();
}

}  // namespace kl
