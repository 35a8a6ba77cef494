// Saves and reads that must not lose a user's data: a save never replaces
// anything but a package, a package cut short or holding something other
// than a file says so, saved text reads back to the same bytes, killed
// saves leave nothing behind for good, and a save's files reach the disk
// before the swap.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DocumentTestSupport.h"
#include "foundation/PropertyList.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;
namespace fs = std::filesystem;

const char* kTree =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Ann /Elm/\n"
    "0 @I2@ INDI\n1 NAME Ben /Elm/\n"
    "0 @I3@ INDI\n1 NAME Cy /Elm/\n"
    "0 @U1@ SUBM\n1 NAME Me\n"
    "0 TRLR\n";

void writePackage(const fs::path& package, const std::string& text) {
    test::writeFile(package / (package.stem().string() + ".ged"), text);
    PropertyList::writeFile(Value(Dictionary{{"Version", 1}}), package / "attributes.plist");
}

struct Saved : testing::Test {
    ScratchFolder scratch;
    DocumentFixture f;
    fs::path target = scratch / "Family.gedpkg";

    void SetUp() override {
        test::writeFile(scratch / "tree.ged", kTree);
        std::string error;
        ASSERT_TRUE(f.import(scratch / "tree.ged", &error)) << error;
    }
};

// ---- what a save may replace

struct OccupiedCase {
    const char* label;
    std::function<void(const fs::path&)> make;
    const char* reason;  // after "'<path>' is "
};

const OccupiedCase kOccupied[] = {
    {"FolderOfPhotos",
     [](const fs::path& p) {
         test::writeFile(p / "photo.jpg", "jpeg");
         test::writeFile(p / "letters" / "1901.txt", "dear");
     },
     "a folder that is not a Kinlore II database."},
    {"FolderWithAttributesButNoGEDCOM",
     [](const fs::path& p) {
         fs::create_directories(p);
         PropertyList::writeFile(Value(Dictionary{{"Version", 1}}), p / "attributes.plist");
     },
     "a folder that is not a Kinlore II database."},
    {"FolderWithGEDCOMButNoAttributes", [](const fs::path& p) { test::writeFile(p / "Family.ged", kTree); },
     "a folder that is not a Kinlore II database."},
    {"OrdinaryFile", [](const fs::path& p) { test::writeFile(p, "my notes"); },
     "a file that is not a Kinlore II database."},
};

class SavingOnto : public Saved, public testing::WithParamInterface<OccupiedCase> {};

TEST_P(SavingOnto, IsRefusedAndLeavesEverythingAsItWas) {
    GetParam().make(target);
    const auto before = fs::is_directory(target) ? test::snapshot(target)
                                                 : std::map<std::string, std::string>{{"", test::readFile(target)}};
    for (const bool saveAs : {true, false}) {
        std::string error;
        const bool saved = saveAs ? f.document->saveToURL(target, &error)
                                  : f.document->saveAndCloseDocument(target.string(), &error);
        EXPECT_FALSE(saved);
        EXPECT_EQ(error, "The database could not be saved. '" + target.string() + "' is " + GetParam().reason);
        const auto after = fs::is_directory(target) ? test::snapshot(target)
                                                    : std::map<std::string, std::string>{{"", test::readFile(target)}};
        EXPECT_EQ(after, before);
    }
    EXPECT_TRUE(f.document->isDocumentEdited());
    EXPECT_NE(f.document->myFileName(), target);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 2)
        << "no saving folder is left beside it";
}

INSTANTIATE_TEST_SUITE_P(Cases, SavingOnto, testing::ValuesIn(kOccupied),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Saved, ReplacesAnEmptyFolderAndAnOlderPackage) {
    fs::create_directories(target);
    std::string error;
    ASSERT_TRUE(f.document->saveToURL(target, &error)) << error;
    EXPECT_TRUE(fs::is_regular_file(target / "Family.ged"));
    writePackage(scratch / "Other.gedpkg", kTree);
    ASSERT_TRUE(f.document->saveAndCloseDocument((scratch / "Other.gedpkg").string(), &error)) << error;
    EXPECT_NE(test::readFile(scratch / "Other.gedpkg" / "Other.ged").find("1 FILE Other.gedpkg"), std::string::npos);
}

