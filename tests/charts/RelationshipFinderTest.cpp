// The relationship finder: names from generation counts, the paths found
// between two people of small families and of a real file, and the chart
// page drawn for one of them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "ChartsTestSupport.h"
#include "charts/RelationshipChart.h"
#include "charts/RelationshipSearch.h"
#include "charts/ReportController.h"
#include "charts/RelativesWalk.h"
#include "foundation/Logger.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl::test {
namespace {

// Three generations around Gus (I7):
//   Tor (I20) + Una (I21) [F0]: Aldo (I1), Wim (I23); Vera (I22) [F00]: Tor
//   Aldo + Bria (I2) [F1]: Cato (I3), Dina (I4)
//   Cato + Elsa (I5) [F2]: Gus, Hana (I8); Cato + Lia (I12) [F5]: Mira (I13)
//   Finn (I6) + Dina [F3]: Ivo (I9); Ivo + Juna (I10) [F4]: Kai (I11)
//   Gus + Nora (I14) [F6]: Olaf (I15); Olaf [F7]: Pia (I16)
//   Quin (I17) + Hana [F8]: Rafe (I18)
//   Wim [F9]: Xan (I24); Xan [F10]: Yara (I25); Sera (I19) stands alone.
const char* kClan =
    "0 @I1@ INDI\n1 NAME Aldo /Brenn/\n1 SEX M\n1 FAMC @F0@\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Bria /Holm/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Cato /Brenn/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F2@\n1 FAMS @F5@\n"
    "0 @I4@ INDI\n1 NAME Dina /Brenn/\n1 SEX F\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I5@ INDI\n1 NAME Elsa /Marr/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I6@ INDI\n1 NAME Finn /Oske/\n1 SEX M\n1 FAMS @F3@\n"
    "0 @I7@ INDI\n1 NAME Gus /Brenn/\n1 SEX M\n1 FAMC @F2@\n1 FAMS @F6@\n"
    "0 @I8@ INDI\n1 NAME Hana /Brenn/\n1 SEX F\n1 FAMC @F2@\n1 FAMS @F8@\n"
    "0 @I9@ INDI\n1 NAME Ivo /Oske/\n1 SEX M\n1 FAMC @F3@\n1 FAMS @F4@\n"
    "0 @I10@ INDI\n1 NAME Juna /Pell/\n1 SEX F\n1 FAMS @F4@\n"
    "0 @I11@ INDI\n1 NAME Kai /Oske/\n1 SEX M\n1 FAMC @F4@\n"
    "0 @I12@ INDI\n1 NAME Lia /Sand/\n1 SEX F\n1 FAMS @F5@\n"
    "0 @I13@ INDI\n1 NAME Mira /Brenn/\n1 SEX F\n1 FAMC @F5@\n"
    "0 @I14@ INDI\n1 NAME Nora /Vell/\n1 SEX F\n1 FAMS @F6@\n"
    "0 @I15@ INDI\n1 NAME Olaf /Brenn/\n1 SEX M\n1 FAMC @F6@\n1 FAMS @F7@\n"
    "0 @I16@ INDI\n1 NAME Pia /Brenn/\n1 SEX F\n1 FAMC @F7@\n"
    "0 @I17@ INDI\n1 NAME Quin /Tay/\n1 SEX M\n1 FAMS @F8@\n"
    "0 @I18@ INDI\n1 NAME Rafe /Tay/\n1 SEX M\n1 FAMC @F8@\n"
    "0 @I19@ INDI\n1 NAME Sera /Umb/\n1 SEX F\n"
    "0 @I20@ INDI\n1 NAME Tor /Brenn/\n1 SEX M\n1 FAMC @F00@\n1 FAMS @F0@\n"
    "0 @I21@ INDI\n1 NAME Una /Krag/\n1 SEX F\n1 FAMS @F0@\n"
    "0 @I22@ INDI\n1 NAME Vera /Lund/\n1 SEX F\n1 FAMS @F00@\n"
    "0 @I23@ INDI\n1 NAME Wim /Brenn/\n1 SEX M\n1 FAMC @F0@\n1 FAMS @F9@\n"
    "0 @I24@ INDI\n1 NAME Xan /Brenn/\n1 SEX M\n1 FAMC @F9@\n1 FAMS @F10@\n"
    "0 @I25@ INDI\n1 NAME Yara /Brenn/\n1 SEX F\n1 FAMC @F10@\n"
    "0 @F00@ FAM\n1 WIFE @I22@\n1 CHIL @I20@\n"
    "0 @F0@ FAM\n1 HUSB @I20@\n1 WIFE @I21@\n1 CHIL @I1@\n1 CHIL @I23@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I4@\n"
    "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I5@\n1 CHIL @I7@\n1 CHIL @I8@\n"
    "0 @F3@ FAM\n1 HUSB @I6@\n1 WIFE @I4@\n1 CHIL @I9@\n"
    "0 @F4@ FAM\n1 HUSB @I9@\n1 WIFE @I10@\n1 CHIL @I11@\n"
    "0 @F5@ FAM\n1 HUSB @I3@\n1 WIFE @I12@\n1 CHIL @I13@\n"
    "0 @F6@ FAM\n1 HUSB @I7@\n1 WIFE @I14@\n1 CHIL @I15@\n"
    "0 @F7@ FAM\n1 HUSB @I15@\n1 CHIL @I16@\n"
    "0 @F8@ FAM\n1 HUSB @I17@\n1 WIFE @I8@\n1 CHIL @I18@\n"
    "0 @F9@ FAM\n1 HUSB @I23@\n1 CHIL @I24@\n"
    "0 @F10@ FAM\n1 HUSB @I24@\n1 CHIL @I25@\n";

// Pat and Bo are brothers, Dee and Em sisters; Pat + Dee have Sal, Bo + Em
// have Tam: double first cousins.
const char* kDoubleCousins =
    "0 @I1@ INDI\n1 NAME Sal /Ro/\n1 SEX M\n1 FAMC @F3@\n"
    "0 @I2@ INDI\n1 NAME Tam /Ro/\n1 SEX F\n1 FAMC @F4@\n"
    "0 @I3@ INDI\n1 NAME Pat /Ro/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I4@ INDI\n1 NAME Bo /Ro/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F4@\n"
    "0 @I5@ INDI\n1 NAME Dee /Ne/\n1 SEX F\n1 FAMC @F2@\n1 FAMS @F3@\n"
    "0 @I6@ INDI\n1 NAME Em /Ne/\n1 SEX F\n1 FAMC @F2@\n1 FAMS @F4@\n"
    "0 @F1@ FAM\n1 CHIL @I3@\n1 CHIL @I4@\n"
    "0 @F2@ FAM\n1 CHIL @I5@\n1 CHIL @I6@\n"
    "0 @F3@ FAM\n1 HUSB @I3@\n1 WIFE @I5@\n1 CHIL @I1@\n"
    "0 @F4@ FAM\n1 HUSB @I4@\n1 WIFE @I6@\n1 CHIL @I2@\n";

// Ash's parents Fal and Moa are first cousins: Moa's father Kip is the
// brother of Fal's father Ren.
const char* kCousinParents =
    "0 @I1@ INDI\n1 NAME Ash /Dal/\n1 SEX M\n1 FAMC @F4@\n"
    "0 @I2@ INDI\n1 NAME Fal /Dal/\n1 SEX M\n1 FAMC @F2@\n1 FAMS @F4@\n"
    "0 @I3@ INDI\n1 NAME Moa /Dal/\n1 SEX F\n1 FAMC @F3@\n1 FAMS @F4@\n"
    "0 @I4@ INDI\n1 NAME Ren /Dal/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Kip /Dal/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I6@ INDI\n1 NAME Gor /Dal/\n1 SEX M\n1 FAMS @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I6@\n1 CHIL @I4@\n1 CHIL @I5@\n"
    "0 @F2@ FAM\n1 HUSB @I4@\n1 CHIL @I2@\n"
    "0 @F3@ FAM\n1 HUSB @I5@\n1 CHIL @I3@\n"
    "0 @F4@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I1@\n";

// Rik's family F1 has a child Lon who is the husband of F2, whose child Pim
// is the husband of F1 again: a family among its own descendants.
const char* kLoop =
    "0 @I1@ INDI\n1 NAME Ada /Qu/\n1 SEX F\n1 FAMC @F0@\n"
    "0 @I2@ INDI\n1 NAME Rik /Qu/\n1 SEX M\n1 FAMC @F0@\n1 FAMC @F2@\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Lon /Qu/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F2@\n"
    "0 @I4@ INDI\n1 NAME Zed /Ot/\n1 SEX M\n"
    "0 @F0@ FAM\n1 CHIL @I1@\n1 CHIL @I2@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I3@\n"
    "0 @F2@ FAM\n1 HUSB @I3@\n1 CHIL @I2@\n";

std::vector<std::string> names(const std::vector<RelationshipRow>& rows) {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.name);
    return out;
}

