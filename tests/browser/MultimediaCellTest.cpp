// Multimedia cells: what a click opens, through which helper, and what the
// pane builder gives them of a multimedia record.
#include <gtest/gtest.h>

#include <fstream>

#include "LinkPaneSupport.h"
#include "browser/MultimediaCopy.h"
#include "cells/MultimediaCell.h"

namespace kl {
namespace {

using test::LinkPaneTest;
using test::RecordingWorkspace;

class Multimedia : public LinkPaneTest {
protected:
    void SetUp() override {
        LinkPaneTest::SetUp();
        std::filesystem::copy_file(std::filesystem::path(KL_SOURCE_DIR) /
                                       "resources/KinloreIIAppSupport/Radavizu/Brennow Hall.png",
                                   folder / "picture.png");
        std::ofstream(folder / "empty.png");
        readRecords("0 @I1@ INDI\n1 NAME Tamsin /Orrell/\n"
                    "0 @M1@ OBJE\n1 FILE " + file("picture.png") + "\n2 FORM png\n"
                    "0 @M2@ OBJE\n1 FILE https://example.org/plan.png\n2 FORM url\n"
                    "0 @M3@ OBJE\n1 FILE " + file("gone.png") + "\n2 FORM png\n");
    }
    MultimediaCell& cell(const std::string& commands) {
        EXPECT_TRUE(build("Cell multimedia\n" + commands)) << failure();
        auto all = cellsOf<MultimediaCell>();
        EXPECT_EQ(all.size(), 1u);
        return *all.front();
    }
    void storeHelper(const std::string& format, const std::string& application, int option, bool ask) {
        MultimediaCell::storeHelperChoice(format, {application, option, ask}, *defaults);
    }
    std::string file(const char* name) const { return (folder / name).string(); }
    RecordingWorkspace desk;
};

TEST_F(Multimedia, ObjectImagesTellWhatTheyShow) {
    struct Case {
        const char* command;
        const char* type;
        const char* path;
    };
    for (const Case& c : {Case{"Objectfull \"@M1@\"", "image", "picture.png"}, Case{"Objectimage \"@M1@\"", "image", ""},
                          Case{"Objectimage \"@M2@\"", "url", ""}, Case{"Objectfull \"@M3@\"", "notfound", ""},
                          Case{"Objectimage \"@M9@\"", "notfound", ""}}) {
        MultimediaCell& shown = cell(std::string(c.command) + "\n");
        EXPECT_EQ(shown.cellImageType(), c.type) << c.command;
        EXPECT_EQ(std::filesystem::path(shown.mmPath()).filename().string(), c.path) << c.command;
    }
}

TEST_F(Multimedia, AnAddressOpensWhateverTheTarget) {
    MultimediaCell& shown = cell("Url \"https://example.org/map\"\nTarget none\n");
    shown.buttonClick(false);
    EXPECT_EQ(desk.log, (std::vector<std::string>{"url https://example.org/map"}));
}

TEST_F(Multimedia, TargetNoneIgnoresAFileButNotARecordLink) {
    MultimediaCell& shown = cell("Objectfull \"@M1@\"\nTarget none\nRecordlink \"@M1@\"\n");
    shown.buttonClick(false);
    EXPECT_TRUE(desk.log.empty());
    EXPECT_TRUE(host.log.empty());
    MultimediaCell& linkOnly = cell("Target none\nRecordlink \"@M1@\"\n");
    linkOnly.buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"open @M1@ child"}));
}

TEST_F(Multimedia, AFormatWithoutAnEntryAsksWithTheDefaultApplication) {
    MultimediaCell& shown = cell("Objectfull \"@M1@\"\n");
    shown.buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"helper [] 1 picture.png png"}));
    EXPECT_TRUE(desk.log.empty());
}

TEST_F(Multimedia, AStoredChoiceOpensAtOnce) {
    storeHelper("png", "", 1, false);
    storeHelper("jpg", "", 2, false);
    cell("Objectfull \"@M1@\"\n").buttonClick(false);
    cell("Objectfull \"@M1@\"\nMmformat JPG\n").buttonClick(false);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(desk.log, (std::vector<std::string>{"default picture.png", "beep"}));
}

TEST_F(Multimedia, OpeningFallsBackToTheDefaultApplicationThenAlerts) {
    struct Case {
        const char* file;
        const char* application;
        int option;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases{
        {"picture.png", "viewer", 0, {"app viewer picture.png", "app viewer picture.png", "default picture.png"}},
        {"empty.png",
         "viewer",
         0,
         {"app viewer empty.png",
          "alert The multimedia file 'empty.png' has zero size / An empty file might be in the cloud and needs to be "
          "downlaoded before attaching or viewing"}},
        // A missing file is not empty: both tries fail, and the alert names it.
        {"gone.png",
         "",
         1,
         {"default gone.png", "default gone.png",
          "alert The Finder cannot opened the clicked object. / Error opening multimedia object named 'gone.png'."}},
        {"picture.png", "", 7, {}},
    };
    for (const Case& c : cases) {
        desk.log.clear();
        MultimediaCell::confirmedMultimediaClick(file(c.file), c.application, c.option);
        EXPECT_EQ(desk.log, c.log) << c.file << " " << c.option;
    }
    EXPECT_FALSE(MultimediaCell::isZeroSize(file("gone.png"), true));
    EXPECT_FALSE(MultimediaCell::isZeroSize(file("picture.png"), true));
}

TEST_F(Multimedia, ImagefileKeepsThePathOfAFoundFile) {
    EXPECT_EQ(cell("Imagefile \"" + file("picture.png") + "\"\n").cellImageType(), "image");
    EXPECT_EQ(cell("Imagefile \"" + file("picture.png") + "\"\n").mmPath(), file("picture.png"));
    EXPECT_EQ(cell("Imagefile \"" + file("gone.png") + "\"\n").cellImageType(), "none");
}

// ---- copying into the library

TEST_F(Multimedia, ACopyReplacesTheDestinationOnlyWhenItSucceeds) {
    std::ofstream(folder / "old.png") << "old";
    EXPECT_EQ(copyMultimediaFile(folder / "picture.png", folder / "old.png"), MultimediaCopyResult::Copied);
    const auto size = std::filesystem::file_size(folder / "picture.png");
    EXPECT_EQ(std::filesystem::file_size(folder / "old.png"), size);

    std::ofstream(folder / "kept.png") << "kept";
    EXPECT_EQ(copyMultimediaFile(folder / "nowhere.png", folder / "kept.png"), MultimediaCopyResult::CopyFailed);
    std::filesystem::create_directory(folder / "taken");
    EXPECT_EQ(copyMultimediaFile(folder / "picture.png", folder / "taken"), MultimediaCopyResult::CouldNotReplace);
    EXPECT_EQ(copyMultimediaFile(folder / "picture.png", folder / "picture.png"), MultimediaCopyResult::Copied);
    std::ifstream kept(folder / "kept.png");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "kept");
    EXPECT_EQ(std::filesystem::file_size(folder / "picture.png"), size);
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().rfind(".kl-copy-", 0), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace kl
