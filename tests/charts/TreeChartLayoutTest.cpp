// The places of a tree chart's boxes, buttons and lines on the small
// family, and the zoom, ruler and page arithmetic of its view.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChartsTestSupport.h"
#include "charts/ChartPage.h"
#include "charts/ChartZoom.h"
#include "charts/TreeChartLayout.h"
#include "foundation/UserDefaults.h"

namespace kl::test {
namespace {

struct ChartFixture : TreeFixture {
    using TreeFixture::TreeFixture;
    std::unique_ptr<TreeChartLayout> chart;

    TreeChartLayout& openChart(RelativesTree::Kind kind, const std::string& rootID, ChartOrientation o = {},
                               int generations = 5) {
        open(kind, rootID);
        chart = std::make_unique<TreeChartLayout>(*tree, TreeChartSettings{}, o);
        chart->showInitial(generations);
        return *chart;
    }
    ~ChartFixture() { chart.reset(); }

    TreeItem& node(const std::string& id, std::size_t appearance = 0) {
        return *tree->members().at(id).at(appearance);
    }
    TreeItem& familyNode(const std::string& id) { return *tree->famMembers().at(id).front(); }
    // The person's node under the family's node.
    TreeItem& childOf(const std::string& familyID, const std::string& id) {
        for (TreeItem* node : tree->members().at(id))
            if (node->parentCell() == &familyNode(familyID)) return *node;
        throw std::out_of_range(id + " not under " + familyID);
    }
    ChartRect frame(const std::string& id) { return node(id).chartBox().frame; }
};

TEST(TreeChartLayout, HorizontalAncestorsOfOnePersonAndBothParents) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@");
    EXPECT_DOUBLE_EQ(f.frame("@I3@").x, 10);
    EXPECT_DOUBLE_EQ(f.frame("@I1@").x, 222);
    EXPECT_DOUBLE_EQ(f.frame("@I2@").x, 222);
    EXPECT_DOUBLE_EQ(f.node("@I3@").chartBox().button.x, 199.5);
    EXPECT_FALSE(f.node("@I1@").chartBox().hasButton);
    EXPECT_DOUBLE_EQ(chart.chartFrame().width, 418);
    // Father above mother, one box height and a row spacing apart.
    const double h = chart.treeRowHeight();
    EXPECT_DOUBLE_EQ(f.frame("@I1@").y, 10);
    EXPECT_DOUBLE_EQ(f.frame("@I2@").y, 10 + h + 10);
    EXPECT_DOUBLE_EQ(f.frame("@I3@").y, 10);
    EXPECT_DOUBLE_EQ(chart.chartFrame().height, 10 + 2 * (h + 10));
}

TEST(TreeChartLayout, CentredAncestorsSitOnTheSpanOfTheParentsNeverAboveTheFather) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@", ChartOrientation::forTag(4602, true));
    const ChartRect father = f.frame("@I1@"), mother = f.frame("@I2@"), person = f.frame("@I3@");
    EXPECT_DOUBLE_EQ(person.y, (father.y + mother.bottom() - person.height) / 2);

    // A person taller than both parents together stays level with the father.
    f.node("@I3@").chartBox().fittedHeight = 200;
    chart.tileTree();
    EXPECT_DOUBLE_EQ(f.frame("@I3@").y, f.frame("@I1@").y);
}

TEST(TreeChartLayout, HorizontalDescendantsIndentFamilyBoxes) {
    ChartFixture f;
    f.openChart(RelativesTree::Kind::Descendants, "@I1@");
    const ChartRect person = f.frame("@I1@"), family = f.familyNode("@F1@").chartBox().frame;
    EXPECT_DOUBLE_EQ(family.x, person.x + 8);
    EXPECT_DOUBLE_EQ(family.width, person.width - 8);
    EXPECT_GT(family.y, person.y);
    // The children start one column further.
    EXPECT_DOUBLE_EQ(f.frame("@I3@").x, 222);
}