// "I7" as the record ID "@I7@".
std::string id(const std::string& plain) { return plain.starts_with('@') ? plain : "@" + plain + "@"; }

std::vector<RelationshipRow> find(TreeFixture& f, const std::string& to, const std::string& from) {
    RelationshipSearch search(f.doc.gedcomModel(), f.person(id(to)), f.person(id(from)));
    search.start();
    search.wait();
    EXPECT_FALSE(search.searching());
    return search.results();
}

TEST(Relative, NamesFromGenerationCounts) {
    struct Case {
        int a, d;
        char16_t sex;
        const char* name;
    } cases[] = {
        {0, 0, u'M', "Self"},
        {0, 1, u'M', "Son"},
        {0, 2, u'F', "Granddaughter"},
        {0, 3, u'M', "Great Grandson"},
        {0, 5, u'F', "Great(3) Granddaughter"},
        {1, 0, u'M', "Father"},
        {2, 0, u'F', "Grandmother"},
        {4, 0, u'F', "Great(2) Grandmother"},
        {1, -1, u'F', "Step Mother"},
        {2, -1, u'M', "Step Grandfather"},
        {3, -1, u'F', "Step Great Grandmother"},
        {1, 1, u'M', "Brother"},
        {1, 1, u'U', "Sister"},
        {1, 2, u'M', "Nephew"},
        {1, 3, u'F', "Great Niece"},
        {1, 5, u'M', "Great(3) Nephew"},
        {2, 1, u'M', "Uncle"},
        {3, 1, u'F', "Great Aunt"},
        {5, 1, u'M', "Great(3) Uncle"},
        {2, 2, u'M', "1st cousin"},
        {2, 3, u'M', "1st cousin, once removed"},
        {3, 2, u'M', "1st cousin, once removed"},
        {2, 4, u'M', "1st cousin, 2 times removed"},
        {3, 3, u'F', "2nd cousin"},
        {4, 4, u'F', "3rd cousin"},
        {5, 5, u'F', "4th cousin"},
        {12, 12, u'M', "11th cousin"},
        {13, 13, u'M', "12th cousin"},
        {14, 14, u'M', "13th cousin"},
        {22, 22, u'M', "21st cousin"},
        {23, 25, u'M', "22nd cousin, 2 times removed"},
    };
    for (const Case& c : cases) {
        const Relative r(nullptr, c.sex, c.a, c.d);
        EXPECT_EQ(r.relationship(), c.name) << c.a << "," << c.d;
    }
}

