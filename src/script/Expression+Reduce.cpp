// Reducing a chain of tokens to one value: groups, functions, a leading
// sign, then the operator passes.
#include <cmath>

#include "script/Expression.h"

namespace kl {
namespace {

using Chain = std::vector<Atomic>;

void replaceRange(Chain& chain, std::size_t first, std::size_t last, Atomic value) {
    chain[first] = std::move(value);
    chain.erase(chain.begin() + long(first + 1), chain.begin() + long(last + 1));
}

struct OperatorPass {
    int first, second;  // the operator codes this pass combines
    const char* error;
};

// Folds the right operand into the left one; false when an arithmetic
// operand is not a number. "&" joins texts and never fails.
bool combine(Atomic& left, int op, const Atomic& right) {
    if (op == Atomic::Concat) {
        left.appendStringValue(right);
        return true;
    }
    auto a = left.numberValue(), b = right.numberValue();
    if (!a || !b) return false;
    switch (op) {
    case Atomic::Power: left = Atomic::number(std::pow(*a, *b)); break;
    case Atomic::Times: left = Atomic::number(*a * *b); break;
    case Atomic::Divide: left = Atomic::number(*a / *b); break;
    case Atomic::Plus: left = Atomic::number(*a + *b); break;
    default: left = Atomic::number(*a - *b); break;
    }
    return true;
}

// The length of the text a value joins with, without printing a number.
std::size_t joinedLength(const Atomic& a) {
    return a.code() == Atomic::String || a.code() == Atomic::Word ? a.string().size() : 32;
}

// Left to right, each operator of the pass folds its two neighbours into
// the left one, so every operator is left-associative (2^3^2 is 64). The
// chain is compacted in one sweep rather than erased from at every step.
std::optional<std::string> runPass(Chain& chain, std::size_t start, const OperatorPass& pass) {
    auto inPass = [&pass](int code) { return code == pass.first || code == pass.second; };
    std::size_t write = start;
    while (write < chain.size() && !inPass(chain[write].code())) ++write;
    if (write == chain.size()) return std::nullopt;
    write = write > start ? write - 1 : start;  // the first operator's left operand
    for (std::size_t read = write; read < chain.size(); ++write) {
        if (write != read) chain[write] = std::move(chain[read]);
        for (++read; read < chain.size() && inPass(chain[read].code()); read += 2) {
            if (read + 1 >= chain.size()) return std::string(pass.error);
            if (chain[read].code() == Atomic::Concat &&
                joinedLength(chain[write]) + joinedLength(chain[read + 1]) > Expression::kMaxTextLength)
                return Expression::textTooLong();
            if (!combine(chain[write], chain[read].code(), chain[read + 1])) return std::string(pass.error);
        }
    }
    chain.resize(write);
    return std::nullopt;
}

const OperatorPass kPowerPass{Atomic::Power, Atomic::Power, "Power operation with a non-number"};
const OperatorPass kLaterPasses[] = {
    {Atomic::Times, Atomic::Divide, "Multiplication or division with a non-number or function out of range"},
    {Atomic::Plus, Atomic::Minus, "Addition or subtraction with a non-number or function out of range"},
    {Atomic::Concat, Atomic::Concat, ""},
};

}  // namespace

std::optional<std::string> Expression::evaluateTokens(Chain& chain, const Variables& variables) {
    // One pass with a stack of open groups: each ")" reduces the tokens
    // since its "(" and leaves one value in their place. Groups close
    // innermost first, as reducing them recursively from the left would,
    // without recursion and without rescanning the chain per group.
    Chain out = std::move(outScratch_);
    out.clear();
    out.reserve(chain.size());
    std::vector<std::size_t> opens;
    for (Atomic& token : chain) {
        if (token.code() == Atomic::OpenGroup) opens.push_back(out.size());
        if (token.code() != Atomic::CloseGroup) {
            out.push_back(std::move(token));
            continue;
        }
        if (opens.empty()) return std::string("Unbalanced parentheses in the expression");
        const std::size_t open = opens.back();
        opens.pop_back();
        if (open + 1 == out.size()) {
            // "f()" calls a custom function with no arguments; any other
            // empty group is the empty text.
            if (open > 0 && out[open - 1].code() == Atomic::CustomFunction)
                out.pop_back();
            else
                out.back() = Atomic::text({});
            continue;
        }
        Chain inner = std::move(groupScratch_);
        inner.assign(std::make_move_iterator(out.begin() + long(open + 1)), std::make_move_iterator(out.end()));
        out.resize(open);
        std::optional<std::string> error = reduceFlat(inner, variables);
        // A group leaves as text: (1/3)*3 is 0.99999999.
        if (!error) out.push_back(Atomic::text(inner.front().takeText()));
        groupScratch_ = std::move(inner);
        if (error) return error;
    }
    if (!opens.empty()) return std::string("Unbalanced parentheses in the expression");
    chain.swap(out);
    outScratch_ = std::move(out);
    return reduceFlat(chain, variables);
}

// A chain without parentheses.
std::optional<std::string> Expression::reduceFlat(Chain& chain, const Variables& variables) {
    if (auto error = applyFunctions(chain, variables)) return error;
    const bool signed_ = !chain.empty() && (chain[0].code() == Atomic::Plus || chain[0].code() == Atomic::Minus);
    if (auto error = runPass(chain, signed_ ? 1 : 0, kPowerPass)) return error;
    if (signed_) {
        // After the power pass, so that -2^2 is -4.
        if (chain[0].code() == Atomic::Minus) {
            std::optional<double> operand = chain.size() > 1 ? chain[1].numberValue() : std::nullopt;
            if (!operand)
                return "Negative sign on '" + (chain.size() > 1 ? chain[1].stringValue() : std::string()) +
                       "' which is not a number";
            chain[1] = Atomic::number(-*operand);
        }
        chain.erase(chain.begin());
    }
    for (const OperatorPass& pass : kLaterPasses)
        if (auto error = runPass(chain, 0, pass)) return error;
    if (chain.size() > 1) return std::string("Expression ended with unevaluated tokens");
    if (chain.empty()) {
        chain.push_back(Atomic::text({}));
        return std::nullopt;
    }
    if (!chain.front().isValue()) return std::string("Expression ended with unknown token type");
    return std::nullopt;
}

std::optional<std::string> Expression::applyFunctions(Chain& chain, const Variables& variables) {
    for (std::size_t i = 0; i < chain.size(); ++i) {
        std::optional<std::string> error;
        switch (chain[i].code()) {
        case Atomic::NumericFunction: error = applyNumericFunction(chain, i); break;
        case Atomic::StringFunction: error = applyStringFunction(chain, i, variables); break;
        case Atomic::CustomFunction: error = applyCustomFunction(chain, i, variables); break;
        default: break;
        }
        if (error) return error;
    }
    return std::nullopt;
}

std::optional<std::string> Expression::applyNumericFunction(Chain& chain, std::size_t at) {
    const std::uint32_t code = chain[at].fxnName();
    const std::size_t count = std::size_t(functionNumDbles(code));
    double args[2] = {0, 0};
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t pos = at + 1 + k;
        std::optional<double> v = pos < chain.size() ? chain[pos].numberValue() : std::nullopt;
        if (!v)
            return "Function argument '" + (pos < chain.size() ? chain[pos].stringValue() : std::string()) +
                   "' not a number";
        args[k] = *v;
    }
    replaceRange(chain, at, at + count, Atomic::number(doFunction(code, std::span<const double>(args, count))));
    return std::nullopt;
}

