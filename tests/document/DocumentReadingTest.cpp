// Opening databases: every public GEDCOM file through detection and the
// read worker, twins in other character sets and line endings, packages
// and their damage, the character-set question, cancel, and what the
// adjustments after reading report.
#include <gtest/gtest.h>

#include <algorithm>

#include "DocumentTestSupport.h"
#include "dates/DateClock.h"
#include "document/GEDCOMEncodeDecode.h"
#include "foundation/PropertyList.h"
#include "foundation/Reclaimer.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/TextEncoding.h"
#include "model/UnicodeFolding.h"
#include "foundation/Utf8.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;
namespace fs = std::filesystem;

bool isGEDCOMFile(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".ged";
}

std::vector<fs::path> corpusGEDCOMFiles() {
    std::vector<fs::path> files;
    for (const auto& f : test::corpusFiles())
        if (isGEDCOMFile(f)) files.push_back(f);
    return files;
}

std::string caseName(const fs::path& path) {
    std::string name = fs::relative(path, test::corpusFolder()).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// ---- the corpus: open, save as a package, reopen, same text

class OpenCorpus : public testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(OpenCorpus);

TEST_P(OpenCorpus, OpensAndSurvivesAPackageRoundTrip) {
    DocumentFixture f;
    std::string error;
    const bool opened = f.import(GetParam(), &error);
    if (GetParam().filename() == "bogus.ged") {
        EXPECT_FALSE(opened);
        EXPECT_EQ(error, "The file does not appear to be a GEDCOM file.");
        return;
    }
    ASSERT_TRUE(opened) << error;
    EXPECT_TRUE(f.document->isDocumentEdited());
    ASSERT_TRUE(f.document->gedcomModel().header());

    ScratchFolder scratch;
    const fs::path package = scratch / "Round Trip.gedpkg";
    ASSERT_TRUE(f.document->saveToURL(package, &error)) << error;
    const std::string saved = test::recordsText(*f.document);
    EXPECT_EQ(test::readFile(package / "Round Trip.ged"), saved + "0 TRLR\n");

    DocumentFixture again;
    ASSERT_TRUE(again.openPackage(package, &error)) << error;
    EXPECT_EQ(test::recordsText(*again.document), saved);
    EXPECT_FALSE(again.document->isDocumentEdited());
}

KL_CORPUS_PRESENCE_TEST(ReadingCorpus)

INSTANTIATE_TEST_SUITE_P(Files, OpenCorpus, testing::ValuesIn(corpusGEDCOMFiles()),
                         [](const auto& info) { return caseName(info.param); });

// ---- twins: the same records in another character set or line ending

// ANSEL is decoded to base letters followed by combining marks, where the
// UTF-8 twins use precomposed letters; and the ANSEL alif has two readings
// (U+02BC and U+02BE). Twins are compared with both differences taken out.
std::string canonical(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t count = 1;
        char32_t cp = utf8::decodeAt(text, i, &count);
        i += count;
        if (cp == 0x02BE) cp = 0x02BC;
        char32_t base = 0;
        std::u32string marks;
        if (unicode::decompose(cp, &base, &marks)) {
            utf8::append(out, base);
            for (char32_t m : marks) utf8::append(out, m);
        } else {
            utf8::append(out, cp);
        }
    }
    return out;
}

struct Twin {
    const char* file;
    const char* twin;
    const char* mustContain;  // a character only a right decoding gives
};