TEST(Relative, HeadingsGroupASortedListAndCousinsShareOne) {
    // In sorted order, with the heading each one opens (or none).
    struct Case {
        int a, d;
        const char* heading;
    } cases[] = {
        {0, 0, "Individual"}, {0, 1, "Children"},       {1, 0, "Parents"},
        {1, -1, nullptr},     {1, 1, "Siblings"},       {0, 2, "Grandchildren"},
        {2, 0, "Grandparents"}, {1, 2, "Nephews and Nieces"}, {2, 1, "Aunts and Uncles"},
        {2, 2, "1st Cousins"}, {2, 3, nullptr},         {3, 2, nullptr},
        {3, 1, "Great Aunts Uncles"}, {3, 3, "2nd Cousins"},    {12, 12, "11th Cousins"},
        {22, 22, "21st Cousins"},
    };
    std::vector<Relative> list;
    for (const Case& c : cases) list.emplace_back(nullptr, u'M', c.a, c.d);
    int32_t lastType = -1, lastCode = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto heading = list[i].pluralType(lastType, lastCode);
        EXPECT_EQ(heading.value_or("-"), cases[i].heading ? cases[i].heading : "-") << i;
        if (i > 0) {
            EXPECT_LE(list[i - 1].compare(list[i]), 0) << i;
        }
    }
}

