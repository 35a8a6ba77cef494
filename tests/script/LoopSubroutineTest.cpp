// Repeat loops and subroutine frames, run in source mode as scripts run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptTestServer.h"
#include "script/CommandParcer.h"
#include "script/RepeatListItems.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using Texts = std::vector<std::string>;

struct RunCase {
    const char* name;
    const char* script;
    Texts handed;
    std::vector<std::pair<std::string, std::string>> variables;  // value "<none>": absent
};

void expectVariables(const Variables& variables, const RunCase& c) {
    for (const auto& [name, value] : c.variables) {
        auto it = variables.find(name);
        if (value == "<none>")
            EXPECT_EQ(it, variables.end()) << name;
        else if (it == variables.end())
            ADD_FAILURE() << name << " missing";
        else
            EXPECT_EQ(it->second, value) << name;
    }
}

class ScriptRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(ScriptRun, RunsAndLeavesVariables) {
    CommandParcer parser(GetParam().script);
    test::ScriptTestServer server(parser);
    server.runSource();
    EXPECT_FALSE(server.error) << *server.error;
    EXPECT_EQ(server.handed, GetParam().handed);
    expectVariables(server.variables, GetParam());
}

std::string caseName(const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Loops, ScriptRun, ::testing::Values(
    RunCase{"Counted", "repeat #i 1 3\nsay #i\nendrepeat", {"say 1", "say 2", "say 3"}, {{"#i", "3"}}},
    RunCase{"HalfSteps", "repeat #i 0 1 0.5\nsay #i\nendrepeat", {"say 0", "say 0.5", "say 1"}, {}},
    RunCase{"Downwards", "repeat #i 3 1 -1\nsay #i\nendrepeat", {"say 3", "say 2", "say 1"}, {}},
    RunCase{"NoPass", "repeat #i 5 1\nsay #i\nendrepeat\nsay after", {"say after"}, {{"#i", "5"}}},
    RunCase{"NoPassSkipsNestedLoops", "repeat #i 5 1\nrepeat #j 1 2\nsay #j\nendrepeat\nendrepeat\nsay after",
            {"say after"}, {}},
    RunCase{"EndlessUntilBreak", "#n = 0\nrepeat\n#n = #n + 1\nif #n == 3\nbreak\nendif\nendrepeat\nsay #n",
            {"say 3"}, {}},
    RunCase{"BreakInFirstPassAcrossNestedLoops",
            "repeat #i 1 2\nrepeat #j 1 2\nsay #j\nendrepeat\nbreak\nrepeat #k 1 2\nendrepeat\nendrepeat\nsay end",
            {"say 1", "say 2", "say end"}, {{"#i", "1"}}},
    RunCase{"BreakInLaterPass", "repeat #i 1 5\nif #i == 3\nbreak\nendif\nsay #i\nendrepeat\nsay end",
            {"say 1", "say 2", "say end"}, {{"#i", "3"}}},
    RunCase{"ContinueSkipsRestOfPass", "repeat #i 1 3\nif #i == 2\ncontinue\nendif\nsay #i\nendrepeat",
            {"say 1", "say 3"}, {}},
    RunCase{"ContinueInLastPassLeaves", "repeat #i 1 2\nsay #i\ncontinue\nsay never\nendrepeat\nsay end",
            {"say 1", "say 2", "say end"}, {}},
    RunCase{"EmptyEnumeratorNeverRuns", "repeatlist #v\nsay #v\nendrepeat\nsay end", {"say end"}, {}},
    RunCase{"Enumerator", "repeatlist #v a b\nsay #v\nendrepeat", {"say a", "say b"}, {{"#v", "b"}}},
    RunCase{"BreakAllStaysInsideItsSubroutine",
            "sub inner\nrepeat #j 1 3\nrepeat #k 1 3\nbreakall\nendrepeat\nendrepeat\nsay left\nendsub\n"
            "repeat #i 1 2\ngosub inner()\nendrepeat\nsay end",
            {"say left", "say left", "say end"}, {{"#i", "2"}}},
    RunCase{"ReturnClosesOpenLoops", "sub f\nrepeat #j 1 3\nreturn\nendrepeat\nendsub\ngosub f()\nsay back",
            {"say back"}, {{"#j", "1"}}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Subroutines, ScriptRun, ::testing::Values(
    RunCase{"VariableLengthList", "sub show #a #rest[]\nsay #a\nendsub\ngosub show(1, 2, 3)", {"say 1"},
            {{"#a", "1"}, {"#rest[0]", "2"}, {"#rest[1]", "2"}, {"#rest[2]", "3"}}},
    RunCase{"VariableLengthListEmpty", "sub show #a #rest[]\nendsub\ngosub show(1)", {},
            {{"#a", "1"}, {"#rest[0]", "0"}, {"#rest[1]", "<none>"}}},
    RunCase{"ListDeclaredFirst", "sub show #rest[] #a\nendsub\ngosub show(1, 2)", {},
            {{"#a", "1"}, {"#rest[0]", "1"}, {"#rest[1]", "2"}}},
    RunCase{"LocalsRestored",
            "sub f #p\nlocal #x #y\n#x = 5\n#y = 6\nsay #x #y\nendsub\n#x = outer\ngosub f(7)\nsay #x",
            {"say 5 6", "say outer"}, {{"#x", "outer"}, {"#y", "<none>"}, {"#p", "7"}}},
    RunCase{"LocalRange", "sub f\nlocal #cell[1-3]\n#cell[2] = in\nendsub\n#cell[2] = out\ngosub f()", {},
            {{"#cell[2]", "out"}, {"#cell[1]", "<none>"}}},
    RunCase{"PlainGosubForm", "sub f #a\nsay #a\nendsub\ngosub f 4", {"say 4"}, {}},
    RunCase{"RecursionUnwinds",
            "sub down #n\nif #n > 0\ngosub down(#n-1)\nendif\nsay #n\nendsub\ngosub down(2)",
            {"say 0", "say 0", "say 0"}, {{"#n", "0"}}},
    RunCase{"DefFunctions", "def twice N #1*2\ndef greet s \"\\qhi \\q&#1&\\q!\\q\"\n#a = twice(21)\n#b = greet(x)", {},
            {{"#a", "42"}, {"#b", "hi x!"}}},
    RunCase{"LateSubIsAnOrdinaryCommand", "say first\nsub late", {"say first", "sub late"}, {}}),
    caseName);

TEST(Subroutines, ReturnValueIsKeptByTheServer) {
    CommandParcer parser("sub f #a\nreturn #a+1\nendsub\ngosub f(1)\nsay done");
    test::ScriptTestServer server(parser);
    server.runSource();
    EXPECT_EQ(server.subReturnValue(), std::optional<std::string>("2"));
}

TEST(Subroutines, EndsubClearsTheReturnValue) {
    CommandParcer parser("sub f\nendsub\ngosub f()");
    test::ScriptTestServer server(parser);
    server.setSubReturnValue("old");
    server.runSource();
    EXPECT_FALSE(server.subReturnValue());
}

TEST(Subroutines, LocalRangeDeclaresEachElement) {
    SubroutineDef def(0);
    EXPECT_EQ(def.addLocal(Command{Value("local"), Value("#cell[1-3]"), Value("#z[5-4]"), Value("#d[7]")}, 1, true), 0u);
    EXPECT_EQ(def.localVars(), (std::vector<std::string>{"#cell[1]", "#cell[2]", "#cell[3]", "#d[7]"}));
    EXPECT_EQ(def.addLocal(Command{Value("local"), Value("#ok"), Value("#e[1-x]")}, 1, true), 2u);
    EXPECT_EQ(def.addLocal(Command{Value("local"), Value("#huge[1-999999999]")}, 1, true), 1u);
}

struct SubErrorCase {
    const char* name;
    const char* script;
    const char* message;
};

class SubroutineError : public ::testing::TestWithParam<SubErrorCase> {};

TEST_P(SubroutineError, IsReported) {
    CommandParcer parser(GetParam().script);
    test::ScriptTestServer server(parser);
    server.runSource();
    ASSERT_TRUE(server.error);
    EXPECT_EQ(*server.error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Messages, SubroutineError, ::testing::Values(
    SubErrorCase{"EndsubInLoop", "sub f\nrepeat #i 1 2\nendsub\ngosub f()",
                 "Subroutine ended with endSub while still in a repeat loop"},
    SubErrorCase{"BreakWithCallersLoopOnly", "sub f\nbreak\nendsub\nrepeat #i 1 2\ngosub f()\nendrepeat",
                 "break command not in a loop or end of loop not found:"},
    SubErrorCase{"NotFound", "gosub nothing(1)", "Subroutine not found: "},
    SubErrorCase{"TooFew", "sub f #a #b\nendsub\ngosub f(1)", "Subroutine call has too few arguments: "},
    SubErrorCase{"TooMany", "sub f #a\nendsub\ngosub f(1, 2)", "Subroutine call has too many arguments: "},
    SubErrorCase{"NoName", "sub\nendsub", "Subroutine or Definition name is missing."},
    SubErrorCase{"Duplicate", "sub f\nendsub\nsub f\nendsub", "Duplicate subroutine name (f)"},
    SubErrorCase{"DuplicateDef", "def g N #1\ndef g N #1", "Duplicate definition name (g)"},
    SubErrorCase{"ShortDef", "def g N", "Definition g missing required elements"},
    SubErrorCase{"BadParameter", "sub f #a 1x\nendsub", "Subroutine f has invalid variable name: 1x"},
    SubErrorCase{"TwoLists", "sub f #a[] #b[]\nendsub", "Subroutine f has invalid variable name: #b[]"},
    SubErrorCase{"BadLocal", "sub f\nlocal #a 9z\nendsub", "Subroutine f has invalid local variable name: 9z"},
    SubErrorCase{"MisplacedLocal", "sub f\nsay\nlocal #a\nendsub", "Subroutine f has misplaced 'Local' command"},
    SubErrorCase{"NoEndsub", "sub f\nsay", "Subroutine f has no matching 'endsub' command."}), ::kl::test::CaseName());

// Endless recursion must end in a script error at the frame cap, not in a
// crash: the parser keeps frames on its own stack, never the C++ stack.
TEST(Subroutines, RecursionIsCappedAtTheFrameLimit) {
    const char* body = "sub down #n\nif #n > 0\ngosub down(#n-1)\nendif\nendsub\n";
    const std::size_t limit = CommandParcer::maxSubroutineDepth;
    {
        CommandParcer parser(std::string(body) + "gosub down(" + std::to_string(limit - 1) + ")\nsay done");
        test::ScriptTestServer server(parser);
        server.runSource();
        EXPECT_FALSE(server.error);
        EXPECT_EQ(server.handed, (Texts{"say done"}));
    }
    {
        CommandParcer parser(std::string(body) + "gosub down(" + std::to_string(limit) + ")\nsay done");
        test::ScriptTestServer server(parser);
        server.runSource();
        ASSERT_TRUE(server.error);
        EXPECT_EQ(*server.error, "Subroutine calls nested too deeply (endless recursion?): ");
        EXPECT_EQ(parser.subStack().size(), limit);
        EXPECT_EQ(server.errorLine, 3u);
    }
}

}  // namespace
}  // namespace kl