const Twin kTwins[] = {
    {"gedcom555/555SAMPLE16BE.GED", "gedcom555/555SAMPLE.GED", "Robert Eugene /Williams/"},
    {"gedcom555/555SAMPLE16LE.GED", "gedcom555/555SAMPLE.GED", "Robert Eugene /Williams/"},
    {"gedcom-parse/ansel.ged", "gedcom-parse/anselutf8.ged", "Ł"},
    {"eichmann/ANSEL.GED", "gedcom-parse/anselutf8.ged", "Æ"},
    {"eichmann/LTERCR.GED", "eichmann/LTERLF.GED", ""},
    {"eichmann/LTERCRLF.GED", "eichmann/LTERLF.GED", ""},
    {"eichmann/LTERLFCR.GED", "eichmann/LTERLF.GED", ""},
    {"eichmann/ULHBOMCL.GED", "eichmann/UHLBOMCL.GED", "Ж"},
    {"eichmann/ULHCL.GED", "eichmann/UHLBOMCL.GED", "Ж"},
    {"gedcom-parse/uhlcl.ged", "eichmann/UHLBOMCL.GED", "Ж"},
    {"gedcom-parse/ulhc.ged", "eichmann/UHLBOMCL.GED", "Ж"},
    {"gedcom-parse/ulhl.ged", "eichmann/UHLBOMCL.GED", "Ж"},
    {"gedcom-parse/ulhlc.ged", "eichmann/UHLBOMCL.GED", "Ж"},
    {"gedcom-parse/ulhcl.ged", "eichmann/UHLBOMCL.GED", "Ж"},
};

class Twins : public testing::TestWithParam<Twin> {};

// The records below the header are compared: headers name their own file
// and encoding. A twin that is UTF-8 yet still declares ANSEL is read as
// the UTF-8 it is.
TEST_P(Twins, ReadTheSameText) {
    const fs::path file = test::corpusFolder() / GetParam().file;
    const fs::path twin = test::corpusFolder() / GetParam().twin;
    if (!fs::exists(file) || !fs::exists(twin)) GTEST_SKIP() << "corpus not present";
    // Records a read makes of embedded notes carry their creation time.
    DateClock::setSource([] { return DateClock::LocalTime{2024, 6, 1, 12, 0, 0}; });
    struct RestoreClock {
        ~RestoreClock() { DateClock::setSource({}); }
    } restoreClock;
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(file, &error)) << error;
    const std::string text = test::recordsText(*f.document, false);

    ScratchFolder scratch;
    std::string twinBytes = test::readFile(twin);
    if (const size_t at = twinBytes.find("1 CHAR ANSEL"); at != std::string::npos && isValidUTF8(twinBytes))
        twinBytes.replace(at, 12, "1 CHAR UTF-8");
    test::writeFile(scratch / "twin.ged", twinBytes);
    DocumentFixture t;
    ASSERT_TRUE(t.import(scratch / "twin.ged", &error)) << error;
    EXPECT_EQ(canonical(text), canonical(test::recordsText(*t.document, false)));
    EXPECT_NE(text.find(GetParam().mustContain), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Corpus, Twins, testing::ValuesIn(kTwins), [](const auto& info) {
    return test::corpusFolder().empty() ? std::string("x") : caseName(test::corpusFolder() / info.param.file);
});

// ---- the character-set question

struct QuestionCase {
    const char* label;
    const char* charLine;
    std::optional<std::string> guess;
};

// Only a set the reader does not know is asked about.
const QuestionCase kQuestions[] = {
    {"UnknownName", "1 CHAR KOI8-R\n", "KOI8-R"},
    {"UnknownNameLowerCase", "1   char   mystery\n", "MYSTERY"},
};

class Question : public testing::TestWithParam<QuestionCase> {
protected:
    void SetUp() override {
        test::writeFile(scratch / "asked.ged", std::string("0 HEAD\n") + GetParam().charLine +
                                                   "0 @I1@ INDI\n1 NAME Ann /\xC3\xA9/\n0 TRLR\n");
    }
    ScratchFolder scratch;
};

TEST_P(Question, AsksWithTheFilesValueAsGuess) {
    DocumentFixture f;
    f.question = test::QuestionDouble(CharacterSetChoice{4, "UTF-8"});
    std::string error;
    ASSERT_TRUE(f.import(scratch / "asked.ged", &error)) << error;
    EXPECT_EQ(f.question.asked, 1);
    EXPECT_EQ(f.question.lastGuess, GetParam().guess);
    EXPECT_EQ(f.question.lastSuggested, 4u) << "the file's bytes are UTF-8";
    EXPECT_NE(test::recordsText(*f.document).find("Ann /\xC3\xA9/"), std::string::npos);
}

