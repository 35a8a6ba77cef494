// How command lines are cut into arguments, assignments and conditions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/CommandParcer.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using Texts = std::vector<std::string>;

Texts texts(const Command& command) {
    Texts out;
    for (const Value& v : command) out.push_back(v.isInteger() ? "<" + std::to_string(v.toInteger()) + ">" : v.toString());
    return out;
}

struct LineCase {
    const char* line;
    Texts expected;
};

class SourceLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SourceLine, SplitsAsWritten) {
    CommandParcer parser(GetParam().line);
    auto command = parser.nextCommand();
    ASSERT_TRUE(command);
    EXPECT_EQ(texts(*command), GetParam().expected) << GetParam().line;
}

const std::string FE = CommandParcer::FormattingError;
const std::string TE = CommandParcer::TerminationError;

INSTANTIATE_TEST_SUITE_P(Arguments, SourceLine, ::testing::Values(
    LineCase{"label  \"A, B\" , 12", {"label", "\"A, B\"", "12"}},
    LineCase{"set x,,y", {"set", "x", "", "y"}},
    LineCase{"set x, ,y", {"set", "x", "", "y"}},
    LineCase{"set width 120 height 16", {"set", "width", "120", "height", "16"}},
    LineCase{"call (#a + 1, 2) x", {"call", "(#a+1,2)", "x"}},
    LineCase{"x #a=1", {"x", "#a", "=", "1"}},
    LineCase{"x #a+=1", {"x", "#a", "\"+=\"", "1"}},
    LineCase{"word ! a comment", {"word"}},
    LineCase{"! only a comment\n\r\n  word two", {"word", "two"}},
    LineCase{"say \xC2\xA0" "caf\xC3\xA9\xC2\xA0x", {"say", "caf\xC3\xA9\xC2\xA0x"}},
    LineCase{"say \"a\tb\" c!d", {"say", "\"a\tb\"", "c!d"}},
    LineCase{"\"abc", {TE}},
    LineCase{"x)", {TE}},
    LineCase{"x (a\ny", {TE, "x"}}));

INSTANTIATE_TEST_SUITE_P(Assignments, SourceLine, ::testing::Values(
    LineCase{"#n += 2", {"#n", "=", "#n+(2)"}},
    LineCase{"#n+=2", {"#n", "=", "#n+(2)"}},
    LineCase{"#a = \"x\" & #b ! note", {"#a", "=", "\"x\"&#b"}},
    LineCase{"#s &= \"a b\"", {"#s", "=", "#s&(\"a b\")"}},
    LineCase{"*ref -= 3", {"*ref", "=", "val(ref)-(3)"}},
    LineCase{"#list[2] = 7", {"#list[2]", "=", "7"}},
    LineCase{"#=1", {FE, "no equals sign", "#=1"}},
    LineCase{"#a 1", {FE, "no equals sign", "#a 1"}},
    LineCase{"# +=1", {FE, "no variable to assign", "# +=1"}},
    LineCase{"#1 = 2", {FE, "assign variable no valid", "#1 = 2"}},
    LineCase{"*1x = 2", {FE, "invalid reference variable", "*1x = 2"}}), ::kl::test::CaseName());

INSTANTIATE_TEST_SUITE_P(Conditions, SourceLine, ::testing::Values(
    LineCase{"if #a == 1 && #b != \"x\" ! note", {"if", "#a", "==", "1", "&&", "#b", "!=", "\"x\""}},
    LineCase{"ifstr #a == #b && #c", {"ifstr", "#a", "==", "#b&&#c"}},
    LineCase{"if #n is 3", {"if", "#n", " is ", "3"}},
    LineCase{"if #a <> 2", {"if", "#a", "!=", "2"}},
    LineCase{"if #a >= 2 || #b", {"if", "#a", ">=", "2", "||", "#b"}},
    LineCase{"if #this", {"if", "#this"}},
    LineCase{"ifdef #x", {"ifdef", "\"#x\""}},
    LineCase{"if \"a == b\" == #c", {"if", "\"a == b\"", "==", "#c"}},
    LineCase{"if #a = 1 then exit", {"if", "#a", "=", "1"}},
    LineCase{"if #a ==", {FE, "empty conditional expression", "if", "#a =="}},
    LineCase{"if #a == 1 && ", {FE, "empty second conditional expression", "if"}},
    LineCase{"if && #b", {FE, "empty first conditional expression", "if", "&& #b"}},
    LineCase{"if \"abc == 1", {TE, "if", "\"abc == 1"}}), ::kl::test::CaseName());

