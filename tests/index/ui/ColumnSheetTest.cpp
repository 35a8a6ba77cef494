#include "index/ui/ColumnSheet.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <vector>

#include "app/ui/UiTestSupport.h"
#include "document/IndexStyle.h"
#include "foundation/NotificationCenter.h"
#include "index/IndexTestSupport.h"

namespace kl {
namespace {

using test::Posted;

using test::processUntil;


const Dictionary kDefined{
    {"INDI", Array{"view", "Name", "BIRT.DATE.year", "Birth (year)", "NAME.surname", "Surname", "", "Custom expression"}},
    {"Descend", Array{"view", "Name", "DEAT.DATE", "Died", "", "Custom expression"}},
};

std::shared_ptr<IndexStyle> style(const std::string& type, const Array& columns) {
    return IndexStyle::indexStyleWith(columns, type);
}

std::shared_ptr<IndexStyle> indiStyle() {
    return style("INDI", Array{Dictionary{{"Label", "Name"}, {"Expression", "view"}},
                               Dictionary{{"Label", "Born"},
                                          {"Expression", "BIRT.DATE.year"},
                                          {"AltExpression", "NAME.surname"},
                                          {"Justification", "Center"},
                                          {"Width", 120}}});
}

QMessageBox* alertOn(QWidget& window) {
    const auto boxes = window.findChildren<QMessageBox*>();
    return boxes.isEmpty() ? nullptr : boxes.back();
}

void press(QMessageBox& box, const QString& title) {
    for (QAbstractButton* button : box.buttons())
        if (button->text() == title) return button->click();
    ADD_FAILURE() << "no button " << title.toStdString();
}

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    QWidget window;
    ColumnSheet* sheet = new ColumnSheet(&window);
    Posted posted;
};

TEST_F(SheetTest, EditingFillsTheFieldsFromTheColumnsStoredForm) {
    auto indi = indiStyle();
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kEditColumnTag, indi, 1, ColumnEditing::IndexTable, &kDefined,
                                  &window));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->sheetTitle()->text(), "Edit Existing Column Properties");
    EXPECT_EQ(sheet->columnName()->text(), "Born");
    EXPECT_EQ(sheet->columnExpression()->text(), "BIRT.DATE.year");
    EXPECT_EQ(sheet->columnAltExpression()->text(), "NAME.surname");
    EXPECT_EQ(sheet->columnWidth()->text(), "120");
    EXPECT_EQ(sheet->columnJustification()->currentText(), "Center");
    EXPECT_FALSE(sheet->chartLabelOptions()->isVisibleTo(sheet));
    ASSERT_EQ(sheet->samplesMenu()->count(), 4);
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 1);
    EXPECT_EQ(sheet->samplesMenu()->itemData(2, Qt::ToolTipRole).toString(), "NAME.surname");
}

TEST_F(SheetTest, EditWithoutAHighlightedColumnShowsNothing) {
    EXPECT_FALSE(sheet->startSheet(ColumnEditing::kEditColumnTag, indiStyle(), -1, 0, &kDefined, &window));
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SheetTest, AcceptWritesTheColumnAndAnnouncesIt) {
    auto indi = indiStyle();
    int written = -2;
    sheet->setColumnWritten([&](int column) { written = column; });
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kEditColumnTag, indi, 1, 0, &kDefined, &window));
    sheet->columnName()->setText("Year of birth");
    sheet->columnWidth()->setText("75");
    sheet->columnJustification()->setCurrentIndex(2);
    sheet->okButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(written, 1);
    const auto& c = indi->columns()[1];
    EXPECT_EQ(c.label, "Year of birth");
    EXPECT_EQ(c.width, 75);
    EXPECT_EQ(c.justify, IndexStyle::JustifyRight);
    EXPECT_EQ(c.altExpression, "NAME.surname");
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].name, "Index Style Changed Notification");
    EXPECT_EQ(posted.notes[0].userInfo.get("RecordType")->toString(), "INDI");
    EXPECT_EQ(posted.notes[0].userInfo.get("sortColumnIndex")->toInteger(), 1);
}

TEST_F(SheetTest, CancelAndEscapeChangeNothing) {
    auto indi = indiStyle();
    const Array before = indi->styleArray();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(sheet->startSheet(ColumnEditing::kAddColumnTag, indi, -1, 0, &kDefined, &window));
        sheet->columnExpression()->setText("NAME.given");
        if (round == 0) sheet->cancelButton()->click();
        else sheet->reject();
        EXPECT_FALSE(sheet->isVisible());
    }
    EXPECT_EQ(indi->styleArray(), before);
    EXPECT_TRUE(posted.notes.empty());
}

TEST_F(SheetTest, NewColumnFromASampleIsAppended) {
    auto indi = indiStyle();
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kAddColumnTag, indi, 1, 0, &kDefined, &window));
    EXPECT_EQ(sheet->sheetTitle()->text(), "Create New Column");
    EXPECT_EQ(sheet->columnName()->text(), "Column Title");
    EXPECT_EQ(sheet->columnWidth()->text(), "100");
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 3);
    sheet->selectSampleExpression(1, false);
    EXPECT_EQ(sheet->columnExpression()->text(), "BIRT.DATE.year");
    EXPECT_EQ(sheet->columnName()->text(), "Birth");
    sheet->selectSampleExpression(2, true);
    EXPECT_EQ(sheet->columnAltExpression()->text(), "NAME.surname");
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 1) << "the expression's sample stays selected";
    sheet->okButton()->click();
    ASSERT_EQ(indi->numberOfColumns(), 3u);
    EXPECT_EQ(indi->columns()[2].label, "Birth");
    EXPECT_EQ(indi->columns()[2].expression, "BIRT.DATE.year");
    EXPECT_EQ(indi->columns()[2].altExpression, "NAME.surname");
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].userInfo.get("sortColumnIndex")->toInteger(), -1);
}

