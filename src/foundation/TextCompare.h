#pragma once
// Case-insensitive ordering of UTF-8 texts for sorting lists shown to the
// user. Letters of the Latin, Greek and Cyrillic alphabets fold to one case;
// other characters compare by code point. Locale-free by design, so that a
// sort gives the same order on every machine.
#include <string_view>

namespace kl {

// Negative, zero or positive as a sorts before, with or after b.
int compareCaseInsensitive(std::string_view a, std::string_view b);
// Case-insensitive first; texts equal but for case order upper before lower,
// so the result is total and deterministic.
int compareLocalized(std::string_view a, std::string_view b);

}  // namespace kl