// ---- leftovers of killed saves

// A process ID no process can have (above the kernel's largest).
constexpr const char* kDeadProcess = "4194305";

TEST_F(Saved, ASaveAndAnOpenRemoveFoldersOfKilledSaves) {
    ASSERT_TRUE(f.document->saveToURL(target));
    const fs::path killed = scratch / (std::string(".Family.gedpkg.saving-") + kDeadProcess + "-1");
    const fs::path aside = scratch / (std::string(".Family.gedpkg.old-") + kDeadProcess + "-2");
    const fs::path running = scratch / (".Family.gedpkg.saving-" + std::to_string(::getppid()) + "-1");
    const fs::path otherPackage = scratch / (std::string(".Other.gedpkg.saving-") + kDeadProcess + "-1");
    const fs::path userFolder = scratch / ".Family.gedpkg.saving-notes";
    auto plant = [&] {
        for (const fs::path& p : {killed, aside, running, otherPackage, userFolder}) test::writeFile(p / "x", "x");
    };
    plant();
    ASSERT_TRUE(f.document->saveToURL(target));
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_FALSE(fs::exists(aside));
    for (const fs::path& kept : {running, otherPackage, userFolder}) EXPECT_TRUE(fs::exists(kept)) << kept;

    plant();
    DocumentFixture reader;
    ASSERT_TRUE(reader.openPackage(target));
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_FALSE(fs::exists(aside));
    for (const fs::path& kept : {running, otherPackage, userFolder}) EXPECT_TRUE(fs::exists(kept)) << kept;
}

// ---- durability

TEST_F(Saved, FilesAndFolderReachTheDiskBeforeTheSwapAndTheParentAfter) {
    std::vector<std::pair<std::string, bool>> synced;  // name, whether the package existed then
    f.document->setPathSync([&](const fs::path& p) {
        synced.emplace_back(p.filename().string(), fs::exists(target));
        return true;
    });
    ASSERT_TRUE(f.document->saveToURL(target));
    ASSERT_EQ(synced.size(), 4u);
    EXPECT_EQ(synced[0], std::make_pair(std::string("attributes.plist"), false));
    EXPECT_EQ(synced[1], std::make_pair(std::string("settings.plist"), false));
    EXPECT_TRUE(synced[2].first.starts_with(".Family.gedpkg.saving-")) << synced[2].first;
    EXPECT_FALSE(synced[2].second);
    EXPECT_EQ(synced[3], std::make_pair(scratch.path().filename().string(), true));
}

TEST_F(Saved, AFlushThatFailsFailsTheSaveAndKeepsTheOldPackage) {
    ASSERT_TRUE(f.document->saveToURL(target));
    const auto before = test::snapshot(target);
    f.document->gedcomModel().createNewRecordOfType("INDI");
    f.document->setPathSync([](const fs::path& p) { return p.filename() != "settings.plist"; });
    std::string error;
    EXPECT_FALSE(f.document->saveToURL(target, &error));
    EXPECT_EQ(error, "Error flushing 'settings.plist' to the disk");
    EXPECT_EQ(test::snapshot(target), before);
}

// ---- reading damaged packages

TEST(DamagedPackage, CutShortOpensWithItsMessageAndAsksForANewName) {
    ScratchFolder scratch;
    const fs::path package = scratch / "Family.gedpkg";
    const std::string text = kTree;
    writePackage(package, text.substr(0, text.find("0 @I2@")));
    const auto before = test::snapshot(package);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_EQ(f.document->readWriteMessage(),
              "The database's GEDCOM file ends early: records after '@I1@' may be missing.");
    EXPECT_EQ(f.document->gedcomModel().numberOfType("INDI"), 1u);
    EXPECT_FALSE(f.document->myFileName()) << "a plain save must ask where to go";
    EXPECT_TRUE(f.document->isDocumentEdited());
    EXPECT_EQ(test::snapshot(package), before);

    writePackage(package, kTree);
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_FALSE(f.document->readWriteMessage());
    EXPECT_EQ(f.document->myFileName(), package);
}