TEST(Relative, KeepsTheClosestWayItWasReached) {
    Relative r(nullptr, u'F', 3, 2);
    EXPECT_FALSE(r.chooseAncest(4, 1));
    EXPECT_TRUE(r.chooseAncest(2, 1));
    EXPECT_EQ(r.relationship(), "Aunt");
    EXPECT_EQ(r.generation(), 2);
    EXPECT_EQ(r.cousin(), 0);
}

struct Sought {
    const char* from;
    std::vector<std::string> rows;
};

TEST(RelationshipFinder, FindsEachRelationshipFromTheSubject) {
    TreeFixture f(kClan);
    const Sought cases[] = {
        {"I7", {"Self"}},
        {"I14", {"Spouse"}},
        {"I3", {"Father"}},
        {"I5", {"Mother"}},
        {"I1", {"Grandfather"}},
        {"I21", {"Great Grandmother"}},
        {"I22", {"Great(2) Grandmother"}},
        {"I12", {"Step Mother"}},
        {"I8", {"Sister"}},
        {"I13", {"Sister"}},  // through the father's other family
        {"I18", {"Nephew"}},
        {"I4", {"Aunt"}},
        {"I23", {"Great Uncle"}},
        {"I9", {"1st cousin"}},
        {"I11", {"1st cousin, once removed"}},
        {"I24", {"1st cousin, once removed"}},
        {"I25", {"2nd cousin"}},
        {"I15", {"Son"}},
        {"I16", {"Granddaughter"}},
        // By marriage only, or not at all: nothing.
        {"I6", {}},
        {"I17", {}},
        {"I19", {}},
    };
    for (const Sought& c : cases) EXPECT_EQ(names(find(f, "I7", c.from)), c.rows) << c.from;
    // Seen from the other side.
    EXPECT_EQ(names(find(f, "I11", "I7")), std::vector<std::string>{"1st cousin, once removed"});
    EXPECT_EQ(names(find(f, "I13", "I12")), std::vector<std::string>{"Mother"});
}

TEST(RelationshipFinder, KeepsOneRowPerDegreeAndRemoval) {
    TreeFixture doubles(kDoubleCousins);
    EXPECT_EQ(names(find(doubles, "I1", "I2")), std::vector<std::string>{"1st cousin"});

    TreeFixture related(kCousinParents);
    EXPECT_EQ(names(find(related, "I1", "I5")), (std::vector<std::string>{"Grandfather", "Great Uncle"}));
    // Fal and Moa: spouses and first cousins.
    EXPECT_EQ(names(find(related, "I2", "I3")), (std::vector<std::string>{"Spouse", "1st cousin"}));
}

