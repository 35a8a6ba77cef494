// The grammar check of a record's lines: the rules and tag sets, the
// content checks and their messages, custom tags reported, ignored or
// deleted (with one undo), and the shipped grammar against the sample
// database, every kind of record this program makes, and the test corpus.
#include <gtest/gtest.h>

#include <filesystem>

#include "charts/ReportsTestSupport.h"
#include "charts/ValidateGEDCOMReport.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMGrammar.h"
#include "model/GEDCOMStructure.h"
#include "dates/DateBridge.h"
#include "foundation/Exception.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::ReportFixture;

// A grammar small enough to read: individuals with events sharing a tag set.
Dictionary smallGrammar() {
    const Dictionary event{{"DATE", Value("DATE")}, {"PLAC", Value("")}};
    return Dictionary{
        {"EVENT", Value(event)},
        {"INDI", Value(Dictionary{
                     {"NAME", Value("")},
                     {"SEX", Value("MORFORU")},
                     {"BIRT", Value("EVENT")},
                     {"DEAT", Value(Dictionary{{"tagset", Value("EVENT")}, {"content", Value("YESONLY")}})},
                     {"EVEN", Value(Dictionary{
                                  {"tagset", Value("EVENT")}, {"content", Value("YESONLY")}, {"TYPE", Value("")}})},
                     {"FAMS", Value("BREF:FAM:HUSBWIFE")},
                     {"NOTE", Value("XREF:NOTE")},
                     {"ASSO", Value("XREF:ANY")},
                     {"ODD", Value(Dictionary{{"tagset", Value("NOSUCHSET")}, {"X", Value("")}})},
                 })},
        {"FAM", Value(Dictionary{{"HUSB", Value("")}, {"WIFE", Value("")}})},
    };
}

class GrammarCheck : public ::testing::Test, public ReportFixture {
protected:
    std::vector<std::string> check(const std::string& id, const Dictionary& grammar, int flags = 0) {
        GEDCOMGrammar checker(grammar);
        auto r = record(id);
        std::vector<std::string> messages;
        std::vector<std::string> tags{r->recordType()};
        checker.checkStructures(*r, *r, messages, tags, checker.grammarForType(r->recordType()), flags, nullptr);
        EXPECT_EQ(tags, std::vector<std::string>{r->recordType()}) << "the path is left as it was found";
        return messages;
    }
};

