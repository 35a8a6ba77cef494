#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "FakeDefs.h"
#include "script/Expression.h"
#include "support/CaseName.h"

namespace kl {
namespace {

using test::FakeDefs;

// Answers every "@" path with a fixed text and remembers what it was asked.
class RecordingDelegate : public ExpressionAtDelegate {
public:
    std::vector<std::string> asked;
    std::string evaluateAtString(const std::string& text, const Variables& variables) override {
        asked.push_back(text);
        auto it = variables.find("#person");
        return text + "=" + (it == variables.end() ? std::string("?") : it->second);
    }
};

// A subclass with one built-in variable and one function of its own, the
// shape of template and script expressions.
class PaneExpression : public Expression {
public:
    using Expression::Expression;
    std::unique_ptr<Expression> copy() const override { return std::unique_ptr<Expression>(new PaneExpression(*this)); }
    std::optional<std::string> getCustomVariable(const std::string& name) override {
        if (name == "#width$") return "120";
        if (name == "version") return "2.0";
        return std::nullopt;
    }
    std::optional<std::string> doCustomFunction(const std::string& name, const std::vector<std::string>& args,
                                                const std::vector<std::optional<double>>& numbers,
                                                const Variables& variables) override {
        if (name == "twice") return args.empty() ? "" : args[0] + args[0];
        return Expression::doCustomFunction(name, args, numbers, variables);
    }
};

struct Case {
    const char* text;
    const char* expected;  // value, or error text when fails
    bool fails = false;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.text; }

class DefFunction : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        defs.defs = {
            {"double", {"N", "#1*2"}},
            {"join", {"SS", "#1&\"-\"&#2"}},
            {"withDefault", {"N", "#1+#2", "10"}},
            {"twoDefaults", {"", "#1&#2", "a", "b"}},
            {"answer", {"", "42"}},
            {"seesCaller", {"S", "#x&#1"}},
            {"usesSubclass", {"S", "twice(#1)&#width$"}},
            {"loops", {"S", "loops(#1)"}},
            {"callsOther", {"N", "double(#1)+1"}},
        };
    }
    FakeDefs defs;
};

TEST_P(DefFunction, Gives) {
    const Case& c = GetParam();
    PaneExpression e(c.text);
    e.setParce(&defs);
    auto error = e.evaluateWith({{"#x", "X"}});
    if (c.fails) {
        ASSERT_TRUE(error) << e.value();
        EXPECT_EQ(*error, c.expected);
    } else {
        ASSERT_FALSE(error) << *error;
        EXPECT_EQ(e.value(), c.expected);
    }
}

const Case kDefs[] = {
    {"double(3)", "6"},
    {"double(\"3\")+1", "7"},
    {"join(a,b)", "a-b"},
    {"join(a)(b)", "a-b"},
    {"withDefault(1)", "11"},
    {"withDefault(1)(2)", "3"},
    {"twoDefaults()", "ab"},
    {"twoDefaults(x)", "xb"},
    {"answer()", "42"},
    {"answer()+1", "43"},
    {"seesCaller(1)", "X1"},
    {"usesSubclass(ab)", "abab120"},
    {"callsOther(4)", "9"},
    {"2&double(3)", "26"},
    {"double(abc)", "Invalid text, custom function 'double', or function arguments in expression", true},
    {"join(a)", "Invalid text, custom function 'join', or function arguments in expression", true},
    // Too many arguments is a writing error, refused before the body runs.
    {"double(1)(2)", "Invalid text, custom function 'double', or function arguments in expression", true},
    {"withDefault(1)(2)(3)", "Invalid text, custom function 'withDefault', or function arguments in expression", true},
    {"answer(1)", "Invalid text, custom function 'answer', or function arguments in expression", true},
    // A def that calls itself ends with an error instead of exhausting the stack.
    {"loops(1)", "Invalid text, custom function 'loops', or function arguments in expression", true},
    {"Double(3)", "Invalid text, custom function 'Double', or function arguments in expression", true},
};
INSTANTIATE_TEST_SUITE_P(Defs, DefFunction, ::testing::ValuesIn(kDefs), ::kl::test::CaseName());

TEST(ExpressionHooks, DefsNeedAParser) {
    Expression e("double(3)");
    EXPECT_EQ(e.evaluateWith({}), "Invalid text, custom function 'double', or function arguments in expression");
}

TEST(ExpressionHooks, DefCannotChangeTheCallersVariables) {
    FakeDefs defs;
    defs.defs = {{"f", {"S", "#1"}}};
    Expression e("f(new)&#1");
    e.setParce(&defs);
    Variables v{{"#1", "old"}};
    ASSERT_FALSE(e.evaluateWith(v));
    EXPECT_EQ(e.value(), "newold");
    EXPECT_EQ(v.at("#1"), "old");
}

TEST(ExpressionHooks, AtReferencesGoToTheDelegateWhole) {
    RecordingDelegate delegate;
    Expression e("uppercase(@BIRT.DATE)&\"/\"&@CHIL[2].NAME");
    e.setAtDelegate(&delegate);
    ASSERT_FALSE(e.evaluateWith({{"#person", "I1"}}));
    EXPECT_EQ(e.value(), "@BIRT.DATE=I1/@CHIL[2].NAME=I1");
    EXPECT_EQ(delegate.asked, (std::vector<std::string>{"@BIRT.DATE", "@CHIL[2].NAME"}));
}

