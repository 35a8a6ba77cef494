#include "charts/ui/ReportsMenu.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"
#include "app/ui/ProgressController.h"
#include "charts/AhnentafelReport.h"
#include "charts/AllRelativesReport.h"
#include "charts/FamilyTreeReport.h"
#include "charts/GenRelativesReport.h"
#include "charts/ReportController.h"
#include "charts/ui/ReportSheets.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/ui/IndexWindow.h"
#include "model/LibraryServices.h"
#include "model/ReportRecord.h"

namespace kl {

namespace {
std::string local(const char* key) { return LibraryServices::current()->localString(key); }

const char* kindOfTag(int tag) {
    switch (tag) {
    case ReportsMenu::AhnentafelTag: return RelativesReportRegistry::kAhnentafel;
    case ReportsMenu::AllRelativesTag: return RelativesReportRegistry::kAllRelatives;
    default: return RelativesReportRegistry::kFamilyTree;
    }
}
}  // namespace

void ReportsMenu::registerRelativesReports() {
    AhnentafelReport::registerReport();
    AllRelativesReport::registerReport();
    FamilyTreeReport::registerReport();
}

bool ReportsMenu::hasRelativesReport(int tag) { return static_cast<bool>(RelativesReportRegistry::maker(kindOfTag(tag))); }

void ReportProgressUI::runProgress(KLProgress& task, const std::string& title, const std::string& label,
                                   double interval) {
    auto panel = ProgressController::panelFor(task, title, label, window());
    // The panel starts spinning when it shows; each poll sets the report's mode.
    if (auto* report = dynamic_cast<ReportController*>(&task))
        panel->setPollHook([indeterminate = report->isIndeterminate()](ProgressController& shown) {
            if (shown.isIndeterminate() != indeterminate) shown.setIndeterminate(indeterminate);
        });
    panel->runModalProgress(interval);
    panel->close();
    ProgressController::waitWhileRunning(task);
}

void ReportsMenu::addToIndexWindows(DocController& controller) {
    registerRelativesReports();
    IndexWindow::setValidateStarter([](IndexWindow& window) {
        if (ReportsMenu* reports = of(window)) reports->validateGEDCOMData();
    });
    DocController::WindowFactory made = controller.windowFactory();
    if (!made) return;
    controller.setWindowFactory([made](GEDCOMDocument& document, DocController& documents) {
        std::unique_ptr<QMainWindow> window = made(document, documents);
        if (auto* index = dynamic_cast<IndexWindow*>(window.get())) addReportsMenu(*index);
        return window;
    });
}

ReportsMenu* ReportsMenu::addReportsMenu(IndexWindow& window) { return new ReportsMenu(window); }

ReportsMenu* ReportsMenu::of(IndexWindow& window) {
    return window.findChild<ReportsMenu*>(QString(), Qt::FindDirectChildrenOnly);
}

ReportsMenu* ReportsMenu::forDocument(const GEDCOMDocument& document) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* index = qobject_cast<IndexWindow*>(widget); index && &index->document() == &document)
            return of(*index);
    return nullptr;
}

ReportsMenu::ReportsMenu(IndexWindow& window)
    : QObject(&window), window_(window), ui_(&window), commands_(window.document(), *this) {
    menu_ = window.menuBar()->addMenu(tr("Re&ports"));
    struct Item {
        const char* title;
        int tag;
    };
    const Item items[] = {
        {"Validate GEDCOM...", ValidateTag},     {"Check Dates...", CheckDatesTag},
        {"Multimedia Summary", MultimediaTag},   {"File Information", FileInformationTag},
        {"Validate HTML Links", HTMLLinksTag},   {nullptr, 0},
        {"Ahnentafel Report...", AhnentafelTag}, {"All Relatives Report...", AllRelativesTag},
    };
    for (const Item& item : items) {
        if (!item.title) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(tr(item.title));
        action->setData(item.tag);
        connect(action, &QAction::triggered, this, [this, tag = item.tag] { perform(tag); });
        actions_.push_back(action);
    }
    connect(menu_, &QMenu::aboutToShow, this, &ReportsMenu::validateMenu);
    validateMenu();
}

