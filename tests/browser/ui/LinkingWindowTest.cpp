// The record window's Records ▸ Attach and Sort items and record drops,
// driven as the user reaches them in the running program: the pickers they
// open, the records they make and link, and the sheets and refusals.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "browser/RecordLinking.h"
#include "browser/ui/BrowserTestSupport.h"
#include "cells/EditValueCell.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "foundation/UndoManager.h"
#include "index/ui/SelectRecordController.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

constexpr const char* kFamily =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Tom /Lee/\n1 SEX M\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Kim /Ash/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1950\n"
    "0 @I4@ INDI\n1 NAME Eve /Ash/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n"
    "0 @F2@ FAM\n1 WIFE @I4@\n"
    "0 @S1@ SOUR\n1 TITL Parish book\n"
    "0 @N1@ NOTE A short note\n"
    "0 TRLR\n";

class LinkingWindows : public BrowserWindows {
protected:
    BrowserController* openOn(const std::string& id) { return openOnly(window, kFamily, "linking.ged", id); }
    static QAction* item(QMenu& menu, int tag) { return menuItem(menu, tag); }
    static QAction* item(BrowserController& browser, int tag) { return item(*browser.recordsMenu(), tag); }
    // Triggers the enabled item and waits for the picker.
    static SelectRecordController* pick(BrowserController& browser, int tag) {
        QAction* action = item(browser, tag);
        EXPECT_TRUE(action && action->isEnabled()) << tag;
        if (!action || !action->isEnabled()) return nullptr;
        action->trigger();
        settle();
        SelectRecordController* picker = browser.recordPicker();
        if (!picker || !test::processUntil([&] { return picker->isVisible(); })) return nullptr;
        return picker;
    }
    static std::vector<std::string> rows(SelectRecordController& picker) {
        std::vector<std::string> all;
        QAbstractItemModel* model = picker.table()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            std::string row;
            for (int c = 0; c < model->columnCount(); ++c) row += model->index(r, c).data().toString().toStdString() + "|";
            all.push_back(row);
        }
        return all;
    }
    static void chooseRowWith(SelectRecordController& picker, const std::string& text) {
        const auto all = rows(picker);
        for (std::size_t r = 0; r < all.size(); ++r)
            if (all[r].find(text) != std::string::npos) {
                picker.table()->selectRow(int(r));
                picker.chooseButton()->click();
                settle();
                return;
            }
        ADD_FAILURE() << "no row with " << text;
    }
    GEDCOMModel& model() { return doc->gedcomModel(); }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return model().recordWithID(id); }
    std::string lastUndo() { return doc->undo().undoActionName(); }

    IndexWindow* window = nullptr;
};

TEST_F(LinkingWindows, AttachItemsReadForTheShownRecord) {
    struct Case {
        const char* id;
        int tag;
        bool enabled;
        const char* title;
    };
    const Case cases[] = {
        {"@F1@", RecordLinking::kAttachHusbandTag, false, "Husband..."},
        {"@F2@", RecordLinking::kAttachHusbandTag, true, "Husband..."},
        {"@F2@", RecordLinking::kAttachWifeTag, true, "Female Partner..."},
        {"@I3@", RecordLinking::kAttachWifeTag, false, "As Wife in New Family"},
        {"@S1@", RecordLinking::kAttachHusbandTag, true, "Link From Individual..."},
    };
    for (const Case& c : cases) {
        BrowserController* browser = openOn(c.id);
        ASSERT_NE(browser, nullptr) << c.id;
        QAction* action = item(*browser, c.tag);
        ASSERT_NE(action, nullptr) << c.tag;
        EXPECT_EQ(action->isEnabled(), c.enabled) << c.id << " " << c.tag;
        EXPECT_EQ(action->text().toStdString(), c.title) << c.id;
    }
}

TEST_F(LinkingWindows, AHusbandForAnIndividualMakesAFamilyThatOpens) {
    BrowserController* browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    const std::size_t families = model().numberOfType("FAM");
    item(*browser, RecordLinking::kAttachHusbandTag)->trigger();
    ASSERT_TRUE(test::processUntil([&] {
        for (BrowserController* b : browsers(*window))
            if (b->theRecord() && b->theRecord()->isType("FAM") && b->builds() > 0) return true;
        return false;
    }));
    EXPECT_EQ(model().numberOfType("FAM"), families + 1);
    EXPECT_EQ(lastUndo(), "Attach Husband in New Family");
    auto person = std::dynamic_pointer_cast<INDIRecord>(record("@I3@"));
    ASSERT_TRUE(person->firstChildWithTag("FAMS"));
}

