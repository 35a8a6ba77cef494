// The database reports: validation's counts and summaries, the multimedia
// summary, the file information table and the HTML links report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "charts/FileInformationReport.h"
#include "charts/HTMLLinksReport.h"
#include "charts/MultimediaSummaryReport.h"
#include "charts/ReportsTestSupport.h"
#include "charts/ValidateGEDCOMReport.h"
#include "document/DocumentTestSupport.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using test::ReportFixture;

class DatabaseReports : public ::testing::Test, public ReportFixture {
protected:
    static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
};

// ---- validation

TEST_F(DatabaseReports, TheAllValidCountCoversTypeListsAndCorruptedRecords) {
    read(
        "0 @I1@ INDI\n1 NAME A /B/\n0 @I1@ INDI\n1 NAME Twin\n0 @SUBM@ SUBM\n1 NAME S\n0 @N1@ NOTE text\n"
        "0 @X1@ _CUSTOM\n");
    ReportCommands::addReport(doc.gedcomModel(), "<div>r</div>", "Old");
    auto& index = doc.gedcomModel().recordsIndex();
    std::size_t expected = 0;
    for (const auto& list : index.lists())
        if (list->listType() < ListReports || list->listType() == ListCorrupted) expected += list->count();
    ASSERT_TRUE(index.listForType(RecordsIndices::kCorrupted)) << "the duplicate ID is kept as corrupted";
    auto report = make<ValidateGEDCOMReport>();
    report->setFlags(3);
    report->beginReport();
    const std::string body = host.body();
    EXPECT_TRUE(has(body, "checked records have warnings or errors") || has(body, "<p>All GEDCOM data in ")) << body;
    EXPECT_TRUE(has(body, " of " + std::to_string(expected) + " checked records") ||
                has(body, "All GEDCOM data in " + std::to_string(expected) + " records"))
        << body;
    EXPECT_TRUE(has(body, " No unrecognized custom tags were deleted.")) << body;
}

TEST_F(DatabaseReports, AValidFileSaysSoOnce) {
    read("0 @I1@ INDI\n1 NAME A /B/\n1 SEX M\n");
    auto report = make<ValidateGEDCOMReport>();
    report->beginReport();
    const std::size_t records = doc.gedcomModel().recordsIndex().numberOfRecords();
    EXPECT_EQ(host.body(),
              "<div>\n<h1>GEDCOM Validation Report for Family &lt;Tree&gt;</h1>\n\n<p>All GEDCOM data in " +
                  std::to_string(records) + " records in this file are valid.</p>\n</div>");
}

TEST_F(DatabaseReports, SelectedRecordsAloneCountInOrder) {
    read("0 @I1@ INDI\n1 SEX X\n0 @I2@ INDI\n1 SEX Q\n0 @I3@ INDI\n1 SEX Z\n");
    host.selection = {record("@I3@"), record("@I1@")};
    auto report = make<ValidateGEDCOMReport>();
    report->setWhichRecords(ReportController::kSelectedRecords);
    report->beginReport();
    const std::string body = host.body();
    EXPECT_TRUE(has(body, "<p>2 of 2 checked records have warnings or errors in their GEDCOM data.</p>\n<ol>\n"))
        << body;
    EXPECT_LT(body.find("//@I3@"), body.find("//@I1@"));
    EXPECT_FALSE(has(body, "//@I2@"));
    EXPECT_EQ(report->numBadRecords(), 2);
}

// ---- multimedia summary

class MultimediaSummary : public DatabaseReports {
protected:
    void SetUp() override {
        library = folder.path() / "library";
        fs::create_directories(library / "sub");
        std::ofstream(library / "photo.jpg") << "not really a picture";
        std::ofstream(library / "cloud.jpg");  // zero bytes: not downloaded
        std::ofstream(library / "sub" / "loose.txt") << "x";
        std::ofstream(library / ".hidden") << "x";
        fs::create_directories(library / "Old.gedpkg" / "inside");
        fs::create_directory_symlink(folder.path(), library / "loop");
    }
    test::ScratchFolder folder;
    fs::path library;
};

TEST_F(MultimediaSummary, ObjectsAreCountedWhereTheyLie) {
    read(
        "0 @M1@ OBJE\n1 FILE photo.jpg\n0 @M2@ OBJE\n1 FILE cloud.jpg\n0 @M3@ OBJE\n1 FILE "
        "https://example.org/a.png\n2 FORM url\n"
        "0 @M4@ OBJE\n1 FILE gone.jpg\n");
    doc.setMultimediaRoot({library.string() + "/"});
    auto report = make<MultimediaSummaryReport>();
    report->beginReport();
    const std::string body = host.body();
    EXPECT_TRUE(has(body, "<tr>\n<td>" + library.string() + "/</td>\n<td>2</td>\n</tr>\n")) << body;
    EXPECT_TRUE(has(body, "<tr>\n<td>Objects as URL links</td>\n<td>1</td>\n</tr>\n")) << body;
    const auto section = [&body](const char* anchor) {
        const std::size_t at = body.find(std::string("<a name='") + anchor + "'>");
        return body.substr(at, body.find("<h2>", at + 1) - at);
    };
    EXPECT_TRUE(has(section("incloud"), "//@M2@")) << section("incloud");
    EXPECT_FALSE(has(section("incloud"), "//@M1@"));
    EXPECT_TRUE(has(section("notfound"), "//@M4@"));
    EXPECT_FALSE(has(section("notfound"), "//@M3@")) << "a URL is only counted";
    EXPECT_TRUE(has(section("nonlib"), "All multimedia objects in this file are stored in a multimedia library"));
    const std::string unlinked = section("unlinked");
    EXPECT_TRUE(has(unlinked, "sub/loose.txt")) << unlinked;
    EXPECT_TRUE(has(unlinked, "Old.gedpkg</li>")) << "a package is one item: " << unlinked;
    EXPECT_FALSE(has(unlinked, "inside"));
    EXPECT_FALSE(has(unlinked, ".hidden"));
    EXPECT_FALSE(has(unlinked, "loop")) << "a linked folder is not entered";
    EXPECT_EQ(report->doneCount(), 3) << "a URL is no task";
}

