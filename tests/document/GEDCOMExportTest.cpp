// Whole-file exports and album subsets: the fixed type order ending in
// "0 TRLR", stored reports never written, the effect of each export flag
// bit, the closure of an album subset with links to left-out records
// stripped, thumbnails after multimedia records, and stopping.
#include <gtest/gtest.h>

#include <algorithm>

#include "StoreTestSupport.h"
#include "document/GEDCOMModel.h"
#include "document/GEDCOMTextScan.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

// A document that keeps thumbnails and package dictionaries and can stop
// the work in progress.
class ExportDocument : public test::FakeDocument {
public:
    int readWriteStatus() override { return status; }
    std::optional<std::string> getThumbnail(const std::string& recordID) override {
        auto found = thumbnails.find(recordID);
        return found == thumbnails.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    std::optional<Dictionary> dictionaryOfAttributes() override { return Dictionary{{"Encoding", 4}}; }
    std::optional<Dictionary> dictionaryOfSettings(const std::string& type) override {
        return Dictionary{{"Type", type}};
    }

    int status = 0;
    std::map<std::string, std::string> thumbnails;
};

constexpr const char* kDatabase =
    "0 HEAD\n1 SOUR Kinlore II\n1 SUBM @U1@\n1 SUBN @SB1@\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n"
    "0 @U1@ SUBM\n1 NAME Submitter\n"
    "0 @U2@ SUBM\n1 NAME Second submitter\n"
    "0 @SB1@ SUBN\n"
    "0 @I1@ INDI\n1 NAME John /Smith/\n1 FAMS @F1@\n1 FAMC @F2@\n1 BIRT\n2 PLAC Boston\n1 NOTE @N1@\n1 ASSO @I9@\n"
    "0 @I2@ INDI\n1 NAME Mary /Jones/\n1 FAMS @F1@\n1 _LOG @L1@\n"
    "0 @I3@ INDI\n1 NAME Kid /Smith/\n1 FAMC @F1@\n2 PEDI birth\n1 FAMS @F3@\n1 SOUR @S1@\n"
    "0 @I4@ INDI\n1 NAME Old /Smith/\n1 FAMS @F2@\n"
    "0 @I9@ INDI\n1 NAME Friend /Other/\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 OBJE @O1@\n"
    "0 @F2@ FAM\n1 HUSB @I4@\n1 CHIL @I1@\n"
    "0 @F3@ FAM\n1 HUSB @I3@\n"
    "0 @S1@ SOUR\n1 TITL Census\n1 REPO @R1@\n1 NOTE @N3@\n"
    "0 @R1@ REPO\n1 NAME Archive\n"
    "0 @N1@ NOTE First\n1 NOTE @N2@\n"
    "0 @N2@ NOTE Second <!--CSS @O2@ -->\n"
    "0 @N3@ NOTE Third\n"
    "0 @N4@ NOTE Media note\n"
    "0 @O1@ OBJE\n1 FILE a.jpg\n1 NOTE @N4@\n"
    "0 @O2@ OBJE\n1 FILE b.jpg\n"
    "0 @L1@ _LOG\n1 TITL Research\n"
    "0 @P1@ _PLC\n1 _PLACE Boston\n"
    "0 @B1@ _BOK\n1 TITL Book\n"
    "0 @X1@ _CUST\n1 NOTE custom\n"
    "0 @GR1@ _RPT\n1 TITL Report\n"
    "0 @I1@ INDI\n1 NAME Duplicate\n"
    "0 TRLR\n";

// The level-0 lines of a text as "ID TYPE" (or the tag alone).
std::vector<std::string> recordLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (text.compare(at, 2, "0 ") == 0) out.push_back(text.substr(at + 2, end - at - 2));
        at = end + 1;
    }
    return out;
}

