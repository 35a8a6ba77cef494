// The record window's Detach, Delete, Change Sex, Restriction, marital
// status and Copy/Paste Event items, driven through its Records menu in the
// running program: each change is one undo step, and the questions asked
// before a change can be declined without changing anything.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserTestSupport.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "index/ui/SelectRecordController.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

constexpr const char* kFamily =
    "0 HEAD\n1 CHAR UTF-8\n1 SUBM @U1@\n"
    "0 @U1@ SUBM\n1 NAME Sam Submitter\n"
    "0 @I1@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Oakford\n1 FAMS @F1@\n1 NOTE @N1@\n"
    "0 @I2@ INDI\n1 NAME Tom /Lee/\n1 SEX M\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Kim /Lee/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1880\n1 FAMC @F1@\n"
    "0 @I4@ INDI\n1 NAME Ray /Ash/\n1 SEX M\n"
    "0 @I5@ INDI\n1 NAME Lou /Ash/\n1 FAMS @F2@\n"
    "0 @I6@ INDI\n1 NAME Eve /Ash/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n1 CHIL @I3@\n"
    "0 @F2@ FAM\n1 WIFE @I6@\n1 HUSB @I5@\n"
    "0 @N1@ NOTE Only Ann's note\n"
    "0 TRLR\n";

class RecordEditing : public BrowserWindows {
protected:
    BrowserController* openOn(const std::string& id) { return openOnly(window, kFamily, "family.ged", id); }
    static QAction* item(QMenu& menu, int tag) { return menuItem(menu, tag); }
    static QAction* item(BrowserController& browser, int tag) { return item(*browser.recordsMenu(), tag); }
    GEDCOMModel& model() { return doc->gedcomModel(); }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return model().recordWithID(id); }
    static void press(QMessageBox& box, const QString& title) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == title) return button->click();
        ADD_FAILURE() << "no button " << title.toStdString();
        box.close();
    }
    // Triggers the item, answering the question it asks with `button`.
    static void answering(QAction& action, const QString& button, QString* question = nullptr) {
        test::whenModal<QMessageBox>([button, question](QMessageBox& box) {
            if (question) *question = box.text();
            press(box, button);
        });
        action.trigger();
        settle();
    }

    IndexWindow* window = nullptr;
};

TEST_F(RecordEditing, ItemsAreEnabledAndTitledForTheShownRecord) {
    struct Case {
        const char* id;
        int tag;
        bool enabled;
        const char* title;  // nullptr: not checked
    };
    const Case cases[] = {
        {"@I1@", BrowserController::kDeleteRecordTag, true, "Delete Individual Record"},
        {"@U1@", BrowserController::kDeleteRecordTag, false, "Delete Record"},
        {"@I1@", BrowserController::kChangeSexTag, true, nullptr},
        {"@F1@", BrowserController::kChangeSexTag, false, nullptr},
        {"@F1@", BrowserController::kDetachHusbandTag, true, nullptr},
        {"@F1@", BrowserController::kDetachChildTag, true, nullptr},
        {"@F2@", BrowserController::kDetachChildTag, false, nullptr},
        {"@I1@", BrowserController::kDetachWifeTag, false, nullptr},
        {"@F1@", BrowserController::kMaritalStatusTag, true, "Not Married Status"},
        {"@N1@", BrowserController::kRestrictionTag, false, nullptr},
        {"@N1@", BrowserController::kCopyEventTag, false, nullptr},
    };
    for (const Case& c : cases) {
        BrowserController* browser = openOn(c.id);
        ASSERT_NE(browser, nullptr) << c.id;
        QAction* action = item(*browser, c.tag);
        ASSERT_NE(action, nullptr) << c.tag;
        EXPECT_EQ(action->isEnabled(), c.enabled) << c.id << " " << c.tag;
        if (c.title) {
            EXPECT_EQ(action->text().toStdString(), c.title) << c.id << " " << c.tag;
        }
    }
}

