// How a printed list falls onto pages: strips of columns, rows tiling the
// page, the header band, page labels and shortened column titles.
#include <gtest/gtest.h>

#include "index/IndexPrintLayout.h"

namespace kl {
namespace {

using Layout = IndexPrintLayout;

Layout::Metrics page(double width, double height) {
    Layout::Metrics m;
    m.pageWidth = width;
    m.pageHeight = height;
    m.cellSpacing = 3;
    m.rowHeight = 16;
    m.verticalSpacing = 2;
    m.headerRowHeight = 14;
    return m;
}

TEST(IndexPrintLayout, RowsTileThePageAndTheHeaderBandIsWholeRows) {
    const Layout layout({{"Name", 100}, {"Birth", 80}}, page(500, 700), 100);
    EXPECT_EQ(layout.rowsPerPage(), 38);
    EXPECT_DOUBLE_EQ(layout.rowPitch(), 700.0 / 38);
    // 8 lines of 14 are 112, 6.08 pitches: a band of 7.
    EXPECT_DOUBLE_EQ(layout.headerSize(), 7 * 700.0 / 38);

    // A header exactly three pitches high still gets a band of four.
    Layout::Metrics m = page(500, 700);
    m.headerRowHeight = 3 * (700.0 / 38) / 8;
    EXPECT_DOUBLE_EQ(Layout({{"Name", 100}}, m, 5).headerSize(), 4 * 700.0 / 38);
    m.headerLines = 7;  // a tree's header
    EXPECT_DOUBLE_EQ(Layout({{"Name", 100}}, m, 5).headerSize(), 3 * 700.0 / 38);
}

TEST(IndexPrintLayout, ColumnsFallIntoStripsOnePageWide) {
    struct Case {
        const char* name;
        std::vector<Layout::Column> columns;
        int pagesForWidth;
        std::vector<double> widths;
    };
    const Case cases[] = {
        {"all on one page", {{"A", 100}, {"B", 100}, {"C", 100}}, 1, {100, 100, 100}},
        // Of 495, A and B (203 each) leave 89: C does not fit, so B takes
        // those 89 and C starts the second strip.
        {"a column past the edge closes the strip", {{"A", 200}, {"B", 200}, {"C", 200}}, 2, {200, 289, 200}},
        {"a first column wider than the page is narrowed", {{"Wide", 900}, {"B", 100}}, 2, {492, 100}},
    };
    for (const Case& c : cases) {
        const Layout layout(c.columns, page(500, 700), 10);
        EXPECT_EQ(layout.pagesForWidth(), c.pagesForWidth) << c.name;
        std::vector<double> widths;
        for (const auto& column : layout.columns()) widths.push_back(column.width);
        EXPECT_EQ(widths, c.widths) << c.name;
    }
    // The second strip's first column starts where its page does (the
    // table sits 2 in from the view's edge).
    const Layout two({{"A", 200}, {"B", 200}, {"C", 200}}, page(500, 700), 10);
    EXPECT_DOUBLE_EQ(two.columns()[2].x + 2, 500);
}

TEST(IndexPrintLayout, PagesAreNumberedByRowAndStrip) {
    const std::pair<int, const char*> one[] = {{1, "1"}, {2, "2"}};
    for (const auto& [pageNumber, label] : one) EXPECT_EQ(Layout::pageLabel(pageNumber, 1), label);
    const std::pair<int, const char*> two[] = {{1, "1 - 1"}, {2, "1 - 2"}, {3, "2 - 1"}, {4, "2 - 2"}};
    for (const auto& [pageNumber, label] : two) EXPECT_EQ(Layout::pageLabel(pageNumber, 2), label);

    const Layout layout({{"A", 200}, {"B", 200}, {"C", 200}}, page(500, 700), 100);
    EXPECT_EQ(layout.pageCount(), 6) << "100 rows at 38 a page under the header band: three rows of two strips";
    std::vector<std::string> second;
    for (const auto& label : layout.stripLabels(2)) second.push_back(label.title);
    EXPECT_EQ(second, std::vector<std::string>{"C"});
    std::vector<std::string> first;
    for (const auto& label : layout.stripLabels(1)) first.push_back(label.title);
    EXPECT_EQ(first, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(layout.stripLabels(0).size(), 3u) << "the header band names every column";
}

TEST(IndexPrintLayout, TitlesWiderThanTheirColumnAreShortened) {
    const auto measure = [](const std::string& text) { return 6.0 * static_cast<double>(text.size()); };
    EXPECT_EQ(Layout::fittedTitle("Birth", 30, measure), "Birth");
    EXPECT_EQ(Layout::fittedTitle("Birth Place", 48, measure), "Birth...");
    EXPECT_EQ(Layout::fittedTitle("Birth Place", 17, measure), "");
    EXPECT_EQ(Layout::fittedTitle("Birth Place", 18, measure), "...");
}

}  // namespace
}  // namespace kl
