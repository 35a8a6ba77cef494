// Expression labels and fields built by templates: the value through its
// format, following a structure of another record, and an expression field
// that turns into a rendered page while its text is an HTML block.
#include <gtest/gtest.h>

#include "LinkPaneSupport.h"
#include "app/AppController.h"
#include "cells/ExpressionCell.h"
#include "cells/ExpressionFieldCell.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

constexpr const char* kRecords =
    "0 @I1@ INDI\n1 NAME Tamsin /Orrell/\n1 OCCU Miller\n1 _COMM First line\n2 CONT Second line\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Bram /Orrell/\n1 FAMS @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n";

class Expressions : public test::LinkPaneTest {
protected:
    void SetUp() override {
        LinkPaneTest::SetUp();
        readRecords(kRecords);
        person->findChild("_COMM", false)->setContents("First line\nSecond line");
    }
    template <class Cell>
    Cell& only() {
        auto all = cellsOf<Cell>();
        EXPECT_EQ(all.size(), 1u);
        return *all.front();
    }
};

struct ShownCase {
    const char* name;
    const char* cell;
    const char* shown;
};

class ExpressionValues : public Expressions, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(ExpressionValues, ShowTheValueThroughTheFormat) {
    ASSERT_TRUE(build(GetParam().cell)) << failure();
    EXPECT_EQ(only<ExpressionCell>().text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpressionValues,
    ::testing::Values(ShownCase{"Contents", "Cell expression @OCCU\n", "Miller"},
                      ShownCase{"Format", "Cell expression @OCCU\nFormat \"Job: %@ (%d)\"\n", "Job: Miller (%d)"},
                      ShownCase{"LinesKept", "Cell expression @_COMM\n", "First line\nSecond line"},
                      ShownCase{"CompactFormat", "Cell expression @_COMM\nFormat \"Note: %!\"\n",
                                "Note: First line, Second line"},
                      ShownCase{"Missing", "Cell expression @EDUC\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Expressions, OneArgumentOnly) {
    EXPECT_FALSE(build("Cell expression @OCCU \"ignored\"\n"));
    EXPECT_NE(failure().find("Expression cell type with more than one expression argument"), std::string::npos);
}

TEST_F(Expressions, FollowEditsOfTheirStructure) {
    ASSERT_TRUE(build("Cell expression @OCCU\nLocalize yes\n")) << failure();
    ExpressionCell& cell = only<ExpressionCell>();
    person->findChild("OCCU", false)->setContents("Weaver");
    EXPECT_EQ(cell.text(), "Weaver");
    EXPECT_TRUE(cell.localizeExpr());
}

TEST_F(Expressions, DeletingTheOtherRecordEmptiesTheCellForGood) {
    ASSERT_TRUE(build("Cell expression @FAMS.HUSB\nCell expressionfield @FAMS.HUSB\n")) << failure();
    ExpressionCell& label = only<ExpressionCell>();
    ExpressionFieldCell& field = only<ExpressionFieldCell>();
    ASSERT_TRUE(label.exprRecord());
    ASSERT_TRUE(field.exprRecord());
    EXPECT_EQ(label.text(), "@I2@");
    EXPECT_EQ(field.text(), "@I2@");
    auto family = model->recordWithID("@F1@");
    model->deleteRecord(family);
    EXPECT_EQ(label.text(), "");
    EXPECT_EQ(field.text(), "");
    EXPECT_FALSE(label.exprRecord());
    EXPECT_FALSE(field.exprRecord());
    host.log.clear();
    family->findChild("HUSB", false)->setContents("@I1@");
    EXPECT_EQ(label.text(), "");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(Expressions, AFieldShowsAPageWhileItsTextIsHTML) {
    if (!AppController::workingDirectory()) AppController::createWorkingDirectory();
    ASSERT_TRUE(build("Cell expressionfield @OCCU\nFormat \"%@\"\nSizetofit 4\n")) << failure();
    ExpressionFieldCell& field = only<ExpressionFieldCell>();
    EXPECT_EQ(field.viewMode(), ExpressionFieldCell::kTextMode);
    auto occupation = person->findChild("OCCU", false);
    occupation->setContents("<div><b>Miller</b></div>");
    EXPECT_EQ(field.viewMode(), ExpressionFieldCell::kWebMode);
    ASSERT_FALSE(field.pageFile().empty());
    EXPECT_TRUE(std::filesystem::exists(field.pageFile()));

    // The page's height arrives after it has loaded; the least height holds.
    field.sizeToFit(4);
    EXPECT_TRUE(field.frameNeedsResize());
    field.finishLoadForFrame(200);
    EXPECT_DOUBLE_EQ(field.viewFrame().height, 204);
    field.finishLoadForFrame(10);
    EXPECT_DOUBLE_EQ(field.viewFrame().height, field.minHeight());

    occupation->setContents("Miller again");
    EXPECT_EQ(field.viewMode(), ExpressionFieldCell::kTextMode);
    EXPECT_EQ(field.text(), "Miller again");
}

TEST(ExpressionFieldRetile, WritesBackTheChangeItReallyMade) {
    ExpressionFieldCell cell(CellSeed{"expressionfield", nullptr, "NOTE", 1, "", {0, 30, 100, 44}, nullptr, "INDI"});
    cell.setMaxHeight(100);
    struct Case {
        double wanted, made;
    };
    for (const Case c : {Case{20, 20}, Case{-40, -20}, Case{500, 56}}) {
        double change = c.wanted;
        EXPECT_DOUBLE_EQ(cell.adjustSizeOnRetile(change), 30);
        EXPECT_DOUBLE_EQ(change, c.made) << c.wanted;
    }
}

}  // namespace
}  // namespace kl
