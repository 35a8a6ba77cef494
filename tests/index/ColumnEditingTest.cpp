#include "index/ColumnEditing.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/NotificationCenter.h"
#include "index/IndexController.h"
#include "index/IndexTestSupport.h"

namespace kl {
namespace {

using test::Posted;


const Dictionary kDefined{
    {"INDI", Array{"view", "Name", "BIRT.DATE.year", "Birth (year)", "NAME.surname", "Surname", "", "Custom expression"}},
    {"Ancest", Array{"view", "Name", "BIRT.DATE", "Born", "", "Custom expression"}},
};

std::shared_ptr<IndexStyle> indiStyle() {
    return IndexStyle::indexStyleWith(
        Array{Dictionary{{"Label", "Name"}, {"Expression", "view"}},
              Dictionary{{"Label", "Born"}, {"Expression", "BIRT.DATE.year"}, {"AltExpression", "NAME.surname"},
                         {"Justification", "Right"}, {"Width", 120}}},
        "INDI");
}

std::shared_ptr<IndexStyle> treeStyle() {
    return IndexStyle::indexStyleWith(Array{Dictionary{{"Label", "Name"}, {"Expression", "view"}},
                                            Dictionary{{"Label", "\xC2\xB1" "Born"}, {"Expression", "BIRT.DATE"},
                                                       {"Justification", "Center"}, {"Width", 90}}},
                                      "Ancest");
}

ColumnEditing edit(std::shared_ptr<IndexStyle> style, int column, int32_t type = ColumnEditing::IndexTable) {
    auto sheet = ColumnEditing::startSheet(ColumnEditing::kEditColumnTag, std::move(style), column, type, &kDefined);
    EXPECT_TRUE(sheet.has_value());
    return *sheet;
}

TEST(ColumnSheetOpening, EditTagNeedsAHighlightedColumnOtherTagsMakeANewOne) {
    auto style = indiStyle();
    EXPECT_FALSE(ColumnEditing::startSheet(ColumnEditing::kEditColumnTag, style, -1, 0, &kDefined));
    EXPECT_FALSE(ColumnEditing::startSheet(ColumnEditing::kEditColumnTag, style, 2, 0, &kDefined));
    EXPECT_FALSE(ColumnEditing::startSheet(ColumnEditing::kAddColumnTag, nullptr, -1, 0, &kDefined));
    for (int tag : {ColumnEditing::kAddColumnTag, 0}) {
        auto sheet = ColumnEditing::startSheet(tag, style, 1, 0, &kDefined);
        ASSERT_TRUE(sheet);
        EXPECT_TRUE(sheet->isNewColumn()) << tag;
        EXPECT_FALSE(sheet->styleDict());
    }
    EXPECT_EQ(edit(style, 1).styleDict()->get("Label")->toString(), "Born");
}

TEST(ColumnSheetFields, EditingAnIndexColumnShowsItsStoredForm) {
    const ColumnSheetFields f = edit(indiStyle(), 1).fields();
    EXPECT_EQ(f.sheetTitle, "Edit Existing Column Properties");
    EXPECT_EQ(f.name, "Born");
    EXPECT_EQ(f.expression, "BIRT.DATE.year");
    EXPECT_EQ(f.altExpression, "NAME.surname");
    EXPECT_EQ(f.width, "120");
    EXPECT_EQ(f.justification, 2) << "Right is the third pop-up item";
    EXPECT_EQ(f.sample, 1) << "the sample with the column's expression";
}

TEST(ColumnSheetFields, NewColumnStartsBlankOnTheLastSample) {
    auto sheet = ColumnEditing::startSheet(ColumnEditing::kAddColumnTag, indiStyle(), 1, 0, &kDefined);
    const ColumnSheetFields f = sheet->fields();
    EXPECT_EQ(f.sheetTitle, "Create New Column");
    EXPECT_EQ(f.name, "Column Title");
    EXPECT_EQ(f.expression, "");
    EXPECT_EQ(f.altExpression, "");
    EXPECT_EQ(f.width, "100");
    EXPECT_EQ(f.justification, 0);
    EXPECT_EQ(f.sample, 3);
    ASSERT_EQ(sheet->samples().size(), 4u);
    EXPECT_FALSE(sheet->samples()[0].checked) << "samples never mark shown columns";
    EXPECT_EQ(sheet->samples()[1].expression, "BIRT.DATE.year");
}

TEST(ColumnSheetFields, JustificationPopUpOrderDiffersFromTheStyles) {
    struct Case {
        int32_t style;
        int item;
        const char* word;
    };
    for (const Case c : {Case{IndexStyle::JustifyLeft, 0, "Left"}, Case{IndexStyle::JustifyRight, 2, "Right"},
                         Case{IndexStyle::JustifyCenter, 1, "Center"}}) {
        EXPECT_EQ(ColumnEditing::justificationItem(c.style), c.item) << c.word;
        EXPECT_EQ(ColumnEditing::styleJustification(c.item), c.style) << c.word;
        EXPECT_EQ(ColumnEditing::justificationWord(c.item), c.word);
    }
}

TEST(ColumnSheetFields, TreeColumnTitleGivesItsChartLabelOption) {
    struct Case {
        const char* title;
        int option;
        const char* shown;
    };
    for (const Case c : {Case{"\xC2\xB1" "Born", 3, "Born"}, Case{"-Died", 2, "Died"}, Case{"+Name", 1, "Name"},
                         Case{"Name", 0, "Name"}, Case{"", 0, ""}}) {
        const auto [option, shown] = ColumnEditing::chartLabelOption(c.title);
        EXPECT_EQ(option, c.option) << c.title;
        EXPECT_EQ(shown, c.shown) << c.title;
        EXPECT_EQ(ColumnEditing::chartLabelTitle(option, shown), c.title);
    }
}

TEST(ColumnSheetFields, TreeModeHoldsTheExpressionInTheAlternateField) {
    const ColumnSheetFields f = edit(treeStyle(), 1, ColumnEditing::TreeTable).fields();
    EXPECT_EQ(f.chartLabel, 3);
    EXPECT_EQ(f.name, "Born");
    EXPECT_EQ(f.expression, "");
    EXPECT_EQ(f.altExpression, "BIRT.DATE");
    EXPECT_EQ(f.justification, 1);
    EXPECT_EQ(f.width, "90");
    EXPECT_EQ(f.sample, 1);
}

TEST(ColumnSheetSamples, MatchingAndChoosing) {
    auto sheet = edit(indiStyle(), 1);
    ColumnSheetFields f = sheet.fields();
    f.expression = "NAME.surname";
    EXPECT_EQ(sheet.selectExpressionInMenu(f), 2);
    f.expression = "NAME.given";
    EXPECT_EQ(sheet.selectExpressionInMenu(f), 3) << "no match selects the last sample";

    sheet.selectSampleExpression(f, 1, false);
    EXPECT_EQ(f.expression, "BIRT.DATE.year");
    EXPECT_EQ(f.name, "Birth") << "the title stops before \" (\"";
    EXPECT_EQ(f.sample, 1);

    sheet.selectSampleExpression(f, 2, true);
    EXPECT_EQ(f.altExpression, "NAME.surname") << "Option fills the alternate expression";
    EXPECT_EQ(f.expression, "BIRT.DATE.year");
    EXPECT_EQ(f.name, "Birth");
    EXPECT_EQ(f.sample, 1) << "the sample of the expression stays selected";

    sheet.selectSampleExpression(f, 9, false);
    EXPECT_EQ(f.expression, "BIRT.DATE.year") << "an item past the samples changes nothing";
}

TEST(ColumnSheetSamples, TreeModeFillsTheAlternateFieldWithOrWithoutOption) {
    auto sheet = edit(treeStyle(), 0, ColumnEditing::TreeTable);
    for (bool option : {false, true}) {
        ColumnSheetFields f = sheet.fields();
        sheet.selectSampleExpression(f, 1, option);
        EXPECT_EQ(f.altExpression, "BIRT.DATE") << option;
        EXPECT_EQ(f.expression, "") << option;
        EXPECT_EQ(f.name, "Born") << option;
    }
}

TEST(ColumnSheetOK, PortraitExpressionIsRefused) {
    auto sheet = edit(indiStyle(), 1);
    ColumnSheetFields f = sheet.fields();
    EXPECT_FALSE(sheet.editColumnPanelDone(f));
    f.expression = "OBJE.portrait";
    auto refusal = sheet.editColumnPanelDone(f);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, "Invalid expression was entered");
    EXPECT_EQ(refusal->informative,
              "To create a column with a 'portrait' expression, use the 'Show Portrait Column' menu command instead.");

