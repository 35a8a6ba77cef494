#include "foundation/FormatText.h"

namespace kl {

namespace {

// The length of the placeholder at `at`, or 0.
std::size_t placeholderAt(std::string_view pattern, std::size_t at) {
    if (pattern[at] != '%' || at + 1 >= pattern.size()) return 0;
    const char next = pattern[at + 1];
    if (next == '@' || next == 'd') return 2;
    if (next == 'l' && at + 2 < pattern.size() && pattern[at + 2] == 'd') return 3;
    return 0;
}

template <typename Iterator>
std::string fillRange(std::string_view pattern, Iterator next, Iterator end, Unfilled unfilled) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size();) {
        const std::size_t length = placeholderAt(pattern, i);
        if (length == 0) {
            out += pattern[i++];
            continue;
        }
        if (next != end)
            out += *next++;
        else if (unfilled == Unfilled::keep)
            out += pattern.substr(i, length);
        i += length;
    }
    return out;
}

}  // namespace

std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> values, Unfilled unfilled) {
    return fillRange(pattern, values.begin(), values.end(), unfilled);
}

std::string formatText(std::string_view pattern, const std::vector<std::string>& values, Unfilled unfilled) {
    return fillRange(pattern, values.begin(), values.end(), unfilled);
}

}  // namespace kl
