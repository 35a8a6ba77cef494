// The report builder's own layout: what scripts cannot easily type (line
// ends inside column texts) and pages whose margins leave no room.
#include <gtest/gtest.h>

#include "script/ISScriptOutput.h"

namespace kl {
namespace {

TEST(ScriptOutputPages, DefaultPageCentresItsHeaderAndTextStartsOnRowThree) {
    ISScriptOutput report("T", "MonoSpace");
    ASSERT_TRUE(report.klis_setAttribute("headerText", "Page [#]", nullptr));
    report.addCols({"x"});
    EXPECT_EQ(report.klis_getAttribute("monoRow", nullptr), "3");
    const std::string text = report.finishReport(std::nullopt);
    EXPECT_EQ(text, std::string(41, ' ') + "Page 1\n\nx");
    EXPECT_EQ(report.reportFont(), "Courier");
}

TEST(ScriptOutputPages, MarginsSurroundHeaderAndFooter) {
    ISScriptOutput report("T", "monospace");
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"rowsPerPage", "8"}, {"colsPerRow", "6"}, {"topMargin", "1"}, {"bottomMargin", "1"},
             {"headerText", "h"}, {"footerText", "f"}, {"headerAlign", "-1"}, {"footerAlign", "1"}})
        ASSERT_TRUE(report.klis_setAttribute(name, value, nullptr)) << name;
    report.addCols({"a"});
    report.addNewLine(1);
    report.addCols({"b"});
    report.addNewLine(1);  // past the last text row: the page ends
    EXPECT_EQ(report.klis_getAttribute("monoPage", nullptr), "2");
    EXPECT_EQ(report.finishReport(std::nullopt), "\nh\n\na\nb\n\n     f");
}

TEST(ScriptOutputPages, LineEndsInColumnTextsBecomeBlanks) {
    ISScriptOutput report("T", "monospace");
    report.addCols({"a\nb", "4", "c\rd"});
    EXPECT_EQ(report.finishReport(std::nullopt), "a b c d");
}

// A page whose margins leave no text row writes nothing into it and never
// reaches outside it.
TEST(ScriptOutputPages, MarginsThatLeaveNoTextRowAreSafe) {
    ISScriptOutput report("T", "monospace");
    ASSERT_TRUE(report.klis_setAttribute("rowsPerPage", "2", nullptr));
    ASSERT_TRUE(report.klis_setAttribute("bottomMargin", "5", nullptr));
    ASSERT_TRUE(report.klis_setAttribute("headerText", "h", nullptr));
    report.addCols({"a", "3", "b"});
    report.moveToRow(1, 2);
    report.addNewLine(3);
    report.addCols({"c"});
    EXPECT_EQ(report.finishReport(std::nullopt).find_first_of("abc"), std::string::npos);
}

TEST(ScriptOutputHTML, StyleSheetItemsMakeAHeadRightAfterTheDiv) {
    ISScriptOutput report("T", "HTML");
    report.addText("<p>x</p>");
    report.addCSS("p {}\n");
    EXPECT_EQ(report.finishReport(std::string("<!--e-->")),
              "<div>\n<head>\n<style>\np {}\n</style>\n</head>\n<!--e--><p>x</p>\n</div>");
    EXPECT_EQ(report.reportFont(), std::nullopt);
}

TEST(ScriptOutputHTML, ExtraTextWithoutHeadItemsFollowsTheDiv) {
    ISScriptOutput report("T", "html");
    report.addText("<p>x</p>");
    EXPECT_EQ(report.finishReport(std::string("<!--e-->")), "<div>\n<!--e--><p>x</p>\n</div>");
}

}  // namespace
}  // namespace kl