TEST(RelationshipFinder, AFamilyAmongItsOwnDescendantsIsLoggedAndSkipped) {
    TreeFixture f(kLoop);
    std::vector<std::string> logged;
    const auto old = Logger::setSink([&](const std::string& line) { logged.push_back(line); });
    RelationshipSearch search(f.doc.gedcomModel(), f.person("@I1@"), f.person("@I4@"));
    search.start();
    search.wait();
    Logger::setSink(old);
    EXPECT_TRUE(search.results().empty());
    EXPECT_FALSE(search.loopedFamilies().empty());
    ASSERT_FALSE(logged.empty());
    EXPECT_NE(logged.front().find("descends from itself"), std::string::npos);
    // And the loop does not hide a relative inside it.
    EXPECT_EQ(names(find(f, "I1", "I3")), std::vector<std::string>{"Nephew"});
}

TEST(RelationshipFinder, StoppingKeepsWhatWasFound) {
    TreeFixture f(kClan);
    RelationshipSearch search(f.doc.gedcomModel(), f.person("@I7@"), f.person("@I3@"));
    search.stop();
    search.start();
    search.wait();
    EXPECT_FALSE(search.searching());
    EXPECT_TRUE(search.results().empty());
}

TEST(RelativesWalk, ListsEachRelativeOnceAtItsClosest) {
    TreeFixture related(kCousinParents);
    auto graph = std::make_shared<RelativesGraph>(related.doc.gedcomModel());
    RelativesWalk walk(graph, graph->personIndex(related.person("@I1@").get()), 10);
    int listed = 0;
    walk.setOnListed([&] { ++listed; });
    std::map<std::string, std::string> found;
    for (const Relative& r : walk.listRelatives()) {
        EXPECT_TRUE(found.emplace(r.info()->grecordID(), r.relationship()).second) << r.info()->grecordID();
    }
    EXPECT_EQ(listed, static_cast<int>(found.size()));
    EXPECT_EQ(found["@I1@"], "Self");
    EXPECT_EQ(found["@I5@"], "Grandfather");  // also a great uncle, listed as the ancestor
    EXPECT_EQ(found["@I6@"], "Great Grandfather");

    TreeFixture clan(kClan);
    graph = std::make_shared<RelativesGraph>(clan.doc.gedcomModel());
    RelativesWalk near(graph, graph->personIndex(clan.person("@I7@").get()), 1);
    found.clear();
    for (const Relative& r : near.listRelatives()) found.emplace(r.info()->grecordID(), r.relationship());
    EXPECT_EQ(found["@I12@"], "Step Mother");
    EXPECT_EQ(found["@I13@"], "Sister");
    EXPECT_EQ(found["@I15@"], "Son");
    EXPECT_FALSE(found.contains("@I1@"));   // two generations up
    EXPECT_FALSE(found.contains("@I14@"));  // a spouse is no blood relative
}

TEST(RelationshipFinder, FindsGrandparentsAndCousinsInARealFile) {
    const auto path = corpusFolder() / "gedcom-parse" / "compat-paf2.ged";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no test data at " << path;
    const std::string bytes = readCorpusBytes(path);
    TreeFixture f(decode(bytes, guessCorpusEncoding(bytes)).text);
    // The first person with a paternal grandfather and a first cousin
    // through that grandfather's family.
    std::shared_ptr<INDIRecord> subject, grandfather, cousin;
    for (const auto& record : f.doc.gedcomModel().recordsOfType("INDI")) {
        auto person = std::dynamic_pointer_cast<INDIRecord>(record);
        const auto father = person->fatherRecord();
        const auto top = father ? father->parentsFAM() : nullptr;
        if (!top || !top->husbandRecord()) continue;
        for (const auto& uncle : top->children()) {
            if (uncle == father) continue;
            for (const auto& kid : uncle->childrenRecs())
                if (kid != person && kid->parentsFAM() && kid->parentsFAM()->children().size() > 0) cousin = kid;
        }
        if (!cousin) continue;
        subject = person;
        grandfather = top->husbandRecord();
        break;
    }
    ASSERT_TRUE(subject);
    // The snapshot's links are the individuals' own.
    const RelativesGraph graph(f.doc.gedcomModel());
    for (const auto& person : graph.people()) {
        INDIRecord::ParentSteps steps;
        std::vector<int> parents;
        for (const auto& family : person.record->allParentsStartStep(&steps))
            parents.push_back(graph.familyIndex(family.get()));
        ASSERT_EQ(person.parents, parents) << person.record->grecordID();
        ASSERT_EQ(person.own, steps.own);
        ASSERT_EQ(person.father, steps.father);
    }
    for (const auto& family : graph.families()) {
        ASSERT_EQ(family.husband, graph.personIndex(family.record->husbandRecord().get()));
        ASSERT_EQ(family.wife, graph.personIndex(family.record->wifeRecord().get()));
        ASSERT_EQ(family.children.size(), family.record->children().size());
    }
    const auto grand = find(f, subject->grecordID(), grandfather->grecordID());
    ASSERT_FALSE(grand.empty());
    EXPECT_EQ(grand.front().name, "Grandfather");
    const auto cousins = find(f, subject->grecordID(), cousin->grecordID());
    ASSERT_FALSE(cousins.empty());
    EXPECT_EQ(cousins.front().name, "1st cousin");
    EXPECT_EQ(cousins.front().ancestLine.size(), 2u);
    EXPECT_EQ(cousins.front().descendLine.size(), 1u);
}

