#include "document/ui/DocumentMenus.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#ifdef KL_HAVE_SPEECH
#include <QTextToSpeech>
#endif

#include "app/AppController.h"
#include "app/NewFileSettings.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/MultimediaOptions.h"
#include "app/ui/NewFileOptions.h"
#include "app/ui/PageLayoutSheet.h"
#include "app/ui/TempolinClient.h"
#include "document/GEDCOMDocument.h"
#include "document/ui/FamilySearchTermsSheet.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "model/HEADRecord.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

struct TempolinProgram {
    QString program = TempolinClient::defaultProgram();
    int startMilliseconds = 10000;
};

TempolinProgram& tempolinProgram() {
    static TempolinProgram program;
    return program;
}

}  // namespace

void DocumentMenus::setTempolinProgram(const QString& program, int startMilliseconds) {
    tempolinProgram() = {program, startMilliseconds};
}

DocumentMenus::DocumentMenus(QMainWindow& window, GEDCOMDocument& doc, UserDefaults& defaults, Window hooks)
    : QObject(&window), window_(window), doc_(doc), hooks_(std::move(hooks)),
      commands_(doc.gedcomModel(), doc.undo(), *this) {
    commands_.setGenealogySearchAddress(defaults.stringForKey(kGenealogySearchKey).value_or(std::string()));
    commands_.setTempolinDownloadAddress(defaults.stringForKey(kTempolinDownloadKey).value_or(std::string()));
}

DocumentMenus* DocumentMenus::addDocumentMenus(QMainWindow& window, GEDCOMDocument& doc, UserDefaults& defaults,
                                               QMenu* edit, QMenu* records, Window hooks) {
    auto* menus = new DocumentMenus(window, doc, defaults, std::move(hooks));
    if (edit) {
        edit->addSeparator();
        menus->addItem(edit, tr("Copy Special"), kCopySpecialTag);
        connect(edit, &QMenu::aboutToShow, menus, [menus, edit] { menus->validateMenu(edit); });
    }
    if (!records) {
        records = new QMenu(tr("&Records"), &window);
        window.menuBar()->addMenu(records);
    }
    records->addSeparator();
    QMenu* made = records->addMenu(tr("New"));
    menus->newMenu_ = made;
    struct Item {
        const char* title;
        int tag;
    };
    const Item newItems[] = {
        {"Individual (Male)", kNewMaleTag}, {"Individual (Female)", kNewFemaleTag}, {"Family...", kNewFamilySheetTag},
        {"Family with Spouses", kNewFamilyWithSpousesTag}, {"Family with Children", kNewFamilyWithChildrenTag},
        {nullptr, 0}, {"Place", 4104}, {"Source", 4105}, {"Multimedia", kNewMultimediaTag}, {"Repository", 4107},
        {"Submitter", 4108}, {"Submission", kNewSubmissionTag}, {"Note", 4110}, {"Research Log", 4112},
        {"Book Style", kNewBookTag}, {"Report", 4114},
    };
    for (const Item& item : newItems) {
        if (!item.title)
            made->addSeparator();
        else
            menus->addItem(made, tr(item.title), item.tag);
    }
    connect(made, &QMenu::aboutToShow, menus, [menus, made] { menus->validateMenu(made); });

    menus->homeMenu_ = records->addMenu(tr("Home Records"));
    connect(menus->homeMenu_, &QMenu::aboutToShow, menus, &DocumentMenus::fillHomeMenu);
    menus->fillHomeMenu();

    records->addSeparator();
    menus->addItem(records, tr("Read to Me"), kReadToMeTag);
    menus->tempolin_ = records->addAction(tr("Send Date to Tempolin"), menus, [menus] {
        menus->commands_.openTempolin();
    });
    records->addAction(tr("Multimedia Options..."), menus, [menus] { menus->showMultimediaOptions(); });
    records->addSeparator();
    menus->addItem(records, tr("Search the Web"), kWebSearchTag);
    menus->addItem(records, tr("Search Map"), kMapSearchTag);
    menus->genealogy_ = records->addAction(tr("Search Genealogy Records..."), menus, [menus] {
        menus->commands_.tryFamilySearch();
    });
    connect(records, &QMenu::aboutToShow, menus, [menus, records] { menus->validateMenu(records); });
    return menus;
}

