// A record's life: re-reading its own text, tidying (or, when damaged, not),
// its cached text never going stale, setters waiting for a store, staying
// alive in undo, and the class switches read from the user defaults.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "RecordTestSupport.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"

namespace kl {
namespace {

using test::AlertScope;
using test::FakeRecordStore;
using test::RecordEnvironment;

// ---- self re-reading

TEST(RecordReparse, AnotherIDWaitsAndTheHeaderIgnoresIt) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->reparse("0 @I5@ INDI\n1 SEX F\n");
    EXPECT_EQ(record->grecordID(), "@I1@");
    EXPECT_EQ(record->changeToRecordID(), std::optional<std::string>("@I5@"));
    record->changeRecordID();
    EXPECT_EQ(record->grecordID(), "@I5@");
    EXPECT_FALSE(record->changeToRecordID());

    auto head = std::make_shared<HEADRecord>();
    head->reparse("0 HEAD\n1 CHAR UTF-8\n");
    EXPECT_FALSE(head->changeToRecordID());
    EXPECT_EQ(head->gedcomString(), "0 HEAD\n1 CHAR UTF-8\n");
}

TEST(RecordReparse, ASecondRecordBecomesAnErrorLine) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    const std::string text = "0 @I1@ INDI\n1 SEX F\n0 @I2@ INDI\n1 SEX M\n";
    record->reparse(text);
    EXPECT_TRUE(record->isCorrupt(CorruptMissingLevel));
    ASSERT_EQ(record->structures().size(), 3u);
    EXPECT_EQ(record->structures()[1]->glevel(), -1);
    EXPECT_EQ(record->structures()[1]->contents(), "ERROR: 0 @I2@ INDI");
}

TEST(RecordReparse, TheTypeStaysAndTheUserIsTold) {
    AlertScope scope;
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->reparse("0 @I1@ FAM\n1 HUSB @I2@\n");
    EXPECT_EQ(record->recordType(), "INDI");
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 HUSB @I2@\n");
    ASSERT_EQ(scope.alerts->shown.size(), 1u);
    EXPECT_EQ(scope.alerts->shown[0].message, "The type of record cannot be changed in the source editor.");
    EXPECT_EQ(scope.alerts->shown[0].informative,
              "You tried to change a INDI record to a FAM record; it will remain a INDI record.");
}

TEST(RecordReparse, TextThatIsNotGEDCOMLeavesTheRecordAlone) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->reparse("0 @I1@ INDI\n1 SEX F\n");
    EXPECT_FALSE(record->reparse("hello"));
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 SEX F\n");
}

struct TidyCase {
    const char* name;
    const char* text;
    const char* written;
    std::uint32_t bits;
};

class RecordTidying : public ::testing::TestWithParam<TidyCase> {};

// A clean record is tidied (continuations joined, a UUID added; a bare
// tagged line is a fact and stays); a damaged one keeps every line, written
// back as read.
TEST_P(RecordTidying, TidiesOnlyCleanRecords) {
    const TidyCase& c = GetParam();
    RecordEnvironment environment(false, true);
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->setCorrupt(CorruptInvalidTag);
    record->reparse(c.text);
    EXPECT_EQ(record->corrupt(), c.bits);
    EXPECT_EQ(record->gedcomString(), c.written);
    EXPECT_TRUE(record->wasCorrupt(CorruptInvalidTag));
}

const TidyCase kTidyCases[] = {
    {"Clean", "0 @I1@ INDI\n1 NOTE a\n2 CONC b\n2 CONT c\n1 EMPTY\n1 SEX F\n",
     "0 @I1@ INDI\n1 NOTE ab\n2 CONT c\n1 EMPTY\n1 SEX F\n1 _KLID UUID-1\n", 0},
    {"MisorderedLevels", "0 @I1@ INDI\n1 NOTE a\n2 CONC b\n1 BIRT\n3 DATE x\n1 EMPTY\n",
     "0 @I1@ INDI\n1 NOTE a\n2 CONC b\n1 BIRT\n3 DATE x\n1 EMPTY\n", CorruptMisorderedLevels},
    {"LineWithoutLevel", "0 @I1@ INDI\n1 NOTE a\n2 CONC b\njunk here\n1 EMPTY\n",
     "0 @I1@ INDI\n1 NOTE a\n2 CONC b\njunk here\n1 EMPTY\n", CorruptMissingLevel},
    {"InvalidID", "0 @@ INDI\n1 NOTE a\n2 CONC b\n", "0 @I1@ INDI\n1 NOTE a\n2 CONC b\n", CorruptInvalidID},
};