TEST(TreeChartLayout, VerticalRowsStartAtTheMarginAndATallerBoxPushesDeeperRowsDown) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@", ChartOrientation::forTag(4603, true));
    const double h = chart.treeRowHeight();
    EXPECT_DOUBLE_EQ(f.frame("@I3@").y, 10);
    EXPECT_DOUBLE_EQ(f.frame("@I3@").x, 10);
    EXPECT_DOUBLE_EQ(f.frame("@I1@").x, 10);
    EXPECT_DOUBLE_EQ(f.frame("@I2@").x, 10 + 180 + 10);
    EXPECT_DOUBLE_EQ(f.frame("@I1@").y, 10 + h + 32);
    EXPECT_DOUBLE_EQ(f.frame("@I3@").width, 180);
    EXPECT_DOUBLE_EQ(f.frame("@I3@").height, h);

    f.node("@I3@").chartBox().fittedHeight = h + 20;
    chart.tileTree();
    EXPECT_DOUBLE_EQ(f.frame("@I3@").height, h + 20);
    EXPECT_DOUBLE_EQ(f.frame("@I1@").y, 10 + h + 20 + 32);
    EXPECT_DOUBLE_EQ(f.node("@I3@").chartBox().button.y, 10 + h + 20 + 16 - 6.5);
}

TEST(TreeChartLayout, VerticalDescendantsKeepFamiliesInTheRowOfTheirPerson) {
    ChartFixture f;
    f.openChart(RelativesTree::Kind::Descendants, "@I1@", ChartOrientation::forTag(4604, true));
    EXPECT_DOUBLE_EQ(f.familyNode("@F1@").chartBox().frame.y, f.frame("@I1@").y);
    EXPECT_GT(f.familyNode("@F1@").chartBox().frame.x, f.frame("@I1@").x);
    const ChartRect cal = f.frame("@I3@");
    EXPECT_DOUBLE_EQ(f.tree->famMembers().at("@F3@").front()->chartBox().frame.y, cal.y);
}

TEST(TreeChartLayout, FittedHeightsLastUntilFontStyleSizesOrPortraitSideChange) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@");
    const auto fitted = [&] { return f.node("@I1@").chartBox().fittedHeight; };
    const std::vector<std::pair<const char*, std::function<void()>>> resets{
        {"font", [&] { chart.setMetrics({14, 2}); }},
        {"style", [&] { chart.changeCellContent(); }},
        {"sizes", [&] { chart.setSettings(TreeChartSettings{}); }},
        {"portrait side", [&] { chart.changePortraitOrientation(4607); }},
    };
    for (const auto& [what, reset] : resets) {
        f.node("@I1@").chartBox().fittedHeight = 70;
        chart.tileTree();
        chart.changeOrientation(4602);
        chart.changeOrientation(4601);
        EXPECT_DOUBLE_EQ(f.frame("@I1@").height, 70) << what;
        reset();
        EXPECT_DOUBLE_EQ(fitted(), 0) << what;
        EXPECT_DOUBLE_EQ(f.frame("@I1@").height, chart.treeRowHeight()) << what;
    }
}

TEST(TreeChartLayout, OpeningGrowsTheGenerationsAndClosingKeepsOrClosesSubBranches) {
    ChartFixture f;
    // "Initial Generations" 0 opens the top level only.
    auto& chart = f.openChart(RelativesTree::Kind::Descendants, "@I1@", {}, 0);
    EXPECT_EQ(chart.totalGenerations(), 1);
    TreeItem& f1 = f.familyNode("@F1@");
    EXPECT_TRUE(f1.expanded());
    EXPECT_TRUE(f.node("@I3@").chartBox().shown);
    TreeItem& f3 = *f.tree->famMembers().at("@F3@").front();
    // Emil as Cal's son.
    TreeItem& emil = f.childOf("@F3@", "@I7@");
    EXPECT_TRUE(f3.chartBox().shown);
    EXPECT_FALSE(f3.expanded());
    chart.expandItem(f3, false);
    EXPECT_EQ(chart.totalGenerations(), 2);
    EXPECT_TRUE(emil.chartBox().shown);

    chart.collapseItem(f1, false);
    EXPECT_FALSE(f.node("@I3@").chartBox().shown);
    EXPECT_FALSE(emil.chartBox().shown);
    chart.expandItem(f1, false);
    EXPECT_TRUE(f3.expanded());
    EXPECT_TRUE(emil.chartBox().shown);

    chart.collapseItem(f1, true);
    chart.expandItem(f1, false);
    EXPECT_FALSE(f3.expanded());
    EXPECT_FALSE(emil.chartBox().shown);

    // A whole branch: to the deepest generation reached + 1.
    ChartFixture g;
    auto& whole = g.openChart(RelativesTree::Kind::Descendants, "@I1@", {}, 0);
    ASSERT_TRUE(whole.expandItem(g.familyNode("@F1@"), true));
    EXPECT_EQ(whole.totalGenerations(), TreeItem::treeGenerations() + 1);
    EXPECT_GE(whole.totalGenerations(), 3);
    EXPECT_TRUE(g.childOf("@F3@", "@I7@").chartBox().shown);
}

