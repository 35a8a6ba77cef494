#pragma once
// ScriptReply: what a script command of a record or structure answers,
// independent of the transport that carried the command (the internal
// interpreter, the outside scripting bus). Either a value (possibly null,
// for commands with no answer) or an error with its number and text; the
// transport reports the error its own way.
#include <optional>
#include <string>
#include <utility>

#include "foundation/Value.h"

namespace kl {

struct ScriptReply {
    // The number every refused record or structure command reports.
    static constexpr int kErrorNumber = -1708;

    Value value;
    std::optional<std::string> error;
    int errorNumber = 0;

    static ScriptReply answer(Value value = {}) { return ScriptReply{std::move(value), std::nullopt, 0}; }
    static ScriptReply failure(std::string message, int number = kErrorNumber) {
        return ScriptReply{Value(), std::move(message), number};
    }
    bool failed() const { return error.has_value(); }
};

}  // namespace kl
