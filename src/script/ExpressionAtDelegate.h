#pragma once
// Resolves the "@" references (record paths) of an expression. The record
// browser and the script interpreter implement it; an expression holds a
// plain pointer and the owner keeps the delegate alive. Called on the
// evaluating thread.
#include <string>

#include "script/Variables.h"

namespace kl {

class ExpressionAtDelegate {
public:
    virtual ~ExpressionAtDelegate() = default;
    // `text` is the token's whole text with its "@" ("@BIRT.DATE"); the
    // answer is the text that stands for it.
    virtual std::string evaluateAtString(const std::string& text, const Variables& variables) = 0;
};

}  // namespace kl
