// The text rules of HTML blocks: conversion of plain text, where edits land
// inside the block, the markup of the editing commands, the style-sheet
// marker and record links rewritten for export or collected.
#include <gtest/gtest.h>

#include <memory>

#include "cells/HTMLTextEditing.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using Range = HTMLTextEditing::Range;

TEST(HTMLTextConversion, NamesTheBlockByItsFirstLine) {
    struct Case {
        std::string text;
        bool paragraphs;
        std::string html;
    };
    const std::string sixty(60, 'x');
    const Case cases[] = {
        {"", false, "<div><!--name Unnamed html text -->\n</div>"},
        {"Title\n\nbody", false, "<div><!--name Title -->\nTitle\n\nbody\n</div>"},
        {"Title\n\nbody", true, "<div><!--name Title -->\n<p>Title\n</p>\n\n<p>body\n</p>\n</div>"},
        {sixty, false, "<div><!--name " + std::string(50, 'x') + "... -->\n" + sixty + "\n</div>"},
    };
    for (const Case& c : cases) EXPECT_EQ(HTMLTextEditing::makeHTMLText(c.text, c.paragraphs), c.html) << c.text;
}

TEST(HTMLTextConversion, CutsALongNameOnACharacterBoundary) {
    std::string line;
    for (int i = 0; i < 55; ++i) line += "\xC3\xA9";  // é
    const std::string html = HTMLTextEditing::makeHTMLText(line, false);
    std::string fifty;
    for (int i = 0; i < 50; ++i) fifty += "\xC3\xA9";
    EXPECT_EQ(html.find("<!--name " + fifty + "... -->"), 5u);
}

TEST(HTMLInsertRange, KeepsEditsInsideTheBlockBody) {
    const std::string text = "<div class='n'>body text</div>\n";
    const std::size_t start = 15, end = 24;
    struct Case {
        Range selection, expected;
    };
    const Case cases[] = {
        {{0, 0}, {start, 0}},           // before the opening tag
        {{3, 15}, {start, 3}},          // starts inside the tag: cut
        {{2, 4}, {start, 0}},           // wholly inside the tag
        {{17, 3}, {17, 3}},             // inside the body
        {{20, 10}, {20, end - 20}},     // runs past the closing tag
        {{28, 0}, {end, 0}},            // after the closing tag
    };
    for (const Case& c : cases)
        EXPECT_EQ(HTMLTextEditing::insertTextRange(text, c.selection), c.expected) << c.selection.location;
}

TEST(HTMLEditingCommands, MakeTheirMarkup) {
    EXPECT_EQ(HTMLTextEditing::paragraphText("one\n\ntwo\n"), "<p>one\n</p>\n\n<p>two\n</p>\n");
    EXPECT_EQ(HTMLTextEditing::listText("", true), "<ol>\n<li>item</li>\n</ol>\n");
    EXPECT_EQ(HTMLTextEditing::listText("a\nb", false), "<ul>\n<li>a</li>\n<li>b</li>\n</ul>\n");
    EXPECT_EQ(HTMLTextEditing::tagText("x", 0), "<a href=\"\">x</a>");
    EXPECT_EQ(HTMLTextEditing::tagText("x", 5), "<h2>x</h2>");
    EXPECT_EQ(HTMLTextEditing::recordLinkText("@I3@", "Ada"), "<a href=\"kinlore:@I3@\">Ada</a>");
}

TEST(HTMLEditingCommands, WidenParagraphsToWholeLines) {
    const std::string text = "ab\ncd\nef";
    EXPECT_EQ(HTMLTextEditing::lineRange(text, {4, 0}), (Range{3, 3}));
    EXPECT_EQ(HTMLTextEditing::lineRange(text, {1, 3}), (Range{0, 6}));
    EXPECT_EQ(HTMLTextEditing::lineRange(text, {7, 0}), (Range{6, 2}));
}

