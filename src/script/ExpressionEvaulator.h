#pragma once
// The expression server of a command parser: evaluates the expression of a
// subroutine "return" and keeps the value for the caller to read after the
// call. The record browser and the script interpreter implement it; the
// parser holds a plain pointer and runs on the server's thread.
#include <optional>
#include <string>

namespace kl {

class ExpressionEvaulator {
public:
    virtual ~ExpressionEvaulator() = default;
    // The value of the expression written after "return"; nullopt when it
    // failed (the server reports the failure itself).
    virtual std::optional<std::string> evaulateCommandExpression(const std::string& expression) = 0;
    // The value of the last "return"; nullopt after "endsub" or a bare "return".
    virtual std::optional<std::string> subReturnValue() const = 0;
    virtual void setSubReturnValue(std::optional<std::string> value) = 0;
};

}  // namespace kl
