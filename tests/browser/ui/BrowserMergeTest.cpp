// Records > Merge Two Records... in a record window of the running program:
// the item names the record's kind, the picker over the window offers the
// records it may merge with and the picked one merges into the shown one as
// one undo step; a record nothing is like gets its refusal on the window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserTestSupport.h"
#include "foundation/UndoManager.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

constexpr const char* kPeople =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Ann /Lee/\n1 OCCU Baker\n"
    "0 @I2@ INDI\n1 NAME Bea /Moss/\n"
    "0 @I3@ INDI\n1 NAME Ann /Lee/\n1 RELI None\n"
    "0 TRLR\n";

class BrowserMerge : public BrowserWindows {
protected:
    BrowserController* openBrowserOn(const std::string& id) {
        const auto file = root() / "people.ged";
        std::ofstream(file) << kPeople;
        window = open(file);
        if (!window) return nullptr;
        selectRecord(*window, id);
        QTest::keyClick(window->recordsTable(), Qt::Key_Return);
        if (!test::processUntil([&] { return browsers(*window).size() == 1 && browsers(*window)[0]->builds() > 0; }))
            return nullptr;
        settle();
        return browsers(*window)[0];
    }
    static QAction* mergeItem(BrowserController& browser) {
        emit browser.recordsMenu()->aboutToShow();
        for (QAction* item : browser.recordsMenu()->actions())
            if (item->data().toInt() == BrowserController::kMergeTwoRecordsTag) return item;
        return nullptr;
    }

    IndexWindow* window = nullptr;
};

TEST_F(BrowserMerge, ThePickedRecordMergesIntoTheShownOne) {
    BrowserController* browser = openBrowserOn("@I1@");
    ASSERT_NE(browser, nullptr);
    const auto kept = browser->theRecord();
    QAction* merge = mergeItem(*browser);
    ASSERT_NE(merge, nullptr);
    EXPECT_TRUE(merge->isEnabled());
    EXPECT_EQ(merge->text().toStdString(), "Merge Two Individual Records...");

    merge->trigger();
    settle();
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->parentWidget(), browser) << "the picker opens over the record window";
    EXPECT_EQ(picker->message()->text().toStdString(), "Merge Ann Lee with");
    ASSERT_EQ(picker->table()->model()->rowCount(), 1) << "only the record alike is offered";
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "browser-merge-picker.png";
    EXPECT_TRUE(picker->grab().save(QString::fromStdString(path.string())));

    picker->table()->selectRow(0);
    picker->chooseButton()->click();
    settle();

    EXPECT_FALSE(doc->gedcomModel().recordWithID("@I3@"));
    EXPECT_EQ(doc->gedcomModel().recordWithID("@I1@"), kept);
    EXPECT_TRUE(kept->firstChildWithTag("OCCU"));
    EXPECT_TRUE(kept->firstChildWithTag("RELI"));
    EXPECT_EQ(doc->undo().undoActionName(), "Merge Two Records");
    doc->undo().undo();
    EXPECT_TRUE(doc->gedcomModel().recordWithID("@I3@"));
    EXPECT_FALSE(kept->firstChildWithTag("RELI"));
}

TEST_F(BrowserMerge, ARecordNothingIsLikeIsRefusedOnItsWindow) {
    BrowserController* browser = openBrowserOn("@I2@");
    ASSERT_NE(browser, nullptr);
    QAction* merge = mergeItem(*browser);
    ASSERT_NE(merge, nullptr);
    merge->trigger();
    settle();

    auto* alert = browser->findChild<QMessageBox*>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text().toStdString(), "No mergeable and unlocked records were found.");
    EXPECT_FALSE(browser->recordPicker() && browser->recordPicker()->isVisible());
    EXPECT_EQ(alert->parentWidget(), browser->window()) << "the refusal shows on the record window";
    EXPECT_EQ(doc->gedcomModel().numberOfType("INDI"), 3u);
    alert->close();
}

}  // namespace
}  // namespace kl
