// What an import keeps: bare event and flag lines, the text of level-0
// lines, records of a custom tag without an ID, lines hanging below folded
// continuation lines, a note that starts with a break, and tabs in values.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "document/RecordsList.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"
#include "support/Corpus.h"

#include <cctype>
#include <set>

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;

// Imports `records` between a header and a trailer; the fixture holds the
// opened document.
void importRecords(DocumentFixture& f, const std::string& records) {
    ScratchFolder scratch;
    test::writeFile(scratch / "in.ged", "0 HEAD\n1 CHAR UTF-8\n0 @U1@ SUBM\n1 NAME Nobody\n" + records + "0 TRLR\n");
    std::string error;
    ASSERT_TRUE(f.import(scratch / "in.ged", &error)) << error;
}

struct KeptCase {
    const char* name;
    const char* records;
    const char* written;  // must appear in the saved text as it stands
};

class KeptOnImport : public testing::TestWithParam<KeptCase> {};

TEST_P(KeptOnImport, IsWrittenBackAsRead) {
    DocumentFixture f;
    importRecords(f, GetParam().records);
    const std::string saved = test::recordsText(*f.document);
    EXPECT_NE(saved.find(GetParam().written), std::string::npos) << saved;
    EXPECT_EQ(f.document->gedcomModel().recordsIndex().listForType(RecordsIndices::kCorrupted), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeptOnImport,
    testing::Values(
        KeptCase{"BareMarriageBetweenChildren",
                 "0 @I1@ INDI\n1 FAMC @F1@\n0 @I2@ INDI\n1 FAMC @F1@\n"
                 "0 @F1@ FAM\n1 CHIL @I1@\n1 MARR\n1 CHIL @I2@\n",
                 "0 @F1@ FAM\n1 CHIL @I1@\n1 MARR\n1 CHIL @I2@\n"},
        KeptCase{"BareBirthDeathAndFlag", "0 @I1@ INDI\n1 BIRT\n1 DEAT\n1 _PRIVATE\n",
                 "0 @I1@ INDI\n1 BIRT\n1 DEAT\n1 _PRIVATE\n"},
        KeptCase{"TextAfterACustomType", "0 @T1@ _TEXT A B C\n1 _X y\n", "0 @T1@ _TEXT A B C\n1 _X y\n"},
        KeptCase{"TextAfterAnIDlessCustomTag", "0 _MYOWNTAG This is a non-standard tag\n",
                 "0 _MYOWNTAG This is a non-standard tag\n"},
        KeptCase{"IDlessCustomTagAfterTwoBlanks", "0  _PLAC_DEFN\n1 PLAC Somewhere\n",
                 "0 _PLAC_DEFN\n1 PLAC Somewhere\n"},
        KeptCase{"TabInsideAValue", "0 @I1@ INDI\n1 TITL a\tb\n1\tOCCU\tweaver\n",
                 "1 TITL a\tb\n1 OCCU weaver\n"},
        KeptCase{"CitationUnderAFoldedNoteLine", "0 @S6@ SOUR\n0 @N1@ NOTE first\n1 CONC  second\n1 CONC \n2 SOUR @S6@\n",
                 "0 @N1@ NOTE\n1 CONC first second\n1 SOUR @S6@\n"},
        KeptCase{"CitationUnderAFoldedStructureLine", "0 @S6@ SOUR\n0 @I1@ INDI\n1 NOTE a\n2 CONC b\n3 SOUR @S6@\n",
                 "1 SOUR @S6@\n"},
        KeptCase{"ContinuationUnderAFoldedLine", "0 @N1@ NOTE a\n1 CONC b\n2 CONT c\n1 CONT d\n",
                 "0 @N1@ NOTE\n1 CONC ab\n1 CONT c\n1 CONT d\n"},
        KeptCase{"NoteStartingWithABreak", "0 @N1@ NOTE\n1 CONT first\n1 CONT second\n",
                 "0 @N1@ NOTE\n1 CONC\n1 CONT first\n1 CONT second\n"}),
    [](const testing::TestParamInfo<KeptCase>& info) { return std::string(info.param.name); });

TEST(ImportKeeps, IDlessCustomRecordsAreListedUnderTheirTagInFileOrder) {
    DocumentFixture f;
    importRecords(f, "0 _EVENT_DEFN Census record\n1 _X 1\n0 _EVENT_DEFN Probate\n0 _EVENT_DEFN Will\n");
    const auto& index = f.document->gedcomModel().recordsIndex();
    auto list = index.listForType("_EVENT_DEFN");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 3u);
    std::vector<std::string> texts;
    for (const auto& record : list->order()) texts.push_back(record->recordText());
    EXPECT_EQ(texts, (std::vector<std::string>{"Census record", "Probate", "Will"}));
    EXPECT_EQ(index.listForType(RecordsIndices::kCorrupted), nullptr);
    EXPECT_NE(test::recordsText(*f.document).find(
                  "0 _EVENT_DEFN Census record\n1 _X 1\n0 _EVENT_DEFN Probate\n0 _EVENT_DEFN Will\n"),
              std::string::npos);
}

