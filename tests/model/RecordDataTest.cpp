// Record data operations: keywords, the portrait, date sorting ("Sort
// Data"), simple tagged values, places and dates, the creation stamp, the
// Detach entries and a record's validation item. Each edit is checked with
// its undo.
#include <gtest/gtest.h>

#include "RecordTestSupport.h"
#include "foundation/UndoManager.h"
#include "model/DetachLinkList.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/ValidationReport.h"

namespace kl {
namespace {

using test::FakeRecordStore;
using test::RecordEnvironment;

class CountingAlerts : public ModelAlerts {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

class TagLibrary : public LibraryServices {
public:
    std::shared_ptr<const TagList> tagList(std::string_view name) const override {
        if (name == "INDIEvents") return std::make_shared<TagList>(TagList{"BIRT", "DEAT", "BURI"});
        if (name == "INDIAttributes") return std::make_shared<TagList>(TagList{"OCCU", "RESI"});
        if (name == "FAMEvents") return std::make_shared<TagList>(TagList{"MARR", "DIV"});
        return nullptr;
    }
};

class RecordData : public testing::Test {
protected:
    void SetUp() override {
        ModelAlerts::install(alerts);
        LibraryServices::setCurrent(std::make_shared<TagLibrary>());
    }
    void TearDown() override {
        ModelAlerts::install(nullptr);
        LibraryServices::setCurrent(nullptr);
    }
    std::shared_ptr<GEDCOMRecord> add(const std::string& id, const std::string& type, const std::string& lines) {
        return store.add(id, type, lines);
    }
    // Runs an edit as one undo group; undo must give back the text before it.
    void editAndUndo(const std::shared_ptr<GEDCOMRecord>& record, const std::function<void()>& edit,
                     const std::string& expected) {
        const std::string before = record->gedcomString();
        store.undo.beginUndoGrouping();
        edit();
        store.undo.endUndoGrouping();
        EXPECT_EQ(record->gedcomString(), expected);
        store.undo.undo();
        EXPECT_EQ(record->gedcomString(), before) << "undo";
        store.undo.redo();
        EXPECT_EQ(record->gedcomString(), expected) << "redo";
    }

