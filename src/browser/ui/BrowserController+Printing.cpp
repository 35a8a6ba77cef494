// Printing a record: a hidden copy of the browser, as wide as the printable
// page, builds the pane so the templates lay it out for paper, and that
// copy's editing background is printed page by page.
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <cmath>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/PageLayoutSheet.h"
#include "app/ui/WindowFileMenu.h"
#include "browser/ReportExport.h"
#include "browser/ui/BrowserController.h"
#include "browser/ui/ChildBrowserController.h"
#include "browser/ui/EditBackgroundWidget.h"
#include "document/GEDCOMDocument.h"
#include "model/GEDCOMRecord.h"
#include "model/ReportRecord.h"

namespace kl {

namespace {

BrowserController::PrintPanel& printPanel() {
    static BrowserController::PrintPanel panel;
    return panel;
}

bool runPrintPanel(QPrinter& printer, QWidget* window) {
    if (printPanel()) return printPanel()(printer, window);
    QPrintDialog dialog(&printer, window);
    return dialog.exec() == QDialog::Accepted;
}

constexpr int kPrintResolution = 300;

const char* const kMarginKeys[] = {"LeftMargin", "RightMargin", "BottomMargin", "TopMargin"};

double number(const Dictionary& info, const char* key) {
    const Value* value = info.get(key);
    return value && value->isNumber() ? value->toReal(0) : 0;
}

// The job settings a script may give: a job saved to a file goes there
// as PDF.
void applyJobSettings(QPrinter& printer, const Dictionary& info) {
    const Value* disposition = info.get("NSJobDisposition");
    const Value* target = info.get("NSJobSavingURL");
    if (!disposition || disposition->toString() != "NSPrintSaveJob" || !target || !target->string()) return;
    const QString text = QString::fromStdString(*target->string());
    const QUrl url(text);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(url.isLocalFile() ? url.toLocalFile() : text);
}

}  // namespace

void BrowserController::setPrintPanel(PrintPanel panel) { printPanel() = std::move(panel); }

void BrowserController::addFileMenu() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("Page Setup..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this,
                    [this] { PageLayoutSheet::runPageLayout(doc_, this, 1); });
    file->addAction(tr("Print..."), QKeySequence::Print, this, [this] { printWithDialog(true); });
    file->addSeparator();
    QAction* exportReport = file->addAction(tr("Report to HTML File"), this, [this] { exportReportAsHTML(); });
    exportReport->setData(kExportReportTag);
    connect(file, &QMenu::aboutToShow, this, [this, file] { validateMenu(*file); });
    file->addSeparator();
    WindowFileMenu::addCloseAndQuit(*file, *this);
}

BrowserController* BrowserController::printWithDialog(bool showPanel, const std::optional<Dictionary>& settings) {
    if (!record_ || isPrinting_ || endActiveCell(0) == EditRefused) return nullptr;
    doc_.setPrintingStatusFlag(true);
    if (ReportExport::printsAsPage(record_.get())) {
        printReport(showPanel, settings.value_or(Dictionary{}));
        return nullptr;
    }
    Dictionary info = doc_.browserInfo();
    Dictionary before = info;
    const int scrollerWidth = scroller_->verticalScrollBar()->sizeHint().width();
    // The pane's own margins fill the difference.
    Dictionary reduction;
    if (LibraryFolder* library = AppController::sharedLibrary()) {
        const EditingPrefs& prefs = library->editingPrefs();
        reduction = Dictionary{{"LeftMargin", prefs.leftSkip()},
                               {"RightMargin", prefs.rightSkip()},
                               {"BottomMargin", prefs.bottomMargin()},
                               {"TopMargin", prefs.topMargin()}};
    }
    for (const char* key : kMarginKeys) info.set(key, number(info, key) - number(reduction, key));
    if (settings)
        for (std::size_t i = 0; i < settings->size(); ++i) info.set(settings->keyAt(i), settings->valueAt(i));
    doc_.setBrowserInfo(info);

    const QSizeF paper = PageLayoutSheet::pageLayout(info).fullRect(QPageLayout::Point).size();
    const int width = int(std::lround(paper.width() + scrollerWidth - number(info, "LeftMargin") -
                                      number(info, "RightMargin")));
    const int height = int(std::lround(paper.height() - number(info, "TopMargin") - number(info, "BottomMargin")));
    // A child window's copy lays out the same group under the same parent.
    BrowserController* copy = nullptr;
    if (auto* child = dynamic_cast<ChildBrowserController*>(this))
        copy = new ChildBrowserController(doc_, windows_, record_, child->groupRecord(), linkedBrowser_, true);
    else
        copy = new BrowserController(doc_, windows_, record_, nullptr, paneID_, true);
    copy->usePrintDialog_ = showPanel;
    copy->settingsBefore_ = std::move(before);
    // Laid out at the page's size, never on screen.
    copy->setAttribute(Qt::WA_DontShowOnScreen);
    copy->setGeometry(20, 60, std::max(width, 100), std::max(height, 100));
    copy->show();
    return copy;
}

void BrowserController::printHidden() {
    const Dictionary& info = doc_.browserInfo();
    QPrinter printer(QPrinter::HighResolution);
    // At the printer's full resolution a page of the pane took many
    // seconds to paint; 300 dpi prints sharply in a fraction of that.
    printer.setResolution(kPrintResolution);
    printer.setPageLayout(PageLayoutSheet::pageLayout(info));
    printer.setFullPage(false);
    applyJobSettings(printer, info);
    if (!usePrintDialog_ || runPrintPanel(printer, nullptr)) {
        QPainter painter;
        if (painter.begin(&printer)) {
            const QRectF page = printer.pageRect(QPrinter::DevicePixel);
            const double points = printer.pageRect(QPrinter::Point).width();
            const double scale = points > 0 ? page.width() / points : 1;
            const int pageHeight = std::max(1, int(std::floor(printer.pageRect(QPrinter::Point).height())));
            const int paneWidth = backgroundWidget_->width();
            const int paneHeight = std::max(1, backgroundWidget_->height());
            for (int top = 0; top < paneHeight; top += pageHeight) {
                if (top > 0) printer.newPage();
                painter.save();
                painter.scale(scale, scale);
                backgroundWidget_->render(&painter, QPoint(0, 0), QRegion(0, top, paneWidth, pageHeight),
                                          QWidget::DrawChildren);
                painter.restore();
            }
            painter.end();
        }
    }
    doc_.setPrintingStatusFlag(false);
    isPrinting_ = false;
    // The margins come back, and a script's settings were for this job only.
    doc_.setBrowserInfo(std::move(settingsBefore_));
    browserClose();
    deleteLater();
}

// A report kept as a page has no pane laid out for paper: its page is
// printed as it reads, flowing over as many pages as it takes.
void BrowserController::printReport(bool showPanel, const Dictionary& settings) {
    auto report = std::dynamic_pointer_cast<ReportRecord>(record_);
    Dictionary info = doc_.browserInfo();
    for (std::size_t i = 0; i < settings.size(); ++i) info.set(settings.keyAt(i), settings.valueAt(i));
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kPrintResolution);
    printer.setPageLayout(PageLayoutSheet::pageLayout(info));
    applyJobSettings(printer, info);
    if (report && (!showPanel || runPrintPanel(printer, this))) {
        QTextDocument page;
        const QString body = QString::fromStdString(report->body());
        if (report->isHtmlReport()) page.setHtml(body);
        else page.setPlainText(body);
        page.print(&printer);
    }
    doc_.setPrintingStatusFlag(false);
}

}  // namespace kl
