// Typing into a record window opened by Return in the index window: dates
// validated and stored normalised, names in GEDCOM form, pasted text kept on
// one line, quick comments, the genealogy search and Tempolin reached from a
// field's menu; and the Edit menu's one step per user action and the
// window's edited mark.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>

#include <filesystem>
#include <memory>

#include "app/AppController.h"
#include "app/ui/EditMenu.h"
#include "browser/ui/EditBackgroundWidget.h"
#include "browser/ui/QtModelAlerts.h"
#include "browser/ui/ValueFieldSupport.h"
#include "cells/EditDateCell.h"
#include "cells/TextFieldCell.h"
#include "cells/ui/KLPopupEditView.h"
#include "cells/ui/NoTabTextView.h"
#include "cells/ui/KLSpellCheckField.h"
#include "cells/ui/KLTextField.h"
#include "dates/DateBridge.h"
#include "document/ui/DocumentMenus.h"
#include "document/ui/FamilySearchTermsSheet.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelAlerts.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class Typing : public AlertingValueFields {
protected:
    void TearDown() override {
        BrowserController::setTempolinHandler(nullptr);
        AppController::setAddressOpener(nullptr);
        AlertingValueFields::TearDown();
    }
    // The field's right-click menu; the item of this title (or starting so).
    static QAction* menuItem(QLineEdit* line, const QString& start, std::unique_ptr<QMenu>& menu) {
        menu.reset(qobject_cast<KLTextField*>(line)->makeContextMenu());
        for (QAction* item : menu->actions())
            if (item->text().startsWith(start)) return item;
        return nullptr;
    }
    static std::shared_ptr<GEDCOMObject> burialDate(BrowserController& browser) {
        return browser.theRecord()->findChild("BURI", false)->findChild("DATE", false);
    }
};

TEST_F(Typing, ADateIsStoredNormalisedAndTheShownFormStoresNothing) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(dateField(*browser, "BIRT"), nullptr);
    EXPECT_EQ(dateField(*browser, "BIRT")->text().toStdString(), userDisplayDate("@#DJULIAN@ 3 FEB 1729"));
    QLineEdit* burial = dateField(*browser, "BURI");
    ASSERT_NE(burial, nullptr);

    typeInto(burial, burial->text());
    settle();
    EXPECT_FALSE(doc->undo().canUndo());
    EXPECT_FALSE(browser->isWindowModified());

    typeInto(dateField(*browser, "BURI"), "abt 5 mar 1850");
    settle();
    EXPECT_EQ(burialDate(*browser)->contents(), "ABT 5 MAR 1850");
    EXPECT_EQ(dateField(*browser, "BURI")->text().toStdString(), userDisplayDate("ABT 5 MAR 1850"));
    QAction* undo = editItem(*browser, 0);
    EXPECT_EQ(undo->text(), "Undo Date Change");
    EXPECT_TRUE(browser->isWindowModified());
    undo->trigger();
    closeEditMenu(undo);
    settle();
    EXPECT_EQ(burialDate(*browser)->contents(), "@#DJULIAN@ 25 NOV 1791");
    EXPECT_FALSE(browser->isWindowModified()) << "the edited mark follows undo";
    QAction* redo = editItem(*browser, 1);
    redo->trigger();
    closeEditMenu(redo);
    settle();
    EXPECT_TRUE(browser->isWindowModified());
}

