// The Ahnentafel report: pedigree numbers past a machine word, the
// generation sections and bar, repeated ancestors of parents who were
// cousins, the table style's columns, and the generation limit.
#include <gtest/gtest.h>

#include "charts/AhnentafelReport.h"
#include "charts/ReportCommands.h"
#include "charts/ReportsTestSupport.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

using test::ReportFixture;

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t found = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++found;
    return found;
}

TEST(Billions, CarriesAcrossLimbsAndPrintsEveryLowerLimbInNineDigits) {
    Billions number(999'999'999);
    number.increment();
    EXPECT_EQ(number.digits(), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(number.stringValue(), "1000000000");
    for (int i = 0; i < 5; ++i) number.increment();
    EXPECT_EQ(number.stringValue(), "1000000005") << "one billion and five";

    // 2^64 by doubling: three limbs, carries out of the two lower ones.
    Billions power(1);
    for (int i = 0; i < 64; ++i) power = power.multiplyByTwo();
    EXPECT_EQ(power.stringValue(), "18446744073709551616");
    EXPECT_EQ(power.addOne().stringValue(), "18446744073709551617");
    EXPECT_EQ(Billions().stringValue(), "0");

    struct Case {
        Billions a, b;
        int expected;
    };
    const Case cases[] = {{Billions(7), Billions(7), 0},
                          {Billions(8), Billions(7), 1},
                          {Billions(7), power, -1},
                          {power.addOne(), power, 1}};
    for (const Case& c : cases) EXPECT_EQ(c.a.compare(c.b), c.expected) << c.a.stringValue() << " " << c.b.stringValue();
}

TEST(Billions, GenerationsPastGreatGrandparentsCountFromTwo) {
    const std::pair<int, const char*> titles[] = {
        {0, "Individual"}, {1, "Parents"}, {3, "Great Grandparents"}, {4, "Great(2) Grandparents"}, {6, "Great(4) Grandparents"}};
    for (const auto& [g, title] : titles) EXPECT_EQ(AhnentafelReport::generationTitle(g), title);
    const std::pair<int, const char*> labels[] = {{0, "I"}, {2, "G"}, {3, "G1"}, {5, "G3"}};
    for (const auto& [g, label] : labels) EXPECT_EQ(AhnentafelReport::generationLabel(g), label);
}

// Ros's parents Dov and Ena were first cousins: Kip and Lia are their
// grandparents on both sides. Nia is a mother without a husband.
const char* kCousins =
    "0 @I1@ INDI\n1 NAME Ros /Dalm/\n1 SEX F\n1 FAMC @F1@\n"
    "0 @I2@ INDI\n1 NAME Dov /Dalm/\n1 SEX M\n1 FAMC @F2@\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Ena /Quist/\n1 SEX F\n1 BIRT\n2 DATE 3 MAR 1901\n1 FAMC @F3@\n1 FAMS @F1@\n"
    "0 @I4@ INDI\n1 NAME Gus /Dalm/\n1 SEX M\n1 FAMC @F4@\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Hal /Ost/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I6@ INDI\n1 NAME Ivo /Dalm/\n1 SEX M\n1 FAMC @F4@\n1 FAMS @F3@\n"
    "0 @I7@ INDI\n1 NAME Nia /Quist/\n1 SEX F\n1 FAMC @F5@\n1 FAMS @F3@\n"
    "0 @I8@ INDI\n1 NAME Kip /Dalm/\n1 SEX M\n1 BIRT\n2 DATE 1820\n1 FAMS @F4@\n"
    "0 @I9@ INDI\n1 NAME Lia /Wend/\n1 SEX F\n1 FAMS @F4@\n"
    "0 @I10@ INDI\n1 NAME Oda /Quist/\n1 SEX F\n1 FAMS @F5@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I1@\n"
    "0 @F2@ FAM\n1 HUSB @I4@\n1 WIFE @I5@\n1 CHIL @I2@\n"
    "0 @F3@ FAM\n1 HUSB @I6@\n1 WIFE @I7@\n1 CHIL @I3@\n"
    "0 @F4@ FAM\n1 HUSB @I8@\n1 WIFE @I9@\n1 CHIL @I4@\n1 CHIL @I6@\n"
    "0 @F5@ FAM\n1 WIFE @I10@\n1 CHIL @I7@\n";

class Ahnentafel : public ::testing::Test, public ReportFixture {
protected:
    Ahnentafel() : ReportFixture(kCousins) { AhnentafelReport::registerReport(); }
    ~Ahnentafel() override { RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel, nullptr); }
    std::string run(const std::string& subject, int64_t flags, int generations) {
        ReportCommands commands(doc, host);
        const Value options(Dictionary{{"outputFlags", Value(flags)},
                                       {"maxGenerations", Value(generations)},
                                       {"theRecord", Value(record(subject))}});
        EXPECT_TRUE(commands.ahnentafel(options));
        return host.body();
    }
};