    RecordEnvironment environment;
    std::shared_ptr<CountingAlerts> alerts = std::make_shared<CountingAlerts>();
    FakeRecordStore store;
};

// ---- keywords

TEST_F(RecordData, KeywordLinesAreThoseTypedKeyword) {
    auto r = add("@I1@", "INDI",
                 "1 REFN a; b;; c\n2 TYPE Keywords\n1 REFN x\n2 TYPE Key\n1 REFN \td ;e\n2 TYPE KEYWORD(S)\n"
                 "1 REFN 12\n");
    EXPECT_EQ(r->keywords(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

TEST_F(RecordData, WritingKeywordsFillsLinesPastEightyCharacters) {
    std::string lines;
    for (int i = 0; i < 5; ++i) lines += "1 REFN old" + std::to_string(i) + "\n2 TYPE keyword\n";
    auto r = add("@I1@", "INDI", "1 NAME A\n" + lines + "1 SEX M\n");
    Array words;
    for (int i = 0; i < 30; ++i) words.emplace_back("keyword" + std::to_string(10 + i));
    words.insert(words.begin() + 3, Value(7));  // not a text: skipped
    store.undo.beginUndoGrouping();
    r->setKeywords(words);
    store.undo.endUndoGrouping();
    std::vector<std::size_t> perLine;
    for (const auto& child : r->structures())
        if (child->gtag() == "REFN") {
            perLine.push_back(std::count(child->contents().begin(), child->contents().end(), ';') + 1);
            EXPECT_LE(child->contents().size(), 80u + 9u);
        }
    EXPECT_EQ(perLine, (std::vector<std::size_t>{8, 8, 8, 6}));
    EXPECT_EQ(r->structures()[1]->contents().size(), 86u);
    EXPECT_EQ(r->keywords().size(), 30u);
    EXPECT_EQ(r->structures().back()->gtag(), "SEX") << "reused lines stay where they were";
    store.undo.undo();
    EXPECT_EQ(r->keywords(), (std::vector<std::string>{"old0", "old1", "old2", "old3", "old4"}));
}

TEST_F(RecordData, NewKeywordLinesAndNone) {
    auto r = add("@I1@", "INDI", "1 NAME A\n");
    editAndUndo(r, [&] { r->setKeywords(Array{" farm ", "mill"}); },
                "0 @I1@ INDI\n1 NAME A\n1 REFN farm; mill\n2 TYPE Keyword(s)\n");
    editAndUndo(r, [&] { r->setKeywords(Array{}); }, "0 @I1@ INDI\n1 NAME A\n");
}

// ---- portrait

TEST_F(RecordData, PortraitMovesTheObjectsLinkFirst) {
    auto o1 = add("@O1@", "OBJE", "1 FILE a\n");
    auto o3 = add("@O3@", "OBJE", "1 FILE c\n");
    add("@O2@", "OBJE", "1 FILE b\n");
    auto r = add("@I1@", "INDI", "1 NAME A\n1 OBJE @O1@\n1 OBJE @O2@\n1 OBJE @O3@\n1 _NOPOR Y\n");
    EXPECT_EQ(r->portraitImage(), nullptr) << "_NOPOR";
    bool changed = false;
    editAndUndo(r, [&] { changed = r->setPortraitOBJE(o3); },
                "0 @I1@ INDI\n1 NAME A\n1 OBJE @O3@\n1 OBJE @O1@\n1 OBJE @O2@\n");
    EXPECT_TRUE(changed);
    EXPECT_EQ(r->portraitImage(), o3);
    EXPECT_FALSE(r->setPortraitOBJE(add("@O9@", "OBJE", ""))) << "not linked";
    EXPECT_EQ(o1->grecordID(), "@O1@");
}

TEST_F(RecordData, NoPortrait) {
    auto bare = add("@I1@", "INDI", "1 NAME A\n");
    EXPECT_FALSE(bare->setPortraitOBJE(nullptr));
    EXPECT_EQ(bare->gedcomString(), "0 @I1@ INDI\n1 NAME A\n");
    auto r = add("@I2@", "INDI", "1 OBJE @O1@\n");
    editAndUndo(r, [&] { EXPECT_TRUE(r->setPortraitOBJE(nullptr)); }, "0 @I2@ INDI\n1 OBJE @O1@\n1 _NOPOR Y\n");
    EXPECT_FALSE(r->setPortraitOBJE(nullptr)) << "already Y";
    auto n = add("@I3@", "INDI", "1 OBJE @O1@\n1 _NOPOR N\n");
    EXPECT_EQ(n->portraitImage(), nullptr) << "_NOPOR of any contents";
    EXPECT_TRUE(n->setPortraitOBJE(nullptr));
    EXPECT_EQ(n->dataWithTag("_NOPOR"), "Y");
}

TEST_F(RecordData, PortraitImageNeedsAResolvingFirstLink) {
    auto o1 = add("@O1@", "OBJE", "1 FILE a\n");
    EXPECT_EQ(add("@I1@", "INDI", "1 OBJE @O1@\n1 OBJE @O2@\n")->portraitImage(), o1);
    EXPECT_EQ(add("@I2@", "INDI", "1 OBJE @O7@\n1 OBJE @O1@\n")->portraitImage(), nullptr);
    EXPECT_EQ(add("@I3@", "INDI", "1 OBJE @\n")->portraitImage(), nullptr);
}

// ---- sorting

TEST_F(RecordData, SortChildrenByBirthWithUndatedLast) {
    add("@I1@", "INDI", "1 BIRT\n2 DATE 1890\n");
    add("@I2@", "INDI", "1 NAME undated\n");
    add("@I3@", "INDI", "1 BAPM\n2 DATE 1885\n");
    auto fam = add("@F1@", "FAM", "1 HUSB @I9@\n1 CHIL @I1@\n1 MARR Y\n1 CHIL @I2@\n1 CHIL @I3@\n");
    editAndUndo(fam, [&] { fam->sortEntry(SortChildren, false); },
                "0 @F1@ FAM\n1 HUSB @I9@\n1 CHIL @I3@\n1 MARR Y\n1 CHIL @I1@\n1 CHIL @I2@\n");
    EXPECT_EQ(store.undo.undoActionName(), "Sort Data");
    EXPECT_EQ(alerts->beeps, 0);
    store.undo.removeAllActions();
    fam->sortEntry(SortChildren, false);
    EXPECT_EQ(alerts->beeps, 1) << "already sorted";
    EXPECT_FALSE(store.undo.canUndo());
    fam->ISSortEntry(Value(SortChildren));
    EXPECT_EQ(alerts->beeps, 1) << "scripts sort silently";
}

TEST_F(RecordData, SortOtherKinds) {
    struct Case {
        const char* name;
        std::string type;
        std::string lines;
        int kind;
        std::string expected;  // "" when nothing may change (and it beeps)
    };
    add("@F1@", "FAM", "1 MARR\n2 DATE 1950\n");
    add("@F2@", "FAM", "1 MARR\n2 DATE 1930\n");
    add("@O1@", "OBJE", "1 _DATE 2000\n");
    add("@O2@", "OBJE", "1 _DATE 1990\n");
    add("@O3@", "OBJE", "1 _DATE 1980\n");
    const Case cases[] = {
        {"spouses", "INDI", "1 FAMS @F1@\n1 FAMS @F2@\n", SortSpouseFamilies, "1 FAMS @F2@\n1 FAMS @F1@\n"},
        {"events", "INDI", "1 DEAT\n2 DATE 1950\n1 NAME A\n1 OCCU x\n2 DATE BET 1900 AND 1940\n1 BIRT\n2 DATE 1880\n",
         SortEvents, "1 BIRT\n2 DATE 1880\n1 NAME A\n1 OCCU x\n2 DATE BET 1900 AND 1940\n1 DEAT\n2 DATE 1950\n"},
        {"familyEvents", "FAM", "1 DIV\n2 DATE 1960\n1 MARR\n2 DATE 1950\n", SortEvents,
         "1 MARR\n2 DATE 1950\n1 DIV\n2 DATE 1960\n"},
        {"portraitStays", "INDI", "1 OBJE @O1@\n1 OBJE @O2@\n1 OBJE @O3@\n", SortMultimediaLinks,
         "1 OBJE @O1@\n1 OBJE @O3@\n1 OBJE @O2@\n"},
        {"noPortrait", "INDI", "1 OBJE @O1@\n1 OBJE @O2@\n1 OBJE @O3@\n1 _NOPOR y\n", SortMultimediaLinks,
         "1 OBJE @O3@\n1 OBJE @O2@\n1 OBJE @O1@\n1 _NOPOR y\n"},
        {"sourceEvents", "SOUR", "1 DATA x\n", SortEvents, ""},
        {"sourceMedia", "SOUR", "1 OBJE @O1@\n1 OBJE @O2@\n", SortMultimediaLinks, ""},
        {"oneChild", "FAM", "1 CHIL @I1@\n", SortChildren, ""},
        {"otherCode", "INDI", "1 FAMS @F1@\n1 FAMS @F2@\n", 4499, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string id = "@X" + std::to_string(++n) + "@";
        auto r = add(id, c.type, c.lines);
        const int beepsBefore = alerts->beeps;
        r->sortEntry(c.kind, false);
        const std::string head = "0 " + id + " " + c.type + "\n";
        EXPECT_EQ(r->gedcomString(), head + (c.expected.empty() ? c.lines : c.expected)) << c.name;
        EXPECT_EQ(alerts->beeps - beepsBefore, c.expected.empty() ? 1 : 0) << c.name;
    }
}

// ---- simple values

TEST_F(RecordData, GenericTagsAtOneOrTwoLevels) {
    struct Case {
        const char* name;
        std::string lines;
        std::string tag;
        std::optional<std::string> parent;
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {"addLevelOne", "1 NAME A\n", "SEX", std::nullopt, "M", "1 NAME A\n1 SEX M\n"},
        {"setLevelOne", "1 SEX F\n1 NAME A\n", "SEX", std::nullopt, "M", "1 SEX M\n1 NAME A\n"},
        {"addParent", "1 NAME A\n", "DATE", "BIRT", "1900", "1 NAME A\n1 BIRT\n2 DATE 1900\n"},
        {"addBelowParent", "1 BIRT\n2 PLAC X\n1 NAME A\n", "DATE", "BIRT", "1900",
         "1 BIRT\n2 PLAC X\n2 DATE 1900\n1 NAME A\n"},
        {"setBelowParent", "1 BIRT\n2 DATE 1800\n", "DATE", "BIRT", "1900", "1 BIRT\n2 DATE 1900\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string id = "@I" + std::to_string(++n) + "@";
        auto r = add(id, "INDI", c.lines);
        editAndUndo(r, [&] { r->setGenericTag(c.tag, c.parent, c.value); }, "0 " + id + " INDI\n" + c.expected);
    }
}

TEST_F(RecordData, UnchangedValueStampsNothing) {
    GEDCOMRecord::setTrackingChangeDates(true);
    auto r = add("@I1@", "INDI", "1 BIRT\n2 DATE 1900\n1 SEX M\n");
    r->setGenericTag("DATE", "BIRT", "1900");
    r->setGenericTag("SEX", std::nullopt, "M");
    EXPECT_EQ(r->gedcomString(), "0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n1 SEX M\n");
    r->setGenericTag("SEX", std::nullopt, "F");
    EXPECT_EQ(r->changeDate(), test::kToday);
}

TEST_F(RecordData, DataWithTagAndCopies) {
    auto r = add("@I1@", "INDI", "1 NAME A\n");
    EXPECT_EQ(r->dataWithTag("SEX"), "");
    editAndUndo(r, [&] { r->setDataWithTag("SEX", "M"); }, "0 @I1@ INDI\n1 NAME A\n1 SEX M\n");
    EXPECT_EQ(r->dataWithTag("SEX"), "M");
    auto source = add("@I2@", "INDI", "1 NAME B\n1 BIRT Y\n2 DATE 1900\n3 TIME 10:00\n2 PLAC X\n");
    editAndUndo(r, [&] { r->attachCopyOfStructure(*source->structures()[1]); },
                "0 @I1@ INDI\n1 NAME A\n1 SEX M\n1 BIRT Y\n2 DATE 1900\n2 PLAC X\n");
}

// ---- places and dates

TEST_F(RecordData, FirstDateAndPlace) {
    auto r = add("@I1@", "INDI", "1 NAME A\n1 BIRT\n2 PLAC Rome\n2 SOUR @S1@\n3 DATA\n4 DATE 1850\n1 DEAT\n2 DATE 1900\n");
    EXPECT_EQ(r->firstDate(), "1850") << "depth first";
    EXPECT_EQ(r->firstPlace(), "Rome");
    EXPECT_EQ(add("@O1@", "OBJE", "1 _DATE 2001\n")->firstDate(), "2001");
    EXPECT_EQ(add("@O2@", "OBJE", "1 FILE x\n")->firstDate(), std::nullopt);
    EXPECT_EQ(add("@O3@", "OBJE", "1 FILE x\n")->firstPlace(), std::nullopt);
}

TEST_F(RecordData, PlacesOfEvents) {
    store.placeIDs["Rome"] = "@P1@";
    store.placeIDs["Oslo"] = "@P9@";  // no such record
    auto rome = add("@P1@", "_PLC", "1 _PLACE Rome\n");
    auto r = add("@I1@", "INDI", "1 BIRT\n2 PLAC Rome\n1 RESI\n2 PLAC Oslo\n1 DEAT\n2 PLAC Rome\n2 SOUR\n3 PLAC Rome\n");
    EXPECT_EQ(r->findPlace("Rome", false).size(), 1u);
    EXPECT_EQ(r->findPlace("Rome", true).size(), 2u) << "level 2 only";
    EXPECT_TRUE(r->findPlace("rome", true).empty()) << "exact";
    EXPECT_EQ(r->findAllPlaces().size(), 3u);
    EXPECT_EQ(r->findAllPlaceRecords(), (std::vector<std::shared_ptr<GEDCOMRecord>>{rome, rome}));
    std::vector<std::shared_ptr<GEDCOMObject>> dates;
    add("@I2@", "INDI", "1 BIRT\n2 DATE 1900\n1 CHAN\n2 DATE 1 JAN 2000\n1 SOUR @S1@\n2 DATA\n3 DATE 1901\n")
        ->addNonCHANDateTagsToList(dates);
    ASSERT_EQ(dates.size(), 2u);
    EXPECT_EQ(dates[1]->contents(), "1901");
}

TEST_F(RecordData, CreationDateFromTheFirstReference) {
    struct Case {
        std::string lines;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"1 REFN 1 MAR 2020 10:00:00\n2 TYPE Creation Date\n", "1 MAR 2020"},
        {"1 REFN 10:00:00\n2 TYPE Creation Date\n", std::nullopt},
        {"1 REFN Sun. 1 MAR 2020 PM\n2 TYPE Created\n", "1 MAR 2020"},
        {"1 REFN Created 1 MAR 2020\n2 TYPE Created\n", "1 MAR 2020"},
        {"1 REFN Sunday\n2 TYPE Created\n", std::nullopt},
        {"1 REFN x\n2 TYPE Other\n1 REFN 1 MAR 2020 10:00\n2 TYPE Creation Date\n", std::nullopt},
        {"1 NAME A\n", std::nullopt},
    };
    int n = 0;
    for (const Case& c : cases)
        EXPECT_EQ(add("@I" + std::to_string(++n) + "@", "INDI", c.lines)->creationDate(), c.expected) << c.lines;
}

// ---- Detach entries

class RecordingDetachList : public DetachLinkList {
public:
    void addDetachLink(const std::shared_ptr<GEDCOMStructure>& link, const std::optional<LinkName>& name,
                       const std::optional<std::string>& inEvent, GEDCOMObject*) override {
        if (!name) return;
        rows.push_back(inEvent.value_or("-") + "|" + link->gtag() + "|" + (*name)[0] + "|" + (*name)[1]);
    }
    std::vector<std::string> rows;
};

TEST_F(RecordData, DetachEntriesForReferenceLines) {
    auto source = add("@S1@", "SOUR", "1 TITL T\n");
    auto r = add("@N1@", "NOTE",
                 "1 REFN 42\n2 TYPE Parish\n2 SOUR @S1@\n1 REFN\n2 _X x\n1 RFN 7\n1 RIN\n2 _X y\n1 CHAN\n2 DATE 1 JAN 2000\n");
    RecordingDetachList list;
    r->detachableEventsAttributesLinks(list);
    EXPECT_EQ(list.rows, (std::vector<std::string>{"-|REFN|Parish|42", "Parish|SOUR|SOUR|" + source->viewName(),
                                                   "-|REFN|User Reference Number|Empty Data",
                                                   "-|RFN|Record File Number|7", "-|RIN|Record ID|Empty Data"}));
}

// ---- validation item

class FakeReport : public ValidationReport {
public:
    void incrementBadRecords() override { ++bad; }
    void incrementDeletedCustomTags() override {}
    void checkStructures(GEDCOMObject&, std::vector<std::string>& out, std::vector<std::string>& tags,
                         const Dictionary&, const Value*, int) override {
        path = tags;
        out.insert(out.end(), messages.begin(), messages.end());
    }
    int bad = 0;
    std::vector<std::string> messages;
    std::vector<std::string> path;
};

TEST_F(RecordData, ValidationItems) {
    const Dictionary grammar{{"INDI", Dictionary{}}};
    FakeReport report;
    std::string html;
    auto good = add("@I1@", "INDI", "1 NAME A /B/\n");
    good->checkGEDCOMOfRecord(html, grammar, 0, report);
    EXPECT_EQ(html, "");
    EXPECT_EQ(report.path, (std::vector<std::string>{"INDI"}));
    report.messages = {"INDI.SEX value is '<b>', but it should be"};
    good->checkGEDCOMOfRecord(html, grammar, 0, report);
    EXPECT_EQ(html, "<li><a href='//@I1@'>" + good->viewName() +
                        "</a>\n<ul>\n<li>INDI.SEX value is '&lt;b&gt;', but it should be</li>\n\n</ul>\n</li>\n");
    html.clear();
    add("@X1@", "_CUST", "1 NOTE x\n")->checkGEDCOMOfRecord(html, grammar, 0, report);
    EXPECT_EQ(html, "<li><a href='//@X1@'>" + store.records["@X1@"]->viewName() +
                        "</a>\n<ul><li>Unrecognized custom record of type _CUST</li></ul>\n</li>");
    html.clear();
    auto broken = add("@I2@", "INDI", "1 NAME A\n");
    broken->setCorruptBit(CorruptMisorderedLevels);
    broken->checkGEDCOMOfRecord(html, grammar, 0, report);
    EXPECT_TRUE(html.find(": The basic GEDCOM structure of this record is corrupted for the reasons listed below. "
                          "The data in the record will not be checked until these problems are fixed.<ul><li>") !=
                std::string::npos)
        << html;
    EXPECT_TRUE(html.ends_with("</li></ul></li>\n"));
    EXPECT_EQ(report.bad, 3);
}

}  // namespace
}  // namespace kl
