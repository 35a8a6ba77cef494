#pragma once
// The evaluator of the expression language that templates, column
// expressions, searches and internal scripts share. An expression is
// tokenized once and evaluated any number of times against a variables
// dictionary; every value is text, numbers printed with "%.8g". Errors of
// the language are returned as message texts, never thrown.
//
// Ownership: the expression owns its text, tokens and last value; the
// at-delegate and the def-function source are plain pointers kept alive by
// the owner (the record browser, the script interpreter). One thread uses an
// expression at a time; tokens are read-only once made, so a compiled
// expression is evaluated again and again without being rebuilt.
//
// Subclasses (template and script expressions) override the two hooks
// getCustomVariable() and doCustomFunction(), and copy() so that def bodies
// run in an expression of their own class.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/Atomic.h"
#include "script/DefFunctionSource.h"
#include "script/ExpressionAtDelegate.h"
#include "script/Variables.h"

namespace kl {

class Expression {
public:
    // No text an expression builds (a join, a function's or a def's
    // result) may grow past this: a def that doubles its argument would
    // otherwise take all memory long before its depth limit.
    static constexpr std::size_t kMaxTextLength = std::size_t(64) << 20;
    static constexpr const char* kTextTooLong = "Text result is too long.";
    // Parentheses and array brackets nest at most this deep.
    static constexpr int kMaxNesting = 1000;
    static constexpr const char* kNestedTooDeeply = "Expression is nested too deeply.";
    // Notes that a text grew past kMaxTextLength in the evaluation under
    // way (so that the callers of a def see why it failed) and answers the
    // error text.
    static std::string textTooLong();

    Expression() = default;
    explicit Expression(std::string text);  // no tokens, value, delegate or parser yet
    virtual ~Expression() = default;

    // A new expression of the same class with the text, a copy of the token
    // list and the same at-delegate; the parser is not copied.
    virtual std::unique_ptr<Expression> copy() const;

    const std::string& string() const { return string_; }
    void setString(std::string text);  // discards the tokens

    // Makes and checks the token list; nullopt on success, else the error
    // text. An empty text gives an empty list and the empty value.
    std::optional<std::string> tokenizeExpr();
    // Tokenizes first when needed; nullopt on success with the result in
    // value(), else the error text and value() keeps its previous content.
    std::optional<std::string> evaluateWith(const Variables& variables);
    const std::string& value() const { return value_; }

    bool hasTokens() const { return hasTokens_; }
    const std::vector<Atomic>& exprTokens() const { return exprTokens_; }
    // For callers that build a token list themselves; it is not checked.
    void setExprTokens(std::vector<Atomic> tokens);

    void setAtDelegate(ExpressionAtDelegate* delegate) { atDelegate_ = delegate; }
    ExpressionAtDelegate* atDelegate() const { return atDelegate_; }
    void setParce(const DefFunctionSource* parce) { parce_ = parce; }
    const DefFunctionSource* parce() const { return parce_; }

    // Hook for functions that are not built in: the name, the argument
    // texts and, in parallel, their numbers (nullopt for a non-numeric
    // text). nullopt means failure. The base class calls def functions.
    virtual std::optional<std::string> doCustomFunction(const std::string& name,
                                                        const std::vector<std::string>& args,
                                                        const std::vector<std::optional<double>>& numbers,
                                                        const Variables& variables);
    // Hook for names missing from the variables dictionary. Base: nullopt.
    virtual std::optional<std::string> getCustomVariable(const std::string& name);

    // Text helpers used by the command parser and the command handlers too.
    // Deletes blanks and tabs outside double quotes, in place.
    static std::string& removeWhiteSpaces(std::string& text);
    static bool validVarname(std::string_view text, bool requireNum = true);
    static bool validVarbase(std::string_view text);
    // The dictionary key of a variable reference ("#a[1+1]" gives "#a[2]");
    // nullopt when the reference is not valid or an index fails.
    static std::optional<std::string> getVariable(std::string_view text, const Variables& variables,
                                                  const DefFunctionSource* parce);

    // The built-in functions. Numeric: exactly the function's arguments,
    // 0 for an unknown code. Text: one argument or the full count, the
    // empty text for an unknown code.
    static double doFunction(std::uint32_t code, std::span<const double> args);
    std::string doStringFunction(std::uint32_t code, std::span<const std::string> args,
                                 const Variables& variables) const;
    static int functionNumDbles(std::uint32_t code);
    static int functionNumStrings(std::uint32_t code);
    static bool functionAllowsOne(std::uint32_t code);
    static std::string stringFunctionName(std::uint32_t code);
    // Splits the one-argument form "a\b\text" into its arguments (either
    // pointer may be null) and returns the text the function works on.
    static std::string extractArgsFrom(std::string_view text, std::string* arg1, std::string* arg2);
    // Seeds the random source of rand() on the calling thread.
    static void seedRandom(std::uint32_t seed);

protected:
    Expression(const Expression& other);
    Expression& operator=(const Expression&) = delete;

private:
    using Chain = std::vector<Atomic>;

    static bool textLimitReached();

    static std::optional<std::string> tokenizeText(std::string_view text, std::vector<Atomic>& tokens);
    static std::optional<std::string> checkTokens(const std::vector<Atomic>& tokens);

    std::optional<std::string> substituteValues(Chain& chain, const Variables& variables);
    std::optional<std::string> getArrayIndices(Chain& chain, std::size_t at, std::string& key,
                                               const Variables& variables);
    std::optional<std::string> evaluateTokens(Chain& chain, const Variables& variables);
    std::optional<std::string> reduceFlat(Chain& chain, const Variables& variables);
    std::optional<std::string> applyFunctions(Chain& chain, const Variables& variables);
    std::optional<std::string> applyNumericFunction(Chain& chain, std::size_t at);
    std::optional<std::string> applyStringFunction(Chain& chain, std::size_t at, const Variables& variables);
    std::optional<std::string> applyCustomFunction(Chain& chain, std::size_t at, const Variables& variables);

    std::string string_;
    std::string value_;
    std::vector<Atomic> exprTokens_;
    bool hasTokens_ = false;
    ExpressionAtDelegate* atDelegate_ = nullptr;
    const DefFunctionSource* parce_ = nullptr;
    // Storage kept between evaluations so that a compiled expression
    // evaluated again and again does not allocate its chains anew. Moved out
    // while in use, so a re-entrant evaluation simply starts empty.
    Chain chainScratch_;
    Chain groupScratch_;
    Chain outScratch_;
};

}  // namespace kl
