#include "foundation/TextCompare.h"

#include <cstdint>

namespace kl {

namespace {

// Decodes one UTF-8 character at i; a malformed byte stands for itself so a
// broken text still orders deterministically.
char32_t decode(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra >= s.size()) {
        ++i;
        return b0;
    }
    char32_t c = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return c;
}

char32_t fold(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        // Latin Extended-A pairs: even upper, odd lower, except the run
        // 0x139..0x148 and 0x179..0x17E where odd is upper.
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper) return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;                 // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

int compareWith(std::string_view a, std::string_view b, bool folding) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = decode(a, i), cb = decode(b, j);
        if (folding) {
            ca = fold(ca);
            cb = fold(cb);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

int compareCaseInsensitive(std::string_view a, std::string_view b) {
    return compareWith(a, b, true);
}

int compareLocalized(std::string_view a, std::string_view b) {
    const int folded = compareWith(a, b, true);
    return folded != 0 ? folded : compareWith(a, b, false);
}

}  // namespace kl
