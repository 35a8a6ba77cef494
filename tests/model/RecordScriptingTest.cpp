// What scripts see of a record: its attribute texts and setters, the context
// slot that a script thread may set, the properties only a new record may
// change, and the record commands with their errors.
#include <gtest/gtest.h>

#include <thread>

#include "RecordTestSupport.h"
#include "ScriptingTestSupport.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

// A record kind whose report prose is its option bits, and that takes
// source links, so the commands' own work can be seen.
class EchoRecord : public GEDCOMRecord {
public:
    using GEDCOMRecord::GEDCOMRecord;
    Value reportDescription(std::uint32_t options) const override { return Value(static_cast<long long>(options)); }
    bool canLinkTo(std::string_view type) const override { return type == "SOUR"; }
};

class ScriptedRecords : public ::testing::Test {
protected:
    RecordEnvironment env;
    ScriptStore store;
    TestInterpreter script;
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMRecord> twin;
    std::shared_ptr<GEDCOMRecord> family;
    std::shared_ptr<GEDCOMRecord> source;

    void SetUp() override {
        person = store.add<INDIRecord>("@I1@", "INDI", "1 NAME Karl /Berg/\n1 RESN privacy\n1 SOUR @S1@\n");
        twin = store.add<INDIRecord>("@I2@", "INDI", "1 NAME Karl /Berg/\n");
        family = store.add<FAMRecord>("@F1@", "FAM", "1 MARR\n");
        source = store.add("@S1@", "SOUR", "1 TITL Book\n");
    }
};

struct RecordGetterCase {
    const char* key;
    std::optional<std::string> expected;
};

class RecordGetters : public ScriptedRecords, public ::testing::WithParamInterface<RecordGetterCase> {};

