// Cutting an expression text into tokens and checking their order.
#include "script/Expression.h"

namespace kl {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One left-to-right scan of the text. A piece runs from pieceStart to the
// current character; it turns into a token at each operator, comma,
// parenthesis or bracket.
class Tokenizer {
public:
    Tokenizer(std::string_view text, std::vector<Atomic>& tokens) : text_(text), tokens_(tokens) {}

    std::optional<std::string> run() {
        if (text_.size() == 1 && (text_[0] == '+' || text_[0] == '-'))
            return "An expression with just a plus or minus sign";
        for (i_ = 0; i_ < text_.size(); ++i_)
            if (auto error = scanCharacter(text_[i_])) return error;
        flushPiece();
        return std::nullopt;
    }

private:
    std::optional<std::string> scanCharacter(char c) {
        switch (c) {
        case '"': skipQuoted(); return std::nullopt;
        case '&': return symbolAfterPiece(Atomic::Concat);
        case ')': return symbolAfterPiece(Atomic::CloseGroup);
        case '*': return symbolAfterPiece(Atomic::Times);
        case '+': return symbolAfterPiece(Atomic::Plus);
        case '-': return symbolAfterPiece(Atomic::Minus);
        case '/': return symbolAfterPiece(Atomic::Divide);
        case '^': return symbolAfterPiece(Atomic::Power);
        case ',': return comma();
        case ']': return closeIndex();
        case '[': return openIndex();
        case '(': return openGroup();
        case 'e': exponentOrLetter(); return std::nullopt;
        case '.': dot(); return std::nullopt;
        default:
            if (!isDigit(c)) numeric_ = false;
            return std::nullopt;
        }
    }

    std::string_view piece() const { return text_.substr(pieceStart_, i_ - pieceStart_); }
    bool pieceIsAt() const { return pieceStart_ < i_ && text_[pieceStart_] == '@'; }

    void newPiece() {
        pieceStart_ = i_ + 1;
        numeric_ = true;
        dotSeen_ = false;
        exponentSeen_ = false;
    }

    void flushPiece() {
        std::string_view p = piece();
        if (!p.empty()) tokens_.emplace_back(p, numeric_);
    }

    void skipQuoted() {
        numeric_ = false;
        std::size_t close = text_.find('"', i_ + 1);
        // Without a closing quote the rest of the text is the last piece.
        i_ = close == std::string_view::npos ? text_.size() - 1 : close;
    }

    std::optional<std::string> symbolAfterPiece(Atomic::Code code) {
        if (code == Atomic::CloseGroup || code == Atomic::CloseIndex) --depth_;
        flushPiece();
        tokens_.push_back(Atomic::symbol(code));
        newPiece();
        return std::nullopt;
    }

    // "mod(#a,#b)" reads as "mod(#a)(#b)": two groups after the function.
    std::optional<std::string> comma() {
        flushPiece();
        tokens_.push_back(Atomic::symbol(Atomic::CloseGroup));
        tokens_.push_back(Atomic::symbol(Atomic::OpenGroup));
        newPiece();
        return std::nullopt;
    }

    // Brackets inside a record path ("@CHIL[2].NAME") belong to the path.
    std::optional<std::string> closeIndex() {
        if (pieceIsAt()) return std::nullopt;
        return symbolAfterPiece(Atomic::CloseIndex);
    }

    std::optional<std::string> openIndex() {
        if (pieceIsAt()) return std::nullopt;
        std::string_view p = piece();
        if (p.empty()) {
            if (tokens_.empty() || tokens_.back().code() != Atomic::CloseIndex)
                return "Invalid array index ('[]...[]') usage.";
        } else {
            Atomic name(p, numeric_);
            if (name.code() == Atomic::Word) name = Atomic::variable(std::string(p));
            if (name.code() != Atomic::Variable) return "Array index ('[]') does not follow variable.";
            tokens_.push_back(std::move(name));
        }
        tokens_.push_back(Atomic::symbol(Atomic::OpenIndex));
        newPiece();
        return deeper();
    }

    std::optional<std::string> openGroup() {
        std::string_view p = piece();
        if (!p.empty()) {
            auto builtIn = Atomic::tokenAsFunction(p);
            tokens_.push_back(builtIn ? std::move(*builtIn) : Atomic::customFunction(std::string(p)));
        }
        tokens_.push_back(Atomic::symbol(Atomic::OpenGroup));
        newPiece();
        return deeper();
    }

