// What internal scripts and the outside scripting interface see of a
// structure: its attribute texts, its setters (run on the main thread, with
// undo), its neighbours and place as script objects, and the child list as a
// script element.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "RecordTestSupport.h"
#include "ScriptingTestSupport.h"
#include "foundation/QueueDispatcher.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/PlaceRecord.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

constexpr const char* kPersonLines =
    "1 BIRT\n"
    "2 DATE 12 MAR 1820\n"
    "2 PLAC Vik, Sogn, Vestland,  Norway \n"
    "1 DEAT\n"
    "2 PLAC Bergen\n"
    "1 BURI Y\n"
    "1 RESI\n"
    "2 DATE 1850\n"
    "2 _GPS box1\n"
    "1 NOTE @N1@\n"
    "1 SOUR @S1@\n"
    "2 PAGE 12\n";

// A person with events in every date/place combination, linked to a note, a
// source and (through the death place) a place record.
class ScriptedPerson : public ::testing::Test {
protected:
    RecordEnvironment env;
    ScriptStore store;
    TestInterpreter script;
    std::shared_ptr<GEDCOMRecord> person;

    void SetUp() override {
        store.add("@N1@", "NOTE", "1 CONC a note\n");
        store.add("@S1@", "SOUR", "1 TITL A source\n");
        store.add<PlaceRecord>("@P1@", "_PLC", "1 _PLACE Bergen\n");
        store.placeIDs["Bergen"] = "@P1@";
        person = store.add<INDIRecord>("@I1@", "INDI", kPersonLines);
        store.host.bounds["box1"] = {1.5, -2, 3, 4.25};
    }

    std::shared_ptr<GEDCOMStructure> child(std::size_t index) { return person->structures().at(index); }

    // A script object as a short text: records by ID, structures by tag,
    // lists in brackets, the none value as "None", no object as "nil".
    std::string render(const std::shared_ptr<Object>& object) {
        if (!object) return "nil";
        if (object == script.none) return "None";
        if (auto record = std::dynamic_pointer_cast<GEDCOMRecord>(object)) return record->grecordID();
        if (auto node = std::dynamic_pointer_cast<GEDCOMObject>(object)) return node->gtag();
        std::string out = "[";
        for (const Value& item : TestInterpreter::items(object)) {
            if (out.size() > 1) out += ",";
            out += item.isObject() ? render(item.object()) : item.toString();
        }
        return out + "]";
    }
};

enum Child : std::size_t { Birth, Death, Burial, Residence, Note, Source };

struct GetterCase {
    Child child;
    const char* key;
    std::optional<std::string> expected;
};

class StructureGetters : public ScriptedPerson, public ::testing::WithParamInterface<GetterCase> {};

TEST_P(StructureGetters, AnswerTheirText) {
    const GetterCase& c = GetParam();
    EXPECT_EQ(child(c.child)->klis_getAttribute(c.key, &script), c.expected) << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StructureGetters,
    ::testing::Values(
        GetterCase{Birth, "eventDate", "12 MAR 1820"},
        GetterCase{Birth, "eventPlace", "Vik, Sogn, Vestland,  Norway "},
        GetterCase{Birth, "eventDatePlace", "12 MAR 1820, Vik, Sogn, Vestland,  Norway "},
        GetterCase{Death, "eventDatePlace", "Bergen"},
        GetterCase{Residence, "eventDatePlace", "1850"},
        GetterCase{Burial, "eventDatePlace", ""},
        GetterCase{Birth, "eventCountry", "Norway"},
        GetterCase{Death, "eventCountry", "Bergen"},
        GetterCase{Burial, "eventCountry", ""},
        GetterCase{Birth, "eventYear", "1820"},
        GetterCase{Burial, "eventYear", ""},
        GetterCase{Birth, "eventYearCountry", "1820, Norway"},
        GetterCase{Death, "eventYearCountry", "Bergen"},
        GetterCase{Residence, "eventYearCountry", "1850"},
        GetterCase{Burial, "eventSDN", "0"},
        GetterCase{Burial, "memo", ""},
        GetterCase{Source, "contents", "@S1@"},
        GetterCase{Source, "name", "SOUR"},
        GetterCase{Source, "class", "structure"},
        GetterCase{Source, "tag", "SOUR"},
        GetterCase{Source, "level", "1"},
        GetterCase{Source, "firstLine", "1 SOUR @S1@\n"},
        GetterCase{Source, "gedcom", "1 SOUR @S1@\n2 PAGE 12\n"},
        GetterCase{Source, "id", std::nullopt},
        GetterCase{Source, "evenPlace", std::nullopt},
        GetterCase{Source, "noSuchKey", std::nullopt}), ::kl::test::CaseName());

