// The large text pane's cell: the split it asks the window for, the hint it
// shows without storing it, the commit of what was typed (line ends and
// tabs made plain, one "Text Pane Change"), whether an HTML block shows as
// text or as a page, and the style-sheet marker; and where a link clicked
// in a rendered page goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "OnePane.h"
#include "cells/CellKinds.h"
#include "cells/EditPaneCell.h"
#include "cells/WebPaneLinks.h"
#include "document/GEDCOMModel.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

// A pane that remembers the HTML mode the cell set and the page write
// failures it was told of.
class HTMLPane : public test::OnePane {
public:
    using OnePane::OnePane;
    int currentHtmlSourceMode() const override { return mode; }
    void setCurrentHtmlSourceMode(int m) override { mode = m; }
    void failedToSaveHTML(const std::string& error) override { failures.push_back(error); }
    int mode = 2;
    std::vector<std::string> failures;
};

class EditPane : public ::testing::Test {
protected:
    void SetUp() override {
        note = std::make_shared<GEDCOMRecord>("@N1@", "NOTE");
        note->setUndoManager(&undo);
        pane = std::make_unique<HTMLPane>(note);
    }
    // A text of the note, as a structure of its own.
    std::shared_ptr<GEDCOMObject> text(const std::string& contents) { return note->addLevel(1, "TEXT", contents); }
    // An "editpane" cell over a structure, or over a missing one.
    std::shared_ptr<EditPaneCell> make(const std::shared_ptr<GEDCOMObject>& structure, const std::string& hint = {}) {
        CellSeed seed{"editpane", structure, "TEXT", 1, structure ? structure->contents() : std::string(), {}, nullptr,
                      "NOTE"};
        auto cell = std::dynamic_pointer_cast<EditPaneCell>(CellKinds::make(seed));
        EXPECT_NE(cell, nullptr);
        if (!cell) return nullptr;
        auto shown = std::make_unique<test::TypedView>();
        view = shown.get();
        cell->setView(std::move(shown));
        if (!hint.empty()) cell->appendText(hint);
        cell->setPane(pane.get());
        return cell;
    }
    UndoManager undo;
    std::shared_ptr<GEDCOMRecord> note;
    std::unique_ptr<HTMLPane> pane;
    test::TypedView* view = nullptr;
};