TEST_P(RecordGetters, AnswerTheirText) {
    EXPECT_EQ(person->klis_getAttribute(GetParam().key, &script), GetParam().expected) << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(Keys, RecordGetters,
                         ::testing::Values(RecordGetterCase{"id", "@I1@"},
                                           RecordGetterCase{"recordType", "INDI"},
                                           RecordGetterCase{"tag", "INDI"},
                                           RecordGetterCase{"level", "0"},
                                           RecordGetterCase{"class", "INDIRecord"},
                                           RecordGetterCase{"firstLine", "0 @I1@ INDI\n"},
                                           RecordGetterCase{"restriction", "privacy"},
                                           RecordGetterCase{"connected", "false"},  // no family yet
                                           RecordGetterCase{"contextInfo", ""},
                                           RecordGetterCase{"contents", std::nullopt},
                                           RecordGetterCase{"eventDate", std::nullopt},
                                           RecordGetterCase{"noSuchKey", std::nullopt}), ::kl::test::CaseName());

TEST_F(ScriptedRecords, NamesAndTextFollowTheRecord) {
    EXPECT_EQ(person->klis_getAttribute("name", &script), person->viewName());
    EXPECT_EQ(person->klis_getAttribute("alternateName", &script), person->altViewName());
    EXPECT_EQ(person->klis_getAttribute("ipnName", &script), person->ipnName());
    EXPECT_EQ(person->klis_getAttribute("ipnSearch", &script), person->ipnSearch());
    EXPECT_EQ(person->klis_getAttribute("gedcom", &script), person->gedcomString());
    EXPECT_EQ(source->klis_getAttribute("class", &script), "GEDCOMRecord");
    EXPECT_EQ(source->klis_getAttribute("connected", &script), "true");
}

struct RecordSetterCase {
    const char* key;
    const char* value;
    bool handled;
    int waited;  // hand-offs to the main thread
};

class RecordSetters : public ScriptedRecords, public ::testing::WithParamInterface<RecordSetterCase> {};

TEST_P(RecordSetters, HandOffTreeChangesOnly) {
    const RecordSetterCase& c = GetParam();
    CountingDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    script.objects["words"] = std::make_shared<TestList>(Array{Value("farm"), Value("mill")});
    script.objects["notAList"] = std::make_shared<NoneObject>();
    EXPECT_EQ(person->klis_setAttribute(c.key, c.value, &script), c.handled);
    EXPECT_EQ(dispatcher.waited, c.waited);
}

INSTANTIATE_TEST_SUITE_P(Keys, RecordSetters,
                         ::testing::Values(RecordSetterCase{"contextInfo", "seen", true, 0},
                                           RecordSetterCase{"name", "Otto /Berg/", true, 1},
                                           RecordSetterCase{"gedcom", "0 @X@ INDI\n1 SEX M\n", true, 1},
                                           RecordSetterCase{"gedcom", "1 SEX M", false, 1},
                                           RecordSetterCase{"keywords", "words", true, 1},
                                           RecordSetterCase{"keywords", "notAList", false, 0},
                                           RecordSetterCase{"keywords", "missing", false, 0},
                                           RecordSetterCase{"id", "@I9@", false, 0},
                                           RecordSetterCase{"contents", "x", false, 0}), ::kl::test::CaseName());

TEST_F(ScriptedRecords, SettersReachTheRecord) {
    ASSERT_TRUE(person->klis_setAttribute("name", "Otto /Berg/", &script));
    EXPECT_EQ(person->firstChildWithTag("NAME")->contents(), "Otto /Berg/");
    script.objects["words"] = std::make_shared<TestList>(Array{Value("farm"), Value("mill")});
    ASSERT_TRUE(person->klis_setAttribute("keywords", "words", &script));
    EXPECT_EQ(person->keywords(), (std::vector<std::string>{"farm", "mill"}));
    EXPECT_EQ(TestInterpreter::items(person->klis_getObjectAttribute("keywords", &script)),
              (Array{Value("farm"), Value("mill")}));
}

// The context slot is the one value a script thread stores itself, while
// the main thread keeps reading it.
TEST_F(ScriptedRecords, ContextInfoIsSetFromTheScriptThread) {
    std::thread scriptThread([&] {
        for (int i = 0; i < 200; ++i) person->klis_setAttribute("contextInfo", "step " + std::to_string(i), &script);
    });
    for (int i = 0; i < 200; ++i) (void)person->asContextInfo();
    scriptThread.join();
    EXPECT_EQ(person->klis_getAttribute("contextInfo", &script), "step 199");
    EXPECT_EQ(twin->asContextInfo().toString(), "");

    person->setAsContextInfo(Value(""));
    EXPECT_TRUE(person->contextInfo().isNull());
    person->setAsContextInfo(Value(std::static_pointer_cast<Object>(source)));
    EXPECT_EQ(person->asContextInfo().object(), source);
}

// A context that outlived its record would keep what it holds alive and
// show up on a record made later at the same address.
TEST_F(ScriptedRecords, ContextDiesWithItsRecord) {
    auto loose = std::make_shared<GEDCOMRecord>("@Z1@", "INDI");
    auto held = std::make_shared<NoneObject>();
    std::weak_ptr<NoneObject> watch = held;
    loose->setAsContextInfo(Value(std::static_pointer_cast<Object>(held)));
    held.reset();
    EXPECT_FALSE(watch.expired());
    loose.reset();
    EXPECT_TRUE(watch.expired());
}

// ---- properties of new records

TEST_F(ScriptedRecords, IdAndTypeChangeOnlyBeforeTheRecordIsStored) {
    EXPECT_EQ(person->setReadRecordID("@I9@"),
              "You can only set a record ID using 'with properties' when making a new record");
    EXPECT_EQ(person->setReadRecordKLID("@I9@"),
              "You can only set a record ID using 'with properties' when making a new record");
    EXPECT_EQ(person->readRecordID(), "@I1@");
    EXPECT_EQ(person->setReadRecordType("FAM"),
              "You can only set record type using 'with properties' when making a new record");
    EXPECT_EQ(person->readRecordType(), "INDI");

    auto fresh = std::make_shared<GEDCOMRecord>("@X1@", "UNKNOWN");
    EXPECT_EQ(fresh->setReadRecordID("@N5@"), std::nullopt);
    EXPECT_EQ(fresh->setReadRecordType("NOTE"), std::nullopt);
    EXPECT_EQ(fresh->readRecordKLID(), "@N5@");
    EXPECT_EQ(fresh->readRecordType(), "NOTE");
}

TEST_F(ScriptedRecords, RecordIsSpecifiedByIdAndKind) {
    auto specifier = person->objectSpecifier();
    ASSERT_TRUE(specifier);
    EXPECT_EQ(specifier->container, nullptr);
    EXPECT_EQ(specifier->key, person->scriptRecordType().value_or("?"));
    EXPECT_EQ(specifier->uniqueID, "@I1@");
}

// ---- replacing the data

struct GedcomCase {
    const char* name;
    std::string text;
    std::optional<std::string> error;
    std::string sent;  // what the document is asked to read
};

class SetGedcomString : public ScriptedRecords, public ::testing::WithParamInterface<GedcomCase> {};

TEST_P(SetGedcomString, KeepsTheRecordsOwnFirstLine) {
    const GedcomCase& c = GetParam();
    EXPECT_EQ(person->setGedcomString(c.text), c.error);
    if (c.error) {
        EXPECT_TRUE(store.host.dataChanges.empty());
        return;
    }
    ASSERT_EQ(store.host.dataChanges.size(), 1u);
    EXPECT_EQ(store.host.dataChanges[0].gedcom, c.sent);
    EXPECT_FALSE(store.host.dataChanges[0].verify);
    EXPECT_EQ(person->grecordID(), "@I1@");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SetGedcomString,
    ::testing::Values(
        GedcomCase{"OneLine", "0 @I1@ INDI", "The GEDCOM data for a record has only a single line", ""},
        GedcomCase{"OneLineWithEnd", "0 @I1@ INDI\n", "The GEDCOM data for a record has only a single line", ""},
        GedcomCase{"NotLevelZero", "1 NAME A\n1 SEX M", "The GEDCOM data for a record does not begin in '0'", ""},
        GedcomCase{"OtherIdAndType", "0 @F7@ FAM\n1 SEX M\n", std::nullopt, "0 @I1@ INDI\n1 SEX M\n"},
        GedcomCase{"CarriageReturns", "0 @I1@ INDI\r\n1 SEX F\r\n", std::nullopt, "0 @I1@ INDI\n1 SEX F\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptedRecords, GedcomWaitsForAStoreAndNeedsADocument) {
    auto fresh = std::make_shared<INDIRecord>("@I5@");
    EXPECT_EQ(fresh->setGedcomString("0 @I5@ INDI\n1 SEX M\n"), std::nullopt);
    EXPECT_EQ(fresh->pendingSetterCount(), 1u);
    store.serving = false;
    EXPECT_EQ(person->setGedcomString("0 @I1@ INDI\n1 SEX M\n"),
              "The record's data cannot be changed outside an open document");
}

// ---- commands

struct SortCase {
    const char* code;
    const char* expectedOrder;
};

class SortCommand : public ScriptedRecords, public ::testing::WithParamInterface<SortCase> {};

TEST_P(SortCommand, SortsChildrenByCodeEitherWayRound) {
    store.add<INDIRecord>("@I8@", "INDI", "1 BIRT\n2 DATE 1830\n");
    store.add<INDIRecord>("@I9@", "INDI", "1 BIRT\n2 DATE 1825\n");
    auto parents = store.add<FAMRecord>("@F2@", "FAM", "1 CHIL @I8@\n1 CHIL @I9@\n");
    ScriptReply reply = parents->handleScriptCommand("handleSortRecordDataScriptCommand",
                                                     {{"targetData", GetParam().code}});
    EXPECT_FALSE(reply.failed());
    std::string order;
    for (const auto& s : parents->structures()) order += (order.empty() ? "" : " ") + s->contents();
    EXPECT_EQ(order, GetParam().expectedOrder);
}

INSTANTIATE_TEST_SUITE_P(Codes, SortCommand,
                         ::testing::Values(SortCase{"skCH", "@I9@ @I8@"}, SortCase{"HCks", "@I9@ @I8@"},
                                           SortCase{"skSP", "@I8@ @I9@"}, SortCase{"skXX", "@I8@ @I9@"},
                                           SortCase{"", "@I8@ @I9@"}), ::kl::test::CaseName());

struct OptionCase {
    const char* name;
    Array options;
    std::optional<std::string> error;
    std::int64_t bits;
};

class ReportOptions : public ScriptedRecords, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(ReportOptions, NamesBecomeBits) {
    const OptionCase& c = GetParam();
    auto record = store.add<EchoRecord>("@E1@", "_ECHO");
    Dictionary arguments;
    if (!c.options.empty()) arguments.set("outputOptions", Value(c.options));
    ScriptReply reply = record->handleScriptCommand("handleReportDescriptionScriptCommand", arguments);
    EXPECT_EQ(reply.error, c.error);
    if (c.error) {
        EXPECT_EQ(reply.errorNumber, -1708);
    } else {
        EXPECT_EQ(reply.value.toInteger(-1), c.bits);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReportOptions,
    ::testing::Values(
        OptionCase{"None", {}, std::nullopt, 0}, OptionCase{"Birth", {Value("BD")}, std::nullopt, 1},
        OptionCase{"BirthTwice", {Value("BD"), Value("BD")}, std::nullopt, 1},
        OptionCase{"Several", {Value("LINKS"), Value("HTML"), Value("LIST"), Value("PRON")}, std::nullopt,
                   0x100 | 0x8000 | 0x10000 | 0x400},
        OptionCase{"All",
                   {Value("BD"), Value("BP"), Value("DD"), Value("DP"), Value("SN"), Value("CN"), Value("MD"),
                    Value("MP"), Value("LINKS"), Value("LIST"), Value("PRON"), Value("SEX"), Value("MAINLINK"),
                    Value("FM"), Value("SAY"), Value("HTML")},
                   std::nullopt, 0x1FDFF},
        OptionCase{"LowerCase", {Value("BD"), Value("bd")}, "Invalid option 'bd' was used for an individual's description", 0},
        OptionCase{"Unknown", {Value("XX"), Value("YY")}, "Invalid option 'XX' was used for an individual's description", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScriptedRecords, ReportDescriptionOfTheBaseRecord) {
    ScriptReply reply = source->handleScriptCommand("handleReportDescriptionScriptCommand", {});
    EXPECT_EQ(reply.value.toString(), "This custom record has tag SOUR and record ID @S1@");
}

TEST_F(ScriptedRecords, CanLinkToAnswersABoolean) {
    auto echo = store.add<EchoRecord>("@E1@", "_ECHO");
    EXPECT_EQ(echo->handleScriptCommand("handleCanLinkToScriptCommand", {{"recordType", "SOUR"}}).value, Value(true));
    EXPECT_EQ(echo->handleScriptCommand("handleCanLinkToScriptCommand", {}).value, Value(false));
}

TEST_F(ScriptedRecords, BrowsersOpenThroughTheDocument) {
    person->handleScriptCommand("scriptShowBrowser", {});
    person->handleScriptCommand("scriptShowBrowserPane", {{"withID", "Events"}});
    person->handleScriptCommand("scriptShowBrowserPane", {});
    ASSERT_EQ(store.host.browsers.size(), 3u);
    EXPECT_EQ(store.host.browsers[0].object(), person);
    ASSERT_TRUE(store.host.browsers[1].array());
    EXPECT_EQ(store.host.browsers[1].array()->at(1).toString(), "Events");
    EXPECT_EQ(store.host.browsers[2].object(), person);
}

// ---- merging by script

struct MergeCase {
    const char* name;
    std::function<Value(ScriptedRecords&)> other;
    bool force;
    bool lockOther;
    std::optional<std::string> error;
};

class MergeCommand : public ScriptedRecords, public ::testing::WithParamInterface<MergeCase> {
public:
    std::shared_ptr<GEDCOMRecord> personOf() { return person; }
    std::shared_ptr<GEDCOMRecord> twinOf() { return twin; }
    std::shared_ptr<GEDCOMRecord> familyOf() { return family; }
};

TEST_P(MergeCommand, RefusesOrHandsTheMergeToTheIndexWindow) {
    const MergeCase& c = GetParam();
    person->setResn(RestrictionNone);
    if (c.lockOther) twin->setResn(RestrictionLocked);
    Dictionary arguments{{"otherRecord", c.other(*this)}};
    if (c.force) arguments.set("forceit", Value(true));
    ScriptReply reply = person->handleScriptCommand("handleMergeRecordsScriptCommand", arguments);
    EXPECT_EQ(reply.error, c.error);
    if (c.error) {
        EXPECT_EQ(reply.errorNumber, -1708);
        EXPECT_TRUE(store.host.merges.empty());
        return;
    }
    ASSERT_EQ(store.host.merges.size(), 1u);
    EXPECT_EQ(store.host.merges[0].other, twin);
    EXPECT_EQ(store.host.merges[0].info.get("mergeRecord")->object(), person);
    EXPECT_EQ(store.host.merges[0].info.get("noBrowser")->toString(), "NO");
}

Value recordValue(std::shared_ptr<GEDCOMRecord> record) { return Value(std::move(record)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeCommand,
    ::testing::Values(
        MergeCase{"ById", [](ScriptedRecords&) { return Value("@I2@"); }, false, false, std::nullopt},
        MergeCase{"ByRecord", [](ScriptedRecords& t) { return recordValue(static_cast<MergeCommand&>(t).twinOf()); },
                  false, false, std::nullopt},
        MergeCase{"UnknownId", [](ScriptedRecords&) { return Value("@I99@"); }, false, false,
                  "Could not find the other record of the same type using the provided id."},
        MergeCase{"IdOfAnotherType", [](ScriptedRecords&) { return Value("@F1@"); }, false, false,
                  "Could not find the other record of the same type using the provided id."},
        MergeCase{"Itself", [](ScriptedRecords& t) { return recordValue(static_cast<MergeCommand&>(t).personOf()); },
                  true, false, "Records cannot merge with themselves."},
        MergeCase{"ItselfById", [](ScriptedRecords&) { return Value("@I1@"); }, true, false,
                  "Records cannot merge with themselves."},
        MergeCase{"OtherClass",
                  [](ScriptedRecords& t) { return recordValue(static_cast<MergeCommand&>(t).familyOf()); }, false,
                  false, "Records can only be merged with other records of the same type."},
        MergeCase{"NoRecord", [](ScriptedRecords&) { return Value(); }, false, false,
                  "Records can only be merged with other records of the same type."},
        MergeCase{"Locked", [](ScriptedRecords&) { return Value("@I2@"); }, true, true,
                  "One (or both) of the records is locked and therefore they cannot be merged."}),
    [](const auto& info) { return std::string(info.param.name); });

// The kind's merge rules decide unless the script forces the merge.
TEST_F(ScriptedRecords, ConflictingRecordsMergeOnlyWhenForced) {
    auto other = store.add<INDIRecord>("@I3@", "INDI", "1 NAME Anna /Vik/\n");
    ScriptReply refused = person->handleScriptCommand("handleMergeRecordsScriptCommand", {{"otherRecord", "@I3@"}});
    EXPECT_EQ(refused.error,
              "The target record cannot merge with suggested record because of certain conflicting data.");
    EXPECT_TRUE(store.host.merges.empty());
    ScriptReply forced = person->handleScriptCommand("handleMergeRecordsScriptCommand",
                                                     {{"otherRecord", "@I3@"}, {"forceit", true}});
    EXPECT_FALSE(forced.failed());
    ASSERT_EQ(store.host.merges.size(), 1u);
    EXPECT_EQ(store.host.merges[0].other, other);
}

// ---- drops and report text

TEST_F(ScriptedRecords, DropOnlyWhereTheTargetTakesTheType) {
    auto echo = store.add<EchoRecord>("@E1@", "_ECHO");
    EXPECT_EQ(source->finishMoveToTarget(echo), std::nullopt);
    EXPECT_TRUE(echo->hasLink("SOUR", "@S1@"));
    EXPECT_EQ(person->finishMoveToTarget(echo), "Can't move or copy a INDI record to a _ECHO record.");
    auto custom = store.add("@X1@", "_X");
    EXPECT_EQ(source->finishMoveToTarget(custom), "Can't move or copy a SOUR record to a _X record.");
    EXPECT_EQ(source->finishMoveToTarget(family), std::nullopt);
    EXPECT_TRUE(family->hasLink("SOUR", "@S1@"));
}

struct ReportTextCase {
    const char* text;
    bool html;
    const char* expected;
};

class FormatForReport : public ::testing::TestWithParam<ReportTextCase> {};

TEST_P(FormatForReport, JoinsLinesAndEscapes) {
    EXPECT_EQ(GEDCOMRecord::formatForReport(GetParam().text, GetParam().html), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatForReport,
    ::testing::Values(ReportTextCase{"", true, ""}, ReportTextCase{"one line", false, "one line"},
                      ReportTextCase{"first\nsecond\r\nthird", false, "first; second; third"},
                      ReportTextCase{"a < b & \"c\"", true, "a &lt; b &amp; &quot;c&quot;"},
                      ReportTextCase{"a < b\nc > d", true, "a &lt; b; c &gt; d"},
                      ReportTextCase{"  <DIV class='x'><b>bold</b></div>  ", true, "<DIV class='x'><b>bold</b></div>"},
                      ReportTextCase{"<div", true, "&lt;div"}), ::kl::test::CaseName());

struct ReturnsCase {
    const char* text;
    const char* expected;
};

class RemoveReturns : public ::testing::TestWithParam<ReturnsCase> {};

TEST_P(RemoveReturns, EveryCarriageReturnBecomesALineFeed) {
    EXPECT_EQ(GEDCOMRecord::removeReturns(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, RemoveReturns,
                         ::testing::Values(ReturnsCase{"plain", "plain"}, ReturnsCase{"a\rb", "a\nb"},
                                           ReturnsCase{"a\r\nb", "a\n\nb"}, ReturnsCase{"a\nb", "a\nb"}), ::kl::test::CaseName());

}  // namespace
}  // namespace kl::test
