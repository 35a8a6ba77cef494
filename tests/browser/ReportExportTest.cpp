// A stored report written to a file outside the program: its title and
// save panel by kind, the text each kind writes, and what happens to a
// file already there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <unistd.h>

#include "browser/ReportExport.h"
#include "document/GEDCOMModel.h"
#include "model/ReportRecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("kl-report-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        model.setInputGed("0 HEAD\n1 CHAR UTF-8\n0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
    }
    void TearDown() override { fs::remove_all(folder); }
    const fs::path& root() const { return folder; }
    static std::string readAll(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::shared_ptr<ReportRecord> make(const std::string& body, bool font = false) {
        auto made = std::dynamic_pointer_cast<ReportRecord>(model.createNewRecordOfType("_RPT"));
        if (font) made->setBody(body, ReportRecord::Font{"Courier", 12});
        else made->setBody(body);
        return made;
    }
    // Kept by the model for the length of the test.
    const ReportRecord& report(const std::string& body, bool font = false) { return *make(body, font); }
    fs::path folder;
    GEDCOMModel model;
};

TEST_F(ReportFile, EachKindGetsItsTitlePanelAndWayOfPrinting) {
    const ReportRecord& html = report("<div><p>Census of Radavizu</p></div>");
    const ReportRecord& text = report("Census of Radavizu\n");
    const ReportRecord& typed = report("Census of Radavizu\n", true);
    ASSERT_TRUE(html.isHtmlReport());
    EXPECT_EQ(ReportExport::menuTitle(html), "Report to HTML File");
    EXPECT_EQ(ReportExport::menuTitle(text), "Report to Text File");
    EXPECT_EQ(ReportExport::savePanelFor(html).fileTypes, (std::vector<std::string>{"html", "htm"}));
    EXPECT_EQ(ReportExport::savePanelFor(html).message, "Export Report to an HTML File");
    EXPECT_EQ(ReportExport::savePanelFor(text).fileTypes, (std::vector<std::string>{"txt"}));
    EXPECT_EQ(ReportExport::savePanelFor(text).message, "Export Report to a Text File");
    // The panel's type is added unless the name has one of its types.
    EXPECT_EQ(ReportExport::withFileType("/tmp/census", {"html", "htm"}), "/tmp/census.html");
    EXPECT_EQ(ReportExport::withFileType("/tmp/census.HTM", {"html", "htm"}), "/tmp/census.HTM");
    EXPECT_EQ(ReportExport::withFileType("/tmp/census.2026", {"txt"}), "/tmp/census.2026.txt");
    EXPECT_TRUE(ReportExport::printsAsPage(&html));
    EXPECT_TRUE(ReportExport::printsAsPage(&text));
    EXPECT_FALSE(ReportExport::printsAsPage(&typed)) << "a report with a font is printed as a pane";
}

TEST_F(ReportFile, ATextReportWritesItsBodyOverAFileThatIsThere) {
    const fs::path file = root() / "census.txt";
    std::ofstream(file) << "an older and much longer text that must not survive";
    const auto result = ReportExport::exportReport(report("Census of Radavizu\nthree households\n"), file);
    EXPECT_EQ(result.outcome, ReportExport::Result::Written);
    EXPECT_EQ(readAll(file), "Census of Radavizu\nthree households\n");
}

TEST_F(ReportFile, AnHTMLReportWritesAStandalonePageWithRecordLinksMadeText) {
    const fs::path file = root() / "census.html";
    const auto result =
        ReportExport::exportReport(report("<div><p>Head: <a href='@I1@'>Tobin Marl</a></p></div>"), file);
    ASSERT_EQ(result.outcome, ReportExport::Result::Written);
    const std::string page = readAll(file);
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>")) << page;
    EXPECT_NE(page.find("charset=UTF-8"), std::string::npos);
    EXPECT_NE(page.find("Head: Tobin Marl"), std::string::npos) << page;
    EXPECT_EQ(page.find("@I1@"), std::string::npos) << "no link into the database leaves it";

    // The page the pane shows is what the file gets, when there is one.
    const fs::path shown = root() / "shown.html";
    std::ofstream(shown) << "<html><body>as shown <a href='//@I1@'>Tobin Marl</a></body></html>";
    ASSERT_EQ(ReportExport::exportReport(report("<div>body</div>"), file, shown).outcome,
              ReportExport::Result::Written);
    EXPECT_EQ(readAll(file), "<html><body>as shown Tobin Marl</body></html>");
}

TEST_F(ReportFile, AFileThatCannotBeReplacedOrWrittenIsReported) {
    // A folder in the way cannot be removed as a file can.
    const fs::path folder = root() / "taken.txt";
    fs::create_directories(folder / "inside");
    EXPECT_EQ(ReportExport::exportReport(report("text"), folder).outcome, ReportExport::Result::ReplaceFailed);
    EXPECT_TRUE(fs::exists(folder / "inside"));

    const auto result = ReportExport::exportReport(report("text"), root() / "no such folder" / "r.txt");
    EXPECT_EQ(result.outcome, ReportExport::Result::WriteFailed);
    EXPECT_FALSE(result.error.empty());
}

}  // namespace
}  // namespace kl
