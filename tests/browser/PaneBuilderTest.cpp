// The pane builder: one handler for every template command, cells made and
// placed by the templates, children shown by their own templates, the
// conditions and loops of templates, and the one error a broken template
// gives.
#include <gtest/gtest.h>

#include <algorithm>

#include "PaneTestSupport.h"
#include "browser/PaneBuilder.h"
#include "cells/CellKinds.h"
#include "cells/StandInCell.h"
#include "model/EVENTRecord.h"
#include "model/GEDCOMStructure.h"
#include "script/TemplateCommandSet.h"

namespace kl {
namespace {

using test::PaneTest;

TEST(PaneBuilderHandlers, ServeEveryTemplateCommandAndNothingElse) {
    const auto& handlers = PaneBuilder::handlers();
    for (const auto& command : TemplateCommandSet::commands())
        EXPECT_TRUE(handlers.contains(TemplateCommandSet::handlerName(command.word))) << command.word;
    EXPECT_EQ(handlers.size(), TemplateCommandSet::commands().size());
}

TEST_F(PaneTest, LabelTakesItsFirstWordOnly) {
    ASSERT_TRUE(build("CELL LaBeL \"Born\" \"extra\"\nHideexcess\n")) << failure();
    EXPECT_EQ(texts(), (std::vector<std::string>{"Born"}));
}

// Stops at 100 and 200, the pen at 100: where a cell made after the tab stands.
TEST_F(PaneTest, TabMovesThePenToTheStops) {
    struct Case {
        const char* tab;
        double x;
        bool newLine;
    } cases[] = {{"Tab", 200, false}, {"Tab -1", 100, false}, {"Tab 2", 10, true}, {"Tab -3", 10, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        ASSERT_TRUE(build(std::string("Hideexcess\nSettab 200 100 200\nCell static a\nWidth 20\nHmoveto 100\n") +
                          c.tab + "\nCell static b\nWidth 20\n"))
            << failure();
        ASSERT_EQ(shown().size(), 2u);
        EXPECT_EQ(shown()[1]->viewFrame().x, c.x);
        EXPECT_EQ(shown()[1]->viewFrame().y > shown()[0]->viewFrame().y, c.newLine);
    }
}

TEST_F(PaneTest, ShowTakesTheChildrenOfATagInTurn) {
    const std::map<std::string, std::string> tags{{"BIRT", "Cell static @DATE\nHideexcess\n"}};
    ASSERT_TRUE(build("Show BIRT\nShow BIRT\nHideexcess\n", tags)) << failure();
    EXPECT_EQ(texts(), (std::vector<std::string>{"3 MAR 1850", "ABT 1851"}));
    // Shown once, the second birth comes at the end by its own template.
    ASSERT_TRUE(build("Show BIRT\nHide NAME SEX NOTE\nCell static end\n", tags)) << failure();
    EXPECT_EQ(texts(), (std::vector<std::string>{"3 MAR 1850", "end", "ABT 1851"}));
}

TEST_F(PaneTest, StructuresWithoutTemplateAreShownByTheUnknownOne) {
    const std::map<std::string, std::string> tags{{"_Unknown_", "Cell static @tag\nHideexcess\n"}};
    ASSERT_TRUE(build("", tags)) << failure();
    EXPECT_EQ(texts(), (std::vector<std::string>{"NAME", "SEX", "BIRT", "BIRT", "NOTE"}));
}

TEST_F(PaneTest, OptionalDataEntriesAreNumberedInTheirOrder) {
    ASSERT_TRUE(build("Hideexcess\nOptionaltag OCCU Occupation \"\"\nOptionaltag RESI Residence Y \"DATE\" "
                      "\"PLAC Millbrook\"\nOptionaltag EDUC\n"))
        << failure();
    const auto& entries = builder.optionalTags();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2]->grecordID(), "@OPT3@");
    EXPECT_EQ(entries[2]->recordType(), "@OPT");
    EXPECT_EQ(entries[2]->viewName(), "EDUC");
    EXPECT_EQ(entries[1]->viewName(), "Residence");
    auto residence = entries[1]->findChild("RESI", false);
    ASSERT_TRUE(residence);
    EXPECT_EQ(residence->contents(), "Y");
    ASSERT_EQ(residence->structures().size(), 2u);
    EXPECT_EQ(residence->structures()[1]->contents(), "Millbrook");
}

TEST_F(PaneTest, ConditionsCombineAndBeforeOr) {
    struct Case {
        const char* condition;
        bool truth;
    } cases[] = {
        {"if 1 = 2 || 2 = 2 && 0 = 1", false},
        {"if 1 = 1 || anything", true},
        {"if 3", true},
        {"if 0", false},
        {"if word", false},
        {"if tagexists", true},
        {"if BIRT is here", true},
        {"if \"CAST|OCCU\" is here", false},
        {"if Abc = abc", true},
        {"if Abc == abc", false},
        {"ifstr Abc = abc", true},
        {"ifnum 12abc", true},
        {"ifnum abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.condition);
        ASSERT_TRUE(build(std::string("Hideexcess\n") + c.condition + "\nCell static yes\nelse\nCell static no\nendif\n"))
            << failure();
        EXPECT_EQ(texts(), (std::vector<std::string>{c.truth ? "yes" : "no"}));
    }
}

TEST_F(PaneTest, LoopsAndWordsFillTheVariables) {
    ASSERT_TRUE(build("Hideexcess\n#n = 0\nrepeat \"#i\" 1 4\n#n = #n + #i\nendrepeat\nrepeat \"#j\" 5 1\n#n = 100\nendrepeat\n"
                      "Words \"#w\" 0 0 \"one two three four\"\nWords \"#c\" 1 3 \"a,,b\" \",\"\n"))
        << failure();
    const Variables& v = builder.variables();
    EXPECT_EQ(v.at("#n"), "10");
    EXPECT_EQ(v.at("#w[0]"), "1");
    EXPECT_EQ(v.at("#w[1]"), "four");
    EXPECT_EQ(v.at("#c[0]"), "3");
    EXPECT_EQ(v.at("#c[2]"), "");
}

// A cell showing an image of the given size in points and pixels.
class ImageCells : public PaneTest {
protected:
    void TearDown() override { CellKinds::setMaker("multimedia", nullptr); }
    void showImage(CustomCell::ImageSize image) {
        CellKinds::setMaker("multimedia", [image](const CellSeed& seed) {
            auto cell = std::make_shared<StandInCell>(seed.kind, seed.structure, seed.tag, seed.level, seed.frame,
                                                      seed.prefs);
            cell->setImage(image);
            return cell;
        });
    }
};

TEST_F(ImageCells, ReportPixelsPerInchAndKeepProportions) {
    showImage({200, 100, 600, 300});
    ASSERT_TRUE(build("Hideexcess\nCell multimedia\n#ppi = #imagePPI$\nImageheight 50\n#w = #imageWidth$\n")) << failure();
    EXPECT_EQ(builder.variables().at("#ppi"), "216");
    EXPECT_EQ(builder.variables().at("#w"), "100");
}

TEST_F(ImageCells, AnImageWithoutHeightKeepsItsSize) {
    showImage({0, 0, 0, 0});
    ASSERT_TRUE(build("Hideexcess\nCell multimedia\nImageheight 50\nImagewidth 20\n#w = #imageWidth$\n")) << failure();
    EXPECT_EQ(builder.variables().at("#w"), "0");
}

TEST_F(PaneTest, TemplateErrorsStopTheBuildWithOneMessage) {
    struct Case {
        const char* recordTemplate;
        const char* message;
    } cases[] = {
        {"Cell editvalue\nCell editvalue\n", "Data changing cell created at invalid location."},
        {"Show NAME\nCell editvalue\n", "Data changing cell created at invalid location."},
        {"Cell static x\nFontsize 0\n", "fontSize must be positive."},
        {"Cell label x\nPaldrawcolor \"Palette Line\"\n", "Cell property encountered not allowed for current cell"},
        {"Displayheight 10\n", "The display height is too small."},
        {"Width 5\n", "Cell command encountered when no cell open"},
        {"Cell bogus\n", "Unknown cell type 'bogus'"},
        {"Endgroup remove\n", "EndGroup command not preceeded by GroupBox cell."},
        {"Popvariables\n", "The variables stack is empty"},
        {"Cell groupbox\nCell groupbox\n", "Group boxes cannot be nested."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recordTemplate);
        EXPECT_FALSE(build(c.recordTemplate, {{"_Unknown_", "Hideexcess\n"}}));
        EXPECT_EQ(failure().substr(0, std::string(c.message).size()), c.message) << failure();
        EXPECT_NE(failure().find("(command '"), std::string::npos) << failure();
    }
}

TEST_F(PaneTest, ATagWithoutTemplateOrUnknownStopsTheBuild) {
    EXPECT_FALSE(build("Show XYZ\n"));
    EXPECT_EQ(failure(), "Editing template named 'XYZ' was not found (command 'doShow: XYZ' in template '')");
}

TEST_F(PaneTest, ATemplateThatShowsItsOwnTagIsStopped) {
    EXPECT_FALSE(build("Show NOTE\n", {{"NOTE", "Show NOTE\n"}}));
    EXPECT_NE(failure().find("nested too deeply"), std::string::npos) << failure();
}

TEST_F(PaneTest, TheTemplateErrorNamesCommandAndTemplate) {
    EXPECT_FALSE(build("Hideexcess\nCell static x\nFontsize 0\n"));
    EXPECT_EQ(failure(), "fontSize must be positive. (command 'doFontsize: 0' in template 'INDI Record Editing.txt')");
}

TEST_F(PaneTest, DisplayHeightAndTitleGoToTheWindow) {
    ASSERT_TRUE(build("Hideexcess\nDisplayheight >200\nDisplayheight <500\nTitle \"Person\"\n")) << failure();
    EXPECT_EQ(builder.heightRange(), (std::pair<double, double>{200, 500}));
    EXPECT_TRUE(builder.resizeWindow());
    EXPECT_EQ(builder.customWindowName(), "Person");
    ASSERT_TRUE(build("Hideexcess\nDisplayheight -5\n")) << failure();
    EXPECT_FALSE(builder.resizeWindow());
}

}  // namespace
}  // namespace kl