TEST_F(EditPane, PositionAndFractionGiveTheSplit) {
    struct Case {
        const char* position;
        const char* fraction;
        bool vertical;
        bool topOrLeft;
        double share;
    } cases[] = {{"Left", "0.3", true, true, 0.3},       {"right", "0.05", true, false, 0.5},
                 {"TOP", "0.1", false, true, 0.1},       {"bottom", "0.9", false, false, 0.9},
                 {"middle", "nonsense", false, false, 0.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        auto cell = make(text("x"));
        EXPECT_TRUE(cell->takeProperty("setPanePosition:", {c.position}));
        EXPECT_TRUE(cell->takeProperty("setFraction:", {c.fraction}));
        EXPECT_EQ(cell->isVerticalSplit(), c.vertical);
        EXPECT_EQ(cell->isTopOrLeftSplit(), c.topOrLeft);
        EXPECT_DOUBLE_EQ(cell->fraction(), c.share);
    }
}

TEST_F(EditPane, TheHintIsShownButNeverStored) {
    auto cell = make(nullptr, "Type the notes here");
    EXPECT_EQ(view->typed, "Type the notes here");
    EXPECT_EQ(cell->endStructureEditing(true), EditSet);
    EXPECT_TRUE(note->structures().empty());
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(EditPane, ACommitStoresPlainLineEndsAndSpacesAsOneStep) {
    const auto body = text("before");
    auto cell = make(body);
    view->typed = "first\r\tsecond";
    cell->setChanged(true);
    EXPECT_EQ(cell->endStructureEditing(true), EditSet);
    EXPECT_EQ(body->contents(), "first\n    second");
    EXPECT_EQ(undo.undoActionName(), EditPaneCell::kUndoName);
    EXPECT_FALSE(cell->changed());
    // Nothing typed since: nothing to store.
    view->typed = "other";
    EXPECT_EQ(cell->endStructureEditing(true), EditSet);
    EXPECT_EQ(body->contents(), "first\n    second");
}

TEST_F(EditPane, AnHTMLBlockShowsAsAPageOnlyWhenTheWindowAsks) {
    const std::string block = "  <DIV class='x'>\n<p>Hello</p>\n</Div>\n";
    struct Case {
        std::string text;
        int windowMode;
        PaneViewType shown;
    } cases[] = {{block, 2, PaneShowsPage}, {block, 1, PaneShowsText}, {"plain words", 2, PaneShowsText},
                 {"<div\n>x</div>", 2, PaneShowsText}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        pane->mode = c.windowMode;
        pane->failures.clear();
        auto cell = make(text(c.text));
        EXPECT_EQ(cell->viewType(), c.shown);
        EXPECT_EQ(pane->mode, c.shown) << "the window's current mode follows the pane";
        EXPECT_EQ(view->typed, c.text);
        EXPECT_EQ(!cell->pageFile().empty(), c.shown == PaneShowsPage) << "a page file only for the page";
        EXPECT_TRUE(pane->failures.empty());
    }
}

TEST_F(EditPane, AStyleSheetIsMarkedOnceAndOnlyInHTML) {
    auto plain = make(text("just text"));
    EXPECT_FALSE(plain->attachCSS("@O1@"));
    EXPECT_EQ(view->beeps, 1);

    const auto body = text("<div>\nbody\n</div>");
    pane->mode = 1;
    auto cell = make(body);
    EXPECT_TRUE(cell->attachCSS("@O1@"));
    EXPECT_TRUE(cell->changed());
    EXPECT_EQ(view->typed, "<div><!--CSS @O1@ -->\nbody\n</div>");
    cell->endStructureEditing(true);
    EXPECT_FALSE(cell->attachCSS("@O1@")) << "the same sheet again changes nothing";
    EXPECT_FALSE(cell->changed());
    EXPECT_EQ(view->beeps, 0);
    EXPECT_EQ(body->contents(), "<div><!--CSS @O1@ -->\nbody\n</div>");
}

TEST_F(EditPane, MenuScriptTypesAndMessagesNeedAScript) {
    auto cell = make(text("x"));
    EXPECT_FALSE(cell->takeProperty("setScriptLinkType:", {"user"}));
    EXPECT_FALSE(cell->takeProperty("setScriptMessage:", {"hello"}));
    EXPECT_TRUE(cell->takeProperty("setScriptLink:", {"Tidy"}));
    EXPECT_TRUE(cell->takeProperty("setScriptLinkType:", {"USER"}));
    EXPECT_FALSE(cell->takeProperty("setScriptLinkType:", {"other"}));
    EXPECT_TRUE(cell->takeProperty("setScriptMessage:", {"hello"}));
    ASSERT_EQ(cell->menuScripts().size(), 1u);
    EXPECT_EQ(cell->menuScripts()[0].type, 1);
    EXPECT_EQ(cell->menuScripts()[0].message, std::optional<std::string>("hello"));
}

TEST(WebPaneLinks, ClickedLinksStayOpenARecordOrGoToTheDesktop) {
    GEDCOMModel model;
    model.setInputGed("0 HEAD\n1 CHAR UTF-8\n0 @I3@ INDI\n1 NAME Wren /Ashby/\n0 TRLR\n");
    model.setRecordsFromStringVerifyIDs(true, false);
    using A = WebPaneLinks::Action;
    struct Case {
        const char* address;
        A action;
        const char* record;  // the ID opened
    } cases[] = {
        {"kinlore:@I3@", A::OpenRecord, "@I3@"},
        {"file://%40I3%40", A::OpenRecord, "@I3@"},
        {"//@I3@", A::OpenRecord, "@I3@"},
        {"kinlore:HEAD", A::OpenRecord, nullptr},
        {"kinlore:@I9@", A::Desktop, nullptr},
        {"mailto:someone@example.org", A::Desktop, nullptr},
        {"https://example.org/@I3@", A::Desktop, nullptr},
        {"file:///work/web-1.html", A::Stay, nullptr},
        {"file:///work/web-1.html#part", A::Stay, nullptr},
        {"#part", A::Stay, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const auto decision = WebPaneLinks::decide(c.address, "/work/web-1.html", &model);
        EXPECT_EQ(decision.action, c.action);
        if (c.action == A::OpenRecord) {
            ASSERT_NE(decision.record, nullptr);
            if (c.record) EXPECT_EQ(decision.record->grecordID(), c.record);
            else EXPECT_EQ(decision.record, model.header());
        }
    }
    EXPECT_EQ(WebPaneLinks::schemeRecordLinks("<a href='//@I3@'>W</a> <a href=\"//@F1@\">F</a> <a href='//x'>"),
              "<a href='kinlore:@I3@'>W</a> <a href=\"kinlore:@F1@\">F</a> <a href='//x'>");
}

}  // namespace
}  // namespace kl
