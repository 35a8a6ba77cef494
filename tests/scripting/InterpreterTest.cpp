// The run of a script: assignments, argument evaluation, dispatch, the
// reports that end a failed run, and the interpreter's own built-ins.
#include <fstream>

#include "ScriptTestSupport.h"
#include "scripting/RunServer.h"

namespace kl::test {
namespace {

class ScriptRuns : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptRuns, LeaveTheirOutputAndReport) {
    ScriptHarness harness;
    expectOutcome(harness.run(GetParam().script), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Assignments, ScriptRuns,
    ::testing::Values(
        ScriptCase{"PlainNameIsItsOwnKey", "x = 1\nifdef x\nwrite x\nendif\nifdef #x\nwrite \"wrong\"\nendif", "1", nullptr},
        ScriptCase{"HashNameKeepsItsHash", "#x = 1\nifdef #x\nwrite #x\nendif", "1", nullptr},
        ScriptCase{"CompoundAddsToTheOldValue", "#n = 3\n#n += 2\nwrite #n", "5", nullptr},
        ScriptCase{"CompoundGroupsTheRightSide", "#n = 10\n#n -= 2+3\nwrite #n", "5", nullptr},
        ScriptCase{"IndirectStoresIntoTheNamedVariable", "p = \"#q\"\n#q = 10\n*p -= 1\nwrite #q, p", "9,#q",
                   nullptr},
        ScriptCase{"IndexedVariable", "#i = 2\n#a[#i+1] = 7\nwrite #a[3]", "7", nullptr},
        ScriptCase{"ListItemIsReplaced", "createlist l a b c\n@l.2 = 5\nl.join \"#j\", \"-\"\nwrite #j", "a-b-5",
                   nullptr},
        ScriptCase{"ListIndexAtCountAppends", "createlist l a b c\n@l.3 = 5\nl.join \"#j\", \"-\"\nwrite #j",
                   "a-b-c-5", nullptr},
        ScriptCase{"ListIndexPastCountFails", "createlist l a b c\n@l.5 = 5\nwrite \"after\"", "",
                   "setting index for a List is out of bounds at char 9 in line 2:\n     @l.5 = 5\n"},
        ScriptCase{"DictionaryKeyIsSet", "createdictionary d\n@d.k = 4*2\nwrite @d.k", "8", nullptr},
        ScriptCase{"ObjectNamingNothingIsNone", "@x = nosuch\nwrite @x.class", "none", nullptr},
        ScriptCase{"ObjectNameMustBeValid", "@9x = None", "", "an invalid object name in @object = expr format."},
        ScriptCase{"ObjectPathMustLeadSomewhere", "@nosuch.k = 1", "",
                   "an invalid object specifier in @obj.obj... = expr format."},
        ScriptCase{"ConcatenatedRightSide", "#a = \"x\"&\"y\"\nwrite #a", "xy", nullptr}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Reports, ScriptRuns,
    ::testing::Values(
        ScriptCase{"OneLineReportNamesTheCursor", "xyz 1, 2", "",
                   "Unknown command encountered: at char 8 in line 1:\n     xyz 1,2\n"},
        ScriptCase{"UnknownCommandNamesPositionAndCommand", "write \"a\"\nxyz 1, 2\nwrite \"b\"", "a",
                   "Unknown command encountered: at char 9 in line 2:\n     xyz 1,2\n"},
        ScriptCase{"UnclosedQuote", "write \"abc", "", "Unterminated quotes or expression block:"},
        ScriptCase{"VariableCommandWithoutEquals", "#x 5", "", "Variable command without equals sign:"},
        ScriptCase{"MissingModuleRunsNothing", "load \"Nowhere\"\nwrite \"ran\"", "",
                   "Load subroutines in 'Nowhere' not found at char"},
        ScriptCase{"CommentsOnlyEndWithoutResult", "! nothing here\n\n   ! nor here\n", "", nullptr},
        ScriptCase{"EmptyScript", "", "", nullptr},
        ScriptCase{"FailingArgumentStopsTheRun", "write #nosuch\nwrite \"after\"", "",
                   "Undefined variable #nosuch used in expression at char 14 in line 1:\n     write #nosuch\n"},
        ScriptCase{"FailingArgumentOfLocalIsIgnored",
                   "sub s\nlocal #nosuch\nwrite \"in\"\nendsub\ns()\nwrite \"after\"", "inafter", nullptr},
        ScriptCase{"CommandWordsIgnoreCase", "WRITE \"a\"\nWrite \"b\"", "ab", nullptr},
        ScriptCase{"WordThatIsASubroutineCallsIt", "sub greet #who\nwrite \"hi \"&#who\nendsub\ngreet \"you\"",
                   "hi you", nullptr},
        ScriptCase{"InvalidTarget", "nosuch.get \"#x\"", "", "Command is targeting an invalid object"},
        ScriptCase{"StopJoinsItsTexts", "stop a, b\nwrite \"after\"", "", "script stopped: a,b\n"},
        ScriptCase{"StopWithoutTexts", "stop", "", "script stopped at char"},
        ScriptCase{"TooFewArguments", "createlist l\nl.remove", "", "Command needs more than 0 arguments"},
        ScriptCase{"ReturnValueBeforeAnyReturn", "write #returnValue$", "????", nullptr},
        ScriptCase{"SubroutineReturnValue", "sub twice #a\nreturn #a*2\nendsub\ntwice(4)\nwrite #returnValue$", "8",
                   nullptr},
        ScriptCase{"BuiltInVariables", "write #macOS$, #appName$", "1300,Kinlore II", nullptr},
        ScriptCase{"Soundex", "write soundex(\"Robert\")", "R163", nullptr},
        ScriptCase{"SoundexWithTwoArgumentsFails", "write soundex(a, b)", "",
                   "Invalid text, custom function 'soundex'"},
        ScriptCase{"LanguageStringsWithoutFormat", "write local(\"Born\"), string(\"Born\")", "Born,", nullptr}),
    caseName);

// Hostile scripts: a def that doubles its text on every call, and an
// expression nested far past any real one, end the run with the
// evaluator's own message instead of eating memory or time.
TEST(ScriptReports, RunawayTextAndDeepNestingStopTheRunWithTheirMessages) {
    ScriptHarness harness;
    const ScriptOutcome runaway = harness.run("def f s f(#1&#1)\n#a = f(x)\nwrite \"after\"");
    EXPECT_EQ(runaway.output, "");
    EXPECT_NE(runaway.report.find("Text result is too long."), std::string::npos) << runaway.report;

    const std::string nested =
        "#a = " + std::string(5000, '(') + "1" + std::string(5000, ')') + "\nwrite \"after\"";
    const ScriptOutcome deep = harness.run(nested);
    EXPECT_EQ(deep.output, "");
    EXPECT_NE(deep.report.find("Expression is nested too deeply."), std::string::npos) << deep.report.substr(0, 200);
}

TEST(ScriptReports, InsideAModuleEndWithTheSubroutineChain) {
    const auto folder = std::filesystem::temp_directory_path() / "kl-scripting-module-report";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Failing.klscpt") << "sub Outer\nInner()\nendsub\nsub Inner\nnosuchcommand\nendsub\n";
    ScriptHarness harness;
    const ScriptOutcome outcome = harness.run("load \"Failing\"\nOuter()\n", {}, folder);
    EXPECT_TRUE(outcome.report.starts_with("Unknown command encountered: at char 1 in line 1:\n     nosuchcommand\n"))
        << outcome.report;
    EXPECT_TRUE(outcome.report.ends_with("...In loaded subroutines:\n     Inner")) << outcome.report;
    std::filesystem::remove_all(folder);
}

TEST(ScriptReports, DumpFlagsOutliveTheRunThatSetThem) {
    ScriptHarness harness;
    harness.run("dump parsed");
    harness.sink->messages.clear();
    harness.run("#x = 1");
    EXPECT_EQ(harness.sink->messages, (std::vector<std::string>{"[PARSED COMMAND]: #x,=,1 (# args = 3)"}));
    harness.run("dump off");
    harness.sink->messages.clear();
    harness.run("#x = 1");
    EXPECT_TRUE(harness.sink->messages.empty());
}

TEST(ScriptReports, FailedRunShowsTheReportThenFinishes) {
    ScriptHarness harness;
    harness.run("stop");
    ASSERT_EQ(harness.sink->done.size(), 1u);
    EXPECT_EQ(harness.sink->done[0].second, 2);
    EXPECT_EQ(harness.sink->finished, 1);
    EXPECT_EQ(harness.sink->serving, nullptr);
}

}  // namespace
}  // namespace kl::test