TEST_P(Question, CancelRefusesTheFile) {
    DocumentFixture f;
    f.question = test::QuestionDouble(std::nullopt);
    std::string error;
    EXPECT_FALSE(f.import(scratch / "asked.ged", &error));
    EXPECT_EQ(error, "The character set could not be determined and the user cancelled selection of one.");
}

INSTANTIATE_TEST_SUITE_P(Lines, Question, testing::ValuesIn(kQuestions),
                         [](const auto& info) { return info.param.label; });

// ---- refusals with their exact texts

struct RefusalCase {
    const char* label;
    std::function<void(const fs::path&)> make;  // writes "x" under the folder
    const char* type;
    const char* message;  // "{x}" stands for the path
};

const RefusalCase kRefusals[] = {
    {"MissingFile", [](const fs::path&) {}, GEDCOMDocument::kGEDCOMType, "Error creating a handle to read the file."},
    {"EmptyFile", [](const fs::path& p) { test::writeFile(p, ""); }, GEDCOMDocument::kGEDCOMType,
     "The file's GEDCOM data could not be read."},
    {"NotGEDCOM", [](const fs::path& p) { test::writeFile(p, "hello\n0 HEAD\n"); }, GEDCOMDocument::kGEDCOMType,
     "The file does not appear to be a GEDCOM file."},
    {"MissingPackage", [](const fs::path&) {}, GEDCOMDocument::kPackageType,
     "The database package '{x}' was not found."},
    {"PackageThatIsAFile", [](const fs::path& p) { test::writeFile(p, "0 HEAD\n0 TRLR\n"); },
     GEDCOMDocument::kPackageType, "'{x}' is not a Kinlore II database package."},
    {"PackageWithoutAttributes",
     [](const fs::path& p) { test::writeFile(p / "x.ged", "0 HEAD\n0 TRLR\n"); }, GEDCOMDocument::kPackageType,
     "The database package has no file attributes list."},
    {"PackageAttributesNotADictionary",
     [](const fs::path& p) {
         test::writeFile(p / "x.ged", "0 HEAD\n0 TRLR\n");
         PropertyList::writeFile(Value(Array{Value(1)}), p / "attributes.plist");
     },
     GEDCOMDocument::kPackageType,
     "The file attributes dictionary is corrupted. \"{x}/attributes.plist\" does not hold a dictionary."},
    {"PackageWithoutGEDCOM",
     [](const fs::path& p) {
         fs::create_directories(p);
         PropertyList::writeFile(Value(Dictionary{{"Version", 1}}), p / "attributes.plist");
     },
     GEDCOMDocument::kPackageType, "The file's GEDCOM data could not be read."},
    {"PackageInUnknownEncoding",
     [](const fs::path& p) {
         test::writeFile(p / "x.ged", "0 HEAD\n0 TRLR\n");
         PropertyList::writeFile(Value(Dictionary{{"Encoding", 77}}), p / "attributes.plist");
     },
     GEDCOMDocument::kPackageType, "The file's GEDCOM data could not be read due to encoding error."},
    {"UnknownType", [](const fs::path& p) { test::writeFile(p, "0 HEAD\n0 TRLR\n"); }, "WEXSomethingElse",
     "The file has unrecognized file type."},
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, FailsWithItsMessage) {
    ScratchFolder scratch;
    const fs::path path = scratch / "x";
    GetParam().make(path);
    DocumentFixture f;
    std::string error;
    EXPECT_FALSE(f.open(path, GetParam().type, &error));
    std::string message = GetParam().message;
    if (const size_t at = message.find("{x}"); at != std::string::npos) message.replace(at, 3, path.string());
    EXPECT_EQ(error, message);
    EXPECT_EQ(f.document->readWriteStatus(), GEDCOMDocument::Failed);
}

