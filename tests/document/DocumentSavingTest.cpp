// Saving packages: what the files hold, the fixed record order, encodings
// that cannot hold the text, and saves that fail part-way leaving the old
// package untouched with the undo history kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>

#include "DocumentTestSupport.h"
#include "document/IndexStyle.h"
#include "foundation/ByteSink.h"
#include "foundation/Exception.h"
#include "foundation/PropertyList.h"
#include "model/TextEncoding.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;
namespace fs = std::filesystem;

const char* kFamily =
    "0 HEAD\n1 CHAR UTF-8\n1 SUBM @U1@\n"
    "0 @N1@ NOTE A note\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n"
    "0 @X1@ _XYZ odd\n"
    "0 @R1@ _RPT\n1 TITL A stored report\n"
    "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 FAMS @F1@\n"
    "0 @I1@ INDI\n1 NAME Twin /Smith/\n"
    "0 @S1@ SOUR\n1 TITL Census\n"
    "0 @U1@ SUBM\n1 NAME Me\n"
    "0 TRLR\n";

struct SaveFixture : testing::Test {
    ScratchFolder scratch;
    DocumentFixture f;
    fs::path package = scratch / "Family.gedpkg";

    void SetUp() override {
        test::writeFile(scratch / "family.ged", kFamily);
        std::string error;
        ASSERT_TRUE(f.import(scratch / "family.ged", &error)) << error;
    }
    std::string savedText() { return test::readFile(package / "Family.ged"); }
    Dictionary attributes() { return PropertyList::readDictionaryFile(package / "attributes.plist").value_or(Dictionary{}); }
};

TEST_F(SaveFixture, WritesTypesInFixedOrderAndNeverReports) {
    ASSERT_TRUE(f.document->saveToURL(package));
    const std::string text = savedText();
    std::vector<size_t> at;
    for (const char* line : {"0 HEAD", "0 @U1@ SUBM", "0 @I1@ INDI\n1 NAME Ann", "0 @F1@ FAM", "0 @S1@ SOUR",
                             "0 @N1@ NOTE", "0 @X1@ _XYZ", "0 @I1@ INDI\n1 NAME Twin", "0 TRLR\n"})
        at.push_back(text.find(line));
    for (size_t i = 0; i < at.size(); ++i) ASSERT_NE(at[i], std::string::npos) << i << "\n" << text;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << text;
    EXPECT_TRUE(text.ends_with("0 TRLR\n"));
    EXPECT_EQ(text.find("_RPT"), std::string::npos);
    EXPECT_NE(text.find("1 FILE Family.gedpkg"), std::string::npos);
    EXPECT_EQ(f.document->sourceGEDCOM(), "Family.ged");
    EXPECT_EQ(f.document->myFileName(), package);
    EXPECT_FALSE(f.document->isDocumentEdited());
}

TEST_F(SaveFixture, AttributesAndSettingsHoldTheirKeys) {
    f.document->setMultimediaRoot({});
    f.ui.type = "_RPT";
    ASSERT_TRUE(f.document->saveToURL(package));
    const Dictionary a = attributes();
    EXPECT_EQ(a.keys().front(), "Class");
    EXPECT_EQ(a.get("Class")->toString(), "GEDCOMDocument");
    EXPECT_EQ(a.get("Version")->toInteger(), 1);
    EXPECT_EQ(a.get("GEDCOM File Name")->toString(), "Family.ged");
    EXPECT_FALSE(a.contains("Multimedia Root Folders"));
    EXPECT_FALSE(a.contains("Index Column Settings"));
    EXPECT_EQ(a.get("Encoding")->toInteger(), 4);
    ASSERT_TRUE(a.get("Record Album Listings") && a.get("Record Album Listings")->array());
    for (const char* key : {"Index PrintInfo", "Browser PrintInfo", "Chart PrintInfo"})
        EXPECT_TRUE(a.get(key) && a.get(key)->data()) << key;
    EXPECT_TRUE(test::readFile(package / "attributes.plist").starts_with("<?xml"));
    const auto settings = PropertyList::readDictionaryFile(package / "settings.plist");
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->get("WEXSelectedAlbum")->toString(), "INDI");
}

