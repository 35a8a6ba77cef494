// Moving a record window between records as the user does: following a
// link, the toolbar's back and forward buttons and their held-down history
// menus, the Go menu's keys, previous and next record of the type, the
// relationship buttons with their picker, the multimedia picker's portrait
// buttons, customising the toolbar, help, and the toolbar's screenshot.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>

#include "app/ui/PairToolbarItem.h"
#include "app/ui/UiTestSupport.h"
#include "browser/BrowserNavigation.h"
#include "browser/BrowserToolbar.h"
#include "browser/ui/BrowserTestSupport.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/ToolbarCustomizeDialog.h"
#include "index/ui/SelectRecordController.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class NavigationWindows : public BrowserWindows {
protected:
    BrowserController* openRecord(const std::string& id) {
        window = openSample();
        if (!window) return nullptr;
        window->resize(900, 600);
        selectRecord(*window, id);
        QTest::keyClick(window->recordsTable(), Qt::Key_Return);
        if (!test::processUntil([&] { return browsers(*window).size() == 1 && browsers(*window)[0]->builds() > 0; }))
            return nullptr;
        settle();
        return browsers(*window)[0];
    }
    static std::string shownID(BrowserController& browser) {
        return browser.theRecord() ? browser.theRecord()->grecordID() : "";
    }
    static bool waitFor(BrowserController& browser, const std::string& id) {
        const bool shown = test::processUntil([&] { return shownID(browser) == id; });
        settle();
        return shown;
    }
    static void clickToolbarItem(BrowserController& browser, const std::string& identifier) {
        QAction* action = browser.toolbar()->actionForIdentifier(identifier);
        ASSERT_NE(action, nullptr) << identifier;
        auto* button = qobject_cast<QToolButton*>(browser.toolbar()->widgetForAction(action));
        ASSERT_NE(button, nullptr) << identifier;
        ASSERT_TRUE(button->isEnabled()) << identifier;
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
    }
    static QAction* goItem(BrowserController& browser, int tag) {
        for (QAction* action : browser.goMenu()->actions())
            if (action->data().toInt() == tag) return action;
        return nullptr;
    }
    static void keys(BrowserController& browser, QKeyCombination combination) {
        browser.activateWindow();
        QTest::keyClick(&browser, combination.key(), combination.keyboardModifiers());
        settle();
    }

    IndexWindow* window = nullptr;
};

TEST_F(NavigationWindows, LinkThenBackAndForwardByButtonsAndKeys) {
    BrowserController* browser = openRecord("@I1@");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(browser->toolbar(), nullptr);
    EXPECT_EQ(browser->toolbar()->itemIdentifiers(), BrowserToolbar::toolbarDefaultItemIdentifiers());
    BackForwardToolbarItem* pair = browser->backForwardItem();
    ASSERT_NE(pair, nullptr);
    EXPECT_FALSE(pair->backButton()->isEnabled());
    EXPECT_FALSE(pair->forwardButton()->isEnabled());

    LinkButton* family = linkOf(*browser, "FAMS");
    ASSERT_NE(family, nullptr);
    click(*family);
    ASSERT_TRUE(waitFor(*browser, "@F1@"));
    EXPECT_TRUE(pair->backButton()->isEnabled());
    EXPECT_FALSE(pair->forwardButton()->isEnabled());
    browser->resize(1000, 640);
    settle();
    const auto shot = fs::path(KL_BINARY_DIR) / "record-browser-toolbar.png";
    EXPECT_TRUE(browser->grab().save(QString::fromStdString(shot.string())));

    // A quick click goes back once and shows no menu.
    QTest::mouseClick(pair->backButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor(*browser, "@I1@"));
    EXPECT_FALSE(browser->historyMenu(-1)->isVisible());
    EXPECT_FALSE(pair->backButton()->isEnabled());
    EXPECT_TRUE(pair->forwardButton()->isEnabled());
    keys(*browser, Qt::ALT | Qt::Key_Right);
    ASSERT_TRUE(waitFor(*browser, "@F1@"));
    keys(*browser, Qt::ALT | Qt::Key_Left);
    ASSERT_TRUE(waitFor(*browser, "@I1@"));
    EXPECT_EQ(browser->history().stack().size(), 2u);

    // The customised order is kept for every record window.
    browser->goMenu()->findChild<QAction*>("CustomizeToolbar")->trigger();
    auto* dialog = browser->findChild<ToolbarCustomizeDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->useDefaultSet();
    dialog->currentList()->setCurrentRow(0);
    dialog->removeItem();
    dialog->accept();
    settle();
    EXPECT_EQ(browser->toolbar()->itemIdentifiers().front(), "Ancestors");
    EXPECT_EQ(browser->backForwardItem(), nullptr);
}

