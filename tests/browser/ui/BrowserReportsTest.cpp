// What a record window does with its record beyond the pane, as the user
// reaches it: File ▸ "Report to HTML/Text File" through its save panel,
// File ▸ Print... of a stored report, Records ▸ Search the Web / Search
// Map from the focused field or the record, and the Reports menu's
// reports on the shown record; with the save panel's screenshot.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QMenuBar>
#include <QPrinter>

#include <fstream>
#include <iterator>

#include "app/AppController.h"
#include "app/ui/KLSheet.h"
#include "browser/ui/ValueFieldSupport.h"
#include "charts/ReportCommands.h"
#include "charts/ui/ReportSheets.h"
#include "charts/ui/ReportsMenu.h"
#include "document/DocumentCommands.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "model/ReportRecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class RecordReports : public ValueFields {
protected:
    void SetUp() override {
        ValueFields::SetUp();
        ReportsMenu::addToIndexWindows(application->docController());
        AppController::setAddressOpener([this](const std::string& address) { opened.push_back(address); });
    }
    void TearDown() override {
        AppController::setAddressOpener(nullptr);
        BrowserController::setPrintPanel(nullptr);
        ValueFields::TearDown();
    }
    // A stored report in its own record window.
    BrowserController* openReport(const std::string& body, const std::optional<std::string>& font = std::nullopt) {
        index = openSample();
        if (!index) return nullptr;
        auto report = ReportCommands::addReport(doc->gedcomModel(), body, "Census", font, 12);
        index->documentWindows().openRecordBrowser(report);
        BrowserController* shown = nullptr;
        test::processUntil([&] {
            for (BrowserController* browser : browsers(*index))
                if (browser->theRecord() == report && browser->builds() > 0) shown = browser;
            return shown != nullptr;
        });
        settle();
        return shown;
    }
    // The menu bar's item of that tag, its menu validated as it opens.
    static QAction* item(BrowserController& browser, int tag) {
        for (QAction* top : browser.menuBar()->actions()) {
            QMenu* menu = top->menu();
            if (!menu) continue;
            emit menu->aboutToShow();
            for (QAction* action : menu->actions())
                if (!action->menu() && action->data().toInt() == tag) return action;
        }
        return nullptr;
    }
    static std::string readAll(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::vector<BrowserController*> printingCopies() {
        std::vector<BrowserController*> copies;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* copy = qobject_cast<BrowserController*>(top); copy && copy->isPrinting()) copies.push_back(copy);
        return copies;
    }

    std::vector<std::string> opened;
};

TEST_F(RecordReports, ExportWritesTheReportThroughItsSavePanel) {
    BrowserController* browser = openReport("<div><p>Households of <a href='@I1@'>the mill</a></p></div>");
    ASSERT_NE(browser, nullptr);
    QAction* exportItem = item(*browser, BrowserController::kExportReportTag);
    ASSERT_NE(exportItem, nullptr);
    EXPECT_EQ(exportItem->text(), "Report to HTML File");
    ASSERT_TRUE(exportItem->isEnabled());
    exportItem->trigger();
    auto* panel = browser->findChild<QFileDialog*>("ExportReportPanel");
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return panel->isVisible(); }));
    EXPECT_EQ(panel->windowTitle(), "Export Report to an HTML File");
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    panel->resize(640, 420);
    settle();
    const QString shot = KL_BINARY_DIR "/browser-export-report.png";
    ASSERT_TRUE(panel->grab().save(shot));

    panel->setDirectory(QString::fromStdString(root().string()));
    auto* name = panel->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Census (1).html") << "the report's title is offered";
    name->setText("census");
    static_cast<QDialog*>(panel)->accept();
    settle();
    const std::string page = readAll(root() / "census.html");
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << "the panel's file type is added";
    EXPECT_NE(page.find("Households of the mill"), std::string::npos) << page;

    // A text report writes its body, over the file that is there.
    BrowserController* text = openReport("Households of the mill\nthree\n");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(item(*text, BrowserController::kExportReportTag)->text(), "Report to Text File");
    const fs::path plain = root() / "census.txt";
    std::ofstream(plain) << "older text, longer than the new one";
    text->exportReportHTMLDidEnd(plain.string());
    EXPECT_EQ(readAll(plain), "Households of the mill\nthree\n");
}

TEST_F(RecordReports, ExportIsOffForOtherRecords) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* exportItem = item(*browser, BrowserController::kExportReportTag);
    ASSERT_NE(exportItem, nullptr);
    EXPECT_FALSE(exportItem->isEnabled());
}