bool hasRecord(const std::string& text, const std::string& id) {
    const auto lines = recordLines(text);
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(id + " "); });
}

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        undo().disableUndoRegistration();
        model.setInputGed(kDatabase);
        model.setRecordsFromStringVerifyIDs(true, false);
        GEDCOMModel::setLineEnding("\n");
    }
    void TearDown() override {
        GEDCOMModel::setExportFlags(0);
        GEDCOMModel::setLineEnding("\n");
    }
    UndoManager& undo() { return document.undo; }
    RecordPtr record(const std::string& id) { return model.recordsIndex().recordWithID(id); }
    std::shared_ptr<RecordsList> album(const std::vector<std::string>& ids) {
        auto list = model.recordsIndex().addList("User Album 77", nullptr);
        for (const auto& id : ids) list->mutableOrder().push_back(record(id));
        return list;
    }
    long albumIndexOf(const std::shared_ptr<RecordsList>& list) {
        const auto all = model.recordsIndex().albums();
        return std::find(all.begin(), all.end(), list) - all.begin() + 1;
    }
    std::string subset(const std::vector<std::string>& ids, uint32_t flags,
                       std::optional<GEDCOMModel::IDTypes>* written = nullptr) {
        std::vector<RecordPtr> records;
        for (const auto& id : ids) records.push_back(record(id));
        std::string text;
        auto answer = model.getSubset(records, text, flags, false);
        if (written) *written = answer;
        return text;
    }

    ExportDocument document;
    GEDCOMModel model{&document};
};

TEST_F(ExportTest, WholeFileFollowsTheTypeOrderAndEndsWithTrailer) {
    const std::string text = model.getGEDCOMStringForExport(0, 0, "/tmp/out.ged");
    const std::vector<std::string> expected{
        "HEAD",        "@SB1@ SUBN", "@U1@ SUBM", "@U2@ SUBM",  "@I1@ INDI", "@I2@ INDI", "@I3@ INDI",
        "@I4@ INDI",   "@I9@ INDI",  "@F1@ FAM",  "@F2@ FAM",   "@F3@ FAM",  "@S1@ SOUR", "@R1@ REPO",
        "@N1@ NOTE",   "@N2@ NOTE",  "@N3@ NOTE", "@N4@ NOTE",
        "@O1@ OBJE",   "@O2@ OBJE",  "@L1@ _LOG", "@P1@ _PLC",  "@B1@ _BOK", "@X1@ _CUST", "@I1@ INDI",
        "TRLR"};
    EXPECT_EQ(recordLines(text), expected) << "the duplicate ID comes once, after the user-defined type";
    EXPECT_TRUE(text.ends_with("0 TRLR\n"));
    EXPECT_EQ(text.find("_RPT"), std::string::npos) << "stored reports are never written";
    EXPECT_NE(text.find("1 FILE out.ged\n"), std::string::npos) << "the header names the target file";
    EXPECT_EQ(model.recordsDone(), static_cast<int32_t>(model.recordsIndex().numberOfRecords()));
}

TEST_F(ExportTest, TrailerTakesTheClassWideLineEnding) {
    GEDCOMModel::setLineEnding("\r\n");
    const std::string text = model.getGEDCOMStringForExport(0, 0, "");
    EXPECT_TRUE(text.ends_with("\r\n0 TRLR\r\n"));
}

TEST_F(ExportTest, MisorderedRecordIsWrittenOnceInItsList) {
    ExportDocument doc;
    GEDCOMModel other{&doc};
    doc.undo.disableUndoRegistration();
    other.setInputGed("0 HEAD\n0 @I1@ INDI\n2 DATE 1900\n1 NAME A\n0 @I2@ INDI\n0 TRLR\n");
    other.setRecordsFromStringVerifyIDs(true, false);
    ASSERT_NE(other.recordWithID("@I1@")->corrupt(), 0u);
    const auto lines = recordLines(other.getGEDCOMStringForExport(0, 0, ""));
    EXPECT_EQ(lines, (std::vector<std::string>{"HEAD", "@I1@ INDI", "@I2@ INDI", "TRLR"}));
}

struct FlagCase {
    const char* name;
    uint32_t flags;
    std::vector<std::string> absent;
    std::vector<std::string> present;
};

class ExportFlagTest : public ExportTest, public testing::WithParamInterface<FlagCase> {};