TEST_F(SaveFixture, PackageSettingsComeBackOnReopening) {
    f.document->addMultimediaRoot("/pictures/", -1);
    Dictionary print = GEDCOMDocument::defaultPrintInfo();
    print.set("Orientation", "Landscape");
    f.document->setChartInfo(print);
    f.document->setSaveThumbnailsInFile(true);
    f.document->setThumbnail("\xFF\xD8 bytes", "@O1@");
    // A fixed key: the process-wide album counter belongs to the album tests.
    auto album = f.document->gedcomModel().recordsIndex().addList("User Album 901", nullptr);
    f.document->albumStyle(album->recordType());
    f.ui.type = "FAM";
    ASSERT_TRUE(f.document->saveToURL(package));
    EXPECT_EQ(test::readFile(package / "thumbs" / "@O1@.jpg"), "\xFF\xD8 bytes");
    EXPECT_TRUE(attributes().get("Index Column Settings")->dictionary()->contains(album->recordType()));

    DocumentFixture again;
    std::string error;
    ASSERT_TRUE(again.openPackage(package, &error)) << error;
    GEDCOMDocument& d = *again.document;
    EXPECT_EQ(d.multimediaRoot(), f.document->multimediaRoot());
    EXPECT_EQ(d.chartInfo(), print);
    EXPECT_EQ(d.getThumbnail("@O1@"), "\xFF\xD8 bytes");
    EXPECT_TRUE(d.hasAlbumStyle(album->recordType()));
    EXPECT_EQ(d.firstSelectedAlbum(), "FAM");
    EXPECT_EQ(test::recordsText(d), test::recordsText(*f.document));
}

TEST_F(SaveFixture, CarriesVersionControlFoldersAndRenamesTheGEDCOMFile) {
    ASSERT_TRUE(f.document->saveToURL(package));
    test::writeFile(package / ".svn" / "entries", "svn");
    test::writeFile(package / "CVS" / "Root", "cvs");
    fs::rename(package / "Family.ged", package / "Old name.ged");
    f.document->setSourceGEDCOM("Old name.ged");
    ASSERT_TRUE(f.document->saveToURL(package));
    EXPECT_EQ(test::readFile(package / ".svn" / "entries"), "svn");
    EXPECT_EQ(test::readFile(package / "CVS" / "Root"), "cvs");
    EXPECT_TRUE(fs::exists(package / "Family.ged"));
    EXPECT_FALSE(fs::exists(package / "Old name.ged"));
}

TEST_F(SaveFixture, SaveAndCloseWritesToAPathWithSpaces) {
    const fs::path other = scratch / "with some spaces" / "Copy of Family.gedpkg";
    std::string error;
    ASSERT_TRUE(f.document->saveAndCloseDocument(other.string(), &error)) << error;
    EXPECT_TRUE(fs::exists(other / "Copy of Family.ged"));
    EXPECT_TRUE(f.document->saveAndCloseDocument("no"));
}

// ---- encodings

struct EncodingCase {
    const char* label;
    int32_t encoding;
    const char* name;  // written in the tree
    int32_t savedEncoding;
};

const EncodingCase kEncodings[] = {
    {"MacRomanHoldsIt", 30, "Ren\xC3\xA9", 30},
    {"MacRomanCannotHoldPolish", 30, "\xC5\x81ukasz", 4},
    {"AsciiCannotHoldAccents", 1, "Ren\xC3\xA9", 4},
    {"AnselHoldsPolish", 0x10000, "\xC5\x81ukasz", 0x10000},
    {"Utf16", 10, "\xC5\x81ukasz", 10},
    {"UnknownCode", 99, "Ann", 4},
};