TEST(HTMLEditingCommands, TableTakesItsHeaderFromTheFirstLineWithFields) {
    EXPECT_EQ(HTMLTextEditing::tableText("\na b c\n1,2\n"),
              "<table border='1' cellspacing='0' cellpadding='3'>\n"
              "\n<thead>\n<tr>\n<th>a</th> <th>b</th> <th>c</th> \n</tr>\n</thead>\n\n<tbody>"
              "\n<tr>\n<td>1</td> <td>2</td> <td>col 3</td> \n</tr>\n"
              "\n<tr>\n<td>col 1</td> <td>col 2</td> <td>col 3</td> \n</tr>\n"
              "</tbody>\n\n</table>\n");
    EXPECT_NE(HTMLTextEditing::tableText("\"first name\", age").find("<th>first name</th> <th>age</th>"),
              std::string::npos);
    const std::string empty = HTMLTextEditing::tableText("");
    std::size_t rows = 0;
    for (std::size_t at = empty.find("<tr>"); at != std::string::npos; at = empty.find("<tr>", at + 1)) ++rows;
    EXPECT_EQ(rows, 4u);
    EXPECT_NE(empty.find("<th>col 1</th> <th>col 2</th> <th>col 3</th>"), std::string::npos);
}

TEST(HTMLStyleSheetMarker, GoesAfterTheOpeningTagOnce) {
    std::string text = "<div>body</div>";
    EXPECT_TRUE(HTMLTextEditing::attachCSSComment(text, "@O1@"));
    EXPECT_EQ(text, "<div><!--CSS @O1@ -->body</div>");
    EXPECT_FALSE(HTMLTextEditing::attachCSSComment(text, "@O1@"));
    EXPECT_TRUE(HTMLTextEditing::attachCSSComment(text, "@O2@"));
    EXPECT_EQ(text, "<div><!--CSS @O2@ -->body</div>");
    std::string plain = "just text";
    EXPECT_FALSE(HTMLTextEditing::attachCSSComment(plain, "@O1@"));
    EXPECT_EQ(plain, "just text");
}

class RecordLinks : public ::testing::Test {
protected:
    void SetUp() override {
        model.setInputGed("0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ada /Quill/\n0 @F1@ FAM\n0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
    }
    GEDCOMModel model;
};

TEST_F(RecordLinks, ExportWithoutFormatsKeepsOnlyTheLinkText) {
    std::string text = "<div>See <a href=\"@I1@\">Ada</a>, <A HREF='//@F1@'>them</a>, "
                       "<a href=\"https://example.org\">web</a> and <a href=\"kinlore:@I1@\">k</a>.</div>";
    HTMLTextEditing::convertForExport(text, nullptr, nullptr);
    EXPECT_EQ(text, "<div>See Ada, them, <a href=\"https://example.org\">web</a> and "
                    "<a href=\"kinlore:@I1@\">k</a>.</div>");
}

TEST_F(RecordLinks, ExportRewritesKnownRecordsToTheirFiles) {
    const HTMLTextEditing::LinkFormats formats{{"INDI", "p%@.html"}, {"fam", "f%@.html"}};
    std::string text = "<a href=\"@I1@\">Ada</a> <a href='//@F1@'>F</a> <a href=@I9@ >gone</a> end";
    HTMLTextEditing::convertForExport(text, &formats, &model);
    EXPECT_EQ(text, "<a href=\"pI1.html\">Ada</a> <a href='fF1.html'>F</a> gone end");
}

TEST_F(RecordLinks, ExportStopsAtAnAnchorThatNeverCloses) {
    std::string text = "<a href=\"@I1@\">Ada and more";
    HTMLTextEditing::convertForExport(text, nullptr, nullptr);
    EXPECT_EQ(text, "<a href=\"@I1@\">Ada and more");
}

TEST_F(RecordLinks, CollectsTheLinkedRecordsInTextOrder) {
    const auto records = HTMLTextEditing::collectLinks(
        "<a href='@F1@'>f</a><a href=\"/@I1@\">skip</a><a href=\"@X9@\">none</a><a href=\"//@I1@\">i</a>"
        "<a href=\"@I1@>dead</a>",
        model);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0]->grecordID(), "@F1@");
    EXPECT_EQ(records[1]->grecordID(), "@I1@");
}

TEST_F(RecordLinks, DroppedRecordsBecomeLinksOrNames) {
    const std::vector<std::shared_ptr<GEDCOMRecord>> records{model.recordWithID("@I1@"), nullptr};
    EXPECT_EQ(HTMLTextEditing::droppedRecordsText(records, true),
              " <a href=\"kinlore:@I1@\">" + records[0]->altViewName() + "</a> ");
    EXPECT_EQ(HTMLTextEditing::droppedRecordsText(records, false), " " + records[0]->altViewName() + " ");
    EXPECT_EQ(HTMLTextEditing::droppedRecordsText({nullptr}, true), "");
}

}  // namespace
}  // namespace kl
