// Recognising stored HTML blocks and escaping every other text for a page.
#include <gtest/gtest.h>

#include "foundation/HTMLText.h"

namespace kl {
namespace {

TEST(HTMLText, RecognisesDivBlocks) {
    struct Case {
        const char* text;
        std::size_t offset;
    };
    const Case cases[] = {
        {"<div>x</div>", 5},
        {"  <DIV class='a'>x</Div>\n", 17},
        {"<div>", 0},               // no closing tag
        {"<div\n>x</div>", 0},      // the opening tag runs over a line end
        {"<p>x</p>", 0},
        {"x <div>y</div>", 0},
        {"", 0},
        {"   ", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(isHTMLText(c.text), c.offset) << c.text;
}

TEST(HTMLText, EscapesPlainText) {
    struct Case {
        const char* text;
        bool enclose, newLines;
        const char* expected;
    };
    const Case cases[] = {
        {"Boston & <Co> \"Old\"", false, false, "Boston &amp; &lt;Co&gt; &quot;Old&quot;"},
        {"a\r\nb\rc\nd", false, false, "a\nb\nc\nd"},
        {"a\r\nb", false, true, "a</p>\n<p>b"},
        {"a<b", true, false, "<p>a&lt;b</p>\n"},
        {"", false, false, ""},
        {"Zürich", false, false, "Zürich"},
    };
    for (const Case& c : cases) {
        bool isHTML = true;
        EXPECT_EQ(safeHTMLText(c.text, c.enclose, c.newLines, &isHTML), c.expected) << c.text;
        EXPECT_FALSE(isHTML) << c.text;
    }
}

TEST(HTMLText, LeavesHTMLBlocksEscapedOnlyByTrimming) {
    bool isHTML = false;
    EXPECT_EQ(safeHTMLText("\n <div>a & b</div> \r\n", true, true, &isHTML), "<div>a & b</div>");
    EXPECT_TRUE(isHTML);
    EXPECT_EQ(safeHTMLText("<div>x</div>", false, false), "<div>x</div>");
}

}  // namespace
}  // namespace kl
