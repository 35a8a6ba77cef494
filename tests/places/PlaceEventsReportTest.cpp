// The place events report: the summary sentence in each language, the
// citing records with their events, and a place no event cites.
#include <gtest/gtest.h>

#include "charts/ReportsTestSupport.h"
#include "model/PlaceRecord.h"
#include "places/PlaceEventsReport.h"

namespace kl {
namespace {

using test::ReportFixture;

class PlaceEvents : public ::testing::Test, public ReportFixture {
protected:
    std::string run(const std::string& placeID) {
        auto report = make<PlaceEventsReport>();
        report->setRecord(std::dynamic_pointer_cast<PlaceRecord>(record(placeID)));
        report->beginReport();
        return host.body();
    }
};

TEST_F(PlaceEvents, APlaceNoEventCitesGivesOnlyTheHeadingAndTheSentence) {
    read("0 @P1@ _PLC\n1 _PLACE Vessland\n0 @I1@ INDI\n1 NAME Ama /Tor/\n1 BIRT\n2 PLAC Elsewhere\n");
    EXPECT_EQ(run("@P1@"),
              "<div>\n<h1>Vessland (Family &lt;Tree&gt;)</h1>\n\n"
              "<p>The place <b>Vessland</b> is not cited by any individual or family record.</div>");
    ASSERT_EQ(host.stored.size(), 1u);
    EXPECT_EQ(host.stored.front()->viewName().rfind("Vessland (", 0), 0u) << host.stored.front()->viewName();
}

TEST_F(PlaceEvents, EventsOfOneRecordAreListedUnderItsLink) {
    read("0 @P1@ _PLC\n1 _PLACE Vessland\n"
         "0 @I1@ INDI\n1 NAME Ama /Tor/\n"
         "1 BIRT\n2 DATE 3 MAR 1850\n2 PLAC Vessland\n"
         "1 EVEN\n2 TYPE Census\n2 PLAC Vessland\n2 ADDR 4 Mill Lane\n3 CONT Lower <Vessmark>\n");
    EXPECT_EQ(run("@P1@"),
              "<div>\n<h1>Vessland (Family &lt;Tree&gt;)</h1>\n\n"
              "<p>The place <b>Vessland</b> is cited by 2 events in one individual or family record."
              "\n\n<ol>\n<li><a href='//@I1@'>Tor, Ama</a>\n<ul>\n"
              "<li>BIRT: 3 MAR 1850</li>\n"
              "<li>Census<br>Address: 4 Mill Lane<br>\n&nbsp;&nbsp;&nbsp;&nbsp;Lower &lt;Vessmark&gt;</li>\n"
              "\n</ul>\n</li>\n\n</ol>\n</div>");
}

TEST_F(PlaceEvents, IndividualsComeBeforeFamiliesAndEachEventCounts) {
    read("0 @P1@ _PLC\n1 _PLACE Radavizu\n"
         "0 @F1@ FAM\n1 MARR\n2 PLAC Radavizu\n"
         "0 @I1@ INDI\n1 NAME Ama /Tor/\n1 DEAT\n2 PLAC Radavizu\n"
         "0 @I2@ INDI\n1 NAME Bel /Tor/\n1 RESI\n2 PLAC Radavizu, Upper\n");
    auto report = make<PlaceEventsReport>();
    report->setRecord(std::dynamic_pointer_cast<PlaceRecord>(record("@P1@")));
    report->beginReport();
    EXPECT_EQ(report->totalReportTasks(), 2);
    EXPECT_EQ(report->doneCount(), 2);
    const std::string body = host.body();
    EXPECT_NE(body.find("is cited by 2 events in 2 individual or family records."), std::string::npos) << body;
    const auto individual = body.find("href='//@I1@'");
    const auto family = body.find("href='//@F1@'");
    ASSERT_NE(individual, std::string::npos) << body;
    ASSERT_NE(family, std::string::npos) << body;
    EXPECT_LT(individual, family);
    EXPECT_EQ(body.find("@I2@"), std::string::npos) << "only an exact name cites the place";
}

TEST_F(PlaceEvents, PlaceNamesAreMadeSafeForThePage) {
    read("0 @P1@ _PLC\n1 _PLACE Ford <North> & Co\n");
    EXPECT_NE(run("@P1@").find("<b>Ford &lt;North&gt; &amp; Co</b>"), std::string::npos) << host.body();
}

struct SentenceCase {
    const char* language;
    int events;
    long records;
    const char* expected;
};

class PlaceEventsSentence : public ::testing::TestWithParam<SentenceCase> {};

TEST_P(PlaceEventsSentence, FollowsTheCountsAndTheLanguage) {
    const SentenceCase& c = GetParam();
    EXPECT_EQ(PlaceEventsReport::summarySentence(c.language, "X", c.events, c.records), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PlaceEventsSentence,
    ::testing::Values(
        SentenceCase{"English", 0, 0, "<p>The place <b>X</b> is not cited by any individual or family record."},
        SentenceCase{"", 1, 1, "<p>The place <b>X</b> is cited by one event in one individual or family record."},
        SentenceCase{"German", 3, 1, "<p>The place <b>X</b> is cited by 3 events in one individual or family record."},
        SentenceCase{"English", 5, 2, "<p>The place <b>X</b> is cited by 5 events in 2 individual or family records."},
        SentenceCase{"French", 0, 0, "<p>L'endroit <b>X</b> est lié à aucun événement."},
        SentenceCase{"French", 4, 3,
                     "<p>L'endroit <b>X</b> est lié à 4 événements de 3 individus ou enregistrements familiaux."},
        SentenceCase{"Swedish", 1, 1,
                     "<p>Platsen <b>X</b> är relaterad till 1 händelse för 1 individ eller familjeuppgift."},
        SentenceCase{"Swedish", 2, 1,
                     "<p>Platsen <b>X</b> är relaterad till 2 händelser för 1 individ eller familjeuppgift."},
        SentenceCase{"Finnish", 6, 4,
                     "<p>Paikka <b>X</b> on mainittu 6 perhetapahtuman yhteydessä 4 kertaa yksilön tai perheen "
                     "tiedostossa."}));

}  // namespace
}  // namespace kl