TEST_F(Ahnentafel, ParentsWhoWereCousinsListTheSharedAncestorsOnceThenContinueFromThem) {
    const std::string body = run("@I1@", 0x1, 10);
    EXPECT_EQ(host.stored.front()->viewName().rfind("Ahnentafel Report for Ros Dalm (", 0), 0u)
        << host.stored.front()->viewName();
    // Kip is 8 through Dov and 12 through Ena; Lia 9 and 13.
    EXPECT_NE(body.find("<li>8. <a name='x1'></a><a href='//@I8@'>Dalm, Kip</a><br>\nHe was born 1820. </li>"),
              std::string::npos)
        << body;
    EXPECT_NE(body.find("<li>12. <a href='//@I8@'>Dalm, Kip</a> (<a href='#x1'><font color='red'>continue from "
                        "8</font></a>)</li>\n"),
              std::string::npos);
    EXPECT_NE(body.find("<li>13. <a href='//@I9@'>Wend, Lia</a> (<a href='#x2'><font color='red'>continue from "
                        "9</font></a>)</li>\n"),
              std::string::npos);
    // A mother without a husband keeps the odd number.
    EXPECT_NE(body.find("<li>15. <a href='//@I10@'>Quist, Oda</a>"), std::string::npos);
    EXPECT_EQ(body.find("<li>14."), std::string::npos);
    for (const char* section : {"<h2><a name='g0'></a>Individual</h2>\n<ul class='ahnen'>\n<li>1. ",
                                "<h2><a name='g1'></a>Parents</h2>\n<ul class='ahnen'>\n<li>2. ",
                                "<h2><a name='g2'></a>Grandparents</h2>\n<ul class='ahnen'>\n<li>4. ",
                                "<h2><a name='g3'></a>Great Grandparents</h2>\n<ul class='ahnen'>\n<li>8. "})
        EXPECT_EQ(count(body, section), 1u) << section;
    const std::string bar = "<center>\n  <a href='#g0'>I</a> <a href='#g1'>P</a> <a href='#g2'>G</a> "
                            "<a href='#g3'>G1</a> \n</center>";
    EXPECT_EQ(count(body, bar), 2u);
    EXPECT_TRUE(body.ends_with("</ul>\n\n" + bar + "</div>"));
}

TEST_F(Ahnentafel, TheTableSortsByNameAndShowsRepeatedNumbersInRed) {
    // Bits 1 (birth date) and 32 (children, no column of its own).
    const std::string body = run("@I1@", 0x20000 | 0x1 | 0x20, 10);
    EXPECT_NE(body.find("<table>\n<thead><tr><th>Name</th><th>Number</th>\n<th>Birth Date</th>\n</tr></thead>\n"),
              std::string::npos)
        << body;
    EXPECT_EQ(count(body, "<th>"), 3u);
    EXPECT_EQ(count(body, "<td class='ahnen'><font color='red'>"), 4u) << "Kip and Lia, twice each";
    EXPECT_NE(body.find("<tr>\n<td><a href='//@I3@'>Quist, Ena</a></td><td class='ahnen'>3</td><td>3 MAR "
                        "1901</td>\n</tr>\n"),
              std::string::npos);
    // By display name: Dalm (Dov, Gus, Ivo, Kip, Kip, Ros), Ost, Quist, Wend.
    EXPECT_LT(body.find(">Dalm, Dov<"), body.find(">Dalm, Kip<"));
    EXPECT_LT(body.find(">Dalm, Ros<"), body.find(">Quist, Ena<"));
    EXPECT_LT(body.find(">Quist, Ena<"), body.find(">Wend, Lia<"));
    EXPECT_TRUE(body.ends_with("</tbody>\n</table>\n</div>"));
}

TEST_F(Ahnentafel, TheGenerationLimitAndASubjectWithoutParents) {
    struct Case {
        const char* subject;
        int generations;
        std::vector<const char*> listed, absent;
        const char* bar;
    };
    const Case cases[] = {
        {"@I1@", 1, {"<li>1. ", "<li>2. ", "<li>3. "}, {"<li>4. ", "Grandparents"}, "<a href='#g1'>P</a> \n</center>"},
        {"@I8@", 10, {"<li>1. "}, {"<li>2. ", "Parents"}, "<center>\n  <a href='#g0'>I</a> \n</center>"},
        {"@I1@", 0, {"<li>1. "}, {"<li>2. "}, "<a href='#g0'>I</a> \n</center>"},
    };
    for (const Case& c : cases) {
        host.stored.clear();
        const std::string body = run(c.subject, 0, c.generations);
        for (const char* piece : c.listed) EXPECT_NE(body.find(piece), std::string::npos) << c.subject << piece;
        for (const char* piece : c.absent) EXPECT_EQ(body.find(piece), std::string::npos) << c.subject << piece;
        EXPECT_EQ(count(body, c.bar), 2u) << c.subject << c.generations;
    }
}

TEST_F(Ahnentafel, TheDetailListStyleGivesEachFirstAppearanceASubList) {
    const std::string body = run("@I3@", 0x10000 | 0x1, 10);
    EXPECT_NE(body.find("<li>1. <a href='//@I3@'>Quist, Ena</a>\n<ul class='subahnen'>\n<li>Sex: F</li>\n<li>Born: 3 "
                        "MAR 1901</li>\n</ul>\n</li>\n"),
              std::string::npos)
        << body;
}

}  // namespace
}  // namespace kl