TEST_F(MultimediaSummary, ADatabaseWithoutObjectsGetsOneLine) {
    read("0 @I1@ INDI\n1 NAME A\n");
    auto report = make<MultimediaSummaryReport>();
    report->beginReport();
    EXPECT_EQ(host.body(),
              "<div>\n<h1>Summary of Multimedia Objects in Family &lt;Tree&gt;</h1>\n\n"
              "<p>This file has no multimedia objects</p>\n</div>");
    EXPECT_EQ(host.panel.panels, 0);
}

TEST_F(MultimediaSummary, FilesUnderPicturesAreSummedUp) {
    read("0 @M1@ OBJE\n1 FILE photo.jpg\n");
    doc.setMultimediaRoot({library.string() + "/"});
    MultimediaSummaryReport::setPicturesFolder(library.string() + "/");
    make<MultimediaSummaryReport>()->beginReport();
    MultimediaSummaryReport::setPicturesFolder("~/Pictures/");
    const std::string body = host.body();
    EXPECT_TRUE(has(body, "<li>Unlinked files in home 'Pictures' folder were skipped</li>\n</ol>")) << body;
    EXPECT_FALSE(has(body, "loose.txt"));
}

// ---- file information

TEST_F(DatabaseReports, AnUnsavedDatabaseHasNoFileRows) {
    read("0 @I1@ INDI\n1 NAME A\n0 @F1@ FAM\n");
    FileInformationReport report(doc, host);
    const std::string page = report.compilePage();
    EXPECT_TRUE(has(page, "<tr>\n<td>File Name</td>\n<td>Untitled</td>\n</tr>\n")) << page;
    for (const char* row : {"Save Location", "File Size", "Created", "Last Modified", "Owner"})
        EXPECT_FALSE(has(page, row)) << row;
    for (const char* row : {"Individuals", "Families", "Multimedia Thumbnails", "Research Logs", "Total Records"})
        EXPECT_TRUE(has(page, std::string("<td>") + row + "</td>")) << row;
    EXPECT_TRUE(has(page, "<td>Research Logs</td>\n<td>0</td>")) << page;
}

TEST_F(DatabaseReports, ASavedFileHasItsRows) {
    test::ScratchFolder folder;
    const fs::path package = folder.path() / "Tree <1>.gedpkg";
    fs::create_directories(package);
    std::ofstream(package / "Tree.ged") << std::string(2500, 'x');
    FileInformationReport::Rows rows;
    FileInformationReport::addFileRows(rows, package);
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"File Name", "Tree &lt;1&gt;.gedpkg"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"File Size", "2 kB"}));
    bool modified = false;
    for (const auto& row : rows) modified = modified || row[0] == "Last Modified";
    EXPECT_TRUE(modified);
    EXPECT_EQ(FileInformationReport::dateText(0), "1970-01-01 00:00:00 +0000");
}

// ---- HTML links

struct LinksCase {
    const char* name;
    const char* records;
    std::vector<std::string> parts;
};

class HTMLLinks : public DatabaseReports, public ::testing::WithParamInterface<LinksCase> {};

TEST_P(HTMLLinks, TheSummaryReadsRight) {
    read(GetParam().records);
    make<HTMLLinksReport>()->beginReport();
    const std::string body = host.body();
    for (const auto& part : GetParam().parts) EXPECT_TRUE(has(body, part)) << part << "\n" << body;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, HTMLLinks,
    ::testing::Values(
        LinksCase{
            "NoHTML",
            "0 @I1@ INDI\n1 NAME A\n",
            {"<p>This file has 0 internal HTML links.</p>\n", "<p>No records in this file make use of HTML content. "}},
        LinksCase{"OneValidLink",
                  "0 @I1@ INDI\n1 NAME A\n0 @N1@ NOTE <div>See <a href='//@I1@'>A</a></div>\n",
                  {"<p>This file has 1 internal HTML link. All the links were valid links",
                   "<p>The following record makes use of embedded HTML content. "}},
        LinksCase{"TwoBrokenInOneRecord",
                  "0 @N1@ NOTE <div><a href=\"//@I8@\">x</a> and <a href='@I9@'>y</a></div>\n",
                  {"In addition, 2 internal HTML links were found to be invalid and they were deleted. They were in "
                   "the following record:</p>\n<ol>\n<li><a href='//@N1@'>"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DatabaseReports, BrokenLinksAreCutAsOneUndoStep) {
    read("0 @N1@ NOTE <div><a href='//@I8@'>x</a> stays</div>\n");
    make<HTMLLinksReport>()->beginReport();
    auto note = [this] { return std::dynamic_pointer_cast<NOTERecord>(record("@N1@"))->notesText(); };
    EXPECT_EQ(note(), "<div>x stays</div>");
    EXPECT_EQ(doc.undo().undoActionName(), HTMLLinksReport::kUndoName);
    doc.undo().undo();
    EXPECT_EQ(note(), "<div><a href='//@I8@'>x</a> stays</div>");
}

}  // namespace
}  // namespace kl
