// The table of built-in functions and the numeric ones.
#include <cmath>
#include <random>

#include "foundation/Numbers.h"
#include "script/Expression.h"
#include "script/ExpressionFunctionTable.h"

namespace kl {
namespace {

constexpr double kPi = 3.141592653589793;

// Numeric names first, then text names: a name is looked up in this order.
constexpr ExpressionFunctionEntry kFunctions[] = {
    {"sin", fourCharCode("sin "), false, 1, false, ""},
    {"cos", fourCharCode("cos "), false, 1, false, ""},
    {"tan", fourCharCode("tan "), false, 1, false, ""},
    {"asin", fourCharCode("asin"), false, 1, false, ""},
    {"acos", fourCharCode("acos"), false, 1, false, ""},
    {"atan", fourCharCode("atan"), false, 1, false, ""},
    {"sinh", fourCharCode("sinh"), false, 1, false, ""},
    {"cosh", fourCharCode("cosh"), false, 1, false, ""},
    {"tanh", fourCharCode("tanh"), false, 1, false, ""},
    {"log", fourCharCode("log "), false, 1, false, ""},
    {"log10", fourCharCode("logT"), false, 1, false, ""},
    {"abs", fourCharCode("abs "), false, 1, false, ""},
    {"int", fourCharCode("int "), false, 1, false, ""},
    {"sqrt", fourCharCode("sqrt"), false, 1, false, ""},
    {"sign", fourCharCode("sign"), false, 1, false, ""},
    {"exp", fourCharCode("exp "), false, 1, false, ""},
    {"rand", fourCharCode("rand"), false, 1, false, ""},
    {"erf", fourCharCode("erf "), false, 1, false, ""},
    {"erfc", fourCharCode("erfc"), false, 1, false, ""},
    {"ramp", fourCharCode("ramp"), false, 2, false, ""},
    {"cosramp", fourCharCode("cosr"), false, 2, false, ""},
    {"box", fourCharCode("box "), false, 2, false, ""},
    {"sinbox", fourCharCode("sinb"), false, 2, false, ""},
    {"sgn", fourCharCode("sgn "), false, 1, false, ""},
    {"tri", fourCharCode("tri "), false, 1, false, ""},
    {"mod", fourCharCode("mod "), false, 2, false, ""},
    {"uppercase", fourCharCode("upcs"), true, 1, false, "uppercase"},
    {"lowercase", fourCharCode("locs"), true, 1, false, "lowercase"},
    {"titlecase", fourCharCode("tics"), true, 1, false, "titleCase"},
    {"length", fourCharCode("slen"), true, 1, false, "length"},
    {"words", fourCharCode("wrds"), true, 1, false, "words"},
    {"firstword", fourCharCode("wrd1"), true, 1, false, "firstWord"},
    {"lastword", fourCharCode("wrdL"), true, 1, false, "lastWord"},
    {"removefirstword", fourCharCode("rem1"), true, 1, false, "removeFirstWord"},
    {"removelastword", fourCharCode("remL"), true, 1, false, "removeLastWord"},
    {"chars", fourCharCode("chrG"), true, 3, true, "chars"},
    {"offset", fourCharCode("offC"), true, 3, true, "offset"},
    {"word", fourCharCode("wrdG"), true, 2, true, "word"},
    {"replace", fourCharCode("repS"), true, 3, true, "replace"},
    {"trim", fourCharCode("trim"), true, 1, false, "trim"},
    {"round", fourCharCode("rond"), true, 2, true, "round"},
    {"hexchar", fourCharCode("hexC"), true, 1, false, "hexchar"},
    {"val", fourCharCode("vval"), true, 1, false, "val"},
    {"ord", fourCharCode("oord"), true, 1, false, "ord"},
    {"card", fourCharCode("card"), true, 1, false, "card"},
    {"alpha", fourCharCode("alph"), true, 1, false, "alpha"},
    {"roman", fourCharCode("roma"), true, 1, false, "roman"},
    {"rjust", fourCharCode("rjst"), true, 2, false, "rjust"},
    {"cond", fourCharCode("cond"), true, 3, false, "cond"},
};

// Numerical Recipes' Chebyshev fit, fractional error below 1.2e-7.
double erfcFit(double x) {
    double z = std::fabs(x);
    double u = 1.0 / (1.0 + z / 2.0);
    double a = u * std::exp(-z * z - 1.26551223 +
                            u * (1.00002368 +
                                 u * (0.37409196 +
                                      u * (0.09678418 +
                                           u * (-0.18628806 +
                                                u * (0.27886807 +
                                                     u * (-1.13520398 +
                                                          u * (1.48851587 + u * (-0.82215223 + u * 0.17087277)))))))));
    return x >= 0 ? a : 2.0 - a;
}

// One random source per thread, so scripts and panes never share state.
std::mt19937& randomSource() {
    thread_local std::mt19937 source{std::random_device{}()};
    return source;
}

double randomFraction() { return double(std::uniform_int_distribution<int>(0, 99999)(randomSource())) / 99999.0; }

double ramp(double x, double t) { return t <= 0 ? 0 : (t < 1 ? x * t : x); }
double cosramp(double x, double t) { return t <= 0 ? 0 : (t < 1 ? x * (1 - std::cos(kPi * t)) / 2 : x); }
double box(double x, double t) { return t > 0 && t < 1 ? x : 0; }
double sinbox(double x, double t) { return t > 0 && t < 1 ? x * std::sin(kPi * t) : 0; }
double sgn(double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }
double tri(double x) { return 1 - std::fabs(x) > 0 ? 1 - std::fabs(x) : 0; }

using Unary = double (*)(double);
using Binary = double (*)(double, double);

struct NumericHandler {
    std::uint32_t code;
    Unary unary;
    Binary binary;
};

const NumericHandler kNumericHandlers[] = {
    {fourCharCode("sin "), [](double x) { return std::sin(x); }, nullptr},
    {fourCharCode("cos "), [](double x) { return std::cos(x); }, nullptr},
    {fourCharCode("tan "), [](double x) { return std::tan(x); }, nullptr},
    {fourCharCode("asin"), [](double x) { return std::asin(x); }, nullptr},
    {fourCharCode("acos"), [](double x) { return std::acos(x); }, nullptr},
    {fourCharCode("atan"), [](double x) { return std::atan(x); }, nullptr},
    {fourCharCode("sinh"), [](double x) { return std::sinh(x); }, nullptr},
    {fourCharCode("cosh"), [](double x) { return std::cosh(x); }, nullptr},
    {fourCharCode("tanh"), [](double x) { return std::tanh(x); }, nullptr},
    {fourCharCode("log "), [](double x) { return std::log(x); }, nullptr},
    {fourCharCode("logT"), [](double x) { return std::log10(x); }, nullptr},
    {fourCharCode("abs "), [](double x) { return std::fabs(x); }, nullptr},
    // Saturates outside 32 bits and gives 0 for NaN instead of an
    // undefined conversion.
    {fourCharCode("int "), [](double x) { return double(saturatingInt32(std::floor(x))); }, nullptr},
    {fourCharCode("sqrt"), [](double x) { return std::sqrt(x); }, nullptr},
    {fourCharCode("sign"), [](double x) { return x > 0 ? 1.0 : 0.0; }, nullptr},
    {fourCharCode("exp "), [](double x) { return std::exp(x); }, nullptr},
    {fourCharCode("rand"), [](double x) { return x * randomFraction(); }, nullptr},
    {fourCharCode("erf "), [](double x) { return 1 - erfcFit(x); }, nullptr},
    {fourCharCode("erfc"), erfcFit, nullptr},
    {fourCharCode("ramp"), nullptr, ramp},
    {fourCharCode("cosr"), nullptr, cosramp},
    {fourCharCode("box "), nullptr, box},
    {fourCharCode("sinb"), nullptr, sinbox},
    {fourCharCode("sgn "), sgn, nullptr},
    {fourCharCode("tri "), tri, nullptr},
    {fourCharCode("mod "), nullptr, [](double x, double t) { return std::fmod(x, t); }},
};

}  // namespace

const ExpressionFunctionEntry* findExpressionFunction(std::string_view lowerName) {
    for (const auto& entry : kFunctions)
        if (entry.name == lowerName) return &entry;
    return nullptr;
}

const ExpressionFunctionEntry* expressionFunctionByCode(std::uint32_t code) {
    for (const auto& entry : kFunctions)
        if (entry.code == code) return &entry;
    return nullptr;
}

double Expression::doFunction(std::uint32_t code, std::span<const double> args) {
    for (const auto& handler : kNumericHandlers) {
        if (handler.code != code) continue;
        if (handler.unary && args.size() >= 1) return handler.unary(args[0]);
        if (handler.binary && args.size() >= 2) return handler.binary(args[0], args[1]);
        return 0;
    }
    return 0;
}

int Expression::functionNumDbles(std::uint32_t code) {
    const auto* entry = expressionFunctionByCode(code);
    return entry && !entry->isString ? entry->argumentCount : 1;
}

int Expression::functionNumStrings(std::uint32_t code) {
    const auto* entry = expressionFunctionByCode(code);
    return entry && entry->isString ? entry->argumentCount : 1;
}

bool Expression::functionAllowsOne(std::uint32_t code) {
    const auto* entry = expressionFunctionByCode(code);
    return entry && entry->allowsOne;
}

std::string Expression::stringFunctionName(std::uint32_t code) {
    const auto* entry = expressionFunctionByCode(code);
    return entry && entry->isString ? std::string(entry->displayName) : std::string();
}

void Expression::seedRandom(std::uint32_t seed) { randomSource().seed(seed); }

std::string Expression::extractArgsFrom(std::string_view text, std::string* arg1, std::string* arg2) {
    if (arg1) arg1->clear();
    if (arg2) arg2->clear();
    std::size_t slash = text.find('\\');
    if (slash == std::string_view::npos) return std::string(text);
    if (arg1) *arg1 = text.substr(0, slash);
    text.remove_prefix(slash + 1);
    if (!arg2) return std::string(text);
    slash = text.find('\\');
    if (slash == std::string_view::npos) return std::string(text);
    *arg2 = text.substr(0, slash);
    return std::string(text.substr(slash + 1));
}

}  // namespace kl