INSTANTIATE_TEST_SUITE_P(Files, Refusal, testing::ValuesIn(kRefusals), [](const auto& info) { return info.param.label; });

// ---- packages

struct PackageFixture : testing::Test {
    ScratchFolder scratch;
    fs::path package = scratch / "Family.gedpkg";
    void writePackage(const Dictionary& attributes, std::optional<Dictionary> settings, const std::string& gedName,
                      const std::string& text) {
        test::writeFile(package / gedName, text);
        PropertyList::writeFile(Value(attributes), package / "attributes.plist");
        if (settings) PropertyList::writeFile(Value(*settings), package / "settings.plist");
    }
};

const char* kSmallTree =
    "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n0 @I1@ INDI\n1 NAME Ann /Smith/\n1 _UID 1111\n"
    "0 @SUBM@ SUBM\n1 NAME Me\n1 _UID 2222\n0 TRLR\n";

TEST_F(PackageFixture, WithoutSettingsOpensUneditedAndNamesItsFileAfterTheFolder) {
    writePackage(Dictionary{{"Version", 3}}, std::nullopt, "Family.ged", kSmallTree);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_EQ(f.document->version(), 3);
    EXPECT_EQ(f.document->sourceGEDCOM(), "Family.ged");
    EXPECT_FALSE(f.document->firstSelectedAlbum());
    EXPECT_FALSE(f.document->isDocumentEdited());
    EXPECT_EQ(f.document->gedcomModel().numberOfType("INDI"), 1u);
    EXPECT_EQ(f.document->printInfo(), GEDCOMDocument::defaultPrintInfo());
}

TEST_F(PackageFixture, ReadsTheNamedGEDCOMFileButNeverOutsideThePackage) {
    writePackage(Dictionary{{"GEDCOM File Name", "Other.ged"}}, Dictionary{{"WEXSelectedAlbum", "FAM"}}, "Other.ged",
                 kSmallTree);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_EQ(f.document->sourceGEDCOM(), "Other.ged");
    EXPECT_EQ(f.document->firstSelectedAlbum(), "FAM");

    test::writeFile(scratch / "outside.ged", kSmallTree);
    writePackage(Dictionary{{"GEDCOM File Name", "../outside.ged"}}, std::nullopt, "Other.ged", kSmallTree);
    EXPECT_FALSE(f.openPackage(package, &error));
    EXPECT_EQ(error, "The file's GEDCOM data could not be read.");
}

TEST_F(PackageFixture, WrongTypedEntriesKeepTheirDefaults) {
    writePackage(Dictionary{{"Version", "seven"},
                            {"Multimedia Root Folders", "/not/an/array/"},
                            {"Save Thumbnails", "YES"},
                            {"Encoding", "30"},
                            {"Record Album Listings", Dictionary{}},
                            {"Index Column Settings", Array{}},
                            {"Index PrintInfo", "not data"},
                            {"Browser PrintInfo", Data{'x', 'y'}}},
                 Dictionary{{"WEXSelectedAlbum", 12}}, "Family.ged", kSmallTree);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_EQ(f.document->version(), 0);
    EXPECT_TRUE(f.document->multimediaRoot().empty());
    EXPECT_FALSE(f.document->saveThumbnailsInFile());
    EXPECT_EQ(f.document->gedcomModel().encoding(), 4);
    EXPECT_FALSE(f.document->firstSelectedAlbum());
    EXPECT_EQ(f.document->printInfo(), GEDCOMDocument::defaultPrintInfo());
    EXPECT_EQ(f.document->browserInfo(), GEDCOMDocument::defaultPrintInfo());
}

