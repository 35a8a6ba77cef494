// Link buttons built by templates: their titles, what a click or a context
// menu item asks of the browser, and the words of the button properties.
#include <gtest/gtest.h>

#include <fstream>

#include "LinkPaneSupport.h"
#include "cells/LinkButton.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::LinkPaneTest;

constexpr const char* kRecords =
    "0 @I1@ INDI\n1 NAME Tamsin /Orrell/\n1 SEX F\n1 BIRT\n2 DATE 1801\n2 PLAC Hollin Cross\n2 SOUR @S1@\n"
    "1 OCCU Miller\n1 _COMM First line\n1 FAMS @F1@\n1 NOTE @N1@\n1 OBJE @M1@\n1 OBJE @M2@\n"
    "0 @I2@ INDI\n1 NAME Bram /Orrell/\n1 FAMS @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n"
    "0 @S1@ SOUR\n1 TITL Parish book of Hollin Cross\n"
    "0 @N1@ NOTE First line\n1 CONT Second line\n"
    "0 @M1@ OBJE\n1 FILE picture.png\n2 FORM png\n"
    "0 @M2@ OBJE\n1 FILE https://example.org/plan.png\n2 FORM url\n";

// A link to the record the shown structure points at, titled with its name.
constexpr const char* kRecordLink =
    "Cell linkbutton\nset recordlink @view target Parent\nAppendedexpression \"view.view\"\nTextexpression @view\n";

class Links : public LinkPaneTest {
protected:
    void SetUp() override {
        LinkPaneTest::SetUp();
        readRecords(kRecords);
    }
    LinkButton& only() {
        auto all = cellsOf<LinkButton>();
        EXPECT_EQ(all.size(), 1u);
        return *all.front();
    }
    // A pane of the individual with one link button made by `cell` in the
    // template of the tag shown.
    LinkButton& buildLink(const std::string& tag, const std::string& cell) {
        EXPECT_TRUE(build("Show " + tag + "\n", {{tag, cell}})) << failure();
        return only();
    }
};

TEST_F(Links, TitleFollowsTheLinkedRecordAndItsEdits) {
    ASSERT_TRUE(build("Show BIRT\n", {{"BIRT", "Show SOUR\n"}, {"SOUR", kRecordLink}})) << failure();
    LinkButton& link = only();
    EXPECT_EQ(link.text(), "Parish book of Hollin Cross");
    model->recordWithID("@S1@")->findChild("TITL", false)->setContents("Register of Hollin Cross");
    EXPECT_EQ(link.text(), "Register of Hollin Cross");
}

struct TitleCase {
    const char* name;
    const char* tag;
    const char* cell;
    const char* title;
};

class LinkTitles : public Links, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(LinkTitles, AreMadeFromTheValueTheFormatAndTheText) {
    const TitleCase& c = GetParam();
    const std::string tag = c.tag;
    ASSERT_TRUE(build("Show " + tag + "\n", {{tag, c.cell}})) << failure();
    EXPECT_EQ(only().text(), c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTitles,
    ::testing::Values(
        TitleCase{"TextIgnoredWhileFollowing", "NOTE", "Cell linkbutton\nTextexpression @view\nText \"extra\"\n", "@N1@"},
        TitleCase{"AutoreloadShowsOnlyTheText", "NOTE",
                  "Cell linkbutton\nAutoreload yes\nTextexpression @view\nText \"Open\"\n", "Open"},
        TitleCase{"FormatIsNeverPrintf", "NOTE", "Cell linkbutton\nFormat \"%d %n %@ and %@ 100%\"\nTextexpression @view\n",
                  "%d %n @N1@ and %@ 100%"},
        TitleCase{"NoPlaceholderKeepsTheFormat", "NOTE", "Cell linkbutton\nFormat \"Notes\"\nTextexpression @view\n", "Notes"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Links, ACompactFormatJoinsTheLinesOfTheValue) {
    LinkButton& link = buildLink("_COMM", "Cell linkbutton\nFormat \"Note: %!\"\nTextexpression @view\n");
    EXPECT_TRUE(link.compactForFormat());
    EXPECT_EQ(link.format(), "Note: %@");
    std::dynamic_pointer_cast<GEDCOMStructure>(link.structure())->setContents("First line\nSecond line\nThird");
    EXPECT_EQ(link.text(), "Note: First line, Second line, Third");
}

TEST_F(Links, MenuAndScriptNumbersSplitAndKeepTheirTypes) {
    ASSERT_TRUE(build("Cell linkbutton \"Run\"\nScripttype format\nScriptlink \"Tidy Names\"\n"
                      "Scriptmessage \"now\"\n"))
        << failure();
    LinkButton& script = only();
    EXPECT_EQ(script.menuLink(), -1);
    EXPECT_EQ(script.subMenuLink(), 2);
    script.buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"script Tidy Names 2 now"}));

