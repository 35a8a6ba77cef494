// Reading GEDCOM text into the store: records by tag into their lists,
// damaged records kept with their damage bits, duplicates and extra headers
// only under "Corrupted", empty lists trimmed, albums filled from IDs.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/RecordsList.h"
#include "foundation/Exception.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::StoreFixture;

TEST(RecordStoreReading, DuplicateIDLeavesTheSecondRecordOnlyInCorrupted) {
    StoreFixture f;
    f.read("0 HEAD\n0 @I1@ INDI\n1 NAME First\n0 @I1@ INDI\n1 NAME Second\n0 TRLR\n");
    ASSERT_EQ(f.countOf("INDI"), 1u);
    auto first = f.model.recordWithID("@I1@");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->findContentsWithTag("NAME", 1), "First");
    EXPECT_EQ(first->corrupt(), 0u);
    ASSERT_EQ(f.countOf("Corrupted"), 1u);
    auto second = f.list("Corrupted")->recordWithIndex(0);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->isCorrupt(CorruptDuplicateID));
    EXPECT_EQ(second->findContentsWithTag("NAME", 1), "Second");
    EXPECT_EQ(second->model(), &f.model);
}

TEST(RecordStoreReading, SecondHeaderIsMarkedExtraAndListedOnlyUnderCorrupted) {
    StoreFixture f;
    f.read("0 HEAD\n1 CHAR UTF-8\n0 HEAD\n1 NOTE again\n0 TRLR\n");
    ASSERT_EQ(f.countOf("HEAD"), 1u);
    EXPECT_EQ(f.model.header()->findContentsWithTag("CHAR", 1), "UTF-8");
    ASSERT_EQ(f.countOf("Corrupted"), 1u);
    auto extra = f.list("Corrupted")->recordWithIndex(0);
    EXPECT_TRUE(extra->isCorrupt(CorruptExtraRecord));
    EXPECT_EQ(extra->findContentsWithTag("NOTE", 1), "again");
    EXPECT_EQ(f.list("HEAD")->listType(), ListSingleRecord);
}

struct DamageCase {
    const char* name;
    const char* record;  // the damaged record's text, written back unchanged
    uint32_t bit;
};

