// The family's report description as prose and as list lines: the spouse
// clauses with their life data, the marriage verb and its link, the
// marriage sentence, the children with the tense rules, and escaping of
// places only when the output is HTML.
#include <gtest/gtest.h>

#include "ReportTestSupport.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using test::ReportCase;
using test::texts;

constexpr std::uint32_t kList = ReportList;

const ReportCase kTextCases[] = {
    {"bare", "@F2@", 0, "Karl Berg was married to Anna Lind. ", {}},
    {"nobody", "@F5@", 0, "An unknown spouse was married to an unknown spouse. ", {}},
    {"nobody, pronoun", "@F5@", ReportPron, "", {}},
    {"missing husband", "@F4@", 0, "An unknown spouse was married to Greta Vogt. ", {}},
    {"table bit alone is prose", "@F2@", ReportTable, "Karl Berg was married to Anna Lind. ", {}},
    {"marriage data", "@F2@", ReportMD | ReportMP,
     "Karl Berg was married to Anna Lind. They were married 12 JUN 1975 in Boston & <Co>. ", {}},
    {"marriage date only", "@F2@", ReportMD, "Karl Berg was married to Anna Lind. They were married 12 JUN 1975. ", {}},
    {"pronoun leaves out the spouses", "@F2@", ReportPron | ReportMP, "They were married Boston & <Co>. ", {}},
    {"married verb linked", "@F2@", ReportMainLink, "Karl Berg was <a href='//@F2@'>married</a> to Anna Lind. ", {}},
    {"partner", "@F6@", 0, "Jon Dahl was a partner to Mia Dahl. ", {}},
    {"partner linked", "@F6@", ReportMainLink, "Jon Dahl was a <a href='//@F6@'>partner</a> to Mia Dahl. ", {}},
    {"sex letters", "@F2@", ReportSex, "Karl Berg (M) was married to Anna Lind (F). ", {}},
    {"sex words", "@F2@", ReportSex | ReportSay, "Karl Berg (male) was married to Anna Lind (female). ", {}},
    {"birth", "@F2@", ReportBD | ReportBP, "Karl Berg (b: 1 MAR 1950 in Salem) was married to Anna Lind. ", {}},
    {"birth spoken", "@F2@", ReportBD | ReportSay, "Karl Berg (born 1 MAR 1950) was married to Anna Lind. ", {}},
    {"sex then birth", "@F2@", ReportSex | ReportBD, "Karl Berg (M, b: 1 MAR 1950) was married to Anna Lind (F). ",
     {}},
    {"unknown sex opens no empty bracket", "@F6@", ReportSex | ReportBD,
     "Jon Dahl (b: 1 JAN 1900) was a partner to Mia Dahl (F). ", {}},
    {"death", "@F1@", ReportDD | ReportDP, "Otto Berg (d: 1990 in Ulm) was married to Eva Roth. ", {}},
    {"death place only", "@F1@", ReportDP, "Otto Berg (d: in Ulm) was married to Eva Roth. ", {}},
    {"children, present", "@F2@", ReportCN,
     "Karl Berg was married to Anna Lind. Their children are Lena Berg and Max Berg.  ", {}},
    {"children with sex and birth", "@F2@", ReportCN | ReportSex | ReportBD,
     "Karl Berg (M, b: 1 MAR 1950) was married to Anna Lind (F). "
     "Their children are Lena Berg (daughter, b: 1976) and Max Berg (?).  ",
     {}},
    {"children linked", "@F2@", ReportCN | ReportLinks,
     "<a href='//@I1@'>Karl Berg</a> was married to <a href='//@I4@'>Anna Lind</a>. "
     "Their children are <a href='//@I5@'>Lena Berg</a> and <a href='//@I6@'>Max Berg</a>.  ",
     {}},
    {"one child of a dead father", "@F1@", ReportCN, "Otto Berg was married to Eva Roth. Their child was Karl Berg. ",
     {}},
    {"death without date keeps present", "@F4@", ReportCN,
     "An unknown spouse was married to Greta Vogt. Their child is Sam Ray. ", {}},
};

