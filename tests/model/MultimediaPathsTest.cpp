// Multimedia files on disk: resolving stored paths against root folders and
// the document's folder, format words, export paths, copying that never
// overwrites, attaching files, root-folder changes and image metadata.
#include <gtest/gtest.h>

#include "MediaTestSupport.h"
#include "RecordTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "model/ImageMetadata.h"
#include "model/OBJERecord.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

// A scratch home "<tmp>/Users/me" with ~/Pictures/2010/a.jpg, a second root
// "<tmp>/Volumes/Media/" and a document in ~/Trees.
class MediaFiles : public ::testing::Test {
protected:
    ScratchHome scratch;
    RecordEnvironment environment;
    MediaStore store;
    std::string media = scratch.outside("Volumes/Media/").string();

    void SetUp() override {
        ScratchHome::touch(scratch.home() / "Pictures/2010/a.jpg");
        ScratchHome::touch(scratch.outside("Volumes/Media/b.jpg"));
        ScratchHome::touch(scratch.home() / "Trees/beside.png");
        ScratchHome::touch(scratch.outside("Elsewhere/c.pdf"));
        store.roots = {"~/Pictures/", media};
        store.file = scratch.home() / "Trees/family.gedpkg";
    }

    std::shared_ptr<OBJERecord> object(const std::string& lines, const std::string& id = "@M1@") {
        return store.add<OBJERecord>(id, "OBJE", lines);
    }
    std::optional<OBJERecord::Resolved> resolve(const std::string& path) {
        return OBJERecord::multimediaFile(path, store.roots, store.file);
    }
};

// ---- resolution

struct ResolveCase {
    const char* label;
    std::string path;   // "~" and "$" (the scratch folder) are put in
    const char* stored;  // nullptr: found nowhere
    std::string root;   // "" for no root
};

void PrintTo(const ResolveCase& c, std::ostream* out) { *out << c.label; }

std::string expand(const std::string& text, const ScratchHome& scratch) {
    std::string out;
    for (char c : text) out += c == '$' ? scratch.rootText() : std::string(1, c);
    return out;
}

class Resolution : public MediaFiles, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(Resolution, FindsTheStoredFormAndRoot) {
    const auto& c = GetParam();
    const std::string path = expand(c.path, scratch);
    auto found = resolve(!path.empty() && path.front() == '~' ? scratch.home().string() + path.substr(1) : path);
    if (!c.stored) {
        EXPECT_EQ(found, std::nullopt) << c.label;
        return;
    }
    ASSERT_TRUE(found) << c.label;
    EXPECT_EQ(found->stored, expand(c.stored, scratch)) << c.label;
    EXPECT_EQ(found->root.value_or(""), expand(c.root, scratch)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Resolution,
    ::testing::Values(
        ResolveCase{"full path in the home root", "~/Pictures/2010/a.jpg", "2010/a.jpg", "~/Pictures/"},
        ResolveCase{"full path in an absolute root", "$/Volumes/Media/b.jpg", "b.jpg", "$/Volumes/Media/"},
        ResolveCase{"full path beside the document", "~/Trees/beside.png", "beside.png", "~/Trees/"},
        ResolveCase{"outside every root", "$/Elsewhere/c.pdf", "$/Elsewhere/c.pdf", ""},
        ResolveCase{"dotted full path", "~/Pictures/../Trees/../Pictures/2010/a.jpg",
                    "2010/a.jpg", "~/Pictures/"},
        ResolveCase{"stored relative path", "2010/a.jpg", "2010/a.jpg", "~/Pictures/"},
        ResolveCase{"stale folders, file in a root", "Old/Folder/b.jpg", "b.jpg", "$/Volumes/Media/"},
        ResolveCase{"missing absolute path, name in a root", "/Gone/Disk/b.jpg", "b.jpg", "$/Volumes/Media/"},
        ResolveCase{"missing absolute path, name beside", "/Gone/beside.png", "beside.png", "~/Trees/"},
        ResolveCase{"found nowhere", "a.jpg", nullptr, ""},
        ResolveCase{"empty", "", nullptr, ""}), ::kl::test::CaseName());

TEST_F(MediaFiles, AbsolutePathsOutsideTheHomeStayAbsoluteWithoutADocument) {
    store.file.reset();
    auto found = resolve(scratch.outside("Elsewhere/c.pdf").string());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->root, std::nullopt);
    EXPECT_EQ(found->fullPath(), scratch.outside("Elsewhere/c.pdf").string());
    EXPECT_EQ(resolve("beside.png"), std::nullopt) << "no document folder to look in";
}

