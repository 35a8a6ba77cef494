#pragma once
// Finding a text's lines by number, for the Go to Line panel: error
// messages of the template and script languages name line numbers. Works
// on UTF-16 so that the ranges are the positions of the text views.
// Any thread.
#include <string_view>

#include "editor/Template.h"

namespace kl {

// The range of line `line` (from 1), its terminator excluded. Lines end at
// a line feed, a carriage return, the two as a pair, U+0085, U+2028 or
// U+2029. When the text has fewer lines, or the number is below 1, the
// last line's range is answered and *pastEnd is set; an empty text gives
// the empty range at 0 with *pastEnd set.
TextRange rangeOfLine(std::u16string_view text, long long line, bool* pastEnd);

// The integer a typed line number stands for: leading blanks and a sign
// are taken, reading stops at the first other character, a text without
// digits is 0, and values beyond int are held at its limits.
int lineNumberValue(std::u16string_view typed);

}  // namespace kl