TEST_F(PackageFixture, ReadsThumbnailsAsStoredBytes) {
    writePackage(Dictionary{{"Save Thumbnails", true}}, std::nullopt, "Family.ged", kSmallTree);
    test::writeFile(package / "thumbs" / "@O1@.jpg", "\xFF\xD8jpeg");
    DocumentFixture f;
    ASSERT_TRUE(f.openPackage(package));
    EXPECT_EQ(f.document->getThumbnail("@O1@"), "\xFF\xD8jpeg");
    EXPECT_EQ(f.document->thumbnailCount(), 1u);
    EXPECT_TRUE(f.document->saveThumbnailsInFile());
}

// ---- cancel and the adjustments

TEST(DocumentReading, CancelEndsWithTheCancelledText) {
    // The Cancel comes as soon as the wait begins, but a read that has
    // already finished rightly stands; tens of thousands of records keep
    // this one running well past that moment, even in a warm process.
    ScratchFolder scratch;
    std::string text = "0 HEAD\n1 CHAR UTF-8\n";
    for (int i = 1; i <= 40000; ++i)
        text += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Ann /Lind/\n1 BIRT\n2 DATE 1 MAR 1850\n";
    text += "0 TRLR\n";
    test::writeFile(scratch / "a.ged", text);
    DocumentFixture f;
    f.ui.cancel = true;
    std::string error;
    EXPECT_FALSE(f.import(scratch / "a.ged", &error));
    EXPECT_EQ(error, "File read cancelled");
    EXPECT_EQ(f.document->readWriteStatus(), GEDCOMDocument::Cancelled);
}

// The window-free waits of a read and a save, given an hour: the worker's
// end must end them, or the test hangs.
TEST(DocumentReading, TheWorkersEndEndsTheWaitOfAReadAndASave) {
    class HourLongWaits : public DocumentUI {
    public:
        bool pauseIn(KLProgress& task, double) override { return DocumentUI::pauseIn(task, 3600.0); }
        void runProgress(KLProgress& task, const std::string& title, const std::string& label, double) override {
            DocumentUI::runProgress(task, title, label, 3600.0);
        }
    } ui;
    ScratchFolder scratch;
    test::writeFile(scratch / "a.ged", kSmallTree);
    GEDCOMDocument document;
    document.setUI(&ui);
    std::string error;
    ASSERT_TRUE(document.readFromURL(scratch / "a.ged", GEDCOMDocument::kGEDCOMType, &error)) << error;
    EXPECT_TRUE(document.saveToURL(scratch / "a.gedpkg", &error)) << error;
    EXPECT_EQ(document.readWriteStatus(), GEDCOMDocument::Done);
}

// Closing frees the records on the reclaimer's thread; what an undo or a
// clipboard still holds stays alive there too.
TEST(DocumentReading, AClosedDocumentsRecordsAreFreedLaterUnlessHeld) {
    ScratchFolder scratch;
    test::writeFile(scratch / "a.ged", kSmallTree);
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "a.ged"));
    const GEDCOMModel& model = f.document->gedcomModel();
    std::shared_ptr<GEDCOMRecord> held = model.recordWithID("@I1@");
    std::weak_ptr<GEDCOMRecord> dropped = model.recordWithID("@SUBM@");
    ASSERT_TRUE(held && !dropped.expired());
    f.document.reset();
    Reclaimer::drain();
    EXPECT_TRUE(dropped.expired());
    ASSERT_TRUE(held->findStructureWithTag("NAME"));
}

