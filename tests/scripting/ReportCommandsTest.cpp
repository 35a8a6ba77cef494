// Report builders: scripts lay out plain, monospace and HTML reports and
// write them into a variable or into a new report record of an open
// database, which opens in a record window.
#include "ScriptTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/LibraryFolder.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"

#include "document/GEDCOMModel.h"
#include "index/DocumentScripting.h"
#include "index/DocumentWindows.h"
#include "index/IndexTestSupport.h"
#include "model/ReportRecord.h"

namespace kl::test {
namespace {

class ReportCommands : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ReportCommands, LayOutTheReport) {
    ScriptHarness harness;
    expectOutcome(harness.run(GetParam().script), GetParam());
}

// Each script starts with a builder named r of the style and ends by writing
// it into #t and showing #t.
ScriptCase report(const char* name, const char* style, const char* body, const char* output) {
    static std::vector<std::unique_ptr<std::string>> scripts;
    scripts.push_back(std::make_unique<std::string>(std::string("createscriptoutput r, Test, ") + style + "\n" + body +
                                                    "\nr.write \"#t\"\nwrite #t"));
    return ScriptCase{name, scripts.back()->c_str(), output, nullptr};
}

INSTANTIATE_TEST_SUITE_P(
    Plain, ReportCommands,
    ::testing::Values(
        report("TextsJoinedTrailingWhiteDropped", "plain", "r.out a\nr.out \"b \"\nr.newline 2", "ab"),
        report("NewLineDefaultsToOne", "text", "r.out a\nr.newline\nr.out b", "a\nb"),
        report("NewLineBelowOneAddsNothing", "plain", "r.out a\nr.newline 0\nr.newline -3\nr.out b", "ab"),
        report("MoveToPadsToTheColumn", "plain", "r.out ab\nr.moveto 0, 5\nr.out x\nr.moveto 1, 3\nr.out y",
               "ab  x\n  y"),
        report("MoveToAnEarlierColumnStartsALine", "plain", "r.out abcdef\nr.moveto 0, 3\nr.out z", "abcdef\n  z"),
        report("InsertAtTheStartAndTheEnd", "plain", "r.out b\nr.insertstring a, 0\nr.insertstring c, 2", "abc"),
        ScriptCase{"ColumnAndLengthAttributes", "createscriptoutput r, T, plain\nr.out a\nr.newline\nr.out éb\n"
                                                "write @r.monoCol, @r.length, @r.class, @r.monoRow",
                   "3,3,ScriptOutput,1", nullptr}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Monospace, ReportCommands,
    ::testing::Values(
        report("HeaderCentredThenGapThenText", "monospace",
               "r.set rowsPerPage, 6\nr.set colsPerRow, 10\nr.set headerText, \"P [#]\"\nr.out a", "   P 1\n\na"),
        report("HeaderRightAlignedFooterLeft", "monospace",
               "r.set rowsPerPage, 4\nr.set colsPerRow, 10\nr.set headerText, \"[#]\"\nr.set headerAlign, 7\n"
               "r.set footerText, \"end\"\nr.set footerAlign, -2\nr.set textGap, 0\nr.out a",
               "         1\na\n\nend"),
        report("PageSizeChangesAtTheNextPage", "monospace",
               "r.set rowsPerPage, 3\nr.set colsPerRow, 10\nr.set headerText, \"-[#]\"\nr.set headerAlign, -1\n"
               "r.set textGap, 0\nr.out a\nr.set rowsPerPage, 4\nr.newline\nr.out b\nr.newline\nr.out c\n"
               "r.newline\nr.out d\nr.newline\nr.out e",
               "-1\na\nb\n-2\nc\nd\ne"),
        report("PageZeroHasNoHeaderTheNextIsPageOne", "monospace",
               "r.set rowsPerPage, 3\nr.set headerText, \"H[#]\"\nr.set headerAlign, -1\nr.set monoPage, 0\n"
               "r.out a\nr.newline 3\nr.out b",
               "a\n\n\nH1\n\nb"),
        report("LeftAndRightAlignedColumns", "monospace", "r.out Name, 20, Date, -40",
               "Name                                Date"),
        report("TextsWithoutColumnsTakeTheirWidth", "monospace", "r.out a, b, c", "abc"),
        report("ListOfColumns", "monospace", "createlist cols Name 10 Date\nr.out cols", "Name      Date"),
        report("LongTextCutToItsField", "monospace", "r.out abcdef, 3, xy, 8", "abcxy"),
        report("CentredInItsField", "monospace", "r.set centering, 5\nr.out ab, 7, c, -9", "  ab    c"),
        report("SingleTextTooLongForTheRowGoesToANewRow", "monospace",
               "r.set colsPerRow, 10\nr.out abcdefgh\nr.out ijk", "abcdefgh\nijk"),
        report("ColumnBeforeTheCurrentOneStartsANewRow", "monospace", "r.out a, 5, b, 2", "a\nb"),
        report("MoveToRowAndColumn", "monospace",
               "r.set rowsPerPage, 5\nr.out a\nr.moveto 3, 4\nr.out b\nr.moveto 2, 2\nr.out c", "a\n c\n   b"),
        report("MoveIntoTheHeaderIsIgnored", "monospace",
               "r.set headerText, H\nr.set headerAlign, -1\nr.out a\nr.moveto 1, 2\nr.out b", "H\n\nab"),
        report("UnicodeCountsAsCharacters", "monospace", "r.out äöü, 4, x, 5", "äöü x"),
        ScriptCase{"AttributesReadBack",
                   "createscriptoutput r, T, monospace\nr.set rowsPerPage, 30\nr.set monoSize, 10.5\n"
                   "r.set headerAlign, -9\nr.set monoFont, Mono\n"
                   "write @r.rowsPerPage, @r.colsPerRow, @r.monoSize, @r.printSize, @r.headerAlign, @r.monoFont, "
                   "@r.monoRow, @r.monoCol, @r.monoPage, @r.textGap",
                   "30,88,10.500000,9.000000,-1,Mono,1,0,1,1", nullptr},
        ScriptCase{"RowAndColumnAfterWriting",
                   "createscriptoutput r, T, monospace\nr.set headerText, H\nr.out ab, 6\nwrite @r.monoRow, @r.monoCol",
                   "3,6", nullptr},
        ScriptCase{"InsertIntoMonospaceRefused", "createscriptoutput r, T, monospace\nr.insertstring a, 0", "",
                   "insert index for a List or ScriptOutput is out of bounds"}),
    caseName);

TEST(ReportCommandErrors, NameTheCommandAndWhatIsWrong) {
    ScriptHarness harness;
    const std::string html = "createscriptoutput h, T, html\n";
    const std::string mono = "createscriptoutput m, T, monospace\n";
    expectRefusals([&](const std::string& script) { return harness.run("createlist l a\n" + script); },
                   {
                       {"createscriptoutput 1r, T, html",
                        "First parameter in CreateScriptOutput command must be a valid object variable name"},
                       {"createscriptoutput",
                        "First parameter in CreateScriptOutput command must be a valid object variable name"},
                       {"l.out a", "out command only allowed for script output objects"},
                       {html + "h.out", "out command requires a text argument"},
                       {mono + "m.out", "Command needs more than 0 arguments"},
                       {mono + "createdictionary d\nm.out d", "error adding columns to a monospace report"},
                       {"l.newline", "NewLine command only allowed for script output objects"},
                       {"l.moveto 1, 1", "MoveTo command only allowed for script output objects"},
                       {mono + "m.moveto 1", "MoveTo command requires row and column in two arguments"},
                       {"l.css x", "css command only allowed for script output objects"},
                       {html + "h.css", "css command requires a text argument"},
                       {"l.head x", "head command only allowed for script output objects"},
                       {html + "h.head", "head command requires a text argument"},
                       {html + "h.insertstring x, 3", "insert index for a List or ScriptOutput is out of bounds"},
                       {"l.write \"#t\"", "write command only allowed for script output objects"},
                       {html + "h.write", "write command requires a document object or variable name"},
                       {html + "h.write nosuch",
                        "write command requires a document object or variable name starting in '#'."},
                       {html + "h.write l", "write command requires a document object or variable name starting in '#'."},
                       // Sizes that leave no page, or one too large to hold, are refused.
                       {mono + "m.set rowsPerPage, 0", "class ISScriptOutput cannot set the requested property"},
                       {mono + "m.set colsPerRow, 99999999", "class ISScriptOutput cannot set the requested property"},
                       {mono + "m.set topMargin, -1", "class ISScriptOutput cannot set the requested property"},
                       {mono + "m.set monoRow, 3", "class ISScriptOutput cannot set the requested property"},
                   });
}

// Huge counts from a script must neither exhaust memory nor run for ever.
TEST(ReportCommandLimits, HugeMovesAndCountsStayBounded) {
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run(
        "createscriptoutput p, T, plain\np.newline 99999999999\np.moveto 99999999999, 99999999999\n"
        "createscriptoutput m, T, monospace\nm.newline 99999999999\nm.out x, 99999999999\nm.out y, -99999999999\n"
        "m.moveto -5, -5\np.write \"#p\"\nm.write \"#m\"\nwrite \"done\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "done");
}

// A library whose report style sheet lies in a folder with a blank in its
// name; scripts run with it.
class HTMLReport : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* saved = std::getenv("XDG_DATA_HOME")) savedData = saved;
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Kinlore II/System/Formats");
        std::ofstream(root / "Kinlore II/System/Formats/report.css") << "p {}\n";
        setenv("XDG_DATA_HOME", root.c_str(), 1);
        defaults = std::make_unique<UserDefaults>("Kinlore II", root / "config");
        library = std::make_unique<LibraryFolder>(*defaults);
        harness = std::make_unique<ScriptHarness>(library.get());
    }
    void TearDown() override {
        harness.reset();
        library.reset();
        defaults.reset();
        if (savedData)
            setenv("XDG_DATA_HOME", savedData->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root);
    }
    std::string sheetLink() const {
        std::string path = library->rootLibraryFile("Formats/report.css").string();
        for (std::size_t at = path.find(' '); at != std::string::npos; at = path.find(' ', at))
            path.replace(at, 1, "%20");
        return "  <link rel='stylesheet' type='text/css' href='file://" + path + "'>\n";
    }

    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("kl report " + std::to_string(::getpid()));
    std::optional<std::string> savedData;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<LibraryFolder> library;
    std::unique_ptr<ScriptHarness> harness;
};

