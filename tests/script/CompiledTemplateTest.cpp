// Compiling templates and running them in token mode, as the pane builder
// does.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ScriptTestServer.h"
#include "foundation/Exception.h"
#include "script/CommandParcer.h"

namespace kl {
namespace {

using Texts = std::vector<std::string>;

// Appends every command, turning name(arguments) commands into calls, and
// raises on errors as the template compiler does.
class TestCompiler : public CommandCompiler {
public:
    bool shouldAddCommand(Command& command, std::vector<Command>&, CommandParcer& parce) override {
        parce.checkForGosub(command);
        return true;
    }
    void parceCompileError(const std::string& message, const Command&) override {
        raise(exception_names::CustomEditError, message);
    }
};

std::shared_ptr<const CompiledCommands> compile(const std::string& text) {
    CommandParcer parser(text);
    TestCompiler compiler;
    return parser.tokenizeCommands(compiler);
}

struct CompileErrorCase {
    const char* name;
    const char* text;
    const char* message;
};

class CompileError : public ::testing::TestWithParam<CompileErrorCase> {};

TEST_P(CompileError, StopsWithTheMessage) {
    try {
        compile(GetParam().text);
        ADD_FAILURE() << "compiled";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Messages, CompileError, ::testing::Values(
    CompileErrorCase{"ElseFirst", "else\nendif", "else not within a conditional block:"},
    CompileErrorCase{"ElseIfAfterClosedIf", "if #a\nendif\nelse if #b\nendif", "else if not within a conditional block:"},
    CompileErrorCase{"EndifFirst", "say\nendif", "endif without matching if command:"},
    CompileErrorCase{"OneLineIfOpensNoBlock", "if #a then say\nendif", "endif without matching if command:"},
    CompileErrorCase{"SubWithoutName", "sub\nendsub", "sub with missing, invalid, or duplicated, subroutine name:"},
    CompileErrorCase{"SubTwice", "sub a\nendsub\nsub \"a\"\nendsub", "sub with missing, invalid, or duplicated, subroutine name:"},
    CompileErrorCase{"DefWithoutName", "def", "def with missing, invalid, or duplicated, definition name:"},
    CompileErrorCase{"DefTwice", "def f N #1\ndef f N #1", "def with missing, invalid, or duplicated, definition name:"},
    CompileErrorCase{"GosubUnknown", "gosub nothing", "gosub with missing or invalid subroutine name:"},
    CompileErrorCase{"GosubBeforeSub", "gosub later()\nsub later\nendsub", "gosub with missing or invalid subroutine name:"},
    CompileErrorCase{"OpenQuote", "label \"abc", "Unterminated quotes or expression block:"},
    CompileErrorCase{"BadCondition", "if #a ==", "Conditional formatting error:"},
    CompileErrorCase{"ElseWithJunk", "if #a\nelse junk\nendif", "Conditional formatting error:"},
    CompileErrorCase{"BadAssignment", "#1 = 2", "Invalid equation or variable name:"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompiledTemplate, OneLineIfGetsItsOwnCode) {
    auto tokens = compile("if #a == 1 then say\nif #a == #n\nendif");
    ASSERT_EQ(tokens->size(), 4u);
    EXPECT_EQ(commandCodeOf((*tokens)[0]), CommandCodeOneLineIf);
    EXPECT_EQ(commandCodeOf((*tokens)[2]), CommandCodeIf);
}

struct TokenRunCase {
    const char* name;
    const char* text;
    Texts handed;
    const char* error;  // nullptr: none
};

class TokenRun : public ::testing::TestWithParam<TokenRunCase> {};

TEST_P(TokenRun, HandsOutWhatThePaneBuilderRuns) {
    CommandParcer parser(compile(GetParam().text));
    test::ScriptTestServer server(parser);
    server.runTokens();
    EXPECT_EQ(server.handed, GetParam().handed);
    if (GetParam().error) {
        ASSERT_TRUE(server.error);
        EXPECT_EQ(*server.error, GetParam().error);
    } else {
        EXPECT_FALSE(server.error) << *server.error;
    }
}

INSTANTIATE_TEST_SUITE_P(Flow, TokenRun, ::testing::Values(
    TokenRunCase{"IfElse", "#a = 1\nif #a == 1\nsay yes\nelse\nsay no\nendif\nsay end", {"say yes", "say end"}, nullptr},
    TokenRunCase{"ElseIfChain", "#b = 2\nif #b == 1\nsay one\nelse if #b == 2\nsay two\nelse\nsay other\nendif",
                 {"say two"}, nullptr},
    TokenRunCase{"ElseBranch", "#b = 3\nif #b == 1\nsay one\nelse if #b == 2\nsay two\nelse\nsay other\nendif",
                 {"say other"}, nullptr},
    TokenRunCase{"OneLineIfFalse", "#x = 0\nif #x == 1 then say y\nsay after", {"say after"}, nullptr},
    TokenRunCase{"NestedSkipped", "#a = 0\nif #a == 1\nif #a == 0\nsay in\nendif\nelse\nsay out\nendif", {"say out"}, nullptr},
    TokenRunCase{"Loop", "repeat #i 1 3\nsay #i\nendrepeat", {"say 1", "say 2", "say 3"}, nullptr},
    TokenRunCase{"BreakLaterPass", "repeat #i 1 5\nif #i == 3\nbreak\nendif\nsay #i\nendrepeat\nsay end",
                 {"say 1", "say 2", "say end"}, nullptr},
    TokenRunCase{"BreakFirstPass", "repeat #i 1 5\nrepeat #j 1 1\nendrepeat\nbreak\nendrepeat\nsay end", {"say end"}, nullptr},
    TokenRunCase{"CallWithReturnAfterLocals",
                 "sub f #a\nlocal #x\n#x = 5\nsay #x\nreturn #x+1\nendsub\n#x = 10\nf(1)\nsay #x", {"say 5", "say 10"}, nullptr},
    TokenRunCase{"GosubWord", "sub f #a\nsay #a\nendsub\ngosub f 3", {"say 3"}, nullptr},
    TokenRunCase{"IfOnANumber", "say one\nif 1\nsay two\nendif", {"say one", "say two"}, nullptr},
    TokenRunCase{"LocalOutsideSub", "say\nlocal #a", {"say"}, "Local command not in a subroutine"},
    TokenRunCase{"SubInBody", "say\nsub f\nendsub", {"say"}, "Unexpected command code encountered:"},
    TokenRunCase{"BreakOutsideLoop", "break", {}, "break command not in a loop or end of loop not found:"},
    TokenRunCase{"ReturnOutsideSub", "return 1", {}, "return command not in a subroutine: "},
    TokenRunCase{"EndsubInLoop", "sub f\nrepeat\nendsub\ngosub f", {},
                 "Subroutine ended with endSub while still in a repeat loop"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompiledTemplate, ReturnSeesTheCallersVariables) {
    CommandParcer parser(compile("sub f\nlocal #x\n#x = 5\nreturn #x+1\nendsub\n#x = 10\nf()"));
    test::ScriptTestServer server(parser);
    server.runTokens();
    EXPECT_EQ(server.subReturnValue(), std::optional<std::string>("11"));
}

TEST(CompiledTemplate, TemplateSubroutineParametersNeedAHash) {
    CommandParcer parser(compile("sub f a\nendsub"));
    test::ScriptTestServer server(parser);
    server.runTokens();
    ASSERT_TRUE(server.error);
    EXPECT_EQ(*server.error, "Subroutine f has invalid variable name: a");
}

// Parsers made on two threads at once share one start time; it must be
// written and read whole.
TEST(CommandParcerClock, StartTimeIsSharedSafelyAcrossThreads) {
    auto work = [] {
        for (int i = 0; i < 200; ++i) {
            CommandParcer parser("say");
            EXPECT_GE(CommandParcer::secondsSinceReference(), -1.0);
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
}

}  // namespace
}  // namespace kl