TEST_P(ExportFlagTest, EachBitChangesTheWholeFile) {
    document.thumbnails["@O1@"] = "JPEG";
    const FlagCase& c = GetParam();
    const std::string text = model.getGEDCOMStringForExport(c.flags, 0, "");
    for (const auto& a : c.absent) EXPECT_EQ(text.find(a), std::string::npos) << a;
    for (const auto& p : c.present) EXPECT_NE(text.find(p), std::string::npos) << p;
    EXPECT_EQ(GEDCOMModel::exportFlags(), c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Bits, ExportFlagTest,
    testing::Values(
        FlagCase{"None", 0, {"_NSDATA", "2 VERS 5.5\n"}, {"0 @L1@ _LOG", "0 @O1@ OBJE", "0 @P1@ _PLC", "0 @B1@ _BOK"}},
        FlagCase{"Logs", 1, {"0 @L1@ _LOG"}, {"1 _LOG @L1@", "0 @O1@ OBJE"}},
        FlagCase{"Embedded", 2, {"0 @O1@ OBJE", "0 @O2@ OBJE"}, {"2 VERS 5.5.1", "0 @N4@ NOTE"}},
        FlagCase{"Embedded55", 8, {"0 @O1@ OBJE", "2 VERS 5.5.1"}, {"2 VERS 5.5\n"}},
        FlagCase{"Places", 16, {"0 @P1@ _PLC"}, {"2 PLAC Boston", "0 @B1@ _BOK"}},
        FlagCase{"Books", 32, {"0 @B1@ _BOK"}, {"0 @P1@ _PLC"}},
        FlagCase{"Settings", 64, {"Thumbnail"}, {"1 _NSDATA Attributes =", "1 _NSDATA Settings ="}},
        FlagCase{"Thumbnails", 128, {}, {"0 @O1@ OBJE\n1 FILE a.jpg\n1 NOTE @N4@\n1 _NSDATA Thumbnail = \n2 CONC SlBFRw==\n0 @O2@ OBJE"}},
        FlagCase{"ThumbnailsEmbedded", 130, {"Thumbnail"}, {}}),
    [](const testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

TEST_F(ExportTest, SettingsRideInTheHeader) {
    const std::string text = model.getGEDCOMStringForExport(64, 0, "");
    const auto attributes = text.find("1 _NSDATA Attributes =");
    ASSERT_NE(attributes, std::string::npos);
    EXPECT_LT(attributes, text.find("0 @SB1@ SUBN")) << "part of the header record";
}

// ---- album subsets

TEST_F(ExportTest, FamilyBringsItsMembersAndComesAfterThem) {
    std::optional<GEDCOMModel::IDTypes> written;
    const std::string text = subset({"@F1@"}, 0, &written);
    const auto lines = recordLines(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"@I1@ INDI", "@I2@ INDI", "@I3@ INDI", "@F1@ FAM"}));
    for (const char* id : {"@F2@", "@F3@", "@I4@", "@I9@", "HEAD", "@U1@"}) EXPECT_FALSE(hasRecord(text, id)) << id;
    ASSERT_TRUE(written);
    EXPECT_EQ(written->at("@F1@"), "FAM");
    EXPECT_EQ(written->at("@I3@"), "INDI");
}

TEST_F(ExportTest, LinksToLeftOutRecordsAreStripped) {
    const std::string text = subset({"@F1@"}, 0);
    EXPECT_EQ(text.find("1 FAMC @F2@"), std::string::npos);
    EXPECT_EQ(text.find("1 FAMS @F3@"), std::string::npos);
    EXPECT_EQ(text.find("1 ASSO @I9@"), std::string::npos);
    EXPECT_NE(text.find("1 FAMC @F1@\n2 PEDI birth\n"), std::string::npos) << "kept links keep their lines";
    EXPECT_NE(text.find("1 CHIL @I3@"), std::string::npos);
}

TEST_F(ExportTest, FamilyJoinsOnlyWhenTwoExportedIndividualsLinkToIt) {
    const std::string both = subset({"@I1@", "@I4@"}, 0);
    EXPECT_TRUE(hasRecord(both, "@F2@")) << "I1 and I4 both link to F2";
    EXPECT_FALSE(hasRecord(both, "@F1@"));
    EXPECT_TRUE(both.find("0 @F2@ FAM") > both.find("0 @I4@ INDI"));
    const std::string one = subset({"@I1@"}, 0);
    EXPECT_FALSE(hasRecord(one, "@F2@"));
    EXPECT_EQ(one.find("FAMC"), std::string::npos);
}

TEST_F(ExportTest, LinkedRecordsFollowTransitively) {
    struct Case {
        std::vector<std::string> album;
        std::vector<std::string> present;
    };
    const Case cases[] = {
        {{"@I1@"}, {"@N1@", "@N2@", "@P1@", "@O2@"}},  // a note's note, a place, an object named in CSS
        {{"@I3@"}, {"@S1@", "@R1@", "@N3@"}},          // a source's repository and note
        {{"@F1@"}, {"@O1@", "@N4@", "@L1@"}},          // an object's note; a member's log
    };
    for (const Case& c : cases) {
        const std::string text = subset(c.album, 0);
        for (const auto& id : c.present) EXPECT_TRUE(hasRecord(text, id)) << c.album[0] << " needs " << id;
    }
}

TEST_F(ExportTest, SubsetFlagBits) {
    struct Case {
        const char* name;
        uint32_t flags;
        std::vector<std::string> album;
        std::vector<std::string> absent;
        std::vector<std::string> present;
    };
    document.thumbnails["@O1@"] = "JPEG";
    const Case cases[] = {
        {"logs", 1, {"@I2@", "@L1@"}, {"@L1@"}, {"@I2@"}},
        {"embedded", 2, {"@F1@", "@O2@"}, {"@O1@", "@O2@"}, {"@N4@"}},
        {"embedded55", 8, {"@F1@"}, {"@O1@"}, {"@N4@"}},
        {"header", 4, {"@I4@"}, {"@U2@", "@SB1@"}, {"HEAD", "@U1@"}},
        {"places", 16, {"@I1@", "@P1@"}, {"@P1@"}, {"@I1@"}},
        {"books", 32, {"@B1@", "@I4@"}, {"@B1@"}, {"@I4@"}},
        {"reports", 0, {"@GR1@", "@I4@"}, {"@GR1@"}, {"@I4@"}},
    };
    for (const Case& c : cases) {
        const std::string text = subset(c.album, c.flags);
        for (const auto& id : c.absent) EXPECT_FALSE(hasRecord(text, id)) << c.name << " " << id;
        for (const auto& id : c.present) EXPECT_TRUE(id == "HEAD" ? text.starts_with("0 HEAD") : hasRecord(text, id))
            << c.name << " " << id;
    }
    EXPECT_EQ(subset({"@I4@"}, 4).find("1 SUBN @SB1@"), std::string::npos) << "the header's link to SB1 is stripped";
}

TEST_F(ExportTest, ThumbnailsFollowObjectsInASubset) {
    document.thumbnails["@O1@"] = "JPEG";
    const std::string linked = subset({"@F1@"}, 128);
    EXPECT_NE(linked.find("0 @O1@ OBJE\n1 FILE a.jpg\n1 NOTE @N4@\n1 _NSDATA Thumbnail = \n"), std::string::npos);
    const std::string listed = subset({"@O1@"}, 128);
    EXPECT_TRUE(listed.starts_with("0 @O1@ OBJE\n1 FILE a.jpg\n1 NOTE @N4@\n1 _NSDATA Thumbnail = \n"));
    EXPECT_EQ(subset({"@O2@"}, 128).find("Thumbnail"), std::string::npos) << "no stored thumbnail, none written";
}

TEST_F(ExportTest, AlbumExportEndsWithTrailerAndCountsTwiceTheAlbum) {
    auto list = album({"@F1@"});
    const std::string text = model.getGEDCOMStringForExport(4, albumIndexOf(list), "/x/y.ged");
    EXPECT_TRUE(text.starts_with("0 HEAD\n"));
    EXPECT_TRUE(text.ends_with("0 TRLR\n"));
    EXPECT_TRUE(hasRecord(text, "@I3@"));
    EXPECT_EQ(text.find("1 FILE y.ged"), std::string::npos) << "a subset's header is not stamped";
    EXPECT_DOUBLE_EQ(model.fractionDone(), 6.0 / 2.0) << "header, submitter, three members and the family over 2";
}

TEST_F(ExportTest, StoppedSubsetAnswersNothing) {
    document.status = 3;
    std::optional<GEDCOMModel::IDTypes> written;
    const std::string text = subset({"@F1@", "@I4@"}, 4, &written);
    EXPECT_FALSE(written);
    EXPECT_TRUE(text.empty());
    const std::string whole = model.getGEDCOMStringForExport(0, 0, "");
    EXPECT_FALSE(hasRecord(whole, "@I1@")) << "the list loops stop";
    EXPECT_TRUE(whole.ends_with("0 TRLR\n"));
}

// Only a cancel stops the writers: a document that is idle after a read or
// a save (done or failed) exports everything.
TEST_F(ExportTest, IdleDocumentsWriteEverything) {
    for (int status : {0, 1, 2}) {
        document.status = status;
        const std::string whole = model.getGEDCOMStringForExport(0, 0, "");
        EXPECT_TRUE(hasRecord(whole, "@I1@")) << "status " << status;
        EXPECT_TRUE(hasRecord(whole, "@X1@")) << "status " << status;
        std::optional<GEDCOMModel::IDTypes> written;
        EXPECT_FALSE(subset({"@F1@"}, 4, &written).empty()) << "status " << status;
        EXPECT_TRUE(written) << "status " << status;
    }
}

// ---- text scanning

TEST(GEDCOMTextScanTest, RemovesLinkLinesWithTheirDeeperLines) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const GEDCOMTextScan::IDTypes kept{{"@F1@", "FAM"}};
    const Case cases[] = {
        {"LF", "0 @I1@ INDI\n1 FAMC @F2@\n2 PEDI birth\n1 FAMC @F1@\n1 NAME A\n",
         "0 @I1@ INDI\n1 FAMC @F1@\n1 NAME A\n"},
        {"CRLF", "0 @I1@ INDI\r\n1 FAMC @F2@\r\n2 PEDI x\r\n1 NAME A\r\n", "0 @I1@ INDI\r\n1 NAME A\r\n"},
        {"CR", "0 @I1@ INDI\r1 FAMC @F2@\r1 NAME A\r", "0 @I1@ INDI\r1 NAME A\r"},
        {"LastLine", "0 @I1@ INDI\n1 FAMC @F2@", "0 @I1@ INDI\n"},
        {"NotATagLine", "0 @N1@ NOTE see FAMC @F2@ here\n1 CONT a FAMC @F2@ b\n",
         "0 @N1@ NOTE see FAMC @F2@ here\n1 CONT a FAMC @F2@ b\n"},
        {"NoValueBlank", "1 FAMC\n2 X\n", "1 FAMC\n2 X\n"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        GEDCOMTextScan::removeCustomLinkTags("FAMC", text, &kept);
        EXPECT_EQ(text, c.expected) << c.name;
    }
    std::string all = "1 _LOG @L1@\n2 NOTE x\n1 NAME A\n";
    GEDCOMTextScan::removeCustomLinkTags("_LOG", all, nullptr);
    EXPECT_EQ(all, "1 NAME A\n");
}

TEST(GEDCOMTextScanTest, FindsNeedlesUpToTheTextsEnds) {
    struct Case {
        const char* name;
        std::string_view text;
        std::string_view what;
        std::size_t from;
        std::size_t exact;     // find
        std::size_t caseless;  // findCaseless
    };
    constexpr auto npos = std::string_view::npos;
    const Case cases[] = {
        {"AtStart", " FILE a", " FILE ", 0, 0, 0},
        {"AtEnd", "1 X\n2 FILE ", " FILE ", 0, 5, 5},
        {"FromPastIt", "2 FILE a 2 FILE b", " FILE ", 2, 10, 10},
        {"FromAtEnd", "2 FILE ", " FILE ", 7, npos, npos},
        {"FromBeyondEnd", "2 FILE ", " FILE ", 9, npos, npos},
        {"LongerThanText", "FILE", " FILE ", 0, npos, npos},
        {"OtherCase", "x <!--css @O1@ -->", "<!--CSS", 0, npos, 2},
        {"LetterFirst", "a FiLe b", "file", 0, npos, 2},
        {"LastOfSeveral", "<!- <!-- <!--Css", "<!--CSS", 1, npos, 9},
        {"OneCharacter", "1 NAME\n2 X", "\n", 0, 6, 6},
        {"RepeatsInNeedle", "aaaab aab", "aab", 0, 2, 2},
        {"AfterAPartialMatch", "\n2 PLA\n2 PLAC x", "\n2 PLAC ", 0, 6, 6},
        {"BytesAboveASCII", "2 PLAC Z\xC3\xBCrich\n2 PLAC \xC3\xBC", "PLAC \xC3\xBC", 1, 17, 17},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GEDCOMTextScan::find(c.text, c.what, c.from), c.exact) << c.name;
        EXPECT_EQ(GEDCOMTextScan::findCaseless(c.text, c.what, c.from), c.caseless) << c.name;
    }
}

TEST(GEDCOMTextScanTest, CollectsLinksAndCSSReferences) {
    const GEDCOMTextScan::IDTypes known{{"@N1@", "NOTE"}};
    const std::string text = "1 NOTE @N1@\n2 NOTE @N2@\n1 NOTE inline text\n0 @N5@ NOTE @N3@\n1 NOTE @N2@\n";
    EXPECT_EQ(GEDCOMTextScan::getLinks("NOTE", text, known),
              (std::vector<std::string>{"@N2@", "inline text", "@N2@"}));
    const std::string html = "x <!--css  @O1@ --> y <!--CSS @N1@--> <!--CSS--> <!--CSS @O2@";
    EXPECT_EQ(GEDCOMTextScan::getCSSLinksInData(html, known), (std::vector<std::string>{"@O1@", ""}));
}

}  // namespace
}  // namespace kl