TEST_F(RecordEditing, DetachingAHusbandChangesBothSidesAsOneUndoStep) {
    BrowserController* browser = openOn("@F1@");
    ASSERT_NE(browser, nullptr);
    auto family = std::dynamic_pointer_cast<FAMRecord>(record("@F1@"));
    item(*browser, BrowserController::kDetachHusbandTag)->trigger();
    settle();
    EXPECT_TRUE(family->husbandID().empty());
    EXPECT_EQ(record("@I2@")->firstChildWithTag("FAMS"), nullptr);
    EXPECT_EQ(doc->undo().undoActionName(), "Detach Husband");
    doc->undo().undo();
    EXPECT_EQ(family->husbandID(), "@I2@");
    EXPECT_NE(record("@I2@")->firstChildWithTag("FAMS"), nullptr);
}

TEST_F(RecordEditing, DetachingTheOnlyLinkToANoteOffersToDeleteIt) {
    BrowserController* browser = openOn("@I1@");
    ASSERT_NE(browser, nullptr);
    auto person = record("@I1@");
    for (const char* answer : {"Cancel", "Yes"}) {
        item(*browser, BrowserController::kDetachEventTag)->trigger();
        settle();
        SelectRecordController* picker = browser->recordPicker();
        ASSERT_NE(picker, nullptr);
        ASSERT_TRUE(picker->isVisible());
        QAbstractItemModel* rows = picker->table()->model();
        int noteRow = -1;
        for (int r = 0; r < rows->rowCount(); ++r)
            for (int c = 0; c < rows->columnCount(); ++c)
                if (rows->index(r, c).data().toString().contains("Only Ann")) noteRow = r;
        ASSERT_GE(noteRow, 0) << "the note link is offered";
        picker->table()->selectRow(noteRow);
        QString question;
        test::whenModal<QMessageBox>([answer, &question](QMessageBox& box) {
            question = box.text();
            press(box, answer);
        });
        picker->chooseButton()->click();
        settle();
        EXPECT_TRUE(question.contains("Do you want to delete the Notes record too?")) << question.toStdString();
        if (std::string(answer) == "Cancel") {
            EXPECT_NE(person->firstChildWithTag("NOTE"), nullptr) << "Cancel changes nothing";
            EXPECT_NE(record("@N1@"), nullptr);
        }
    }
    EXPECT_EQ(person->firstChildWithTag("NOTE"), nullptr);
    EXPECT_EQ(record("@N1@"), nullptr) << "Yes deletes the note too";
    EXPECT_EQ(doc->undo().undoActionName(), "Detach Event/Attribute/Link");
    doc->undo().undo();
    settle();
    EXPECT_NE(person->firstChildWithTag("NOTE"), nullptr);
    EXPECT_NE(record("@N1@"), nullptr) << "one undo brings back the link and the note";
}

TEST_F(RecordEditing, ChangingSexAsksOnlyWhereFamiliesWouldChange) {
    // An unmarried man swaps at once.
    BrowserController* browser = openOn("@I4@");
    ASSERT_NE(browser, nullptr);
    item(*browser, BrowserController::kChangeSexTag)->trigger();
    settle();
    EXPECT_EQ(std::static_pointer_cast<INDIRecord>(record("@I4@"))->sex(), "F");
    EXPECT_EQ(doc->undo().undoActionName(), "Changed Sex");

    // A married man is asked first; Cancel keeps him as he is.
    browser = openOn("@I2@");
    ASSERT_NE(browser, nullptr);
    QString question;
    answering(*item(*browser, BrowserController::kChangeSexTag), "Cancel", &question);
    EXPECT_EQ(question.toStdString(), "Do you want to change the current individual's sex to female?");
    EXPECT_EQ(std::static_pointer_cast<INDIRecord>(record("@I2@"))->sex(), "M");

    // Unknown sex, married only to a woman: male, without a question.
    browser = openOn("@I5@");
    ASSERT_NE(browser, nullptr);
    item(*browser, BrowserController::kChangeSexTag)->trigger();
    settle();
    EXPECT_EQ(std::static_pointer_cast<INDIRecord>(record("@I5@"))->sex(), "M");
}