    auto tree = edit(treeStyle(), 1, ColumnEditing::TreeTable);
    ColumnSheetFields t = tree.fields();
    t.altExpression = "portrait";
    EXPECT_TRUE(tree.editColumnPanelDone(t)) << "in tree mode the alternate field is the expression";
}

TEST(ColumnSheetApply, EditingWritesTheColumnAndAnnouncesItsIndex) {
    Posted posted;
    auto style = indiStyle();
    auto sheet = edit(style, 1);
    ColumnSheetFields f = sheet.fields();
    f.name = "Birth year";
    f.expression = "BIRT.DATE";
    f.altExpression = "";
    f.width = "80";
    f.justification = 1;
    EXPECT_EQ(sheet.columnEditingDidEnd(f), 1);
    const Dictionary stored = style->styleForColumn(1);
    EXPECT_EQ(stored.get("Label")->toString(), "Birth year");
    EXPECT_EQ(stored.get("Expression")->toString(), "BIRT.DATE");
    EXPECT_EQ(stored.get("AltExpression")->toString(), "");
    EXPECT_EQ(stored.get("Justification")->toString(), "Center");
    EXPECT_EQ(stored.get("Width")->toInteger(), 80);
    EXPECT_EQ(style->numberOfColumns(), 2u);
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].name, "Index Style Changed Notification");
    EXPECT_EQ(posted.notes[0].object, nullptr);
    EXPECT_EQ(posted.notes[0].userInfo.get("RecordType")->toString(), "INDI");
    EXPECT_EQ(posted.notes[0].userInfo.get("sortColumnIndex")->toInteger(), 1);
}

