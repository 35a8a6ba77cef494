#pragma once
// The order in which the store's lists compare texts shown to the user:
// case-insensitive, locale-free, so a sorted list comes out the same on every
// machine. Thread: any.
#include <string_view>

namespace kl {

// Negative, zero or positive as a sorts before, with or after b, ignoring case.
int compareCaseless(std::string_view a, std::string_view b);
// Whether `text` starts with `prefix`, ignoring case.
bool hasCaselessPrefix(std::string_view text, std::string_view prefix);

}  // namespace kl
