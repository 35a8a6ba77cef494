#include "script/Atomic.h"

#include "model/wex.h"
#include "script/ExpressionFunctionTable.h"
#include "script/ExpressionScan.h"

namespace kl {
namespace {

std::string numberText(double value) { return wex::DbleToString(value); }

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

}  // namespace

Atomic::Atomic(std::string_view text, bool isNumber) {
    if (isNumber) {
        if (auto v = scan::scanDouble(text)) {
            code_ = Number;
            number_ = *v;
            return;
        }
        // "." alone passes the tokenizer's numeric flags: it is a word.
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        code_ = String;
        string_ = text.substr(1, text.size() - 2);
    } else if (!text.empty() && text.front() == '@') {
        code_ = AtReference;
        string_ = text;
    } else if (!text.empty() && text.front() == '#') {
        code_ = Variable;
        string_ = text;
    } else if (text == "tab") {
        code_ = String;
        string_ = "\t";
    } else if (text == "return") {
        code_ = String;
        string_ = "\n";
    } else if (text == "quote") {
        code_ = String;
        string_ = "\"";
    } else if (text == "pi") {
        code_ = Number;
        number_ = 3.141592653589793;
    } else {
        code_ = Word;
        string_ = text;
    }
}

Atomic Atomic::number(double value) {
    Atomic a;
    a.code_ = Number;
    a.number_ = value;
    return a;
}

Atomic Atomic::text(std::string value) {
    Atomic a;
    a.code_ = String;
    a.string_ = std::move(value);
    return a;
}

Atomic Atomic::symbol(Code code) {
    Atomic a;
    a.code_ = code;
    return a;
}

std::optional<Atomic> Atomic::tokenAsFunction(std::string_view name) {
    const ExpressionFunctionEntry* entry = findExpressionFunction(lowerAscii(name));
    if (!entry) return std::nullopt;
    Atomic a;
    a.code_ = entry->isString ? StringFunction : NumericFunction;
    a.fxnName_ = entry->code;
    return a;
}

Atomic Atomic::customFunction(std::string name) {
    Atomic a;
    a.code_ = CustomFunction;
    a.string_ = std::move(name);
    return a;
}

Atomic Atomic::variable(std::string name) {
    Atomic a;
    a.code_ = Variable;
    a.string_ = std::move(name);
    return a;
}

std::optional<double> Atomic::numberValue() const {
    switch (code_) {
    case Number: return number_;
    case String:
    case Word: return scan::scanDouble(string_);
    default: return std::nullopt;
    }
}

std::string Atomic::stringValue() const {
    switch (code_) {
    case Number: return numberText(number_);
    case String:
    case Word: return string_;
    default: return {};
    }
}

std::string Atomic::takeText() {
    if (code_ == String || code_ == Word) return std::move(string_);
    return stringValue();
}

void Atomic::appendStringValue(const Atomic& other) {
    if (code_ != String && code_ != Word) string_ = stringValue();
    code_ = String;
    if (other.code_ == String || other.code_ == Word) string_ += other.string_;
    else string_ += other.stringValue();
}

std::string Atomic::description() const {
    static const char* const symbols[] = {"Close ')'",    "Close ']'",    "Operator '+'", "Operator '-'",
                                          "Operator '*'", "Operator '/'", "Operator '^'", "Operator '&'",
                                          "Open '('",     "Open '['"};
    switch (code_) {
    case Number: return "Number '" + numberText(number_) + "'";
    case String: return "String '" + string_ + "'";
    case Word: return "String(or variable) '" + string_ + "'";
    case AtReference: return "@String '" + string_ + "'";
    case Variable: return "Variable '" + string_ + "'";
    case NumericFunction:
    case StringFunction: {
        // The code's bytes as they lie in memory, last character first.
        std::string chars;
        for (int shift = 0; shift < 32; shift += 8) chars += char((fxnName_ >> shift) & 0xFF);
        return "Function '" + chars + "'";
    }
    case CustomFunction: return "Custom Function '" + string_ + "'";
    default:
        if (code_ >= CloseGroup && code_ <= OpenIndex) return symbols[code_ - CloseGroup];
        return "Unknown Token";
    }
}

}  // namespace kl