TEST(TreeChartLayout, RevealOpensTheBranchesAbove) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Descendants, "@I1@", {}, 0);
    f.tree->rootItem()->recursiveExpand(nullptr);
    TreeItem& deep = f.childOf("@F3@", "@I7@");
    ASSERT_FALSE(deep.chartBox().shown);
    EXPECT_TRUE(chart.revealItem(deep));
    EXPECT_TRUE(deep.chartBox().shown);
    EXPECT_GT(deep.chartBox().frame.x, 222);
}

TEST(TreeChartLayout, OrientationTagsAndKindDefaults) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@");
    EXPECT_TRUE(chart.orientation().hasOrientationTag(4601));
    EXPECT_FALSE(chart.orientation().hasOrientationTag(4605));
    EXPECT_FALSE(chart.orientation().hasOrientationTag(4602));
    EXPECT_TRUE(chart.orientation().hasPortraitTag(4606));
    EXPECT_FALSE(chart.orientation().hasPortraitTag(4601));
    EXPECT_FALSE(chart.changeOrientation(4601));
    EXPECT_EQ(ChartOrientation::forTag(4605, true), ChartOrientation::forTag(4601, true));

    const ChartOrientation descendants = ChartOrientation::defaultFor(1);
    EXPECT_TRUE(chart.changePortraitOrientation(4607));
    EXPECT_FALSE(ChartOrientation::defaultFor(0).portraitLeft);
    EXPECT_EQ(ChartOrientation::defaultFor(1), descendants);
    ChartOrientation::setDefaultFor(0, {});
    EXPECT_TRUE(chart.defaultOrientation());
    EXPECT_TRUE(chart.orientation().portraitLeft);
}

TEST(TreeChartLayout, SettingsComeFromTheUserDefaults) {
    UserDefaults defaults("chart-settings-test", testing::TempDir());
    defaults.setObject(Value(200.0), "Tree Row Width");
    defaults.setObject(Value(1), "Tree Name Alignment");
    const auto s = TreeChartSettings::fromDefaults(defaults);
    EXPECT_FLOAT_EQ(s.rowWidth, 200);
    EXPECT_EQ(s.nameAlignment, 1);
    EXPECT_FLOAT_EQ(s.columnSpacing, 32);
}

// ---- lines

bool hasSegment(const std::vector<ChartSegment>& lines, double x1, double y1, double x2, double y2, bool dashed) {
    return std::any_of(lines.begin(), lines.end(), [&](const ChartSegment& s) {
        return s.x1 == x1 && s.y1 == y1 && s.x2 == x2 && s.y2 == y2 && s.dashed == dashed;
    });
}

TEST(TreeChartLayout, DoubleLinesToAFamilyLie92And88LeftOfTheBoxAboveDashedWhenUnmarried) {
    for (const bool unmarried : {false, true}) {
        ChartFixture f(std::string("0 @I1@ INDI\n1 NAME Olt /Pesk/\n1 SEX M\n1 FAMS @F1@\n"
                                   "0 @I2@ INDI\n1 NAME Rima /Sull/\n1 SEX F\n1 FAMS @F1@\n"
                                   "0 @I3@ INDI\n1 NAME Tam /Pesk/\n1 FAMC @F1@\n"
                                   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n") +
                       (unmarried ? "1 _UMR Y\n" : ""));
        auto& chart = f.openChart(RelativesTree::Kind::Descendants, "@I1@");
        const ChartRect p = f.frame("@I1@"), q = f.familyNode("@F1@").chartBox().frame;
        const auto lines = chart.connectors();
        EXPECT_TRUE(hasSegment(lines, p.right() - 92, p.bottom(), p.right() - 92, q.y, unmarried)) << unmarried;
        EXPECT_TRUE(hasSegment(lines, p.right() - 88, p.bottom(), p.right() - 88, q.y, unmarried)) << unmarried;
    }
}

TEST(TreeChartLayout, ALoneTopNodeDrawsOnlyItsStubWhenItCanOpen) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@", {}, 0);
    chart.collapseItem(*f.tree->rootItem(), false);
    const ChartRect r = f.frame("@I3@");
    const auto lines = chart.connectors();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(hasSegment(lines, r.right(), r.y + r.height / 2, r.right() + 16, r.y + r.height / 2, false));

    ChartFixture g;
    EXPECT_TRUE(g.openChart(RelativesTree::Kind::Ancestors, "@I1@", {}, 0).connectors().empty());
}