TEST_F(MediaFiles, RootsMatchWholeFoldersOnly) {
    ScratchHome::touch(scratch.home() / "PicturesOld/d.jpg");
    auto found = resolve((scratch.home() / "PicturesOld/d.jpg").string());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->stored, "~/PicturesOld/d.jpg");
    EXPECT_EQ(OBJERecord::mmFile({"~", "Pictures", "a.jpg"}, {"~", "Pictures", "/"}), "a.jpg");
    EXPECT_EQ(OBJERecord::mmFile({"~"}, {"~", "Pictures", "/"}), std::nullopt);
    EXPECT_EQ(OBJERecord::mmFile({"~", "Pictures"}, {"~", "Pictures", "/"}), std::nullopt);
}

TEST_F(MediaFiles, DefaultLibraryAndRealRoots) {
    EXPECT_EQ(OBJERecord::defaultMMLibrary(store.file), "~/Trees");
    EXPECT_EQ(OBJERecord::defaultMMLibrary(fs::path(scratch.home() / "Trees/family.gedpkg/")), "~/Trees");
    EXPECT_EQ(OBJERecord::defaultMMLibrary(std::nullopt), std::nullopt);
    EXPECT_TRUE(OBJERecord::inRealMMLibrary("~/Pictures/", store.roots, store.file));
    EXPECT_TRUE(OBJERecord::inRealMMLibrary("~/Trees/", store.roots, store.file));
    EXPECT_FALSE(OBJERecord::inRealMMLibrary("~/Trees", store.roots, store.file));
}

TEST_F(MediaFiles, StandardizedPaths) {
    const std::string home = scratch.home().string();
    EXPECT_EQ(OBJERecord::standardizedPath("~/a/./b/../c.jpg"), home + "/a/c.jpg");
    EXPECT_EQ(OBJERecord::standardizedPath("/x/y/"), "/x/y");
    EXPECT_EQ(OBJERecord::standardizedPath("rel/../p.jpg"), "p.jpg");
}

// ---- format words and export paths

struct FormatCase {
    const char* path;
    const char* format;
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.path; }

