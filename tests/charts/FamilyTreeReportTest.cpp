// The family tree report: what a tree window shows, as nested lists with
// spouse divisions or as an indented table numbered per level, with the
// cross-references of repeated people and the generation limit.
#include <gtest/gtest.h>

#include "charts/ChartsTestSupport.h"
#include "charts/FamilyTreeReport.h"
#include "charts/ReportCommands.h"
#include "charts/ReportsTestSupport.h"
#include "foundation/ResourceFolder.h"

namespace kl {
namespace {

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t found = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++found;
    return found;
}

class FamilyTree : public ::testing::Test, public test::TreeFixture {
protected:
    FamilyTree() {
        ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
        FamilyTreeReport::registerReport();
    }
    ~FamilyTree() override {
        RelativesReportRegistry::registerMaker(RelativesReportRegistry::kFamilyTree, nullptr);
        ResourceFolder::setFolder(savedResources);
    }
    // The report of the rows, as the tree window's Reports item runs it.
    std::string run(std::vector<OutlineRow> rows, int64_t flags, int generations) {
        auto subject = std::make_shared<FamilyTreeSubject>(tree->rootRecord(), tree->viewStyle(),
                                                           [rows] { return rows; });
        ReportCommands commands(doc, host);
        const Value options(Dictionary{{"outputFlags", Value(flags)},
                                       {"maxGenerations", Value(generations)},
                                       {"theRecord", Value(std::static_pointer_cast<Object>(subject))}});
        host.stored.clear();
        EXPECT_TRUE(commands.familyTree(options));
        return host.body();
    }

    std::filesystem::path savedResources = ResourceFolder::folder();
    test::RecordingHost host{doc};
};

TEST_F(FamilyTree, ListsNestTheRowsWithSpousesInsideTheirPersonsItem) {
    open(RelativesTree::Kind::Descendants, "@I1@");
    const std::string body = run(allRows(), 0, 10);
    EXPECT_EQ(host.stored.front()->viewName().rfind("Descendants Family Tree Report for Arno Velk (", 0), 0u);
    // Bea's division sits in Arno's item and Gia's in Cal's; Emil, shown
    // three times, gets one anchor (on his node as Arno's child) and two
    // links back to it, one of them before it.
    EXPECT_EQ(body,
              "<div>\n<h1>Descendants Family Tree Report for Arno Velk</h1>\n\n"
              "<ol class='treelistroot'>\n"
              "<li><a href='//@I1@'>Velk, Arno</a>\n"
              "<div class='spouse'>+.&nbsp;&nbsp;<a href='//@I2@'>Orm, Bea</a></div></li>\n"
              "<ol class='treelist'>\n"
              "<li><a href='//@I3@'>Velk, Cal</a>\n"
              "<div class='spouse'>+.&nbsp;&nbsp;<a href='//@I6@'>Tarn, Gia</a></div></li>\n"
              "<ol class='treelist'>\n"
              "<li><a href='//@I7@'>Velk, Emil</a> (see <a href='#x1'>#1</a>)</li>\n"
              "<li id='x2'><a href='//@I5@'>Velk, Fenn</a> [#2]</li>\n"
              "</ol>\n"
              "<li><a href='//@I4@'>Velk, Dora</a></li>\n"
              "<li id='x1'><a href='//@I7@'>Velk, Emil</a> [#1]</li>\n"
              "</ol>\n"
              "\n<div class='spouse'>+.&nbsp;&nbsp;&lt;unknown&gt;</div></li>\n"
              "<ol class='treelist'>\n"
              "<li><a href='//@I5@'>Velk, Fenn</a> (see <a href='#x2'>#2</a>)</li>\n"
              "<li><a href='//@I7@'>Velk, Emil</a> (see <a href='#x1'>#1</a>)</li>\n"
              "</ol></div>");
}

TEST_F(FamilyTree, TheGenerationLimitLeavesOutDeeperRows) {
    open(RelativesTree::Kind::Descendants, "@I1@");
    const std::string body = run(allRows(), 0, 1);
    EXPECT_EQ(body.find("Fenn</a> [#2]"), std::string::npos) << "Cal's children are at level 2";
    EXPECT_EQ(count(body, "<a href='//@I7@'>"), 2u);
    EXPECT_NE(body.find("<a href='//@I6@'>Tarn, Gia</a>"), std::string::npos);
    EXPECT_NE(body.find("(see <a href='#x2'>#2</a>)"), std::string::npos) << "Fenn's later node at level 1";

    // The root alone.
    const std::vector<OutlineRow> root{allRows().front()};
    EXPECT_EQ(run(root, 0, 10), "<div>\n<h1>Descendants Family Tree Report for Arno Velk</h1>\n\n"
                                "<ol class='treelistroot'>\n<li><a href='//@I1@'>Velk, Arno</a></li>\n</ol></div>");
    EXPECT_TRUE(run(root, 0x20000, 10).ends_with("<tbody>\n<tr><td>1.&nbsp;<a href='//@I1@'>Velk, Arno</a></td>\n</tr>\n"
                                                 "</tbody>\n</table>\n</div>"));
}

TEST_F(FamilyTree, TheTableIndentsAndNumbersEachLevelWithOneCellPerDetail) {
    open(RelativesTree::Kind::Descendants, "@I1@");
    const auto rows = allRows();
    const std::string body = run(rows, 0x20000 | 0x1 | 0x20, 10);
    EXPECT_TRUE(body.starts_with("<div>\n<h1>Descendants Family Tree Report for Arno Velk</h1>\n\n"
                                 "<table>\n<thead><tr><th>Name</th>\n<th>Birth Date</th>\n</tr></thead>\n<tbody>\n"))
        << body;
    EXPECT_NE(body.find("<tr><td>1.&nbsp;<a href='//@I1@'>Velk, Arno</a></td>\n<td></td>\n</tr>\n"), std::string::npos);
    EXPECT_NE(body.find("<tr><td>+.&nbsp;&lt;unknown&gt;</td>\n<td></td></tr>\n"), std::string::npos);
    EXPECT_NE(body.find("<tr><td>&nbsp;&nbsp;&nbsp;1.&nbsp;<a href='//@I3@'>Velk, Cal</a>"), std::string::npos);
    EXPECT_NE(body.find("<tr><td id='x1'>&nbsp;&nbsp;&nbsp;3.&nbsp;<a href='//@I7@'>Velk, Emil</a> [#1]"),
              std::string::npos);
    // Dora is Arno's second child: the count resumes after Cal's children.
    EXPECT_NE(body.find("<tr><td>&nbsp;&nbsp;&nbsp;2.&nbsp;<a href='//@I4@'>Velk, Dora</a>"), std::string::npos);
    // Every row has its one detail cell, repeats and unknown spouses too.
    EXPECT_EQ(count(body, "<tr><td"), rows.size());
    EXPECT_EQ(count(body, "</td>\n<td>"), rows.size());
}

}  // namespace
}  // namespace kl
