// Case mapping for uppercase(), lowercase(), titlecase() and the
// case-blind offset(). Pure functions; any thread.
#include "foundation/Utf8.h"
#include "script/ExpressionFunctionTable.h"

namespace kl::exprtext {
namespace {

bool isWordBreak(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Latin Extended-A pairs: upper case at the even code in the first ranges,
// at the odd code in the second ones.
bool evenUpperPair(char32_t c) { return (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177) || (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF); }
bool oddUpperPair(char32_t c) { return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E); }

template <class Map>
std::string mapCharacters(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        char32_t c = utf8::decodeAt(text, i, &n);
        map(out, c, text.substr(i, n));
    }
    return out;
}

void appendUpper(std::string& out, char32_t c, std::string_view original) {
    if (c == 0xDF) {
        out += "SS";  // sharp s has no single upper-case letter
        return;
    }
    char32_t u = toUpper(c);
    if (u == c) out += original;  // keeps malformed bytes as they were
    else utf8::append(out, u);
}

void appendLower(std::string& out, char32_t c, std::string_view original) {
    char32_t l = toLower(c);
    if (l == c) out += original;
    else utf8::append(out, l);
}

}  // namespace

char32_t toUpper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c == 0xFF) return 0x178;
    if (evenUpperPair(c)) return c & ~char32_t(1);
    if (oddUpperPair(c)) return (c & 1) ? c : c - 1;
    if (c == 0x17F) return 'S';
    if (c == 0x131) return 'I';
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3C9) return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t toLower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c == 0x130) return 'i';
    if (evenUpperPair(c)) return c | 1;
    if (oddUpperPair(c)) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string uppercase(std::string_view text) { return mapCharacters(text, appendUpper); }

std::string lowercase(std::string_view text) { return mapCharacters(text, appendLower); }

std::string titlecase(std::string_view text) {
    bool atWordStart = true;
    return mapCharacters(text, [&atWordStart](std::string& out, char32_t c, std::string_view original) {
        if (isWordBreak(c)) {
            out += original;
            atWordStart = true;
            return;
        }
        if (atWordStart) appendUpper(out, c, original);
        else appendLower(out, c, original);
        atWordStart = false;
    });
}

}  // namespace kl::exprtext