class FormatWords : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatWords, FromTheExtension) {
    EXPECT_EQ(OBJERecord::getMmFileFormat(GetParam().path, std::nullopt), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatWords,
                         ::testing::Values(FormatCase{"a/photo.jpeg", "jpeg"}, FormatCase{"SCAN.TIF", "TIF"},
                                           FormatCase{"x.abcdefghijkl", "abcdefghijkl"},
                                           FormatCase{"x.abcdefghijklm", "?"}, FormatCase{"x.jp g", "?"},
                                           FormatCase{"noextension", "?"}, FormatCase{"x.", "?"},
                                           FormatCase{"x.\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"}), ::kl::test::CaseName());

TEST(ExportPaths, RelativeBelowTheExportedFileElseUnchanged) {
    EXPECT_EQ(OBJERecord::exportMultimediaFile("/Users/me/Export/images/a.jpg", "/Users/me/Export/tree.ged"),
              "images/a.jpg");
    EXPECT_EQ(OBJERecord::exportMultimediaFile("/Users/me/Other/a.jpg", "/Users/me/Export/tree.ged"),
              "/Users/me/Other/a.jpg");
    EXPECT_EQ(OBJERecord::exportMultimediaFile("/Users/me/Export", "/Users/me/Export/tree.ged"), "/Users/me/Export");
}

// ---- the object's file

TEST_F(MediaFiles, FullPathsAndReadFullPath) {
    auto photo = object("1 FILE 2010/a.jpg\n2 FORM jpg\n");
    EXPECT_EQ(photo->readFullPath(), (scratch.home() / "Pictures/2010/a.jpg").string());
    auto site = object("1 FILE http://x.org/\n2 FORM url\n", "@M2@");
    bool url = false;
    EXPECT_EQ(site->mmFileFullPathOrURL(&url), std::nullopt);
    EXPECT_TRUE(url);
    EXPECT_EQ(site->readFullPath(), "http://x.org/");
    EXPECT_EQ(object("1 FILE\n", "@M3@")->readFullPath(), "");
    EXPECT_EQ(object("1 FILE lost.jpg\n", "@M4@")->readFullPath(), "");
}

TEST_F(MediaFiles, CopyingNeverOverwrites) {
    auto photo = object("1 FILE 2010/a.jpg\n");
    const fs::path target = scratch.outside("Out/a.jpg");
    ScratchHome::touch(target, "keep me");
    const auto error = photo->cpMmFileToPath(target.string(), false);
    EXPECT_EQ(error, "File Manager error copying file 'a.jpg' to file 'a.jpg'");
    EXPECT_EQ(ScratchHome::read(target), "keep me");
    EXPECT_EQ(photo->cpMmFileToPath(target.string(), true), "copyFailed");

    const fs::path free = scratch.outside("Out/copy.jpg");
    EXPECT_EQ(photo->cpMmFileToPath(free.string(), true), std::nullopt);
    EXPECT_EQ(ScratchHome::read(free), "data");
    EXPECT_EQ(photo->scriptCopyFileToPath(Dictionary{{"destPath", Value(free.string())}}),
              "File Manager error copying file 'a.jpg' to file 'copy.jpg'");
}

TEST_F(MediaFiles, CopyingWithoutAFile) {
    auto site = object("1 FILE http://x.org/\n2 FORM url\n");
    auto lost = object("1 FILE lost.jpg\n", "@M2@");
    const std::string target = scratch.outside("Out/x").string();
    EXPECT_EQ(site->cpMmFileToPath(target, true), "cannotCopy");
    EXPECT_EQ(site->cpMmFileToPath(target, false), "Cannot copy a URL to a file");
    EXPECT_EQ(lost->cpMmFileToPath(target, false), "The file for this multimedia object could not be found");
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(MediaFiles, CopyingIntoAFolderMakesANewNameForATakenOne) {
    auto photo = object("1 FILE 2010/a.jpg\n");
    const fs::path folder = scratch.outside("Library");
    ScratchHome::touch(folder / "a.jpg", "older");
    ScratchHome::touch(folder / "a 1.jpg", "older too");
    std::string error;
    auto copied = photo->copyMmFileIntoFolder(folder.string(), &error);
    ASSERT_TRUE(copied) << error;
    EXPECT_EQ(*copied, (folder / "a 2.jpg").string());
    EXPECT_EQ(ScratchHome::read(folder / "a.jpg"), "older");
    EXPECT_EQ(ScratchHome::read(folder / "a 1.jpg"), "older too");
    EXPECT_EQ(ScratchHome::read(*copied), "data");
    EXPECT_EQ(OBJERecord::uniqueFileName((folder / "none").string()), (folder / "none").string());
}

TEST_F(MediaFiles, AttachingOnlyAPathKeepsTitleFormatAndMediaType) {
    auto photo = object("1 _DATE 1900\n1 FILE old.jpg\n2 FORM jpg\n3 MEDI photo\n2 TITL Beach\n");
    store.thumbs["@M1@"] = "jpeg";
    const std::string before = photo->gedcomString();
    store.undo.beginUndoGrouping();
    photo->attachMultimedia("2010/a.jpg", std::nullopt, std::nullopt, std::string());
    store.undo.endUndoGrouping();
    EXPECT_EQ(photo->gedcomString().substr(0, photo->gedcomString().find("1 _DATE")),
              "0 @M1@ OBJE\n1 FILE 2010/a.jpg\n2 TITL Beach\n2 FORM jpg\n3 MEDI photo\n");
    EXPECT_TRUE(store.thumbs.empty()) << "the old thumbnail shows another file";
    store.undo.undo();
    EXPECT_EQ(photo->gedcomString(), before);
}

TEST_F(MediaFiles, AttachingToARecordWithoutFile) {
    auto bare = object("1 _DATE 1900\n");
    bare->attachMultimedia("x.pdf", std::string(""), std::string(""), std::string("(unknown)"));
    auto file = bare->structures().front();
    EXPECT_EQ(file->gedcomString(), "1 FILE x.pdf\n2 TITL\n2 FORM ?\n");
}

// ---- root folders

TEST_F(MediaFiles, RemovingARootWritesOutItsFilesOnly) {
    auto inPictures = object("1 FILE 2010/a.jpg\n");
    auto inMedia = object("1 FILE b.jpg\n", "@M2@");
    auto site = object("1 FILE http://x.org/\n2 FORM url\n", "@M3@");
    store.postRootWillBeRemoved("~/Pictures/");
    EXPECT_EQ(inPictures->mmFileName(), "~/Pictures/2010/a.jpg");
    EXPECT_EQ(inMedia->mmFileName(), "b.jpg");
    EXPECT_EQ(site->mmFileName(), "http://x.org/");
    store.roots = {media};
    store.postRootsChanged();
    EXPECT_EQ(inPictures->mmFileName(), "~/Pictures/2010/a.jpg");
    EXPECT_EQ(inPictures->readFullPath(), (scratch.home() / "Pictures/2010/a.jpg").string());
}

TEST_F(MediaFiles, ANewRootTakesInFilesThatLieInIt) {
    auto loose = object("1 FILE ~/Pictures/2010/a.jpg\n");
    store.roots = {"~/Pictures/2010/"};
    store.postRootsChanged();
    EXPECT_EQ(loose->mmFileName(), "a.jpg");
    MediaStore other;
    other.roots = {};
    other.postRootsChanged();
    EXPECT_EQ(loose->mmFileName(), "a.jpg") << "another store's roots are not ours";
}

TEST_F(MediaFiles, PortraitsNameWhatStandsForTheObject) {
    writeTinyJpeg(scratch.home() / "Pictures/tiny.jpg");
    auto image = object("1 FILE tiny.jpg\n2 FORM jpg\n");
    auto pdf = object("1 FILE 2010/a.jpg\n2 FORM pdf\n", "@M2@");
    auto site = object("1 FILE http://x.org/\n2 FORM url\n", "@M3@");
    auto lost = object("1 FILE lost.jpg\n", "@M4@");
    std::string full;
    EXPECT_EQ(image->portraitImage(&full).imagePath, (scratch.home() / "Pictures/tiny.jpg").string());
    EXPECT_EQ(full, (scratch.home() / "Pictures/tiny.jpg").string());
    EXPECT_EQ(pdf->portraitImage(&full).iconName, "pdf");
    EXPECT_EQ(site->portraitImage(nullptr).iconName, "URLIcon");
    EXPECT_EQ(lost->portraitImage(nullptr).iconName, "FileNotFoundIcon");
    store.thumbs["@M1@"] = "thumb";
    EXPECT_EQ(image->portraitImage(nullptr).thumbnail, "thumb");
    EXPECT_EQ(image->reportDescription(0x400).toString(),
              "The image file for this object is at " + (scratch.home() / "Pictures/tiny.jpg").string() + ".");
    EXPECT_EQ(pdf->reportDescription(0x400 | 0x4000).toString(), "This object is a non-image document.");
}

TEST_F(MediaFiles, ReportListShowsRelativeAndFullPaths) {
    auto photo = object("1 FILE 2010/a.jpg\n2 FORM jpg\n2 TITL A\n");
    const Value lines = photo->reportDescription(0x10000);
    ASSERT_TRUE(lines.array());
    std::vector<std::string> texts;
    for (const auto& line : *lines.array()) texts.push_back(line.toString());
    EXPECT_EQ(texts, (std::vector<std::string>{"Multimedia Object: A", "Relative Path: 2010/a.jpg",
                                                "Full Path: " + (scratch.home() / "Pictures/2010/a.jpg").string(),
                                                "Format: jpg"}));
}

// ---- image metadata

TEST_F(MediaFiles, KeywordsAndPositionFromATaggedJpeg) {
    const fs::path photo = scratch.home() / "Pictures/tagged.jpg";
    writeTinyJpeg(photo);
    tagJpeg(photo, {{"Beach", "Family"}, "45/1 30/1 0/1", "S", "122/1 40/1 30/1", "W"});
    auto properties = OBJERecord::getFileProperties(photo.string());
    ASSERT_TRUE(properties);
    ASSERT_TRUE(properties->get("iptcKeywords"));
    EXPECT_TRUE(*properties->get("iptcKeywords") == Value(Array{Value("Beach"), Value("Family")}));
    EXPECT_EQ(properties->get("GPSinPhoto")->toString(), "-45.50000,-122.67500");
}

TEST_F(MediaFiles, NorthEastPositionsStayPositiveAndLowerCaseReferencesCount) {
    const fs::path photo = scratch.home() / "Pictures/ne.jpg";
    writeTinyJpeg(photo);
    tagJpeg(photo, {{}, "10/1 15/1 0/1", "N", "2/1 0/1 0/1", "w"});
    auto properties = OBJERecord::getFileProperties(photo.string());
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->get("iptcKeywords"), nullptr);
    EXPECT_EQ(properties->get("GPSinPhoto")->toString(), "10.25000,-2.00000");
}

TEST_F(MediaFiles, FilesWithoutMetadataOrDamagedAnswerNone) {
    const fs::path plain = scratch.home() / "Pictures/plain.jpg";
    writeTinyJpeg(plain);
    EXPECT_EQ(OBJERecord::getFileProperties(plain.string()), std::nullopt);
    EXPECT_TRUE(ImageMetadata::isImageFile(plain.string()));

    const std::string damaged = ScratchHome::touch(scratch.home() / "bad.jpg", std::string("\xFF\xD8\xFF\xE1\x7F", 5));
    EXPECT_EQ(OBJERecord::getFileProperties(damaged), std::nullopt);
    EXPECT_EQ(OBJERecord::getFileProperties((scratch.home() / "Pictures").string()), std::nullopt);
    EXPECT_EQ(OBJERecord::getFileProperties("/no/such/file.jpg"), std::nullopt);
    EXPECT_FALSE(ImageMetadata::isImageFile((scratch.home() / "Trees/beside.png").string()));
}

TEST_F(MediaFiles, DroppedFilesAndLinksBecomeImageInfo) {
    const fs::path photo = scratch.home() / "Pictures/drop me.jpg";
    writeTinyJpeg(photo);
    tagJpeg(photo, {{"Drop"}, std::nullopt, "N", std::nullopt, "E"});
    Dictionary file = OBJERecord::droppedImageInfo(photo.string(), std::nullopt);
    EXPECT_EQ(file.get("ImagePath")->toString(), photo.string());
    EXPECT_EQ(file.get("Caption"), nullptr);
    EXPECT_TRUE(file.get("iptcKeywords"));
    Dictionary fileURL = OBJERecord::droppedImageInfo("file://" + scratch.home().string() + "/Pictures/drop%20me.jpg",
                                                      std::string("Mine"));
    EXPECT_EQ(fileURL.get("ImagePath")->toString(), photo.string());
    EXPECT_EQ(fileURL.get("Caption")->toString(), "Mine");
    EXPECT_EQ(fileURL.get("isWebURL"), nullptr);
    Dictionary web = OBJERecord::droppedImageInfo("https://x.org/p.jpg", std::string("Web"));
    EXPECT_EQ(web.get("isWebURL")->toBool(), true);
}

TEST_F(MediaFiles, DroppedImagePropertiesFillTheObject) {
    auto photo = object("1 FILE 2010/a.jpg\n2 FORM jpg\n");
    // 12 March 2010, midday, in seconds from 1 January 2001.
    const std::int64_t seconds = 290088000;
    Dictionary info{{"DateAsTimerInterval", Value(static_cast<long long>(seconds))},
                    {"Comment", Value("At the beach")},
                    {"GPSinPhoto", Value("1.00000,2.00000")}};
    EXPECT_TRUE(photo->addImageProperties(info));
    EXPECT_EQ(photo->mmObjectDate(), "12 MAR 2010");
    ASSERT_EQ(photo->notesIDs().size(), 1u);
    auto place = photo->firstChildWithTag("_LOC");
    ASSERT_TRUE(place);
    EXPECT_EQ(place->findContentsWithTag("_GPS", 2), "1.00000,2.00000");

    EXPECT_TRUE(photo->addImageProperties(Dictionary{{"GPSinPhoto", Value("3.00000,4.00000")}}));
    EXPECT_EQ(photo->findChildren("_LOC", false).size(), 1u);
    EXPECT_EQ(place->findContentsWithTag("_GPS", 2), "3.00000,4.00000");

    EXPECT_FALSE(photo->addImageProperties(Dictionary{{"DateAsTimerInterval", Value(static_cast<long long>(seconds))},
                                                      {"Comment", Value("At the beach")}}))
        << "the same date and an already linked note change nothing";
    EXPECT_EQ(photo->notesIDs().size(), 1u);
}

}  // namespace
}  // namespace kl::test