INSTANTIATE_TEST_SUITE_P(Cases, RecordTidying, ::testing::ValuesIn(kTidyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the cached text

struct CacheCase {
    const char* name;
    std::function<void(GEDCOMRecord&)> change;
};

class RecordCache : public ::testing::TestWithParam<CacheCase> {};

// A fast save must write what the tree holds, whatever road changed it.
TEST_P(RecordCache, EveryChangeDropsTheCachedText) {
    RecordEnvironment environment(false, false, true);
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 NAME Ann /Berg/\n1 BIRT\n2 DATE 1900\n1 NOTE @N1@\n");
    std::string saved;
    record->appendGEDCOMRecord(saved, true);
    ASSERT_TRUE(record->hasCachedText());
    GetParam().change(*record);
    std::string again;
    record->appendGEDCOMRecord(again, true);
    std::string fresh;
    record->appendGEDCOM(fresh);
    EXPECT_EQ(again, fresh);
    EXPECT_NE(again, saved);
}

std::shared_ptr<GEDCOMStructure> birt(GEDCOMRecord& r) { return r.findChild("BIRT", false); }

const CacheCase kCacheCases[] = {
    {"SetContents", [](GEDCOMRecord& r) { r.findChild("NAME", false)->setContents("Bo /Berg/"); }},
    {"ChangeContents", [](GEDCOMRecord& r) { r.findChild("NAME", false)->changeContents("Bo /Berg/"); }},
    {"QuickMemo", [](GEDCOMRecord& r) { birt(r)->setQuickMemo("memo"); }},
    {"ReadTag", [](GEDCOMRecord& r) { birt(r)->setReadTag("DEAT"); }},
    {"NestedInsertion", [](GEDCOMRecord& r) { birt(r)->GEDCOMObject::addStructure(std::make_shared<GEDCOMStructure>(&r, 2, "PLAC", "Oslo")); }},
    {"UndoableAddition", [](GEDCOMRecord& r) { r.addStructure(std::make_shared<GEDCOMStructure>(&r, 1, "SEX", "F"), &r, nullptr, false); }},
    {"UUIDInsertion", [](GEDCOMRecord& r) { GEDCOMRecord::setInsertingUUIDs(true); r.insertUUID(); }},
    {"UUIDSetting", [](GEDCOMRecord& r) { r.setRecordUUID("ABC"); }},
    {"LinkRenamedWithoutUndo", [](GEDCOMRecord& r) { r.changeCrossRef("NOTE", "@N1@", "@N2@"); }},
    {"Move", [](GEDCOMRecord& r) { r.moveStructure(birt(r), nullptr); }},
    {"ChildRemoved", [](GEDCOMRecord& r) { r.removeChild("NOTE", true); }},
    {"IDChanged", [](GEDCOMRecord& r) { r.setGrecordID("@I9@"); }},
    {"Reparsed", [](GEDCOMRecord& r) { r.reparse("0 @I1@ INDI\n1 SEX M\n"); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RecordCache, ::testing::ValuesIn(kCacheCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordCacheSwitch, OffMeansFreshTextAndNoCache) {
    RecordEnvironment environment(false, false, false);
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    record->reparse("0 @I1@ INDI\n1 SEX F\n");
    std::string text;
    record->appendGEDCOMRecord(text, true);
    EXPECT_EQ(text, "0 @I1@ INDI\n1 SEX F\n");
    EXPECT_FALSE(record->hasCachedText());
}

TEST(RecordCacheSwitch, UndoAndRedoDropTheCache) {
    RecordEnvironment environment(true, false, true);
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n");
    record->findChild("SEX", false)->setReadContents("M");
    for (int step = 0; step < 2; ++step) {
        std::string text;
        record->appendGEDCOMRecord(text, true);
        ASSERT_TRUE(record->hasCachedText());
        if (step == 0) store.undo.undo(); else store.undo.redo();
        EXPECT_FALSE(record->hasCachedText()) << step;
    }
}

// ---- setters waiting for a store

TEST(RecordDeferredSetters, RunOnceWhenInstalledAndNeverAfterTheRecordIsGone) {
    FakeRecordStore store;
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    int runs = 0;
    EXPECT_TRUE(record->deferUntilInstalled([&runs] { ++runs; }));
    EXPECT_EQ(runs, 0);
    store.install(record);
    EXPECT_EQ(runs, 1);
    store.install(record);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(record->deferUntilInstalled([&runs] { ++runs; }));

    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    auto orphan = std::make_shared<GEDCOMRecord>("@I2@", "INDI");
    orphan->deferUntilInstalled([token] { ++*token; });
    token.reset();
    EXPECT_EQ(orphan->pendingSetterCount(), 1u);
    orphan.reset();
    EXPECT_TRUE(watch.expired());
}

// ---- shared ownership

TEST(RecordOwnership, ADeletedRecordLivesOnInItsUndo) {
    FakeRecordStore store;
    std::weak_ptr<GEDCOMRecord> watch;
    {
        auto record = store.add("@I1@", "INDI", "1 SEX F\n1 NOTE x\n");
        watch = record;
        store.undo.beginUndoGrouping();
        record->removeStructure(record->findChild("NOTE", false), record.get(), nullptr);
        store.deleteRecord(record);
        store.undo.endUndoGrouping();
    }
    ASSERT_FALSE(watch.expired());
    store.undo.undo();
    auto back = store.recordWithID("@I1@", "INDI");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->gedcomString(), "0 @I1@ INDI\n1 SEX F\n1 NOTE x\n");
}

// ---- class switches and new-record text

TEST(RecordSwitches, ReadFromTheUserDefaults) {
    const auto folder = std::filesystem::temp_directory_path() / ("kl-record-switches-" + std::to_string(::getpid()));
    RecordEnvironment environment;
    {
        UserDefaults defaults("RecordSwitches", folder);
        defaults.registerDefaults(Dictionary{{"Insert UUIDs", Value(false)}, {"Allow Fast Saves", Value(true)}});
        defaults.setObject(Value(false), "Allow Fast Saves");
        GEDCOMRecord::readSwitchesFromDefaults(defaults);
        EXPECT_TRUE(GEDCOMRecord::trackingChangeDates());
        EXPECT_FALSE(GEDCOMRecord::insertingUUIDs());
        EXPECT_FALSE(GEDCOMRecord::cachingWhenSave());
        EXPECT_TRUE(GEDCOMRecord::addingCreationDates());
    }
    std::filesystem::remove_all(folder);
}

TEST(RecordNewText, CarriesTheCreationStampWhenAsked) {
    RecordEnvironment environment;
    GEDCOMRecord record("@I1@", "INDI");
    EXPECT_EQ(record.textForNewRecord(false), "1 REFN 5 MAR 2024 13:45:07\n2 TYPE Creation Date");
    GEDCOMRecord::setAddingCreationDates(false);
    EXPECT_EQ(record.textForNewRecord(true), "");
    GEDCOMRecord::setAddingCreationDates(true);
}

TEST(RecordNames, BaseFormsOfARecord) {
    GEDCOMRecord record("@X3@", "_CUSTOM");
    EXPECT_EQ(record.viewName(), "Record ID @X3@");
    EXPECT_EQ(record.ipnSearch(), "Record ID @X3@");
    EXPECT_EQ(record.reportDescription(0).toString(), "This custom record has tag _CUSTOM and record ID @X3@");
    EXPECT_EQ(*record.reportDescription(GEDCOMRecord::kReportList).array(),
              (Array{"Record Type: _CUSTOM", "Name: Record ID @X3@"}));
    EXPECT_FALSE(record.scriptRecordType());
    EXPECT_EQ(GEDCOMRecord("@L1@", "_LOG").scriptRecordType(), std::optional<std::string>("_logRecords"));
}

}  // namespace
}  // namespace kl
