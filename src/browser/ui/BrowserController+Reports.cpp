// A record window's stored report written to a file, the outside searches
// for what the window shows, and the reports started on its record. The
// relatives and place reports run through the document's index window,
// which stores and opens what they make.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/Localized.h"
#include "browser/ReportExport.h"
#include "browser/ui/BrowserController.h"
#include "cells/EditValueCell.h"
#include "charts/ui/ReportsMenu.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"
#include "document/ui/DocumentMenus.h"
#include "model/PlaceRecord.h"
#include "model/ReportRecord.h"
#include "places/PlaceEventsReport.h"

namespace kl {

namespace {
std::string local(const char* key) { return localized(key).toStdString(); }
}  // namespace

void BrowserController::addReportsMenu() {
    reportsMenu_ = menuBar()->addMenu(tr("Re&ports"));
    struct Item {
        const char* title;
        int tag;
        void (BrowserController::*command)();
    };
    const Item items[] = {
        {"Ahnentafel Report...", kAhnentafelReportTag, &BrowserController::ahnentafelReport},
        {"All Relatives Report...", kAllRelativesReportTag, &BrowserController::allRelativesReport},
        {"Place Events Report", kPlaceEventsReportTag, &BrowserController::placeEventsReport},
    };
    for (const Item& item : items) {
        QAction* action = reportsMenu_->addAction(localized(item.title));
        action->setData(item.tag);
        connect(action, &QAction::triggered, this, item.command);
    }
    connect(reportsMenu_, &QMenu::aboutToShow, this, [this] { validateMenu(*reportsMenu_); });
    // The document's search items look at the focused field first.
    for (int tag : {int(kWebSearchTag), int(kMapSearchTag)}) {
        QAction* item = documentMenus_ ? documentMenus_->action(tag) : nullptr;
        if (!item) continue;
        disconnect(item, &QAction::triggered, documentMenus_, nullptr);
        connect(item, &QAction::triggered, this, [this, tag] { tryGoogleSearch(tag); });
    }
}

// ---- exporting a stored report

void BrowserController::exportReportAsHTML() {
    auto report = std::dynamic_pointer_cast<ReportRecord>(record_);
    if (!report) {
        beep();
        return;
    }
    const ReportExport::SavePanel panel = ReportExport::savePanelFor(*report);
    auto* dialog = new QFileDialog(this, localized(panel.message.c_str()));
    dialog->setObjectName("ExportReportPanel");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList patterns;
    for (const auto& type : panel.fileTypes) patterns << "*." + QString::fromStdString(type);
    dialog->setNameFilter(patterns.join(' '));
    dialog->setDefaultSuffix(QString::fromStdString(panel.fileTypes.front()));
    dialog->selectFile(QString::fromStdString(report->viewName() + "." + panel.fileTypes.front()));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this, types = panel.fileTypes](const QString& file) {
        exportReportHTMLDidEnd(ReportExport::withFileType(file.toStdString(), types));
    });
    dialog->open();
}

void BrowserController::exportReportHTMLDidEnd(const std::string& file) {
    auto report = std::dynamic_pointer_cast<ReportRecord>(record_);
    if (!report || file.empty()) return;
    const auto result = ReportExport::exportReport(*report, file);
    switch (result.outcome) {
    case ReportExport::Result::Written: return;
    case ReportExport::Result::ReplaceFailed:
        AppAlerts::criticalAlert(local(ReportExport::kReplaceFailed),
                                 local(ReportExport::kReplaceFailedInfo), this);
        return;
    case ReportExport::Result::NoContent:
        AppAlerts::criticalAlert(local(ReportExport::kNoContent), std::nullopt, this);
        return;
    case ReportExport::Result::WriteFailed:
        AppAlerts::criticalAlert(local(ReportExport::kWriteFailed), result.error, this);
        return;
    }
}

// ---- outside searches

std::string BrowserController::selectedText() {
    QWidget* focus = QApplication::focusWidget();
    QString text;
    if (focus && focus->window() == this) {
        if (auto* box = qobject_cast<QComboBox*>(focus); box && box->lineEdit()) focus = box->lineEdit();
        if (auto* line = qobject_cast<QLineEdit*>(focus)) text = line->selectedText();
        else if (auto* edit = qobject_cast<QTextEdit*>(focus)) text = edit->textCursor().selectedText();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) text = plain->textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, '\n');
    }
    if (!text.isEmpty()) return text.toStdString();
    if (auto* value = dynamic_cast<EditValueCell*>(focusedCell())) return value->fieldText();
    return {};
}

void BrowserController::tryGoogleSearch(int tag) {
    std::string words = selectedText();
    if (words.empty())
        if (const auto record = selectedRecord()) {
            if (tag == kMapSearchTag) words = record->firstPlace().value_or(std::string());
            if (words.empty()) words = record->googleWords();
        }
    if (words.empty()) {
        beep();
        return;
    }
    AppController::launchGoogleSearch(words, tag);
}

// ---- reports on the record

namespace {

// The relatives report's options sheet opens over the record window; the
// index window's reports store and open what it makes.
void relativesReport(BrowserController& browser, int tag, const std::shared_ptr<GEDCOMRecord>& person) {
    ReportsMenu* reports = ReportsMenu::forDocument(browser.document());
    if (!reports || !person || !person->isType("INDI") || !ReportsMenu::hasRelativesReport(tag)) {
        browser.beep();
        return;
    }
    reports->relativesReport(tag, person, browser);
}

}  // namespace

void BrowserController::ahnentafelReport() { relativesReport(*this, ReportsMenu::AhnentafelTag, record_); }

void BrowserController::allRelativesReport() { relativesReport(*this, ReportsMenu::AllRelativesTag, selectedRecord()); }

void BrowserController::placeEventsReport() {
    ReportsMenu* reports = ReportsMenu::forDocument(doc_);
    auto place = std::dynamic_pointer_cast<PlaceRecord>(selectedRecord());
    if (!reports || !place) {
        beep();
        return;
    }
    auto report = std::make_shared<PlaceEventsReport>(doc_, *reports);
    report->setRecord(place);
    report->beginReport();
}

}  // namespace kl
