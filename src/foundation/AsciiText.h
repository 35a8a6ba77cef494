#pragma once
// Case folding of ASCII letters only: command words, keywords and codes are
// ASCII, and folding them must not depend on the user's locale.
#include <string>
#include <string_view>

namespace kl {

inline std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

inline std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace kl
