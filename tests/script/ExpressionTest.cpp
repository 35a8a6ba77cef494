#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "foundation/GermanLocale.h"
#include "script/Expression.h"
#include "support/CaseName.h"

namespace kl {
namespace {

struct Case {
    const char* text;
    const char* expected;  // the value, or the error text when failing
    bool fails = false;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.text; }

// Evaluates against a small fixed set of variables.
class Evaluates : public ::testing::TestWithParam<Case> {
protected:
    Variables variables{{"#x", "5"}, {"#s", "abc"}, {"#a[2]", "two"}, {"#a[0]", "zero"}, {"#a[3]", "three"},
                        {"#m[1][2]", "cell"}, {"#i", "1"}, {"#e", ""}, {"#n", "12abc"}, {"known", "word value"}};
};

TEST_P(Evaluates, GivesValueOrError) {
    const Case& c = GetParam();
    Expression e(c.text);
    auto error = e.evaluateWith(variables);
    if (c.fails) {
        ASSERT_TRUE(error.has_value()) << "value: " << e.value();
        EXPECT_EQ(*error, c.expected);
    } else {
        ASSERT_FALSE(error.has_value()) << *error;
        EXPECT_EQ(e.value(), c.expected);
    }
}

const Case kArithmetic[] = {
    {"", ""},
    {"1/3", "0.33333333"},
    {"2^30", "1.0737418e+09"},
    {"(1/3)*3", "0.99999999"},
    {"1/0", "inf"},
    {"-1/0", "-inf"},
    {"0/0", "nan"},
    {"-2^2", "-4"},
    {"2^3^2", "64"},
    {"10-2-3", "5"},
    {"2+3*4", "14"},
    {"(2+3)*4", "20"},
    {"2*(-3)", "-6"},
    {"-(2+3)", "-5"},
    {"+4", "4"},
    {"1e-5*2", "2e-05"},
    {"1e+3+1", "1001"},
    {"123456789", "1.2345679e+08"},
    {"0.0001", "0.0001"},
    {"0.00001", "1e-05"},
    {"1.5", "1.5"},
    {"pi", "3.1415927"},
    {"((((1))))", "1"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, Evaluates, ::testing::ValuesIn(kArithmetic), ::kl::test::CaseName());

const Case kTexts[] = {
    {"\"7\"+1", "8"},
    {"#n+1", "13"},
    {"abc&1", "abc1"},
    {"abc&\" \"&#s", "abc abc"},
    {"1.2.3", "1.2.3"},
    {"Pi", "Pi"},
    {"tab", "\t"},
    {"return", "\n"},
    {"quote", "\""},
    {"known", "word value"},
    {"&&", "&&"},
    {"==", "=="},
    {"\"a,b\"", "a,b"},
    {"\"open", "\"open"},
    {"@BIRT.DATE", "@BIRT.DATE"},
    {"#x*2", "10"},
    {"#e&x", "x"},
    {"()&x", "x"},
};
INSTANTIATE_TEST_SUITE_P(Texts, Evaluates, ::testing::ValuesIn(kTexts), ::kl::test::CaseName());

const Case kArrays[] = {
    {"#a[1+1]", "two"},
    {"#a[2.5]", "three"},
    {"#a[-1]", "zero"},
    {"#a[#i+1]", "two"},
    {"#m[1][2]", "cell"},
    {"#a[#a[9]]", "Invalid or negative array index expression for #a[]", true},
    {"#a[-2]", "Invalid or negative array index expression for #a[]", true},
    {"#a[]", "Invalid or negative array index expression for #a[]", true},
    {"#a[5]", "Undefined variable #a[5] used in expression", true},
    {"a[2]", "Undefined variable a[2] used in expression", true},
    {"[2]", "Invalid array index ('[]...[]') usage.", true},
    {"3[2]", "Array index ('[]') does not follow variable.", true},
    {"#a[1", "Unmatched array index brackets in expression", true},
    {"#a[1]]", "Unmatched array index brackets in expression", true},
};
INSTANTIATE_TEST_SUITE_P(Arrays, Evaluates, ::testing::ValuesIn(kArrays), ::kl::test::CaseName());

const Case kErrors[] = {
    {"-", "An expression with just a plus or minus sign", true},
    {"+", "An expression with just a plus or minus sign", true},
    {")", "Expression begins in ')'", true},
    {"]", "Expression begins in ')'", true},
    {"2*-3", "Operator '-' not valid as used in expression.", true},
    {"(1)#x", "Variable '#x' not valid as used in expression.", true},
    {"(1)2", "Number '2' not valid as used in expression.", true},
    {"(1)\"a\"", "String 'a' not valid as used in expression.", true},
    {"(1)b", "String(or variable) 'b' not valid as used in expression.", true},
    {"(1)@B", "@String '@B' not valid as used in expression.", true},
    {"(1)sin(2)", "Function ' nis' not valid as used in expression.", true},
    {"1+)", "Close ')' not valid as used in expression.", true},
    {"(*2)", "Open group not followed by valid character", true},
    {"(1", "Unmatched parentheses in expression", true},
    {"1)", "Unmatched parentheses in expression", true},
    {"1+", "Expression ends in an operator", true},
    {"#nothere", "Undefined variable #nothere used in expression", true},
    {"abc+1", "Addition or subtraction with a non-number or function out of range", true},
    {"abc*1", "Multiplication or division with a non-number or function out of range", true},
    {"abc^2", "Power operation with a non-number", true},
    {"2^-3", "Power operation with a non-number", true},
    {"-abc", "Negative sign on 'abc' which is not a number", true},
    {"sin(abc)", "Function argument 'abc' not a number", true},
    {"mod(7)", "Function argument '' not a number", true},
    {"chars(1)(2)", "String function 'chars' has invalid arguments", true},
    {"rjust(ab)", "String function 'rjust' has invalid arguments", true},
    {"nodef(1)", "Invalid text, custom function 'nodef', or function arguments in expression", true},
    {"(1)(2)", "Expression ended with unevaluated tokens", true},
    {"(1/0)+1", "Addition or subtraction with a non-number or function out of range", true},
};
INSTANTIATE_TEST_SUITE_P(Errors, Evaluates, ::testing::ValuesIn(kErrors), ::kl::test::CaseName());

TEST(Expression, KeepsLastValueWhenEvaluationFails) {
    Expression e("#x+1");
    Variables v{{"#x", "1"}};
    ASSERT_FALSE(e.evaluateWith(v));
    EXPECT_EQ(e.value(), "2");
    v["#x"] = "abc";
    EXPECT_TRUE(e.evaluateWith(v));
    EXPECT_EQ(e.value(), "2");
}

// Lists that callers build themselves are not checked; their faults still
// end in the language's messages.
TEST(Expression, UncheckedTokenListsFailWithMessages) {
    const struct {
        std::vector<Atomic> tokens;
        const char* error;
    } cases[] = {
        {{Atomic::symbol(Atomic::OpenGroup), Atomic::number(1)}, "Unbalanced parentheses in the expression"},
        {{Atomic::number(1), Atomic::symbol(Atomic::CloseGroup)}, "Unbalanced parentheses in the expression"},
        {{Atomic::symbol(Atomic::Times)}, "Expression ended with unknown token type"},
        {{Atomic::number(1), Atomic::symbol(Atomic::Plus)}, "Addition or subtraction with a non-number or function out of range"},
    };
    for (const auto& c : cases) {
        Expression e;
        e.setExprTokens(c.tokens);
        EXPECT_EQ(e.evaluateWith({}), c.error);
    }
}

TEST(Expression, TokenizesOnceAndEvaluatesManyTimes) {
    Expression e("#x*2");
    ASSERT_FALSE(e.tokenizeExpr());
    const std::size_t count = e.exprTokens().size();
    for (int i = 0; i < 3; ++i) {
        Variables v{{"#x", std::to_string(i)}};
        ASSERT_FALSE(e.evaluateWith(v));
        EXPECT_EQ(e.value(), std::to_string(i * 2));
        EXPECT_EQ(e.exprTokens().size(), count);
    }
    e.setString("#x+1");
    EXPECT_FALSE(e.hasTokens());
}

// Runs one test on a thread switched to a German locale (decimal comma),
// shared with the foundation tests so it is compiled at most once.
class GermanNumbers : public ::testing::Test {
protected:
    void SetUp() override {
        german_ = test::GermanLocale::get();
        if (!german_) GTEST_SKIP() << "no German locale available";
        scope_.emplace(german_);
    }
    locale_t german_ = locale_t(0);
    std::optional<test::ThreadLocaleScope> scope_;
};

TEST_F(GermanNumbers, ReadAndWriteWithADot) {
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    ASSERT_STREQ(printed, "1,5") << "the locale did not switch";
    Expression e("1/4+#x");
    Variables v{{"#x", "1.5"}};
    ASSERT_FALSE(e.evaluateWith(v));
    EXPECT_EQ(e.value(), "1.75");
    Expression r("round(#x)(2)");
    ASSERT_FALSE(r.evaluateWith(v));
    EXPECT_EQ(r.value(), "1.50");
}

// Number text must be what printf's "%.8g" writes in the C locale.
TEST(Expression, NumberTextMatchesPrintf) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1/3", 1.0 / 3},         {"2^30", 1073741824.0}, {"10^8", 1e8},          {"10^8-1", 99999999.0},
        {"99999999.5", 99999999.5}, {"1/10000", 1e-4},    {"1/100000", 1e-5},     {"-1/7", -1.0 / 7},
        {"1e300*10", 1e301},      {"123.456e5", 123.456e5}, {"2/3*1e-3", 2.0 / 3 * 1e-3}, {"0.1+0.2", 0.1 + 0.2},
    };
    for (const auto& c : cases) {
        Expression e(c.text);
        ASSERT_FALSE(e.evaluateWith({})) << c.text;
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.8g", c.value);
        EXPECT_EQ(e.value(), printed) << c.text;
    }
}

}  // namespace
}  // namespace kl
