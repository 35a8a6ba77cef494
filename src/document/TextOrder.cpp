#include "document/TextOrder.h"

#include <cstddef>

#include "model/TextCase.h"
#include "model/Utf8.h"

namespace kl {

namespace {

// Walks two texts character by character in lower case.
struct Cursor {
    std::string_view text;
    std::size_t at = 0;
    bool done() const { return at >= text.size(); }
    char32_t next() {
        std::size_t count = 1;
        const char32_t c = utf8::decodeAt(text, at, &count);
        at += count;
        return textcase::lowerChar(c);
    }
};

}  // namespace

int compareCaseless(std::string_view a, std::string_view b) {
    Cursor x{a}, y{b};
    while (!x.done() && !y.done()) {
        const char32_t p = x.next();
        const char32_t q = y.next();
        if (p != q) return p < q ? -1 : 1;
    }
    if (x.done() && y.done()) return 0;
    return x.done() ? -1 : 1;
}

bool hasCaselessPrefix(std::string_view text, std::string_view prefix) {
    Cursor x{text}, y{prefix};
    while (!y.done()) {
        if (x.done() || x.next() != y.next()) return false;
    }
    return true;
}

}  // namespace kl
