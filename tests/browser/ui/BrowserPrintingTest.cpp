// File > Print of a record window: a hidden copy of the browser lays the
// record out at the printable page's width and is printed, here to a PDF
// file through the print panel's stand-in; the page margins give way to
// the pane's own while the job runs and come back after it. File > Page
// Setup... sets the margins record windows print with.
#include <gtest/gtest.h>

#include <QMenu>
#include <QDoubleSpinBox>
#include <QMenuBar>
#include <QPrinter>
#include <QTest>

#include <fstream>
#include <iterator>

#include "BrowserTestSupport.h"
#include "app/EditingPrefs.h"
#include "app/ui/PageLayoutSheet.h"
#include "app/ui/PrintMarginsView.h"
#include "browser/ui/EditBackgroundWidget.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class BrowserPrinting : public BrowserWindows {
protected:
    void TearDown() override {
        BrowserController::setPrintPanel(nullptr);
        BrowserWindows::TearDown();
    }
    BrowserController* openPerson(IndexWindow& window, const std::string& id) {
        selectRecord(window, id);
        QTest::keyClick(window.recordsTable(), Qt::Key_Return);
        EXPECT_TRUE(test::processUntil([&] { return !browsers(window).empty() && browsers(window)[0]->builds() > 0; }));
        settle();
        return browsers(window).empty() ? nullptr : browsers(window)[0];
    }
    static QAction* printItem(BrowserController& browser) { return fileItem(browser, "Print..."); }
    static std::string readAll(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(BrowserPrinting, PrintLaysTheRecordOutForPaperAndWritesThePdf) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    BrowserController* browser = openPerson(*window, "@I1@");
    ASSERT_NE(browser, nullptr);
    const Dictionary settings = doc->browserInfo();
    const EditingPrefs& prefs = AppController::sharedLibrary()->editingPrefs();
    const fs::path pdf = root() / "record.pdf";

    std::optional<QMarginsF> margins;
    bool copyPrinting = false;
    bool laidOut = false;
    int paneWidth = 0;
    BrowserController::setPrintPanel([&](QPrinter& printer, QWidget*) {
        margins = printer.pageLayout().margins(QPageLayout::Point);
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* copy = qobject_cast<BrowserController*>(top); copy && copy != browser) {
                copyPrinting = copy->isPrinting();
                laidOut = shows(*copy, "Individual") && shows(*copy, "Events");
                paneWidth = copy->backgroundWidget()->width();
            }
        EXPECT_TRUE(doc->printingStatusFlag());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    QAction* print = printItem(*browser);
    ASSERT_NE(print, nullptr);
    print->trigger();
    ASSERT_TRUE(test::processUntil([&] { return fs::exists(pdf) && !doc->printingStatusFlag(); }));
    settle();

    ASSERT_TRUE(margins.has_value()) << "the print panel was shown";
    EXPECT_DOUBLE_EQ(margins->left(), 72 - prefs.leftSkip());
    EXPECT_DOUBLE_EQ(margins->top(), 72 - prefs.topMargin());
    EXPECT_TRUE(copyPrinting);
    EXPECT_TRUE(laidOut) << "the copy shows the record through its templates";
    // Letter paper, 612 points wide, less the reduced margins.
    EXPECT_NEAR(paneWidth, 612 - (72 - prefs.leftSkip()) - (72 - prefs.rightSkip()), 4);
    EXPECT_EQ(readAll(pdf).substr(0, 5), "%PDF-");
    EXPECT_GT(fs::file_size(pdf), 1000u);
    EXPECT_EQ(doc->browserInfo(), settings) << "the margins come back";
    EXPECT_EQ(browsers(*window).size(), 1u) << "the copy is not one of the document's windows";
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* other = qobject_cast<BrowserController*>(top)) {
            EXPECT_EQ(other, browser) << "the copy has gone";
        }
    }
}

TEST_F(BrowserPrinting, AScriptsJobSettingsLastForThatJobAndACancelledPanelPrintsNothing) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    BrowserController* browser = openPerson(*window, "@I1@");
    ASSERT_NE(browser, nullptr);
    const Dictionary settings = doc->browserInfo();
    const fs::path pdf = root() / "script.pdf";
    ASSERT_NE(browser->printWithDialog(false, Dictionary{{"NSJobDisposition", "NSPrintSaveJob"},
                                                         {"NSJobSavingURL", "file://" + pdf.string()}}),
              nullptr);
    ASSERT_TRUE(test::processUntil([&] { return !doc->printingStatusFlag(); }));
    EXPECT_EQ(readAll(pdf).substr(0, 5), "%PDF-");
    EXPECT_EQ(doc->browserInfo(), settings);

    const fs::path cancelled = root() / "cancelled.pdf";
    BrowserController::setPrintPanel([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(cancelled.string()));
        return false;
    });
    browser->printWithDialog(true);
    ASSERT_TRUE(test::processUntil([&] { return !doc->printingStatusFlag(); }));
    EXPECT_FALSE(fs::exists(cancelled));
    EXPECT_EQ(doc->browserInfo(), settings);
}

TEST_F(BrowserPrinting, PageSetupOfARecordWindowSetsTheMarginsItsPrintsStartFrom) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    BrowserController* browser = openPerson(*window, "@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* pageSetup = fileItem(*browser, "Page Setup...");
    ASSERT_NE(pageSetup, nullptr);
    pageSetup->trigger();
    auto* sheet = browser->findChild<PageLayoutSheet*>();
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(sheet->marginsView(), nullptr);
    sheet->marginsView()->leftMgnFld()->setValue(90);
    sheet->okClick();
    settle();
    EXPECT_EQ(doc->browserInfo().get("LeftMargin")->toReal(0), 90);
    EXPECT_EQ(doc->printInfo().get("LeftMargin")->toReal(0), 72) << "the lists keep their own settings";

    std::optional<double> left;
    BrowserController::setPrintPanel([&](QPrinter& printer, QWidget*) {
        left = printer.pageLayout().margins(QPageLayout::Point).left();
        return false;
    });
    printItem(*browser)->trigger();
    ASSERT_TRUE(test::processUntil([&] { return !doc->printingStatusFlag(); }));
    ASSERT_TRUE(left.has_value());
    EXPECT_DOUBLE_EQ(*left, 90 - AppController::sharedLibrary()->editingPrefs().leftSkip());
}

}  // namespace
}  // namespace kl