    script.setMenuLink(3205);
    EXPECT_EQ(std::make_tuple(script.menuLink(), script.subMenuLink(), script.menuItemLink()), std::make_tuple(3000, 200, 5));
    EXPECT_FALSE(script.recordLink());
    host.log.clear();
    host.menuAnswer = false;
    script.buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"menu 3000 200 5", "beep"}));
    script.setMenuLink(3305);
    script.setScriptLink("Other");
    EXPECT_EQ(script.subMenuLink(), 0);
}

struct ClickCase {
    const char* target;
    bool option;
    const char* opened;
};

class LinkClicks : public Links, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(LinkClicks, OpenTheRecordWhereTheTargetSays) {
    const ClickCase& c = GetParam();
    host.paneID = "Research";
    LinkButton& link = buildLink("FAMS", std::string(kRecordLink) + "Target " + c.target + "\nPaneid Summary\n");
    link.buttonClick(c.option);
    EXPECT_EQ(host.log, (std::vector<std::string>{c.opened}));
}

INSTANTIATE_TEST_SUITE_P(Targets, LinkClicks,
                         ::testing::Values(ClickCase{"Parent", false, "open @F1@ this Summary"},
                                           ClickCase{"parent", true, "open @F1@ new"},
                                           ClickCase{"ParentIfNew", false, "open @F1@ this Summary"},
                                           ClickCase{"Child", false, "open @F1@ child Research"},
                                           ClickCase{"None", false, "open @F1@ child Research"},
                                           ClickCase{"NEW", false, "open @F1@ new Research"},
                                           ClickCase{"NewIfNew", true, "open @F1@ new Research"}));

TEST_F(Links, MissingRecordsAndPlacesAreTold) {
    ASSERT_TRUE(build("Cell linkbutton \"Gone\"\nRecordlink \"@I99@\"\nCell linkbutton \"Where\"\nRecordlink place\n"
                      "Cell linkbutton \"Again\"\nRecordlink reload\n"))
        << failure();
    for (LinkButton* link : cellsOf<LinkButton>()) link->buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"alert The record was not found, is corrupted, or was deleted",
                                                  "alert No place record was found for this place (or the place is "
                                                  "empty)",
                                                  "reload"}));
}

TEST_F(Links, ARefusedEditStopsTheClick) {
    LinkButton& link = buildLink("FAMS", kRecordLink);
    background.setBrowserSteps([](int) { return int(EditRefused); }, [] {});
    link.buttonClick(false);
    link.cellMenuAction(0);
    EXPECT_TRUE(host.log.empty());
}

TEST_F(Links, ALongerTitleIsCutToMaxWidthWhenTheValueChanges) {
    LinkButton& link = buildLink("NOTE", "Cell linkbutton\nTextexpression @view\nMaxwidth 40\n");
    const double height = link.viewFrame().height;
    auto note = std::dynamic_pointer_cast<GEDCOMStructure>(link.structure());
    ASSERT_TRUE(note);
    note->setContents("@N1@ with a long tail of words after it");
    EXPECT_EQ(link.text(), "@N1@ with a long tail of words after it");
    EXPECT_DOUBLE_EQ(link.viewFrame().width, 40);
    EXPECT_DOUBLE_EQ(link.viewFrame().height, height);
    link.setMaxWidth(-1);
    const double width = link.viewFrame().width;
    note->setContents("@N1@ again");
    EXPECT_DOUBLE_EQ(link.viewFrame().width, width);
}

TEST_F(Links, DeletingTheOtherRecordEmptiesTheTitleAndEndsTheObservations) {
    // FAMS.HUSB reaches the family's HUSB line: a structure of another record.
    ASSERT_TRUE(build("Cell linkbutton\nTextexpression @FAMS.HUSB\n")) << failure();
    LinkButton& link = only();
    ASSERT_TRUE(link.exprRecord());
    EXPECT_EQ(link.text(), "@I2@");
    EXPECT_TRUE(link.observesExprRecord());
    model->deleteRecord(model->recordWithID("@F1@"));
    EXPECT_EQ(link.text(), "");
    EXPECT_FALSE(link.observesExprRecord());
    EXPECT_FALSE(link.exprRecord());
}