// The worker has finished when the user's Cancel arrives (the panel had not
// closed yet): the finished read stands and the document opens.
TEST(DocumentReading, ACancelAfterTheReadFinishedLeavesItDone) {
    ScratchFolder scratch;
    test::writeFile(scratch / "a.ged", kSmallTree);
    DocumentFixture f;
    f.ui.cancelLate = true;
    std::string error;
    EXPECT_TRUE(f.import(scratch / "a.ged", &error)) << error;
    EXPECT_EQ(f.document->readWriteStatus(), GEDCOMDocument::Done);
    EXPECT_EQ(f.document->myFileName(), scratch / "a.ged");
    EXPECT_GT(f.document->gedcomModel().numberOfType("INDI"), 0u);
    // A failed read stays failed too.
    test::writeFile(scratch / "bad.gedpkg" / "attributes.plist", "not a list");
    EXPECT_FALSE(f.openPackage(scratch / "bad.gedpkg", &error));
    EXPECT_EQ(f.document->readWriteStatus(), GEDCOMDocument::Failed);
    EXPECT_TRUE(error.starts_with("The file attributes dictionary is corrupted. ")) << error;
}

// The worker's own change (an import is edited) is not news on its thread;
// the window reads the edited state when it is made.
TEST(DocumentReading, AnImportIsEditedWithoutNewsFromTheWorker) {
    ScratchFolder scratch;
    test::writeFile(scratch / "a.ged", kSmallTree);
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "a.ged"));
    EXPECT_TRUE(f.document->isDocumentEdited());
    EXPECT_EQ(f.ui.offThread, 0);
}

TEST(DocumentReading, AddsMissingSubmitterAndHeaderInThatOrder) {
    ScratchFolder scratch;
    test::writeFile(scratch / "bare.ged", "0 @I1@ INDI\n1 NAME Ann /Smith/\n0 TRLR\n");
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "bare.ged", &error)) << error;
    const std::string message = f.document->readWriteMessage().value_or("");
    EXPECT_TRUE(message.starts_with("Changes: added Submitter, added Header")) << message;
    EXPECT_EQ(f.document->gedcomModel().numberOfType("SUBM"), 1u);
    EXPECT_TRUE(f.document->gedcomModel().header());
    EXPECT_EQ(f.document->importFileName(), "Untitled (from bare)");
    EXPECT_FALSE(f.document->myFileName());
    EXPECT_FALSE(f.document->importFileName());
    EXPECT_EQ(f.document->importedName(), "Untitled (from bare)") << "the first answer is kept";
}

// Windows-1252 has five unassigned bytes; a file declaring it that holds
// one is read, and the read says how many characters were lost.
TEST(DocumentReading, ReportsCharactersTheDeclaredSetCouldNotDecode) {
    ScratchFolder scratch;
    test::writeFile(scratch / "w.ged", "0 HEAD\n1 CHAR WINDOWS\n0 @I1@ INDI\n1 NAME Ren\xE9 /X\x81/\n0 TRLR\n");
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "w.ged", &error)) << error;
    EXPECT_NE(f.document->readWriteMessage().value_or("").find("encountered 1 invalid characters"), std::string::npos)
        << f.document->readWriteMessage().value_or("");
    EXPECT_NE(test::recordsText(*f.document).find("René"), std::string::npos);
}

TEST(DocumentReading, UTF8ThatIsNotFallsBackWithTheReadAlert) {
    ScratchFolder scratch;
    test::writeFile(scratch / "l.ged", "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ren\xE9 /X/\n0 TRLR\n");
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "l.ged"));
    ASSERT_EQ(f.ui.alerts.size(), 1u);
    EXPECT_EQ(f.ui.alerts[0][0],
              "The character set in the file (UTF-8) did not work so it was read by guessing ISO Latin 1 characters "
              "instead.");
    EXPECT_NE(test::recordsText(*f.document).find("René"), std::string::npos);
}

TEST(DocumentReading, ImportedHeaderSaysUTF8AndRootIsTheFilesFolder) {
    ScratchFolder scratch;
    test::writeFile(scratch / "sub" / "a.ged", "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME A /B/\n0 TRLR\n");
    DocumentFixture f;
    ASSERT_TRUE(f.import(scratch / "sub" / "a.ged"));
    EXPECT_NE(f.document->gedcomModel().header()->gedcomString().find("1 CHAR UTF-8"), std::string::npos);
    ASSERT_EQ(f.document->multimediaRoot().size(), 1u);
    EXPECT_EQ(f.document->multimediaRoot()[0],
              GEDCOMDocument::rootFolderFor(scratch / "sub" / "a.ged"));
    EXPECT_TRUE(f.document->multimediaRoot()[0].ends_with("/sub/"));
}