TEST(ExpressionHooks, SubclassVariablesComeAfterTheDictionary) {
    PaneExpression e("#width$/2&version");
    ASSERT_FALSE(e.evaluateWith({}));
    EXPECT_EQ(e.value(), "602.0");
    ASSERT_FALSE(e.evaluateWith({{"#width$", "10"}, {"version", "v"}}));
    EXPECT_EQ(e.value(), "5v");
}

TEST(ExpressionHooks, IndicesSeeNeitherSubclassNorDelegate) {
    RecordingDelegate delegate;
    PaneExpression e("#a[#width$]");
    e.setAtDelegate(&delegate);
    EXPECT_EQ(e.evaluateWith({{"#a[120]", "x"}}), "Invalid or negative array index expression for #a[]");
    PaneExpression at("#a[(@X)]");
    at.setAtDelegate(&delegate);
    EXPECT_EQ(at.evaluateWith({{"#a[0]", "plain"}}), std::nullopt);
    EXPECT_EQ(at.value(), "plain");  // "@X" is not numeric: element 0
    EXPECT_TRUE(delegate.asked.empty());
    // A bracket right after a path belongs to the path.
    PaneExpression path("#a[@X]");
    EXPECT_EQ(path.evaluateWith({}), "Unmatched array index brackets in expression");
}

TEST(ExpressionHooks, CopyKeepsClassTokensAndDelegateButNotParser) {
    FakeDefs defs;
    RecordingDelegate delegate;
    PaneExpression e("#width$&@A");
    e.setAtDelegate(&delegate);
    e.setParce(&defs);
    ASSERT_FALSE(e.tokenizeExpr());
    auto copy = e.copy();
    EXPECT_TRUE(copy->hasTokens());
    EXPECT_EQ(copy->string(), e.string());
    EXPECT_EQ(copy->atDelegate(), &delegate);
    EXPECT_EQ(copy->parce(), nullptr);
    ASSERT_FALSE(copy->evaluateWith({}));
    EXPECT_EQ(copy->value(), "120@A=?");
}

// A compiled expression is copied per thread, as a pane and a script do;
// the copies share read-only tokens and the function table.
TEST(ExpressionHooks, CopiesEvaluateOnSeveralThreads) {
    FakeDefs defs;
    defs.defs = {{"half", {"N", "#1/2"}}};
    Expression compiled("half(#x)&\"-\"&roman(#x)&#a[#x-1]");
    ASSERT_FALSE(compiled.tokenizeExpr());
    std::vector<std::string> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            auto mine = compiled.copy();
            mine->setParce(&defs);
            const Variables v{{"#x", std::to_string(t + 1)}, {"#a[" + std::to_string(t) + "]", "ok"}};
            for (int i = 0; i < 200; ++i)
                if (mine->evaluateWith(v)) return;
            results[t] = mine->value();
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(results, (std::vector<std::string>{"0.5-Iok", "1-IIok", "1.5-IIIok", "2-IVok"}));
}

TEST(ExpressionNames, ValidVarname) {
    const struct {
        const char* text;
        bool requireNum;
        bool valid;
    } cases[] = {
        {"#a", true, true},        {"#", true, false},          {"a", true, false},        {"#_x1", true, true},
        {"#1", true, false},       {"#a1[2]", true, true},      {"#a[1][#b[2]]", true, true}, {"#a[]", true, false},
        {"#a[[1]]", true, false},  {"#a[1]x", true, false},     {"#a[1", true, false},     {"#a[1]]", true, false},
        {"#a-b", true, false},     {"a", false, true},          {"_", false, true},        {"#", false, true},
        {"ab", false, true},       {"a1", false, false},        {"1a", false, false},      {"", false, false},
        {"name[#i+1]", false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Expression::validVarname(c.text, c.requireNum), c.valid) << c.text << " " << c.requireNum;
}

TEST(ExpressionNames, ValidVarbase) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {{"#", true}, {"#a", true}, {"a_1", true}, {"#1", false}, {"a[1]", false}, {"#a b", false}};
    for (const auto& c : cases) EXPECT_EQ(Expression::validVarbase(c.text), c.valid) << c.text;
}

TEST(ExpressionNames, GetVariableMakesDictionaryKeys) {
    const Variables variables{{"#i", "2"}};
    const struct {
        const char* text;
        std::optional<std::string> key;
    } cases[] = {
        {"#a", "#a"},           {"name", "name"},      {"#12", "#12"},           {"#a[1+1]", "#a[2]"},
        {"#a[#i][3]", "#a[2][3]"}, {"b[#i*2]", "b[4]"}, {"#a[-1]", "#a[0]"},      {"#a[-2]", std::nullopt},
        {"#a[1]+1", std::nullopt}, {"#a b", std::nullopt}, {"1x", std::nullopt},   {"#a[#nope]", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Expression::getVariable(c.text, variables, nullptr), c.key) << c.text;
}

TEST(ExpressionNames, RemoveWhiteSpacesKeepsQuotedText) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {" #a + 1 ", "#a+1"},
        {"\"a b\" & \tc", "\"a b\"&c"},
        {"x\u00A0y", "x\u00A0y"},
        {"\"open  quote", "\"open  quote"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(Expression::removeWhiteSpaces(text), c.expected);
    }
}

}  // namespace
}  // namespace kl
