#include "model/Soundex.h"

#include "model/UnicodeFolding.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

// Digit of each letter A to Z; '0' for the vowels and Y, '-' for H and W,
// which do not part two letters of the same digit.
constexpr char kDigits[] = "0123012-02245501262301-202";

char asciiLetter(char32_t c) {
    char32_t base = c;
    std::u32string marks;
    if (c >= 0x80 && unicode::decompose(c, &base, &marks)) c = base;
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c);
    return 0;
}

}  // namespace

std::string soundexForString(std::string_view name) {
    std::string code;
    char previous = 0;
    for (std::size_t i = 0; i < name.size() && code.size() < 4;) {
        std::size_t count = 1;
        const char letter = asciiLetter(utf8::decodeAt(name, i, &count));
        i += count;
        if (!letter) continue;
        const char digit = kDigits[letter - 'A'];
        if (code.empty()) {
            code.push_back(letter);
            previous = digit;
            continue;
        }
        if (digit == '-') continue;
        if (digit != '0' && digit != previous) code.push_back(digit);
        previous = digit;
    }
    if (code.empty()) return "Z000";
    code.resize(4, '0');
    return code;
}

}  // namespace kl
