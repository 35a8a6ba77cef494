// Colouring by kind of text, the range recoloured after an edit, Return's
// indentation and re-indenting by block commands.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/SyntaxColorizer.h"
#include "editor/TextEditing.h"

namespace kl {
namespace {

using Coloured = std::vector<std::pair<std::string, std::string>>;

// The coloured pieces of a text with their modes, plain text left out.
Coloured coloured(const std::string& kind, const std::string& text) {
    const SyntaxColorizer colorizer(SyntaxColorizer::componentsForKind(kind, false));
    Coloured out;
    for (const ColorSpan& span : colorizer.colorize(text))
        if (span.component != SyntaxColorizer::textMode)
            out.emplace_back(text.substr(span.location, span.length), colorizer.modeName(span.component));
    return out;
}

struct ColoringCase {
    const char* what;
    const char* kind;
    std::string text;
    Coloured expected;
};

class Coloring : public ::testing::TestWithParam<ColoringCase> {};

TEST_P(Coloring, FindsEachModesMatches) {
    const ColoringCase& c = GetParam();
    EXPECT_EQ(coloured(c.kind, c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Coloring,
    ::testing::Values(
        ColoringCase{"NotEqualIsNoComment", "txt", "if #a != 3", {{"if", "Commands"}, {"#a", "Expressions"}}},
        ColoringCase{"BangStartsAComment", "txt", "x ! note if\ny", {{"! note if", "Comments"}}},
        ColoringCase{"IfInsideEndifIsNoKeyword", "txt", "endif\n", {{"endif", "Commands"}}},
        ColoringCase{"KeywordsAfterColonAndComma", "txt", "else:if,x", {{"else", "Commands"}, {"if", "Commands"}}},
        ColoringCase{"KeywordInQuotesIsNotColoured", "txt", "log \"if then\"",
                     {{"log", "Commands"}, {"\"if then\"", "Strings"}}},
        ColoringCase{"CommandAtLineStartInsideAQuote", "txt", "title \"a\n  cell x\nb\"",
                     {{"title", "UserCommands"}, {"\"a\n  ", "Strings"}, {"cell", "UserCommands"},
                      {" x\nb\"", "Strings"}}},
        ColoringCase{"CommandNotAtLineStart", "txt", "x cell", {}},
        ColoringCase{"ExpressionAtTheEnd", "txt", "set #a", {{"set", "UserCommands"}, {"#a", "Expressions"}}},
        ColoringCase{"ExpressionAtLineEnd", "txt", "#b\nx", {{"#b", "Expressions"}}},
        ColoringCase{"ExpressionInQuotesIsNot", "txt", "\"#a\" @rec.NAME",
                     {{"\"#a\"", "Strings"}, {"@rec.NAME", "UserExpressions"}}},
        ColoringCase{"CommentsWin", "txt", "! if \"x\" #a", {{"! if \"x\" #a", "Comments"}}},
        ColoringCase{"BangInQuotesIsText", "txt", "\"a ! b\"", {{"\"a ! b\"", "Strings"}}},
        ColoringCase{"UnclosedQuoteIsPlain", "txt", "x \"open", {}},
        ColoringCase{"ScriptWords", "klscpt", "dump #x.y\nuserinput @a.$b",
                     {{"dump", "Commands"}, {"#x", "Expressions"}, {"userinput", "UserCommands"},
                      {"@a.$b", "UserExpressions"}}},
        ColoringCase{"TemplateHasNoScriptWords", "txt", "dump x\nuserinput", {}},
        ColoringCase{"PythonEscapedQuote", "py", "s = \"a\\\"b\" + c", {{"\"a\\\"b\"", "Strings"}}},
        ColoringCase{"PythonEscapedQuoteAtTheEnd", "py", "s = \"a\\\"", {{"\"a\\\"", "Strings"}}},
        ColoringCase{"PythonComment", "py", "if x: # if\nprint \"#\"",
                     {{"if", "UserKeywords"}, {"# if", "Comments"}, {"print", "UserKeywords"}, {"\"#\"", "Strings"}}},
        ColoringCase{"AppleScript", "applescript", "tell application \"F\"\n  beep\nend tell -- done",
                     {{"tell", "UserCommands"}, {"beep", "UserCommands"}, {"end tell", "UserCommands"},
                      {"-- done", "Comments"}}},
        ColoringCase{"StyleSheetIsPlain", "css", "body { if }", {}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ColorSets, TemplatesAndScriptsApplyCommentsLast) {
    for (const char* kind : {"txt", "klscpt"}) {
        const ColorComponents components = SyntaxColorizer::componentsForKind(kind, false);
        std::vector<std::string> names;
        for (const ColorComponent& c : components) names.push_back(c.name);
        EXPECT_EQ(names, (std::vector<std::string>{"Strings", "Commands", "Expressions", "UserCommands",
                                                   "UserExpressions", "Comments"}));
    }
    const ColorComponents light = SyntaxColorizer::componentsForKind("txt", false);
    const ColorComponents dark = SyntaxColorizer::componentsForKind("txt", true);
    EXPECT_EQ(light[5].color, (Color{0, 0.456, 0, 1}));
    EXPECT_EQ(dark[5].color, (Color{0.425, 0.475, 0.525, 1}));
    EXPECT_EQ(SyntaxColorizer::defaultComponents()[1].keywords.size(), 37u);
}

// ---- the range recoloured after an edit

// Runs of one coloured mode in the text, as the view's attributes hold
// them after the text was coloured whole.
auto runsOf(const std::string& text) {
    const SyntaxColorizer colorizer(SyntaxColorizer::componentsForKind("txt", false));
    return [spans = colorizer.colorize(text)](std::size_t at) -> std::optional<TextRange> {
        for (const ColorSpan& span : spans)
            if (at >= span.location && at < span.location + span.length && span.component >= 0)
                return TextRange{span.location, span.length};
        return std::nullopt;
    };
}

struct RecolorCase {
    const char* what;
    TextEdit edit;
    std::string expected;  // the text of the recoloured range
};

class RecolorAfterEdit : public ::testing::TestWithParam<RecolorCase> {};

TEST_P(RecolorAfterEdit, IsWholeLinesAndTheRunCrossingThem) {
    // Line 2 opens a quote that closes on line 3.
    const std::string text = "set a\nab \"q1\nq2\" cd\nlast";
    const RecolorCase& c = GetParam();
    const TextRange range = recolorRangeAfterEdit(std::string_view(text), c.edit, runsOf(text));
    EXPECT_EQ(text.substr(range.location, range.length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, RecolorAfterEdit,
    ::testing::Values(
        // "b" of line 2 typed: the line, from the line end before it.
        RecolorCase{"TypingInPlainText", {{7, 1}, 1, false, {}}, "\nab \"q1"},
        // "1" typed inside the quote: the quote runs into line 3.
        RecolorCase{"TypingInAQuote", {{11, 1}, 1, false, {}}, "\nab \"q1\nq2\""},
        RecolorCase{"TypingAtTheTextStart", {{0, 1}, 1, false, {}}, "set a"},
        // A deletion before "cd": one back, two on, whole line 3.
        RecolorCase{"Deleting", {{17, 0}, -1, false, {}}, "\nq2\" cd"},
        RecolorCase{"DeletingAtTheEnd", {{23, 0}, -1, false, {}}, "\nlast"},
        // Undo looks at the selection, not the edited range.
        RecolorCase{"Undo", {{0, 3}, 3, true, {22, 1}}, "\nlast"},
        RecolorCase{"RedoIntoAQuote", {{0, 0}, -2, true, {10, 0}}, "\nab \"q1\nq2\""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(RecolorAfterEdit, AnEmptyTextRecoloursNothing) {
    const std::string text;
    const TextRange range =
        recolorRangeAfterEdit(std::string_view(text), TextEdit{{0, 0}, -1, false, {}}, runsOf(text));
    EXPECT_EQ(range.length, 0u);
}

// ---- Return and re-indenting

TEST(Indentation, ReturnCarriesTheBlanksBeforeTheCaret) {
    struct Case {
        std::string text;
        std::size_t caret;
        std::string inserted;
    } cases[] = {{"x\n\t\t y", 7, "\n\t\t "},  {"\t\t y", 5, "\n\t\t "}, {"\t\t y", 1, "\n\t"},
                 {"  ", 2, "\n  "},          {"abc", 0, "\n"},         {"a\r  b", 4, "\n  "}};
    for (const Case& c : cases) EXPECT_EQ(newlineIndentation(c.text, c.caret), c.inserted) << c.text;
}

struct IndentCase {
    const char* what;
    bool option;
    std::string text;
    std::string expected;
};

class Reindenting : public ::testing::TestWithParam<IndentCase> {};

TEST_P(Reindenting, FollowsTheBlockCommands) {
    const IndentCase& c = GetParam();
    EXPECT_EQ(indentCommands(c.text, "  ", templateIndentKeywords(c.option)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, Reindenting,
    ::testing::Values(
        IndentCase{"GroupBoxes", false, "if #a\ncell GroupBox\ntext x\nendgroup\nendif",
                   "if #a\n  cell GroupBox\n    text x\n  endgroup\nendif"},
        IndentCase{"GroupBoxesWithOption", true, "if #a\n   cell GroupBox\ntext x\n\tendgroup\nendif",
                   "if #a\n  cell GroupBox\n  text x\n  endgroup\nendif"},
        IndentCase{"OneLineIf", false, "if #a then gosub X\ntext y", "if #a then gosub X\ntext y"},
        IndentCase{"ThenInQuotes", false, "ifstr #a == \" then \"\ntext y\nendif",
                   "ifstr #a == \" then \"\n  text y\nendif"},
        IndentCase{"ElseAndLoops", false, "sub A\nif #x\nrepeat\nx\nendrepeat\nelse\ny\nendif\nendsub",
                   "sub A\n  if #x\n    repeat\n      x\n    endrepeat\n  else\n    y\n  endif\nendsub"},
        IndentCase{"ExtraClosersStayAtTheMargin", false, "  endif\n  x", "endif\nx"},
        IndentCase{"EmptyAndBlankLines", false, "if a\n\n   \nx\nendif\n  ", "if a\n\n  \n  x\nendif\n  "},
        IndentCase{"CellWordAfterComma", false, "cell,GroupBox\nx", "cell,GroupBox\n  x"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Reindenting, VerbatimRegionsKeepTheirIndentation) {
    const std::map<std::string, int> table{{"if", 5}, {"endif", 3}, {"begin", 6}, {"end", 7}};
    EXPECT_EQ(indentCommands("if a\nbegin\n      raw\n if b\n   raw\nend\nendif\nendif", "\t", table),
              "if a\n\tbegin\n      raw\n if b\n   raw\n\t\tend\n\tendif\nendif");
}

}  // namespace
}  // namespace kl