TEST_F(Typing, AnInvalidDateOffersTryAgainOrRevertAndOnlyRevertWhileClosing) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    std::vector<std::pair<QStringList, QString>> alerts;
    auto answer = [&](const QString& button) {
        test::whenModal<QMessageBox>([&, button](QMessageBox& box) {
            QStringList titles;
            for (QAbstractButton* shown : box.buttons()) titles << shown->text();
            alerts.push_back({titles, box.informativeText()});
            EXPECT_EQ(box.text(), "Invalid date was entered");
            for (QAbstractButton* shown : box.buttons())
                if (shown->text() == button) shown->click();
        });
    };
    answer("Try Again");
    typeInto(dateField(*browser, "BURI"), "5 Blorch 1850");
    ASSERT_TRUE(test::processUntil([&] { return alerts.size() == 1; }));
    settle();
    EXPECT_EQ(alerts[0].first, (QStringList{"Try Again", "Revert"}));
    EXPECT_EQ(dateField(*browser, "BURI")->text(), "5 Blorch 1850");
    EXPECT_EQ(burialDate(*browser)->contents(), "@#DJULIAN@ 25 NOV 1791");
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    settle();
    EXPECT_TRUE(dateField(*browser, "BURI")->hasFocus()) << "the focus is back in the field";

    // Closing the window checks it again; it can only revert now.
    answer("Revert");
    browser->close();
    ASSERT_TRUE(test::processUntil([&] { return alerts.size() == 2; }));
    settle();
    EXPECT_EQ(alerts[1].first, QStringList{"Revert"});
    EXPECT_TRUE(alerts[1].second.endsWith(EditDateCell::kRevertOnClose)) << alerts[1].second.toStdString();
    EXPECT_EQ(doc->gedcomModel().recordWithID("@I1@")->findChild("BURI", false)->findChild("DATE", false)->contents(),
              "@#DJULIAN@ 25 NOV 1791");
}

TEST_F(Typing, TheDateMenuConvertsAndHandsTheDateToTempolin) {
    std::vector<std::string> sent;
    BrowserController::setTempolinHandler([&](const std::string& date) { sent.push_back(date); });
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    std::unique_ptr<QMenu> menu;
    QAction* tempolin = menuItem(dateField(*browser, "BURI"), "Open Tempolin with This Date", menu);
    ASSERT_NE(tempolin, nullptr);
    EXPECT_NE(menuItem(dateField(*browser, "BURI"), "Copy age -> ", menu), nullptr);
    tempolin = menuItem(dateField(*browser, "BURI"), "Open Tempolin with This Date", menu);
    tempolin->trigger();
    EXPECT_EQ(sent, std::vector<std::string>{"@#DJULIAN@ 25 NOV 1791"});

    QAction* gregorian = menuItem(dateField(*browser, "BURI"), "Convert to Gregorian -> ", menu);
    ASSERT_NE(gregorian, nullptr);
    gregorian->trigger();
    menu.reset();
    settle();
    EXPECT_EQ(burialDate(*browser)->contents(), "6 DEC 1791");
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Date Change");
}

TEST_F(Typing, ANameIsStoredInGEDCOMFormAndItsGenealogySearchTakesTheTermsAsTyped) {
    UserDefaults::standard().setObject(Value("https://search.example"), DocumentMenus::kGenealogySearchKey);
    std::vector<std::string> opened;
    AppController::setAddressOpener([&](const std::string& address) { opened.push_back(address); });
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QLineEdit* name = field(*browser, "NAME", 1);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "Aldric Brennow");

    std::unique_ptr<QMenu> menu;
    struct Case {
        std::vector<QString> typed;  // empty: leave the terms as shown
        bool cancel;
        std::string query;
    } cases[] = {
        {{}, true, ""},
        {{"a&b", "", "", ""}, false, "q.givenName=a%26b"},
        {{"", "", "", ""}, false, ""},
    };
    for (const Case& c : cases) {
        QAction* search = menuItem(field(*browser, "NAME", 1), "FamilySearch", menu);
        ASSERT_NE(search, nullptr);
        search->trigger();
        settle();
        const auto sheets = browser->findChildren<FamilySearchTermsSheet*>();
        ASSERT_FALSE(sheets.empty());
        FamilySearchTermsSheet* sheet = sheets.back();
        if (c.cancel) {
            EXPECT_EQ(sheet->terms()[0], "Aldric");
            EXPECT_EQ(sheet->terms()[1], "Brennow");
            sheet->field(1)->setText("Changed");
            sheet->reject();
            settle();
            EXPECT_TRUE(opened.empty());
            continue;
        }
        for (int at = 0; at < 4; ++at) sheet->field(at)->setText(c.typed[std::size_t(at)]);
        sheet->searchTrees()->click();
        settle();
        ASSERT_FALSE(opened.empty());
        EXPECT_EQ(opened.back(), "https://search.example/search/tree/results?" + c.query);
    }

    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    typeInto(field(*browser, "NAME", 1), "Brennow, Aldric Tam");
    settle();
    EXPECT_EQ(browser->theRecord()->findChild("NAME", false)->contents(), "Aldric Tam /Brennow/");
    EXPECT_EQ(field(*browser, "NAME", 1)->text(), "Aldric Tam Brennow");
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Name Change");
}

