// Building a table from a column style, decided without widgets: columns,
// widths, image cells, which column is marked sorted and what the data
// source is asked to sort; tree outlines; marking a sort made elsewhere.
#include <gtest/gtest.h>

#include "document/IndexStyle.h"
#include "index/IndexSelection.h"
#include "index/TableSetupPlan.h"

namespace kl {
namespace {

constexpr double kLine = 17;

std::shared_ptr<IndexStyle> style(const std::vector<std::pair<const char*, const char*>>& columns, int width = 80) {
    auto s = std::make_shared<IndexStyle>("INDI");
    for (const auto& [label, expression] : columns)
        s->addColumn(Dictionary{{"Label", label}, {"Expression", expression}, {"Width", width}});
    return s;
}

TEST(TableSetup, ColumnsCarryTheStyleAndEndInAFiller) {
    auto s = style({{"Name", "NAME"}, {"Born", "BIRT.DATE"}}, 12);
    s->setProperties(Dictionary{{"Justification", "Right"}, {"Width", 200}}, 1);
    auto plan = TableSetupPlan::setupTable(*s, -1, SortState{}, TableSetupPlan::Kind::Table, kLine);
    ASSERT_EQ(plan.columns.size(), 2u);
    EXPECT_FALSE(plan.outlineColumn);
    EXPECT_EQ(plan.columns[0].identifier, "0");
    EXPECT_EQ(plan.columns[0].title, "Name");
    EXPECT_EQ(plan.columns[0].width, kLine) << "no column narrower than a line";
    EXPECT_EQ(plan.columns[0].minWidth, kLine);
    EXPECT_EQ(plan.columns[1].width, 200);
    EXPECT_EQ(plan.columns[1].justify, 1);
    EXPECT_EQ(plan.filler.identifier, "-1");
    EXPECT_EQ(plan.filler.title, "");
    EXPECT_EQ(plan.highlightedColumn, -1);
    EXPECT_FALSE(plan.sortRequest);
    EXPECT_EQ(plan.rowHeight(kLine), kLine);
}

TEST(TableSetup, PortraitColumnIsAnImageCellThatSetsTheRowHeight) {
    auto s = style({{"Name", "NAME"}});
    s->addRemovePortraitCol(1);
    s->setPortraitColumn(-1);
    auto plan = TableSetupPlan::setupTable(*s, -1, SortState{}, TableSetupPlan::Kind::Table, kLine);
    EXPECT_TRUE(plan.columns[1].imageCell);
    EXPECT_FALSE(plan.columns[0].imageCell);
    EXPECT_EQ(plan.portraitColumn, 1);
    EXPECT_EQ(s->portraitColumn(), 1) << "the build marks the style";
    EXPECT_EQ(plan.rowHeight(kLine), 50);
}

struct SortCase {
    const char* name;
    std::vector<std::string> howSorted;
    int32_t order;
    int sortColumn;
    int highlighted;
    SortIndicator indicator;
    std::optional<int> request;
};

class TableSort : public testing::TestWithParam<SortCase> {};

TEST_P(TableSort, MarksTheMatchingColumnOrAsksForASort) {
    const SortCase& c = GetParam();
    auto s = style({{"Name", "NAME"}, {"Born", "BIRT.DATE"}});
    auto plan = TableSetupPlan::setupTable(*s, c.sortColumn, SortState{c.howSorted, c.order},
                                           TableSetupPlan::Kind::Table, kLine);
    EXPECT_EQ(plan.highlightedColumn, c.highlighted);
    EXPECT_EQ(plan.indicator, c.indicator);
    EXPECT_EQ(plan.sortRequest, c.request);
}

INSTANTIATE_TEST_SUITE_P(
    TableSetup, TableSort,
    testing::Values(SortCase{"UnsortedAskedForColumn0", {}, -1, 0, -1, SortIndicator::None, 0},
                    SortCase{"UnsortedLeftUnsorted", {}, -1, -1, -1, SortIndicator::None, std::nullopt},
                    SortCase{"AskedForAMissingColumn", {}, -1, 5, -1, SortIndicator::None, std::nullopt},
                    SortCase{"SortedByDateAscending", {"BIRT.DATE.sdn"}, -1, 0, 1, SortIndicator::Ascending,
                             std::nullopt},
                    SortCase{"SortedByNameDescending", {"NAME"}, 1, -1, 0, SortIndicator::Descending, std::nullopt},
                    SortCase{"SortedByAnotherKey", {"SEX"}, 1, 1, -1, SortIndicator::None, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TreeOutline, KeepsTheOutlineColumnStripsChartPrefixesAndNeverSorts) {
    auto s = style({{"+Name", "NAME"}, {"+", "BIRT.DATE"}, {"\xC2\xB1Place", "BIRT.PLAC"}, {"-x", "SEX"}}, 300);
    auto plan = TableSetupPlan::setupTable(*s, 0, SortState{{"BIRT.DATE.sdn"}, -1}, TableSetupPlan::Kind::TreeOutline,
                                           kLine);
    ASSERT_TRUE(plan.outlineColumn);
    EXPECT_EQ(plan.outlineColumn->identifier, "0");
    EXPECT_EQ(plan.outlineColumn->title, "Name");
    EXPECT_EQ(plan.outlineColumn->width, 300);
    EXPECT_EQ(plan.outlineColumn->minWidth, TableSetupPlan::kOutlineMinWidth);
    ASSERT_EQ(plan.columns.size(), 3u);
    EXPECT_EQ(plan.columns[0].identifier, "1");
    EXPECT_EQ(plan.columns[0].title, "+") << "a lone prefix is a title";
    EXPECT_EQ(plan.columns[1].title, "Place");
    EXPECT_EQ(plan.columns[2].title, "x");
    EXPECT_EQ(plan.highlightedColumn, -1);
    EXPECT_FALSE(plan.sortRequest);
}

TEST(TreeOutline, PlainOutlinesKeepTheirTitles) {
    auto s = style({{"+Name", "NAME"}, {"+B", "BIRT.DATE"}});
    auto plan = TableSetupPlan::setupTable(*s, -1, SortState{}, TableSetupPlan::Kind::Outline, kLine);
    EXPECT_EQ(plan.outlineColumn->title, "+Name");
    EXPECT_EQ(plan.columns[0].title, "+B");
}

TEST(RehiliteSort, FindsTheSortedColumnFromTheFirstSortable) {
    auto s = style({{"Name", "NAME"}, {"Born", "BIRT.DATE"}});
    auto found = TableSetupPlan::rehilteSortColumn(*s, SortState{{"BIRT.DATE.sdn"}, 1});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->first, 1);
    EXPECT_EQ(found->second, SortIndicator::Descending);
    EXPECT_FALSE(TableSetupPlan::rehilteSortColumn(*s, SortState{{"SEX"}, 1}));
    EXPECT_FALSE(TableSetupPlan::rehilteSortColumn(*s, SortState{}));
    IndexStyle portraitOnly("INDI");
    portraitOnly.addRemovePortraitCol(0);
    EXPECT_FALSE(TableSetupPlan::rehilteSortColumn(portraitOnly, SortState{{"portrait"}, 1}));
}

struct MoveCase {
    const char* name;
    std::vector<long> selected;
    long from;
    long to;
    std::vector<long> rows;
    std::optional<long> scrollTo;
};

class SelectionAfterMove : public testing::TestWithParam<MoveCase> {};

TEST_P(SelectionAfterMove, RowsFollowTheirRecords) {
    const MoveCase& c = GetParam();
    auto moved = IndexSelection::afterRecordMove(c.selected, c.from, c.to);
    EXPECT_EQ(moved.rows, c.rows);
    EXPECT_EQ(moved.scrollTo, c.scrollTo);
}

INSTANTIATE_TEST_SUITE_P(
    IndexSelection, SelectionAfterMove,
    testing::Values(MoveCase{"UpPastASelectedRow", {5, 10}, 10, 2, {2, 6}, 6},
                    MoveCase{"DownPastASelectedRow", {2, 6}, 2, 10, {5, 10}, 10},
                    MoveCase{"OutsideTheRangeUntouched", {0, 11}, 3, 8, {0, 11}, 0},
                    MoveCase{"UnselectedRecordShiftsOthers", {4}, 9, 1, {5}, 5},
                    MoveCase{"NothingSelected", {}, 9, 1, {}, std::nullopt},
                    MoveCase{"UnsortedInput", {10, 5}, 10, 2, {2, 6}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kl