TEST(DocumentReading, RootFolderUsesTildeForHome) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) GTEST_SKIP();
    EXPECT_EQ(GEDCOMDocument::rootFolderFor(fs::path(home) / "Genealogy" / "a.ged"), "~/Genealogy/");
    EXPECT_EQ(GEDCOMDocument::rootFolderFor("/elsewhere/a.ged"), "/elsewhere/");
}

// An export with settings embedded carries the package attributes in its
// header; importing it brings back the albums and root folders, and the
// import's own folder is kept after them.
TEST(DocumentReading, EmbeddedAttributesRestoreAlbumsAndRootFolders) {
    Dictionary album{{"Album Record Type", "User Album 900"},
                     {"Album Name", "Cousins"},
                     {"Album Type ID", 5},
                     {"Album Record IDs", Array{Value("@I2@")}}};
    Dictionary indi{{"Album Record Type", "INDI"}, {"Album Name", "Individuals"}, {"Album Type ID", 0}};
    Dictionary attributes{{"Multimedia Root Folders", Array{Value("/pictures/")}},
                          {"Record Album Listings", Array{Value(indi), Value(album)}}};
    const auto embedded = GEDCOMEncodeDecode::EncodeData(Value(attributes), 1, "Attributes");
    const auto settings = GEDCOMEncodeDecode::EncodeData(Value(Dictionary{{"WEXSelectedAlbum", "FAM"}}), 1, "Settings");
    ASSERT_TRUE(embedded && settings);
    ScratchFolder scratch;
    test::writeFile(scratch / "e.ged", "0 HEAD\n1 CHAR UTF-8\n" + *embedded + *settings +
                                           "0 @I1@ INDI\n1 NAME A /B/\n0 @I2@ INDI\n1 NAME C /D/\n0 TRLR\n");
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "e.ged", &error)) << error;
    const auto roots = f.document->multimediaRoot();
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], "/pictures/");
    EXPECT_EQ(roots[1], GEDCOMDocument::rootFolderFor(scratch / "e.ged"));
    auto cousins = f.document->gedcomModel().recordsIndex().userAlbumNamed("Cousins");
    ASSERT_TRUE(cousins);
    ASSERT_EQ(cousins->count(), 1u);
    EXPECT_EQ(cousins->order()[0]->grecordID(), "@I2@");
    EXPECT_EQ(f.document->firstSelectedAlbum(), "FAM");
    EXPECT_EQ(f.document->gedcomModel().header()->gedcomString().find("_NSDATA"), std::string::npos);
}

TEST(DocumentReading, NewDatabaseComesFromTheResource) {
    ResourceFolder::setFolder(fs::path(KL_SOURCE_DIR) / "resources");
    auto document = GEDCOMDocument::makeUntitled();
    ResourceFolder::setFolder({});
    EXPECT_FALSE(document->createWithInitOnly());
    EXPECT_EQ(document->version(), 1);
    EXPECT_EQ(document->gedcomModel().numberOfType("SUBM"), 1u);
    ASSERT_TRUE(document->gedcomModel().header());
    EXPECT_NE(document->gedcomModel().header()->gedcomString().find("1 SUBM @SUBM@"), std::string::npos);
    EXPECT_FALSE(document->isDocumentEdited());
}

}  // namespace
}  // namespace kl