TEST_F(Typing, PastedAndDroppedTextStaysOnOneLine) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    struct Case {
        const char* copied;
        const char* pasted;
    } cases[] = {{"a\nb", "a b"}, {"a\r\nb", "a  b"}};
    for (const Case& c : cases) {
        QLineEdit* occupation = field(*browser, "OCCU", 1);
        ASSERT_NE(occupation, nullptr);
        QApplication::clipboard()->setText(c.copied);
        occupation->setFocus();
        occupation->selectAll();
        QTest::keyClick(occupation, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(occupation->text(), c.pasted);
        EXPECT_EQ(QApplication::clipboard()->text(), c.pasted);
    }
    QLineEdit* occupation = field(*browser, "OCCU", 1);
    QMimeData broken, plain;
    broken.setText("two\nlines");
    plain.setText("one line");
    QDragEnterEvent refused(QPoint(4, 4), Qt::CopyAction, &broken, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(occupation, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDragEnterEvent taken(QPoint(4, 4), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(occupation, &taken);
    EXPECT_TRUE(taken.isAccepted());
}

TEST_F(Typing, SpellingTurnedOnInOneFieldReachesEveryTextView) {
    UserDefaults::standard().setObject(Value(false), kCheckSpellingAsYouType);
    KLSpellCheckField textView;
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    std::unique_ptr<QMenu> menu;
    QAction* toggle = menuItem(field(*browser, "OCCU", 1), "Check Spelling While Typing", menu);
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(UserDefaults::standard().boolForKey(kCheckSpellingAsYouType));
    EXPECT_TRUE(textView.isContinuousSpellCheckingEnabled());
}

TEST_F(Typing, AQuickCommentIsOneLineOneStepAndClearedByEmptying) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    auto occupation = browser->theRecord()->findChild("OCCU", false);
    const std::string stamped = browser->theRecord()->findChild("CHAN", false)->findChild("DATE", false)->contents();
    std::unique_ptr<QMenu> menu;

    // Opened and left untouched: nothing stored, no change date.
    menuItem(field(*browser, "OCCU", 1), "Attach/Edit Memo", menu)->trigger();
    settle();
    ASSERT_NE(browser->memoEditor(), nullptr);
    QTest::keyClick(browser->memoEditor(), Qt::Key_Tab);
    settle();
    EXPECT_FALSE(doc->undo().canUndo());
    EXPECT_EQ(browser->theRecord()->findChild("CHAN", false)->findChild("DATE", false)->contents(), stamped);

    menuItem(field(*browser, "OCCU", 1), "Attach/Edit Memo", menu)->trigger();
    settle();
    KLPopupEditView* editor = browser->memoEditor();
    ASSERT_NE(editor, nullptr);
    editor->insertPlainText("from the\nmill ledger");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(occupation->quickComment(), "from the mill ledger");
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Change Quick Comment");
    EXPECT_EQ(field(*browser, "OCCU", 1)->toolTip().isEmpty(), false);
    doc->undo().undo();
    settle();
    EXPECT_EQ(occupation->quickComment(), std::nullopt);
    EXPECT_FALSE(doc->undo().canUndo()) << "one step";

    occupation->setQuickComment(std::string("kept"));
    menuItem(field(*browser, "OCCU", 1), "Attach/Edit Memo", menu)->trigger();
    settle();
    ASSERT_NE(browser->memoEditor(), nullptr);
    EXPECT_EQ(browser->memoEditor()->toPlainText(), "kept");
    browser->memoEditor()->selectAll();
    QTest::keyClick(browser->memoEditor(), Qt::Key_Backspace);
    QTest::keyClick(browser->memoEditor(), Qt::Key_Tab);
    settle();
    EXPECT_EQ(occupation->quickComment(), std::nullopt);
}

TEST_F(Typing, AQuickCommentNearThePanesBottomOpensAboveAndMovesUpAsItGrows) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    // The lowest value field of the pane.
    QLineEdit* lowest = nullptr;
    for (const auto& cell : browser->backgroundView().customCells())
        if (auto* view = dynamic_cast<QtCellView*>(cell->view()))
            if (auto* line = qobject_cast<QLineEdit*>(view->widget()); line && !line->text().isEmpty())
                if (!lowest || line->mapTo(browser->backgroundWidget(), QPoint()).y() >
                                   lowest->mapTo(browser->backgroundWidget(), QPoint()).y())
                    lowest = line;
    ASSERT_NE(lowest, nullptr);
    browser->backgroundWidget()->resize(browser->backgroundWidget()->width(),
                                        lowest->mapTo(browser->backgroundWidget(), QPoint()).y() + lowest->height() + 4);
    std::unique_ptr<QMenu> menu;
    QAction* memo = menuItem(lowest, "Attach/Edit Memo", menu);
    ASSERT_NE(memo, nullptr);
    memo->trigger();
    settle();
    KLPopupEditView* editor = browser->memoEditor();
    ASSERT_NE(editor, nullptr);
    const int paneBottom = browser->backgroundWidget()->height();
    EXPECT_LE(editor->geometry().bottom() + 1, paneBottom);
    const int top = editor->y();
    editor->insertPlainText("one\ntwo\nthree");
    EXPECT_GT(editor->height(), 20);
    EXPECT_LT(editor->y(), top);
    EXPECT_LE(editor->geometry().bottom() + 1, paneBottom);
}

TEST_F(Typing, ThreeChangesOfOneMenuCommandAreOneUndoStepAndUndoIsOffWithoutChanges) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* undo = editItem(*browser, 0);
    EXPECT_FALSE(undo->isEnabled());
    closeEditMenu(undo);
    auto person = browser->theRecord();
    QAction* command = browser->menuBar()->addAction("Tidy");
    QObject::connect(command, &QAction::triggered, [person] {
        person->findChild("OCCU", false)->setContents("Carter");
        person->findChild("SEX", false)->setContents("F");
        person->findChild("NAME", false)->setContents("Aldra /Brennow/");
    });
    command->trigger();
    settle();
    EXPECT_EQ(person->findChild("OCCU", false)->contents(), "Carter");
    undo = editItem(*browser, 0);
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    closeEditMenu(undo);
    settle();
    EXPECT_EQ(person->findChild("OCCU", false)->contents(), "Miller");
    EXPECT_EQ(person->findChild("SEX", false)->contents(), "M");
    EXPECT_EQ(person->findChild("NAME", false)->contents(), "Aldric /Brennow/");
    EXPECT_FALSE(doc->undo().canUndo());
}

