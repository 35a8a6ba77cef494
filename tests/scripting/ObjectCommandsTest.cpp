// Object commands, @-references and object paths over script values, the
// pasteboard, and records of a store read from GEDCOM text.
#include "ScriptTestSupport.h"
#include "support/ExpressionOnlyHost.h"
#include "document/StoreTestSupport.h"
#include "foundation/PropertyList.h"
#include "support/Corpus.h"
#include "script/ISListType.h"
#include "scripting/ScriptApplication.h"

namespace kl::test {
namespace {

class ObjectCommands : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ObjectCommands, WorkOnTheirTargets) {
    ScriptHarness harness;
    expectOutcome(harness.run(GetParam().script), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    References, ObjectCommands,
    ::testing::Values(
        ScriptCase{"CountOfEmptyList", "createlist l\nwrite @l.count, @l.length", "0,0", nullptr},
        ScriptCase{"TextItem", "createlist l a b\nwrite @l.1", "b", nullptr},
        ScriptCase{"ClassOfTextItem", "createlist l a\nwrite @l.0.class, @l.class", "string-number,list", nullptr},
        ScriptCase{"NumberItemFromPasteboardRoundTrip",
                   "createdictionary d\nd.setnumberforkey 2.5, n\nwrite @d.n", "2.5", nullptr},
        ScriptCase{"ContainsText", "createlist l a b\nwrite @l.contains.b, @l.contains.z", "true,false", nullptr},
        ScriptCase{"ContainsObject", "createlist inner\ncreatelist l inner\nwrite @l.contains.inner", "true", nullptr},
        ScriptCase{"CommandWordIsNoLocator", "createlist l a\nwrite @l.sort", "Expression error",
                   "list objects must be followed by a valid locator or by list property."},
        ScriptCase{"LocatorPastTheEnd", "createlist l a\nwrite @l.4", "Expression error", "list index is out of bounds."},
        ScriptCase{"IncompleteReference", "createlist l\nwrite @l", "Expression error", "an incomplete @ expression."},
        ScriptCase{"UnknownObject", "write @nosuch.count", "Expression error", "object in @ expression is invalid."},
        ScriptCase{"ObjectWithoutProperty", "createlist inner\ncreatelist l inner\nwrite @l.0", "Expression error",
                   "object expression is lacking a property"},
        ScriptCase{"DictionaryEntryObject",
                   "createlist inner x y\ncreatedictionary d\nd.setobjectforkey inner, k\nwrite @d.k.count", "2",
                   nullptr},
        ScriptCase{"VariableNamesTheObject", "createlist l a b\n#which = \"l\"\nwrite @#which.count", "2", nullptr},
        ScriptCase{"VariableNamesTheTarget", "createlist l a b\n#which = \"l\"\n^#which.remove 0\nwrite @l.0", "b",
                   nullptr}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Lists, ObjectCommands,
    ::testing::Values(
        ScriptCase{"GetItemText", "createlist l a b c\nl.0.get \"#x\"\nwrite #x", "a", nullptr},
        ScriptCase{"GetIndexOutOfBounds", "createlist l a b c\nl.9.get \"#x\"", "",
                   "Command targeting a list has index that is out of bounds."},
        ScriptCase{"HugeIndexSaturatesThenFails", "createlist l a b c\nl.99999999999999999999999.get \"#x\"", "",
                   "Command targeting a list has index that is out of bounds."},
        ScriptCase{"UnknownCommand", "createlist l a\nl.frobnicate", "", "Unrecognized object command"},
        ScriptCase{"EmptyLastPart", "createlist l a\nl.0.", "", "Unrecognized object command"},
        ScriptCase{"GetTheListItself", "createlist l a\nl.get m\nm.addstring b\nwrite @l.count", "2", nullptr},
        ScriptCase{"AddAndInsert",
                   "createlist l b\nl.addstring c, d\nl.insertstring a, 0\ncreatelist o\nl.insertobject o, 4\n"
                   "write @l.count, @l.0, @l.3",
                   "5,a,d", nullptr},
        ScriptCase{"AddListToItself", "createlist l a b\nl.addlist l\nl.join \"#j\"\nwrite #j", "abab", nullptr},
        ScriptCase{"InsertPastTheEnd", "createlist l a\nl.insertstring x, 2", "",
                   "insert index for a List or ScriptOutput is out of bounds"},
        ScriptCase{"RemoveFromEmpty", "createlist l\nl.remove 0", "", "remove index for a list is out of bounds"},
        ScriptCase{"PopText", "createlist l a b\nl.pop \"#x\"\nwrite #x, @l.count", "b,1", nullptr},
        ScriptCase{"PopEmptyIntoObjectGivesNone", "createlist l\nl.pop p\nwrite @p.class", "none", nullptr},
        ScriptCase{"PopTextIntoObjectName", "createlist l a\nl.pop p", "",
                   "Popped element is a string but first parameter is not a valid variable name"},
        ScriptCase{"SortTexts", "createlist l b C a\nl.sort\nl.join \"#j\", \",\"\nwrite #j", "a,b,C", nullptr},
        ScriptCase{"SortNeedsDictionaries", "createlist l b a\nl.sort name", "",
                   "list sort error: Error reading objects to be sorted."},
        ScriptCase{"JoinNeedsAVariable", "createlist l a\nl.join x", "",
                   "First parameter to join must evaluate to a variable name starting in '#'"},
        ScriptCase{"SublistFromStart", "createlist l a b c\nl.sublist part 1\nwrite @part.count, @part.0", "2,b",
                   nullptr},
        ScriptCase{"SublistEndPastCountStops", "createlist l a b c\nl.sublist part 1 99\nwrite @part.count", "2",
                   nullptr},
        ScriptCase{"SublistStartPastCount", "createlist l a b c\nl.sublist part 7\nwrite @part.count", "0", nullptr},
        ScriptCase{"SublistNegativeStart", "createlist l a\nl.sublist part -1", "",
                   "Second parameter in subList command must be integer >= 0"},
        ScriptCase{"ListCommandOnDictionary", "createdictionary d\nd.addstring x", "",
                   "class ISDictType does not respond to addString"},
        ScriptCase{"CreatelistPrefersObjects", "createlist inner\ncreatelist l inner text\nwrite @l.0.class, @l.1",
                   "list,text", nullptr},
        ScriptCase{"CreatelistNeedsAName", "createlist 1l", "",
                   "First parameter in CreateList must be a valid object variable name"},
        ScriptCase{"GetobjectAlongAPath", "createlist inner x\ncreatelist l inner\ngetobject g l.0\nwrite @g.0", "x",
                   nullptr},
        ScriptCase{"GetobjectOfNothingIsNone", "getobject g nosuch\nwrite @g.class", "none", nullptr}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Dictionaries, ObjectCommands,
    ::testing::Values(
        ScriptCase{"ValueForKeyText", "createdictionary d\nd.setstringforkey x, k\nd.valueforkey \"#v\", k\nwrite #v",
                   "x", nullptr},
        ScriptCase{"ValueForKeyNumber",
                   "createdictionary d\nd.setnumberforkey 3, k\nd.valueforkey \"#v\", k\nwrite #v", "3", nullptr},
        ScriptCase{"ValueForMissingKeyRemovesTheVariable",
                   "#v = 1\ncreatedictionary d\nd.valueforkey \"#v\", k\nifndef #v\nwrite \"gone\"\nendif", "gone",
                   nullptr},
        ScriptCase{"ValueForKeyObject",
                   "createlist inner a\ncreatedictionary d\nd.setobjectforkey inner, k\nd.valueforkey o, k\n"
                   "write @o.0",
                   "a", nullptr},
        ScriptCase{"RemoveValueForKey",
                   "createdictionary d\nd.setstringforkey x, k\nd.removevalueforkey k\nwrite @d.count", "0", nullptr},
        ScriptCase{"NumberMustBeNumeric", "createdictionary d\nd.setnumberforkey x, k", "",
                   "First parameter for setNumberForKey must be a numeric expression"},
        ScriptCase{"SetObjectNeedsAnObject", "createdictionary d\nd.setobjectforkey nosuch, k", "",
                   "First parameter to setObjectForKey command must be valid object."},
        ScriptCase{"DictionaryCommandOnList", "createlist l\nl.valueforkey \"#v\", k", "",
                   "class ISListType does not respond to valueForKey"}),
    caseName);

TEST(ScriptListCommands, AddObjectGoesOnAfterABadNameAndTheRunEnds) {
    ScriptHarness harness;
    auto list = ISListType::listWithList(std::make_shared<Array>());
    const ScriptOutcome outcome = harness.run("createlist o\nl.addobject nosuch, o, alsonot\nwrite \"after\"",
                                              {{"l", Value(list)}});
    EXPECT_EQ(outcome.output, "");
    EXPECT_TRUE(outcome.report.starts_with("invalid object 'alsonot' in addObject command")) << outcome.report;
    ASSERT_EQ(list->count(), 1u);
    EXPECT_TRUE(list->objectAtIndex(0).objectAs<ISListType>());
}

TEST(ScriptPasteboard, NestedListsComeBackEqual) {
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run(
        "createlist inner x y\ncreatelist l a inner\nl.putpasteboard\nreadpasteboard back\n"
        "write @back.count, @back.0, @back.1.count, @back.1.1");
    EXPECT_EQ(outcome.output, "2,a,2,y");
    EXPECT_EQ(harness.clipboard->type, KLISObjectPBoardType);
    auto stored = PropertyList::read(std::string_view(harness.clipboard->bytes));
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, Value(Array{Value("a"), Value(Array{Value("x"), Value("y")})}));
}

TEST(ScriptPasteboard, DictionaryComesBackEqual) {
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run(
        "createdictionary d\nd.setstringforkey Anna, name\nd.setnumberforkey 1850, born\nd.putpasteboard\n"
        "readpasteboard back\nback.putpasteboard\nreadpasteboard \"#text\"\nifndef #text\n"
        "write @back.name, @back.born, @back.count\nendif");
    EXPECT_EQ(outcome.output, "Anna,1850,2");
    auto stored = PropertyList::read(std::string_view(harness.clipboard->bytes));
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, Value(Dictionary{{"name", Value("Anna")}, {"born", Value(1850.0)}}));
}

TEST(ScriptPasteboard, JoinedListIsPlainText) {
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run("createlist l a b\nl.putpasteboard \"+\"\nreadpasteboard \"#t\"\nwrite #t");
    EXPECT_EQ(outcome.output, "a+b");
    EXPECT_EQ(harness.clipboard->type, "text/plain");
}

TEST(ScriptPasteboard, ListHoldingADictionaryIsRefused) {
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run("createdictionary d\ncreatelist l d\nl.putpasteboard");
    EXPECT_TRUE(outcome.report.starts_with("The list or dictionary could not be converted to pasteboard property list"))
        << outcome.report;
    EXPECT_EQ(harness.clipboard->type, "");
}

// ---- Records of a store ----------------------------------------------------------------

// A document as scripts see it, with attributes of none of the names
// asked for here.
class BareScriptDocument : public ScriptApplication {};

class ScriptOnRecords : public ::testing::Test {
protected:
    void SetUp() override {
        store.read("0 HEAD\n"
                   "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 BIRT\n2 DATE 1820\n1 FAMS @F1@\n"
                   "0 @I12@ INDI\n1 NAME Anna /Vik/\n1 FAMS @F1@\n"
                   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I12@\n"
                   "0 TRLR\n");
        store.model.setScriptHost(&host);
    }
    Dictionary objects() {
        auto people = std::make_shared<Array>();
        for (const auto& record : store.list("INDI")->order()) people->push_back(Value(record));
        return Dictionary{{"people", Value(ISListType::listWithList(people))},
                          {"rec", Value(store.model.recordWithID("@I1@"))},
                          {"doc", Value(std::make_shared<BareScriptDocument>())}};
    }