namespace kl {
namespace {

// The new-file sheet's answer made into the first records of a new file.
struct FirstRecordsCase {
    const char* name;
    Array settings;
    std::vector<std::string> firstLists;  // the index's first rows after
    std::string husband, wife;            // names of the family's spouses; "" none
    const char* undoName;
};

class FirstRecords : public testing::TestWithParam<FirstRecordsCase> {};

TEST_P(FirstRecords, PeopleFirstThenTheirFamily) {
    const FirstRecordsCase& c = GetParam();
    ResourceFolder::setFolder(fs::path(KL_SOURCE_DIR) / "resources");
    auto document = GEDCOMDocument::makeUntitled();
    ResourceFolder::setFolder({});
    auto& model = document->gedcomModel();
    ASSERT_TRUE(document->makeFirstRecords(c.settings));
    const auto& lists = model.recordsIndex().lists();
    ASSERT_GE(lists.size(), c.firstLists.size());
    for (std::size_t i = 0; i < c.firstLists.size(); ++i) EXPECT_EQ(lists[i]->recordType(), c.firstLists[i]) << i;
    EXPECT_EQ(document->undo().undoActionName(), c.undoName);
    auto nameOf = [&](const std::string& id) {
        auto person = id.empty() ? nullptr : model.recordWithID(id);
        auto name = person ? person->findStructureWithTag("NAME") : nullptr;
        return name ? name->contents() : std::string();
    };
    const auto families = model.recordsIndex().listForType("FAM");
    auto family = families && families->count() ? std::dynamic_pointer_cast<FAMRecord>(families->order()[0]) : nullptr;
    EXPECT_EQ(family ? nameOf(family->husbandID()) : "", c.husband);
    EXPECT_EQ(family ? nameOf(family->wifeID()) : "", c.wife);
}

INSTANTIATE_TEST_SUITE_P(
    GEDCOMDocument, FirstRecords,
    testing::Values(
        FirstRecordsCase{"Couple", Array{"Jan /Novak/", 1, "12 MAR 1901", "", "Eva /Novak/", 2, "", "", "family"},
                         {"INDI", "FAM"}, "Jan /Novak/", "Eva /Novak/", "Created Individuals and Family"},
        FirstRecordsCase{"WifeNamedFirst", Array{"Eva /Novak/", 2, "", "", "Jan /Novak/", 2, "", "", "family"},
                         {"INDI", "FAM"}, "Jan /Novak/", "Eva /Novak/", "Created Individuals and Family"},
        FirstRecordsCase{"OnlyTheSecondPerson", Array{"", 1, "", "", "Eva /Novak/", 2, "", "", "family"},
                         {"INDI", "FAM"}, "", "Eva /Novak/", "Created Individuals and Family"},
        FirstRecordsCase{"NotLinked", Array{"Jan /Novak/", 1, "", "", "Eva /Novak/", 2, "", ""}, {"INDI"}, "", "",
                         "Created Individuals"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirstRecordsOfANewFile, DatesThatReadAreKeptAndNoNameMakesNobody) {
    ResourceFolder::setFolder(fs::path(KL_SOURCE_DIR) / "resources");
    auto document = GEDCOMDocument::makeUntitled();
    ResourceFolder::setFolder({});
    EXPECT_FALSE(document->makeFirstRecords(Array{"", 1, "", "", "", 2, "", "", "family"}));
    EXPECT_EQ(document->gedcomModel().numberOfType("INDI"), 0u);
    EXPECT_EQ(document->gedcomModel().numberOfType("FAM"), 0u);
    ASSERT_TRUE(document->makeFirstRecords(Array{"Jan /Novak/", 1, "12 MAR 1901", "not a date", "", 2, "", ""}));
    const auto people = document->gedcomModel().recordsIndex().listForType("INDI");
    ASSERT_TRUE(people && people->count() == 1);
    auto jan = std::dynamic_pointer_cast<INDIRecord>(people->order()[0]);
    ASSERT_TRUE(jan);
    EXPECT_EQ(jan->birthDate(), "12 MAR 1901");
    EXPECT_EQ(jan->deathDate(), "");
    EXPECT_EQ(jan->sex(), "M") << "from the male template";
}

}  // namespace
}  // namespace kl