INSTANTIATE_TEST_SUITE_P(BracedArguments, SourceLine, ::testing::Values(
    LineCase{"gosub show(#a, 2)", {"gosub", "show", "#a", "2"}},
    LineCase{"gosub show()", {"gosub", "show"}},
    LineCase{"gosub show(#a) ! fine", {"gosub", "show", "#a"}},
    LineCase{"gosub show(#a) x", {TE, "gosub", "show", "#a"}},
    LineCase{"gosub show(#a", {TE, "gosub", "show", "#a"}},
    LineCase{"gosub show 1 2", {"gosub", "show", "1", "2"}}));

TEST(CommandLexer, OneLineIfLeavesItsCommandForTheNextRead) {
    CommandParcer parser("if #a = 1 then say yes\nnext");
    ASSERT_TRUE(parser.nextCommand());
    auto then = parser.nextCommand();
    ASSERT_TRUE(then);
    EXPECT_EQ(texts(*then), (Texts{"say", "yes"}));
    EXPECT_EQ(texts(*parser.nextCommand()), (Texts{"next"}));
}

TEST(CommandLexer, BracedStateDoesNotLeakIntoLaterLines) {
    // A list left unclosed must not make a later stray ", ::kl::test::CaseName())" end an argument.
    CommandParcer parser("gosub show(#a\nx)");
    ASSERT_EQ(texts(*parser.nextCommand())[0], TE);
    EXPECT_EQ(texts(*parser.nextCommand()), (Texts{TE}));
}

TEST(CommandLexer, BlankAndCommentOnlyTextYieldsNoCommand) {
    CommandParcer parser("\n   \n! note\r\n\t! another\n");
    EXPECT_FALSE(parser.nextCommand());
}

TEST(CommandLexer, UnquoteRemovesOnePairOnly) {
    EXPECT_EQ(CommandParcer::unquote("\"\"a\"\""), "\"a\"");
    EXPECT_EQ(CommandParcer::unquote("\"a"), "\"a");
    EXPECT_EQ(CommandParcer::unquote("\""), "\"");
}

struct CompileCase {
    const char* line;
    Texts expected;
};

class CompileLine : public ::testing::TestWithParam<CompileCase> {};

TEST_P(CompileLine, CarriesItsCode) {
    CommandParcer parser(GetParam().line);
    auto command = parser.readNextCommand();
    ASSERT_TRUE(command);
    EXPECT_EQ(texts(*command), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Codes, CompileLine, ::testing::Values(
    CompileCase{"label \"x\"", {"label", "<0>", "\"x\""}},
    CompileCase{"#a = 1", {"", "<1>", "#a", "=", "1"}},
    CompileCase{"#=1", {"<19>", "no equals sign", "#=1"}},
    CompileCase{"if #a > 1", {"if", "<2>", "#a", ">", "1"}},
    CompileCase{"if #a ==", {"<18>", "empty conditional expression", "if", "<2>", "#a =="}},
    CompileCase{"RepeatWith x y", {"RepeatWith", "<4>", "x", "y"}},
    CompileCase{"Repeal x", {"Repeal", "<0>", "x"}},
    CompileCase{"Repeats x", {"Repeats", "<4>", "x"}},
    CompileCase{"endrepeat", {"endrepeat", "<5>"}},
    CompileCase{"else", {"else", "<7>"}},
    CompileCase{"ELSE IfStr #b == 2", {"ifstr", "<8>", "#b", "==", "2"}},
    CompileCase{"else junk here", {"<18>", "else", "junk", "here"}},
    CompileCase{"endif trailing words", {"endif", "<9>"}},
    CompileCase{"break now", {"break", "<10>"}},
    CompileCase{"breakall", {"breakall", "<11>"}},
    CompileCase{"endsub", {"endsub", "<12>"}},
    CompileCase{"return #a + 1 ! kept", {"return", "<13>", "#a + 1 ! kept"}},
    CompileCase{"return", {"return", "<13>"}},
    CompileCase{"sub show #a", {"sub", "<14>", "show", "#a"}},
    CompileCase{"gosub show(1, 2)", {"gosub", "<15>", "show(1,2)"}},
    CompileCase{"def f N #1*2", {"def", "<16>", "f", "N", "#1*2"}},
    CompileCase{"local #a #b", {"local", "<21>", "#a", "#b"}},
    CompileCase{"label \"x", {"<17>", "label", "<0>"}}), ::kl::test::CaseName());

}  // namespace
}  // namespace kl