class SaveEncoding : public testing::TestWithParam<EncodingCase> {};

// A package whose encoding cannot hold its text is written in UTF-8 and
// says so, rather than losing characters to "?".
TEST_P(SaveEncoding, NeverWritesLossily) {
    ScratchFolder scratch;
    test::writeFile(scratch / "a.ged", std::string("0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME ") + GetParam().name + " /X/\n0 TRLR\n");
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "a.ged"));
    f.document->gedcomModel().setEncoding(GetParam().encoding);
    const fs::path package = scratch / "E.gedpkg";
    std::string error;
    ASSERT_TRUE(f.document->saveToURL(package, &error)) << error;
    const auto attributes = PropertyList::readDictionaryFile(package / "attributes.plist");
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->get("Encoding")->toInteger(), GetParam().savedEncoding);
    DocumentFixture again;
    ASSERT_TRUE(again.openPackage(package, &error)) << error;
    EXPECT_NE(test::recordsText(*again.document).find(GetParam().name), std::string::npos);
    EXPECT_EQ(test::recordsText(*again.document), test::recordsText(*f.document));
}

INSTANTIATE_TEST_SUITE_P(Codes, SaveEncoding, testing::ValuesIn(kEncodings),
                         [](const auto& info) { return info.param.label; });

// ---- streaming

class RecordingSink : public ByteSink {
public:
    void write(std::string_view bytes) override { writes.emplace_back(bytes); }
    std::vector<std::string> writes;
};

TEST(PackageWriting, FlushesABigTextInSeveralWritesThatAddUp) {
    std::string text = "0 HEAD\n";
    const std::string note(900, 'n');
    for (int i = 1; i <= 5000; ++i) text += "0 @I" + std::to_string(i) + "@ INDI\n1 NOTE " + note + "\n";
    text += "0 TRLR\n";
    ScratchFolder scratch;
    test::writeFile(scratch / "big.ged", "0 HEAD\n1 CHAR UTF-8\n0 TRLR\n");
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "big.ged"));
    f.document->gedcomModel().setInputGed(text);
    f.document->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
    RecordingSink sink;
    ASSERT_TRUE(f.document->gedcomModel().writeToGedpkgFile(sink, 0, "/x/Big.gedpkg"));
    ASSERT_GE(sink.writes.size(), 2u);
    std::string joined;
    for (const auto& w : sink.writes) joined += w;
    EXPECT_GT(joined.size(), GEDCOMModel::kFlushThreshold);
    EXPECT_EQ(joined, test::recordsText(*f.document) + "0 TRLR\n");
}

// ---- saves that fail part-way

class FailingSink : public ByteSink {
public:
    explicit FailingSink(size_t allowed, bool unexpected) : allowed_(allowed), unexpected_(unexpected) {}
    void write(std::string_view bytes) override {
        if (bytes.size() > allowed_) {
            if (unexpected_) throw std::runtime_error("device vanished");
            raise(exception_names::FileWriteError, "No space left on device");
        }
        allowed_ -= bytes.size();
    }

private:
    size_t allowed_;
    bool unexpected_;
};

struct FailureCase {
    const char* label;
    std::function<void(GEDCOMDocument&, const fs::path& folder)> arrange;
    const char* messageStart;
};

void PrintTo(const FailureCase& failure, std::ostream* out) { *out << failure.label; }

