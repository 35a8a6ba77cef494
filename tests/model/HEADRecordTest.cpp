// The header record: character set, software and file stamps, the GEDCOM
// version, mending after an import, submitter and home records, and the
// text of a new header.
#include <gtest/gtest.h>

#include <filesystem>

#include "RecordTestSupport.h"
#include "foundation/ResourceFolder.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

// A store whose type lists start with the first record added of each type.
class IndexStore : public FakeRecordStore {
public:
    std::shared_ptr<GEDCOMRecord> firstRecordOfType(const std::string& type) override {
        for (auto& [id, record] : records)
            if (record->recordType() == type) return record;
        return nullptr;
    }
};

class HeaderTest : public testing::Test {
protected:
    HeaderTest() {
        HEADRecord::Software maker;
        maker.versionAsNumber = 2.013;
        maker.shortVersion = "Version 2.0.3";
        maker.company = "Kin Co";
        maker.street = "1 Elm St";
        maker.cityStatePostal = "Town, ST 12345";
        maker.country = "USA";
        maker.webSite = "https://example.org";
        HEADRecord::setSoftware(maker);
    }
    ~HeaderTest() override { HEADRecord::setSoftware({}); }

    std::shared_ptr<HEADRecord> header(const std::string& lines) {
        auto head = std::make_shared<HEADRecord>();
        EXPECT_TRUE(head->reparse("0 HEAD\n" + lines));
        store.install(head);
        store.undo.removeAllActions();
        return head;
    }
    std::string body(const HEADRecord& head) {
        std::string text = head.gedcomString();
        EXPECT_EQ(text.rfind("0 HEAD\n", 0), 0u) << text;
        return text.substr(7);
    }

    RecordEnvironment environment;
    IndexStore store;
};

// ---- character set

struct CharsetCase {
    unsigned encoding;
    const char* before;
    const char* after;
};

class HeaderCharset : public HeaderTest, public testing::WithParamInterface<CharsetCase> {};