// Texts that follow the date display are checked against the structure's
// own readers, whatever the display format.
TEST_F(ScriptedPerson, UserDateAndDayNumberKeysFollowTheStructure) {
    auto birth = child(Birth);
    EXPECT_EQ(birth->klis_getAttribute("eventDateUser", &script), birth->subordinateDate());
    EXPECT_EQ(birth->klis_getAttribute("eventDateUserPlace", &script),
              birth->subordinateDate() + ", " + birth->eventPlace());
    EXPECT_EQ(birth->klis_getAttribute("eventSDN", &script), std::to_string(birth->eventSDN()));
    EXPECT_EQ(birth->klis_getAttribute("eventSDNMax", &script), std::to_string(birth->eventSDNMax()));
    EXPECT_GT(birth->eventSDN(), 0);
    EXPECT_EQ(child(Death)->klis_getAttribute("eventDateUserPlace", &script), "Bergen");
}

struct SetterCase {
    const char* key;
    const char* value;
    bool handled;
    const char* probe;  // the key read back afterwards
    const char* expected;
};

class StructureSetters : public ScriptedPerson, public ::testing::WithParamInterface<SetterCase> {};

// A handled key changes the tree on the main thread (one waited hand-off)
// as one undoable step; a refused key changes nothing and never hops.
TEST_P(StructureSetters, ChangeOnTheMainThreadAndUndo) {
    const SetterCase& c = GetParam();
    CountingDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    auto residence = child(Residence);
    const std::string before = person->gedcomString();

    store.undo.beginUndoGrouping();
    EXPECT_EQ(residence->klis_setAttribute(c.key, c.value, &script), c.handled);
    store.undo.endUndoGrouping();
    EXPECT_EQ(dispatcher.waited, c.handled ? 1 : 0);
    EXPECT_EQ(residence->klis_getAttribute(c.probe, &script), c.expected);
    if (!c.handled) {
        EXPECT_EQ(person->gedcomString(), before);
        return;
    }
    store.undo.undo();
    EXPECT_EQ(person->gedcomString(), before);
}

INSTANTIATE_TEST_SUITE_P(Keys, StructureSetters,
                         ::testing::Values(SetterCase{"contents", "Oslo", true, "contents", "Oslo"},
                                           SetterCase{"eventDate", "1851", true, "eventDate", "1851"},
                                           SetterCase{"evenPlace", "Oslo", true, "eventPlace", "Oslo"},
                                           SetterCase{"eventPlace", "Oslo", false, "eventPlace", ""},
                                           SetterCase{"memo", "seen", true, "memo", "seen"},
                                           SetterCase{"name", "OCCU", true, "tag", "OCCU"},
                                           SetterCase{"level", "3", false, "level", "1"},
                                           SetterCase{"gedcom", "1 X", false, "tag", "RESI"}), ::kl::test::CaseName());

