// Every structure operation of a record, run do -> undo -> redo: the GEDCOM
// text after each step and the notifications each step posts.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <vector>

#include "RecordTestSupport.h"
#include "foundation/RunInParts.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::FakeRecordStore;
using test::NotificationLog;
using test::RecordEnvironment;

constexpr const char* kChanged = "Record Structures Changed Notification";
constexpr const char* kContents = "Record Structure Contents Changed Notification";

std::shared_ptr<GEDCOMStructure> line(GEDCOMRecord& record, int level, const char* tag, const char* contents) {
    return std::make_shared<GEDCOMStructure>(&record, level, tag, contents);
}

std::shared_ptr<GEDCOMStructure> child(GEDCOMObject& parent, const char* tag) { return parent.findChild(tag, false); }

struct EditCase {
    const char* name;
    const char* before;  // level-1 lines of @I1@ INDI
    std::function<void(GEDCOMRecord&)> operation;
    const char* after;
    std::vector<std::string> notifications;  // posted by each of do, undo and redo
    bool tracking = false;
};

class RecordEditing : public ::testing::TestWithParam<EditCase> {};

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST_P(RecordEditing, DoUndoRedoGivesTextAndNotifications) {
    const EditCase& c = GetParam();
    RecordEnvironment environment(c.tracking);
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", c.before);
    const std::string header = "0 @I1@ INDI\n";
    const std::string before = record->gedcomString();
    ASSERT_EQ(before, header + c.before);

    auto step = [&](const std::function<void()>& run, const std::string& expected, const char* what) {
        NotificationLog log;
        run();
        EXPECT_EQ(record->gedcomString(), expected) << what;
        EXPECT_EQ(sorted(test::namesOf(log)), sorted(c.notifications)) << what;
    };
    step([&] {
        store.undo.beginUndoGrouping();
        c.operation(*record);
        store.undo.endUndoGrouping();
    }, header + c.after, "do");
    step([&] { store.undo.undo(); }, before, "undo");
    step([&] { store.undo.redo(); }, header + c.after, "redo");
}