TEST_F(RecordEditing, TheRestrictionSheetStartsAtTheCurrentRestriction) {
    BrowserController* browser = openOn("@I1@");
    ASSERT_NE(browser, nullptr);
    item(*browser, BrowserController::kRestrictionTag)->trigger();
    settle();
    auto* none = browser->findChild<QRadioButton*>("restriction0");
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->isChecked());
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "restriction-sheet.png";
    EXPECT_TRUE(none->window()->grab().save(QString::fromStdString(path.string())));
    browser->findChild<QRadioButton*>("restriction2")->setChecked(true);
    auto* dialog = qobject_cast<QDialog*>(none->window());
    ASSERT_NE(dialog, nullptr);
    dialog->accept();
    settle();
    EXPECT_TRUE(record("@I1@")->isLocked());
    EXPECT_EQ(doc->undo().undoActionName(), "Changed Restriction");
    // A locked record's window refuses the changing commands.
    EXPECT_FALSE(item(*browser, BrowserController::kChangeSexTag)->isEnabled());
    EXPECT_FALSE(item(*browser, BrowserController::kDeleteRecordTag)->isEnabled());
}

TEST_F(RecordEditing, TheMaritalStatusItemTogglesAndRetitles) {
    BrowserController* browser = openOn("@F1@");
    ASSERT_NE(browser, nullptr);
    auto family = std::dynamic_pointer_cast<FAMRecord>(record("@F1@"));
    item(*browser, BrowserController::kMaritalStatusTag)->trigger();
    settle();
    EXPECT_TRUE(family->isUnmarried());
    EXPECT_EQ(doc->undo().undoActionName(), "Changed Marital Status");
    EXPECT_EQ(item(*browser, BrowserController::kMaritalStatusTag)->text().toStdString(), "Married Status");
}

TEST_F(RecordEditing, DeletingTheRecordClosesItsWindow) {
    BrowserController* browser = openOn("@I4@");
    ASSERT_NE(browser, nullptr);
    item(*browser, BrowserController::kDeleteRecordTag)->trigger();
    ASSERT_TRUE(test::processUntil([&] { return record("@I4@") == nullptr && browsers(*window).empty(); }));
    EXPECT_EQ(doc->undo().undoActionName(), "Delete Record");
}

TEST_F(RecordEditing, AnEventCopiedFromItsDateIsPastedWithTheAgeWorkedOutAgain) {
    BrowserController* browser = openOn("@I1@");
    ASSERT_NE(browser, nullptr);
    CustomCell* date = nullptr;
    for (const auto& cell : browser->backgroundView().customCells())
        if (auto s = cell->structure(); s && s->gtag() == "DATE" && cell->text() != "") date = cell.get();
    ASSERT_NE(date, nullptr);
    // Give Ann's birth an age so the paste has one to work out again.
    auto birth = record("@I1@")->firstChildWithTag("BIRT");
    birth->addLevel(2, "AGE", "0");
    browser->activateWindow();
    date->view()->takeFocus();
    settle();
    item(*browser, BrowserController::kCopyEventTag)->trigger();
    settle();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasFormat("GEDCOMStructurePBoardType"));
    EXPECT_TRUE(copied->text().startsWith("1 BIRT")) << copied->text().toStdString();

    // Kim was born in 1880: the event of 1900 finds him 20.
    browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    QAction* paste = item(*browser, BrowserController::kPasteEventTag);
    ASSERT_TRUE(paste->isEnabled());
    paste->trigger();
    settle();
    auto kim = record("@I3@");
    const auto births = kim->findAllChildren("BIRT");
    ASSERT_EQ(births.size(), 2u);
    EXPECT_EQ(births[1]->findContentsWithTag("AGE", 2), "20");
    EXPECT_EQ(births[1]->findContentsWithTag("PLAC", 2), "Oakford");
    EXPECT_EQ(doc->undo().undoActionName(), "Paste Event");

    // A family takes no individual's birth.
    browser = openOn("@F2@");
    ASSERT_NE(browser, nullptr);
    QString alert;
    test::whenModal<QMessageBox>([&alert](QMessageBox& box) {
        alert = box.informativeText();
        box.close();
    });
    item(*browser, BrowserController::kPasteEventTag)->trigger();
    // The refusal is a sheet on the window, so it comes up after the command has returned.
    test::processUntil([&alert] { return !alert.isEmpty(); });
    EXPECT_EQ(alert.toStdString(), "Events of type BIRT are not allowed in Family records.");
    EXPECT_TRUE(record("@F2@")->findAllChildren("BIRT").empty());
}

}  // namespace
}  // namespace kl