// ---- the chart

// The table's rows as text: [ID] a box ([[ID]] over four columns), [?] an
// unknown parent, | a line, |Stepmother a labelled one, _ a gap, . a cell.
std::vector<std::string> picture(const std::string& page) {
    const auto begin = page.find("<table>\n"), end = page.find("</table>");
    std::string t = page.substr(begin + 8, end - begin - 8);
    t = std::regex_replace(t, std::regex("\n"), "");
    t = std::regex_replace(t, std::regex("<td class='(male|female)' colspan='2'><a href='//@(\\w+)@'>.*?</a></td>"),
                           "[$2]");
    t = std::regex_replace(t, std::regex("<td class='(male|female)' colspan='4'><a href='//@(\\w+)@'>.*?</a></td>"),
                           "[[$2]]");
    t = std::regex_replace(t, std::regex("<td class='male' colspan='2'>\\(Unknown Parent\\)</td>"), "[?]");
    t = std::regex_replace(t, std::regex("<td class='l?line'>(\\w*)</td><td></td>"), "|$1");
    t = std::regex_replace(t, std::regex("<td></td><td></td>"), "_");
    t = std::regex_replace(t, std::regex("<td></td>"), ".");
    std::vector<std::string> rows;
    std::size_t at = 0;
    while ((at = t.find("<tr>", at)) != std::string::npos) {
        const auto stop = t.find("</tr>", at);
        rows.push_back(t.substr(at + 4, stop - at - 4));
        at = stop;
    }
    return rows;
}

struct ChartCase {
    const char* from;
    std::vector<std::string> rows;
};

TEST(RelationshipChart, DrawsEachKindOfRelationship) {
    TreeFixture f(kClan);
    const ChartCase cases[] = {
        {"I3", {"[I3]", "|", "[I7]"}},
        {"I16", {"[I7]", "|", "[I15]", "|", "[I16]"}},
        {"I14", {"[I7]", "|", "[I14]"}},
        {"I8", {".[[I3]].", "_|_", ".[[I5]]_", "|_|", "[I7]_[I8]"}},
        {"I13", {".[[I3]].", "_|_", ".[[I12]]_", "|Stepmother_|", "[I7]_[I13]"}},
        {"I9", {".[[I1]].", "_|_", ".[[I2]]_", "|_|", "[I3]_[I4]", "|_|", "[I7]_[I9]"}},
        {"I11",
         {".[[I1]].", "_|_", ".[[I2]]_", "|_|", "[I3]_[I4]", "|_|", "[I7]_[I9]", "__|", "__[I11]"}},
        {"I12", {"[I12]", "|", "[I7]"}},
    };
    for (const ChartCase& c : cases) {
        const auto rows = find(f, "I7", c.from);
        ASSERT_EQ(rows.size(), 1u) << c.from;
        RelationshipChart chart(f.person("@I7@"), f.person(id(c.from)), nullptr, &f.doc.gedcomModel(), {});
        EXPECT_EQ(picture(chart.chartPage(rows.front())), c.rows) << c.from;
    }
    // Seen from the half-sister, the line enters the father's other family
    // and its wife is her stepmother.
    const auto rows = find(f, "I13", "I8");
    ASSERT_EQ(names(rows), std::vector<std::string>{"Sister"});
    RelationshipChart chart(f.person("@I13@"), f.person("@I8@"), nullptr, &f.doc.gedcomModel(), {});
    EXPECT_EQ(picture(chart.chartPage(rows.front())),
              (std::vector<std::string>{".[[I3]].", "_|_", ".[[I5]]_", "|Stepmother_|", "[I13]_[I8]"}));
}