TEST_F(Typing, ANoteGrowsInAMultiLineCellAndCommitsAsOneStep) {
    BrowserController* browser = openWithReturn("@I31@", [](GEDCOMRecord& person) {
        person.addStructure(std::make_shared<GEDCOMStructure>(&person, 1, "NOTE", "Kept the ferry log.\nTwo winters."),
                            &person, nullptr, false);
    });
    ASSERT_NE(browser, nullptr);
    doc->undo().removeAllActions();
    NoTabTextView* note = nullptr;
    for (const auto& cell : browser->backgroundView().customCells())
        if (auto* view = dynamic_cast<QtCellView*>(cell->view()))
            if (auto* lines = qobject_cast<NoTabTextView*>(view->widget())) note = lines;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->toPlainText(), "Kept the ferry log.\nTwo winters.");
    EXPECT_GE(note->height(), 44);
    EXPECT_FALSE(note->isReadOnly());

    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    note->setFocus();
    note->selectAll();
    note->insertPlainText("Ferry\tlog\rsecond");
    QTest::keyClick(note, Qt::Key_Tab);
    settle();
    EXPECT_FALSE(note->hasFocus()) << "Tab moves on";
    auto stored = browser->theRecord()->findChild("NOTE", false);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->contents(), "Ferry    log\nsecond");
    EXPECT_EQ(EditMenu::undoTitle(doc->undo()), "Undo Text Cell Change");
    doc->undo().undo();
    settle();
    EXPECT_EQ(browser->theRecord()->findChild("NOTE", false)->contents(), "Kept the ferry log.\nTwo winters.");
    EXPECT_FALSE(doc->undo().canUndo()) << "the whole change, not the keystrokes";

    // The screenshot: the note and an open quick-comment editor over it.
    for (const auto& cell : browser->backgroundView().customCells())
        if (auto* view = dynamic_cast<QtCellView*>(cell->view()))
            if (auto* lines = qobject_cast<NoTabTextView*>(view->widget())) note = lines;
    std::unique_ptr<QMenu> menu(note->makeContextMenu());
    ASSERT_EQ(menu->actions().value(0)->text(), "Attach/Edit Memo");
    menu->actions().value(0)->trigger();
    settle();
    ASSERT_NE(browser->memoEditor(), nullptr);
    EXPECT_LT(browser->memoEditor()->y(), note->mapTo(browser->backgroundWidget(), QPoint()).y());
    browser->memoEditor()->insertPlainText("Told by her daughter");
    const auto shot = fs::path(KL_BINARY_DIR) / "typing-values.png";
    EXPECT_TRUE(browser->grab().save(QString::fromStdString(shot.string())));
}

