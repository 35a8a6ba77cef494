#include "foundation/TextCase.h"

#include "foundation/Utf8.h"

namespace kl::textcase {

namespace {

// Latin Extended-A alternates capital and small letters; the parity of the
// capital changes at U+0139 and again at U+014A.
bool inExtendedAPairs(char32_t c, bool* capitalEven) {
    if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) {
        *capitalEven = true;
        return true;
    }
    if (c >= 0x139 && c <= 0x148) {
        *capitalEven = false;
        return true;
    }
    if (c >= 0x14A && c <= 0x177) {
        *capitalEven = true;
        return true;
    }
    if (c >= 0x179 && c <= 0x17E) {
        *capitalEven = false;
        return true;
    }
    return false;
}

bool isCapitalOfPair(char32_t c, bool capitalEven) { return ((c % 2) == 0) == capitalEven; }

template <class Map>
std::string mapText(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 1;
        const char32_t c = utf8::decodeAt(text, i, &count);
        const char32_t mapped = map(c);
        // Unchanged characters (malformed bytes included) are copied as read.
        if (mapped == c)
            out.append(text.substr(i, count));
        else
            utf8::append(out, mapped);
        i += count;
    }
    return out;
}

}  // namespace

char32_t nextFolded(std::string_view text, std::size_t& at) {
    std::size_t count = 1;
    const char32_t c = utf8::decodeAt(text, at, &count);
    at += count;
    return lowerChar(c);
}

char32_t upperChar(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return 'I';
    if (c == 0x17F) return 'S';
    bool capitalEven = false;
    if (inExtendedAPairs(c, &capitalEven)) return isCapitalOfPair(c, capitalEven) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t lowerChar(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c == 0x130) return 'i';
    bool capitalEven = false;
    if (inExtendedAPairs(c, &capitalEven)) return isCapitalOfPair(c, capitalEven) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string upper(std::string_view text) {
    return mapText(text, [](char32_t c) { return upperChar(c); });
}

std::string lower(std::string_view text) {
    return mapText(text, [](char32_t c) { return lowerChar(c); });
}

std::string capitalized(std::string_view text) {
    bool wordStart = true;
    return mapText(text, [&wordStart](char32_t c) {
        const bool divider = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/';
        const char32_t mapped = divider ? c : (wordStart ? upperChar(c) : lowerChar(c));
        wordStart = divider;
        return mapped;
    });
}

int compareFolded(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t p = nextFolded(a, i);
        const char32_t q = nextFolded(b, j);
        if (p != q) return p < q ? -1 : 1;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

bool hasFoldedPrefix(std::string_view text, std::string_view prefix) {
    std::size_t i = 0, j = 0;
    while (j < prefix.size()) {
        if (i >= text.size() || nextFolded(text, i) != nextFolded(prefix, j)) return false;
    }
    return true;
}

}  // namespace kl::textcase
