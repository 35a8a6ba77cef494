// The all-relatives report: relationship sections with step-parents and
// removed cousins, the subject alone without families or generations, and
// the table's columns.
#include <gtest/gtest.h>

#include "charts/AllRelativesReport.h"
#include "charts/ReportCommands.h"
#include "charts/ReportsTestSupport.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

using test::ReportFixture;

// Ada's father Bo married Dee after Cy; Eli is Dee's son by him. Bo's
// brother Kai is the grandfather of Mo. Ned has no family at all.
const char* kKin =
    "0 @I1@ INDI\n1 NAME Ada /Vell/\n1 SEX F\n1 BIRT\n2 DATE 1950\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I2@ INDI\n1 NAME Bo /Vell/\n1 SEX M\n1 FAMC @F5@\n1 FAMS @F1@\n1 FAMS @F2@\n"
    "0 @I3@ INDI\n1 NAME Cy /Rand/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I4@ INDI\n1 NAME Dee /Olm/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Eli /Vell/\n1 SEX M\n1 FAMC @F2@\n"
    "0 @I6@ INDI\n1 NAME Fin /Tass/\n1 SEX M\n1 FAMC @F3@\n1 FAMS @F4@\n"
    "0 @I7@ INDI\n1 NAME Gil /Tass/\n1 SEX M\n1 FAMS @F3@\n"
    "0 @I8@ INDI\n1 NAME Hal /Tass/\n1 SEX M\n1 FAMC @F4@\n"
    "0 @I9@ INDI\n1 NAME Ian /Vell/\n1 SEX M\n1 FAMS @F5@\n"
    "0 @I10@ INDI\n1 NAME Jo /Pram/\n1 SEX F\n1 FAMS @F5@\n"
    "0 @I11@ INDI\n1 NAME Kai /Vell/\n1 SEX M\n1 FAMC @F5@\n1 FAMS @F6@\n"
    "0 @I12@ INDI\n1 NAME Lu /Vell/\n1 SEX F\n1 FAMC @F6@\n1 FAMS @F7@\n"
    "0 @I13@ INDI\n1 NAME Mo /Vell/\n1 SEX M\n1 FAMC @F7@\n"
    "0 @I14@ INDI\n1 NAME Ned /Solo/\n1 SEX M\n1 BIRT\n2 DATE 1901\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I1@\n"
    "0 @F2@ FAM\n1 HUSB @I2@\n1 WIFE @I4@\n1 CHIL @I5@\n"
    "0 @F3@ FAM\n1 HUSB @I7@\n1 WIFE @I1@\n1 CHIL @I6@\n"
    "0 @F4@ FAM\n1 HUSB @I6@\n1 CHIL @I8@\n"
    "0 @F5@ FAM\n1 HUSB @I9@\n1 WIFE @I10@\n1 CHIL @I2@\n1 CHIL @I11@\n"
    "0 @F6@ FAM\n1 HUSB @I11@\n1 CHIL @I12@\n"
    "0 @F7@ FAM\n1 WIFE @I12@\n1 CHIL @I13@\n";

class AllRelatives : public ::testing::Test, public ReportFixture {
protected:
    AllRelatives() : ReportFixture(kKin) { AllRelativesReport::registerReport(); }
    ~AllRelatives() override { RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAllRelatives, nullptr); }
    std::string run(const std::string& subject, int64_t flags, int generations) {
        ReportCommands commands(doc, host);
        const Value options(Dictionary{{"outputFlags", Value(flags)},
                                       {"maxGenerations", Value(generations)},
                                       {"theRecord", Value(record(subject))}});
        EXPECT_TRUE(commands.allRelatives(options));
        return host.body();
    }
};

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t found = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++found;
    return found;
}