TEST_F(Typing, AfterARebuildAShortAddressTakesTheFocusBackAndALongOneShowsAsALinkAgain) {
    struct Case {
        const char* person;
        const char* address;
        bool focusedAfter;
    } cases[] = {{"@I1@", "ab.io", true}, {"@I2@", "https://kinlore.example/vessland/marta", false}};
    BrowserController* browser = openWithReturn("@I1@", [&](GEDCOMRecord&) {
        for (const Case& c : cases) {
            auto person = doc->gedcomModel().recordWithID(c.person);
            person->addStructure(std::make_shared<GEDCOMStructure>(person.get(), 1, "WWW", c.address), person.get(),
                                 nullptr, false);
        }
    });
    ASSERT_NE(browser, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        selectRecord(*index, c.person);
        QTest::keyClick(index->recordsTable(), Qt::Key_Return);
        ASSERT_TRUE(test::processUntil([&] { return browser->theRecord()->grecordID() == c.person; }));
        settle();
        browser->activateWindow();
        settle();
        QLineEdit* address = field(*browser, "WWW", 1);
        ASSERT_NE(address, nullptr);
        // Alt-click: an address shown as a link becomes editable.
        QTest::mouseClick(address, Qt::LeftButton, Qt::AltModifier, QPoint(3, 3));
        address->setFocus();
        settle();
        ASSERT_TRUE(address->hasFocus());
        EXPECT_FALSE(address->isReadOnly());
        address->setCursorPosition(0);

        // Another window changes the record: the pane is built again.
        const int builds = browser->builds();
        auto person = browser->theRecord();
        person->addStructure(std::make_shared<GEDCOMStructure>(person.get(), 1, "OCCU", "Carter"), person.get(),
                             nullptr, false);
        ASSERT_TRUE(test::processUntil([&] { return browser->builds() > builds && !browser->needsReload(); }));
        settle();
        QLineEdit* rebuilt = field(*browser, "WWW", 1);
        ASSERT_NE(rebuilt, nullptr);
        EXPECT_EQ(rebuilt->hasFocus(), c.focusedAfter);
        EXPECT_EQ(rebuilt->isReadOnly(), !c.focusedAfter);
        if (c.focusedAfter) {
            EXPECT_EQ(rebuilt->cursorPosition(), rebuilt->text().size()) << "after the last character";
        }
    }
}

}  // namespace
}  // namespace kl
