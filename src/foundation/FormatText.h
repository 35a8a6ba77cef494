#pragma once
// Messages of the system are patterns with "%@" (and "%d", "%ld" for
// numbers) standing for the values a caller fills in, in order.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

// What becomes of placeholders that no value fills: a message shows them
// as they stand, a report drops them.
enum class Unfilled { keep, drop };

std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values,
                       Unfilled unfilled = Unfilled::keep);
std::string formatText(std::string_view pattern, const std::vector<std::string>& values,
                       Unfilled unfilled = Unfilled::keep);

}  // namespace kl
