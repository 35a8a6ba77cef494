// Source-mode control flow as a script runs it: conditional blocks, exit,
// module loading and the line numbers of failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ScriptTestServer.h"
#include "script/CommandParcer.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using Texts = std::vector<std::string>;

struct FlowCase {
    const char* name;
    const char* script;
    Texts handed;
};

class SourceFlow : public ::testing::TestWithParam<FlowCase> {};

TEST_P(SourceFlow, HandsOutTheCommandsThatRun) {
    CommandParcer parser(GetParam().script);
    test::ScriptTestServer server(parser);
    server.runSource();
    EXPECT_FALSE(server.error) << *server.error;
    EXPECT_EQ(server.handed, GetParam().handed);
}

INSTANTIATE_TEST_SUITE_P(Blocks, SourceFlow, ::testing::Values(
    FlowCase{"IfTrueSkipsElse", "#a = 1\nif #a == 1\nsay yes\nelse\nsay no\nendif\nsay end", {"say yes", "say end"}},
    FlowCase{"IfFalseRunsElse", "#a = 2\nif #a == 1\nsay yes\nelse\nsay no\nendif\nsay end", {"say no", "say end"}},
    FlowCase{"ElseIfAfterFalse", "#b = 2\nif #b == 1\nsay one\nelse if #b == 2\nsay two\nelse\nsay other\nendif",
             {"say two"}},
    FlowCase{"ElseIfAfterTrue", "#b = 1\nif #b == 1\nsay one\nelse if #b == 1\nsay again\nendif\nsay end",
             {"say one", "say end"}},
    FlowCase{"ElseIfAllFalse", "#b = 5\nif #b == 1\nsay one\nelse if #b == 2\nsay two\nelse\nsay other\nendif",
             {"say other"}},
    FlowCase{"OneLineIfFalseSkipsOneCommand", "#x = 0\nif #x == 1 then say y 2\nsay after", {"say after"}},
    FlowCase{"OneLineIfTrueRuns", "#x = 1\nif #x == 1 then say y 2\nsay after", {"say y 2", "say after"}},
    FlowCase{"NestedBlocksInSkippedBlock",
             "#a = 0\nif #a == 1\nif #a == 0\nsay inner\nelse\nsay inner2\nendif\nif #a then say x\nsay skipped\n"
             "else\nsay outer_else\nendif\nsay end",
             {"say outer_else", "say end"}},
    FlowCase{"BlockIfEndingInN", "#a = 2\n#n = 1\nif #a == #n\nsay yes\nendif\nsay end", {"say end"}},
    FlowCase{"ExitStopsAtOnce", "say one\nexit\nsay never\n\"unterminated", {"say one"}},
    FlowCase{"CommentsAndBlankLines", "\n! just notes\n\n", {}},
    FlowCase{"LogicalClauses", "#a = 1\n#b = 2\nif #a == 1 && #b == 3\nsay and\nendif\nif #a == 2 || #b == 2\nsay or\nendif",
             {"say or"}}), ::kl::test::CaseName());

struct ErrorCase {
    const char* name;
    const char* script;
    const char* message;
    std::size_t line;
};

class SourceError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SourceError, ReportsMessageAndLine) {
    CommandParcer parser(GetParam().script);
    test::ScriptTestServer server(parser);
    server.runSource();
    ASSERT_TRUE(server.error);
    EXPECT_EQ(*server.error, GetParam().message);
    EXPECT_EQ(server.errorLine, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Failures, SourceError, ::testing::Values(
    ErrorCase{"ElseWithoutEndif", "#a = 1\nif #a == 1\nsay\nelse\nsay", "End of conditional block not found:", 4},
    ErrorCase{"BreakOutsideLoop", "say\nbreak", "break command not in a loop or end of loop not found:", 2},
    ErrorCase{"BreakAllOutsideLoop", "breakall", "breakAll command not in a loop or end of loop not found:", 1},
    ErrorCase{"ReturnOutsideSub", "say\n\nreturn", "return command not in a subroutine: ", 3},
    ErrorCase{"EndsubOutsideSub", "endsub", "endsub command not in a subroutine: ", 1},
    ErrorCase{"FailingCommand", "say\nsay\nfail\nsay", "failed here", 3}), ::kl::test::CaseName());

// A module folder with one module file, removed afterwards.
class LoadedScript : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kl-load-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "mine.klscpt") << "sub show #a\nsay shown #a\nfail\nendsub\n";
        std::ofstream(folder_ / "two.klscpt") << "def twice N #1*2\n";
        std::ofstream(folder_ / "bad.klscpt", std::ios::binary) << "say \xff\xfe\n";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    Value modules() const { return Value(Array{Value(".klscpt"), Value("/nonexistent"), Value(folder_.string())}); }

    std::filesystem::path folder_;
};

TEST_F(LoadedScript, FailureIsReportedOnTheLineAsWritten) {
    std::string script = "load mine\n";
    for (int line = 2; line <= 11; ++line) script += "say " + std::to_string(line) + "\n";
    script += "fail\nsay 13\n";
    CommandParcer parser(script);
    test::ScriptTestServer server(parser);
    ASSERT_FALSE(parser.loadPreambles(modules(), std::nullopt));
    server.runSource();
    ASSERT_TRUE(server.error);
    EXPECT_EQ(server.errorLine, 12u);
    EXPECT_EQ(server.handed.size(), 10u);
}

TEST_F(LoadedScript, FailureInsideAModuleNamesTheLoadLineAndTheCalls) {
    const char* script = "! header\nload \"mine\", two\nsub outer\ngosub show(#x)\nendsub\n#x = twice(4)\n"
                         "gosub outer()\n";
    CommandParcer parser(script);
    test::ScriptTestServer server(parser);
    ASSERT_FALSE(parser.loadPreambles(modules(), std::nullopt));
    server.runSource();
    ASSERT_TRUE(server.error);
    EXPECT_EQ(server.handed, (std::vector<std::string>{"say shown 8"}));
    EXPECT_EQ(server.errorLine, 2u);
    EXPECT_EQ(server.errorTrace, "\n     show");
}

struct LoadErrorCase {
    const char* script;
    const char* message;
};

class LoadError : public LoadedScript, public ::testing::WithParamInterface<LoadErrorCase> {};

TEST_P(LoadError, IsAnswered) {
    CommandParcer parser(GetParam().script);
    EXPECT_EQ(parser.loadPreambles(modules(), std::nullopt), std::optional<std::string>(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Messages, LoadError, ::testing::Values(
    LoadErrorCase{"load \"\"\nsay", "Load name is blank."},
    LoadErrorCase{"load mine,,two", "Load name is blank."},
    LoadErrorCase{"load\nsay", "Name to be loaded is missing."},
    LoadErrorCase{"load mine\nLOAD zz", "Load subroutines in 'zz' not found"},
    LoadErrorCase{"load bad", "Load subroutines in 'bad' not found"}), ::kl::test::CaseName());

TEST(TemplateLoad, TakesModulesFromTheTemplateDictionary) {
    CommandParcer parser("load common\nsay main");
    Dictionary templates{{"common.txt", Value("say common")}};
    ASSERT_FALSE(parser.loadPreambles(Value(templates), std::string(".txt")));
    test::ScriptTestServer server(parser);
    server.runSource();
    EXPECT_EQ(server.handed, (std::vector<std::string>{"say common", "say main"}));
}

}  // namespace
}  // namespace kl