const ReportCase kListCases[] = {
    {"list: spouses", "@F2@", kList, "", {"Husband: Karl Berg", "Wife: Anna Lind"}},
    {"list: nobody", "@F5@", kList, "", {"Husband: An unknown spouse", "Wife: an unknown spouse"}},
    {"list: no sex marker", "@F2@", kList | ReportSex | ReportBD, "",
     {"Husband: Karl Berg (b: 1 MAR 1950)", "Wife: Anna Lind"}},
    {"list: everything", "@F2@", kList | ReportMD | ReportMP | ReportCN, "",
     {"Husband: Karl Berg", "Wife: Anna Lind", "Married: 12 JUN 1975 in Boston & <Co>", "Children: Lena Berg",
      "     Max Berg"}},
    {"list: links", "@F2@", kList | ReportLinks | ReportCN, "",
     {"Husband: <a href='//@I1@'>Karl Berg</a>", "Wife: <a href='//@I4@'>Anna Lind</a>",
      "Children: <a href='//@I5@'>Lena Berg</a>", "     <a href='//@I6@'>Max Berg</a>"}},
    {"list: not married, unknown sex in the husband slot", "@F6@", kList, "", {"Father: Jon Dahl", "Mother: Mia Dahl"}},
    {"list: pronoun", "@F2@", kList | ReportPron | ReportMD, "", {"Married: 12 JUN 1975"}},
};

class FamilyReportText : public testing::TestWithParam<ReportCase>, public test::ClanFixture {};

TEST_P(FamilyReportText, WritesTheSentences) {
    const ReportCase& c = GetParam();
    const Value description = fam(c.recordID)->reportDescription(c.options);
    ASSERT_TRUE(description.string()) << c.label;
    EXPECT_EQ(description.toString(), c.text) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, FamilyReportText, testing::ValuesIn(kTextCases), ::kl::test::CaseName());

class FamilyReportLines : public testing::TestWithParam<ReportCase>, public test::ClanFixture {};

TEST_P(FamilyReportLines, WritesOneLinePerEntry) {
    const ReportCase& c = GetParam();
    EXPECT_EQ(texts(fam(c.recordID)->reportDescription(c.options)), c.lines) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, FamilyReportLines, testing::ValuesIn(kListCases), ::kl::test::CaseName());

// F7 married on 1 JAN 1944: 29201 days later the children are past, a day
// earlier still present, unless Ben's birth (2 FEB 1943, more than 29201
// days back) is shown.
TEST(FamilyReportTense, EightyYearsOfMarriageOrBirth) {
    struct Case {
        int year, month, day;
        std::uint32_t options;
        const char* expected;
    };
    const Case cases[] = {
        {2023, 12, 13, ReportCN, "Their child was Ben Kurz. "},
        {2023, 12, 12, ReportCN, "Their child is Ben Kurz. "},
        {2023, 12, 12, ReportCN | ReportBD, "Their child was Ben Kurz (b: 2 FEB 1943). "},
    };
    for (const Case& c : cases) {
        test::PeopleStoreFixture store;
        store.load(test::kClan);
        test::FixedToday today(c.year, c.month, c.day);
        EXPECT_EQ(store.fam("@F7@")->reportDescription(c.options).toString(),
                  std::string("An unknown spouse was married to an unknown spouse. ") + c.expected)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(FamilyReportEscaping, EscapesPlacesOnlyForHTML) {
    struct Case {
        std::uint32_t bits;
        bool escaped;
    };
    test::ClanFixture clan;
    for (const Case c : {Case{0, false}, Case{ReportSay, false}, Case{ReportList, false}, Case{ReportLinks, true},
                         Case{ReportMainLink, true}, Case{ReportHTML, true}}) {
        const Value value = clan.fam("@F2@")->reportDescription(ReportMP | c.bits);
        std::string text = value.string() ? *value.string() : std::string();
        for (const auto& line : texts(value)) text += line;
        EXPECT_EQ(text.find("Boston &amp; &lt;Co&gt;") != std::string::npos, c.escaped) << c.bits << ": " << text;
        EXPECT_EQ(text.find("Boston & <Co>") != std::string::npos, !c.escaped) << c.bits << ": " << text;
    }
}

}  // namespace
}  // namespace kl
