// Editing in the record browser of the running program: a value field
// commits what the user typed when editing ends, and a pop-up what the user
// picks, each as one step of the Edit menu's Undo and Redo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "browser/ui/ValueFieldSupport.h"
#include "cells/ChoiceCells.h"
#include "cells/EditValueCell.h"
#include "cells/ui/QtCellView.h"
#include "app/AppController.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

TEST_F(ValueFields, TypedOccupationIsStoredAndUndoneAndRedoneInOneStep) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    auto person = browser->theRecord();
    QLineEdit* occupation = field(*browser, "OCCU", 1);
    ASSERT_NE(occupation, nullptr);
    EXPECT_EQ(occupation->text(), "Miller");

    typeInto(occupation, "Millwright");
    settle();
    EXPECT_EQ(person->findChild("OCCU", false)->contents(), "Millwright");
    EXPECT_NE(person->findChild("CHAN", false)->findChild("DATE", false)->findChild("TIME", false)->contents(),
              "12:00:00");

    QAction* undo = editItem(*browser, 0);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text(), "Undo Text Cell Change");
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    closeEditMenu(undo);
    settle();
    EXPECT_EQ(person->findChild("OCCU", false)->contents(), "Miller");
    EXPECT_FALSE(doc->undo().canUndo());
    ASSERT_NE(field(*browser, "OCCU", 1), nullptr);
    EXPECT_EQ(field(*browser, "OCCU", 1)->text(), "Miller");

    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : browser;
    ASSERT_TRUE(doc->undo().canRedo());
    QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    EXPECT_EQ(person->findChild("OCCU", false)->contents(), "Millwright");
    EXPECT_EQ(field(*browser, "OCCU", 1)->text(), "Millwright");
}

TEST_F(ValueFields, LeavingAFieldWithoutTypingOrWithTheSameTextCommitsNothing) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QLineEdit* occupation = field(*browser, "OCCU", 1);
    ASSERT_NE(occupation, nullptr);
    QTest::mouseClick(occupation, Qt::LeftButton);
    QTest::keyClick(occupation, Qt::Key_Tab);
    typeInto(occupation, "Miller");
    settle();
    EXPECT_FALSE(doc->undo().canUndo());
    EXPECT_EQ(browser->theRecord()->findChild("CHAN", false)->findChild("DATE", false)->contents(), "10 DEC 2026");
}

TEST_F(ValueFields, TheSexPopupWritesTheChosenValueOrRemovesIt) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    auto person = browser->theRecord();
    QPushButton* sex = popup(*browser, "SEX");
    ASSERT_NE(sex, nullptr);
    EXPECT_EQ(sex->text(), "Male");
    pick(sex, "Female");
    settle();
    EXPECT_EQ(person->findChild("SEX", false)->contents(), "F");
    QAction* undo = editItem(*browser, 0);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text(), "Undo Menu Selection");
    closeEditMenu(undo);
    ASSERT_NE(popup(*browser, "SEX"), nullptr);
    EXPECT_EQ(popup(*browser, "SEX")->text(), "Female");
    pick(popup(*browser, "SEX"), "Not recorded");
    settle();
    EXPECT_EQ(person->findChild("SEX", false), nullptr);
}

TEST_F(ValueFields, ADateTypedIntoAMissingEventCreatesItAfterTheBirthAndClearingRemovesIt) {
    BrowserController* browser = openWithReturn("@I31@");
    ASSERT_NE(browser, nullptr);
    auto person = browser->theRecord();
    QLineEdit* death = dateField(*browser, "DEAT");
    ASSERT_NE(death, nullptr);
    EXPECT_EQ(death->text(), "");
    typeInto(death, "1800");
    settle();
    auto made = person->findChild("DEAT", false);
    ASSERT_NE(made, nullptr);
    ASSERT_NE(made->findChild("DATE", false), nullptr);
    EXPECT_EQ(made->findChild("DATE", false)->contents(), "1800");
    const auto& all = person->structures();
    auto at = [&](const char* tag) {
        return std::find_if(all.begin(), all.end(), [&](const auto& s) { return s->gtag() == tag; }) - all.begin();
    };
    EXPECT_EQ(at("DEAT"), at("BIRT") + 1);

    // One Ctrl+Z removes both.
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : browser;
    QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);

    settle();
    EXPECT_EQ(person->findChild("DEAT", false), nullptr);

    QAction* redo = editItem(*browser, 1);
    EXPECT_EQ(redo->text(), "Redo Date Change");
    redo->trigger();
    closeEditMenu(redo);
    settle();
    ASSERT_NE(person->findChild("DEAT", false), nullptr);
    death = dateField(*browser, "DEAT");
    ASSERT_NE(death, nullptr);
    EXPECT_EQ(death->text(), "1800");
    typeInto(death, "");
    settle();
    EXPECT_EQ(person->findChild("DEAT", false), nullptr);
}