// The script's thread waits while the main thread makes the change, so the
// notifications (and undo registration) happen on the main thread.
TEST_F(ScriptedPerson, SetterFromAScriptThreadChangesOnTheMainThread) {
    QueueDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    std::vector<std::thread::id> postedOn;
    Observation watch = NotificationCenter::defaultCenter().addObserver(
        "", nullptr, [&](const Notification&) { postedOn.push_back(std::this_thread::get_id()); });
    auto residence = child(Residence);
    std::atomic<bool> handled{false};
    std::atomic<bool> done{false};
    std::thread scriptThread([&] {
        handled = residence->klis_setAttribute("evenPlace", "Oslo", &script);
        done = true;
    });
    while (!done) {
        dispatcher.waitForWork(std::chrono::milliseconds(10));
        dispatcher.runPending();
    }
    scriptThread.join();
    EXPECT_TRUE(handled);
    EXPECT_EQ(residence->eventPlace(), "Oslo");
    ASSERT_FALSE(postedOn.empty());
    for (const auto& id : postedOn) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(ScriptedPerson, EmptyMemoClearsTheComment) {
    auto residence = child(Residence);
    ASSERT_TRUE(residence->klis_setAttribute("memo", "seen", &script));
    ASSERT_TRUE(residence->klis_setAttribute("memo", "", &script));
    EXPECT_EQ(residence->quickComment(), std::nullopt);
}

struct ObjectCase {
    Child child;
    const char* key;
    const char* expected;
};

class StructureObjects : public ScriptedPerson, public ::testing::WithParamInterface<ObjectCase> {};

TEST_P(StructureObjects, AnswerObjectsOrNone) {
    const ObjectCase& c = GetParam();
    EXPECT_EQ(render(child(c.child)->klis_getObjectAttribute(c.key, &script)), c.expected) << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StructureObjects,
    ::testing::Values(ObjectCase{Birth, "parentStructure", "@I1@"},
                      ObjectCase{Birth, "prevStructure", "None"},
                      ObjectCase{Birth, "nextStructure", "DEAT"},
                      ObjectCase{Source, "nextStructure", "None"},
                      ObjectCase{Source, "prevStructure", "NOTE"},
                      ObjectCase{Birth, "placeRecord", "None"},  // a place text without a record
                      ObjectCase{Burial, "placeRecord", "None"},  // no place at all
                      ObjectCase{Death, "placeRecord", "@P1@"},
                      ObjectCase{Residence, "eventLonLatBounds", "[1.5,-2,3,4.25]"},
                      ObjectCase{Death, "eventLonLatBounds", "None"},  // the place record has no bounds
                      ObjectCase{Burial, "eventLonLatBounds", "None"},
                      ObjectCase{Source, "structures", "[PAGE]"},
                      ObjectCase{Birth, "citations", "[]"},
                      ObjectCase{Source, "keywords", "nil"},
                      ObjectCase{Birth, "noSuchKey", "nil"}), ::kl::test::CaseName());

TEST_F(ScriptedPerson, RecordListsItsLinkedRecords) {
    EXPECT_EQ(render(person->klis_getObjectAttribute("citations", &script)), "[@S1@]");
    EXPECT_EQ(render(person->klis_getObjectAttribute("notations", &script)), "[@N1@]");
    EXPECT_EQ(render(person->klis_getObjectAttribute("objects", &script)), "[]");
    auto rows = TestInterpreter::items(child(Source)->klis_getObjectAttribute("gedcomArray", &script));
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(ScriptedPerson, StructureIsSpecifiedByIndexInItsParent) {
    auto page = child(Source)->structures().at(0);
    auto specifier = page->objectSpecifier();
    ASSERT_TRUE(specifier);
    EXPECT_EQ(specifier->container, child(Source));
    EXPECT_EQ(specifier->key, "klStructures");
    EXPECT_EQ(specifier->index, 0u);
    auto loose = std::make_shared<GEDCOMStructure>(person.get(), 1, "NOTE", "");
    EXPECT_FALSE(loose->objectSpecifier());
}

// ---- the child list as a script element

std::shared_ptr<GEDCOMStructure> newStructure(const std::string& tag, const std::string& contents = "") {
    return std::make_shared<GEDCOMStructure>(nullptr, 1, tag, contents);
}

std::string tagsOf(const GEDCOMObject& node) {
    std::string out;
    for (const auto& s : node.structures()) out += (out.empty() ? "" : " ") + s->gtag();
    return out;
}

struct ElementCase {
    const char* name;
    bool replace;
    std::size_t index;
    const char* expectedTags;
};

class ElementOperations : public ScriptedPerson, public ::testing::WithParamInterface<ElementCase> {};

// On the source link (children: PAGE); the new structure is OCCU.
TEST_P(ElementOperations, PlaceTheStructureAndUndo) {
    const ElementCase& c = GetParam();
    auto source = child(Source);
    const std::string before = person->gedcomString();
    auto added = newStructure("QUAY", "3");
    store.undo.beginUndoGrouping();
    auto refusal = c.replace ? source->replaceObjectInKlStructuresAtIndex(c.index, added)
                             : source->insertObjectInKlStructuresAtIndex(added, c.index);
    store.undo.endUndoGrouping();
    EXPECT_EQ(refusal, std::nullopt);
    EXPECT_EQ(tagsOf(*source), c.expectedTags);
    EXPECT_EQ(added->glevel(), 2);
    EXPECT_EQ(added->theRecord(), person.get());
    store.undo.undo();
    EXPECT_EQ(person->gedcomString(), before);
}

INSTANTIATE_TEST_SUITE_P(Indexes, ElementOperations,
                         ::testing::Values(ElementCase{"InsertFirst", false, 0, "QUAY PAGE"},
                                           ElementCase{"InsertAtEnd", false, 1, "PAGE QUAY"},
                                           ElementCase{"InsertPastEnd", false, 7, "PAGE QUAY"},
                                           ElementCase{"ReplaceInside", true, 0, "QUAY"},
                                           ElementCase{"ReplaceAtCount", true, 1, "PAGE QUAY"},
                                           ElementCase{"ReplacePastEnd", true, 9, "PAGE QUAY"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptedPerson, PlaceholderStructureIsRefused) {
    const std::string before = person->gedcomString();
    auto placeholder = std::make_shared<GEDCOMStructure>();
    const std::string refusal = "You must provide the name property when creating a new structure";
    EXPECT_EQ(person->insertInKlStructures(placeholder), refusal);
    EXPECT_EQ(person->insertObjectInKlStructuresAtIndex(placeholder, 0), refusal);
    EXPECT_EQ(person->insertObjectInKlStructuresAfterStructure(placeholder, child(Birth).get()), refusal);
    EXPECT_EQ(person->replaceObjectInKlStructuresAtIndex(0, placeholder), refusal);
    EXPECT_EQ(person->gedcomString(), before);
}

// Replacing below a structure must hit that structure's child, not the
// record's child at the same index.
TEST_F(ScriptedPerson, ReplaceBelowAStructureKeepsTheRecordsChildren) {
    auto residence = child(Residence);
    ASSERT_FALSE(residence->replaceObjectInKlStructuresAtIndex(1, newStructure("PLAC", "Oslo")));
    EXPECT_EQ(tagsOf(*residence), "DATE PLAC");
    EXPECT_EQ(residence->eventPlace(), "Oslo");
    EXPECT_EQ(tagsOf(*person), "BIRT DEAT BURI RESI NOTE SOUR");
}

TEST_F(ScriptedPerson, RemoveAtIndexInsideOnly) {
    auto source = child(Source);
    source->removeObjectFromKlStructuresAtIndex(1);
    EXPECT_EQ(tagsOf(*source), "PAGE");
    store.undo.beginUndoGrouping();
    source->removeObjectFromKlStructuresAtIndex(0);
    store.undo.endUndoGrouping();
    EXPECT_EQ(tagsOf(*source), "");
    store.undo.undo();
    EXPECT_EQ(tagsOf(*source), "PAGE");
}

TEST_F(ScriptedPerson, ScriptInsertsByPositionAndRecordsTheBackLink) {
    auto note = store.add("@N2@", "NOTE", "1 CONC other\n");
    person->klis_insertObjectInKlStructures({Value(newStructure("NOTE", "@N2@")), Value(std::int64_t(-1))});
    EXPECT_EQ(tagsOf(*person), "BIRT DEAT BURI RESI NOTE SOUR NOTE");
    const auto& backLinks = note->crossRefIDs();
    EXPECT_NE(std::find(backLinks.begin(), backLinks.end(), "@I1@"), backLinks.end());

    person->klis_insertObjectInKlStructures({Value(newStructure("OCCU", "Smith")), Value(child(Birth))});
    EXPECT_EQ(tagsOf(*person), "BIRT OCCU DEAT BURI RESI NOTE SOUR NOTE");
    person->klis_insertObjectInKlStructures({Value(newStructure("EDUC")), Value(std::int64_t(0))});
    EXPECT_EQ(tagsOf(*person), "EDUC BIRT OCCU DEAT BURI RESI NOTE SOUR NOTE");
}

TEST_F(ScriptedPerson, ScriptMovesAndRemoves) {
    person->klis_moveObjectInKlStructures({Value(child(Source)), Value(child(Birth))});
    EXPECT_EQ(tagsOf(*person), "SOUR BIRT DEAT BURI RESI NOTE");
    person->klis_moveObjectInKlStructures({Value(child(0))});
    EXPECT_EQ(tagsOf(*person), "BIRT DEAT BURI RESI NOTE SOUR");

    auto burial = child(Burial);
    burial->klis_removeObjectFromKlStructures(&script);
    EXPECT_EQ(script.returned.toString("unset"), "");
    EXPECT_EQ(tagsOf(*person), "BIRT DEAT RESI NOTE SOUR");
    burial->klis_removeObjectFromKlStructures(&script);  // no longer in the record
    EXPECT_EQ(script.returned.toString(), "error");
}

// ---- finding structures and record-path expressions

struct FindCase {
    const char* name;
    bool onRecord;  // else on the residence
    Dictionary arguments;
    const char* expected;
};

class FindStructures : public ScriptedPerson, public ::testing::WithParamInterface<FindCase> {
protected:
    LibraryScope library;

    std::string renderValue(const Value& value) {
        if (value.isObject()) return render(value.object());
        if (!value.array()) return value.toString();
        std::string out;
        for (const Value& item : *value.array()) out += (out.empty() ? "" : ",") + std::string("\x1f") + renderValue(item);
        std::erase(out, '\x1f');
        return "[" + out + "]";
    }
};

TEST_P(FindStructures, AnswerPositionsOrStructures) {
    const FindCase& c = GetParam();
    GEDCOMObject& receiver = c.onRecord ? static_cast<GEDCOMObject&>(*person) : *child(Residence);
    ScriptReply reply = receiver.handleScriptCommand("scriptFindStructures", c.arguments);
    ASSERT_FALSE(reply.failed());
    EXPECT_EQ(renderValue(reply.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FindStructures,
    ::testing::Values(
        FindCase{"PositionsByTag", true, {{"lookTag", "DATE"}}, "[[12 MAR 1820,1,1],[1850,4,1]]"},
        FindCase{"ListOutputIsPositions", true, {{"lookTag", "DATE"}, {"output", "LIST"}},
                 "[[12 MAR 1820,1,1],[1850,4,1]]"},
        FindCase{"PositionsWithContents", true, {{"lookTag", "DATE"}, {"lookContents", "1850"}}, "[[1850,4,1]]"},
        FindCase{"StructuresByTag", true, {{"lookTag", "DATE"}, {"output", "s"}}, "[DATE,DATE]"},
        FindCase{"StructuresWithContents", true,
                 {{"lookTag", "PLAC"}, {"lookContents", "Bergen"}, {"output", "structures"}}, "[PLAC]"},
        FindCase{"StructureReceiverIncluded", false, {{"lookTag", "RESI"}, {"output", "s"}}, "[RESI]"},
        FindCase{"StructureReceiverPositions", false, {{"lookTag", "_GPS"}}, "[[box1,2]]"},
        FindCase{"TagListOnRecord", true, {{"lookTag", "TestEvents"}}, "[[,1],[,2]]"},
        FindCase{"TagListStructures", true, {{"lookTag", "TestEvents"}, {"output", "x"}}, "[BIRT,DEAT]"},
        FindCase{"TagListOnStructure", false, {{"lookTag", "TestEvents"}}, "[]"},
        FindCase{"NothingFound", true, {{"lookTag", "CHAN"}}, "[]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptedPerson, ExpressionsAndApplicationCommandsGoToTheDocument) {
    EXPECT_EQ(child(Birth)->klis_evaluateExpression("DATE.year"), "BIRT:DATE.year");
    ScriptReply value = person->handleScriptCommand("scriptValueInRecord", {{"klExpression", "NAME"}});
    EXPECT_EQ(value.value.toString(), "INDI:NAME");
    EXPECT_EQ(person->handleScriptCommand("scriptOpenURL", {}).value.toString(), "done scriptOpenURL");
    EXPECT_EQ(child(Birth)->handleScriptCommand("scriptHTMLSafeText", {}).value.toString(),
              "done scriptHTMLSafeText");
    EXPECT_TRUE(person->handleScriptCommand("scriptNoSuchThing", {}).failed());
    store.serving = false;
    EXPECT_EQ(child(Birth)->klis_evaluateExpression("DATE"), "");
    EXPECT_TRUE(person->handleScriptCommand("scriptDateParts", {}).failed());
}

}  // namespace
}  // namespace kl::test