const EditCase kEditCases[] = {
    {"AddWithoutAnchorGoesFirst", "1 NAME Ann /Berg/\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.addStructure(line(r, 1, "NOTE", "x"), &r, nullptr, false); },
     "1 NOTE x\n1 NAME Ann /Berg/\n1 SEX F\n", {kChanged}},
    {"AddAfterAnchor", "1 NAME Ann /Berg/\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.addStructure(line(r, 1, "NOTE", "x"), &r, child(r, "NAME").get(), true); },
     "1 NAME Ann /Berg/\n1 NOTE x\n1 SEX F\n", {kChanged}},
    {"AddWithAnchorOfAnotherRecordGoesLast", "1 NAME Ann /Berg/\n1 SEX F\n",
     [](GEDCOMRecord& r) {
         auto other = std::make_shared<GEDCOMRecord>("@I9@", "INDI");
         auto foreign = line(*other, 1, "NAME", "Bo");
         other->GEDCOMObject::addStructure(foreign);
         r.addStructure(line(r, 1, "NOTE", "x"), &r, foreign.get(), false);
     },
     "1 NAME Ann /Berg/\n1 SEX F\n1 NOTE x\n", {kChanged}},
    {"AddBelowAStructure", "1 BIRT\n2 DATE 1900\n",
     [](GEDCOMRecord& r) {
         auto birt = child(r, "BIRT");
         r.addStructure(line(r, 2, "PLAC", "Oslo"), birt.get(), child(*birt, "DATE").get(), false);
     },
     "1 BIRT\n2 DATE 1900\n2 PLAC Oslo\n", {kChanged}},
    {"RemoveFirstChild", "1 NAME Ann /Berg/\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.removeStructure(child(r, "NAME"), &r, nullptr); }, "1 SEX F\n", {kChanged}},
    {"RemoveMiddleChildComesBackInPlace", "1 NAME Ann /Berg/\n1 NOTE x\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.removeStructure(child(r, "NOTE"), &r, nullptr); }, "1 NAME Ann /Berg/\n1 SEX F\n",
     {kChanged}},
    {"RemoveNestedStructure", "1 BIRT\n2 DATE 1900\n2 PLAC Oslo\n",
     [](GEDCOMRecord& r) {
         auto birt = child(r, "BIRT");
         r.removeStructure(child(*birt, "PLAC"), birt.get(), nullptr);
     },
     "1 BIRT\n2 DATE 1900\n", {kChanged}},
    {"ReplaceStructuresAtIndexes", "1 NAME Ann /Berg/\n1 NOTE x\n1 SEX F\n",
     [](GEDCOMRecord& r) {
         auto list = r.structures();
         r.replaceStructuresAtIndexes({0, 2}, {list[2], list[0]});
     },
     "1 SEX F\n1 NOTE x\n1 NAME Ann /Berg/\n", {kChanged}},
    {"RestrictionPrivacyGoesAfterSex", "1 NAME Ann /Berg/\n1 SEX F\n1 NOTE x\n",
     [](GEDCOMRecord& r) { r.setResn(RestrictionPrivacy); }, "1 NAME Ann /Berg/\n1 SEX F\n1 RESN privacy\n1 NOTE x\n",
     {kChanged}},
    {"RestrictionWithoutSexGoesLast", "1 NAME Ann /Berg/\n",
     [](GEDCOMRecord& r) { r.setResn(RestrictionLocked); }, "1 NAME Ann /Berg/\n1 RESN locked\n", {kChanged}},
    {"RestrictionChangedInPlace", "1 RESN privacy\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.setResn(RestrictionConfidential); }, "1 RESN confidential\n1 SEX F\n", {kContents}},
    {"UnlockingRemovesTheRestriction", "1 SEX F\n1 RESN Locked\n",
     [](GEDCOMRecord& r) { r.setResn(RestrictionNone); }, "1 SEX F\n", {kChanged}},
    {"FirstChangeAppendsChanDateAndTime", "1 NAME Ann /Berg/\n", [](GEDCOMRecord& r) { r.setChangeDate(); },
     "1 NAME Ann /Berg/\n1 CHAN\n2 DATE 5 MAR 2024\n3 TIME 13:45:07\n", {kChanged}, true},
    {"LaterChangeRewritesDateAndTime", "1 CHAN\n2 DATE 1 JAN 2000\n3 TIME 01:02:03\n1 SEX F\n",
     [](GEDCOMRecord& r) { r.setChangeDate(); }, "1 CHAN\n2 DATE 5 MAR 2024\n3 TIME 13:45:07\n1 SEX F\n",
     {kContents, kContents}, true},
    {"ChanWithOnlyADateGainsATime", "1 CHAN\n2 DATE 1 JAN 2000\n2 NOTE n\n",
     [](GEDCOMRecord& r) { r.setChangeDate(); }, "1 CHAN\n2 DATE 5 MAR 2024\n3 TIME 13:45:07\n2 NOTE n\n",
     {kContents, kChanged}, true},
    {"ChanWithoutDateGainsDateAndTimeLast", "1 CHAN\n2 NOTE n\n", [](GEDCOMRecord& r) { r.setChangeDate(); },
     "1 CHAN\n2 NOTE n\n2 DATE 5 MAR 2024\n3 TIME 13:45:07\n", {kChanged}, true},
    {"WithoutTrackingAChangeOnlyDropsTheCache", "1 SEX F\n", [](GEDCOMRecord& r) { r.setChangeDate(); },
     "1 SEX F\n", {}},
    {"InsertUUIDAppendsKLID", "1 SEX F\n",
     [](GEDCOMRecord& r) {
         GEDCOMRecord::setInsertingUUIDs(true);
         EXPECT_TRUE(r.insertUUID());
     },
     "1 SEX F\n1 _KLID UUID-1\n", {kChanged}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RecordEditing, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- notifications' user info

TEST(RecordEditingNotes, AdditionCarriesStructureRecordAndScroll) {
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n");
    auto note = line(*record, 1, "NOTE", "x");
    NotificationLog log;
    record->addStructure(note, record.get(), nullptr, true);
    ASSERT_EQ(log.posted.size(), 1u);
    const auto& n = log.posted[0];
    EXPECT_EQ(n.object, static_cast<const GEDCOMObject*>(record.get()));
    EXPECT_EQ(n.userInfo.get("structure")->objectAs<GEDCOMStructure>(), note);
    EXPECT_EQ(n.userInfo.get("theRecord")->objectAs<GEDCOMRecord>(), record);
    EXPECT_TRUE(n.userInfo.get("scrollToView")->toBool());
}

TEST(RecordEditingNotes, RemovalNamesTheAskingBrowserOrTheEmptyText) {
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n1 NOTE x\n2 CONT y\n");
    auto browser = std::make_shared<Object>();
    struct Case {
        const char* tag;
        std::shared_ptr<Object> from;
    } cases[] = {{"SEX", nullptr}, {"NOTE", browser}};
    for (const auto& c : cases) {
        NotificationLog log;
        record->removeStructure(child(*record, c.tag), record.get(), c.from);
        ASSERT_FALSE(log.posted.empty());
        const auto& n = log.posted.back();
        EXPECT_EQ(n.name, kChanged);
        if (c.from) {
            EXPECT_EQ(n.userInfo.get("removing")->object(), browser);
        } else {
            EXPECT_EQ(n.userInfo.get("removing")->toString("?"), "");
        }
        EXPECT_EQ(log.count("Record Structure Will Remove Notification"), 1u) << c.tag;
    }
}

TEST(RecordEditingNotes, ParentOutsideTheRecordChangesAndPostsNothing) {
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n");
    auto stray = line(*record, 1, "BIRT", "");
    NotificationLog log;
    record->addStructure(line(*record, 2, "DATE", "1900"), stray.get(), nullptr, false);
    record->removeStructure(child(*record, "SEX"), stray.get(), nullptr);
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 SEX F\n");
    EXPECT_TRUE(log.posted.empty());
    EXPECT_FALSE(store.undo.canUndo());
}

// ---- restriction, damage and UUID

TEST(RecordRestrictionTest, ReadsTheWordInAnyCase) {
    struct Case {
        const char* lines;
        RecordRestriction code;
        const char* text;
    } cases[] = {
        {"1 SEX F\n", RestrictionNone, "unlocked"},       {"1 RESN\n", RestrictionNone, "unlocked"},
        {"1 RESN LoCkEd\n", RestrictionLocked, "locked"}, {"1 RESN Privacy\n", RestrictionPrivacy, "privacy"},
        {"1 RESN confidential\n", RestrictionConfidential, "confidential"},
        {"1 RESN secret\n", RestrictionNone, "unlocked"},
    };
    for (const auto& c : cases) {
        FakeRecordStore store;
        auto record = store.add("@I1@", "INDI", c.lines);
        EXPECT_EQ(record->resn(), c.code) << c.lines;
        EXPECT_EQ(record->resnString(), c.text) << c.lines;
        EXPECT_EQ(record->isLocked(), c.code == RestrictionLocked);
        EXPECT_EQ(record->canBeDeleted(0).has_value(), c.code == RestrictionLocked);
    }
}

TEST(RecordDamageTest, DescribesBitsInPrecedenceOrder) {
    struct Case {
        std::uint32_t bits;
        const char* first;
        std::vector<std::string> all;
    } cases[] = {
        {0, "Valid record", {}},
        {2 | 16, "Invalid line tag", {"Invalid line tag", "Invalid record ID"}},
        {1 | 8 | 32, "Duplicate record ID",
         {"Duplicate record ID", "Extra Header or Submission record", "Missing level number"}},
        {4, "Misordered level numbers", {"Misordered level numbers"}},
        {64, "Unexpected corruption type", {}},
    };
    for (const auto& c : cases) {
        GEDCOMRecord record;
        record.setCorrupt(c.bits);
        EXPECT_EQ(record.describeCorruption(), c.first);
        auto all = record.allCorruptions();
        EXPECT_EQ(all.has_value(), c.bits != 0);
        if (all) {
            EXPECT_EQ(*all, c.all);
        }
    }
    GEDCOMRecord unknown;
    EXPECT_EQ(unknown.grecordID(), "UNKNOWN");
    EXPECT_EQ(unknown.recordType(), "UNKNOWN");
}

TEST(RecordUUIDTest, ExistingKLIDIsKeptEvenWhenEmpty) {
    RecordEnvironment environment(false, true);
    for (const char* uuid : {"ABC", ""}) {
        FakeRecordStore store;
        auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
        record->addLevel(1, "_KLID", uuid);
        store.install(record);
        const std::string before = record->gedcomString();
        EXPECT_FALSE(record->insertUUID());
        EXPECT_EQ(record->gedcomString(), before);
    }
}

// Without a maker set, a read draws its own UUIDs on its tidying threads:
// random version 4 ones in the usual upper-case groups, last in the record,
// never twice the same on one thread or across threads, and never over one
// the record has.
TEST(RecordUUIDTest, ARecordReadGetsARandomUUIDLast) {
    RecordEnvironment environment(false, true);
    GEDCOMRecord::setUUIDMaker({});
    constexpr std::size_t kThreads = 4;
    constexpr std::size_t kEach = 500;
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    for (std::size_t i = 0; i < kThreads * kEach; ++i) {
        records.push_back(std::make_shared<GEDCOMRecord>("@I1@", "INDI"));
        records.back()->addLevel(1, "SEX", "F");
    }
    std::vector<char> added(records.size(), 0);
    runInParts(kThreads, [&](std::size_t part) {
        for (std::size_t i = part * kEach; i < (part + 1) * kEach; ++i) added[i] = records[i]->prepareAfterRead();
    });
    EXPECT_EQ(added, std::vector<char>(records.size(), 1));
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    std::set<char> digits;
    for (const auto& record : records) {
        ASSERT_EQ(record->structures().size(), 2u);
        const auto& line = record->structures().back();
        ASSERT_EQ(line->gtag(), "_KLID");
        EXPECT_EQ(line->glevel(), 1);
        ASSERT_TRUE(std::regex_match(line->contents(), form)) << line->contents();
        EXPECT_TRUE(seen.insert(line->contents()).second) << line->contents();
        digits.insert(line->contents().begin(), line->contents().end());
        EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 SEX F\n1 _KLID " + line->contents() + "\n");
    }
    EXPECT_EQ(digits.size(), 17u);  // every digit and letter, and the dash
    auto kept = std::make_shared<GEDCOMRecord>("@I2@", "INDI");
    kept->addLevel(1, "_KLID", "ABC");
    kept->addLevel(1, "SEX", "M");
    EXPECT_FALSE(kept->prepareAfterRead());
    EXPECT_EQ(kept->gedcomString(), "0 @I2@ INDI\n1 _KLID ABC\n1 SEX M\n");
}

TEST(RecordUUIDTest, NewRecordTellsItsStore) {
    RecordEnvironment environment(false, true);
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n");  // the re-read tidies before the store knows it
    EXPECT_EQ(record->recordUUID(), "UUID-1");
    record->setRecordUUID("");
    EXPECT_TRUE(record->insertUUID());
    EXPECT_TRUE(store.insertedUUIDs);
    EXPECT_EQ(record->recordUUID(), "UUID-2");
}

TEST(RecordUUIDTest, SettingTheUUIDLeavesNothingToUndo) {
    FakeRecordStore store;
    auto record = store.add("@I1@", "INDI", "1 SEX F\n");
    struct Step {
        const char* uuid;
        const char* text;
    } steps[] = {
        {"AAA", "1 SEX F\n1 _KLID AAA\n"},
        {"BBB", "1 SEX F\n1 _KLID BBB\n"},
        {"", "1 SEX F\n"},
        {"", "1 SEX F\n"},
    };
    for (const auto& s : steps) {
        record->setRecordUUID(s.uuid);
        EXPECT_EQ(record->gedcomString(), std::string("0 @I1@ INDI\n") + s.text);
    }
    EXPECT_FALSE(store.undo.canUndo());
    EXPECT_TRUE(store.undo.isUndoRegistrationEnabled());
}

}  // namespace
}  // namespace kl