TEST_F(ValueFields, ABirthDateTypedInTheBrowserShowsInTheIndexWindow) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QLineEdit* birth = dateField(*browser, "BIRT");
    ASSERT_NE(birth, nullptr);
    typeInto(birth, "1730");
    settle();
    const auto listed = index->controller().listedRecords();
    const int row = int(std::find_if(listed.begin(), listed.end(), [](const auto& r) { return r->grecordID() == "@I1@"; }) -
                        listed.begin());
    bool shown = false;
    for (int column = 0; column < index->recordsModel()->columnCount(); ++column)
        shown = shown || index->recordsModel()->index(row, column).data().toString().contains("1730");
    EXPECT_TRUE(shown);
}

TEST_F(ValueFields, TheFieldMenuSearchesTheWebForItsText) {
    std::vector<std::string> opened;
    AppController::setAddressOpener([&](const std::string& address) { opened.push_back(address); });
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QLineEdit* occupation = field(*browser, "OCCU", 1);
    ASSERT_NE(occupation, nullptr);
    QStringList titles;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* item : menu->actions()) titles << item->text();
        for (QAction* item : menu->actions())
            if (item->text() == "Google search") item->trigger();
        menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), occupation->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(occupation, &click);
    settle();
    AppController::setAddressOpener(nullptr);
    ASSERT_GE(titles.size(), 2);
    EXPECT_EQ(titles[0], "Attach/Edit Memo");
    EXPECT_EQ(titles[1], "Google search");
    EXPECT_EQ(opened, std::vector<std::string>{AppController::searchAddress("Miller", AppController::webSearchTag)});
}

TEST_F(ValueFields, ALockedRecordTakesNoTypingOrPicks) {
    BrowserController* browser = openWithReturn("@I1@", [](GEDCOMRecord& person) {
        person.addStructure(std::make_shared<GEDCOMStructure>(&person, 1, "RESN", "locked"), &person, nullptr, false);
    });
    ASSERT_NE(browser, nullptr);
    QLineEdit* occupation = field(*browser, "OCCU", 1);
    ASSERT_NE(occupation, nullptr);
    EXPECT_TRUE(occupation->isReadOnly());
    typeInto(occupation, "Millwright");
    settle();
    EXPECT_EQ(browser->theRecord()->findChild("OCCU", false)->contents(), "Miller");
    ASSERT_NE(popup(*browser, "SEX"), nullptr);
    EXPECT_FALSE(popup(*browser, "SEX")->isEnabled());
}

TEST_F(ValueFields, RefusedCellPropertiesCloseTheWindowThroughTheTemplateAlert) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    auto source = doc->gedcomModel().recordsIndex().collectRecords(std::string("SOUR")).front();
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"Cell checkboxedit Kept\nBorder sideways\n", "Border setting is not allowed or is invalid for current cell"},
        {"Cell editvalue\nScriptlink Tidy.py\nScripttype other\n", "Script type must be 'User', 'System', or 'Format'."},
    };
    for (const Case& c : cases) {
        useTemplate("SOUR Record Editing.txt", c.text);
        int alerts = 0;
        std::string information;
        test::whenModal<QMessageBox>([&](QMessageBox& box) {
            ++alerts;
            information = box.informativeText().toStdString();
            for (QAbstractButton* button : box.buttons())
                if (button->text() == "OK") button->click();
        });
        window->documentWindows().openNewRecordBrowser(source);
        ASSERT_TRUE(test::processUntil([&] { return alerts == 1 && browsers(*window).empty(); })) << c.text;
        settle();
        EXPECT_EQ(information.substr(0, std::string(c.message).size()), c.message) << information;
    }
}

}  // namespace
}  // namespace kl
