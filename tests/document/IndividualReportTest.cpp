// The individual's report description in its three forms: which facts each
// option brings, the switch from the name to the pronoun after the first
// sentence, the tense of the children sentences, and HTML escaping of places
// only when the output is HTML.
#include <gtest/gtest.h>

#include "ReportTestSupport.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using test::ReportCase;
using test::texts;

constexpr std::uint32_t kTable = ReportTable;
constexpr std::uint32_t kList = ReportList;

const ReportCase kTextCases[] = {
    {"bare name", "@I1@", 0, "Karl Berg. ", {}},
    {"birth date and place", "@I1@", ReportBD | ReportBP, "Karl Berg was born 1 MAR 1950 in Salem. ", {}},
    {"birth date", "@I1@", ReportBD, "Karl Berg was born 1 MAR 1950. ", {}},
    {"birth place", "@I1@", ReportBP, "Karl Berg was born in Salem. ", {}},
    {"no death asked of the living", "@I1@", ReportDD | ReportDP, "Karl Berg. ", {}},
    {"death date and place", "@I2@", ReportDD | ReportDP, "Otto Berg died 1990 in Ulm. ", {}},
    {"pronoun after birth", "@I1@", ReportBD | ReportFM,
     "Karl Berg was born 1 MAR 1950. His parents were Otto Berg and Eva Roth. ", {}},
    {"she and her", "@I5@", ReportBD | ReportDD | ReportFM,
     "Lena Berg was born 1976. She died 2020. Her parents were Karl Berg and Anna Lind. ", {}},
    {"one parent by sex", "@I9@", ReportFM, "Sam Ray's mother was Greta Vogt. ", {}},
    {"parents linked", "@I1@", ReportFM | ReportLinks,
     "Karl Berg's parents were <a href='//@I2@'>Otto Berg</a> and <a href='//@I3@'>Eva Roth</a>. ", {}},
    {"sex letter", "@I1@", ReportSex, "Karl Berg (M). ", {}},
    {"sex spoken", "@I1@", ReportSex | ReportSay, "Karl Berg (male). ", {}},
    {"unknown sex letter", "@I9@", ReportSex, "Sam Ray (?). ", {}},
    {"unknown sex spoken", "@I9@", ReportSex | ReportSay, "Sam Ray. ", {}},
    {"sex in possessive", "@I1@", ReportSex | ReportFM, "Karl Berg's (M) parents were Otto Berg and Eva Roth. ", {}},
    {"own name linked", "@I1@", ReportMainLink | ReportBD, "<a href='//@I1@'>Karl Berg</a> was born 1 MAR 1950. ", {}},
    {"possessive linked", "@I1@", ReportMainLink | ReportFM,
     "<a href='//@I1@'>Karl Berg's</a> parents were Otto Berg and Eva Roth. ", {}},
    {"pronoun from the start", "@I1@", ReportPron | ReportBD, "He was born 1 MAR 1950. ", {}},
    {"pronoun of unknown sex", "@I9@", ReportPron | ReportFM, "His or Her mother was Greta Vogt. ", {}},
    {"pronoun and nothing to say", "@I1@", ReportPron, "", {}},
    {"deceased without data", "@I8@", ReportDD, "Greta Vogt is deceased. ", {}},
    {"marriages", "@I1@", ReportSN | ReportMD | ReportMP,
     "Karl Berg married Anna Lind on 12 JUN 1975 in Boston & <Co>. He married Ida Holm. ", {}},
    {"wife's spouse is the husband", "@I4@", ReportSN, "Anna Lind married Karl Berg. ", {}},
    {"marriage without spouse name", "@I1@", ReportMD, "Karl Berg was married on 12 JUN 1975. ", {}},
    {"spouse links", "@I1@", ReportSN | ReportLinks,
     "Karl Berg married <a href='//@I4@'>Anna Lind</a>. He married <a href='//@I7@'>Ida Holm</a>. ", {}},
    {"children without marriage sentence", "@I1@", ReportCN,
     "Karl Berg's known children are Lena Berg and Max Berg. He had no known children in family 2 . ", {}},
    {"children after marriage sentence", "@I1@", ReportSN | ReportCN,
     "Karl Berg married Anna Lind. Their known children are Lena Berg and Max Berg. "
     "He married Ida Holm. They have no known children. ",
     {}},
    {"one child of the dead", "@I2@", ReportCN, "Otto Berg's known child was Karl Berg. ", {}},
    {"no age, no marriage date: past", "@I3@", ReportCN, "Eva Roth's known child was Karl Berg. ", {}},
    {"no age, recent marriage: present", "@I4@", ReportCN, "Anna Lind's known children are Lena Berg and Max Berg. ",
     {}},
    {"no children, first family", "@I7@", ReportCN, "She had no known children. ", {}},
};