TEST_F(NavigationWindows, HoldingBackShowsTheHistoryAndAChoiceJumpsThere) {
    BrowserController* browser = openRecord("@I1@");
    ASSERT_NE(browser, nullptr);
    click(*linkOf(*browser, "FAMS"));
    ASSERT_TRUE(waitFor(*browser, "@F1@"));
    // The family's wife, the only one, is shown at once.
    QAction* mother = goItem(*browser, kMotherTag);
    ASSERT_NE(mother, nullptr);
    browser->maintainMenus();
    EXPECT_EQ(mother->text(), "Wife");
    mother->trigger();
    ASSERT_TRUE(waitFor(*browser, "@I2@"));
    EXPECT_EQ(browser->recordPicker(), nullptr);

    DLDelayedPopUpButton* back = browser->backForwardItem()->backButton();
    QMenu* menu = browser->historyMenu(-1);
    QTest::mousePress(back, Qt::LeftButton);
    ASSERT_TRUE(test::processUntil([&] { return menu->isVisible(); }));
    QTest::mouseRelease(back, Qt::LeftButton);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_NE(menu->actions()[0]->text().indexOf("Family"), -1) << menu->actions()[0]->text().toStdString();
    EXPECT_EQ(shownID(*browser), "@I2@");  // holding sends no click
    menu->actions()[1]->trigger();
    menu->hide();
    ASSERT_TRUE(waitFor(*browser, "@I1@"));
    EXPECT_EQ(browser->history().stack().size(), 3u);
    EXPECT_EQ(browser->history().currentItem(), 0);
    EXPECT_TRUE(browser->backForwardItem()->forwardButton()->isEnabled());
}

TEST_F(NavigationWindows, RelativesShowOneAtOnceAndSeveralOnThePicker) {
    BrowserController* browser = openRecord("@I3@");
    ASSERT_NE(browser, nullptr);
    clickToolbarItem(*browser, "ShowSiblings");
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    EXPECT_EQ(picker->table()->model()->rowCount(), 2);
    EXPECT_TRUE(picker->message()->text().startsWith("View Siblings of ")) << picker->message()->text().toStdString();
    const std::string wanted = picker->table()->model()->index(1, 1).data().toString().toStdString();
    picker->table()->selectRow(1);
    picker->chooseButton()->click();
    ASSERT_TRUE(waitFor(*browser, wanted));

    // Cancel calls nobody.
    clickToolbarItem(*browser, "ShowSiblings");
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    picker->reject();
    settle();
    EXPECT_EQ(shownID(*browser), wanted);

    clickToolbarItem(*browser, "ShowFatherHusband");
    ASSERT_TRUE(waitFor(*browser, "@I1@"));
    EXPECT_FALSE(picker->isVisible());
    // The toolbar keeps its titles; Aldric has no father.
    EXPECT_EQ(browser->toolbar()->actionForIdentifier("ShowFatherHusband")->text(), "Father");
    EXPECT_FALSE(browser->toolbar()->actionForIdentifier("ShowFatherHusband")->isEnabled());
}

TEST_F(NavigationWindows, DeletingARecordOfThePickerCancelsItAndBackSkipsIt) {
    BrowserController* browser = openRecord("@I3@");
    ASSERT_NE(browser, nullptr);
    clickToolbarItem(*browser, "ShowFatherHusband");
    ASSERT_TRUE(waitFor(*browser, "@I1@"));
    clickToolbarItem(*browser, "ShowChildren");
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    doc->gedcomModel().deleteRecord(doc->gedcomModel().recordWithID("@I3@"));
    settle();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(shownID(*browser), "@I1@");
    // The history led back to the deleted record only.
    EXPECT_FALSE(browser->backForwardItem()->backButton()->isEnabled());
}