TEST_F(HTMLReport, WithoutStyleOrHeadItHasNoHeadElement) {
    const ScriptOutcome outcome =
        harness->run("createscriptoutput r, T, html\nr.out \"<p>x</p>\"\nr.write \"#t\"\nwrite #t");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "<!DOCTYPE html>\n<html lang='en'>\n<head>\n  <title>Kinlore II Report</title>\n"
                              "  <meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n" +
                                  sheetLink() + "</head>\n<body>\n<div>\n<p>x</p>\n</div>\n</body>\n</html>");
}

// A variable gets a whole page: the report's head inside the page's head,
// record links reduced to their text, other links kept.
TEST_F(HTMLReport, WrittenIntoAVariableIsAStandalonePageWithoutRecordLinks) {
    const ScriptOutcome outcome = harness->run(
        "createscriptoutput r, T, html\nr.css \"p { color: red }\"\nr.head \"<meta name='k'>\"\n"
        "r.out \"<p><a href='@I1@'>Ann</a> and <A HREF='//@I2@'>Bo</a>, <a href='https://example.org'>site</a>"
        "</p>\"\nr.write \"#t\", \"<!-- extra -->\"\nwrite #t");
    EXPECT_EQ(outcome.report, "");
    const std::string& page = outcome.output;
    EXPECT_NE(page.find(sheetLink() + "<style>\np { color: red }</style>\n<meta name='k'>\n</head>\n<body>\n"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<div>\n\n<!-- extra --><p>Ann and Bo, <a href='https://example.org'>site</a></p>\n</div>"),
              std::string::npos)
        << page;
}

// Without the library's sheet the program's own is copied there; without
// either the page says so at the top of its body.
TEST_F(HTMLReport, AMissingLibrarySheetIsRestoredOrTheBodyWarns) {
    const std::filesystem::path saved = ResourceFolder::folder();
    const std::filesystem::path sheet = library->rootLibraryFile("Formats/report.css");
    std::filesystem::remove(sheet);
    ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
    EXPECT_EQ(harness->run("createscriptoutput r, T, html\nr.write \"#t\"").report, "");
    EXPECT_TRUE(std::filesystem::exists(sheet));

    std::filesystem::remove(sheet);
    ResourceFolder::setFolder(root / "no resources");
    const ScriptOutcome outcome = harness->run("createscriptoutput r, T, html\nr.write \"#t\"\nwrite #t");
    ResourceFolder::setFolder(saved);
    EXPECT_NE(outcome.output.find("charset=UTF-8'>\n\n</head>\n<body><b><font color='red'>(Attached CSS file not "
                                  "found)</font></b>\n<div>"),
              std::string::npos)
        << outcome.output;
}

// Three people in a database whose document windows make browser doubles;
// the newest one is in front. Scripts get the document as "doc".
struct ReportDocument {
    IndexFixture window;
    DocumentWindows windows{*window.scratch.defaults, frontIsNewest()};
    ScriptHarness harness;
    ReportDocument() {
        window.open(people({"Ann /Apple/", "Bea /Birch/"}));
        window.index->setWindows(&windows);
    }
    DocumentWindows::Platform frontIsNewest() {
        DocumentWindows::Platform platform = browserDoublePlatform();
        platform.windowsFrontToBack = [this] {
            std::vector<const void*> order;
            for (const auto& controller : windows.windowControllers())
                order.insert(order.begin(), controller->window());
            return order;
        };
        return platform;
    }
    ScriptOutcome run(const std::string& script) {
        return harness.run(script, {{"doc", Value(std::static_pointer_cast<Object>(window.index->scriptDocument()))}});
    }
    std::vector<std::shared_ptr<ReportRecord>> reports() {
        std::vector<std::shared_ptr<ReportRecord>> found;
        for (const auto& record : window.doc.gedcomModel().recordsOfType("_RPT"))
            if (auto report = std::dynamic_pointer_cast<ReportRecord>(record)) found.push_back(report);
        return found;
    }
};

TEST(ReportToDocument, MonospaceReportOpensInANewRecordWindowWithItsFonts) {
    ReportDocument f;
    const ScriptOutcome outcome =
        f.run("createscriptoutput r, Names, monospace\nr.set printSize, 8\nr.out Ann, 5, Bea\nr.write doc\n"
              "write \"written\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "written");
    const auto reports = f.reports();
    ASSERT_EQ(reports.size(), 1u);
    const auto& report = reports.front();
    EXPECT_EQ(report->body(), "Ann  Bea");
    EXPECT_TRUE(report->viewName().starts_with("Names (")) << report->viewName();
    EXPECT_FALSE(report->isHtmlReport());
    EXPECT_EQ(report->dataWithTag("_FONT"), "Courier");
    EXPECT_EQ(report->dataWithTag("_SIZE"), "12.000000");
    EXPECT_EQ(report->dataWithTag("_PSIZE"), "8.000000");
    ASSERT_EQ(f.windows.windowControllers().size(), 1u);
    auto* browser = dynamic_cast<BrowserDouble*>(f.windows.windowControllers().front().get());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->record, report);
}

TEST(ReportToDocument, HTMLReportKeepsItsLinksAndHasNoFont) {
    ReportDocument f;
    const ScriptOutcome outcome = f.run(
        "createscriptoutput r, Links, html\nr.css \"b {}\"\nr.out \"<a href='@I1@'>Ann</a>\"\nr.write doc\n"
        "createscriptoutput s, Second, plain\ns.out x\ns.write doc");
    EXPECT_EQ(outcome.report, "");
    const auto reports = f.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0]->body(), "<div>\n<head>\n<style>\nb {}</style>\n</head>\n<a href='@I1@'>Ann</a>\n</div>");
    EXPECT_TRUE(reports[0]->isHtmlReport());
    EXPECT_EQ(reports[0]->dataWithTag("_FONT"), "");
    EXPECT_EQ(reports[0]->dataWithTag("_PSIZE"), "");
    EXPECT_EQ(reports[1]->body(), "x");
    EXPECT_EQ(f.windows.windowControllers().size(), 2u) << "each report in a window of its own";
}

TEST(ReportToDocument, AClosedDocumentIsReportedNotIgnored) {
    ReportDocument f;
    auto doc = f.window.index->scriptDocument();
    doc->detach();
    const ScriptOutcome outcome = f.harness.run("createscriptoutput r, T, plain\nr.out x\nr.write doc",
                                                {{"doc", Value(std::static_pointer_cast<Object>(doc))}});
    EXPECT_TRUE(outcome.report.starts_with("write command cannot store the report: its document is closed"))
        << outcome.report;
}

}  // namespace
}  // namespace kl::test
