// Reducing a chain of tokens to one value: groups, functions, a leading
// sign, then the operator passes.
#include <cmath>

#include "script/Expression.h"

namespace kl {
namespace {

using Chain = std::vector<Atomic>;

// The innermost group: the first ")" and the "(" nearest before it.
bool findInnermostGroup(const Chain& chain, std::size_t& open, std::size_t& close) {
    for (close = 0; close < chain.size(); ++close) {
        if (chain[close].code() != Atomic::CloseGroup) continue;
        for (open = close; open-- > 0;)
            if (chain[open].code() == Atomic::OpenGroup) return true;
        return false;
    }
    return false;
}

bool hasCode(const Chain& chain, int code) {
    for (const Atomic& a : chain)
        if (a.code() == code) return true;
    return false;
}

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
        for (++read; read < chain.size() && inPass(chain[read].code()); read += 2)
            if (read + 1 >= chain.size() || !combine(chain[write], chain[read].code(), chain[read + 1]))
                return std::string(pass.error);
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
    // Groups innermost first, which gives the same values as reducing them
    // recursively from the left but needs no recursion for deep nesting.
    std::size_t open = 0, close = 0;
    while (hasCode(chain, Atomic::OpenGroup)) {
        if (!findInnermostGroup(chain, open, close)) return std::string("Unbalanced parentheses in the expression");
        if (open + 1 == close) {
            // "f()" calls a custom function with no arguments; any other
            // empty group is the empty text.
            if (open > 0 && chain[open - 1].code() == Atomic::CustomFunction)
                chain.erase(chain.begin() + long(open), chain.begin() + long(close + 1));
            else
                replaceRange(chain, open, close, Atomic::text({}));
            continue;
        }
        Chain inner = std::move(groupScratch_);
        inner.assign(std::make_move_iterator(chain.begin() + long(open + 1)),
                     std::make_move_iterator(chain.begin() + long(close)));
        std::optional<std::string> error = reduceFlat(inner, variables);
        // A group leaves as text: (1/3)*3 is 0.99999999.
        if (!error) replaceRange(chain, open, close, Atomic::text(inner.front().takeText()));
        groupScratch_ = std::move(inner);
        if (error) return error;
    }
    if (hasCode(chain, Atomic::CloseGroup)) return std::string("Unbalanced parentheses in the expression");
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
    if (!result) return "Invalid text, custom function '" + name + "', or function arguments in expression";
    replaceRange(chain, at, end - 1, Atomic::text(std::move(*result)));
    return std::nullopt;
}

}  // namespace kl
