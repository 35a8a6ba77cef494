#pragma once
// Small UTF-8 helpers shared by the string utilities and the codecs. Header
// only so that the codecs' inner loops inline them.
#include <cstddef>
#include <string>
#include <string_view>

namespace kl::utf8 {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Number of bytes of the sequence led by byte b (1 for a stray byte).
constexpr std::size_t sequenceLength(unsigned char b) {
    if (b < 0xC0) return 1;
    if (b < 0xE0) return 2;
    if (b < 0xF0) return 3;
    return 4;
}

// Code point at text[i], writing its byte count to *count. A malformed or
// truncated sequence gives U+FFFD with a count of 1, so a scan always moves on.
inline char32_t decodeAt(std::string_view text, std::size_t i, std::size_t* count) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    *count = 1;
    if (lead < 0x80) return lead;
    std::size_t n = sequenceLength(lead);
    if (lead < 0xC2 || lead > 0xF4 || i + n > text.size()) return ReplacementCharacter;
    char32_t cp = lead & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return ReplacementCharacter;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return ReplacementCharacter;
    *count = n;
    return cp;
}

inline void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

inline std::string encode(char32_t cp) {
    std::string s;
    append(s, cp);
    return s;
}

// Counting and cutting by characters, for code that must never cut inside a
// multi-byte sequence. A byte that does not start a character (a
// continuation byte) belongs to the character before it, so invalid input
// still counts and cuts without splitting anything.
inline bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

inline std::size_t countCharacters(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += !isContinuation(c);
    return n;
}

// Byte offset reached from `pos` after `count` characters, or s.size() when
// the text ends first. The result always lies on a character boundary.
inline std::size_t advance(std::string_view s, std::size_t pos, std::size_t count) {
    while (pos < s.size() && count > 0) {
        ++pos;
        while (pos < s.size() && isContinuation(static_cast<unsigned char>(s[pos]))) ++pos;
        --count;
    }
    return pos;
}

// True when the text has more than `limit` characters; stops counting early.
inline bool longerThan(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) return false;
    return advance(s, 0, limit) < s.size();
}

}  // namespace kl::utf8