TEST(RelationshipChart, ASecondBirthFamilyIsNoStepFamily) {
    // Oda is a child of F1 and, adopted, of F2, where Per is her brother.
    TreeFixture f(
        "0 @I1@ INDI\n1 NAME Oda /Lem/\n1 SEX F\n1 FAMC @F1@\n1 FAMC @F2@\n"
        "0 @I2@ INDI\n1 NAME Per /Sto/\n1 SEX M\n1 FAMC @F2@\n"
        "0 @I3@ INDI\n1 NAME Ulf /Sto/\n1 SEX M\n1 FAMS @F2@\n"
        "0 @I4@ INDI\n1 NAME Ria /Sto/\n1 SEX F\n1 FAMS @F2@\n"
        "0 @F1@ FAM\n1 CHIL @I1@\n"
        "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I4@\n1 CHIL @I1@\n1 CHIL @I2@\n");
    const auto rows = find(f, "I1", "I2");
    ASSERT_EQ(names(rows), std::vector<std::string>{"Brother"});
    RelationshipChart chart(f.person("@I1@"), f.person("@I2@"), nullptr, &f.doc.gedcomModel(), {});
    EXPECT_EQ(picture(chart.chartPage(rows.front())),
              (std::vector<std::string>{".[[I3]].", "_|_", ".[[I4]]_", "|_|", "[I1]_[I2]"}));
}

TEST(RelationshipChart, PageHeadTitleAndUnknownParent) {
    TreeFixture f(kClan);
    // A line whose lower family has no partner born in the upper one.
    RelationshipRow row{"1st cousin", {f.person("@I4@")}, {f.family("@F2@"), f.family("@F3@")}, 1, 0};
    RelationshipChart chart(f.person("@I7@"), f.person("@I9@"), nullptr, &f.doc.gedcomModel(), {"#102030", "#A0B0C0"});
    const std::string page = chart.chartPage(row);
    EXPECT_EQ(picture(page)[4], "[?]_[I4]");
    EXPECT_NE(page.find("<h1>Relationship of " + f.person("@I9@")->altViewName() + " to " +
                        f.person("@I7@")->altViewName() + "</h1>\n<p>Relationship: 1st cousin</p>\n"),
              std::string::npos);
    EXPECT_NE(page.find(".male { border: solid 1px #000;\n      background-color: #102030;\n"), std::string::npos);
    EXPECT_NE(page.find(".female { border: solid 1px #000;\n      background-color: #A0B0C0;\n"), std::string::npos);
    EXPECT_TRUE(page.starts_with("<div>\n<head>\n  <style>\n"));
    EXPECT_TRUE(page.ends_with("</table>\n</div>"));
}