TEST_F(GrammarCheck, ContentChecksPassAndFail) {
    struct Case {
        const char* lines;
        std::vector<std::string> messages;
    } cases[] = {
        {"1 SEX Male\n", {}},
        {"1 SEX f\n", {}},
        {"1 SEX X\n",
         {"INDI.SEX value is 'X', but it should be a single character 'M', 'F', or 'U' to indicate individual's "
          "gender or unknown gender."}},
        {"1 SEX\n",
         {"INDI.SEX value is '', but it should be a single character 'M', 'F', or 'U' to indicate individual's "
          "gender or unknown gender."}},
        {"1 DEAT Yes\n",
         {"INDI.DEAT value is 'Yes', but should be 'Y' or empty where 'Y' means the event has occurred."}},
        {"1 DEAT y\n", {}},
        {"1 DEAT\n", {}},
        {"1 EVEN Graduation\n2 TYPE School\n", {}},
        {"1 BIRT\n2 DATE\n", {}},
        {"1 BIRT\n2 DATE 30 FEB 1900\n", {"INDI.BIRT.DATE value '30 FEB 1900' is not a valid GEDCOM date: "}},
        {"1 NOTE @N9@\n", {"INDI.NOTE should link to a Notes record, but the link is invalid."}},
        {"1 ASSO @I9@\n", {"INDI.ASSO should link to a record, but the link is invalid."}},
        {"1 ASSO @I1@\n", {}},
        {"1 BIRT\n2 SITE Hill\n3 PLAC x\n3 DATE bad\n",
         {"INDI.BIRT.SITE with value 'Hill' is an invalid GEDCOM tag at this location."}},
        {"1 NAME A /B/\n2 GIVN A\n", {"INDI.NAME.GIVN with value 'A' is an invalid GEDCOM tag at this location."}},
        {"1 _MINE x\n", {"INDI._MINE with value 'x' is an unrecognized custom GEDCOM tag."}},
        {"1 ODD\n2 X 1\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        read(std::string("0 @I1@ INDI\n") + c.lines);
        const auto messages = check("@I1@", smallGrammar());
        ASSERT_EQ(messages.size(), c.messages.size()) << (messages.empty() ? "" : messages.front());
        for (std::size_t i = 0; i < messages.size(); ++i)
            EXPECT_TRUE(messages[i].starts_with(c.messages[i])) << messages[i];
    }
}

TEST_F(GrammarCheck, ABadDateEndsWithTheParsersMessage) {
    read("0 @I1@ INDI\n1 BIRT\n2 DATE 30 FEB 1900\n");
    const auto messages = check("@I1@", smallGrammar());
    ASSERT_EQ(messages.size(), 1u);
    bool valid = true;
    EXPECT_TRUE(messages.front().ends_with(": " + validateDateString("30 FEB 1900", valid)));
    EXPECT_FALSE(valid);
}

TEST_F(GrammarCheck, ASpouseLinkNeedsItsFamilysLinkBack) {
    struct Case {
        const char* sex;
        const char* family;
        std::string ending;  // "" passes
    } cases[] = {
        {"F", "1 WIFE @I1@\n", ""},
        {"M", "1 HUSB @I1@\n", ""},
        {"M", "1 HUSB @I2@\n", "does not have the required HUSB (or WIFE) link back to this record."},
        {"F", "1 HUSB @I2@\n", "does not have the required WIFE (or HUSB) link back to this record."},
        {"U", "", "does not have the required WIFE (or HUSB) link back to this record."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sex) + " " + c.family);
        read(std::string("0 @I1@ INDI\n1 SEX ") + c.sex + "\n1 FAMS @F1@\n0 @I2@ INDI\n0 @F1@ FAM\n" + c.family);
        const auto messages = check("@I1@", smallGrammar());
        if (c.ending.empty()) {
            EXPECT_TRUE(messages.empty()) << messages.front();
            continue;
        }
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages.front().starts_with("INDI.FAMS links to a Family record, but that record"))
            << messages.front();
        EXPECT_TRUE(messages.front().ends_with(c.ending)) << messages.front();
    }
}

TEST_F(GrammarCheck, CustomTagsAreReportedIgnoredOrDeletedWithOneUndo) {
    const std::string lines =
        "0 @I1@ INDI\n1 NAME A /B/\n1 BIRT\n2 DATE 1900\n2 _ONE a\n2 _TWO b\n2 _THREE c\n"
        "2 PLAC Here\n";
    read(lines);
    EXPECT_EQ(check("@I1@", smallGrammar(), 0).size(), 3u);
    EXPECT_TRUE(check("@I1@", smallGrammar(), 1).empty());

    const auto before = record("@I1@")->gedcomString();
    auto report = make<ValidateGEDCOMReport>();
    report->setFlags(3);
    report->beginReport();
    EXPECT_EQ(report->numDeletedCustomTags(), 3);
    const std::string after = record("@I1@")->gedcomString();
    EXPECT_EQ(after.find("_ONE"), std::string::npos) << after;
    EXPECT_EQ(after.find("_THREE"), std::string::npos) << after;
    EXPECT_NE(after.find("2 PLAC Here"), std::string::npos);
    EXPECT_NE(host.body().find(" 3 unrecognized custom tags were deleted (you can use Undo menu command now"),
              std::string::npos)
        << host.body();
    EXPECT_EQ(doc.undo().undoActionName(), ValidateGEDCOMReport::kUndoName);
    doc.undo().undo();
    const std::string restored = record("@I1@")->gedcomString();
    EXPECT_NE(restored.find("2 _ONE a\n2 _TWO b\n2 _THREE c\n2 PLAC Here"), std::string::npos) << restored;
}