const ReportCase kListCases[] = {
    {"list: name only", "@I1@", kList | ReportDD, "", {"Name: Karl Berg"}},
    {"list: birth", "@I1@", kList | ReportBD | ReportBP, "", {"Name: Karl Berg", "Born: 1 MAR 1950 in Salem"}},
    {"list: birth place", "@I1@", kList | ReportBP, "", {"Name: Karl Berg", "Born: in Salem"}},
    {"list: death", "@I2@", kList | ReportDD, "", {"Name: Otto Berg", "Died: 1990"}},
    {"list: deceased", "@I8@", kList | ReportDD, "", {"Name: Greta Vogt", "Died: Yes"}},
    {"list: parents", "@I1@", kList | ReportFM, "", {"Name: Karl Berg", "Father: Otto Berg", "Mother: Eva Roth "}},
    {"list: sex with pronoun", "@I1@", kList | ReportPron | ReportSex, "", {"Sex: M"}},
    {"list: sex with name", "@I1@", kList | ReportSex | ReportSay, "", {"Name: Karl Berg (M)"}},
    {"list: marriages and children", "@I1@", kList | ReportSN | ReportMD | ReportCN, "",
     {"Name: Karl Berg", "Married: to Anna Lind on 12 JUN 1975", "Children: Lena Berg and Max Berg",
      "Married: to Ida Holm"}},
    {"list: marriage place only", "@I1@", kList | ReportMP, "", {"Name: Karl Berg", "Married: in Boston & <Co>"}},
    {"list: children only", "@I1@", kList | ReportCN, "", {"Name: Karl Berg", "Children: Lena Berg and Max Berg"}},
    {"table: events", "@I1@", kTable | ReportBD | ReportBP | ReportDD | ReportDP, "",
     {"Name: Karl Berg", "1 MAR 1950", "Salem", "", ""}},
    {"table: parents", "@I1@", kTable | ReportFM, "", {"Name: Karl Berg", "Otto Berg", "Eva Roth"}},
    {"table: missing father", "@I9@", kTable | ReportFM, "", {"Name: Sam Ray", "", "Greta Vogt"}},
    {"table: no parent family keeps its cells", "@I8@", kTable | ReportFM, "", {"Name: Greta Vogt", "", ""}},
    {"table: two marriages", "@I1@", kTable | ReportSN | ReportMD, "",
     {"Name: Karl Berg", "Anna Lind<br>Ida Holm", "12 JUN 1975<br>&nbsp;"}},
    {"table: children are not cells", "@I1@", kTable | ReportMP | ReportCN, "",
     {"Name: Karl Berg", "Boston & <Co><br>&nbsp;"}},
};

class IndividualReportText : public testing::TestWithParam<ReportCase>, public test::ClanFixture {};

TEST_P(IndividualReportText, WritesTheSentences) {
    const ReportCase& c = GetParam();
    const Value description = indi(c.recordID)->reportDescription(c.options);
    ASSERT_TRUE(description.string()) << c.label;
    EXPECT_EQ(description.toString(), c.text) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, IndividualReportText, testing::ValuesIn(kTextCases), ::kl::test::CaseName());

class IndividualReportLines : public testing::TestWithParam<ReportCase>, public test::ClanFixture {};

TEST_P(IndividualReportLines, WritesOneEntryPerFact) {
    const ReportCase& c = GetParam();
    EXPECT_EQ(texts(indi(c.recordID)->reportDescription(c.options)), c.lines) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, IndividualReportLines, testing::ValuesIn(kListCases), ::kl::test::CaseName());

// Whether Karl counts as living decides the children's verb: his age first
// (0 to 99), then a marriage of up to 79 years.
TEST(IndividualReportTense, FollowsAgeThenMarriage) {
    struct Case {
        int year;
        const char* verb;
    };
    for (const Case c : {Case{2024, "are"}, Case{2050, "are"}, Case{2060, "were"}}) {
        test::PeopleStoreFixture store;
        store.load(test::kClan);
        test::FixedToday today(c.year, 3, 5);
        EXPECT_EQ(store.indi("@I1@")->reportDescription(ReportCN).toString(),
                  std::string("Karl Berg's known children ") + c.verb +
                      " Lena Berg and Max Berg. He had no known children in family 2 . ")
            << c.year;
    }
}

// Places are the only free text escaped, and only when the output is HTML.
TEST(IndividualReportEscaping, EscapesPlacesOnlyForHTML) {
    struct Case {
        std::uint32_t bits;
        bool escaped;
    };
    test::ClanFixture clan;
    for (const Case c : {Case{0, false}, Case{ReportSay, false}, Case{ReportLinks, true},
                         Case{ReportMainLink, true}, Case{ReportHTML, true}}) {
        const std::string text = clan.indi("@I4@")->reportDescription(ReportMP | c.bits).toString();
        const bool escaped = text.find("Boston &amp; &lt;Co&gt;") != std::string::npos;
        const bool raw = text.find("Boston & <Co>") != std::string::npos;
        EXPECT_EQ(escaped, c.escaped) << c.bits << ": " << text;
        EXPECT_EQ(raw, !c.escaped) << c.bits << ": " << text;
    }
}

}  // namespace
}  // namespace kl
