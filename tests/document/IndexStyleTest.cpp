// Column styles: the stored form read and written back, the default styles,
// column moves that keep every column's own entries, the portrait column,
// sort keys, the first sortable column and cell values.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/IndexStyle.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

Dictionary column(const char* label, const char* expression, const char* alt = nullptr) {
    Dictionary d{{"Label", label}, {"Expression", expression}};
    if (alt) d.set("AltExpression", alt);
    return d;
}

// Three columns whose every field tells them apart.
std::shared_ptr<IndexStyle> threeColumns(const std::string& type = "INDI") {
    auto style = std::make_shared<IndexStyle>(type);
    style->addColumn(Dictionary{{"Label", "A"}, {"Expression", "NAME"}, {"AltExpression", "SEX"},
                                {"Justification", "Right"}, {"Editable", true}, {"Width", 11}});
    style->addColumn(Dictionary{{"Label", "B"}, {"Expression", "BIRT.DATE"}, {"AltExpression", "BIRT.PLAC"},
                                {"Justification", "Center"}, {"Width", 22}});
    style->addColumn(Dictionary{{"Label", "C"}, {"Expression", "DEAT.DATE"}, {"Width", 33}});
    return style;
}

std::vector<std::string> fieldsOf(const IndexStyle& style) {
    std::vector<std::string> out;
    for (const auto& c : style.columns())
        out.push_back(c.label + "|" + c.expression + "|" + c.altExpression + "|" + std::to_string(c.justify) + "|" +
                      std::to_string(c.editable) + "|" + std::to_string(c.width));
    return out;
}

struct ReadCase {
    const char* name;
    Dictionary stored;
    int32_t width;
    int32_t justify;
    bool editable;
    const char* writtenJustification;
};

class StoredColumn : public testing::TestWithParam<ReadCase> {};

TEST_P(StoredColumn, ReadsAndWritesBack) {
    const ReadCase& c = GetParam();
    auto style = IndexStyle::indexStyleWith({Value(c.stored)}, "INDI");
    ASSERT_EQ(style->numberOfColumns(), 1u);
    EXPECT_EQ(style->widthForColumn(0), c.width);
    EXPECT_EQ(style->justifyForColumn(0), c.justify);
    EXPECT_EQ(style->columns()[0].editable, c.editable);
    const Dictionary written = style->styleForColumn(0);
    EXPECT_EQ(written.get("Justification")->toString(), c.writtenJustification);
    EXPECT_EQ(written.get("Width")->toInteger(), c.width);
    EXPECT_EQ(written.size(), 6u) << "every key is written";
    EXPECT_EQ(fieldsOf(*IndexStyle::indexStyleWith(style->styleArray(), "INDI")), fieldsOf(*style));
}

