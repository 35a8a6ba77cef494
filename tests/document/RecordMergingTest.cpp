// Merging two records of a store: how two lines compare and complete each
// other, what the base merge takes from the other record, the clean-ups a
// merge leaves to the kinds, and the passes that drop or re-point links
// when lines leave a record or records change their IDs.
#include <gtest/gtest.h>

#include <algorithm>

#include "StoreTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"
#include "model/REPORecord.h"

namespace kl {
namespace {

class RecordMerging : public testing::Test, public test::PeopleStoreFixture {
protected:
    // Read and tidied as a document's read is, so citations have back links.
    void load(const std::string& records) {
        PeopleStoreFixture::load(records);
        document.undo.disableUndoRegistration();
        model.runSimplifyGEDCOM(1);
        document.undo.enableUndoRegistration();
    }
    RecordPtr record(const std::string& id) { return model.recordWithID(id, ""); }
    std::shared_ptr<GEDCOMStructure> first(const std::string& id, const char* tag) {
        return record(id)->firstChildWithTag(tag);
    }
    static std::vector<std::string> tagsOf(const GEDCOMObject& node) {
        std::vector<std::string> tags;
        for (const auto& child : node.structures()) tags.push_back(child->gtag() + " " + child->contents());
        return tags;
    }
};

struct MatchCase {
    const char* name;
    const char* kept;   // level-1 lines of the kept record's event
    const char* other;  // and of the other's
    std::optional<std::string> keptComment;
    std::optional<std::string> otherComment;
    int answer;
    std::vector<std::string> keptAfter;  // the kept event's children afterwards
    std::optional<std::string> comment;  // the kept event's quick comment afterwards
};

TEST_F(RecordMerging, MatchingTwoEvents) {
    const std::nullopt_t none = std::nullopt;
    const MatchCase cases[] = {
        {"dates in another case", "1 BIRT\n2 DATE 1 JAN 1900\n", "1 BIRT\n2 DATE 1 jan 1900\n", none, none, 1,
         {"DATE 1 JAN 1900"}, none},
        {"a day against its month", "1 BIRT\n2 DATE 1 JAN 1900\n", "1 BIRT\n2 DATE JAN 1900\n", none, none, 0,
         {"DATE 1 JAN 1900"}, none},
        {"an unreadable date", "1 BIRT\n2 DATE 1 JAN 1900\n", "1 BIRT\n2 DATE someday\n", none, none, 0,
         {"DATE 1 JAN 1900"}, none},
        {"citations in another order", "1 BIRT\n2 SOUR @S1@\n2 SOUR @S2@\n", "1 BIRT\n2 SOUR @S2@\n2 SOUR @S1@\n",
         none, none, 0, {"SOUR @S1@", "SOUR @S2@"}, none},
        {"only the kept comment", "1 BIRT\n2 DATE 1900\n", "1 BIRT\n2 DATE 1900\n", "mine", none, 1,
         {"DATE 1900"}, "mine"},
        {"two comments", "1 BIRT\n", "1 BIRT\n", "mine", "theirs", 2, {}, "mine / theirs"},
        {"comments in another case", "1 BIRT\n", "1 BIRT\n", "Mine", "mine", 1, {}, "Mine"},
        {"the other has more", "1 BIRT\n2 DATE 1900\n", "1 BIRT\n2 DATE 1900\n2 PLAC Salem\n", none, none, 2,
         {"DATE 1900", "PLAC Salem"}, none},
        {"the kept has more", "1 BIRT\n2 DATE 1900\n2 PLAC Salem\n", "1 BIRT\n2 DATE 1900\n", none, none, 3,
         {"DATE 1900", "PLAC Salem"}, none},
        {"a completed child moves to the end", "1 BIRT\n2 TYPE local\n2 DATE 1900\n",
         "1 BIRT\n2 TYPE local\n3 _DETAIL one\n2 DATE 1900\n", none, none, 2, {"DATE 1900", "TYPE local"}, none},
        {"other contents", "1 BIRT Y\n", "1 BIRT N\n", none, none, 0, {}, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(std::string("0 @I1@ INDI\n") + c.kept + "0 @I2@ INDI\n" + c.other + "0 @S1@ SOUR\n0 @S2@ SOUR\n");
        auto kept = first("@I1@", "BIRT");
        auto other = first("@I2@", "BIRT");
        kept->setQuickComment(c.keptComment);
        other->setQuickComment(c.otherComment);
        EXPECT_EQ(kept->matches(*other), c.answer);
        EXPECT_EQ(tagsOf(*kept), c.keptAfter);
        EXPECT_EQ(kept->quickComment(), c.comment);
    }
    load("0 @I1@ INDI\n1 BIRT\n0 @I2@ INDI\n1 DEAT\n");
    EXPECT_EQ(first("@I1@", "BIRT")->matches(*first("@I2@", "DEAT")), 0);
}

TEST_F(RecordMerging, CopyForAnotherRecordIsDeepAndDetached) {
    load("0 @I1@ INDI\n1 BIRT\n2 TYPE local\n3 _DETAIL one\n4 _MORE N1\n0 @I2@ INDI\n");
    first("@I1@", "BIRT")->setQuickComment("said");
    auto copy = first("@I1@", "BIRT")->structCopyForRecord(record("@I2@").get());
    EXPECT_EQ(copy->gedcomString(), first("@I1@", "BIRT")->gedcomString());
    EXPECT_EQ(copy->quickComment(), std::optional<std::string>("said"));
    auto latitude = copy->findStructureWithTag("_MORE");
    ASSERT_TRUE(latitude);
    EXPECT_EQ(latitude->theRecord(), record("@I2@").get());
    latitude->setContents("S2");
    EXPECT_EQ(record("@I1@")->findStructureWithTag("_MORE")->contents(), "N1");
}

// ---- the base merge (repositories use it unchanged)

TEST_F(RecordMerging, ViewNamesDecideUnderTheBaseRule) {
    load("0 @R1@ REPO\n1 NAME City Archive\n0 @R2@ REPO\n1 NAME CITY archive\n0 @R3@ REPO\n1 NAME City Archives\n");
    EXPECT_TRUE(record("@R1@")->canMergeWith(*record("@R2@")));
    EXPECT_FALSE(record("@R1@")->canMergeWith(*record("@R3@")));
}

TEST_F(RecordMerging, BaseMergeKeepsStampsAndUUIDOfTheKeptRecord) {
    const bool tracking = GEDCOMRecord::trackingChangeDates();
    GEDCOMRecord::setTrackingChangeDates(false);
    const std::string other =
        "0 @R2@ REPO\n1 NAME Archive\n1 _KLID other-uuid\n1 CHAN\n2 DATE 2 FEB 2002\n"
        "1 REFN 2 FEB 2002\n2 TYPE Creation Date\n1 REFN box 4\n2 TYPE shelf\n";
    load("0 @R1@ REPO\n1 NAME Archive\n1 _KLID kept-uuid\n1 CHAN\n2 DATE 1 JAN 2001\n"
         "1 REFN 1 JAN 2001\n2 TYPE Creation Date\n" + other +
         "0 @R3@ REPO\n1 NAME Archive\n");
    EXPECT_EQ(record("@R1@")->mergeWith(*record("@R2@"), false), 0);
    EXPECT_EQ(tagsOf(*record("@R1@")), (std::vector<std::string>{"NAME Archive", "_KLID kept-uuid", "CHAN ",
                                                                  "REFN 1 JAN 2001", "REFN box 4"}));
    // A kept record without a UUID takes the other's.
    record("@R3@")->mergeWith(*record("@R2@"), false);
    EXPECT_EQ(record("@R3@")->recordUUID(), "other-uuid");
    EXPECT_FALSE(record("@R3@")->firstChildWithTag("CHAN"));
    GEDCOMRecord::setTrackingChangeDates(tracking);
}

TEST_F(RecordMerging, DifferingNoteTextsAreJoined) {
    load("0 @N1@ NOTE First text\n0 @N2@ NOTE first TEXT\n0 @N3@ NOTE Other text\n");
    EXPECT_EQ(record("@N1@")->mergeWith(*record("@N2@"), false), 0);
    EXPECT_EQ(first("@N1@", "CONC")->contents(), "First text");
    EXPECT_EQ(record("@N1@")->mergeWith(*record("@N3@"), false), 1);
    EXPECT_EQ(first("@N1@", "CONC")->contents(),
              "First text\n\n***** Alternate Merged Version *****\n\nOther text");
}

TEST_F(RecordMerging, MergeCopiesWhatTheKeptRecordLacksAndTheBackLinks) {
    load("0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n1 NOTE @N1@\n0 @I2@ INDI\n1 BIRT\n2 DATE 1900\n2 PLAC Salem\n"
         "1 OCCU Smith\n0 @S1@ SOUR\n1 NOTE @N1@\n0 @N1@ NOTE Text\n0 @N2@ NOTE Text\n0 @I3@ INDI\n1 NOTE @N2@\n");
    record("@I2@")->mergeWith(*record("@I1@"), false);
    EXPECT_EQ(tagsOf(*record("@I2@")), (std::vector<std::string>{"BIRT ", "OCCU Smith", "NOTE @N1@"}));
    EXPECT_EQ(tagsOf(*first("@I2@", "BIRT")), (std::vector<std::string>{"DATE 1900", "PLAC Salem"}));
    // Back links: the kept note gains the other's citers it lacks.
    record("@N2@")->mergeWith(*record("@N1@"), false);
    auto citers = record("@N2@")->crossRefIDs();
    std::sort(citers.begin(), citers.end());
    EXPECT_EQ(citers, (std::vector<std::string>{"@I1@", "@I3@", "@S1@"}));
    // An empty other changes nothing.
    load("0 @I1@ INDI\n1 SEX M\n0 @I2@ INDI\n");
    const std::string before = text("@I1@");
    EXPECT_EQ(record("@I1@")->mergeWith(*record("@I2@"), false), 0);
    EXPECT_EQ(text("@I1@"), before);
}

TEST_F(RecordMerging, RepeatedLinksAndEventsAreRemoved) {
    load("0 @I1@ INDI\n1 SOUR @S1@\n1 SOUR @S1@\n1 SOUR @S1@\n1 SOUR @S2@\n2 PAGE 4\n1 SOUR @S2@\n2 PAGE 5\n"
         "1 BIRT\n2 DATE 1900\n1 BIRT\n2 DATE 1901\n1 BIRT\n2 DATE 1900\n"
         "0 @S1@ SOUR\n0 @S2@ SOUR\n");
    EXPECT_EQ(record("@I1@")->removeDuplicateLinks("SOUR"), 2);
    EXPECT_EQ(record("@I1@")->removeDuplicateEvents("BIRT"), 1);
    EXPECT_EQ(tagsOf(*record("@I1@")), (std::vector<std::string>{"SOUR @S1@", "SOUR @S2@", "SOUR @S2@", "BIRT ",
                                                                  "BIRT "}));
}

TEST_F(RecordMerging, KindsCleanUpAfterAForcedMerge) {
    load("0 @I1@ INDI\n1 FAMC @F1@\n1 FAMC @F1@\n1 BIRT\n2 DATE 1900\n1 BIRT\n2 DATE 1900\n"
         "0 @F1@ FAM\n1 CHIL @I1@\n1 CHIL @I1@\n1 HUSB @I2@\n0 @I2@ INDI\n");
    record("@I1@")->setContextInfo(Value(std::int64_t{2}));
    EXPECT_TRUE(record("@I1@")->removeDuplicateLinksAfterMerge());
    EXPECT_EQ(record("@I1@")->findChildren("FAMC", false).size(), 1u);
    EXPECT_EQ(record("@I1@")->findChildren("BIRT", false).size(), 1u);
    record("@F1@")->setContextInfo(Value(std::int64_t{2}));
    EXPECT_FALSE(record("@F1@")->removeDuplicateLinksAfterMerge());
    EXPECT_EQ(record("@F1@")->findChildren("CHIL", false).size(), 1u);
    // The base has nothing to clean.
    load("0 @U1@ SUBM\n1 NOTE @N1@\n1 NOTE @N1@\n0 @N1@ NOTE Text\n");
    EXPECT_FALSE(record("@U1@")->removeDuplicateLinksAfterMerge());
}

// ---- link clean-up

struct DetachCase {
    const char* name;
    const char* record;
    bool sourceKeepsBackLink;
};

TEST_F(RecordMerging, DetachingAnEventDropsTheOnlyCitationsBackLink) {
    const DetachCase cases[] = {
        {"the only citation", "0 @I1@ INDI\n1 BIRT\n2 SOUR @S1@\n", false},
        {"cited again elsewhere", "0 @I1@ INDI\n1 BIRT\n2 SOUR @S1@\n1 SOUR @S1@\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(std::string(c.record) + "0 @S1@ SOUR\n1 TITL Parish book\n");
        const auto& backLinks = record("@S1@")->crossRefIDs();
        ASSERT_EQ(backLinks, (std::vector<std::string>{"@I1@"}));
        auto event = first("@I1@", "BIRT");
        event->clearCrossLinksTo(*record("@I1@"));
        EXPECT_EQ(!record("@S1@")->crossRefIDs().empty(), c.sourceKeepsBackLink);
        EXPECT_EQ(event->firstChildWithTag("SOUR")->contents(), "");
    }
}

TEST_F(RecordMerging, DetachingAnAssociationAndALogLink) {
    load("0 @I1@ INDI\n1 ASSO @I2@\n1 _LOG @L1@\n0 @I2@ INDI\n1 ASSO @I1@\n0 @L1@ _LOG\n1 _INDI @I1@\n");
    first("@I1@", "ASSO")->clearCrossLinksTo(*record("@I1@"));
    first("@I1@", "_LOG")->clearCrossLinksTo(*record("@I1@"));
    EXPECT_FALSE(first("@I2@", "ASSO"));
    EXPECT_FALSE(first("@L1@", "_INDI"));
    EXPECT_EQ(first("@I1@", "_LOG")->contents(), "");
}

TEST_F(RecordMerging, StyleSheetCommentsAreRepointedOrCut) {
    load("0 @N1@ NOTE <!--CSS sheet --> one <!--css sheet--> two <!--CSS --> three <!--CSS other -->\n"
         "0 @M1@ OBJE\n1 FILE style.css\n0 @N2@ NOTE <p><!--CSS @M1@ -->Text</p>\n");
    record("@N1@")->fixCSSLinksInRecord(Dictionary{{"sheet", Value("@M7@")}});
    EXPECT_EQ(first("@N1@", "CONC")->contents(),
              "<!--CSS @M7@ --> one <!--css @M7@ --> two <!--CSS --> three <!--CSS other -->");
    // Deleting the style sheet strips its comments.
    model.deleteRecord(record("@M1@"));
    EXPECT_EQ(first("@N2@", "CONC")->contents(), "<p>Text</p>");
}

TEST_F(RecordMerging, StoreRepairsStyleSheetsAfterAReadAndHTMLLinksOnRequest) {
    load("0 @N1@ NOTE <div><!--CSS key --><a href='//@I1@'>Ann</a></div>\n0 @I1@ INDI\n0 @I2@ INDI\n");
    model.addCSSDictionaryObject("@M3@", "key");
    document.undo.beginUndoGrouping();
    model.checkCSS(true, HREFIDMap{{"@I1@", "@I2@"}});
    document.undo.endUndoGrouping();
    EXPECT_EQ(first("@N1@", "CONC")->contents(), "<div><!--CSS @M3@ --><a href='//@I2@'>Ann</a></div>");
    EXPECT_EQ(model.cssRecords().size(), 0u);
    // Undo takes the repair back with the edit that asked for it.
    document.undo.undo();
    EXPECT_EQ(first("@N1@", "CONC")->contents(), "<div><!--CSS key --><a href='//@I1@'>Ann</a></div>");
}

TEST_F(RecordMerging, MergeNoteIDIsFreeInBothStores) {
    load("0 @N1@ NOTE one\n");
    test::FakeDocument otherDocument;
    GEDCOMModel other(&otherDocument);
    other.setInputGed("0 HEAD\n0 @N2@ NOTE two\n0 TRLR\n");
    other.setRecordsFromStringVerifyIDs(true, false);
    auto note = model.createNoteWhenMergingFrom(other);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->grecordID(), "@N3@");
    EXPECT_EQ(model.recordWithID("@N3@", "NOTE"), note);
}

}  // namespace
}  // namespace kl