struct NotAFileCase {
    const char* label;
    std::function<bool(const fs::path&)> make;  // false: not possible here
};

const NotAFileCase kNotFiles[] = {
    {"LinkToEndlessDevice", [](const fs::path& p) { return ::symlink("/dev/zero", p.c_str()) == 0; }},
    {"Pipe", [](const fs::path& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
    {"Folder", [](const fs::path& p) { return fs::create_directory(p); }},
};

class PackageGEDCOMThatIs : public testing::TestWithParam<NotAFileCase> {};

TEST_P(PackageGEDCOMThatIs, RefusedAtOnce) {
    ScratchFolder scratch;
    const fs::path package = scratch / "Family.gedpkg";
    writePackage(package, kTree);
    fs::remove(package / "Family.ged");
    if (!GetParam().make(package / "Family.ged")) GTEST_SKIP() << "cannot make it here";
    DocumentFixture f;
    std::string error;
    EXPECT_FALSE(f.openPackage(package, &error));
    EXPECT_EQ(error, "The file's GEDCOM data could not be read.");
}

INSTANTIATE_TEST_SUITE_P(Cases, PackageGEDCOMThatIs, testing::ValuesIn(kNotFiles),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- saved text is a fixed point

struct FixedPointCase {
    const char* label;
    const char* records;  // between the header and the trailer
};

const FixedPointCase kFixedPoints[] = {
    {"ConcWithBlankContinuationInAPerson", "0 @I1@ INDI\n1 NAME Ann /Elm/\n1 CONC odd\n2 CONT\n2 CONT more\n"},
    {"NoteTextWithBlankLines", "0 @N1@ NOTE first\n1 CONT\n1 CONT third\n"},
    {"NoteWhoseConcIsNotItsText", "0 @N1@ NOTE\n1 SOUR @S1@\n1 CONC odd\n2 CONT\n2 CONT end\n"},
};

class SaveReadSave : public testing::TestWithParam<FixedPointCase> {};

TEST_P(SaveReadSave, GivesTheSameBytes) {
    ScratchFolder scratch;
    test::writeFile(scratch / "in.ged",
                    std::string("0 HEAD\n1 CHAR UTF-8\n") + GetParam().records + "0 @U1@ SUBM\n1 NAME Me\n0 TRLR\n");
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "in.ged"));
    const fs::path package = scratch / "Tree.gedpkg";
    ASSERT_TRUE(f.document->saveToURL(package));
    const std::string first = test::readFile(package / "Tree.ged");
    ASSERT_TRUE(f.openPackage(package));
    const std::string records = test::recordsText(*f.document, false);
    ASSERT_TRUE(f.document->saveToURL(package));
    EXPECT_EQ(test::readFile(package / "Tree.ged"), first);
    ASSERT_TRUE(f.openPackage(package));
    EXPECT_EQ(test::recordsText(*f.document, false), records);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveReadSave, testing::ValuesIn(kFixedPoints),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- the header an import writes

TEST(ImportedHeader, WithoutCharacterSetGetsUTF8InTheSavedFile) {
    for (const char* text : {"0 HEAD\n1 SOUR Other\n0 @I1@ INDI\n1 NAME Ann /Elm/\n0 TRLR\n",
                             "0 @I1@ INDI\n1 NAME Ann /Elm/\n0 TRLR\n"}) {
        ScratchFolder scratch;
        test::writeFile(scratch / "in.ged", text);
        DocumentFixture f;
        ASSERT_TRUE(f.import(scratch / "in.ged"));
        ASSERT_TRUE(f.document->saveToURL(scratch / "Out.gedpkg"));
        const std::string saved = test::readFile(scratch / "Out.gedpkg" / "Out.ged");
        const std::string header = saved.substr(0, saved.find("\n0 ", 1));
        EXPECT_NE(header.find("\n1 CHAR UTF-8\n"), std::string::npos) << header;
    }
}

}  // namespace
}  // namespace kl
