#include "script/Expression.h"

#include <cmath>

#include "script/ExpressionScan.h"

namespace kl {
namespace {

// Def functions and array indices evaluate further expressions; a def that
// calls itself would otherwise recurse until the stack runs out. No sound
// expression nests anywhere near this deep.
constexpr int kMaxEvaluationDepth = 64;
thread_local int evaluationDepth = 0;
// Set when a text grew too long anywhere below the outermost evaluation.
thread_local bool textLimitHit = false;

class DepthGuard {
public:
    DepthGuard() { ++evaluationDepth; }
    ~DepthGuard() { --evaluationDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    bool tooDeep() const { return evaluationDepth > kMaxEvaluationDepth; }
};

std::size_t matchingCloseIndex(const std::vector<Atomic>& chain, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < chain.size(); ++i) {
        if (chain[i].code() == Atomic::OpenIndex) ++depth;
        if (chain[i].code() == Atomic::CloseIndex && --depth == 0) return i;
    }
    return chain.size();
}

bool isNumberType(char letter) { return letter == 'N' || letter == 'n'; }

}  // namespace

Expression::Expression(std::string text) : string_(std::move(text)) {}

Expression::Expression(const Expression& other)
    : string_(other.string_),
      exprTokens_(other.exprTokens_),
      hasTokens_(other.hasTokens_),
      atDelegate_(other.atDelegate_) {}

std::unique_ptr<Expression> Expression::copy() const { return std::unique_ptr<Expression>(new Expression(*this)); }

void Expression::setString(std::string text) {
    string_ = std::move(text);
    exprTokens_.clear();
    hasTokens_ = false;
}

void Expression::setExprTokens(std::vector<Atomic> tokens) {
    exprTokens_ = std::move(tokens);
    hasTokens_ = true;
}

std::string Expression::textTooLong() {
    textLimitHit = true;
    return kTextTooLong;
}

bool Expression::textLimitReached() { return textLimitHit; }

std::optional<std::string> Expression::evaluateWith(const Variables& variables) {
    DepthGuard depth;
    if (evaluationDepth == 1) textLimitHit = false;
    if (depth.tooDeep()) return std::string("Expression nested too deeply");
    if (!hasTokens_)
        if (auto error = tokenizeExpr()) return error;
    Chain chain = std::move(chainScratch_);
    chain.assign(exprTokens_.begin(), exprTokens_.end());
    std::optional<std::string> error = substituteValues(chain, variables);
    if (!error) error = evaluateTokens(chain, variables);
    if (!error) value_ = chain.empty() ? std::string() : chain.front().takeText();
    chainScratch_ = std::move(chain);
    return error;
}

// Replaces variables, bare words and "@" references by their texts before
// anything is computed.
std::optional<std::string> Expression::substituteValues(Chain& chain, const Variables& variables) {
    for (std::size_t i = 0; i < chain.size(); ++i) {
        Atomic& token = chain[i];
        if (token.code() == Atomic::Variable) {
            std::string key = token.string();
            if (auto error = getArrayIndices(chain, i, key, variables)) return error;
            auto found = variables.find(key);
            if (found != variables.end()) {
                chain[i] = Atomic::text(found->second);
            } else if (auto custom = getCustomVariable(key)) {
                chain[i] = Atomic::text(std::move(*custom));
            } else {
                return "Undefined variable " + key + " used in expression";
            }
        } else if (token.code() == Atomic::Word) {
            auto found = variables.find(token.string());
            if (found != variables.end()) {
                chain[i] = Atomic::text(found->second);
            } else if (auto custom = getCustomVariable(token.string())) {
                chain[i] = Atomic::text(std::move(*custom));
            } else {
                // An undefined plain word is its own text.
                chain[i] = Atomic::text(token.string());
            }
        } else if (token.code() == Atomic::AtReference) {
            std::string text = atDelegate_ ? atDelegate_->evaluateAtString(token.string(), variables) : token.string();
            chain[i] = Atomic::text(std::move(text));
        }
    }
    return std::nullopt;
}

// Appends "[n]" to `key` for each index group after the name at `at` and
// removes the groups from the chain. An index is evaluated by a plain
// expression: neither subclass variables and functions nor "@" references
// are available inside it.
std::optional<std::string> Expression::getArrayIndices(Chain& chain, std::size_t at, std::string& key,
                                                       const Variables& variables) {
    const std::string name = key;
    auto failure = [&name] { return "Invalid or negative array index expression for " + name + "[]"; };
    std::size_t next = at + 1;
    while (next < chain.size() && chain[next].code() == Atomic::OpenIndex) {
        std::size_t close = matchingCloseIndex(chain, next);
        if (close >= chain.size() || close == next + 1) return failure();
        Expression index;
        index.setParce(parce_);
        index.setExprTokens(Chain(chain.begin() + long(next + 1), chain.begin() + long(close)));
        if (index.evaluateWith(variables)) return failure();
        // Rounded by adding a half and truncating toward zero: -1 reads
        // element 0, -2 fails. Huge values fail rather than overflow.
        double number = std::trunc(scan::scanDouble(index.value()).value_or(0) + 0.5);
        if (!(number >= 0) || number >= 2147483648.0) return failure();
        key += "[" + std::to_string(static_cast<long>(number)) + "]";
        chain.erase(chain.begin() + long(next), chain.begin() + long(close + 1));
    }
    return std::nullopt;
}

std::optional<std::string> Expression::getCustomVariable(const std::string&) { return std::nullopt; }

// Def functions: [type letters, body, defaults...]. The body runs in an
// expression of this class against a copy of the caller's variables with
// the arguments bound to "#1", "#2"...; a def cannot change the caller's
// variables.
std::optional<std::string> Expression::doCustomFunction(const std::string& name, const std::vector<std::string>& args,
                                                        const std::vector<std::optional<double>>& numbers,
                                                        const Variables& variables) {
    if (!parce_) return std::nullopt;
    const std::vector<std::string>* def = parce_->defByName(name);
    if (!def || def->size() < 2) return std::nullopt;
    const std::string& types = (*def)[0];
    const std::size_t defaults = def->size() - 2;
    if (args.size() < types.size()) return std::nullopt;
    // More arguments than parameters is a writing error, not a call.
    if (args.size() > types.size() + defaults) return std::nullopt;
    for (std::size_t k = 0; k < types.size(); ++k)
        if (isNumberType(types[k]) && !numbers[k]) return std::nullopt;
    Variables bound = variables;
    for (std::size_t k = 0; k < types.size() + defaults; ++k) {
        const std::string& value = k < args.size() ? args[k] : (*def)[2 + k - types.size()];
        bound["#" + std::to_string(k + 1)] = value;
    }
    std::unique_ptr<Expression> body = copy();
    body->setString((*def)[1]);
    body->setParce(parce_);
    if (body->evaluateWith(bound)) return std::nullopt;
    return body->value();
}

}  // namespace kl