TEST_F(LinkingWindows, AFamilyPicksOnlyMenAndMakesANamedNewMale) {
    BrowserController* browser = openOn("@F2@");
    ASSERT_NE(browser, nullptr);
    SelectRecordController* picker = pick(*browser, RecordLinking::kAttachHusbandTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->message()->text(), "Select male to attach as a husband");
    const auto offered = rows(*picker);
    EXPECT_EQ(offered.size(), 2u);
    for (const auto& row : offered) EXPECT_EQ(row.find("Eve"), std::string::npos) << row;
    ASSERT_TRUE(picker->newRecordButton()->isVisible());
    EXPECT_EQ(picker->newRecordButton()->text(), "New Male");
    picker->findField()->setText("Ash, Roy");
    picker->newRecordButton()->click();
    settle();
    auto family = std::dynamic_pointer_cast<FAMRecord>(record("@F2@"));
    auto husband = family->husbandRecord();
    ASSERT_TRUE(husband);
    EXPECT_EQ(husband->sex(), "M");
    EXPECT_EQ(husband->surname(), "Ash");
    EXPECT_EQ(lastUndo(), "Attach Husband");
}

TEST_F(LinkingWindows, TheChildPickerStartsWithTheSurnameAndMakesDaughters) {
    BrowserController* browser = openOn("@F1@");
    ASSERT_NE(browser, nullptr);
    SelectRecordController* picker = pick(*browser, RecordLinking::kAttachChildTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->findField()->text(), "Lee, ");
    EXPECT_EQ(picker->recordActionButton()->text(), "Daughter");
    picker->findField()->setText("Lee, May");
    picker->recordActionButton()->click();
    settle();
    auto family = std::dynamic_pointer_cast<FAMRecord>(record("@F1@"));
    const auto children = family->children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0]->sex(), "F");
    EXPECT_EQ(lastUndo(), "Attach Child");
}

TEST_F(LinkingWindows, ANoteLinkOffersTheNotesAndLinksTheChosenOne) {
    useTemplate("INDI Record Editing.txt", "Cell static \"Person\"\nDroptypes NOTE SOUR\n");
    BrowserController* browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(item(*browser, RecordLinking::kLinkLogTag)->isEnabled()) << "no _LOG in the template's drop types";
    SelectRecordController* picker = pick(*browser, RecordLinking::kLinkNotesTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->message()->text(), "Link to existing or new notes");
    chooseRowWith(*picker, "A short note");
    EXPECT_TRUE(record("@I3@")->hasLink("NOTE", "@N1@"));
    EXPECT_EQ(lastUndo(), "Attached Notes");
}

TEST_F(LinkingWindows, DroppedRecordsOfAcceptedTypesAreLinked) {
    useTemplate("INDI Record Editing.txt", "Cell static \"Person\"\nDroptypes SOUR\n");
    BrowserController* browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    const auto drop = [&](const std::string& key, std::vector<std::string> ids, Qt::DropActions actions) {
        QMimeData data;
        data.setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag({key, std::move(ids)})));
        const QPointF at(browser->width() / 2.0, browser->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(browser, &enter);
        const bool accepted = enter.isAccepted();
        if (accepted) {
            QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(browser, &dropped);
            settle();
        }
        return accepted;
    };
    const std::string key = documentKeyFor(doc);
    EXPECT_FALSE(drop("0xother", {"@S1@"}, Qt::CopyAction)) << "another document's records";
    EXPECT_FALSE(drop(key, {"@N1@"}, Qt::CopyAction)) << "a type the template does not take";
    EXPECT_TRUE(drop(key, {"@N1@", "@S1@"}, Qt::CopyAction | Qt::LinkAction));
    EXPECT_TRUE(record("@I3@")->hasLink("SOUR", "@S1@"));
    EXPECT_FALSE(record("@I3@")->hasLink("NOTE", "@N1@"));
    EXPECT_EQ(lastUndo(), "Dropped Record(s)");
}

TEST_F(LinkingWindows, TheAssociationSheetLinksARecordOfTheChosenType) {
    BrowserController* browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    item(*browser, RecordLinking::kAssociationTag)->trigger();
    settle();
    auto* sheet = browser->findChild<QDialog*>("AssociationSheet");
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return sheet->isVisible(); }));
    auto* types = sheet->findChild<QComboBox*>("recordTypes");
    ASSERT_NE(types, nullptr);
    EXPECT_TRUE(sheet->grab().save(
        QString::fromStdString((std::filesystem::path(KL_BINARY_DIR) / "association-sheet.png").string())));
    // Types without records are off; individuals are on.
    auto* items = static_cast<QStandardItemModel*>(types->model());
    int individuals = -1;
    for (int row = 0; row < items->rowCount(); ++row) {
        if (items->item(row)->text() == "Repository") {
            EXPECT_FALSE(items->item(row)->isEnabled());
        }
        if (items->item(row)->text() == "Individual") individuals = row;
    }
    ASSERT_GE(individuals, 0);
    EXPECT_TRUE(items->item(individuals)->isEnabled());
    types->setCurrentIndex(individuals);
    sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    settle();
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_TRUE(picker && test::processUntil([&] { return picker->isVisible(); }));
    EXPECT_EQ(picker->message()->text(), "Association link to existing individual record");
    chooseRowWith(*picker, "Eve");
    EXPECT_TRUE(record("@I3@")->hasLink("ASSO", "@I4@"));

    // The same record again is refused with an alert on the window.
    item(*browser, RecordLinking::kAssociationTag)->trigger();
    settle();
    sheet = browser->findChild<QDialog*>("AssociationSheet");
    ASSERT_TRUE(sheet && test::processUntil([&] { return sheet->isVisible(); }));
    sheet->findChild<QComboBox*>("recordTypes")->setCurrentIndex(individuals);
    sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    settle();
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    chooseRowWith(*picker, "Eve");
    QMessageBox* alert = nullptr;
    ASSERT_TRUE(test::processUntil([&] { return (alert = browser->findChild<QMessageBox*>()) != nullptr; }));
    EXPECT_EQ(alert->text(), "The selected record could not be linked.");
    alert->close();
    EXPECT_EQ(record("@I3@")->findAllStructuresWithTag("ASSO", std::nullopt).size(), 1u);
}

