// File > Print... of an index window: the shown list prints as on screen,
// in whole rows per page, a column no wider than the page; a cancelled
// panel prints nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QPrinter>
#include <QTableView>

#include <fstream>
#include <iterator>

#include "IndexWindowFixture.h"
#include "index/IndexController.h"
#include "index/ui/IndexPrintView.h"

namespace kl {
namespace {

class PrintingTest : public test::IndexWindowFixture {
protected:
    void TearDown() override {
        IndexPrintView::setPrintPanel(nullptr);
        IndexWindowFixture::TearDown();
    }
    // Opens a list of `people` individuals and chooses File > Print... with
    // the panel answering `accept`, printing into a PDF; answers its pages.
    int printPages(bool accept) {
        const auto pdf = root() / "list.pdf";
        std::filesystem::remove(pdf);
        IndexPrintView::setPrintPanel([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            return accept;
        });
        QAction* print = test::menuItem(*window, "&File", "Print...");
        EXPECT_NE(print, nullptr);
        if (!print) return -1;
        EXPECT_EQ(print->shortcut(), QKeySequence(QKeySequence::Print));
        print->trigger();
        if (!std::filesystem::exists(pdf)) return 0;
        std::ifstream in(pdf, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        int pages = 0;
        for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
            if (bytes.compare(at, 12, "/Type /Pages") != 0) ++pages;
        return pages;
    }
};

std::string people(int count) {
    std::string records;
    for (int i = 1; i <= count; ++i)
        records += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Person" + std::to_string(i) + " /Sample/\n";
    return records;
}

TEST_F(PrintingTest, AListPrintsInWholeRowsAndInStripsWhenWide) {
    open(people(150));
    window->controller().selectRecordType("INDI");
    settle();
    const int narrow = printPages(true);
    EXPECT_GE(narrow, 2) << "150 rows do not fit one page";
    EXPECT_FALSE(doc->printingStatusFlag());

    // The list's one column, made wider than the page, is narrowed to it
    // rather than cut.
    ASSERT_EQ(IndexPrintView::ofTable(*window->recordsTable(), true).titles.size(), 1u);
    window->recordsTable()->setColumnWidth(0, 1200);
    EXPECT_EQ(printPages(true), narrow);

    EXPECT_EQ(printPages(false), 0) << "a cancelled panel prints nothing";
}

}  // namespace
}  // namespace kl