TEST(ColumnSheetApply, NewColumnIsAppendedAndAnnouncedWithoutASortColumn) {
    Posted posted;
    auto style = indiStyle();
    auto sheet = ColumnEditing::startSheet(ColumnEditing::kAddColumnTag, style, 1, 0, &kDefined);
    ColumnSheetFields f = sheet->fields();
    sheet->selectSampleExpression(f, 2, false);
    f.width = "7";
    EXPECT_EQ(sheet->columnEditingDidEnd(f), -1);
    ASSERT_EQ(style->numberOfColumns(), 3u);
    EXPECT_EQ(style->columns()[2].label, "Surname");
    EXPECT_EQ(style->columns()[2].expression, "NAME.surname");
    EXPECT_EQ(style->columns()[2].width, 10) << "a width of 10 or less is stored as 10";
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].userInfo.get("sortColumnIndex")->toInteger(), -1);
}

TEST(ColumnSheetApply, TreeColumnKeepsItsLabelOptionAndAnnouncesTheTree) {
    Posted posted;
    auto style = treeStyle();
    auto sheet = edit(style, 1, ColumnEditing::TreeTable);
    ColumnSheetFields f = sheet.fields();
    f.chartLabel = 1;
    sheet.columnEditingDidEnd(f);
    EXPECT_EQ(style->columns()[1].label, "+Born");
    EXPECT_EQ(style->columns()[1].expression, "BIRT.DATE");
    EXPECT_EQ(style->columns()[1].altExpression, "");
    ASSERT_EQ(posted.notes.size(), 1u);
    EXPECT_EQ(posted.notes[0].name, "Tree Style Changed Notification");
    EXPECT_EQ(posted.notes[0].userInfo.get("TreeType")->toString(), "Ancest");
    EXPECT_FALSE(posted.notes[0].userInfo.contains("RecordType"));
}

