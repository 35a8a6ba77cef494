#pragma once
// The system's message patterns carry "%@" (and "%ld") holes, filled in
// order; a pattern with fewer holes than values ignores the rest.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kl {

inline std::string fillPattern(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::string_view rest = pattern.substr(i);
        const std::size_t hole = rest.starts_with("%@") ? 2 : rest.starts_with("%ld") ? 3 : 0;
        if (hole && next != values.end()) {
            out.append(*next++);
            i += hole - 1;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

}  // namespace kl