TEST(TreeChartLayout, ConnectorsOfAnOpenPersonReachEachParent) {
    ChartFixture f;
    auto& chart = f.openChart(RelativesTree::Kind::Ancestors, "@I3@");
    const auto lines = chart.connectors();
    for (const char* parent : {"@I1@", "@I2@"}) {
        const ChartRect r = f.frame(parent);
        EXPECT_TRUE(hasSegment(lines, 206, r.y + r.height / 2, r.x, r.y + r.height / 2, false)) << parent;
    }
}

TEST(ChartPage, PageLinesOfAChartWithoutPrintSettings) {
    const auto page = ChartPage::fromPrintInfo(GEDCOMDocument::defaultPrintInfo());
    const auto lines = page.pageLines({0, 0, 1200, 800});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (ChartSegment{576, 0, 576, 800, true}));
    EXPECT_EQ(lines[1], (ChartSegment{1152, 0, 1152, 800, true}));
    EXPECT_EQ(lines[2], (ChartSegment{0, 756, 1200, 756, true}));

    const auto paper = ChartPage::fromPrintInfo(Dictionary{{"PaperWidth", 612.0},
                                                           {"PaperHeight", 792.0},
                                                           {"ImageableX", 18.0},
                                                           {"ImageableY", 18.0},
                                                           {"ImageableWidth", 576.0},
                                                           {"ImageableHeight", 756.0},
                                                           {"ScalingFactor", 0.5}});
    EXPECT_DOUBLE_EQ(paper.width, 1152);
    EXPECT_DOUBLE_EQ(paper.height, 1512);
}

// ---- box sizes, rulers, zoom

TEST(TreeChartSettings, BoxFitBandPortraitHeightAndRulerUnits) {
    const TreeChartSettings s;
    EXPECT_NEAR(s.portraitBoxHeight(), 55.6, 1e-5);
    EXPECT_DOUBLE_EQ(s.generationUnit(true), 212);
    EXPECT_DOUBLE_EQ(s.generationUnit(false), 190);
    struct Case {
        double spaceLeft;
        std::optional<double> height;
    };
    for (const Case& c : {Case{0, std::nullopt}, Case{-1, std::nullopt}, Case{5, std::nullopt}, Case{-1.5, 41.5},
                          Case{6, 34}})
        EXPECT_EQ(TreeChartSettings::fittedHeight(40, c.spaceLeft, 0, false), c.height) << c.spaceLeft;
    // Shrinking to the least height: only a box without a portrait.
    EXPECT_EQ(TreeChartSettings::fittedHeight(60, 50, 55.6, false), 55.6);
    EXPECT_EQ(TreeChartSettings::fittedHeight(60, 50, 55.6, true), std::nullopt);
}

TEST(ChartZoom, ClicksStepThroughTheFixedScalesAndStopAtTheEnds) {
    struct Case {
        double fitPercent;
        std::optional<int> in, out;
    };
    // A fit of p % over a 100 x 100 chart in a p x p view.
    for (const Case& c : {Case{60, 3, 2}, Case{50, 2, 2}, Case{250, std::nullopt, 6}, Case{5, 0, std::nullopt}}) {
        ChartZoom zoom;
        zoom.setScaleIndex(ChartZoom::kFitWindow, c.fitPercent, c.fitPercent * 2, 100, 100);
        EXPECT_DOUBLE_EQ(zoom.scaleFactor() * 100, c.fitPercent);
        EXPECT_EQ(zoom.clickIndex(false), c.in) << c.fitPercent;
        EXPECT_EQ(zoom.clickIndex(true), c.out) << c.fitPercent;
    }
    ChartZoom top;
    top.setScaleIndex(6, 0, 0, 0, 0);
    EXPECT_EQ(top.clickIndex(false), std::nullopt);
    ChartZoom bottom;
    bottom.setScaleIndex(0, 0, 0, 0, 0);
    EXPECT_EQ(bottom.clickIndex(true), std::nullopt);
}