TEST(ColumnSheetApply, ColumnsChangedBehindTheSheetKeepTheEditOnItsColumn) {
    // Another window changed the same style while the sheet was open.
    auto moved = indiStyle();
    auto sheet = edit(moved, 1);
    moved->deleteColumn(0);
    ColumnSheetFields f = sheet.fields();
    f.width = "64";
    EXPECT_EQ(sheet.columnEditingDidEnd(f), 0) << "found again by its title and expression";
    EXPECT_EQ(moved->numberOfColumns(), 1u);
    EXPECT_EQ(moved->columns()[0].width, 64);

    auto gone = indiStyle();
    auto second = edit(gone, 0);
    gone->deleteColumn(0);
    ColumnSheetFields g = second.fields();
    g.name = "Everyone";
    EXPECT_EQ(second.columnEditingDidEnd(g), -1);
    ASSERT_EQ(gone->numberOfColumns(), 2u);
    EXPECT_EQ(gone->columns()[0].label, "Born") << "the neighbour is not written over";
    EXPECT_EQ(gone->columns()[1].label, "Everyone");
}

TEST(ColumnSheetWidth, LeadingIntegerOfTheText) {
    const std::pair<const char*, int32_t> cases[] = {
        {"120", 120},   {" 42px", 42}, {"abc", 0}, {"", 0}, {"-5", -5}, {"+7", 7},
        {"99999999999999999999", std::numeric_limits<int32_t>::max()}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ColumnEditing::widthValue(text), value) << text;
}

// ---- reverting to the default columns

struct Revert : ::testing::Test {
    test::IndexFixture f;
    Posted posted;
    void SetUp() override { f.open(test::people({"Ann", "Bob"})); }
};

TEST_F(Revert, RecordTypeTakesItsBundledColumns) {
    f.index->addPredefinedColumn(AddColumnItem{"Surname", "NAME.surname", false});
    const Dictionary bundled{
        {"INDI", Array{Dictionary{{"Label", "Given"}, {"Expression", "NAME.given"}, {"Width", 70}}}}};
    f.index->revertToDefaultColumns(bundled);
    const auto style = f.index->shownStyle();
    ASSERT_EQ(style->numberOfColumns(), 1u);
    EXPECT_EQ(style->columns()[0].label, "Given");
    EXPECT_EQ(f.styles.indexStyleForType("INDI", &f.doc), style) << "the window fetched the library's new style";
    ASSERT_FALSE(posted.notes.empty());
    EXPECT_EQ(posted.notes.back().name, "Index Style Needs Reload Notification");
    EXPECT_EQ(posted.notes.back().userInfo.get("RecordType")->toString(), "INDI");
}

TEST_F(Revert, TypeWithoutBundledColumnsGetsTheDefaultStyle) {
    f.index->addPredefinedColumn(AddColumnItem{"Surname", "NAME.surname", false});
    f.index->revertToDefaultColumns(Dictionary{{"FAM", Array{}}});
    EXPECT_EQ(f.index->shownStyle()->styleArray(), IndexStyle::defaultStyleForType("INDI")->styleArray());
}

TEST_F(Revert, AlbumForgetsItsOwnStyle) {
    const std::string key = f.lists().uniqueAlbumType();
    f.lists().addList(key, nullptr)->addRecordToAlbum(f.record("@I1@"));
    f.index->selectRecordType(key);
    ASSERT_TRUE(f.index->isDisplayingAnAlbum());
    f.index->addPredefinedColumn(AddColumnItem{"Surname", "NAME.surname", false});
    ASSERT_EQ(f.index->shownStyle()->numberOfColumns(), 3u);
    f.index->revertToDefaultColumns(Dictionary{});
    const auto style = f.index->shownStyle();
    EXPECT_EQ(style->label(), (std::vector<std::string>{"Record Type", "Record Name"}));
}

}  // namespace
}  // namespace kl