const FailureCase kFailures[] = {
    {"SinkFailsHalfWay",
     [](GEDCOMDocument& d, const fs::path&) {
         d.setSinkFactory([](const fs::path&) { return std::make_unique<FailingSink>(40, false); });
     },
     "No space left on device"},
    {"DiskFull",
     [](GEDCOMDocument& d, const fs::path&) {
         d.setSinkFactory([](const fs::path&) { return std::make_unique<FileSink>("/dev/full"); });
     },
     ""},
    {"UnexpectedFailure",
     [](GEDCOMDocument& d, const fs::path&) {
         d.setSinkFactory([](const fs::path&) { return std::make_unique<FailingSink>(0, true); });
     },
     "Unexpected error: device vanished"},
    {"SinkCannotBeMade",
     [](GEDCOMDocument& d, const fs::path&) {
         d.setSinkFactory([](const fs::path&) -> std::unique_ptr<ByteSink> {
             raise(exception_names::FileWriteError, "cannot open");
         });
     },
     "Error creating the file for writing GEDCOM data"},
    {"ThumbnailFolderBlocked",
     [](GEDCOMDocument& d, const fs::path&) {
         d.setSaveThumbnailsInFile(true);
         d.setThumbnail("jpeg", "@O1@");
         d.setSinkFactory([](const fs::path& file) {
             test::writeFile(file.parent_path() / "thumbs", "a file where the folder goes");
             return std::make_unique<FileSink>(file);
         });
     },
     "Error creating the thumbnails folder"},
    {"UnwritableFolder",
     [](GEDCOMDocument&, const fs::path& folder) { ::chmod(folder.c_str(), 0555); },
     "The .gedpkg file directory could not be created"},
};

class FailedSave : public testing::TestWithParam<FailureCase> {};

TEST_P(FailedSave, LeavesTheOldPackageAndTheUndoHistory) {
    ScratchFolder scratch;
    const fs::path folder = scratch / "db";
    const fs::path package = folder / "Family.gedpkg";
    test::writeFile(scratch / "family.ged", kFamily);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "family.ged", &error)) << error;
    ASSERT_TRUE(f.document->saveToURL(package, &error)) << error;
    const auto before = test::snapshot(package);

    f.document->addMultimediaRoot("/new/", -1);
    f.document->updateChangeCount(GEDCOMDocument::Change::Done);
    GetParam().arrange(*f.document, folder);
    if (std::string(GetParam().label) == "UnwritableFolder" && ::access(folder.c_str(), W_OK) == 0)
        GTEST_SKIP() << "permissions do not bind this user";
    EXPECT_FALSE(f.document->saveToURL(package, &error));
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(error.starts_with(GetParam().messageStart)) << error;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(f.document->readWriteStatus(), GEDCOMDocument::Failed);
    EXPECT_EQ(test::snapshot(package), before);
    EXPECT_TRUE(f.document->undo().canUndo());
    EXPECT_TRUE(f.document->isDocumentEdited());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"Family.gedpkg"});
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedSave, testing::ValuesIn(kFailures),
                         [](const auto& info) { return info.param.label; });

TEST_F(SaveFixture, SuccessClearsTheUndoHistory) {
    f.document->addMultimediaRoot("/new/", -1);
    ASSERT_TRUE(f.document->undo().canUndo());
    ASSERT_TRUE(f.document->saveToURL(package));
    EXPECT_FALSE(f.document->undo().canUndo());
}

// After a real save (which clears the undo history) an edit makes the
// document edited, its undo returns to the saved state and its redo leaves
// it again.
TEST_F(SaveFixture, AfterASaveUndoReturnsToTheSavedStateAndRedoLeavesIt) {
    ASSERT_TRUE(f.document->saveToURL(package));
    EXPECT_FALSE(f.document->isDocumentEdited());
    f.document->gedcomModel().createNewRecordOfType("NOTE");
    EXPECT_TRUE(f.document->isDocumentEdited());
    while (f.document->undo().canUndo()) f.document->undo().undo();
    EXPECT_FALSE(f.document->isDocumentEdited());
    f.document->undo().redo();
    EXPECT_TRUE(f.document->isDocumentEdited());
    EXPECT_EQ(f.ui.edited.back(), true);
}

TEST_F(SaveFixture, OtherTypesAreNotWritten) {
    std::string error;
    EXPECT_FALSE(f.document->writeToURL(package, "WEXGEDCOMFile", std::nullopt, &error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(fs::exists(package));
}

}  // namespace
}  // namespace kl
