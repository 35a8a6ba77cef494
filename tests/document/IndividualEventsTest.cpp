// An individual's birth and death data: accessors and setters, day numbers,
// age, the life span with its stand-in events and the presumed-dead rule
// against a fixed today, the name with years, detach entries and the texts
// handed to outside searches.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "dates/DateBridge.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {
namespace {

class IndividualEvents : public testing::Test, public test::PeopleStoreFixture {
protected:
    std::shared_ptr<INDIRecord> person(const std::string& lines) {
        load("0 @I1@ INDI\n1 NAME Karl /Berg/\n" + lines);
        return indi("@I1@");
    }
    test::FixedToday today{2024, 3, 5};
};

struct SpanCase {
    const char* lines;
    const char* span;
};

TEST_F(IndividualEvents, LifeSpanWithStandInEventsAndThePresumedDeadRule) {
    const SpanCase cases[] = {
        {"", ""},
        {"1 BIRT\n2 DATE 1 MAR 1820\n1 DEAT\n2 DATE 1890\n", "1820-1890"},
        {"1 BIRT\n2 DATE 1 MAR 1820\n1 BURI\n", "1820-?"},  // buried, date unknown
        {"1 DEAT\n2 DATE 1890\n", "-1890"},
        {"1 CREM Y\n", "-?"},
        {"1 DEAT Y\n1 BURI\n2 DATE 1891\n", "-1891"},  // the next event only while the year is empty
        {"1 BAPM\n2 DATE 1820\n", "1820-"},          // baptism stands in for birth but not for the age rule
        {"1 CHR\n2 DATE 1821\n", "1821-"},
        {"1 BAPM\n2 DATE 1820\n1 CHR\n2 DATE 1821\n", "1820-"},
        {"1 BIRT\n2 PLAC Salem\n1 CHR\n2 DATE 1821\n", "1821-"},
        // 111 years before today counts as dead, 110 does not
        {"1 BIRT\n2 DATE 1 JAN 1913\n", "1913-?"},
        {"1 BIRT\n2 DATE 1 JUN 1913\n", "1913-"},
        // a year counts from its latest day
        {"1 BIRT\n2 DATE 1912\n", "1912-?"},
        {"1 BIRT\n2 DATE 1913\n", "1913-"},
        {"1 BIRT\n2 DATE ABT 1820\n", "c1820-?"},
        {"1 BIRT\n2 DATE no such day\n", "?-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(person(c.lines)->lifeSpan(), c.span);
    }
}

TEST_F(IndividualEvents, ThePresumedDeadRuleFollowsToday) {
    auto karl = person("1 BIRT\n2 DATE 1900\n");
    {
        test::FixedToday early(2011, 12, 30);
        EXPECT_EQ(karl->lifeSpan(), "1900-");
    }
    test::FixedToday late(2011, 12, 31);
    EXPECT_EQ(karl->lifeSpan(), "1900-?");
}

struct IpnCase {
    const char* lines;
    const char* ipn;
};

TEST_F(IndividualEvents, NameWithYearsDropsMarksAndUnreadableYears) {
    const IpnCase cases[] = {
        {"", "Berg, Karl (-)"},
        {"1 BIRT\n2 DATE c1820\n", "Berg, Karl (1820-)"},
        {"1 BIRT\n2 DATE ABT 1820\n1 DEAT\n2 DATE BEF 1890\n", "Berg, Karl (1820-1890)"},
        {"1 BIRT\n2 DATE AFT 1820\n1 DEAT\n2 DATE garbage\n", "Berg, Karl (1820-)"},
        {"1 BAPM\n2 DATE 1820\n", "Berg, Karl (-)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(person(c.lines)->ipnName(), c.ipn);
    }
}

TEST_F(IndividualEvents, AccessorsReadTheFirstEventAndItsFirstLines) {
    auto karl = person(
        "1 BIRT\n2 DATE 1 MAR 1820\n2 PLAC Salem\n2 ADDR Main St 1\n"
        "1 BIRT\n2 DATE 1821\n1 DEAT\n2 PLAC Boston\n");
    EXPECT_EQ(karl->birthDate(), "1 MAR 1820");
    EXPECT_EQ(karl->birthPlace(), "Salem");
    EXPECT_EQ(karl->birthPlaceWithAddress(), "Salem at Main St 1");
    EXPECT_EQ(karl->deathDate(), "");
    EXPECT_EQ(karl->deathPlace(), "Boston");
    EXPECT_EQ(karl->deathPlaceWithAddress(), "Boston");
    EXPECT_EQ(karl->deathDateUnknown("unknown"), "unknown");
    EXPECT_EQ(karl->deathDateUser(), "");
    EXPECT_EQ(karl->birthDateUser(), userDisplayDate("1 MAR 1820"));
    EXPECT_EQ(person("")->deathDateUnknown("unknown"), "");
    EXPECT_EQ(person("")->birthPlaceWithAddress(), "");
}

TEST_F(IndividualEvents, DayNumbersAndAge) {
    auto karl = person("1 BIRT\n2 DATE 1820\n1 DEAT\n2 DATE BET 1 MAR 1890 AND 5 MAR 1890\n");
    EXPECT_EQ(karl->birthSDN(), earliestSdnForDate("1 JAN 1820"));
    EXPECT_EQ(karl->birthSDNMax(), earliestSdnForDate("31 DEC 1820"));
    EXPECT_EQ(karl->deathSDN(), earliestSdnForDate("1 MAR 1890"));
    EXPECT_EQ(karl->deathSDNMax(), earliestSdnForDate("5 MAR 1890"));

    const struct {
        const char* lines;
        std::int64_t age;
    } ages[] = {
        {"", -1},
        {"1 BIRT\n2 DATE garbage\n", -1},
        {"1 BAPM\n2 DATE 1990\n", -1},
        {"1 BIRT\n2 DATE 5 MAR 1990\n", 34},
        {"1 BIRT\n2 DATE 6 MAR 1990\n", 33},
    };
    for (const auto& c : ages) {
        SCOPED_TRACE(c.lines);
        auto p = person(c.lines);
        EXPECT_EQ(p->ageInYears(), c.age);
        if (c.age < 0) {
            EXPECT_EQ(p->birthSDN(), 0);
        }
    }
}

TEST_F(IndividualEvents, SettersAddWhatIsMissingAtTheEndAndUndo) {
    auto karl = person("1 BIRT\n2 PLAC Salem\n1 NOTE n\n");
    const std::string before = text("@I1@");
    document.undo.beginUndoGrouping();
    karl->setBirthDate("1 MAR 1820");
    karl->setDeathPlace("Boston");
    karl->setDeathDate("1890");
    document.undo.endUndoGrouping();
    EXPECT_EQ(text("@I1@"),
              "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 BIRT\n2 PLAC Salem\n2 DATE 1 MAR 1820\n1 NOTE n\n"
              "1 DEAT\n2 PLAC Boston\n2 DATE 1890\n");
    karl->setBirthPlace("Salem");  // equal: nothing to undo
    EXPECT_EQ(karl->birthPlace(), "Salem");
    document.undo.undo();
    EXPECT_EQ(text("@I1@"), before);
}

// A library that names the individual events BIRT and EVEN.
class EventNames : public LibraryServices {
public:
    std::optional<std::string> eventName(std::string_view type, std::string_view tag) const override {
        if (type == "INDI" && (tag == "BIRT" || tag == "EVEN" || tag == "BURI")) return "Event " + std::string(tag);
        return std::nullopt;
    }
};

TEST_F(IndividualEvents, DetachEntriesNameTheEventAndItsDetail) {
    LibraryServices::setCurrent(std::make_shared<EventNames>());
    auto karl = person(
        "1 BIRT Y\n2 PLAC Salem\n1 EVEN\n1 EVEN\n2 TYPE Census\n1 BURI\n1 BIRT yes\n2 DATE 1820\n1 DEAT\n"
        "1 REFN 12\n");
    using Entry = std::array<std::string, 2>;
    const auto& s = karl->structures();
    EXPECT_EQ(karl->nameForEventToDetach(*s[1]), (Entry{"Event BIRT", "Salem"}));
    EXPECT_EQ(karl->nameForEventToDetach(*s[2]), (Entry{"Generic Event", "Unknown Type"}));
    EXPECT_EQ(karl->nameForEventToDetach(*s[3]), (Entry{"Generic Event", "Census"}));
    EXPECT_EQ(karl->nameForEventToDetach(*s[4]), (Entry{"Event BURI", "No Subordinate Data"}));
    EXPECT_EQ(karl->nameForEventToDetach(*s[5]), (Entry{"Event BIRT", "yes"}));
    EXPECT_EQ(karl->nameForEventToDetach(*s[6]), std::nullopt);  // not an event the library names
    EXPECT_EQ(karl->nameForEventToDetach(*s[7]), (Entry{"User Reference Number", "12"}));
    LibraryServices::setCurrent(nullptr);
}

struct TermsCase {
    const char* lines;
    std::array<const char*, 4> terms;
};

TEST_F(IndividualEvents, GenealogySearchTermsTakeTheLastPlacePartAndAPlainYear) {
    const TermsCase cases[] = {
        {"1 BIRT\n2 DATE ABT 1820\n2 PLAC Salem, Essex,  Massachusetts \n", {"Karl", "Berg", "Massachusetts", "1820"}},
        {"1 DEAT\n2 DATE BEF 1890\n2 PLAC Boston\n", {"Karl", "Berg", "Boston", "1890"}},
        // christening before baptism here
        {"1 BAPM\n2 DATE 1822\n2 PLAC Lynn\n1 CHR\n2 DATE 1821\n2 PLAC Salem\n", {"Karl", "Berg", "Salem", "1821"}},
        {"1 BAPM\n2 DATE 1822\n2 PLAC Lynn\n", {"Karl", "Berg", "Lynn", "1822"}},
        {"", {"Karl", "Berg", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        auto terms = person(c.lines)->familySearchTerms();
        ASSERT_TRUE(terms && terms->array());
        ASSERT_EQ(terms->array()->size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(*(*terms->array())[i].string(), c.terms[i]) << i;
    }
}

TEST_F(IndividualEvents, WebSearchWordsFallBackButNeverToTheChangeDate) {
    const struct {
        const char* lines;
        const char* words;
    } cases[] = {
        {"1 BIRT\n2 DATE 1820\n2 PLAC Salem\n1 DEAT\n2 DATE 1890\n2 PLAC Boston\n", "Karl Berg Salem 1820"},
        {"1 DEAT\n2 DATE 1890\n2 PLAC Boston\n", "Karl Berg Boston 1890"},
        {"1 RESI\n2 DATE 1850\n2 PLAC Lynn\n", "Karl Berg Lynn 1850"},
        {"1 CHAN\n2 DATE 5 MAR 2024\n", "Karl Berg  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(person(c.lines)->googleWords(), c.words);
    }
}

}  // namespace
}  // namespace kl
