// Conditions, loops, subroutine scopes and run control.
#include "ScriptTestSupport.h"

namespace kl::test {
namespace {

class FlowCommands : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(FlowCommands, SteerTheRun) {
    ScriptHarness harness;
    expectOutcome(harness.run(GetParam().script), GetParam());
}

// Each condition writes "T" when true, "F" when false.
std::string decide(const std::string& condition) {
    return condition + "\nwrite \"T\"\nelse\nwrite \"F\"\nendif";
}

struct ConditionCase {
    const char* name;
    const char* condition;
    const char* answer;
};

class Conditions : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(Conditions, DecideTheBlock) {
    ScriptHarness harness;
    const std::string script = "#a = \"a\"\n#b = \"b\"\n" + decide(GetParam().condition);
    const ScriptOutcome outcome = harness.run(script);
    EXPECT_EQ(outcome.output, GetParam().answer) << GetParam().condition;
    EXPECT_EQ(outcome.report, "");
}

INSTANTIATE_TEST_SUITE_P(
    If, Conditions,
    ::testing::Values(ConditionCase{"LoneNonZero", "if 3", "T"}, ConditionCase{"LoneZero", "if 0", "F"},
                      ConditionCase{"NumbersCompareAsNumbers", "if 2 > 10", "F"},
                      ConditionCase{"TextsCompareAsTexts", "if #b > #a", "T"},
                      ConditionCase{"NumberAgainstTextComparesAsText", "if 2 > #a", "F"},
                      ConditionCase{"LeadingNumberCounts", "if 9x > 8", "T"},
                      ConditionCase{"LoneTextTrueInAnyCase", "if TRUE", "T"},
                      ConditionCase{"LoneOtherText", "if yes", "F"},
                      ConditionCase{"AndBindsBeforeOrFalse", "if 1 = 2 || 3 = 3 && 4 = 5", "F"},
                      ConditionCase{"OrDecidesAtOnce", "if 1 = 1 || 4 = 5", "T"},
                      ConditionCase{"AndThenOr", "if 1 = 1 && 2 = 3 || 5 = 5", "T"},
                      ConditionCase{"LoneNumbersJoined", "if 1 && 0", "F"},
                      ConditionCase{"NotEqual", "if 1 != 2", "T"},
                      ConditionCase{"IsWord", "if #a is A", "T"},
                      ConditionCase{"IfstrExactCase", "ifstr A == a", "F"},
                      ConditionCase{"IfstrIgnoringCase", "ifstr A = a", "T"},
                      ConditionCase{"IfstrOrder", "ifstr apple < Banana", "T"},
                      ConditionCase{"IfnumNumber", "ifnum 12abc", "T"},
                      ConditionCase{"IfnumText", "ifnum abc", "F"},
                      ConditionCase{"IfdefVariable", "ifdef #a", "T"},
                      ConditionCase{"IfdefMissing", "ifdef #zz", "F"},
                      ConditionCase{"IfndefMissing", "ifndef #zz", "T"},
                      ConditionCase{"IfdefNoneObject", "@n = nosuch\nifdef n", "F"},
                      ConditionCase{"IfdefList", "createlist l\nifdef l", "T"},
                      ConditionCase{"IfdefReturnValueBeforeReturn", "ifdef #returnValue$", "F"}),
    [](const ::testing::TestParamInfo<ConditionCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Loops, FlowCommands,
    ::testing::Values(
        ScriptCase{"CountsUp", "repeat \"#i\", 1, 3\nwrite #i\nendrepeat", "123", nullptr},
        ScriptCase{"CountsDownWithStep", "repeat \"#i\", 6, 1, -2\nwrite #i\nendrepeat", "642", nullptr},
        ScriptCase{"NoPassGoesOnAfterTheLoop", "repeat \"#i\", 5, 1\nwrite #i\nendrepeat\nwrite \"after\"", "after",
                   nullptr},
        ScriptCase{"ZeroStepRefused", "repeat \"#i\", 1, 5, 0\nendrepeat", "", "Step size of zero not allowed:"},
        ScriptCase{"CounterMustBeAVariable", "repeat \"i\", 1, 2\nendrepeat", "",
                   "First parameter to Repeat must evaluate to a variable name starting in '#'"},
        ScriptCase{"NoPassWithoutEnd", "repeat \"#i\", 5, 1\nwrite #i", "",
                   "Matching <endrepeat> cound not be found:"},
        ScriptCase{"BareLoopLeftWithBreak",
                   "#n = 0\nrepeat\n#n += 1\nif #n = 3\nbreak\nendif\nendrepeat\nwrite #n", "3", nullptr},
        ScriptCase{"ContinueSkipsTheRest",
                   "repeat \"#i\", 1, 4\nif #i = 2\ncontinue\nendif\nwrite #i\nendrepeat", "134", nullptr},
        ScriptCase{"EndrepeatOutsideALoop", "endrepeat", "", "<endrepeat> not in a loop:"},
        ScriptCase{"OverAListTextsAndObjects",
                   "createlist inner\ncreatelist l a inner b\nrepeatwith item in l\nifdef #item\nwrite #item\n"
                   "else\nwrite @item.class\nendif\nendrepeat",
                   "alistb", nullptr},
        ScriptCase{"OverADictionarysValues",
                   "createdictionary d\nd.setstringforkey x, k1\nd.setnumberforkey 2, k2\n"
                   "repeatwith \"#v\" from d\nwrite #v\nendrepeat",
                   "x2", nullptr},
        ScriptCase{"OverAnEmptyList", "createlist l\nrepeatwith v in l\nwrite \"in\"\nendrepeat\nwrite \"after\"",
                   "after", nullptr},
        ScriptCase{"BadLoopName", "createlist l\nrepeatwith \"#1x\" in l\nendrepeat", "",
                   "RepeatWith variable name invalid:"},
        ScriptCase{"BadLoopWord", "createlist l\nrepeatwith v over l\nendrepeat", "", "Invalid RepeatWith arguments:"},
        ScriptCase{"MissingLoopObject", "repeatwith v in nosuch\nendrepeat", "", "Invalid RepeatWith list object:"},
        ScriptCase{"LoopObjectNotAList", "createstructure s 1 NOTE x\nrepeatwith v in s\nendrepeat", "",
                   "RepeatWith list object not a list or dictionary:"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    ScopesAndControl, FlowCommands,
    ::testing::Values(
        ScriptCase{"PopRestoresThePush",
                   "#x = 1\npushvariables\n#x = 2\npushvariables\n#x = 3\npopvariables\npopvariables\nwrite #x", "1",
                   nullptr},
        ScriptCase{"PopOnEmptyStack", "popvariables", "", "The variables stack is empty"},
        ScriptCase{"UnsetRemovesVariablesAndObjects",
                   "#x = 1\ncreatelist l\nunset \"#x\", l\nifndef #x\nifndef l\nwrite \"gone\"\nendif\nendif", "gone",
                   nullptr},
        ScriptCase{"LocalOutsideASubroutine", "local \"#a\"", "", "Local command only allowed within subroutines"},
        ScriptCase{"SubroutineLocalsAreRestored",
                   "sub s\nlocal #x\n#x = 2\nendsub\n#x = 1\ns()\nwrite #x", "1", nullptr},
        ScriptCase{"GosubWord", "sub s #a\nwrite #a\nendsub\ngosub s(5)", "5", nullptr},
        ScriptCase{"UnknownDumpOption", "dump sideways", "", "Warning: unknown option in <dump> command:"},
        ScriptCase{"SleepThenGoOn", "sleep 0.01\nwrite \"on\"", "on", nullptr},
        ScriptCase{"BadSleepTime", "sleep soon", "", "Invalid sleep time"},
        ScriptCase{"WritesAddNothingBetween", "write a, b\nwrite c", "a,bc", nullptr},
        ScriptCase{"ClearEmptiesTheOutput", "write \"gone\"\nclear\nwrite \"kept\"", "kept", nullptr},
        ScriptCase{"ExitEndsWithoutResult", "write \"a\"\nexit\nwrite \"b\"", "a", nullptr}),
    caseName);

}  // namespace
}  // namespace kl::test
