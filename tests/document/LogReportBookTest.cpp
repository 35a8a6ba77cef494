// Research logs with their visible back-link lines, stored reports that
// stay out of the undo history, and book styles with their settings.
#include <gtest/gtest.h>

#include "RecordKindsTestSupport.h"
#include "foundation/UserDefaults.h"
#include "model/BookRecord.h"
#include "model/LOGRecord.h"
#include "model/ReportOptions.h"
#include "model/ReportRecord.h"

namespace kl {
namespace {

using test::RecordKindsFixture;
using LogFixture = RecordKindsFixture;

TEST_F(LogFixture, LinkingRecordsAddsOneBackLinkLineEach) {
    load("0 @I1@ INDI\n0 @P1@ _PLC\n1 _PLACE Town\n0 @L1@ _LOG\n1 _TTL Search\n");
    auto log = get<LOGRecord>("@L1@");
    EXPECT_FALSE(log->isConnected());
    EXPECT_FALSE(log->drop(get("@I1@")));
    EXPECT_EQ(log->drop(get("@I1@")), "The dragged individual is already attached to this log record.");
    EXPECT_FALSE(log->drop(get("@P1@")));
    EXPECT_EQ(body("@L1@"), "1 _TTL Search\n1 _INDI @I1@\n1 __PLC @P1@\n");
    EXPECT_EQ(body("@I1@"), "1 _LOG @L1@\n");
    EXPECT_TRUE(log->shouldVerifyDeleteAsChildOf(*get("@I1@")));

    model.deleteRecord(log);
    EXPECT_EQ(body("@I1@"), "");
    EXPECT_EQ(body("@P1@"), "1 _PLACE Town\n");
}

struct TaskCase {
    const char* task;
    const char* description;
};

TEST_F(LogFixture, TasksDescribeThemselves) {
    const TaskCase cases[] = {
        {"1 _TASK Find will\n", "Find will"},
        {"1 _TASK Y\n2 _GOAL Baptism\n", "Baptism"},
        {"1 _TASK Y\n2 _DATE 1900\n2 _GOAL Baptism\n", "1900"},
        {"1 _TASK Y\n", "No Subordinate Data"},
        {"1 _TASK\n2 _DATE\n2 _GOAL Baptism\n", "No Subordinate Data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.task);
        auto log = std::make_shared<LOGRecord>("@L1@");
        log->reparse(std::string("0 @L1@ _LOG\n") + c.task);
        auto name = log->nameForEventToDetach(*log->structures().front());
        ASSERT_TRUE(name);
        EXPECT_EQ((*name)[0], "Research Task");
        EXPECT_EQ((*name)[1], c.description);
    }
}

TEST_F(LogFixture, ProseNamesTheFirstIndividualAndFamily) {
    load("0 @I1@ INDI\n1 NAME Ann /Lind/\n0 @I2@ INDI\n0 @I3@ INDI\n0 @F1@ FAM\n"
         "0 @L1@ _LOG\n1 _TTL Search\n1 _OBJECT Parents\n1 _INDI @I1@\n1 _INDI @I2@\n1 _INDI @I3@\n1 _FAM @F1@\n");
    EXPECT_EQ(get("@L1@")->reportDescription(0).toString(),
              "This research log's title is Search. It's objective is: Parents. The research is on Ann Lind and "
              "other individuals, and on the " + get("@F1@")->altViewName() + ".");
}

using ReportFixture = RecordKindsFixture;

TEST_F(ReportFixture, CreatingEditingAndDeletingAReportLeavesUndoAlone) {
    load("0 @I1@ INDI\n");
    ASSERT_FALSE(document.undo.canUndo());
    auto report = std::dynamic_pointer_cast<ReportRecord>(model.createNewRecordOfType("_RPT"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->viewName(), "New Report");
    report->setViewName("Ancestors");
    report->setBody("<div>\r<p>x</p></div>");
    EXPECT_TRUE(report->isHtmlReport());
    EXPECT_EQ(report->body(), "<div>\n<p>x</p></div>");
    report->setBody("plain", ReportRecord::Font{"Courier", 12});
    EXPECT_FALSE(report->isHtmlReport());
    EXPECT_EQ(body(report->grecordID()),
              "1 _TITLE Ancestors\n1 _BODY plain\n1 _FONT Courier\n1 _SIZE 12.000000\n");
    model.deleteRecord(report);
    EXPECT_FALSE(model.recordWithID(report->grecordID(), ""));
    EXPECT_FALSE(document.undo.canUndo());
}

TEST_F(ReportFixture, AnUninstalledReportIsNumberedFromTheCounter) {
    ReportRecord::setReportCounter([] { return std::int64_t{7}; });
    auto report = std::make_shared<ReportRecord>("@RP1@");
    report->setViewName("Check");
    model.installRecord(report);
    ReportRecord::setReportCounter({});
    EXPECT_EQ(report->viewName(), "Check (7)");
}

using BookFixture = RecordKindsFixture;

TEST_F(BookFixture, NewBookHasTheDefaultSettings) {
    UserDefaults::standard().registerDefaults(Dictionary{{"User Name", Value("Ann Author")}});
    load("0 @I1@ INDI\n");
    auto book = std::dynamic_pointer_cast<BookRecord>(model.createNewRecordOfType("_BOK"));
    ASSERT_TRUE(book);
    EXPECT_EQ(body(book->grecordID()),
              "1 _DESC Book Description\n1 _AUTH Ann Author\n1 _ANC all\n1 _DES none\n1 _FONT 10\n"
              "1 _FFAM Helvetica\n1 _LINE 1.2\n1 _PAPER US Letter\n1 _SIZE Full Page\n1 _TEXSTY Default\n"
              "1 _TGEN 4\n1 _XTEX Y\n1 _TSET Y\n");
    const Dictionary settings = book->bookSettings();
    auto text = [&](const char* key) { return settings.get(key) ? settings.get(key)->toString() : "<missing>"; };
    EXPECT_EQ(text("texCmd"), "xelatex");
    EXPECT_EQ(text("chinese"), "No");
    EXPECT_EQ(text("treeGenerations"), "4");
    EXPECT_EQ(text("noowner"), "");
    EXPECT_EQ(text("nograntees"), "");
    EXPECT_EQ(text("author"), "Ann Author");
    EXPECT_FALSE(settings.get("owner"));
    ASSERT_TRUE(settings.get("individuals") && settings.get("individuals")->array());
    EXPECT_TRUE(settings.get("individuals")->array()->empty());

    EXPECT_FALSE(book->drop(get("@I1@")));
    EXPECT_EQ(book->drop(get("@I1@")), "The dropped individual record is already linked to this book.");
    EXPECT_EQ(book->bookSettings().get("individuals")->array()->size(), 1u);
}

TEST_F(BookFixture, SwitchesAndCopyrightReadTheirLines) {
    load("0 @B1@ _BOK\n1 _DESC Family\n1 _XTEX n\n1 _CHN Y\n1 _TGEN\n1 _COPY Y\n2 _OWNER Ann\n2 _GTEES All\n"
         "1 _INTRO Hello\n2 _TEX \\intro\n");
    const Dictionary settings = get<BookRecord>("@B1@")->bookSettings();
    EXPECT_EQ(settings.get("texCmd")->toString(), "pdflatex");
    EXPECT_EQ(settings.get("chinese")->toString(), "Yes");
    EXPECT_EQ(settings.get("treeGenerations")->toString(), "4");
    EXPECT_EQ(settings.get("owner")->toString(), "Ann");
    EXPECT_EQ(settings.get("grantees")->toString(), "All");
    EXPECT_EQ(settings.get("introTeX")->toString(), "\\intro");
    EXPECT_FALSE(settings.get("noowner"));
    EXPECT_FALSE(get<BookRecord>("@B1@")->canMergeWith(*get("@B1@")));
}

}  // namespace
}  // namespace kl