TEST_F(LinkingWindows, SortsAndOptionalDataOfTheTemplate) {
    useTemplate("FAM Record Editing.txt", "Cell static \"Family\"\nOptionaltag NCHI \"Number of children\" 2\n");
    BrowserController* browser = openOn("@F1@");
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(item(*browser, SortChildren)->isEnabled()) << "no children";
    EXPECT_TRUE(item(*browser, SortEvents)->isEnabled());
    SelectRecordController* picker = pick(*browser, RecordLinking::kOptionalDataTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->message()->text(), "Select optional data to attach");
    chooseRowWith(*picker, "Number of children");
    const auto line = record("@F1@")->firstChildWithTag("NCHI");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->contents(), "2");
    EXPECT_EQ(lastUndo(), "Attach Optional Data");

    // The focused field (the first, holding the unique ID shown below the
    // template's cells) takes a quick comment from the menu.
    QWidget* field = nullptr;
    for (const auto& cell : browser->backgroundView().customCells())
        if (dynamic_cast<EditValueCell*>(cell.get()) && !cell->text().empty())
            if (auto* view = dynamic_cast<WidgetCellView*>(cell->view())) field = view->widget();
    ASSERT_NE(field, nullptr);
    browser->activateWindow();
    field->setFocus();
    settle();
    QAction* comment = item(*browser, RecordLinking::kQuickCommentTag);
    ASSERT_TRUE(comment->isEnabled());
    comment->trigger();
    ASSERT_TRUE(test::processUntil([&] { return browser->memoEditor() && browser->memoEditor()->isVisible(); }));
    browser->memoEditor()->close();
    settle();

    // A template without optional data says so.
    useTemplate("FAM Record Editing.txt", "Cell static \"Family\"\n");
    browser = openOn("@F2@");
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(item(*browser, RecordLinking::kOptionalDataTag)->isEnabled());
}

TEST_F(LinkingWindows, EventsOfTheFormatAndLinksFromIndividualsAreAttached) {
    BrowserController* browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    SelectRecordController* picker = pick(*browser, RecordLinking::kAttachEventTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->message()->text(), "Select individual event or attribute to attach");
    ASSERT_GT(picker->table()->model()->rowCount(), 0);
    // Lines but the change date, which the first change adds.
    const auto lines = [&] {
        const auto& all = record("@I3@")->structures();
        return std::count_if(all.begin(), all.end(), [](const auto& line) { return line->gtag() != "CHAN"; });
    };
    const auto before = lines();
    picker->table()->selectRow(0);
    picker->chooseButton()->click();
    settle();
    EXPECT_EQ(lines(), before + 1);
    EXPECT_EQ(lastUndo(), "Attach Event or Attribute");

    // On a source the husband item links an individual to it.
    browser = openOn("@S1@");
    ASSERT_NE(browser, nullptr);
    picker = pick(*browser, RecordLinking::kAttachHusbandTag);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->message()->text(), "Select individual to link to this record");
    chooseRowWith(*picker, "Kim");
    EXPECT_TRUE(record("@I3@")->hasLink("SOUR", "@S1@"));
    EXPECT_EQ(lastUndo(), "Attach Link from Record");
}

TEST_F(LinkingWindows, ADroppedWebAddressBecomesALinkedMultimediaRecord) {
    BrowserController* browser = nullptr;
    const auto drop = [&] {
        QMimeData data;
        data.setUrls({QUrl("https://example.org/mill.png")});
        const QPointF at(browser->width() / 2.0, browser->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(browser, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(browser, &dropped);
        settle();
        return true;
    };
    useTemplate("INDI Record Editing.txt", "Cell static \"Person\"\nDroptypes SOUR\n");
    browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(drop()) << "the template takes no multimedia";
    useTemplate("INDI Record Editing.txt", "Cell static \"Person\"\nDroptypes OBJE\n");
    browser = openOn("@I3@");
    ASSERT_NE(browser, nullptr);
    const std::size_t objects = model().numberOfType("OBJE");
    ASSERT_TRUE(drop());
    EXPECT_EQ(model().numberOfType("OBJE"), objects + 1);
    const auto link = record("@I3@")->firstChildWithTag("OBJE");
    ASSERT_TRUE(link);
    EXPECT_TRUE(record(link->contents()));
    EXPECT_EQ(lastUndo(), "Drop Multimedia Files or URLs");
}

}  // namespace
}  // namespace kl