INSTANTIATE_TEST_SUITE_P(
    IndexStyle, StoredColumn,
    testing::Values(ReadCase{"Width5", Dictionary{{"Expression", "view"}, {"Width", 5}}, 10, 0, false, "Left"},
                    ReadCase{"Width10", Dictionary{{"Expression", "view"}, {"Width", 10}}, 10, 0, false, "Left"},
                    ReadCase{"Width11", Dictionary{{"Expression", "view"}, {"Width", 11}}, 11, 0, false, "Left"},
                    ReadCase{"WidthMissing", Dictionary{{"Expression", "view"}}, 100, 0, false, "Left"},
                    ReadCase{"WidthText", Dictionary{{"Expression", "view"}, {"Width", "150"}}, 150, 0, false, "Left"},
                    ReadCase{"WidthNegative", Dictionary{{"Expression", "view"}, {"Width", -40}}, 10, 0, false, "Left"},
                    ReadCase{"WidthHuge", Dictionary{{"Expression", "view"}, {"Width", 1LL << 40}}, 2147483647, 0,
                             false, "Left"},
                    ReadCase{"LowerCaseCenter", Dictionary{{"Justification", "center"}}, 100, 0, false, "Left"},
                    ReadCase{"Center", Dictionary{{"Justification", "Center"}}, 100, 2, false, "Center"},
                    ReadCase{"Right", Dictionary{{"Justification", "Right"}}, 100, 1, false, "Right"},
                    ReadCase{"EditableText", Dictionary{{"Editable", "1"}}, 100, 0, true, "Left"},
                    ReadCase{"EditableBool", Dictionary{{"Editable", true}}, 100, 0, true, "Left"},
                    ReadCase{"NotEditableText", Dictionary{{"Editable", "0"}}, 100, 0, false, "Left"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IndexStyleStored, AlternateExpressionMissingOrPortraitWritesBackEmpty) {
    auto style = IndexStyle::indexStyleWith(
        {Value(column("A", "NAME")), Value(column("B", "NAME", "OBJE.portrait")), Value(column("C", "NAME", "SEX"))},
        "INDI");
    EXPECT_EQ(style->styleForColumn(0).get("AltExpression")->toString(), "");
    EXPECT_EQ(style->styleForColumn(1).get("AltExpression")->toString(), "");
    EXPECT_EQ(style->styleForColumn(2).get("AltExpression")->toString(), "SEX");
}

TEST(IndexStyleStored, ColumnsWithoutTitleOrExpressionStayWhole) {
    auto style = IndexStyle::indexStyleWith({Value(Dictionary{{"Width", 40}}), Value(column("B", "view"))}, "INDI");
    ASSERT_EQ(style->numberOfColumns(), 2u);
    EXPECT_EQ(style->label(), (std::vector<std::string>{"", "B"}));
    EXPECT_EQ(style->expressionColumn("view"), 1);
}

TEST(IndexStyleStored, DefaultStylesAndDescription) {
    auto plain = IndexStyle::defaultStyleForType("FAM");
    EXPECT_EQ(plain->description(),
              "Columns for FAM records index\n   {label:Record Name, expression:view, justify:0, width:150, editable:0}\n");
    auto album = IndexStyle::defaultStyleForUserAlbum("User Album 3");
    EXPECT_EQ(album->label(), (std::vector<std::string>{"Record Type", "Record Name"}));
    EXPECT_EQ(album->widthForColumn(0), 90);
    EXPECT_EQ(album->widthForColumn(1), 300);
    EXPECT_EQ(album->recordType(), "User Album 3");
    EXPECT_EQ(IndexStyle().recordType(), "Unknown");
}

TEST(IndexStyleStored, CopyIsIndependent) {
    auto style = threeColumns();
    auto copy = style->makeCopy();
    EXPECT_EQ(fieldsOf(*copy), fieldsOf(*style));
    copy->deleteColumn(0);
    EXPECT_EQ(style->numberOfColumns(), 3u);
}

TEST(IndexStyleStored, SixthColumnKeepsTheFirstFive) {
    IndexStyle style("INDI");
    for (int i = 0; i < 6; ++i)
        style.addColumn(Dictionary{{"Label", std::to_string(i)}, {"Expression", "view"}, {"Width", 20 + i}});
    ASSERT_EQ(style.numberOfColumns(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(style.widthForColumn(i), 20 + i);
}

struct MoveCase {
    const char* name;
    int extraColumns;  // columns added after A B C
    int from;
    int to;
    std::vector<std::string> labels;
};

class MoveColumn : public testing::TestWithParam<MoveCase> {};

TEST_P(MoveColumn, EveryColumnKeepsItsOwnEntries) {
    const MoveCase& c = GetParam();
    auto style = threeColumns();
    for (int i = 0; i < c.extraColumns; ++i) style->addColumn(column("D", "_UID"));
    auto before = fieldsOf(*style);
    style->moveColumn(c.from, c.to);
    EXPECT_EQ(style->label(), c.labels);
    // Each moved row is one of the rows before, whole.
    auto after = fieldsOf(*style);
    for (const auto& row : after) EXPECT_NE(std::find(before.begin(), before.end(), row), before.end()) << row;
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(IndexStyle, MoveColumn,
                         testing::Values(MoveCase{"FirstToThird", 0, 0, 2, {"B", "C", "A"}},
                                         MoveCase{"FirstToLastOfFour", 1, 0, 3, {"B", "C", "D", "A"}},
                                         MoveCase{"LastToFirst", 0, 2, 0, {"C", "A", "B"}},
                                         MoveCase{"MiddleRight", 0, 1, 2, {"A", "C", "B"}},
                                         MoveCase{"OntoItself", 0, 1, 1, {"A", "B", "C"}},
                                         MoveCase{"PastTheEnd", 0, 0, 9, {"B", "C", "A"}},
                                         MoveCase{"FromOutside", 0, 7, 0, {"A", "B", "C"}},
                                         MoveCase{"ToNegative", 0, 1, -1, {"A", "B", "C"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveColumnFields, AlternateExpressionsTravelWithTheirColumns) {
    auto style = threeColumns();
    style->moveColumn(0, 2);
    EXPECT_EQ(style->columns()[2].altExpression, "SEX");
    EXPECT_EQ(style->columns()[0].altExpression, "BIRT.PLAC");
    EXPECT_EQ(style->columns()[1].altExpression, "");
    EXPECT_EQ(style->widthForColumn(2), 11);
    EXPECT_TRUE(style->columns()[2].editable);
}

TEST(PortraitColumn, AddedAtZeroOfMultimediaIsCentredImage72Wide) {
    auto style = IndexStyle::defaultStyleForType("OBJE");
    style->addRemovePortraitCol(0);
    ASSERT_EQ(style->numberOfColumns(), 2u);
    EXPECT_EQ(style->label()[0], "Image");
    EXPECT_EQ(style->widthForColumn(0), 72);
    EXPECT_EQ(style->justifyForColumn(0), IndexStyle::JustifyCenter);
    EXPECT_EQ(style->portraitColumn(), 0);
    EXPECT_EQ(style->firstSortColumn(), 1);
    EXPECT_EQ(style->label()[1], "Record Name");
}

TEST(PortraitColumn, OtherTypesGetPortrait50Wide) {
    auto style = threeColumns();
    style->addRemovePortraitCol(1);
    EXPECT_EQ(style->label(), (std::vector<std::string>{"A", "Portrait", "B", "C"}));
    EXPECT_EQ(style->widthForColumn(1), 50);
    EXPECT_EQ(style->portraitColumn(), 1);
    style->addRemovePortraitCol(0);
    EXPECT_FALSE(style->hasPortraitColumn()) << "a second toggle removes it";
    EXPECT_EQ(style->label(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(PortraitColumn, OnlyColumnHasNoSortableColumn) {
    IndexStyle style("OBJE");
    EXPECT_EQ(style.firstSortColumn(), -1);
    style.addRemovePortraitCol(0);
    EXPECT_EQ(style.firstSortColumn(), -1);
    style.addColumn(column("N", "view"));
    EXPECT_EQ(style.firstSortColumn(), 1);
    style.moveColumn(0, 1);
    EXPECT_EQ(style.portraitColumn(), 1) << "a move finds the column again";
    EXPECT_EQ(style.firstSortColumn(), 0);
}

TEST(PortraitColumn, DeletingAColumnToItsLeftKeepsTheMarkOnIt) {
    auto style = threeColumns();
    style->addRemovePortraitCol(1);
    style->deleteColumn(0);
    EXPECT_EQ(style->portraitColumn(), 0);
    EXPECT_EQ(style->firstSortColumn(), 1) << "the image column is never sorted on";
    style->deleteColumn(5);
    style->deleteColumn(-1);
    EXPECT_EQ(style->numberOfColumns(), 3u);
    style->deleteColumn(0);
    EXPECT_FALSE(style->hasPortraitColumn());
}

TEST(ColumnProperties, OnlyPresentKeysChange) {
    auto style = threeColumns();
    style->setProperties(Dictionary{{"Label", "New"}, {"Width", 3}}, 1);
    EXPECT_EQ(style->label()[1], "New");
    EXPECT_EQ(style->widthForColumn(1), 10);
    EXPECT_EQ(style->columns()[1].expression, "BIRT.DATE");
    EXPECT_EQ(style->justifyForColumn(1), 2);
    style->setProperties(Dictionary{{"Label", "X"}}, 3);
    EXPECT_EQ(style->label(), (std::vector<std::string>{"A", "New", "C"}));
}

TEST(ColumnProperties, SetWidthTellsWhetherItChangedAndAppliesNoMinimum) {
    auto style = threeColumns();
    EXPECT_FALSE(style->setWidth(11.7, 0));
    EXPECT_TRUE(style->setWidth(4.2, 0));
    EXPECT_EQ(style->widthForColumn(0), 4);
    EXPECT_FALSE(style->setWidth(80, 9));
}

TEST(SortKeys, OneOrTwoSortableExpressions) {
    auto style = threeColumns();
    EXPECT_EQ(style->sortArrayForIndex(0), (std::vector<std::string>{"NAME", "SEX"}));
    EXPECT_EQ(style->sortArrayForIndex(1), (std::vector<std::string>{"BIRT.DATE.sdn", "BIRT.PLAC"}));
    EXPECT_EQ(style->sortArrayForIndex(2), (std::vector<std::string>{"DEAT.DATE.sdn"}));
    EXPECT_TRUE(style->sortArrayForIndex(3).empty());
    EXPECT_TRUE(IndexStyle::thisSort({}, {}));
    EXPECT_FALSE(IndexStyle::thisSort({"NAME"}, {"NAME", "SEX"}));
    EXPECT_EQ(style->altExpressionForSort(2), nullptr);
}

struct CellFixture : test::PeopleStoreFixture {
    CellFixture() {
        load("0 @I1@ INDI\n1 NAME John /Smith/\n1 NOTE first\n2 CONT second\n2 CONT third\n"
             "1 BIRT\n2 DATE 1 JAN 1900\n");
    }
};

TEST(CellValue, SeveralLinesShowAsOneJoinedByTwoBackslashes) {
    CellFixture f;
    auto style = IndexStyle::indexStyleWith(
        {Value(column("N", "NAME")), Value(column("Note", "NOTE")), Value(column("B", "BIRT.DATE"))}, "INDI");
    auto person = f.indi("@I1@");
    ASSERT_TRUE(person);
    person->findStructureWithTag("NOTE")->setContents("first\nsecond\r\nthird");
    EXPECT_EQ(style->dataForRecord(*person, 0, &f.model), "John /Smith/");
    EXPECT_EQ(style->dataForRecord(*person, 1, &f.model), "first\\\\second\\\\third");
    EXPECT_EQ(style->dataForRecord(*person, 2, &f.model), "1 JAN 1900");
    EXPECT_EQ(style->dataForRecord(*person, 3, &f.model), "");
    EXPECT_EQ(style->dataForRecord(*person, -1, &f.model), "");
}

}  // namespace
}  // namespace kl
