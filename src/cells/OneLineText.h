#pragma once
// One-line texts: what a one-line field and a quick comment make of text
// that holds line breaks, so that no line break is ever stored in them.
#include <optional>
#include <string>

namespace kl {

// nullopt when the text holds no "\n" or "\r"; else a copy in which each
// of them became one space (so CR LF gives two spaces).
std::optional<std::string> removeNewLines(const std::string& text);
inline bool holdsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace kl