TEST_F(AllRelatives, ListsGroupRelativesUnderTheirRelationshipWithStepParentsAndRemovedCousins) {
    const std::string body = run("@I1@", 0, 10);
    EXPECT_EQ(host.stored.front()->viewName().rfind("All Relatives of Ada Vell (", 0), 0u)
        << host.stored.front()->viewName();
    // Closest first; each heading once, opening its own list.
    std::size_t last = 0;
    for (const char* section : {"Individual", "Children", "Parents", "Siblings", "Grandchildren", "Grandparents",
                                "Aunts and Uncles", "1st Cousins"}) {
        const std::string heading = std::string("<h2>") + section + "</h2>\n<ul class='ahnen'>\n";
        EXPECT_EQ(count(body, heading), 1u) << section << "\n" << body;
        EXPECT_GT(body.find(heading), last) << section;
        last = body.find(heading);
    }
    EXPECT_NE(body.find("<li>1. <a href='//@I1@'>Vell, Ada</a>"), std::string::npos) << body;
    EXPECT_NE(body.find("<a href='//@I4@'>Olm, Dee</a> (step)<br>\n"), std::string::npos) << "the father's other wife";
    EXPECT_NE(body.find("<a href='//@I5@'>Vell, Eli</a><br>"), std::string::npos) << "a half-brother is a sibling";
    EXPECT_NE(body.find("<a href='//@I13@'>Vell, Mo</a> (once removed)"), std::string::npos);
    EXPECT_EQ(body.find("@I7@"), std::string::npos) << "a spouse is no blood relative";
    EXPECT_EQ(body.find("@I14@"), std::string::npos);
    EXPECT_EQ(count(body, "<li>"), 12u);
    EXPECT_TRUE(body.ends_with("</li>\n</ul>\n\n</div>"));
}

TEST_F(AllRelatives, TheGenerationLimitBoundsBothDirections) {
    const std::string body = run("@I1@", 0, 1);
    for (const char* near : {"@I2@", "@I3@", "@I4@", "@I5@", "@I6@"}) EXPECT_NE(body.find(near), std::string::npos) << near;
    for (const char* far : {"@I8@", "@I9@", "@I11@", "@I12@"}) EXPECT_EQ(body.find(far), std::string::npos) << far;
}

TEST_F(AllRelatives, TheSubjectAloneWithoutFamiliesOrGenerations) {
    struct Case {
        const char* subject;
        int generations;
        int64_t flags;
        const char* expected;
    };
    const Case cases[] = {
        {"@I14@", 10, 0, "<h2>Individual</h2>\n<ul class='ahnen'>\n<li>1. <a href='//@I14@'>Solo, Ned</a>"},
        {"@I1@", 0, 0, "<h2>Individual</h2>\n<ul class='ahnen'>\n<li>1. <a href='//@I1@'>Vell, Ada</a>"},
        {"@I1@", 0, 0x20000, "<tbody>\n<tr>\n<td><a href='//@I1@'>Vell, Ada</a></td>\n<td>Self</td>\n</tr>\n</tbody>"},
    };
    for (const Case& c : cases) {
        host.stored.clear();
        const std::string body = run(c.subject, c.flags, c.generations);
        EXPECT_NE(body.find(c.expected), std::string::npos) << c.subject << " " << c.generations << "\n" << body;
        EXPECT_EQ(count(body, "<li>") + count(body, "<tr>\n<td>"), 1u) << body;
    }
}

TEST_F(AllRelatives, TheTableSortsByNameWithAColumnPerDetailButChildren) {
    struct Case {
        int64_t flags;
        const char* headings;
    };
    const Case cases[] = {{0x20000, "<th>Name</th><th>Relationship</th>\n</tr></thead>"},
                          {0x20000 | 0x20, "<th>Name</th><th>Relationship</th>\n</tr></thead>"},
                          {0x20000 | 0x1, "<th>Name</th><th>Relationship</th>\n<th>Birth Date</th>\n</tr></thead>"}};
    for (const Case& c : cases) {
        host.stored.clear();
        const std::string body = run("@I1@", c.flags, 10);
        EXPECT_NE(body.find(c.headings), std::string::npos) << std::hex << c.flags << "\n" << body;
        EXPECT_TRUE(body.ends_with("</tbody>\n</table>\n</div>"));
    }
    const std::string body = host.body();
    EXPECT_NE(body.find("<td><a href='//@I1@'>Vell, Ada</a></td>\n<td>Self</td>\n<td>1950</td>\n"), std::string::npos)
        << body;
    EXPECT_NE(body.find("<td><a href='//@I13@'>Vell, Mo</a></td>\n<td>1st cousin, once removed</td>"),
              std::string::npos)
        << body;
    EXPECT_LT(body.find(">Olm, Dee<"), body.find(">Pram, Jo<"));
    EXPECT_LT(body.find(">Tass, Hal<"), body.find(">Vell, Ada<"));
}

TEST_F(AllRelatives, TheDetailListStyleGivesEachRelativeASubListWithoutItsName) {
    const std::string body = run("@I1@", 0x10000 | 0x1, 0);
    EXPECT_NE(body.find("<li>1. <a href='//@I1@'>Vell, Ada</a>\n<ul class='subahnen'>"), std::string::npos) << body;
    EXPECT_NE(body.find("1950"), std::string::npos);
    EXPECT_EQ(body.find("<br>"), std::string::npos);
}

}  // namespace
}  // namespace kl
