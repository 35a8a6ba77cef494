#include <gtest/gtest.h>

#include <functional>

#include "TreeTestSupport.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"

namespace kl {
namespace {

namespace names = notification_names;

const char* kIndividual =
    "0 @I1@ INDI\n"
    "1 NAME Ann /Smith/\n"
    "1 BIRT\n"
    "2 DATE 1 JAN 1900\n"
    "2 PLAC Rome\n"
    "3 _MEMO checked\n"
    "1 SEX F\n";

// A record in an undoable document, with its structures at hand by tag.
struct Document {
    UndoManager undo;
    std::shared_ptr<GEDCOMRecord> record = test::readRecord(kIndividual);
    Document() { record->setUndoManager(&undo); }
    std::shared_ptr<GEDCOMStructure> find(const char* tag) { return record->findStructureWithTag(tag); }
    std::string text() const { return record->gedcomString(); }
    std::shared_ptr<GEDCOMStructure> make(int level, const char* tag, const char* contents) {
        return std::make_shared<GEDCOMStructure>(record.get(), level, tag, contents);
    }
};

struct UndoCase {
    const char* name;
    std::function<void(Document&)> change;
    const char* notification;  // nullptr: the change announces nothing
    const char* changedText;
    // Changes that also mark the record changed register that too, so the
    // caller groups them into one step, as a cell commit does.
    bool marksRecordChanged = false;
};

class UndoableChange : public ::testing::TestWithParam<UndoCase> {};

TEST_P(UndoableChange, RegistersOneUndoPostsAndRestoresExactly) {
    const UndoCase& c = GetParam();
    Document doc;
    const std::string before = doc.text();
    std::size_t posted = 0;
    {
        test::NotificationLog log;
        if (c.marksRecordChanged) doc.undo.beginUndoGrouping();
        c.change(doc);
        if (c.marksRecordChanged) doc.undo.endUndoGrouping();
        if (c.notification) posted = log.count(c.notification);
    }
    EXPECT_EQ(doc.undo.undoCount(), 1u);
    if (c.notification) {
        EXPECT_EQ(posted, 1u);
    }
    const std::string after = doc.text();
    EXPECT_EQ(after, c.changedText);

    doc.undo.undo();
    EXPECT_EQ(doc.text(), before);
    doc.undo.redo();
    EXPECT_EQ(doc.text(), after);
    doc.undo.undo();
    EXPECT_EQ(doc.text(), before);
    EXPECT_EQ(doc.undo.redoCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UndoableChange,
    ::testing::Values(
        UndoCase{"SetContents", [](Document& d) { d.find("DATE")->setContents("2 FEB 1901"); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 2 FEB 1901\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"AppendContents", [](Document& d) { d.find("NAME")->appendContents(" Jr"); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/ Jr\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"SetReadContents", [](Document& d) { d.find("SEX")->setReadContents("M"); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX M\n", true},
        UndoCase{"SetQuickComment", [](Document& d) { d.find("BIRT")->setQuickComment("baptism?"); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 _MEMO baptism?\n2 DATE 1 JAN 1900\n2 PLAC Rome\n"
                 "3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"ClearQuickMemo", [](Document& d) { d.find("PLAC")->setQuickMemo(""); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n1 SEX F\n"},
        UndoCase{"SetReadTag", [](Document& d) { d.find("BIRT")->setReadTag("CHR"); }, names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 CHR\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n", true},
        UndoCase{"MoveToFront", [](Document& d) { d.record->moveStructure(d.find("SEX"), d.find("NAME").get()); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 SEX F\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n"},
        UndoCase{"MoveToEnd", [](Document& d) { d.record->moveStructure(d.find("NAME"), nullptr); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n1 NAME Ann /Smith/\n"},
        UndoCase{"MoveBeforeStrangerGoesFirst",
                 [](Document& d) { d.find("BIRT")->moveStructure(d.find("PLAC"), d.find("NAME").get()); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 PLAC Rome\n3 _MEMO checked\n2 DATE 1 JAN 1900\n1 SEX F\n"},
        UndoCase{"AddToRecordAfterAnchor",
                 [](Document& d) { d.record->addStructure(d.make(1, "NOTE", "hi"), d.record.get(), d.find("NAME").get(), true); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 NOTE hi\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"AddToRecordWithoutAnchorGoesFirst",
                 [](Document& d) { d.record->addStructure(d.make(1, "NOTE", "hi"), d.record.get(), nullptr, false); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NOTE hi\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"AddBelowStructureWithForeignAnchorGoesLast",
                 [](Document& d) {
                     auto stranger = std::make_shared<GEDCOMStructure>(nullptr, 2, "X", "");
                     d.record->addStructure(d.make(2, "SOUR", "@S1@"), d.find("BIRT").get(), stranger.get(), false);
                 },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n2 SOUR @S1@\n1 SEX F\n"},
        UndoCase{"RemoveFromRecord", [](Document& d) { d.record->removeStructure(d.find("BIRT"), d.record.get(), nullptr); },
                 names::RecordStructuresChanged, "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 SEX F\n"},
        UndoCase{"RemoveFirstChild", [](Document& d) { d.record->removeStructure(d.find("NAME"), d.record.get(), nullptr); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n1 SEX F\n"},
        UndoCase{"RemoveNested", [](Document& d) { d.record->removeStructure(d.find("PLAC"), d.find("BIRT").get(), nullptr); },
                 names::RecordStructuresChanged, "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n1 SEX F\n"},
        UndoCase{"SetGenericTagChangesExistingLine", [](Document& d) { d.find("BIRT")->setEventPlace("Milan"); },
                 names::RecordStructureContentsChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Milan\n3 _MEMO checked\n1 SEX F\n", true},
        UndoCase{"SetGenericTagAddsMissingLineLast", [](Document& d) { d.find("BIRT")->setGenericTag("AGE", "0"); },
                 names::RecordStructuresChanged,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Rome\n3 _MEMO checked\n2 AGE 0\n1 SEX F\n", true},
        UndoCase{"FixLevel", [](Document& d) { d.find("BIRT")->fixLevel(2, d.record.get()); }, nullptr,
                 "0 @I1@ INDI\n1 NAME Ann /Smith/\n2 BIRT\n3 DATE 1 JAN 1900\n3 PLAC Rome\n4 _MEMO checked\n1 SEX F\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UndoableChange, NothingIsRegisteredOrAnnouncedWhileRegistrationIsOff) {
    Document doc;
    doc.undo.disableUndoRegistration();
    test::NotificationLog log;
    doc.find("DATE")->setContents("1901");
    doc.find("DATE")->setQuickComment("x");
    doc.record->addStructure(doc.make(1, "NOTE", "n"), doc.record.get(), nullptr, false);
    EXPECT_EQ(doc.undo.undoCount(), 0u);
    EXPECT_EQ(log.count(names::RecordStructureContentsChanged), 0u);
}

TEST(UndoableChange, RemovalAnnouncesEachDescendantBeforeTheChange) {
    Document doc;
    auto birt = doc.find("BIRT");
    std::vector<const void*> expected{birt.get(), doc.find("DATE").get(), doc.find("PLAC").get()};
    test::NotificationLog log;
    doc.record->removeStructure(birt, doc.record.get(), nullptr);
    std::vector<const void*> announced;
    for (const auto& n : log.posted)
        if (n.name == names::RecordStructureWillRemove) announced.push_back(n.object);
    EXPECT_EQ(announced, expected);
    ASSERT_EQ(log.posted.back().name, names::RecordStructuresChanged);
    EXPECT_EQ(log.posted.back().object, doc.record.get());
    const Value* removing = log.posted.back().userInfo.get("removing");
    ASSERT_NE(removing, nullptr);
    EXPECT_EQ(removing->toString("not a text"), "");
    EXPECT_EQ(log.posted.back().userInfo.get("structure")->objectAs<GEDCOMStructure>(), birt);
}

TEST(UndoableChange, RemovalNamesTheAskingBrowser) {
    Document doc;
    auto browser = std::make_shared<Object>();
    test::NotificationLog log;
    doc.record->removeStructure(doc.find("SEX"), doc.record.get(), browser);
    EXPECT_EQ(log.posted.back().userInfo.get("removing")->object(), browser);
}

TEST(UndoableChange, AdditionCarriesStructureRecordAndScrollFlag) {
    Document doc;
    auto note = doc.make(1, "NOTE", "n");
    test::NotificationLog log;
    doc.record->addStructure(note, doc.record.get(), nullptr, true);
    const Dictionary& info = log.posted.back().userInfo;
    EXPECT_EQ(info.get("structure")->objectAs<GEDCOMStructure>(), note);
    EXPECT_EQ(info.get("theRecord")->objectAs<GEDCOMRecord>(), doc.record);
    EXPECT_TRUE(info.get("scrollToView")->toBool());
}

struct NoChangeCase {
    const char* name;
    std::function<void(Document&)> change;
};

class ChangeThatDoesNothing : public ::testing::TestWithParam<NoChangeCase> {};

TEST_P(ChangeThatDoesNothing, LeavesTreeUndoAndViewsAlone) {
    Document doc;
    const std::string before = doc.text();
    test::NotificationLog log;
    GetParam().change(doc);
    EXPECT_EQ(doc.text(), before);
    EXPECT_EQ(doc.undo.undoCount(), 0u);
    EXPECT_TRUE(log.posted.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeThatDoesNothing,
    ::testing::Values(
        NoChangeCase{"RemoveFromWrongParent",
                     [](Document& d) {
                         auto birt = d.find("BIRT");
                         EXPECT_TRUE(birt->removeStructure(d.find("SEX"), birt.get(), {}));
                         d.record->removeStructure(d.find("SEX"), birt.get(), nullptr);
                     }},
        NoChangeCase{"RemoveFromParentOutsideRecord",
                     [](Document& d) {
                         auto stranger = std::make_shared<GEDCOMStructure>(nullptr, 1, "X", "");
                         d.record->removeStructure(d.find("SEX"), stranger.get(), nullptr);
                     }},
        NoChangeCase{"AddBelowParentOutsideRecord",
                     [](Document& d) {
                         auto stranger = std::make_shared<GEDCOMStructure>(nullptr, 1, "X", "");
                         d.record->addStructure(d.make(2, "NOTE", ""), stranger.get(), nullptr, false);
                     }},
        NoChangeCase{"MoveStructureOfAnotherParent",
                     [](Document& d) { d.record->moveStructure(d.find("DATE"), nullptr); }},
        NoChangeCase{"MoveBeforeItself", [](Document& d) { d.record->moveStructure(d.find("SEX"), d.find("SEX").get()); }},
        NoChangeCase{"SetGenericTagToSameText", [](Document& d) { d.find("BIRT")->setEventDate("1 JAN 1900"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UndoableChange, ClearUndoActionsDropsActionsOfTheSubtreeOnly) {
    Document doc;
    doc.find("DATE")->setContents("1901");
    doc.find("SEX")->setContents("M");
    doc.find("BIRT")->clearUndoActions(&doc.undo);
    EXPECT_EQ(doc.undo.undoCount(), 1u);
    doc.undo.undo();
    EXPECT_EQ(doc.find("SEX")->contents(), "F");
    EXPECT_EQ(doc.find("DATE")->contents(), "1901");
}

TEST(UndoableChange, RemovedStructureLivesOnInItsUndoAction) {
    Document doc;
    std::weak_ptr<GEDCOMStructure> birt = doc.find("BIRT");
    doc.record->removeStructure(birt.lock(), doc.record.get(), nullptr);
    EXPECT_FALSE(birt.expired());
    doc.undo.removeAllActions();
    EXPECT_TRUE(birt.expired());
}

}  // namespace
}  // namespace kl
