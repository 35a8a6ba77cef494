#include <gtest/gtest.h>

#include <map>
#include <string>

#include "foundation/Exception.h"
#include "script/CommandReader.h"
#include "script/CustomExpression.h"
#include "support/CaseName.h"

namespace kl {
namespace {

// A pane in the middle of a build: a pen, a current cell inside a group box
// and one language string.
class PaneFacts : public TemplateFacts {
public:
    double rightMargin() const override { return 1234567; }
    double hpos() const override { return 100; }
    double vpos() const override { return 42.5; }
    double groupLeftEdge() const override { return 20; }
    double groupTopEdge() const override { return 300; }
    double currentCellWidth() const override { return 0.5; }
    long systemVersion() const override { return 1015; }
    std::optional<std::string> subReturnValue() const override { return returned; }
    std::optional<std::string> languageString(std::string_view key) const override {
        if (key == "Birth") return std::string("Geburt");
        return std::nullopt;
    }
    std::optional<std::string> returned;
};

struct Case {
    const char* text;
    const char* expected;
    bool fails = false;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.text; }

const char* invalid(const char* name) {
    static std::map<std::string, std::string> texts;
    return texts.emplace(name, std::string("Invalid text, custom function '") + name +
                                   "', or function arguments in expression")
        .first->second.c_str();
}

void expectEvaluates(CustomExpression& e, const Case& c, const Variables& variables = {}) {
    auto error = e.evaluateWith(variables);
    if (c.fails) {
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(*error, c.expected) << c.text;
    } else {
        ASSERT_FALSE(error) << c.text << ": " << *error;
        EXPECT_EQ(e.value(), c.expected) << c.text;
    }
}

class OutsideAnyPane : public ::testing::TestWithParam<Case> {};

TEST_P(OutsideAnyPane, Gives) {
    CustomExpression e(GetParam().text);
    expectEvaluates(e, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    TemplateExpression, OutsideAnyPane,
    ::testing::Values(Case{"#cellWidth$", "-1"}, Case{"#imageType$", "none"}, Case{"#mmPath$", ""},
                      Case{"#appName$", "Kinlore II"}, Case{"#returnValue$", "????"}, Case{"#leftSkip$", "10"},
                      Case{"local(Birth)", "Birth"}, Case{"string(Birth)", ""}, Case{"soundex(Tymczak)", "T522"},
                      Case{"dateformat(someday)", "someday"}, Case{"Local(Birth)", invalid("Local"), true},
                      Case{"STRING(Birth)", invalid("STRING"), true},
                      Case{"local(a,b)", invalid("local"), true}, Case{"#nosuch$", "Undefined variable #nosuch$ used in expression", true}), ::kl::test::CaseName());

class InsideAPane : public ::testing::TestWithParam<Case> {};

TEST_P(InsideAPane, Gives) {
    PaneFacts facts;
    CustomExpression e(GetParam().text, &facts);
    expectEvaluates(e, GetParam());
}

INSTANTIATE_TEST_SUITE_P(TemplateExpression, InsideAPane,
                         ::testing::Values(Case{"#hpos$+5", "105"}, Case{"#habs$", "120"}, Case{"#vabs$", "342.5"},
                                           Case{"#cellWidth$", "0.5"}, Case{"#rightMargin$", "1.23457e+06"},
                                           Case{"#macOS$", "1015"}, Case{"local(Birth)", "Geburt"},
                                           Case{"string(Birth)", "Geburt"}, Case{"string(Death)", ""}), ::kl::test::CaseName());

TEST(TemplateExpression, PaneVariablesHideBuiltInOnes) {
    PaneFacts facts;
    CustomExpression e("#hpos$", &facts);
    expectEvaluates(e, {"#hpos$", "7"}, {{"#hpos$", "7"}});
}

TEST(TemplateExpression, BuiltInsAreReadAtEveryEvaluation) {
    PaneFacts facts;
    CustomExpression e("#returnValue$", &facts);
    expectEvaluates(e, {"", "????"});
    facts.returned = "done";
    expectEvaluates(e, {"", "done"});
    auto copy = e.copy();
    ASSERT_FALSE(copy->evaluateWith({}));
    EXPECT_EQ(copy->value(), "done") << "a copy keeps its class and browser";
}

TEST(TemplateExpression, EveryBuiltInVariableAnswers) {
    const auto& names = CustomExpression::customVariableNames();
    ASSERT_EQ(names.size(), 33u);
    EXPECT_EQ(names.front(), "#cellSkip$");
    EXPECT_EQ(names.back(), "#returnValue$");
    CustomExpression e;
    for (const auto& name : names) EXPECT_TRUE(e.getCustomVariable(name)) << name;
    EXPECT_FALSE(e.getCustomVariable("#HPOS$"));
}

// ---- Command arguments --------------------------------------------------------------

Command command(std::initializer_list<Value> arguments) {
    Command c{Value("doWidth:"), Value(0)};
    c.insert(c.end(), arguments);
    return c;
}

TEST(CommandReader, ReadsArgumentsInOrder) {
    const Command cmd = command({Value("12.5pt"), Value("x"), Value(" -3"), Value(7), Value("abc")});
    CommandReader read;
    read.setCommand(&cmd);
    EXPECT_EQ(read.remaining(), 5u);
    EXPECT_DOUBLE_EQ(read.getFloat(), 12.5);
    EXPECT_DOUBLE_EQ(read.getFloat(), 0) << "no number starts it";
    EXPECT_EQ(read.getInt(), -3);
    EXPECT_EQ(read.getString(), "7");
    double value = 99;
    EXPECT_FALSE(read.findDouble(value));
    EXPECT_DOUBLE_EQ(value, 99);
    EXPECT_FALSE(read.more());
    read.backup(2);
    EXPECT_TRUE(read.findDouble(value));
    EXPECT_DOUBLE_EQ(value, 7);
    read.backup(100);
    EXPECT_EQ(read.getString(), "12.5pt") << "backing up stops at the first argument";
    read.doneReading();
    EXPECT_EQ(read.remaining(), 0u);
}

TEST(CommandReader, ReadingPastTheLastArgumentNamesTheTemplate) {
    const Command cmd = command({Value("10"), Value("20")});
    CommandReader read([] { return std::string("INDI.tmpl"); });
    read.setCommand(&cmd);
    read.getString();
    read.getString();
    try {
        read.getInt();
        FAIL() << "no error";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLCustomEditError");
        EXPECT_EQ(e.message(), "'doWidth: 0 10 20' command needs more than 2 arguments in template 'INDI.tmpl'");
    }
    CommandReader empty;
    EXPECT_FALSE(empty.more());
    EXPECT_THROW(empty.getString(), NamedException);
}

}  // namespace
}  // namespace kl
