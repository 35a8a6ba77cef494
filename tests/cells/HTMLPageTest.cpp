// Standalone pages made from HTML blocks: the style sheet chosen and where
// it is linked, the block's own head, local images copied for display, the
// map placeholders, and a page written again once its folder is made anew.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "cells/HTMLPage.h"
#include "document/GEDCOMModel.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// How a page links a style sheet: blanks as "%20".
std::string address(const fs::path& path) {
    std::string text = "file://";
    for (char c : path.string()) text += c == ' ' ? std::string("%20") : std::string(1, c);
    return text;
}

class HTMLPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::path(::testing::TempDir()) / ("html page " + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "lib dir" / "Formats");
        fs::create_directories(root / "work");
        fs::create_directories(root / "app");
        writeFile(root / "lib dir/Formats/report.css", "body{}");
        writeFile(root / "sheet.css", "p{}");
        writeFile(root / "picture.png", "png");
        setting.libraryCSS = root / "lib dir/Formats/report.css";
        setting.programCSS = root / "app/report.css";
        setting.workingFolder = (root / "work").string() + "/";
        setting.nextIndex = [this] { return ++index; };
        model.setInputGed("0 HEAD\n1 CHAR UTF-8\n0 @O1@ OBJE\n1 FILE " + (root / "sheet.css").string() +
                          "\n1 FORM css\n0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
    }
    void TearDown() override { fs::remove_all(root); }

    std::string page(const std::string& html, HTMLPage::Request request = {}) {
        request.model = &model;
        std::string error;
        return HTMLPage::prepare(html, request, &error, setting).value_or("failed: " + error);
    }

    fs::path root;
    HTMLPage::Setting setting;
    std::int64_t index = 0;
    GEDCOMModel model;
};

TEST_F(HTMLPageTest, WrapsTheBlockInAPageWithTheLibrarySheet) {
    const std::string css = address(root / "work/report.css");
    EXPECT_EQ(page("<div>hi</div>"), "<!DOCTYPE html>\n<html lang='en'>\n<head>\n"
                                     "  <title>Kinlore II Report</title>\n"
                                     "  <meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n"
                                     "  <link rel='stylesheet' type='text/css' href='" +
                                         css + "'>\n</head>\n<body>\n<div>hi</div>\n</body>\n</html>");
    EXPECT_TRUE(fs::exists(root / "work/report.css"));
}

TEST_F(HTMLPageTest, ExportLinksTheLibrarySheetWhereItLies) {
    HTMLPage::Request request;
    request.isReport = true;
    request.forExport = true;
    const std::string text = page("<div>r</div>", request);
    EXPECT_NE(text.find("href='" + address(root / "lib dir/Formats/report.css") + "'"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(root / "work/report.css"));
}

TEST_F(HTMLPageTest, AttachedSheetIsCopiedAndAMissingOneWarns) {
    EXPECT_NE(page("<div><!--CSS @O1@ -->x</div>").find(address(root / "work/sheet.css")),
              std::string::npos);
    const std::string missing = page("<div><!--CSS @O7@ -->x</div>");
    EXPECT_NE(missing.find(std::string("<body>") + HTMLPage::kCSSWarning + "\n"), std::string::npos);
    EXPECT_EQ(missing.find("<link"), std::string::npos);
}

TEST_F(HTMLPageTest, AMissingReportSheetIsRestoredFromTheProgram) {
    fs::remove(setting.libraryCSS);
    HTMLPage::Request request;
    request.isReport = true;
    EXPECT_NE(page("<div>r</div>", request).find(HTMLPage::kCSSWarning), std::string::npos);
    writeFile(setting.programCSS, "body{color:red}");
    EXPECT_EQ(page("<div>r</div>", request).find(HTMLPage::kCSSWarning), std::string::npos);
    EXPECT_EQ(readFile(setting.libraryCSS), "body{color:red}");
}

TEST_F(HTMLPageTest, TheBlocksOwnHeadGoesIntoThePageHead) {
    const std::string text = page("<div><HEAD><style>p{}</style></Head>body</div>");
    const auto headEnd = text.find("</head>");
    EXPECT_NE(text.find("<style>p{}</style>\n</head>"), std::string::npos) << text;
    EXPECT_NE(text.find("<div>body</div>", headEnd), std::string::npos) << text;
}

TEST_F(HTMLPageTest, MapPlaceholdersFollowTheMappingInterface) {
    setting.mapKey = "KEY";
    setting.openLayers = "ol.js";
    HTMLPage::Request request;
    request.addMap = true;
    const std::string html = "<div>YOUR_API_KEY $OPENLAYERS$</div>";
    EXPECT_NE(page(html, request).find("<div>KEY $OPENLAYERS$</div>"), std::string::npos);
    setting.mappingAPI = 1;
    EXPECT_NE(page(html, request).find("<div>YOUR_API_KEY ol.js</div>"), std::string::npos);
}

TEST_F(HTMLPageTest, AFileCopiesLocalImagesAndLeavesWebOnes) {
    HTMLPage::Request request;
    request.url = true;
    const std::string html = "<div><img src='file://" + (root / "picture.png").string() +
                             "'><img src=\"https://example.org/a.png\"><img src=''></div>";
    const std::string file = page(html, request);
    ASSERT_EQ(fs::path(file).parent_path(), root / "work") << file;
    EXPECT_EQ(fs::path(file).filename().string().rfind("web-", 0), 0u);
    const std::string text = readFile(file);
    const fs::path copy = root / "work" / ("i1-picture.png");
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_NE(text.find("<img src='file://" + copy.string() + "'>"), std::string::npos) << text;
    EXPECT_NE(text.find("<img src=\"https://example.org/a.png\">"), std::string::npos);
}

TEST_F(HTMLPageTest, APageIsWrittenAgainAfterItsFolderIsMade) {
    fs::remove_all(root / "work");
    int remade = 0;
    setting.remakeWorkingFolder = [&] {
        ++remade;
        fs::create_directories(root / "work");
        return std::optional<std::string>((root / "work").string() + "/");
    };
    HTMLPage::Request request;
    request.url = true;
    const std::string file = page("<div>x</div>", request);
    EXPECT_EQ(remade, 1);
    EXPECT_TRUE(fs::exists(file)) << file;

    fs::remove_all(root / "work");
    setting.remakeWorkingFolder = [] { return std::optional<std::string>(); };
    std::string error;
    EXPECT_FALSE(HTMLPage::prepare("<div>x</div>", request, &error, setting));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kl
