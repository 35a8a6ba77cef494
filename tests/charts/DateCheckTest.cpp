// The date check: the findings for one individual over day ranges, and the
// report around them (markers, the summary, what is skipped, the record
// sets, cancelling).
#include <gtest/gtest.h>

#include "charts/DateCheck.h"
#include "charts/DateCheckReport.h"
#include "charts/ReportsTestSupport.h"
#include "model/LibraryServices.h"

#include <atomic>

namespace kl {
namespace {

using test::ReportFixture;

struct DateCase {
    const char* name;
    PersonDates person;
    std::vector<std::string> messages;  // "" and the rest of the finding, in order
};

PersonDates::Parent father(std::string birth, std::string death = "") {
    return {true, std::move(birth), std::move(death)};
}
PersonDates::Parent mother(std::string birth, std::string death = "") {
    return {false, std::move(birth), std::move(death)};
}

PersonDates person(bool male, std::string birth, std::string death, std::vector<PersonDates::Parent> parents = {},
                   std::vector<std::string> marriages = {}, std::vector<PersonDates::Event> events = {}) {
    return {male, std::move(birth), std::move(death), std::move(parents), std::move(marriages), std::move(events)};
}

class DateFindingsOf : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateFindingsOf, OneIndividual) {
    const DateCase& c = GetParam();
    const DateFindings found = checkPersonDates(c.person, DateLimits());
    ASSERT_EQ(found.messages.size(), c.messages.size()) << (found.messages.empty() ? "" : found.messages.front());
    // Messages that end in the parser's text are compared up to it.
    for (std::size_t i = 0; i < c.messages.size(); ++i)
        EXPECT_TRUE(found.messages[i].starts_with(c.messages[i])) << found.messages[i];
    int errors = 0;
    for (const auto& message : c.messages) errors += message.starts_with("<font color='red'>Error</font>");
    EXPECT_EQ(found.errors, errors);
    EXPECT_EQ(found.warnings, static_cast<int>(c.messages.size()) - errors);
}

const std::string kError = "<font color='red'>Error</font>";

INSTANTIATE_TEST_SUITE_P(
    DateCheck, DateFindingsOf,
    ::testing::Values(
        DateCase{"DiedAt104", person(true, "1 JAN 1800", "1 JAN 1904"), {}},
        DateCase{"DiedAt105", person(true, "1 JAN 1800", "2 JAN 1905"), {"Warning: his age at death was 105"}},
        DateCase{"DiedBeforeBirth",
                 person(false, "1 JAN 1900", "1 JAN 1890"),
                 {kError + ": her death date is before her birth date"}},
        DateCase{"BornTenMonthsAfterFathersDeath",
                 person(true, "1 NOV 1900", "", {father("1860", "1 JAN 1900")}),
                 {kError + ": he was born more than 9 months after his father died"}},
        DateCase{"Born280DaysAfterFathersDeath", person(true, "8 OCT 1900", "", {father("1860", "1 JAN 1900")}), {}},
        DateCase{"BornADayAfterMothersDeath",
                 person(false, "2 JAN 1900", "", {mother("1860", "1 JAN 1900")}),
                 {kError + ": she was born after her mother died"}},
        DateCase{"MotherOf50",
                 person(true, "1 JUN 1900", "", {mother("1 JAN 1850")}),
                 {"Warning: he was born when his mother was very old (50y)"}},
        DateCase{"MotherOf49", person(true, "1 JUN 1899", "", {mother("1 JAN 1850")}), {}},
        DateCase{"FatherOf12",
                 person(true, "1 JUN 1900", "", {father("1 JAN 1888")}),
                 {"Warning: he was born when his father was very young (12y)"}},
        DateCase{"BornBeforeParent",
                 person(false, "1900", "", {father("1920")}),
                 {kError + ": her father was born after she was born"}},
        DateCase{"DiedBeforeParentWasBorn",
                 person(true, "", "1900", {mother("1920")}),
                 {kError + ": he died before his mother was born"}},
        DateCase{"ParentDiedManyYearsAfter",
                 person(true, "1900", "1 JAN 1910", {mother("1870", "1 JAN 2004")}),
                 {"Warning: his mother died many years (94y) after he died"}},
        DateCase{"UnparsableDates",
                 person(true, "30 FEB 1900", "soon", {father("1850")}),
                 {kError + ": birth date (30 FEB 1900) is not valid: ", kError + ": death date (soon) is not valid: "}},
        DateCase{"NoBirthOrDeathSkipsTheRest",
                 person(true, "", "", {father("1990")}, {"1 JAN 1500"}, {{"Census", "1 JAN 1400"}}),
                 {}},
        DateCase{"OneMarriageHasNoNumber",
                 person(true, "1 JAN 1900", "", {}, {"1 JAN 1890"}),
                 {kError + ": his marriage was before he was born"}},
        DateCase{"TwoMarriagesAreNumbered",
                 person(false, "1 JAN 1900", "1 JAN 1950", {}, {"1 JAN 1910", "1 JAN 1960"}),
                 {"Warning: her marriage #1 was at a very young age (9y)", kError + ": she died before marriage #2 "}},
        DateCase{
            "EventsBeforeBirthAndAfterDeath",
            person(true, "1 JAN 1900", "1 JAN 1950", {}, {}, {{"Census", "1 JAN 1898"}, {"Probate", "1 JAN 1952"}}),
            {"Warning: Census event was more than a year before he was born",
             "Warning: Probate event was more than a year after he died"}},
        DateCase{"EventTextIsMadeSafe",
                 person(true, "1900", "", {}, {}, {{"<b>Odd</b>", "<i>"}}),
                 {kError + ": &lt;b&gt;Odd&lt;/b&gt; date (&lt;i&gt;) is not valid: "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DateCheck, UnparsableDatesEndWithTheParsersMessage) {
    const DateFindings found = checkPersonDates(person(true, "30 FEB 1900", ""), DateLimits());
    ASSERT_EQ(found.messages.size(), 1u);
    EXPECT_GT(found.messages.front().size(), (kError + ": birth date (30 FEB 1900) is not valid: ").size());
}

class DateCheckRun : public ::testing::Test, public ReportFixture {};

TEST_F(DateCheckRun, TheReportListsIndividualsWithFindings) {
    read(
        "0 @I1@ INDI\n1 NAME Old /Man/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1800\n1 DEAT\n2 DATE 2 JAN 1910\n"
        "1 SOUR @S1@\n2 DATA\n3 DATE 1 JAN 1500\n1 CHAN\n2 DATE 1 JAN 2020\n"
        "0 @I2@ INDI\n1 NAME Fine /One/\n1 BIRT\n2 DATE 1900\n"
        "0 @S1@ SOUR\n1 TITL S\n");
    auto report = make<DateCheckReport>();
    report->beginReport();
    EXPECT_EQ(host.body(),
              "<div>\n<h1>Date Verification Report for Family &lt;Tree&gt;</h1>\n\n"
              "<p>Found 0 date errors and 1 implausible dates (warnings) in 2 checked individual records.</p>\n<ol>\n"
              "<li><a href='//@I1@'>" +
                  record("@I1@")->viewName() +
                  "</a>\n<ul>\n<li>Warning: his age at death was 110</li>\n\n</ul>\n</li>\n</ol>\n</div>");
    EXPECT_EQ(report->doneCount(), 2);
}

TEST_F(DateCheckRun, ACleanFileGetsTheOneSentence) {
    read("0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n0 @I2@ INDI\n1 NAME N\n");
    make<DateCheckReport>()->beginReport();
    EXPECT_EQ(host.body(),
              "<div>\n<h1>Date Verification Report for Family &lt;Tree&gt;</h1>\n\n"
              "<p>All dates checked in 2 individual records in this file are valid and plausible.</p>"
              "</div>");
}

TEST_F(DateCheckRun, LimitsComeFromTheSheet) {
    read("0 @I1@ INDI\n1 BIRT\n2 DATE 1 JAN 1800\n1 DEAT\n2 DATE 2 JAN 1890\n");
    auto report = make<DateCheckReport>();
    report->setDateLimits(Dictionary{{"maxPersonAge", Value(90)}});
    EXPECT_EQ(report->dateLimits().maxPersonAge, 90);
    EXPECT_EQ(report->dateLimits().minParentAge, 12) << "a missing key keeps its default";
    report->beginReport();
    EXPECT_NE(host.body().find("Warning: her age at death was 90"), std::string::npos);
}

TEST_F(DateCheckRun, NoIndividualsToCheck) {
    read("0 @I1@ INDI\n1 NAME A\n0 @S1@ SOUR\n1 TITL S\n");
    host.selection = {record("@S1@")};
    auto report = make<DateCheckReport>();
    report->setWhichRecords(ReportController::kSelectedRecords);
    report->beginReport();
    EXPECT_TRUE(host.stored.empty());
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts.front().first, "The records to check do not include any individual records.");
    EXPECT_EQ(host.alerts.front().second, "The 'Check Dates...' report is based on dates in individual records.");
}

// Counts the event names the check asks for: one per individual here.
struct CountingLibrary : LibraryServices {
    std::string localString(std::string_view key) const override {
        ++asked;
        return std::string(key);
    }
    mutable std::atomic<int> asked{0};
};

TEST_F(DateCheckRun, CancelStoresNothingAndStopsAtTheNextIndividual) {
    std::string people;
    for (int i = 1; i <= 5000; ++i)
        people += "0 @I" + std::to_string(i) + "@ INDI\n1 BIRT\n2 DATE 1900\n1 RESI\n2 DATE 1950\n";
    read(people);
    auto library = std::make_shared<CountingLibrary>();
    LibraryServices::setCurrent(library);
    auto report = make<DateCheckReport>();
    host.panel.onPause = [](KLProgress& task) { task.cancelAction(); };
    report->beginReport();
    LibraryServices::setCurrent(nullptr);
    EXPECT_EQ(report->status(), ReportController::Cancelled);
    EXPECT_LT(library->asked.load(), 5000) << "individuals checked after the cancel";
    EXPECT_TRUE(host.stored.empty());
}

}  // namespace
}  // namespace kl
