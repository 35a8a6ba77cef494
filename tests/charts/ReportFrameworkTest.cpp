// The report run: storing, the progress panel, cancelling, failures, the
// record sets, the HTML writers, and storing a report as a record.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "charts/GenRelativesReport.h"
#include "charts/ReportCommands.h"
#include "charts/ReportController.h"
#include "charts/ReportsTestSupport.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/Exception.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::ReportFixture;

// A report whose compile the test steers.
class ProbeReport : public ReportController {
public:
    using ReportController::ReportController;
    bool reportPreparation() override {
        setTheTitle("Probe");
        setReport("Probe heading");
        return prepare;
    }
    void compileReport() override {
        started = true;
        while (hold.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (failure) failure();
        reportText() += "body</div>";
        finished = true;
    }
    void reportCompletion() override { ++completions; }

    bool prepare = true;
    std::atomic<bool> hold{false}, started{false}, finished{false};
    std::function<void()> failure;
    int completions = 0;
};

class ReportRun : public ::testing::Test, public ReportFixture {};

TEST_F(ReportRun, AQuickReportIsStoredWithoutThePanel) {
    ReportRecord::setReportCounter([] { return 12; });
    auto report = make<ProbeReport>();
    report->beginReport();
    EXPECT_EQ(report->status(), ReportController::Done);
    EXPECT_EQ(host.panel.panels, 0);
    ASSERT_EQ(host.stored.size(), 1u);
    EXPECT_EQ(host.stored.front()->viewName(), "Probe (12)");
    EXPECT_EQ(host.body(), "<div>\n<h1>Probe heading</h1>\n\nbody</div>");
    EXPECT_EQ(report->completions, 1);
    ReportRecord::setReportCounter(nullptr);
}

TEST_F(ReportRun, APreparationThatSaysNoRunsNothing) {
    auto report = make<ProbeReport>();
    report->prepare = false;
    report->beginReport();
    EXPECT_FALSE(report->started);
    EXPECT_EQ(report->completions, 0);
    EXPECT_TRUE(host.stored.empty());
}

TEST_F(ReportRun, CancelDuringACompileThatIgnoresItStoresNothingThoughTheWorkerFinishes) {
    auto report = make<ProbeReport>();
    report->hold = true;
    host.panel.onPanel = [&report](KLProgress& task) {
        task.cancelAction();
        report->hold = false;
    };
    report->beginReport();
    EXPECT_EQ(host.panel.panels, 1) << "the panel comes after the first second";
    EXPECT_TRUE(report->finished) << "the run returns once its worker has ended";
    EXPECT_EQ(report->status(), ReportController::Cancelled) << "the worker's end does not overwrite the cancel";
    EXPECT_TRUE(host.stored.empty());
    EXPECT_TRUE(host.alerts.empty());
    EXPECT_EQ(report->completions, 1);
}

TEST_F(ReportRun, AThrowingCompileStoresNothingAndSaysWhy) {
    struct Case {
        const char* name;
        std::function<void()> failure;
        ReportController::Status status;
        bool alerted;
    } cases[] = {
        {"Failure", [] { throw std::runtime_error("The disk went away."); }, ReportController::Failed, true},
        {"NamedFailure", [] { raise("KLFileReadError", "The disk went away."); }, ReportController::Failed, true},
        {"Cancel", [] { raise(exception_names::ReportCancel, "stop"); }, ReportController::Cancelled, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.alerts.clear();
        auto report = make<ProbeReport>();
        report->failure = c.failure;
        report->beginReport();
        EXPECT_EQ(report->status(), c.status);
        EXPECT_TRUE(host.stored.empty());
        ASSERT_EQ(host.alerts.size(), c.alerted ? 1u : 0u);
        if (c.alerted) {
            EXPECT_EQ(host.alerts.front().first, "The report could not be completed.");
            EXPECT_EQ(host.alerts.front().second, "The disk went away.");
        }
        EXPECT_EQ(report->completions, 1);
    }
}

TEST_F(ReportRun, RecordSetsComeFromTheSelectionOrAnAlbum) {
    read("0 @I1@ INDI\n1 NAME A\n0 @I2@ INDI\n1 NAME B\n0 @I3@ INDI\n1 NAME C\n");
    auto& index = doc.gedcomModel().recordsIndex();
    auto album = index.addList("User Album 7", nullptr);
    album->addRecordToAlbum(record("@I3@"));
    album->addRecordToAlbum(record("@I1@"));
    host.selection = {record("@I2@")};
    auto report = make<ProbeReport>();
    auto ids = [&report] {
        std::vector<std::string> out;
        const auto chosen = report->getWhichRecords();
        for (const auto& r : *chosen) out.push_back(r->grecordID());
        return out;
    };
    EXPECT_FALSE(report->getWhichRecords()) << "every record";
    report->setWhichRecords(ReportController::kSelectedRecords);
    EXPECT_EQ(ids(), (std::vector<std::string>{"@I2@"}));
    report->setWhichRecords(0);
    EXPECT_EQ(ids(), (std::vector<std::string>{"@I3@", "@I1@"}));
    report->setWhichRecords(5);
    EXPECT_TRUE(ids().empty()) << "an album that no longer exists";
}

// ---- HTML writers

TEST(ReportHTML, WritersWriteTheSharedPieces) {
    std::string html;
    ReportController::addTable(html, {{"File Property", "Value"}});
    EXPECT_EQ(html,
              "<table>\n<thead><tr>\n<th>File Property</th>\n<th>Value</th>\n</tr></thead>\n<tbody>\n"
              "</tbody>\n</table>\n");
    html.clear();
    ReportController::addTable(html, {{"A"}, {"1"}, {"2"}});
    EXPECT_NE(html.find("<tbody>\n<tr>\n<td>1</td>\n</tr>\n<tr>\n<td>2</td>\n</tr>\n</tbody>"), std::string::npos);
    html.clear();
    ReportController::addList(html, "ol", {});
    EXPECT_EQ(html, "<ol>\n</ol>\n");
    html.clear();
    ReportController::addList(html, "ul", {"x"}, "warn");
    EXPECT_EQ(html, "<ul class='warn'>\n<li>x</li>\n</ul>\n");
    html.clear();
    ReportController::addContents(html, {"One", "Two"}, {"a", "b"});
    EXPECT_EQ(html,
              "<div class='contents'>\n<ul>\n  <li><a href='#a'>One</a></li>\n  <li><a href='#b'>Two</a></li>\n"
              "</ul>\n</div>\n");
    html.clear();
    ReportController::addSection(html, "Libraries", "libs");
    ReportController::addSection(html, "Plain");
    EXPECT_EQ(html, "<h2><a name='libs'></a>Libraries</h2>\n<h2>Plain</h2>\n");
    EXPECT_EQ(ReportController::fileAddress("/home/a b/it's#1.png"), "file:///home/a%20b/it%27s%231.png");
}

TEST_F(ReportRun, RecordDataNeverBecomesMarkup) {
    read("0 @I1@ INDI\n1 NAME <script>x</script> /B&C/\n");
    std::string html;
    ReportController::addLink(html, *record("@I1@"));
    EXPECT_EQ(html.find("<script>"), std::string::npos) << html;
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos) << html;
    auto report = make<ProbeReport>();
    report->setReport("first");
    report->setReport("Report for <b>");
    EXPECT_EQ(report->report(), "<div>\n<h1>Report for &lt;b&gt;</h1>\n\n");
}

// ---- storing

TEST_F(ReportRun, StoredReportsAreNumberedByTheCounter) {
    std::int64_t next = 12;
    ReportRecord::setReportCounter([&next] { return next++; });
    auto first = ReportCommands::addReport(doc.gedcomModel(), "<div>x</div>", "T");
    auto second = ReportCommands::addReport(doc.gedcomModel(), "<div>y</div>", "T");
    EXPECT_EQ(first->viewName(), "T (12)");
    EXPECT_EQ(second->viewName(), "T (13)");
    EXPECT_TRUE(first->isHtmlReport());
    EXPECT_FALSE(first->firstChildWithTag("_PSIZE")) << "no print size without a font";
    auto plain = ReportCommands::addReport(doc.gedcomModel(), "text", "P", std::string("Courier"), 9);
    ASSERT_TRUE(plain->firstChildWithTag("_PSIZE"));
    EXPECT_EQ(plain->firstChildWithTag("_PSIZE")->contents(), "9.000000");
    EXPECT_EQ(doc.gedcomModel().recordsIndex().listForType("_RPT")->count(), 3u);
    ReportRecord::setReportCounter(nullptr);
}

TEST(ReportOptions, SheetChoicesBecomeFlags) {
    EXPECT_EQ(ReportCommands::flagsForCustomChoice(0), 0);
    EXPECT_EQ(ReportCommands::flagsForCustomChoice(1), 1);
    EXPECT_EQ(ReportCommands::flagsForCustomChoice(2), 3);
    const bool all[8] = {true, true, true, true, true, true, true, true};
    EXPECT_EQ(GenRelativesReport::outputFlags(all, 2), 0xFF | 0x20000);
    const bool some[8] = {true, false, true, false, false, false, false, true};
    EXPECT_EQ(GenRelativesReport::outputFlags(some, 1), 0x85 | 0x10000);
    EXPECT_EQ(GenRelativesReport::outputFlags(some, 0), 0x85);
}

TEST_F(ReportRun, RelativesReportsRunOnlyWhenTheirMakerIsRegistered) {
    read("0 @I1@ INDI\n1 NAME A\n");
    ReportCommands commands(doc, host);
    const Value options(Dictionary{
        {"outputFlags", Value(0x20005)}, {"maxGenerations", Value(4)}, {"theRecord", Value(record("@I1@"))}});
    EXPECT_FALSE(commands.ahnentafel(options));
    std::shared_ptr<GenRelativesReport> made;
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel,
                                           [&made](GEDCOMDocument& d, ReportHost& h) {
                                               made = std::make_shared<GenRelativesReport>(d, h);
                                               return made;
                                           });
    EXPECT_FALSE(commands.ahnentafel(Value())) << "a cancelled sheet";
    EXPECT_TRUE(commands.ahnentafel(options));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->flags(), 0x20005);
    EXPECT_EQ(made->maxGen(), 4);
    EXPECT_EQ(made->record(), std::shared_ptr<void>(record("@I1@")));
    EXPECT_TRUE(made->isIndeterminate());
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel, nullptr);
}

}  // namespace
}  // namespace kl