// Identifiers added by a read: one random one per record, last, in the
// upper-case 8-4-4-4-12 form, nothing to undo, and the read says so.
TEST(ImportKeeps, EveryRecordGetsItsOwnIdentifier) {
    const bool before = GEDCOMRecord::insertingUUIDs();
    GEDCOMRecord::setInsertingUUIDs(true);
    DocumentFixture f;
    importRecords(f, "0 @I1@ INDI\n1 NAME A\n0 @I2@ INDI\n0 @F1@ FAM\n1 CHIL @I1@\n");
    GEDCOMRecord::setInsertingUUIDs(before);
    std::set<std::string> seen;
    for (const char* id : {"@I1@", "@I2@", "@F1@", "@U1@"}) {
        auto record = f.document->gedcomModel().recordWithID(id);
        ASSERT_TRUE(record) << id;
        ASSERT_FALSE(record->structures().empty());
        const auto& last = record->structures().back();
        EXPECT_EQ(last->gtag(), "_KLID") << id;
        EXPECT_EQ(last->glevel(), 1);
        const std::string& uuid = last->contents();
        ASSERT_EQ(uuid.size(), 36u) << uuid;
        for (size_t i = 0; i < uuid.size(); ++i) {
            const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
            EXPECT_TRUE(dash ? uuid[i] == '-' : std::isxdigit(static_cast<unsigned char>(uuid[i])) && !std::islower(uuid[i]))
                << uuid;
        }
        EXPECT_EQ(uuid[14], '4') << uuid;
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_FALSE(f.document->undoManager()->canUndo());
    EXPECT_NE(f.document->readWriteMessage().value_or("").find("inserted UUIDs as needed"), std::string::npos);
}

TEST(ImportKeeps, TheFilesOfOtherProgramsKeepTheirCitationAndLeadingBreak) {
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(test::corpusFolder() / "gedcom-parse" / "compat-easytree-2.ged", &error)) << error;
    auto note = f.document->gedcomModel().recordWithID("@N42@");
    ASSERT_TRUE(note);
    auto citation = note->firstChildWithTag("SOUR");
    ASSERT_TRUE(citation);
    EXPECT_EQ(citation->contents(), "@S6@");
    EXPECT_EQ(citation->glevel(), 1);

    ASSERT_TRUE(f.import(test::corpusFolder() / "gedcom-parse" / "compat-ftree.ged", &error)) << error;
    auto ftree = std::dynamic_pointer_cast<NOTERecord>(f.document->gedcomModel().recordWithID("@N0001@"));
    ASSERT_TRUE(ftree);
    EXPECT_EQ(ftree->notesText(), "\nTook surname Mountbatten in March 1947\nKnown as \"Phil the Greek\"");
}

}  // namespace
}  // namespace kl
