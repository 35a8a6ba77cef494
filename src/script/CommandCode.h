#pragma once
// The kind of a compiled command, stored as a number at index 1 of every
// command of a compiled template and read by the template compiler and the
// pane builder. Script commands read from source carry no code.
#include <optional>

#include "foundation/Value.h"

namespace kl {

// One command as the parser hands it out: the word first, then (compiled)
// its code, then the arguments as texts. Error commands carry a marker
// text or an error number in front.
using Command = Array;

enum CommandCode : int {
    CommandCodeCommand = 0,       // any other word, and a resolved gosub
    CommandCodeAssignment = 1,    // "#" or "*" line
    CommandCodeIf = 2,            // if-family word opening a block
    CommandCodeOneLineIf = 3,     // if-family word ... then command
    CommandCodeRepeat = 4,        // "repeat" and longer words beginning with it
    CommandCodeEndRepeat = 5,
    CommandCodeElse = 7,
    CommandCodeElseIf = 8,
    CommandCodeEndIf = 9,
    CommandCodeBreak = 10,
    CommandCodeBreakAll = 11,
    CommandCodeEndSub = 12,
    CommandCodeReturn = 13,
    CommandCodeSub = 14,
    CommandCodeGoSub = 15,
    CommandCodeDef = 16,
    CommandCodeLexicalError = 17,     // unclosed quote or group, stray ")"
    CommandCodeConditionError = 18,   // malformed condition
    CommandCodeEquationError = 19,    // malformed assignment line
    CommandCodeRunError = 20,         // run-time error of a compiled template
    CommandCodeLocal = 21,
};

// The code at index 1 of a compiled command; nullopt when there is none.
inline std::optional<int> commandCodeOf(const Command& command) {
    if (command.size() < 2 || !command[1].isInteger()) return std::nullopt;
    return static_cast<int>(command[1].toInteger());
}

}  // namespace kl