TEST_F(NavigationWindows, HelpOpensTheTopicOfTheRecordShown) {
    std::vector<std::string> asked;
    BrowserController::setHelpHandler(
        [&](const std::string& topic, const std::string& prefix) { asked.push_back(prefix + topic); });
    BrowserController* browser = openRecord("@I1@");
    ASSERT_NE(browser, nullptr);
    browser->toolbar()->actionForIdentifier(BrowserToolbar::kWindowHelp)->trigger();
    click(*linkOf(*browser, "FAMS"));
    ASSERT_TRUE(waitFor(*browser, "@F1@"));
    browser->toolbar()->actionForIdentifier(BrowserToolbar::kWindowHelp)->trigger();
    BrowserController::setHelpHandler(nullptr);
    EXPECT_EQ(asked, (std::vector<std::string>{"index_Editing/individual", "index_Editing/family"}));
}

TEST_F(NavigationWindows, PreviousAndNextFollowTheTypeListAndStopAtItsEnds) {
    BrowserController* probe = openRecord("@I1@");
    ASSERT_NE(probe, nullptr);
    auto list = doc->gedcomModel().recordsIndex().listForType("INDI");
    ASSERT_GE(list->count(), 2u);
    const std::string first = list->order().front()->grecordID();
    const std::string second = list->order()[1]->grecordID();
    probe->changeRecord(list->order().front(), "");
    ASSERT_TRUE(waitFor(*probe, first));
    PrevNextToolbarItem* pair = probe->prevNextItem();
    ASSERT_NE(pair, nullptr);
    EXPECT_FALSE(pair->prevButton()->isEnabled());
    EXPECT_TRUE(pair->nextButton()->isEnabled());
    keys(*probe, Qt::ALT | Qt::Key_Up);
    EXPECT_EQ(shownID(*probe), first);
    keys(*probe, Qt::ALT | Qt::Key_Down);
    ASSERT_TRUE(waitFor(*probe, second));
    EXPECT_TRUE(pair->prevButton()->isEnabled());
    QTest::mouseClick(pair->prevButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor(*probe, first));
}

TEST_F(NavigationWindows, MultimediaPickerSetsAndClearsThePortraitWithUndo) {
    BrowserController* browser = openRecord("@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* multimedia = goItem(*browser, kMultimediaTag);
    ASSERT_NE(multimedia, nullptr);
    browser->maintainMenus();
    ASSERT_TRUE(multimedia->isEnabled());
    auto person = browser->theRecord();
    struct Step {
        bool noPortrait;
        const char* undoName;
    };
    for (const Step& step : {Step{true, "Set No Portrait"}, Step{false, "Change Portrait"}}) {
        SCOPED_TRACE(step.undoName);
        multimedia->trigger();
        SelectRecordController* picker = browser->recordPicker();
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
        // One object still opens the picker, with both portrait buttons.
        EXPECT_EQ(picker->table()->model()->rowCount(), 1);
        ASSERT_TRUE(picker->newRecordButton()->isVisible());
        ASSERT_TRUE(picker->recordActionButton()->isVisible());
        EXPECT_EQ(picker->newRecordButton()->text(), "Set No Portrait");
        (step.noPortrait ? picker->newRecordButton() : picker->recordActionButton())->click();
        settle();
        EXPECT_EQ(person->portraitImage() == nullptr, step.noPortrait);
        EXPECT_EQ(doc->undo().undoActionName(), step.undoName);
        EXPECT_EQ(shownID(*browser), "@I1@");
    }
    // Choosing the object itself shows it.
    multimedia->trigger();
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    picker->chooseButton()->click();
    ASSERT_TRUE(waitFor(*browser, "@M1@"));
}

}  // namespace
}  // namespace kl
