#include <gtest/gtest.h>

#include <limits>

#include "script/Expression.h"
#include "support/CaseName.h"

namespace kl {
namespace {

struct Case {
    const char* text;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.text; }

class Function : public ::testing::TestWithParam<Case> {
protected:
    Variables variables{
        {"#s", "abcdef"},     {"#abc", "abc"},      {"#e", ""},           {"#blank", " a  b "},
        {"#abcWords", "a b c"}, {"#w", "2\\one two three"}, {"#t", "2\\4\\abcdef"}, {"#sentence", "  first second third  "},
        {"#item[3]", "third item"}, {"#i", "3"},     {"#accent", "élan Ünïcode"}, {"#r", "x\\y\\axbxc"},
    };
};

TEST_P(Function, Gives) {
    Expression e(GetParam().text);
    auto error = e.evaluateWith(variables);
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(e.value(), GetParam().expected);
}

const Case kNumeric[] = {
    {"SIN(0)", "0"},          {"sin0", "sin0"},         {"cos(0)", "1"},          {"tan(0)", "0"},
    {"asin(1)*2", "3.1415927"}, {"acos(1)", "0"},       {"atan(1)*4", "3.1415927"}, {"sinh(0)", "0"},
    {"cosh(0)", "1"},         {"tanh(0)", "0"},         {"log(exp(2))", "2"},     {"log10(1000)", "3"},
    {"abs(-3)", "3"},         {"int(2.7)", "2"},        {"int(-2.7)", "-3"},      {"int(-2.5)", "-3"},
    {"sqrt(16)", "4"},        {"sqrt(-1)", "nan"},      {"sqrt(-1)+1", "nan"},    {"asin(2)", "nan"},
    {"sign(-5)", "0"},        {"sign(0)", "0"},         {"sign(3)", "1"},         {"sgn(-5)", "-1"},
    {"sgn(0)", "0"},          {"sgn(7)", "1"},          {"exp(0)", "1"},          {"erf(0)", "-3e-08"},
    {"erfc(0)", "1"},         {"erf(3)", "0.99997791"}, {"erfc(-3)", "1.9999779"}, {"mod(-7)(3)", "-1"},
    {"mod(7,3)", "1"},        {"ramp(10)(0.5)", "5"},   {"ramp(10)(0)", "0"},     {"ramp(10)(2)", "10"},
    {"cosramp(10)(0.5)", "5"}, {"cosramp(10)(1)", "10"}, {"box(10)(1)", "0"},      {"box(10)(0.5)", "10"},
    {"sinbox(10)(0.5)", "10"}, {"sinbox(10)(1.5)", "0"}, {"tri(0.25)", "0.75"},    {"tri(2)", "0"},
    {"sin(0)+1", "1"},        {"rand(0)", "0"},
    // int() saturates and reads NaN as 0 instead of converting out of range.
    {"int(1e20)", "2.1474836e+09"}, {"int(-1e20)", "-2.1474836e+09"},
};
INSTANTIATE_TEST_SUITE_P(Numeric, Function, ::testing::ValuesIn(kNumeric), ::kl::test::CaseName());

const Case kText[] = {
    {"uppercase(#abc)", "ABC"},
    {"UPPERCASE(#accent)", "ÉLAN ÜNÏCODE"},
    {"lowercase(\"ÉLAN Mix\")", "élan mix"},
    {"titlecase(\"hello wORLD  élan\")", "Hello World  Élan"},
    {"uppercase(straße)", "STRASSE"},
    {"length(#e)", "0"},
    {"length(#accent)", "12"},
    {"length(12.50)", "4"},
    {"words(#blank)", "2"},
    {"words(#e)", "0"},
    {"firstword(#sentence)", "first"},
    {"lastword(#sentence)", "third"},
    {"removefirstword(#sentence)", "second third  "},
    {"removelastword(#sentence)", "  first second"},
    {"firstword(#e)", ""},
    {"chars(2)(3)(#s)", "bc"},
    {"chars(0)(0)(#s)", "f"},
    {"chars(2)(-1)(#s)", "bcde"},
    {"chars(3)(2)(#abc)", ""},
    {"chars(#e)(#e)(#s)", "abcdef"},
    {"chars(4)(99)(#s)", "def"},
    {"chars(-99)(1)(#s)", "a"},
    {"chars(#t)", "bcd"},
    {"chars(2)(3)(#accent)", "la"},
    {"offset(B)(1)(#abc)", "2"},
    {"offset(z)(1)(#abc)", "0"},
    {"offset(a)(9)(#abc)", "0"},
    {"offset(#e)(1)(#abc)", "0"},
    {"offset(c)(#e)(#abc)", "3"},
    {"offset(\"ÜN\")(1)(#accent)", "6"},
    {"word(0)(#abcWords)", "c"},
    {"word(-1)(#abcWords)", "b"},
    {"word(5)(#abcWords)", ""},
    {"word(#w)", "two"},
    {"word(#e)(#abcWords)", "a"},
    {"replace(#e)(x)(#abc)", "abc"},
    {"replace(b)(XY)(#abc)", "aXYc"},
    {"replace(#r)", "aybyc"},
    {"trim(#sentence)", "first second third"},
    {"round(2.345)(1)", "2.3"},
    {"round(7)(0)", "7"},
    {"round(\"2.345 2\")", "2.35"},
    {"round(\"2.345,2\")", "2.35"},
    {"round(\"2.345\")", "????"},
    {"round(abc)(1)", "????"},
    // A negative digit count has no meaning; a huge one is capped.
    {"round(2.5)(-1)", "????"},
    {"length(round(1)(100000))", "52"},
    {"hexchar(41)", "A"},
    {"hexchar(\" 4a \")", "J"},
    {"hexchar(1F600)", "😀"},
    {"hexchar(xyz)", "?"},
    {"hexchar(123456789)", "?"},
    {"hexchar(D800)", "?"},
    {"hexchar(110000)", "?"},
    {"hexchar(#e)", "?"},
    {"val(\"#item[\"&#i&\"]\")", "third item"},
    {"val(\"#item[1+2]\")", "third item"},
    {"val(\"#abc\")", "abc"},
    {"val(\"#nothere\")", "_nav_"},
    {"val(\"1bad\")", "_nav_"},
    {"ord(0)", "zeroth"},
    {"ord(3)", "third"},
    {"ord(12)", "twelth"},
    {"ord(13)", "thirteenth"},
    {"ord(21)", "21st"},
    {"ord(22)", "22nd"},
    {"ord(111)", "111st"},
    {"ord(-4)", "-4"},
    {"ord(x)", "????"},
    {"card(9)", "nine"},
    {"card(12)", "12"},
    {"card(-3)", "-3"},
    {"alpha(0)", "0"},
    {"alpha(1)", "a"},
    {"alpha(26)", "z"},
    {"alpha(-2)", "-b"},
    {"alpha(27)", "27"},
    {"roman(1994)", "MCMXCIV"},
    {"roman(-4)", "-IV"},
    {"roman(4999)", "MMMMCMXCIX"},
    {"roman(5000)", "5000"},
    {"roman(0)", "0"},
    {"roman(1e30)", "2147483647"},
    {"rjust(ab)(5)", "   ab"},
    {"rjust(abcdef)(3)", "abc"},
    {"rjust(ab)(-1)", "ab"},
    {"rjust(ab)(x)", "????"},
    {"rjust(#accent)(3)", "éla"},
    {"length(rjust(ab)(\"2000000000\"))", "100000"},
    {"cond(TRUE)(a)(b)", "a"},
    {"cond(1)(a)(b)", "a"},
    {"cond(-2)(a)(b)", "a"},
    {"cond(0)(a)(b)", "b"},
    {"cond(maybe)(a)(b)", "b"},
    {"uppercase(lowercase(AbC))&1", "ABC1"},
};
INSTANTIATE_TEST_SUITE_P(Text, Function, ::testing::ValuesIn(kText), ::kl::test::CaseName());

TEST(ExpressionFunctions, BackslashFormSplitsArguments) {
    const struct {
        const char* text;
        const char* arg1;
        const char* arg2;
        const char* rest;
    } cases[] = {
        {"2\\4\\abcdef", "2", "4", "abcdef"},
        {"\\4\\abc", "", "4", "abc"},
        {"2\\abc", "2", "", "abc"},
        {"abc", "", "", "abc"},
        {"1\\2\\3\\4", "1", "2", "3\\4"},
    };
    for (const auto& c : cases) {
        std::string a1 = "stale", a2 = "stale";
        EXPECT_EQ(Expression::extractArgsFrom(c.text, &a1, &a2), c.rest) << c.text;
        EXPECT_EQ(a1, c.arg1) << c.text;
        EXPECT_EQ(a2, c.arg2) << c.text;
    }
}

TEST(ExpressionFunctions, RandIsRepeatableWithASeedAndStaysInRange) {
    Expression e("rand(10)");
    std::vector<std::string> first;
    Expression::seedRandom(42);
    for (int i = 0; i < 20; ++i) {
        ASSERT_FALSE(e.evaluateWith({}));
        double v = std::stod(e.value());
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 10);
        first.push_back(e.value());
    }
    Expression::seedRandom(42);
    for (int i = 0; i < 20; ++i) {
        ASSERT_FALSE(e.evaluateWith({}));
        EXPECT_EQ(e.value(), first[std::size_t(i)]);
    }
}

TEST(ExpressionFunctions, IntOfNotANumberIsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Expression::doFunction(Atomic::tokenAsFunction("int")->fxnName(), std::span<const double>(&nan, 1)), 0);
}

TEST(ExpressionFunctions, TableAnswersCountsAndNames) {
    auto code = [](const char* name) { return Atomic::tokenAsFunction(name)->fxnName(); };
    EXPECT_EQ(Expression::functionNumDbles(code("mod")), 2);
    EXPECT_EQ(Expression::functionNumDbles(code("Sin")), 1);
    EXPECT_EQ(Expression::functionNumStrings(code("chars")), 3);
    EXPECT_EQ(Expression::functionNumStrings(code("rjust")), 2);
    EXPECT_TRUE(Expression::functionAllowsOne(code("word")));
    EXPECT_FALSE(Expression::functionAllowsOne(code("rjust")));
    EXPECT_EQ(Expression::stringFunctionName(code("TITLECASE")), "titleCase");
    EXPECT_EQ(Atomic::tokenAsFunction("sin")->code(), Atomic::NumericFunction);
    EXPECT_EQ(Atomic::tokenAsFunction("cond")->code(), Atomic::StringFunction);
    EXPECT_FALSE(Atomic::tokenAsFunction("local"));
}

}  // namespace
}  // namespace kl