QAction* DocumentMenus::addItem(QMenu* menu, const QString& title, int tag) {
    QAction* item = menu->addAction(title);
    item->setData(tag);
    connect(item, &QAction::triggered, this, [this, tag] { performCommand(tag); });
    actions_.push_back(item);
    return item;
}

QAction* DocumentMenus::action(int tag) const {
    for (QAction* item : actions_)
        if (item->data().toInt() == tag) return item;
    return nullptr;
}

void DocumentMenus::validateMenu(QMenu* menu) {
    for (QAction* item : menu->actions()) {
        if (std::find(actions_.begin(), actions_.end(), item) == actions_.end()) continue;
        const auto answer = validateMenuTag(item->data().toInt());
        if (!answer) continue;
        item->setEnabled(answer->enabled);
        if (answer->title) item->setText(tr(answer->title->c_str()));
    }
}

void DocumentMenus::fillHomeMenu() {
    for (QAction* item : homeMenu_->actions()) {
        actions_.erase(std::remove(actions_.begin(), actions_.end(), item), actions_.end());
        homeMenu_->removeAction(item);
        item->deleteLater();
    }
    const auto header = std::dynamic_pointer_cast<HEADRecord>(doc_.gedcomModel().header());
    const std::vector<std::string> titles =
        header ? header->homeRecordsMenuTitles() : std::vector<std::string>(1, HEADRecord::kNoHomeRecord);
    for (std::size_t n = 0; n < titles.size(); ++n) addItem(homeMenu_, qt(titles[n]), kHomeRecordTag + static_cast<int>(n));
}

bool DocumentMenus::performCommand(int tag) {
    // The toolbar's save item is the document's too.
    if (tag == 1004) {
        if (DocController* controller = DocController::sharedDocumentController()) controller->saveDocument(doc_);
        return true;
    }
    return commands_.performCommand(tag);
}

std::optional<DocumentMenuAnswer> DocumentMenus::validateMenuTag(int tag) {
    // The merge, relationship and tree items are validated by the
    // document though other windows run them.
    const bool validated = tag == kMergeTwoFilesTag || tag == kFindRelationshipTag || tag == kAncestorsTag ||
                           tag == kDescendantsTag;
    if (!validated && !DocumentCommands::handlesTag(tag)) return std::nullopt;
    const DocController* controller = DocController::sharedDocumentController();
    return DocumentCommands::validateMenuTag(tag, commands_.facts(controller ? controller->documents().size() : 1));
}

PageLayoutSheet* DocumentMenus::runPageLayout(int context) {
    return PageLayoutSheet::runPageLayout(doc_, &window_, context);
}

MultimediaOptions* DocumentMenus::showMultimediaOptions() {
    MultimediaOptions* options = MultimediaOptions::forDocument(doc_);
    if (!options) options = new MultimediaOptions(doc_, &window_);
    if (const auto file = doc_.fileURL())
        options->setWindowTitle(tr("%1 Multimedia Options").arg(qt(file->stem().string())));
    options->showWindow();
    return options;
}

MultimediaOptions* DocumentMenus::noShowMultimediaOptions() {
    if (MultimediaOptions* options = MultimediaOptions::forDocument(doc_)) {
        options->cancelUpdates();
        options->close();
        return options;
    }
    return new MultimediaOptions(doc_, &window_);
}

// ---- DocumentCommandsHost

DocumentMenus::RecordPtr DocumentMenus::keyWindowRecord() { return hooks_.keyRecord ? hooks_.keyRecord() : nullptr; }