TEST(ChartZoom, FittingAnEmptyChartKeepsTheScale) {
    ChartZoom zoom;
    EXPECT_DOUBLE_EQ(zoom.setScaleIndex(ChartZoom::kFitWidth, 500, 400, 0, 0), 1);
    EXPECT_DOUBLE_EQ(zoom.setScaleIndex(ChartZoom::kFitWindow, 500, 400, 300, 0), 1);
    EXPECT_EQ(zoom.scaleIndex(), ChartZoom::kDefaultIndex);
    EXPECT_DOUBLE_EQ(zoom.setScaleIndex(ChartZoom::kFitWidth, 500, 400, 1000, 0), 0.5);
    EXPECT_DOUBLE_EQ(zoom.scaleFactor(), 0.5);
    // Scrolling keeps the point centred, but not past the chart's edges.
    EXPECT_DOUBLE_EQ(ChartZoom::scrollOrigin(500, 200, 1000), 400);
    EXPECT_DOUBLE_EQ(ChartZoom::scrollOrigin(50, 200, 1000), 0);
    EXPECT_DOUBLE_EQ(ChartZoom::scrollOrigin(990, 200, 1000), 800);
    EXPECT_DOUBLE_EQ(ChartZoom::scrollOrigin(10, 200, 100), 0);
}

}  // namespace
}  // namespace kl::test

namespace kl::test {
namespace {

TEST(TreeChartLayout, BoxLineHeadersFollowTheFirstCharacterOfTheColumnTitle) {
    TreeFixture f;
    auto style = std::make_shared<IndexStyle>("Ancest");
    struct Case {
        const char* title;
        const char* header;
        bool keep;
    };
    const std::vector<Case> cases{{"Name", "", false},   {"\u00b1Born", "", true}, {"-Died", "", false},
                                  {"+Place", "Place", true}, {"Spouse", "Spouse", false}, {"", "", false}};
    for (const Case& c : cases) style->addColumn(Dictionary{{"Label", c.title}, {"Expression", "name"}});
    auto& tree = f.open(RelativesTree::Kind::Ancestors, "@I3@", style);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        bool keep = true;
        EXPECT_EQ(tree.headerValueForColumn(static_cast<int>(i), keep), cases[i].header) << cases[i].title;
        EXPECT_EQ(keep, cases[i].keep) << cases[i].title;
    }
}

TEST(TreeChartLayout, BoxLinesSkipEmptyValuesUnlessTheHeaderKeepsThem) {
    TreeFixture f("0 @I1@ INDI\n1 NAME Olt /Pesk/\n1 SEX M\n1 BIRT\n2 DATE 3 MAR 1900\n");
    auto style = std::make_shared<IndexStyle>("Ancest");
    for (const auto& [label, expression, justify] :
         {std::tuple{"Name", "view", "Left"}, std::tuple{"Born", "BIRT.DATE.user", "Right"},
          std::tuple{"Died", "DEAT.DATE.user", "Left"}, std::tuple{"+Place", "DEAT.PLAC", "Center"},
          std::tuple{"\u00b1Burial", "BURI.DATE.user", "Left"}})
        style->addColumn(Dictionary{{"Label", label}, {"Expression", expression}, {"Justification", justify}});
    auto& tree = f.open(RelativesTree::Kind::Ancestors, "@I1@", style);
    const auto lines = tree.chartBoxLines(*tree.rootItem(), 2);
    const std::vector<ChartBoxLine> expected{
        {tree.stringForItem(*tree.rootItem(), 0).value(), 2}, {"Born: 3 MAR 1900", 1}, {"Place: ", 2}, {" ", 0}};
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace kl::test