class DamagedRecord : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedRecord, KeepsItsBitAndIsWrittenBackLineForLine) {
    StoreFixture f;
    f.read(std::string("0 HEAD\n") + GetParam().record + "0 TRLR\n");
    ASSERT_EQ(f.countOf("Corrupted"), 1u);
    auto record = f.list("Corrupted")->recordWithIndex(0);
    EXPECT_TRUE(record->isCorrupt(GetParam().bit)) << "bits " << record->corrupt();
    EXPECT_EQ(record->gedcomString(), GetParam().record);
    // A damaged record stays in its type's list too.
    EXPECT_EQ(f.countOf(record->recordType()), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedRecord,
    testing::Values(DamageCase{"LevelJump", "0 @I1@ INDI\n1 NAME A /B/\n3 GIVN A\n", CorruptMisorderedLevels},
                    DamageCase{"NoLevel", "0 @I1@ INDI\n1 NAME A /B/\nstray text\n", CorruptMissingLevel},
                    DamageCase{"LongTag", "0 @I1@ INDI\n1 ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF x\n", CorruptInvalidTag},
                    DamageCase{"BadID", "0 @_X@ INDI\n1 NAME A\n", CorruptInvalidID}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(RecordStoreReading, CustomReferenceLinesAreDropped) {
    StoreFixture f;
    f.read("0 HEAD\n0 @N1@ NOTE text\n1 _REF @I1@\n1 CONT more\n0 TRLR\n");
    auto note = f.model.recordWithID("@N1@");
    ASSERT_TRUE(note);
    EXPECT_FALSE(note->findStructureWithTag("_REF"));
    EXPECT_TRUE(note->findStructureWithTag("CONT"));
}

TEST(RecordStoreReading, UnusedEmptyListsDisappear) {
    StoreFixture f;
    f.read(GEDCOMModel::kEmptyDatabase);
    EXPECT_EQ(f.listKeys(), (std::vector<std::string>{"HEAD", "SUBM"}));
    EXPECT_FALSE(f.list("INDI"));
    EXPECT_EQ(f.document.parseSteps, 1);
}

TEST(RecordStoreReading, RecordsGoToTheListOfTheirTypeInFileOrder) {
    StoreFixture f;
    f.read("0 HEAD\n0 @X1@ _RPT\n0 @F1@ FAM\n0 @I2@ INDI\n0 @I1@ INDI\n0 @U1@ _ZZZ\n0 TRLR\n0 @I9@ INDI\n");
    EXPECT_EQ(f.list("INDI")->recordIDArray(), (std::vector<std::string>{"@I2@", "@I1@"}));
    EXPECT_EQ(f.list("_RPT")->listType(), ListReports);
    EXPECT_EQ(f.list("_RPT")->name(), "Reports");
    EXPECT_EQ(f.list("_ZZZ")->listType(), ListUserDefinedType);
    EXPECT_EQ(f.list("_ZZZ")->name(), "User Defined (_ZZZ)");
    EXPECT_FALSE(f.model.recordWithID("@I9@")) << "lines after the trailer are not read";
    EXPECT_EQ(f.model.recordsDone(), 6);
    EXPECT_EQ(f.model.recordWithID("@X1@")->recordType(), "_RPT");
}

TEST(RecordStoreReading, AlbumsAreFilledFromTheirStoredIDs) {
    StoreFixture f;
    Dictionary attributes;
    attributes.set("Encoding", 4);
    attributes.set("Record Album Listings",
                   Array{Dictionary{{"Album Record Type", "INDI"}, {"Album Name", "Individuals"}, {"Album Type ID", 0}},
                         Dictionary{{"Album Record Type", "User Album 7"},
                                    {"Album Name", "Kin"},
                                    {"Album Type ID", 5},
                                    {"Album Record IDs", Array{"@I2@", "@gone@", "@I1@"}}},
                         Dictionary{{"Album Record Type", "User Album 8"},
                                    {"Album Name", "Empty"},
                                    {"Album Type ID", 5},
                                    {"Album Record IDs", Array{"@gone@"}}}});
    f.model.readAttributes(attributes);
    f.read("0 HEAD\n0 @I1@ INDI\n0 @I2@ INDI\n0 TRLR\n");
    // An album keeps the records that remain; one left without any is
    // still the user's album.
    EXPECT_EQ(f.listKeys(), (std::vector<std::string>{"INDI", "User Album 7", "User Album 8", "HEAD"}));
    EXPECT_EQ(f.list("User Album 7")->recordIDArray(), (std::vector<std::string>{"@I2@", "@I1@"}));
    EXPECT_TRUE(f.list("User Album 8")->recordIDArray().empty());
    EXPECT_EQ(f.list("User Album 8")->name(), "Empty");
    EXPECT_EQ(f.list("User Album 7")->name(), "Kin");
    EXPECT_FALSE(f.model.recordsIndex().recordWithID("@gone@"));
}

TEST(RecordStoreReading, RefusedTextRaisesFileReadErrorAndKeepsWhatWasRead) {
    StoreFixture f;
    f.model.setInputGed("");
    try {
        f.model.setRecordsFromStringVerifyIDs(true, false);
        FAIL() << "an empty text must be refused";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLFileReadError");
        EXPECT_FALSE(e.message().empty());
    }
}

TEST(RecordStoreReading, StoppedStoreReadsNothing) {
    StoreFixture f;
    f.model.stopParsing();
    f.read("0 HEAD\n0 @I1@ INDI\n0 TRLR\n");
    EXPECT_FALSE(f.model.recordWithID("@I1@"));
}

TEST(RecordStoreReading, LineEndingDecidesWhetherRecordTextMayBeCached) {
    GEDCOMModel::setLineEnding("\r\n");
    EXPECT_FALSE(GEDCOMModel::allowCache());
    GEDCOMModel::setLineEnding("\n");
    EXPECT_TRUE(GEDCOMModel::allowCache());
}

}  // namespace
}  // namespace kl