TEST_F(RecordReports, AReportWithoutAFontPrintsItsPageAndOneWithAFontItsPane) {
    BrowserController* browser = openReport("<div><p>Households of the mill</p></div>");
    ASSERT_NE(browser, nullptr);
    const Dictionary settings = doc->browserInfo();
    const fs::path pdf = root() / "report.pdf";
    std::size_t copiesWhilePrinting = 99;
    BrowserController::setPrintPanel([&](QPrinter& printer, QWidget*) {
        copiesWhilePrinting = printingCopies().size();
        EXPECT_TRUE(doc->printingStatusFlag());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    QAction* print = fileItem(*browser, "Print...");
    ASSERT_NE(print, nullptr);
    print->trigger();
    ASSERT_TRUE(test::processUntil([&] { return fs::exists(pdf) && !doc->printingStatusFlag(); }));
    EXPECT_EQ(copiesWhilePrinting, 0u) << "the page prints without a copy of the window";
    EXPECT_EQ(readAll(pdf).substr(0, 5), "%PDF-");
    EXPECT_EQ(doc->browserInfo(), settings) << "no margins were taken in";

    BrowserController* typed = openReport("Households of the mill\n", std::string("Courier"));
    ASSERT_NE(typed, nullptr);
    copiesWhilePrinting = 99;
    fs::remove(pdf);
    ASSERT_NE(typed->printWithDialog(true), nullptr) << "the copy prints on a later turn";
    ASSERT_TRUE(test::processUntil([&] { return !doc->printingStatusFlag(); }));
    EXPECT_EQ(copiesWhilePrinting, 1u) << "a report with a font is printed as a pane";
}

TEST_F(RecordReports, SearchesLookUpTheSelectionTheFieldOrTheRecord) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QLineEdit* name = field(*browser, "NAME", 1);
    ASSERT_NE(name, nullptr);
    const std::string whole = name->text().toStdString();
    ASSERT_GT(whole.size(), 4u);
    QAction* web = item(*browser, kWebSearchTag);
    QAction* map = item(*browser, kMapSearchTag);
    ASSERT_NE(web, nullptr);
    ASSERT_NE(map, nullptr);

    browser->activateWindow();
    name->setFocus();
    settle();
    name->setSelection(0, 4);
    map->trigger();
    name->deselect();
    web->trigger();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], AppController::searchAddress(whole.substr(0, 4), kMapSearchTag));
    EXPECT_EQ(opened[1], AppController::searchAddress(whole, kWebSearchTag));

    // Without a focused field the record's own words are looked up.
    browser->setFocus();
    settle();
    web->trigger();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], AppController::searchAddress(browser->theRecord()->googleWords(), kWebSearchTag));

    // A report has no words of its own: nothing opens.
    BrowserController* report = openReport("Households of the mill\n");
    ASSERT_NE(report, nullptr);
    report->activateWindow();
    report->setFocus();
    settle();
    item(*report, kWebSearchTag)->trigger();
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(RecordReports, TheReportsMenuStartsReportsOnTheShownRecord) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* ahnentafel = item(*browser, BrowserController::kAhnentafelReportTag);
    QAction* places = item(*browser, BrowserController::kPlaceEventsReportTag);
    ASSERT_NE(ahnentafel, nullptr);
    ASSERT_NE(places, nullptr);
    EXPECT_TRUE(ahnentafel->isEnabled());
    EXPECT_FALSE(places->isEnabled()) << "an individual is no place";
    ahnentafel->trigger();
    auto* sheet = browser->findChild<RelativesReportOptions*>();
    ASSERT_NE(sheet, nullptr) << "the options open over the record window";
    EXPECT_TRUE(test::processUntil([&] { return sheet->isVisible(); }));
    sheet->reject();
    settle();

    auto place = doc->gedcomModel().recordWithID("@P1@");
    ASSERT_NE(place, nullptr);
    index->documentWindows().openRecordBrowser(place);
    settle();
    ASSERT_EQ(browser->theRecord(), place) << "the window is reused";
    ASSERT_TRUE(item(*browser, BrowserController::kPlaceEventsReportTag)->isEnabled());
    const std::size_t before = doc->gedcomModel().recordsIndex().listForType("_RPT")
                                   ? doc->gedcomModel().recordsIndex().listForType("_RPT")->order().size()
                                   : 0;
    item(*browser, BrowserController::kPlaceEventsReportTag)->trigger();
    ASSERT_TRUE(test::processUntil([&] {
        auto list = doc->gedcomModel().recordsIndex().listForType("_RPT");
        return list && list->order().size() > before;
    }));
    settle();
    auto report = std::dynamic_pointer_cast<ReportRecord>(doc->gedcomModel().recordsIndex().listForType("_RPT")->order().back());
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->viewName().starts_with("Radavizu")) << report->viewName();
}

}  // namespace
}  // namespace kl
