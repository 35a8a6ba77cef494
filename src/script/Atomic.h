#pragma once
// One token of an expression. A compiled expression keeps its tokens
// read-only; every evaluation works on copies, so a token is a small value
// type that is cheap to copy. Used on the evaluating thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kl {

class Atomic {
public:
    // Token kinds; the numbers are part of the language's error texts and
    // of compiled templates, so they never change.
    enum Code : int {
        Number = 0,
        String = 1,          // quoted literal or a value already computed
        Word = 2,            // bare word: a name without "#" or "@"
        AtReference = 3,     // "@BIRT.DATE"
        Variable = 4,        // "#x", or a bare word followed by "["
        NumericFunction = 5,
        StringFunction = 6,
        CustomFunction = 7,  // any other name followed by "("
        CloseGroup = 8,
        CloseIndex = 9,
        Plus = 10,
        Minus = 11,
        Times = 12,
        Divide = 13,
        Power = 14,
        Concat = 15,
        OpenGroup = 16,
        OpenIndex = 17,
    };

    Atomic() = default;
    // A token made by the tokenizer from a piece of text; the kind follows
    // from the text (quotes, "@", "#", the built-in names).
    Atomic(std::string_view text, bool isNumber);
    static Atomic number(double value);
    static Atomic text(std::string value);
    static Atomic symbol(Code code);  // operators, parentheses and brackets
    // A built-in function token for a name (any case), or nullopt.
    static std::optional<Atomic> tokenAsFunction(std::string_view name);
    static Atomic customFunction(std::string name);
    static Atomic variable(std::string name);

    int code() const { return code_; }
    double numberField() const { return number_; }
    const std::string& string() const { return string_; }
    std::uint32_t fxnName() const { return fxnName_; }

    // The number this token stands for; texts are scanned for a leading
    // decimal number. Tokens that are no value (operators, parentheses)
    // have none, so that they never pass as an operand.
    std::optional<double> numberValue() const;
    // The text of a value: strings as they are, numbers as "%.8g".
    std::string stringValue() const;
    // stringValue(), moving the text out of a string token.
    std::string takeText();
    // Turns this token into a string token holding its text followed by the
    // other token's text: the "&" operator, without temporaries.
    void appendStringValue(const Atomic& other);
    bool isValue() const { return code_ == Number || code_ == String; }
    bool isOperator() const { return code_ >= Plus && code_ <= Concat; }
    // The token as named in the language's error messages.
    std::string description() const;

private:
    int code_ = String;
    double number_ = 0;
    std::string string_;
    std::uint32_t fxnName_ = 0;
};

}  // namespace kl
