#include "editor/TextLines.h"

#include <climits>

namespace kl {

namespace {

bool endsLine(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x0085 || c == 0x2028 || c == 0x2029;
}

}  // namespace

TextRange rangeOfLine(std::u16string_view text, long long line, bool* pastEnd) {
    bool past = true;
    TextRange last;
    long long number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = start;
        while (end < text.size() && !endsLine(text[end])) ++end;
        last = {start, end - start};
        if (++number == line) {
            past = false;
            break;
        }
        start = end;
        if (start < text.size()) {
            const bool pair = text[start] == u'\r' && start + 1 < text.size() && text[start + 1] == u'\n';
            start += pair ? 2 : 1;
        }
    }
    if (pastEnd != nullptr) *pastEnd = past;
    return last;
}

int lineNumberValue(std::u16string_view typed) {
    std::size_t at = 0;
    while (at < typed.size() && (typed[at] == u' ' || typed[at] == u'\t' || typed[at] == u'\n' || typed[at] == u'\r'))
        ++at;
    bool negative = false;
    if (at < typed.size() && (typed[at] == u'-' || typed[at] == u'+')) negative = typed[at++] == u'-';
    long long value = 0;
    for (; at < typed.size() && typed[at] >= u'0' && typed[at] <= u'9'; ++at) {
        value = value * 10 + (typed[at] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace kl