TEST_F(SheetTest, TypingAnExpressionSelectsItsSample) {
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kAddColumnTag, indiStyle(), -1, 0, &kDefined, &window));
    sheet->columnExpression()->setFocus();
    sheet->columnExpression()->clear();
    for (QChar ch : QStringLiteral("NAME.surname")) {
        sheet->columnExpression()->insert(QString(ch));
        sheet->controlTextDidChange();
    }
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 2);
    sheet->columnExpression()->insert("x");
    sheet->controlTextDidChange();
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 3);
}

TEST_F(SheetTest, TreeModeArrangesTheFieldsAndStoresTheLabelOption) {
    auto tree = style("Descend", Array{Dictionary{{"Label", "Name"}, {"Expression", "view"}},
                                       Dictionary{{"Label", "\xC2\xB1" "Died"}, {"Expression", "DEAT.DATE"}}});
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kEditColumnTag, tree, 1, ColumnEditing::TreeTable, &kDefined,
                                  &window));
    EXPECT_FALSE(sheet->columnExpression()->isVisibleTo(sheet));
    EXPECT_TRUE(sheet->chartLabelOptions()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->chartLabelOptions()->currentIndex(), 3);
    EXPECT_EQ(sheet->columnName()->text(), "Died");
    EXPECT_EQ(sheet->columnAltExpression()->text(), "DEAT.DATE");
    EXPECT_EQ(sheet->samplesMenu()->currentIndex(), 1);
    sheet->chartLabelOptions()->setCurrentIndex(1);
    sheet->okButton()->click();
    EXPECT_EQ(tree->columns()[1].label, "+Died");
    EXPECT_EQ(tree->columns()[1].expression, "DEAT.DATE");
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].name, "Tree Style Changed Notification");
    EXPECT_EQ(posted.notes[0].userInfo.get("TreeType")->toString(), "Descend");
}

TEST_F(SheetTest, PortraitExpressionIsRefusedAndTheSheetStaysOpen) {
    auto indi = indiStyle();
    const Array before = indi->styleArray();
    ASSERT_TRUE(sheet->startSheet(ColumnEditing::kAddColumnTag, indi, -1, 0, &kDefined, &window));
    sheet->columnExpression()->setText("portrait");
    sheet->okButton()->click();
    EXPECT_TRUE(sheet->isVisible());
    QPointer<QMessageBox> box = alertOn(*sheet);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Invalid expression was entered");
    box->close();
    EXPECT_TRUE(processUntil([&] { return box.isNull(); }));
    EXPECT_EQ(indi->styleArray(), before);
    sheet->cancelButton()->click();
}

// ---- confirmations

class Confirmations : public ::testing::Test {
protected:
    void SetUp() override {
        f.open(test::people({"Ann", "Bob"}));
        f.index->addPredefinedColumn(AddColumnItem{"Surname", "NAME.surname", false});
        window.show();
    }
    test::IndexFixture f;
    QWidget window;
};

TEST_F(Confirmations, DeletingAColumnAsksFirst) {
    for (const char* answer : {"Cancel", "OK"}) {
        ColumnCommands::deleteIndexColumn(&window, *f.index, 1);
        QPointer<QMessageBox> box = alertOn(window);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), "Are you sure you want to delete the 'Surname' column?");
        EXPECT_EQ(box->informativeText(), "The column deletion cannot be undone");
        EXPECT_EQ(f.index->shownStyle()->numberOfColumns(), 2u) << "nothing goes before the answer";
        press(*box, answer);
        EXPECT_TRUE(processUntil([&] { return box.isNull(); }));
    }
    EXPECT_EQ(f.index->shownStyle()->label(), (std::vector<std::string>{"Record Name"}));
}

TEST_F(Confirmations, RevertingAsksThenTakesTheDefaultColumns) {
    const auto saved = AppController::resourcesFolder();
    AppController::setResourcesFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
    Posted posted;
    ColumnCommands::revertToDefaultColumns(&window, *f.index);
    QPointer<QMessageBox> box = alertOn(window);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Are you sure you want to revert to the default columns for these records?");
    EXPECT_EQ(box->informativeText(), "Reverting to default columns cannot be undone");
    press(*box, "OK");
    EXPECT_TRUE(processUntil([&] { return box.isNull(); }));
    const Array bundled = *AppController::readBundleDictionary("Index").get("INDI")->array();
    EXPECT_EQ(f.index->shownStyle()->styleArray(), IndexStyle::indexStyleWith(bundled, "INDI")->styleArray())
        << "the shown list has the bundled INDI columns";
    ASSERT_FALSE(posted.notes.empty());
    EXPECT_EQ(posted.notes.back().name, "Index Style Needs Reload Notification");
    AppController::setResourcesFolder(saved);
}

}  // namespace
}  // namespace kl