TEST_F(GrammarCheck, ACancelledValidationDeletesNothing) {
    std::string people;
    for (int i = 1; i <= 3000; ++i) people += "0 @I" + std::to_string(i) + "@ INDI\n1 _OLD x\n";
    read(people);
    auto report = make<ValidateGEDCOMReport>();
    report->setFlags(3);
    host.panel.onPause = [](KLProgress& task) { task.cancelAction(); };
    report->beginReport();
    EXPECT_EQ(report->status(), ReportController::Cancelled);
    EXPECT_LT(report->numDeletedCustomTags(), 3000) << "the worker stops between records";
    EXPECT_TRUE(host.stored.empty());
    EXPECT_TRUE(record("@I1@")->firstChildWithTag("_OLD"));
    EXPECT_FALSE(doc.undo().canUndo());
}

// ---- the shipped grammar

TEST_F(GrammarCheck, TheShippedGrammarFindsNothingInTheSampleDatabase) {
    const auto sample = std::filesystem::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Radavizu/Brennow.gedpkg";
    std::string error;
    ASSERT_TRUE(doc.readFromURL(sample, GEDCOMDocument::kPackageType, &error)) << error;
    auto report = make<ValidateGEDCOMReport>();
    report->beginReport();
    EXPECT_NE(host.body().find("<p>All GEDCOM data in "), std::string::npos) << host.body();
}

TEST_F(GrammarCheck, TheShippedGrammarFindsNothingInRecordsThisProgramMakes) {
    GEDCOMRecord::setAddingCreationDates(true);
    GEDCOMRecord::setInsertingUUIDs(true);
    read("0 @SUBM@ SUBM\n1 NAME Unknown Submitter\n");
    for (const char* type : {"INDI", "FAM", "SOUR", "NOTE", "OBJE", "REPO", "SUBM", "SUBN", "_LOG", "_PLC", "_BOK"}) {
        SCOPED_TRACE(type);
        auto made = doc.gedcomModel().createNewRecordOfType(type);
        ASSERT_TRUE(made);
        made->setChangeDate();
        const auto grammar = ValidateGEDCOMReport::loadGrammar();
        ASSERT_TRUE(grammar);
        GEDCOMGrammar checker(*grammar);
        std::vector<std::string> messages;
        std::vector<std::string> tags{type};
        checker.checkStructures(*made, *made, messages, tags, checker.grammarForType(type), 0, nullptr);
        EXPECT_TRUE(messages.empty()) << messages.front() << "\n" << made->gedcomString();
    }
    const auto report = ReportCommands::addReport(doc.gedcomModel(), "text", "T", std::string("Courier"), 9);
    const auto grammar = ValidateGEDCOMReport::loadGrammar();
    GEDCOMGrammar checker(*grammar);
    std::vector<std::string> messages;
    std::vector<std::string> tags{"_RPT"};
    checker.checkStructures(*report, *report, messages, tags, checker.grammarForType("_RPT"), 0, nullptr);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(GrammarCheck, WithoutTheGrammarNothingRuns) {
    ResourceFolder::setFolder(std::filesystem::temp_directory_path() / "no-such-resources");
    auto report = make<ValidateGEDCOMReport>();
    report->beginReport();
    EXPECT_TRUE(host.stored.empty());
    ASSERT_EQ(host.alerts.size(), 1u);
    EXPECT_EQ(host.alerts.front().first, "The dictionary of GEDCOM grammar could not be loaded.");
    EXPECT_EQ(host.alerts.front().second, "Your copy of Kinlore II might be corrupted.");
}

class CorpusValidation : public ::testing::TestWithParam<std::filesystem::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusValidation);

TEST_P(CorpusValidation, EveryTestFileValidates) {
    const std::string bytes = test::readCorpusBytes(GetParam());
    ReportFixture fixture;
    try {
        fixture.read(decode(bytes, test::guessCorpusEncoding(bytes)).text);
    } catch (const NamedException&) {
        GTEST_SKIP() << "the reader refuses this file";
    }
    auto report = fixture.make<ValidateGEDCOMReport>();
    report->beginReport();
    EXPECT_EQ(report->status(), ReportController::Done);
    EXPECT_EQ(fixture.host.stored.size(), 1u);
}

KL_CORPUS_PRESENCE_TEST(CorpusValidationFiles)

INSTANTIATE_TEST_SUITE_P(Files, CorpusValidation, ::testing::ValuesIn(test::corpusFiles()), [](const auto& info) {
    std::string name = std::filesystem::relative(info.param, test::corpusFolder()).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
}  // namespace kl
