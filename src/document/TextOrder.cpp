#include "document/TextOrder.h"

#include <cstddef>

namespace kl {

namespace {

unsigned char lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Bytes of the first `chars` UTF-8 characters of `text`.
std::size_t prefixBytes(std::string_view text, std::size_t chars) {
    std::size_t i = 0;
    while (i < text.size() && chars > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        --chars;
    }
    return i;
}

std::size_t characterCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

int compareCaseless(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = lowerAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = lowerAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool hasCaselessPrefix(std::string_view text, std::string_view prefix) {
    const std::size_t chars = characterCount(prefix);
    if (characterCount(text) < chars) return false;
    return compareCaseless(text.substr(0, prefixBytes(text, chars)), prefix) == 0;
}

}  // namespace kl