std::optional<std::string> Expression::applyStringFunction(Chain& chain, std::size_t at, const Variables& variables) {
    const std::uint32_t code = chain[at].fxnName();
    const std::size_t wanted = std::size_t(functionNumStrings(code));
    std::size_t got = 0;
    while (got < wanted && at + 1 + got < chain.size() && chain[at + 1 + got].code() == Atomic::String) ++got;
    if (got < wanted && !(got == 1 && functionAllowsOne(code)))
        return "String function '" + stringFunctionName(code) + "' has invalid arguments";
    std::string args[3];
    for (std::size_t k = 0; k < got; ++k) args[k] = chain[at + 1 + k].string();
    std::string result = doStringFunction(code, std::span<const std::string>(args, got), variables);
    if (result.size() > kMaxTextLength) return textTooLong();
    replaceRange(chain, at, at + got, Atomic::text(std::move(result)));
    return std::nullopt;
}

std::optional<std::string> Expression::applyCustomFunction(Chain& chain, std::size_t at, const Variables& variables) {
    std::vector<std::string> args;
    std::vector<std::optional<double>> numbers;
    std::size_t end = at + 1;
    for (; end < chain.size() && chain[end].code() == Atomic::String; ++end) {
        numbers.push_back(chain[end].numberValue());
        args.push_back(chain[end].string());
    }
    const std::string name = chain[at].string();
    auto result = doCustomFunction(name, args, numbers, variables);
    // A text that grew too long inside a def ends the whole evaluation
    // with that reason, not as a failed call.
    if (textLimitReached() || (result && result->size() > kMaxTextLength)) return textTooLong();
    if (!result) return "Invalid text, custom function '" + name + "', or function arguments in expression";
    replaceRange(chain, at, end - 1, Atomic::text(std::move(*result)));
    return std::nullopt;
}

}  // namespace kl