    // Nesting is refused as soon as it passes the limit, so that a hostile
    // text is not even read to its end.
    std::optional<std::string> deeper() {
        if (++depth_ > Expression::kMaxNesting) return std::string(Expression::kNestedTooDeeply);
        return std::nullopt;
    }

    // "1e5" and "1e-5" are numbers; a sign right after the exponent's "e"
    // belongs to the number and is not an operator.
    void exponentOrLetter() {
        if (!numeric_ || exponentSeen_ || pieceStart_ == i_) {
            numeric_ = false;
            return;
        }
        std::size_t next = i_ + 1;
        if (next < text_.size() && isDigit(text_[next])) {
            exponentSeen_ = true;
        } else if (next + 1 < text_.size() && (text_[next] == '+' || text_[next] == '-') &&
                   isDigit(text_[next + 1])) {
            exponentSeen_ = true;
            ++i_;
        } else {
            numeric_ = false;
        }
    }

    void dot() {
        if (dotSeen_ || exponentSeen_) numeric_ = false;
        dotSeen_ = true;
    }

    std::string_view text_;
    std::vector<Atomic>& tokens_;
    std::size_t i_ = 0;
    std::size_t pieceStart_ = 0;
    bool numeric_ = true;
    bool dotSeen_ = false;
    bool exponentSeen_ = false;
    int depth_ = 0;  // open groups and indices; below 0 only in texts checkTokens refuses
};

bool isOperand(int code) { return code >= Atomic::Number && code <= Atomic::Variable; }
bool startsOperand(int code) { return code >= Atomic::Number && code <= Atomic::StringFunction; }
bool isArithmeticOrJoin(int code) { return code >= Atomic::Plus && code <= Atomic::Concat && code != Atomic::Power; }

// Whether `next` may follow `previous`; nullopt when it may, else the error.
std::optional<std::string> followError(const Atomic& previous, const Atomic& next) {
    int p = previous.code(), n = next.code();
    if ((isOperand(p) || p == Atomic::CloseGroup) && startsOperand(n))
        return next.description() + " not valid as used in expression.";
    if (isArithmeticOrJoin(p) && (n == Atomic::CloseGroup || isArithmeticOrJoin(n)))
        return next.description() + " not valid as used in expression.";
    if (p == Atomic::OpenGroup && (n == Atomic::Times || n == Atomic::Divide || n == Atomic::Power || n == Atomic::Concat))
        return std::string("Open group not followed by valid character");
    return std::nullopt;
}

}  // namespace

std::optional<std::string> Expression::tokenizeText(std::string_view text, std::vector<Atomic>& tokens) {
    tokens.clear();
    if (text.empty()) return std::nullopt;
    // The logical word of a compiled condition evaluates to itself, like
    // "==" and "||" which are bare words already.
    if (text == "&&") {
        tokens.emplace_back(text, false);
        return std::nullopt;
    }
    if (auto error = Tokenizer(text, tokens).run()) return error;
    return checkTokens(tokens);
}

std::optional<std::string> Expression::checkTokens(const std::vector<Atomic>& tokens) {
    if (tokens.empty()) return std::nullopt;
    int first = tokens.front().code();
    if (first == Atomic::CloseGroup || first == Atomic::CloseIndex) return "Expression begins in ')'";
    int groups = 0, indices = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (i > 0)
            if (auto error = followError(tokens[i - 1], tokens[i])) return error;
        switch (tokens[i].code()) {
        case Atomic::OpenGroup: ++groups; break;
        case Atomic::CloseGroup:
            if (--groups < 0) return "Unmatched parentheses in expression";
            break;
        case Atomic::OpenIndex: ++indices; break;
        case Atomic::CloseIndex:
            if (--indices < 0) return "Unmatched array index brackets in expression";
            break;
        default: break;
        }
    }
    if (groups != 0) return "Unmatched parentheses in expression";
    if (indices != 0) return "Unmatched array index brackets in expression";
    int last = tokens.back().code();
    if (last >= Atomic::Plus && last <= Atomic::OpenIndex) return "Expression ends in an operator";
    return std::nullopt;
}

std::optional<std::string> Expression::tokenizeExpr() {
    hasTokens_ = false;
    auto error = tokenizeText(string_, exprTokens_);
    if (error) {
        exprTokens_.clear();
        return error;
    }
    hasTokens_ = true;
    if (string_.empty()) value_.clear();
    return std::nullopt;
}

}  // namespace kl