std::vector<DocumentMenus::RecordPtr> DocumentMenus::keyWindowRecords() {
    return hooks_.keyRecords ? hooks_.keyRecords() : std::vector<RecordPtr>();
}

void DocumentMenus::selectRecord(const RecordPtr& record) {
    if (hooks_.select) hooks_.select(record);
}

void DocumentMenus::openRecordLater(const RecordPtr& record, bool linkFile) {
    if (!hooks_.open) return;
    QMetaObject::invokeMethod(
        this, [this, weak = std::weak_ptr<GEDCOMRecord>(record), linkFile] {
            if (const auto alive = weak.lock()) hooks_.open(alive, linkFile);
        },
        Qt::QueuedConnection);
}

void DocumentMenus::beep() {
    if (hooks_.beep)
        hooks_.beep();
    else
        QApplication::beep();
}

void DocumentMenus::informationalAlert(const std::string& message, const std::string& information) {
    AppAlerts::infoAlert(message, information, &window_);
}

void DocumentMenus::criticalAlert(const std::string& message, const std::string& information) {
    AppAlerts::criticalAlert(message, information, &window_);
}

void DocumentMenus::askQuestion(const std::string& message, const std::string& information,
                                const std::vector<std::string>& buttons, bool critical, Answer answer) {
    const auto at = [&](std::size_t i) -> AppAlerts::Title {
        return i < buttons.size() ? AppAlerts::Title(buttons[i]) : std::nullopt;
    };
    AppAlerts::beginAlertSheet(&window_, critical ? AlertButtons::Critical : AlertButtons::Informational, message, information,
                               AlertButtons(at(0), at(1), at(2)),
                               [answer = std::move(answer)](int response) { answer(response - 1000); });
}

void DocumentMenus::showNewFamilySheet(std::function<void(int, const Array&)> ended) {
    auto* sheet = new NewFileOptions(&doc_, NewFileSettings::NewFamily, &window_);
    sheet->startSheet(&window_, [ended = std::move(ended)](KLSheet& done, const Value& code) {
        const Array settings = static_cast<NewFileOptions&>(done).fileSettings();
        done.deleteLater();
        ended(static_cast<int>(code.toInteger(KLSheet::CancelCode)), settings);
    });
}

void DocumentMenus::showSearchTermsSheet(const Terms& terms, std::function<void(int, const Terms&)> ended) {
    auto* sheet = new FamilySearchTermsSheet(terms, &window_);
    sheet->startSheet(&window_, [ended = std::move(ended)](KLSheet& done, const Value& code) {
        const Terms entered = static_cast<FamilySearchTermsSheet&>(done).terms();
        done.deleteLater();
        ended(static_cast<int>(code.toInteger(KLSheet::CancelCode)), entered);
    });
}

void DocumentMenus::setClipboardText(const std::string& text) { QApplication::clipboard()->setText(qt(text)); }

void DocumentMenus::speak(const std::string& text, double minVolume, const std::string& title) {
    Logger::log(title);
#ifdef KL_HAVE_SPEECH
    auto* speech = qobject_cast<QTextToSpeech*>(speech_);
    if (!speech) speech_ = speech = new QTextToSpeech(this);
    if (speech->state() == QTextToSpeech::Error) {
        beep();
        return;
    }
    if (speech->volume() < minVolume) speech->setVolume(minVolume);
    speech->say(qt(text));
#else
    (void)text;
    (void)minVolume;
    beep();
#endif
}

bool DocumentMenus::sendDateToTempolin(const std::string& date) {
    const TempolinProgram& program = tempolinProgram();
    return TempolinClient::enterDateText(qt(date), program.program, program.startMilliseconds);
}

void DocumentMenus::openAddress(const std::string& address) { AppController::openAddress(address); }

void DocumentMenus::launchSearch(const std::string& words, int tag) { AppController::launchGoogleSearch(words, tag); }

}  // namespace kl
