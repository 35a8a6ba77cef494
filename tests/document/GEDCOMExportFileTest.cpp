// File > Export > GEDCOM File... below the windows: the options' flags and
// encodings, the post-processing of the written text (left-out logs,
// embedded multimedia and style sheets, places, GEDCOM 5.5 events), the
// alerts, cancelling, what the document is left with afterwards, and the
// corpus exported and read back.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "dates/DateClock.h"
#include "document/ExportOptions.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;

struct Alert {
    std::string message;
    std::string information;
    bool critical = false;
};

class ExportUI : public test::UIDouble {
public:
    void exportAlert(GEDCOMDocument&, const std::string& message, const std::string& information,
                     bool critical) override {
        alerts.push_back({message, information, critical});
    }
    std::vector<Alert> alerts;
};

constexpr const char* kHeader = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n1 SUBM @U1@\n";

class ExportFileTest : public testing::Test {
protected:
    void SetUp() override {
        ExportOptions::setExportCharacterSet("UTF-8");
        ExportOptions::setCurrentLineEndingByIndex(1, defaults);
        ExportOptions::setExportStyle(3, defaults);
        ExportOptions::setAlbumIndex(0);
    }
    // Imports the records after a header and a submitter.
    void import(const std::string& records, const std::string& header = kHeader) {
        test::writeFile(scratch / "in.ged", header + "0 @U1@ SUBM\n1 NAME Clerk\n" + records + "0 TRLR\n");
        reopen(scratch / "in.ged");
    }
    void reopen(const fs::path& path) {
        document = std::make_unique<GEDCOMDocument>();
        document->setCharacterSetQuestion(&question);
        document->setUI(&ui);
        std::string error;
        ASSERT_TRUE(document->readFromURL(path, GEDCOMDocument::kGEDCOMType, &error)) << error;
    }
    // Exports in the style (and set) given and answers the file's bytes.
    std::string exportAs(int style, int characterSet = 2, int lineEnding = 1) {
        ExportOptions::setExportStyle(style, defaults);
        ExportOptions::setCurrentEncodingByIndex(characterSet, defaults);
        ExportOptions::setCurrentLineEndingByIndex(lineEnding, defaults);
        const fs::path out = scratch / "out.ged";
        fs::remove(out);
        EXPECT_TRUE(document->exportFinally(out));
        return test::readFile(out);
    }

    ScratchFolder scratch;
    UserDefaults defaults{"Kinlore II Export Test", scratch.path()};
    test::QuestionDouble question;
    ExportUI ui;
    std::unique_ptr<GEDCOMDocument> document;
};

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// ---- styles

struct StyleCase {
    int style;
    bool customRecords;  // logs, places and books
    bool objectRecords;
    bool version55;
    bool settings;
};

class ExportStyle : public ExportFileTest, public testing::WithParamInterface<StyleCase> {};

TEST_P(ExportStyle, WritesWhatTheStyleKeeps) {
    const StyleCase& c = GetParam();
    import("0 @I1@ INDI\n1 NAME Ada /Lark/\n1 BIRT\n2 PLAC Vessland\n1 OBJE @O1@\n1 _LOG @L1@\n2 _NOTE checked\n"
           "1 SEX F\n0 @O1@ OBJE\n1 FILE a.jpg\n2 FORM jpg\n0 @L1@ _LOG\n1 TITL Search\n0 @B1@ _BOK\n1 TITL Book\n");
    const std::string text = exportAs(c.style);
    EXPECT_EQ(holds(text, "0 @L1@ _LOG\n"), c.customRecords) << text;
    EXPECT_EQ(holds(text, "1 _LOG @L1@\n2 _NOTE checked\n1 SEX F\n"), c.customRecords) << text;
    EXPECT_EQ(holds(text, "1 _LOG"), c.customRecords) << "a left-out log's link goes with its lines";
    EXPECT_TRUE(holds(text, "1 SEX F\n"));
    EXPECT_EQ(holds(text, " _PLC\n"), c.customRecords) << text;
    EXPECT_EQ(holds(text, "0 @B1@ _BOK\n"), c.customRecords) << text;
    EXPECT_EQ(holds(text, "0 @O1@ OBJE\n"), c.objectRecords) << text;
    EXPECT_EQ(holds(text, "1 OBJE @O1@\n"), c.objectRecords) << text;
    if (!c.objectRecords) {
        EXPECT_TRUE(holds(text, c.version55 ? "1 OBJE\n2 FILE a.jpg\n2 FORM jpg\n" : "1 OBJE\n2 FILE a.jpg\n3 FORM jpg\n"))
            << text;
    }
    EXPECT_EQ(holds(text, "2 VERS 5.5\n"), c.version55) << text;
    EXPECT_EQ(holds(text, "_NSDATA Attributes"), c.settings) << text;
    EXPECT_TRUE(holds(text, "1 CHAR UTF-8\n")) << text;
    EXPECT_TRUE(text.ends_with("0 TRLR\n"));
}