TEST(RelationshipChart, BoxLinesFollowTheColumnLabels) {
    TreeFixture f(
        "0 @I1@ INDI\n1 NAME Ona /<b>Fay</b>/\n1 SEX F\n1 FAMC @F1@\n1 BIRT\n2 DATE 1901\n"
        "0 @I2@ INDI\n1 NAME Pel /Fay/\n1 SEX M\n1 FAMS @F1@\n"
        "0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n");
    auto style = std::make_shared<IndexStyle>("INDI");
    // Born lines read the birth date, Died lines the (missing) death date.
    for (const char* label : {"Name", "+Born", "+Died", "\u00b1Born", "\u00b1Died", "-Born", "-Died", "Born", "Died"}) {
        const bool born = std::string(label).find("Born") != std::string::npos;
        style->addColumn(Dictionary{{"Label", Value(label)}, {"Expression", Value(born ? "BIRT.DATE" : "DEAT.DATE")}});
    }
    const auto rows = find(f, "I2", "I1");
    ASSERT_EQ(names(rows), std::vector<std::string>{"Daughter"});
    RelationshipChart chart(f.person("@I2@"), f.person("@I1@"), style, &f.doc.gedcomModel(), {});
    const std::string page = chart.chartPage(rows.front());
    const auto box = page.find("<td class='female' colspan='2'><a href='//@I1@'>");
    ASSERT_NE(box, std::string::npos);
    const std::string cell = page.substr(box, page.find("</td>", box) - box);
    const std::string date = style->dataForRecord(*f.person("@I1@"), 1, &f.doc.gedcomModel());
    ASSERT_FALSE(date.empty());
    EXPECT_EQ(cell,
              "<td class='female' colspan='2'><a href='//@I1@'>" + ReportController::htmlText(f.person("@I1@")->altViewName()) +
                  "<br>Born: " + date + "<br>Died: <br>" + date + "<br>&nbsp;<br>" + date + "<br>Born: " + date +
                  "</a>");
    EXPECT_EQ(page.find("<b>"), std::string::npos);
}

TEST(RelationshipChart, APortraitPathWithBlanksAndQuotesBecomesAnEncodedAddress) {
    const auto folder = std::filesystem::temp_directory_path() / ("kl-chart-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "Family Photos");
    const auto picture = folder / "Family Photos" / "o'face.jpg";
    std::ofstream(picture) << "not really a picture";
    TreeFixture f("0 @I1@ INDI\n1 NAME Ona /Fay/\n1 SEX F\n1 FAMC @F1@\n1 OBJE @M1@\n"
                  "0 @I2@ INDI\n1 NAME Pel /Fay/\n1 SEX M\n1 FAMS @F1@\n"
                  "0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n"
                  "0 @M1@ OBJE\n1 FILE " + picture.string() + "\n2 FORM jpeg\n");
    auto style = std::make_shared<IndexStyle>("INDI");
    for (const char* label : {"Name", "Picture"})
        style->addColumn(Dictionary{{"Label", Value(label)}, {"Expression", Value(label[0] == 'N' ? "NAME" : "portrait")}});
    style->setPortraitColumn(1);
    const auto rows = find(f, "I2", "I1");
    ASSERT_FALSE(rows.empty());
    RelationshipChart chart(f.person("@I2@"), f.person("@I1@"), style, &f.doc.gedcomModel(), {});
    const std::string page = chart.chartPage(rows.front());
    std::filesystem::remove_all(folder);

    const std::string address = "file://" + folder.string() + "/Family%20Photos/o%27face.jpg";
    EXPECT_NE(page.find("<img src='" + address + "' align='left'"), std::string::npos) << page;
    EXPECT_EQ(page.find("Family Photos"), std::string::npos);
}

TEST(RelationshipChart, ColorText) {
    struct Case {
        Color color;
        bool rgba;
        const char* text;
    } cases[] = {
        {Color::white(1), false, "#FFFFFF"},
        {Color::white(1), true, "rgba(255,255,255,1.000)"},
        {Color::white(0.5), false, "#7F7F7F"},
        {{1, 0.5, 0, 0.25}, true, "rgba(255,127,0,0.250)"},
        {{0.0, 0.75, 1.0, 1}, false, "#00BFFF"},
    };
    for (const Case& c : cases) {
        double alpha = 0;
        EXPECT_EQ(RelationshipChart::translateColor(c.color, &alpha, c.rgba), c.text);
        EXPECT_EQ(alpha, c.color.alpha);
    }
}

}  // namespace
}  // namespace kl::test