    StoreFixture store;
    ExpressionOnlyHost host;
    ScriptHarness harness;
};

TEST_F(ScriptOnRecords, ReadNamesAndIDs) {
    const ScriptOutcome outcome =
        harness.run("write @rec.name, @people.@I12@.name, @people.1.id, @people.contains.rec", objects());
    EXPECT_EQ(outcome.output, "Berg, Karl,Vik, Anna,@I12@,true");
    EXPECT_EQ(outcome.report, "");
}

TEST_F(ScriptOnRecords, SettingAnAttributeChangesTheRecordOnTheMainThread) {
    const ScriptOutcome outcome = harness.run("@rec.name = \"Karl /Strand/\"\nwrite @rec.name", objects());
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "Strand, Karl");
    EXPECT_EQ(store.model.recordWithID("@I1@")->viewName(), "Strand, Karl");
}

TEST_F(ScriptOnRecords, RefusedAttributeIsReported) {
    const ScriptOutcome outcome = harness.run("@rec.nosuch = 1", objects());
    EXPECT_TRUE(outcome.report.starts_with("class INDIRecord cannot set the requested property or value not valid"))
        << outcome.report;
}

TEST_F(ScriptOnRecords, EvaluateRecordPaths) {
    const ScriptOutcome outcome = harness.run(
        "rec.evaluateexpression \"#b\", \"BIRT.DATE\"\nrec.evaluateexpression \"#d\", \"DEAT.DATE\"\n"
        "ifdef #d\nwrite #b, \"[\"&#d&\"]\"\nendif",
        objects());
    EXPECT_EQ(outcome.output, "1820,[]");
    EXPECT_EQ(outcome.report, "");
}

TEST_F(ScriptOnRecords, MissingAttributeOnTheWayToGet) {
    const ScriptOutcome outcome =
        harness.run("#x = 1\nrec.nosuch.get \"#x\"\nifndef #x\nwrite \"removed\"\nendif", objects());
    EXPECT_EQ(outcome.output, "removed");
    EXPECT_EQ(outcome.report, "");
}

TEST_F(ScriptOnRecords, MissingAttributeOnTheWayToSet) {
    const ScriptOutcome outcome = harness.run("rec.nosuch.set a b", objects());
    EXPECT_TRUE(outcome.report.starts_with("Command targeting an invalid cascade of objects and attributes."))
        << outcome.report;
}

TEST_F(ScriptOnRecords, InvalidPathPartWarnsOnceAndGoesOn) {
    const ScriptOutcome outcome = harness.run("getobject g doc.nosuch.x\nwrite @g.class", objects());
    EXPECT_EQ(outcome.output,
              "WARNING: 'nosuch' in 'doc.nosuch.x' is not valid attribute for BareScriptDocument objects\nnone");
    EXPECT_EQ(outcome.report, "");
}

TEST_F(ScriptOnRecords, EvaluateExpressionNeedsARecordOrStructure) {
    const ScriptOutcome outcome = harness.run("people.evaluateexpression \"#b\", \"BIRT.DATE\"", objects());
    EXPECT_TRUE(outcome.report.starts_with("class ISListType does not respond to evaulateExpression"))
        << outcome.report;
}

TEST(ScriptOnCorpus, JoinsTheIDsOfEveryIndividualInOrder) {
    const std::filesystem::path file = corpusFolder() / "gedcom-parse" / "compat-paf2.ged";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus at " << file;
    StoreFixture store;
    store.read(readCorpusBytes(file));
    auto people = std::make_shared<Array>();
    std::string expected;
    for (const auto& record : store.list("INDI")->order()) {
        people->push_back(Value(record));
        expected += (expected.empty() ? "" : ",") + record->grecordID();
    }
    ASSERT_GT(people->size(), 100u);
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run(
        "createlist ids\nrepeatwith rec in people\nids.addstring @rec.id\nendrepeat\nids.join \"#all\", \",\"\n"
        "write #all",
        {{"people", Value(ISListType::listWithList(people))}});
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, expected);
}

}  // namespace
}  // namespace kl::test