INSTANTIATE_TEST_SUITE_P(Styles, ExportStyle,
                         testing::Values(StyleCase{0, false, true, false, false}, StyleCase{1, false, false, false, false},
                                         StyleCase{2, false, false, true, false}, StyleCase{3, true, true, false, false},
                                         StyleCase{4, true, true, false, true}, StyleCase{5, true, true, false, true}));

TEST(ExportOptionsTest, StylesSetTheirFlagsAndAnAlbumNeverEmbedsSettings) {
    ScratchFolder scratch;
    UserDefaults defaults{"Kinlore II Export Test", scratch.path()};
    const std::uint32_t expected[] = {1 | 16 | 32, 1 | 2 | 16 | 32, 1 | 8 | 16 | 32, 0, 64 | 128, 64, 1 | 16 | 32};
    ExportOptions::setAlbumIndex(0);
    for (int style = 0; style <= 6; ++style) {
        ExportOptions::setExportStyle(style, defaults);
        EXPECT_EQ(ExportOptions::exportFlags(), expected[style]) << style;
    }
    EXPECT_EQ(defaults.integerForKey(ExportOptions::kStyleKey), 6);
    ExportOptions::setAlbumIndex(1);
    ExportOptions::setExportStyle(4, defaults);
    EXPECT_EQ(ExportOptions::exportFlags(), 128u);
    ExportOptions::setAlbumIndex(0);
}

TEST(ExportOptionsTest, StoredNamesPickTheirMenuItemsAndEncodings) {
    ScratchFolder scratch;
    UserDefaults defaults{"Kinlore II Export Test", scratch.path()};
    struct Case {
        const char* stored;
        int index;
        int encoding;
    };
    for (const Case& c : {Case{"UTF-16", 3, 10}, Case{"UNICODE", 3, 10}, Case{"ANSEL", 1, 65536}, Case{"Windows", 4, 12},
                          Case{"UTF-8", 2, 4}, Case{"ASCII", 0, 30}, Case{"Klingon", 0, 30}}) {
        ExportOptions::setExportCharacterSet(std::string(c.stored));
        EXPECT_EQ(ExportOptions::exportEncodingIndex(), c.index) << c.stored;
        EXPECT_EQ(ExportOptions::exportEncoding(), c.encoding) << c.stored;
    }
    ExportOptions::setExportCharacterSet(std::nullopt);
    EXPECT_EQ(ExportOptions::exportEncoding(), 0);
    ExportOptions::setCurrentEncodingByIndex(3, defaults);
    EXPECT_EQ(defaults.stringForKey(ExportOptions::kCharacterSetKey), "UNICODE");
    for (const auto& [stored, index] : std::vector<std::pair<std::string, int>>{{"\r", 0}, {"\n", 1}, {"\r\n", 2}}) {
        ExportOptions::setCurrentLineEndingByIndex(index, defaults);
        EXPECT_EQ(ExportOptions::currentLineEnding(), stored);
        EXPECT_EQ(ExportOptions::lineEndingIndex(), index);
    }
    ExportOptions::setCurrentLineEndingByIndex(7, defaults);
    EXPECT_EQ(ExportOptions::currentLineEnding(), "\n");
    EXPECT_EQ(ExportOptions::setMaximumLineLength(12, defaults), 40);
    EXPECT_EQ(defaults.integerForKey(ExportOptions::kMaximumLineKey), 40);
    EXPECT_EQ(GEDCOMStructure::maximumGEDCOMLineLength(), 40);
    ExportOptions::setMaximumLineLength(240, defaults);
}

// ---- character sets

struct CharsetCase {
    int index;
    const char* charLine;
    TextEncoding encoding;
};

class ExportCharacterSet : public ExportFileTest, public testing::WithParamInterface<CharsetCase> {};