QAction* ReportsMenu::action(int tag) const {
    for (QAction* action : actions_)
        if (action->data().toInt() == tag) return action;
    return nullptr;
}

KLSheet* ReportsMenu::openSheet() const { return qobject_cast<KLSheet*>(sheet_); }

void ReportsMenu::validateMenu() {
    const bool hasSubject = window_.controller().selectedRecord() != nullptr;
    action(AhnentafelTag)
        ->setEnabled(hasSubject && RelativesReportRegistry::maker(RelativesReportRegistry::kAhnentafel));
    action(AllRelativesTag)
        ->setEnabled(hasSubject && RelativesReportRegistry::maker(RelativesReportRegistry::kAllRelatives));
}

void ReportsMenu::perform(int tag) {
    switch (tag) {
        case ValidateTag:
            validateGEDCOMData();
            break;
        case CheckDatesTag:
            checkFileDates();
            break;
        case MultimediaTag:
            commands_.multimediaReport();
            break;
        case FileInformationTag:
            commands_.fileInformationReport();
            break;
        case HTMLLinksTag:
            commands_.htmlLinksReport();
            break;
        case AhnentafelTag:
        case AllRelativesTag:
            relativesReport(tag);
            break;
        default:
            break;
    }
}

void ReportsMenu::validateGEDCOMData() {
    auto* sheet = new ValidateOptions(window_.document(), &window_);
    sheet_ = sheet;
    sheet->startSheet(&window_, [self = QPointer<ReportsMenu>(this)](KLSheet& ended, const Value& options) {
        ended.deleteLater();
        if (self) self->commands_.validateRecords(options);
    });
}

void ReportsMenu::checkFileDates() {
    auto* sheet = new CheckDatesOptions(window_.document(), &window_);
    sheet_ = sheet;
    sheet->startSheet(&window_, [self = QPointer<ReportsMenu>(this)](KLSheet& ended, const Value& options) {
        ended.deleteLater();
        if (self) self->commands_.checkFileDates(options);
    });
}

void ReportsMenu::relativesReport(int tag) {
    if (const auto subject = window_.controller().selectedRecord()) relativesReport(tag, subject, window_);
}

void ReportsMenu::relativesReport(int tag, std::shared_ptr<Object> subject, QWidget& window, bool descendants) {
    if (!subject || !hasRelativesReport(tag)) return;
    auto* sheet = new RelativesReportOptions("RelativesOptionsDialog", subject, &window);
    switch (tag) {
    case AhnentafelTag: sheet->setReportTitle("Ahnentafel Ancestors Report Options"); break;
    case AllRelativesTag:
        sheet->setReportTitle("All Relatives Report Options");
        sheet->setMiniMessage(local("cousin depth message"));
        break;
    default:
        sheet->setReportTitle(descendants ? "Descendants Family Tree Report Options"
                                          : "Ancestors Family Tree Report Options");
        sheet->setMiniMessage(local("But, limited to individuals currently displayed in this tree."));
        break;
    }
    sheet_ = sheet;
    sheet->startSheet(&window, [self = QPointer<ReportsMenu>(this), tag](KLSheet& ended, const Value& options) {
        ended.deleteLater();
        if (self) self->commands_.relativesReport(kindOfTag(tag), options);
    });
}

// ---- ReportHost

std::string ReportsMenu::displayName() {
    QString name = window_.windowTitle();
    name.remove("[*]");
    return name.trimmed().toStdString();
}

std::vector<ReportHost::RecordPtr> ReportsMenu::selectedRecords() { return window_.controller().selectedRecords(); }

void ReportsMenu::alert(const std::string& message, const std::string& information) {
    AppAlerts::criticalAlert(local(message.c_str()), local(information.c_str()), &window_);
}

void ReportsMenu::addOpenReport(const std::string& body, const std::string& title) {
    if (auto record = ReportCommands::addReport(window_.document().gedcomModel(), body, local(title.c_str())))
        window_.documentWindows().openRecordBrowser(record);
}

}  // namespace kl