TEST_F(Links, ContextMenusOfRecordLinks) {
    std::ofstream(folder / "picture.png") << "png";
    std::string records = kRecords;
    records.replace(records.find("picture.png"), 11, (folder / "picture.png").string());
    readRecords(records);
    ASSERT_TRUE(build("Show FAMS\nShow OBJE\nShow OBJE\nCell linkbutton \"plain\"\nRecordlink \"@S1@\"\n"
                      "Cell linkbutton \"reload\"\nRecordlink reload\nCell linkbutton \"none\"\n",
                      {{"FAMS", kRecordLink}, {"OBJE", kRecordLink}}))
        << failure();
    std::vector<std::vector<int>> menus;
    for (LinkButton* link : cellsOf<LinkButton>()) {
        std::vector<int> tags;
        for (const auto& item : link->contextMenu()) tags.push_back(item.tag);
        menus.push_back(tags);
    }
    EXPECT_EQ(menus, (std::vector<std::vector<int>>{
                         {0, 1, 2},        // a family as spouse: FAMS is not the family's own tag
                         {0, 1, 2, 5, 4, 3},  // a file object linked at level 1: helper, portrait, detach
                         {0, 1, 2, 4, 3},  // a web address: no helper
                         {0, 1, 2},        // no link structure: nothing to detach
                         {},               // reload
                         {}}));            // no record link
    auto links = cellsOf<LinkButton>();
    EXPECT_EQ(links[0]->contextMenu()[0].title, "Open Family record in a new window");
    links[0]->cellMenuAction(0);
    links[0]->cellMenuAction(1);
    links[0]->cellMenuAction(2);
    links[0]->cellMenuAction(3);
    links[1]->cellMenuAction(4);
    links[2]->cellMenuAction(5);
    EXPECT_EQ(host.log, (std::vector<std::string>{"open @F1@ new", "open @F1@ this", "open @F1@ child",
                                                  "detach INDI FAMS", "portrait @M1@", "beep"}));
    EXPECT_EQ(links[0]->windowTarget(), TargetParent);
}

struct WordCase {
    const char* command;
    bool accepted;
    int bezel;  // the bezel after it, -1 when not checked
};

class ButtonWords : public Links, public ::testing::WithParamInterface<WordCase> {};

TEST_P(ButtonWords, AreTakenOrRefused) {
    const WordCase& c = GetParam();
    const bool built = build(std::string("Cell linkbutton \"x\"\n") + c.command + "\n");
    EXPECT_EQ(built, c.accepted) << failure();
    if (c.bezel >= 0) {
        EXPECT_EQ(only().bezelStyle(), c.bezel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, ButtonWords,
    ::testing::Values(WordCase{"Border Rounded", true, 1}, WordCase{"Border thickersquare", true, 2},
                      WordCase{"Border ShadowlessSquare", true, 6}, WordCase{"Border no", true, 0},
                      WordCase{"Border sideways", false, -1}, WordCase{"Controlsize small", true, -1},
                      WordCase{"Controlsize Small", true, -1}, WordCase{"Imageposition ImageOnly", true, -1},
                      WordCase{"Imageposition middle", false, -1}, WordCase{"Alignment Center", true, -1},
                      WordCase{"Target ParentIfNew", true, -1}, WordCase{"Target sideways", false, -1},
                      WordCase{"Scripttype other", false, -1}));

TEST_F(Links, RefusedWordsGiveTheirMessages) {
    EXPECT_FALSE(build("Cell linkbutton \"x\"\nTarget sideways\n"));
    EXPECT_NE(failure().find("Link target must be 'Parent', 'Child', 'New', 'ParentIfNew', 'ChildIfNew', or "
                             "'NewIfNew'."),
              std::string::npos)
        << failure();
    EXPECT_FALSE(build("Cell linkbutton \"x\"\nBorder sideways\n"));
    EXPECT_NE(failure().find("Border setting is not allowed or is invalid for current cell"), std::string::npos);
}

TEST_F(Links, ControlSizeWordsAreCompared) {
    LinkButton& link = buildLink("NOTE", "Cell linkbutton \"x\"\nControlsize Mini\n");
    EXPECT_EQ(link.buttonControlSize(), 2);
    EXPECT_FALSE(link.controlSize("Mini"));
    ASSERT_TRUE(link.cellBordered("none"));
    EXPECT_FALSE(link.cellBordered("sideways"));
    EXPECT_TRUE(link.bordered());
    EXPECT_EQ(link.cellImageType(), "none");
    link.setImageType(ImageFormat);
    EXPECT_EQ(link.cellImageType(), "none");
    link.setImageType(ImageThumbnail);
    EXPECT_EQ(link.cellImageType(), "thumbnail");
}

}  // namespace
}  // namespace kl