TEST_P(ExportCharacterSet, NamesItsSetAndEncodesWithIt) {
    import("0 @I1@ INDI\n1 NAME Zoë /Brandt/\n");
    const std::string bytes = exportAs(3, GetParam().index);
    if (GetParam().encoding == TextEncoding::UTF16) {
        ASSERT_TRUE(bytes.starts_with("\xFF\xFE")) << "UTF-16 is written little-endian with its mark";
    }
    const std::string text = decode(bytes, GetParam().encoding).text;
    EXPECT_TRUE(holds(text, GetParam().charLine)) << text;
    const bool holdsTheLetter = GetParam().encoding != TextEncoding::ASCII && GetParam().encoding != TextEncoding::ANSEL;
    if (holdsTheLetter) {
        EXPECT_TRUE(holds(text, "1 NAME Zoë /Brandt/")) << text;
    }
    auto header = std::dynamic_pointer_cast<HEADRecord>(document->gedcomModel().header());
    EXPECT_EQ(header->findStructureWithTag("CHAR")->contents(), "UTF-8") << "the document stays UTF-8";
}

INSTANTIATE_TEST_SUITE_P(Sets, ExportCharacterSet,
                         testing::Values(CharsetCase{0, "1 CHAR ASCII\n", TextEncoding::ASCII},
                                         CharsetCase{1, "1 CHAR ANSEL\n", TextEncoding::ANSEL},
                                         CharsetCase{2, "1 CHAR UTF-8\n", TextEncoding::UTF8},
                                         CharsetCase{3, "1 CHAR UNICODE\n", TextEncoding::UTF16},
                                         CharsetCase{4, "1 CHAR WINDOWS\n", TextEncoding::Windows1252}));

TEST_F(ExportFileTest, CharactersTheSetCannotHoldAreCountedAndTold) {
    import("0 @I1@ INDI\n1 NAME Зоркий /Лесовик/\n");
    exportAs(3, 4);
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "13 characters could not be written in the Windows character set and were replaced.");
    EXPECT_FALSE(ui.alerts[0].critical);
    EXPECT_EQ(document->lostInLastExport(), 13u);
}

// ---- post-processing

TEST_F(ExportFileTest, LinkedObjectsAreEmbeddedWhereTheyAreCited) {
    import("0 @I1@ INDI\n1 BIRT\n2 OBJE @O1@\n1 OBJE @O1@\n0 @O1@ OBJE\n1 FILE a.jpg\n2 FORM jpg\n3 MEDI photo\n");
    // A link whose record went missing behind the model's back.
    document->gedcomModel().recordWithID("@I1@")->findChildren("OBJE", false).back()->changeContents("@O7@");
    const std::string text = exportAs(1);
    EXPECT_TRUE(holds(text, "1 BIRT\n2 OBJE\n3 FILE a.jpg\n4 FORM jpg\n5 MEDI photo\n")) << text;
    EXPECT_TRUE(holds(text, "1 OBJE @O7@\n")) << "a link to a missing record stays" << text;
}

struct EndingCase {
    int index;
    const char* ending;
};

class StyleSheetPlacement : public ExportFileTest, public testing::WithParamInterface<EndingCase> {};

TEST_P(StyleSheetPlacement, ASheetCitedTwiceIsEmbeddedOnceAtTheSubmittersEnd) {
    import("0 @N1@ NOTE <style><!--CSS @O2@--></style>\n0 @N2@ NOTE again <!--css @O2@ -->\n"
           "0 @O2@ OBJE\n1 FILE look.css\n2 FORM css\n2 TITL Look\n");
    const std::string le = GetParam().ending;
    const std::string text = exportAs(1, 2, GetParam().index);
    const std::string embedded = "1 OBJE" + le + "2 FILE look.css" + le + "3 FORM css" + le + "2 TITL Look @O2@" + le;
    const std::size_t at = text.find(embedded);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find(embedded, at + 1), std::string::npos) << "embedded once";
    const std::size_t submitter = text.find("0 @U1@ SUBM" + le);
    ASSERT_NE(submitter, std::string::npos);
    EXPECT_LT(submitter, at);
    EXPECT_EQ(text.find(le + "0 ", submitter), at + embedded.size() - le.size()) << "the submitter's last lines";
}

INSTANTIATE_TEST_SUITE_P(Endings, StyleSheetPlacement,
                         testing::Values(EndingCase{0, "\r"}, EndingCase{1, "\n"}, EndingCase{2, "\r\n"}));

TEST_F(ExportFileTest, GEDCOM55EventsCarryTheirDescriptionInTheType) {
    import("0 @I1@ INDI\n1 EVEN Fair\n2 TYPE Market\n2 DATE 1901\n1 EVEN Feast\n2 DATE 1902\n1 EVEN\n2 TYPE Plain\n"
           "1 EVENT x\n");
    const std::string text = exportAs(2);
    EXPECT_TRUE(holds(text, "1 EVEN\n2 TYPE Fair, Market\n2 DATE 1901\n1 EVEN\n2 TYPE Feast\n2 DATE 1902\n"
                            "1 EVEN\n2 TYPE Plain\n1 EVENT x\n"))
        << text;
}