TEST_P(HeaderCharset, WritesTheCharLineOfTheEncoding) {
    auto head = header(GetParam().before);
    head->setCharacters(GetParam().encoding);
    EXPECT_EQ(body(*head), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, HeaderCharset,
    testing::Values(CharsetCase{4, "1 CHAR ANSEL\n2 VERS x\n1 LANG English\n", "1 CHAR UTF-8\n1 LANG English\n"},
                    CharsetCase{10, "1 CHAR ANSEL\n", "1 CHAR UNICODE\n"},
                    CharsetCase{12, "1 CHAR UTF-8\n", "1 CHAR WINDOWS\n2 VERS ISO 8859-1\n"},
                    CharsetCase{30, "1 CHAR UTF-8\n", "1 CHAR ASCII\n2 VERS MacOS Roman\n"},
                    CharsetCase{0x10000, "1 CHAR UTF-8\n2 VERS 1\n", "1 CHAR ANSEL\n"},
                    CharsetCase{1, "1 CHAR ANSEL\n", "1 CHAR UTF-8\n"},
                    // a missing CHAR goes at the end; only the first one is used
                    CharsetCase{12, "1 LANG English\n", "1 LANG English\n1 CHAR WINDOWS\n2 VERS ISO 8859-1\n"},
                    CharsetCase{10, "1 CHAR ANSEL\n1 CHAR ASCII\n", "1 CHAR UNICODE\n1 CHAR ASCII\n"}), ::kl::test::CaseName());

// ---- version text

TEST(HeaderVersionText, SplitsTheBetaDigitOff) {
    const struct {
        double number;
        const char* text;
    } cases[] = {{2.0, "2.0"}, {2.013, "2.0b3"}, {2.1, "2.1"}, {1.95, "1.9"}, {3.009, "3.0b9"}};
    for (const auto& c : cases) EXPECT_EQ(HEADRecord::versionText(c.number), c.text) << c.number;
}

// ---- software and file stamp

struct StampCase {
    const char* name;
    const char* before;
    std::optional<std::string> path;
    const char* after;
};

class HeaderStamp : public HeaderTest, public testing::WithParamInterface<StampCase> {};

constexpr const char* kStampedSoftware =
    "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n3 ADDR Town, ST 12345, USA\n";

TEST_P(HeaderStamp, StampsSoftwareAndFile) {
    auto head = header(GetParam().before);
    std::optional<std::filesystem::path> path;
    if (GetParam().path) path = *GetParam().path;
    head->setVersionAndFile(path);
    EXPECT_EQ(body(*head), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderStamp,
    testing::Values(
        StampCase{"Empty", "", std::nullopt, kStampedSoftware},
        StampCase{"EmptyWithFile", "", "/home/me/Family.gedpkg/Family.ged",
                  "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n"
                  "3 ADDR Town, ST 12345, USA\n1 FILE Family.ged\n"},
        StampCase{"OldValuesReplacedInPlace",
                  "1 CHAR UTF-8\n1 SOUR Kinlore II\n2 NAME Other\n2 VERS 1.0\n2 CORP Old\n3 PHON 1\n3 ADDR Old\n"
                  "1 FILE old.ged\n",
                  "/x/new.ged",
                  "1 CHAR UTF-8\n1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n3 PHON 1\n"
                  "3 ADDR Town, ST 12345, USA\n1 FILE new.ged\n"},
        StampCase{"MissingPiecesInsertedInOrder", "1 SOUR Kinlore II\n2 DATA x\n", std::nullopt,
                  "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n"
                  "3 ADDR Town, ST 12345, USA\n2 DATA x\n"},
        StampCase{"CorpWithoutAddress", "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n3 WWW w\n",
                  std::nullopt, "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0b3\n2 CORP Kin Co\n"
                                "3 ADDR Town, ST 12345, USA\n3 WWW w\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeaderTest, StampingAnUpToDateHeaderKeepsItsCachedText) {
    GEDCOMRecord::setCachingWhenSave(true);
    auto head = header(std::string(kStampedSoftware) + "1 FILE a.ged\n");
    std::string text;
    head->appendGEDCOMRecord(text, true);
    ASSERT_TRUE(head->hasCachedText());
    head->setVersionAndFile(std::filesystem::path("/x/a.ged"));
    EXPECT_TRUE(head->hasCachedText());
    head->setVersionAndFile(std::filesystem::path("/x/b.ged"));
    EXPECT_FALSE(head->hasCachedText());
}

// ---- GEDCOM version

TEST_F(HeaderTest, CheckGEDCOMVersionMendsOrAddsTheGedcLine) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"1 CHAR UTF-8\n", "1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n"},
        {"1 GEDC\n2 FORM LINEAGE-LINKED\n2 VERS 5.5\n2 _X y\n1 CHAR UTF-8\n",
         "1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n2 _X y\n1 CHAR UTF-8\n"},
        {"1 GEDC\n", "1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n"},
        {"1 GEDC\n2 VERS 5.5.1\n", "1 GEDC\n2 VERS 5.5.1\n"},
    };
    for (const auto& c : cases) {
        auto head = header(c.before);
        head->checkGEDCOMVersion();
        EXPECT_EQ(body(*head), c.after) << c.before;
        EXPECT_FALSE(store.undo.canUndo()) << "reading changes are not undoable";
    }
}

// ---- after an import

struct ImportCase {
    const char* name;
    const char* before;
    const char* after;
    bool foreign;
    bool linksFixed;
};

class HeaderImport : public HeaderTest, public testing::WithParamInterface<ImportCase> {
protected:
    // The expected notes stay on one line.
    HeaderImport() { GEDCOMStructure::setMaximumGEDCOMLineLength(1000); }
    ~HeaderImport() override { GEDCOMStructure::setMaximumGEDCOMLineLength(lineLength_); }
    const int lineLength_ = GEDCOMStructure::maximumGEDCOMLineLength();
};

constexpr const char* kNewSource =
    "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0.3\n2 CORP Kin Co\n3 ADDR 1 Elm St\n4 CONT Town, ST 12345\n"
    "4 CONT USA\n";
constexpr const char* kGedc = "1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n";
#define KL_IMPORTED " 100% of the file (including invalid data, if present) was imported into Kinlore or Kinlore II " \
                    "(the genealogy suite for the Linux desktop) on 5 MAR 2024. More about Kinlore II is " \
                    "found at https://example.org."

TEST_P(HeaderImport, MendsLinksAndNotesTheOrigin) {
    const ImportCase& c = GetParam();
    store.add("@U1@", "SUBM");
    store.add("@U2@", "SUBM");
    store.add("@S1@", "SUBN");
    auto head = header(c.before);
    const auto message = head->verifyLinksWithIndex(store);
    EXPECT_EQ(body(*head), c.after);
    EXPECT_EQ(head->foreignGEDCOM(), c.foreign);
    EXPECT_EQ(message, c.linksFixed ? std::optional<std::string>("fixed standard links in the Header")
                                    : std::nullopt);
    EXPECT_FALSE(store.undo.canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HeaderImport,
    testing::Values(
        ImportCase{"OurOwnFileGetsTheCurrentVersionOnly",
                   "1 SOUR Kinlore II\n2 VERS 1.5\n1 SUBM @U2@\n1 SUBN @S1@\n1 GEDC\n2 VERS 5.5.1\n",
                   "1 SOUR Kinlore II\n2 VERS 2.0.3\n1 SUBM @U2@\n1 SUBN @S1@\n1 GEDC\n2 VERS 5.5.1\n", false, false},
        ImportCase{"OurOwnFileWithoutVersion", "1 SOUR Kinlore II\n2 NAME Kinlore II\n1 SUBM @U1@\n1 SUBN @S1@\n",
                   "1 SOUR Kinlore II\n2 VERS 2.0.3\n2 NAME Kinlore II\n1 SUBM @U1@\n1 SUBN @S1@\n"
                   "1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n",
                   false, false},
        ImportCase{"ForeignNameAndVersionNoCorp",
                   "1 SOUR PAF\n2 NAME Ancestral File\n2 VERS 5.2\n1 SUBM @U1@\n1 SUBN @S1@\n1 GEDC\n2 VERS 5.5.1\n",
                   "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0.3\n2 CORP Kin Co\n3 ADDR 1 Elm St\n"
                   "4 CONT Town, ST 12345\n4 CONT USA\n1 SUBM @U1@\n1 SUBN @S1@\n1 GEDC\n2 VERS 5.5.1\n"
                   "1 NOTE This GEDCOM file was originally created by Ancestral File (version 5.2)." KL_IMPORTED "\n",
                   true, false},
        ImportCase{"ForeignWithCorpAndWithoutName", "1 SOUR Tool\n2 CORP Acme\n1 SUBM @U1@\n1 SUBN @S1@\n",
                   "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0.3\n2 CORP Kin Co\n3 ADDR 1 Elm St\n"
                   "4 CONT Town, ST 12345\n4 CONT USA\n1 SUBM @U1@\n1 SUBN @S1@\n"
                   "1 NOTE This GEDCOM file was originally created by Tool (version unknown, Acme)." KL_IMPORTED
                   "\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n",
                   true, false},
        ImportCase{"NoSourceAndDanglingLinks", "1 SUBM @U9@\n1 SUBM @U2@\n1 SUBN @U1@\n1 NOTE Old note\n",
                   "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0.3\n2 CORP Kin Co\n3 ADDR 1 Elm St\n"
                   "4 CONT Town, ST 12345\n4 CONT USA\n1 SUBM @U2@\n1 NOTE Old note\n2 CONT\n"
                   "2 CONT This GEDCOM file was originally created by unknown software." KL_IMPORTED "\n"
                   "1 SUBN @S1@\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n",
                   true, true},
        ImportCase{"FirstEditionKeepsItsSourceAfterTheNewOne", "1 SOUR Kinlore\n2 VERS 1.0\n",
                   "1 SOUR Kinlore II\n2 NAME Kinlore II\n2 VERS 2.0.3\n2 CORP Kin Co\n3 ADDR 1 Elm St\n"
                   "4 CONT Town, ST 12345\n4 CONT USA\n1 SOUR Kinlore\n2 VERS 1.0\n1 SUBM @U1@\n1 SUBN @S1@\n"
                   "1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n",
                   false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeaderTest, ImportWithoutSubmitterRecordsLeavesNoLink) {
    auto head = header("1 SOUR Kinlore II\n1 SUBM @U9@\n");
    EXPECT_EQ(head->verifyLinksWithIndex(store), std::nullopt);
    EXPECT_EQ(head->mainSubmitter(), "");
    EXPECT_EQ(head->submission(), "");
}

// ---- submitter, language, place hierarchy

TEST_F(HeaderTest, MainSubmitterAcceptsOnlySubmitters) {
    store.add("@U1@", "SUBM");
    store.add("@I1@", "INDI");
    auto head = header("1 SUBM @U9@\n1 CHAR UTF-8\n");
    EXPECT_FALSE(head->setMainSubmitter("@I1@"));
    EXPECT_FALSE(head->setMainSubmitter("@U5@"));
    EXPECT_EQ(head->mainSubmitter(), "@U9@");
    store.undo.beginUndoGrouping();
    EXPECT_TRUE(head->setMainSubmitter("@U1@"));
    store.undo.endUndoGrouping();
    EXPECT_EQ(body(*head), "1 CHAR UTF-8\n1 SUBM @U1@\n");
    store.undo.undo();
    EXPECT_EQ(body(*head), "1 SUBM @U9@\n1 CHAR UTF-8\n");
}

TEST_F(HeaderTest, DroppingASubmitterReplacesTheMainOneOnce) {
    auto u1 = store.add("@U1@", "SUBM");
    auto u2 = store.add("@U2@", "SUBM");
    auto head = header("1 SUBM @U1@\n");
    EXPECT_EQ(head->drop(u1), "The dropped Submitted record is already the main submitted.");
    EXPECT_EQ(head->drop(u2), std::nullopt);
    EXPECT_EQ(body(*head), "1 SUBM @U2@\n");
}

TEST_F(HeaderTest, LanguageAndPlaceHierarchyAreCreatedOrChanged) {
    auto head = header("1 CHAR UTF-8\n1 PLAC\n2 _X y\n");
    EXPECT_EQ(head->placeHierarchy(), "");
    head->setLanguage("English");
    head->setLanguage("German");
    head->setPlaceHierarchy("City, County");
    EXPECT_EQ(body(*head), "1 CHAR UTF-8\n1 PLAC\n2 _X y\n2 FORM City, County\n1 LANG German\n");
    EXPECT_EQ(head->language(), "German");
    EXPECT_EQ(head->placeHierarchy(), "City, County");

    auto bare = header("");
    bare->setPlaceHierarchy("Town");
    EXPECT_EQ(body(*bare), "1 PLAC\n2 FORM Town\n");
}

// ---- home records

class HomeRecords : public HeaderTest {
protected:
    std::shared_ptr<HEADRecord> headerWithHomes(int count) {
        std::string lines = "1 CHAR UTF-8\n";
        for (int i = 1; i <= 12; ++i) store.add("@I" + std::to_string(i) + "@", "INDI");
        for (int i = 1; i <= count; ++i) lines += "1 _HME @I" + std::to_string(i) + "@\n";
        return header(lines);
    }
    std::vector<std::string> homes(HEADRecord& head) {
        std::vector<std::string> ids;
        for (int i = 0; !head.homeRecordAtIndex(i).empty(); ++i) ids.push_back(head.homeRecordAtIndex(i));
        return ids;
    }
};

TEST_F(HomeRecords, SettingWithElevenKeepsElevenNewestFirst) {
    auto head = headerWithHomes(11);
    const std::string before = body(*head);
    store.undo.beginUndoGrouping();
    ASSERT_TRUE(head->setHomeRecord("@I12@"));
    store.undo.endUndoGrouping();
    const std::vector<std::string> expected{"@I12@", "@I1@", "@I2@", "@I3@", "@I4@", "@I5@",
                                            "@I6@",  "@I7@", "@I8@", "@I9@", "@I10@"};
    EXPECT_EQ(homes(*head), expected);
    EXPECT_EQ(head->homeRecord(), "@I12@");
    store.undo.undo();
    EXPECT_EQ(body(*head), before);
}

TEST_F(HomeRecords, SettingAHomeAlreadyListedMovesItToTheTop) {
    auto head = headerWithHomes(11);
    ASSERT_TRUE(head->setHomeRecord("@I5@"));
    const std::vector<std::string> expected{"@I5@", "@I1@", "@I2@", "@I3@", "@I4@", "@I6@",
                                            "@I7@", "@I8@", "@I9@", "@I10@", "@I11@"};
    EXPECT_EQ(homes(*head), expected);
}

TEST_F(HomeRecords, UnknownRecordsAreRefused) {
    auto head = headerWithHomes(2);
    const std::string before = body(*head);
    EXPECT_FALSE(head->setHomeRecord("@I99@"));
    EXPECT_EQ(body(*head), before);
}

TEST_F(HomeRecords, IndexesOutsideTheListAnswerEmpty) {
    auto head = headerWithHomes(2);
    for (int index : {-1, 2, 100}) EXPECT_EQ(head->homeRecordAtIndex(index), "") << index;
    EXPECT_EQ(head->homeRecordAtIndex(1), "@I2@");
}

TEST_F(HomeRecords, DroppingWithElevenKeepsElevenDroppedLast) {
    auto head = headerWithHomes(11);
    EXPECT_EQ(head->drop(store.records["@I12@"]), std::nullopt);
    auto ids = homes(*head);
    ASSERT_EQ(ids.size(), 11u);
    EXPECT_EQ(ids.front(), "@I1@");
    EXPECT_EQ(ids[9], "@I10@");
    EXPECT_EQ(ids.back(), "@I12@");
}

TEST_F(HomeRecords, DroppingEachHomeKindAppendsOrRefusesTheListedOne) {
    auto head = headerWithHomes(1);
    for (const char* type : {"FAM", "SOUR", "NOTE", "OBJE", "REPO", "_LOG"}) {
        auto record = store.add(std::string("@X") + type + "@", type);
        EXPECT_EQ(head->drop(record), std::nullopt) << type;
        EXPECT_EQ(head->drop(record), "The dropped " + std::string(type) + " record is already the home record.");
    }
    EXPECT_EQ(head->drop(store.records["@I1@"]), "The dropped INDI record is already the home record.");
    EXPECT_EQ(homes(*head).size(), 7u);
    EXPECT_EQ(homes(*head).back(), "@X_LOG@");
}

TEST_F(HomeRecords, MenuShowsNoneForMissingRecordsAndStopsAtEleven) {
    auto head = headerWithHomes(0);
    head->reparse("0 HEAD\n1 _HME @I1@\n1 _HME @GONE@\n"
                  "1 _HME @I2@\n1 _HME @I3@\n1 _HME @I4@\n1 _HME @I5@\n1 _HME @I6@\n1 _HME @I7@\n"
                  "1 _HME @I8@\n1 _HME @I9@\n1 _HME @I10@\n1 _HME @I11@\n");
    const auto titles = head->homeRecordsMenuTitles();
    ASSERT_EQ(titles.size(), 11u);
    EXPECT_EQ(titles[0], store.records["@I1@"]->viewName());
    EXPECT_EQ(titles[1], "-none-");
    EXPECT_EQ(titles[10], store.records["@I10@"]->viewName());

    auto few = header("1 _HME @I1@\n");
    const auto short_ = few->homeRecordsMenuTitles();
    ASSERT_EQ(short_.size(), 11u);
    EXPECT_EQ(short_[1], "-none-");
    EXPECT_EQ(short_[10], "-none-");
}

// ---- the header itself

TEST_F(HeaderTest, WritesItsOwnLineAndRefusesDeletion) {
    auto head = header("1 CHAR UTF-8\n");
    EXPECT_EQ(head->gedcomString(), "0 HEAD\n1 CHAR UTF-8\n");
    EXPECT_EQ(head->canBeDeleted(0), "you cannot delete the header");
    EXPECT_EQ(head->viewName(), "Header Record");
    for (const char* type : {"SUBM", "INDI", "FAM"}) EXPECT_TRUE(head->canLinkTo(type)) << type;
    for (const char* type : {"SOUR", "NOTE", "HEAD"}) EXPECT_FALSE(head->canLinkTo(type)) << type;
}

TEST_F(HeaderTest, TidyingFoldsContinuationsOnlyWhenUndamaged) {
    for (bool damaged : {false, true}) {
        auto head = std::make_shared<HEADRecord>();
        head->addLevel(1, "NOTE", "one");
        head->addLevel(2, "CONC", "two");
        head->addLevel(2, "CONT", "three");
        head->addLevel(1, "_EMPTY", "");
        if (damaged) head->setCorruptBit(CorruptInvalidTag);
        head->simplifyGEDCOMInMode(0);
        EXPECT_EQ(head->findChild("NOTE", false)->contents(), damaged ? "one" : "onetwo\nthree");
        EXPECT_TRUE(head->findChild("_EMPTY", false)) << "a header keeps its empty lines";
    }
}

class NewHeaderText : public testing::Test {
protected:
    ~NewHeaderText() override { ResourceFolder::setFolder({}); }
};

TEST_F(NewHeaderText, ComesFromTheShippedResource) {
    ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
    HEADRecord head;
    const std::string text = head.textForNewRecord(false);
    EXPECT_EQ(text.rfind("1 SOUR Kinlore II\n", 0), 0u) << text;
    EXPECT_NE(text.find("1 CHAR UTF-8"), std::string::npos);
    EXPECT_NE(text.back(), '\n');

    auto parsed = std::make_shared<HEADRecord>();
    ASSERT_TRUE(parsed->reparse("0 HEAD\n" + text + "\n"));
    EXPECT_EQ(parsed->corrupt(), 0u);
}

TEST_F(NewHeaderText, FallsBackToOneLineWhenTheResourceIsMissing) {
    ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "no-such-folder");
    EXPECT_EQ(HEADRecord().textForNewRecord(false), "1 SOUR Kinlore II");
}

}  // namespace
}  // namespace kl::test