TEST_F(ExportFileTest, PlacesLeftOutAreFoldedUnderTheirEvents) {
    import("0 @I1@ INDI\n1 BIRT\n2 PLAC Vessland\n3 FORM Town\n3 MAP\n4 LATI N45.5\n4 LONG W7.25\n"
           "1 DEAT\n2 PLAC Lower Vessmark\n");
    const std::string text = exportAs(0);
    EXPECT_TRUE(holds(text, "2 PLAC Vessland\n3 FORM Town\n3 MAP\n4 LONG W7.250000\n4 LATI N45.500000\n")) << text;
    EXPECT_TRUE(holds(text, "2 PLAC Lower Vessmark\n")) << text;
    EXPECT_FALSE(holds(text, "_PLC")) << text;
}

TEST_F(ExportFileTest, FilePathsAreWrittenInStandardSpacing) {
    import("0 @O1@ OBJE\n1 FILE   missing/a.jpg\n");
    EXPECT_TRUE(holds(exportAs(3), "1 FILE missing/a.jpg\n"));
}

// ---- failures, cancelling and what stays

TEST_F(ExportFileTest, WithoutAStoredSetNothingIsWritten) {
    import("0 @I1@ INDI\n1 NAME Ada /Lark/\n");
    ExportOptions::setExportCharacterSet(std::nullopt);
    EXPECT_FALSE(document->exportFinally(scratch / "out.ged"));
    EXPECT_FALSE(fs::exists(scratch / "out.ged"));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "The data cannot be exported to a GEDCOM file.");
    EXPECT_EQ(ui.alerts[0].information, "An unsupported character set was encountered.");
}

TEST_F(ExportFileTest, AnUnwritablePathIsAnError) {
    import("0 @I1@ INDI\n1 NAME Ada /Lark/\n");
    EXPECT_FALSE(document->exportFinally(scratch / "missing" / "out.ged"));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "Error exporting GEDCOM data.");
    EXPECT_EQ(ui.alerts[0].information, "The data could not be exported to a GEDCOM file.");
    EXPECT_TRUE(ui.alerts[0].critical);
    EXPECT_EQ(document->readWriteStatus(), GEDCOMDocument::Failed);
}

TEST_F(ExportFileTest, CancelLeavesNoFile) {
    std::string people;
    for (int i = 1; i <= 3000; ++i)
        people += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Person" + std::to_string(i) + " /Lark/\n1 BIRT\n2 DATE 1900\n";
    import(people);
    ui.cancel = true;
    EXPECT_FALSE(document->exportFinally(scratch / "out.ged"));
    EXPECT_EQ(document->readWriteStatus(), GEDCOMDocument::Cancelled);
    for (const auto& entry : fs::directory_iterator(scratch.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("out.ged")) << entry.path();
    EXPECT_TRUE(ui.alerts.empty());
}

// A large list is written in runs side by side and joined: the file must be
// the one a single writer makes, in every style and line ending, whether the
// records' stored text is being made (first export with LF) or reused.
TEST_F(ExportFileTest, RecordsWrittenSideBySideGiveTheSameFile) {
    DateClock::setSource([] { return DateClock::LocalTime{2024, 6, 1, 12, 0, 0}; });
    std::string records;
    for (int i = 1; i <= 7; ++i)
        records += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Kim" + std::to_string(i) +
                   " /Lark/\n2 FONE Kim\n3 TYPE hangul\n1 BIRT\n2 DATE " + std::to_string(1900 + i) +
                   "\n2 PLAC Here, There\n1 NOTE A note long enough to be cut into pieces by the writer when " +
                   "the line length is short, with words\n2 CONT and a second line\n";
    for (int i = 1; i <= 3; ++i)
        records += "0 @F" + std::to_string(i) + "@ FAM\n1 HUSB @I" + std::to_string(i) + "@\n1 MARR\n";
    records += "0 @S1@ SOUR\n1 TITL Parish book\n0 @N1@ NOTE Plain note\n0 _EVENT_DEFN Census\n"
               "0 _EVENT_DEFN Probate\n";
    import(records);
    struct Case {
        int style;
        int lineEnding;
    };
    for (const Case c : {Case{0, 1}, Case{3, 1}, Case{2, 2}, Case{5, 0}, Case{3, 1}}) {
        GEDCOMModel::setReaderThreads(1);
        const std::string alone = exportAs(c.style, 2, c.lineEnding);
        for (int threads : {2, 3, 5}) {
            GEDCOMModel::setReaderThreads(threads);
            EXPECT_EQ(exportAs(c.style, 2, c.lineEnding), alone)
                << "style " << c.style << ", line ending " << c.lineEnding << ", " << threads << " threads";
        }
    }
    GEDCOMModel::setReaderThreads(0);
    DateClock::setSource({});
}

TEST_F(ExportFileTest, CancelWhileWritingSideBySideLeavesNoFile) {
    std::string people;
    for (int i = 1; i <= 300; ++i) people += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Person /Lark/\n";
    import(people);
    GEDCOMModel::setReaderThreads(4);
    ui.cancel = true;
    EXPECT_FALSE(document->exportFinally(scratch / "out.ged"));
    GEDCOMModel::setReaderThreads(0);
    EXPECT_EQ(document->readWriteStatus(), GEDCOMDocument::Cancelled);
    EXPECT_FALSE(fs::exists(scratch / "out.ged"));
}

TEST_F(ExportFileTest, AfterwardsTheDocumentIsUTF8WithLFAndEditsUndo) {
    import("0 @I1@ INDI\n1 NAME Ada /Lark/\n");
    exportAs(1, 1, 2);
    auto header = std::dynamic_pointer_cast<HEADRecord>(document->gedcomModel().header());
    EXPECT_EQ(header->findStructureWithTag("CHAR")->contents(), "UTF-8");
    EXPECT_EQ(GEDCOMModel::lineEnding(), "\n");
    EXPECT_EQ(GEDCOMModel::exportFlags(), 0u);
    document->undo().removeAllActions();
    auto name = document->gedcomModel().recordWithID("@I1@")->firstChildWithTag("NAME");
    name->setContents("Ada /Wren/");
    EXPECT_TRUE(document->undo().canUndo());
}

// ---- the corpus, exported and read back

std::map<std::string, std::size_t> recordsPerType(GEDCOMDocument& document) {
    std::map<std::string, std::size_t> counts;
    for (const auto& list : document.gedcomModel().recordsIndex().lists())
        if (list->listType() != ListUserDefinedType && list->recordType() != RecordsIndices::kCorrupted)
            counts[list->recordType()] = list->count();
    return counts;
}

// Every level-1 link of every record, by record.
std::map<std::string, std::vector<std::string>> linksOf(GEDCOMDocument& document) {
    std::map<std::string, std::vector<std::string>> links;
    for (const auto& list : document.gedcomModel().recordsIndex().lists()) {
        if (list->listType() == ListUserDefinedType) continue;
        for (const auto& record : list->order())
            for (const auto& line : record->structures())
                if (line->contents().size() > 2 && line->contents().front() == '@' && line->contents().back() == '@')
                    links[record->grecordID()].push_back(line->gtag() + " " + line->contents());
    }
    return links;
}

std::vector<fs::path> corpusGEDCOMFiles() {
    std::vector<fs::path> files;
    for (const auto& f : test::corpusFiles()) {
        std::string ext = f.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".ged") files.push_back(f);
    }
    return files;
}

class ExportedCorpus : public ExportFileTest, public testing::WithParamInterface<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ExportedCorpus);

TEST_P(ExportedCorpus, ReadsBackWithTheSameRecordsAndLinks) {
    document = std::make_unique<GEDCOMDocument>();
    document->setCharacterSetQuestion(&question);
    document->setUI(&ui);
    std::string error;
    if (!document->readFromURL(GetParam(), GEDCOMDocument::kGEDCOMType, &error))
        GTEST_SKIP() << "not readable: " << error;
    const auto counts = recordsPerType(*document);
    const auto links = linksOf(*document);
    exportAs(3);
    reopen(scratch / "out.ged");
    EXPECT_EQ(recordsPerType(*document), counts);
    EXPECT_EQ(linksOf(*document), links);
}

INSTANTIATE_TEST_SUITE_P(Files, ExportedCorpus, testing::ValuesIn(corpusGEDCOMFiles()), [](const auto& info) {
    std::string name = fs::relative(info.param, test::corpusFolder()).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST_F(ExportFileTest, AnANSELFileExportedInANSELReadsBackIdentical) {
    if (!test::corpusPresent()) GTEST_SKIP() << "no corpus";
    reopen(test::corpusFolder() / "eichmann" / "ANSEL.GED");
    const std::string before = test::recordsText(*document, false);
    exportAs(3, 1);
    reopen(scratch / "out.ged");
    EXPECT_EQ(test::recordsText(*document, false), before);
}

}  // namespace
}  // namespace kl
