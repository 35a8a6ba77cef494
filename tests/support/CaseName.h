#pragma once
// Names for the cases of a value-parameterised test that say which case
// failed: GoogleTest otherwise numbers them and prints a case struct as
// its raw bytes. The name comes from the case's first non-empty text
// member (a plain text parameter is its own name), made of letters, digits
// and underscores; a case without text, or whose text says too little
// after cleaning, is known by its number.
//
//   INSTANTIATE_TEST_SUITE_P(Cases, Suite, ::testing::ValuesIn(kCases), kl::test::CaseName());

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace kl::test {

namespace case_name_detail {

struct AnyMember {
    template <class T>
    operator T() const;  // never defined: only counts members in unevaluated braces
};

template <class T, class... A>
constexpr std::size_t memberCount() {
    if constexpr (sizeof...(A) > 12)
        return 0;
    else if constexpr (requires { T{A{}..., AnyMember{}}; })
        return memberCount<T, A..., AnyMember>();
    else
        return sizeof...(A);
}

template <class M>
std::string_view textOf(const M& member) {
    using D = std::decay_t<M>;
    if constexpr (std::is_same_v<D, std::string> || std::is_same_v<D, std::string_view>)
        return member;
    else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>)
        return member ? std::string_view(member) : std::string_view();
    else
        return {};
}

template <class... M>
std::string_view firstText(const M&... members) {
    std::string_view found;
    ((found.empty() ? (void)(found = textOf(members)) : (void)0), ...);
    return found;
}

// The first non-empty text among an aggregate's first members.
template <class T>
std::string_view caseText(const T& value) {
    if constexpr (!std::is_aggregate_v<T>) {
        return textOf(value);
    } else {
        constexpr std::size_t n = memberCount<T>();
        if constexpr (n == 1) {
            const auto& [a] = value;
            return firstText(a);
        } else if constexpr (n == 2) {
            const auto& [a, b] = value;
            return firstText(a, b);
        } else if constexpr (n == 3) {
            const auto& [a, b, c] = value;
            return firstText(a, b, c);
        } else if constexpr (n == 4) {
            const auto& [a, b, c, d] = value;
            return firstText(a, b, c, d);
        } else if constexpr (n == 5) {
            const auto& [a, b, c, d, e] = value;
            return firstText(a, b, c, d, e);
        } else if constexpr (n == 6) {
            const auto& [a, b, c, d, e, f] = value;
            return firstText(a, b, c, d, e, f);
        } else if constexpr (n == 7) {
            const auto& [a, b, c, d, e, f, g] = value;
            return firstText(a, b, c, d, e, f, g);
        } else {
            return {};  // none, or more members than a case table has
        }
    }
}

}  // namespace case_name_detail

// Letters and digits kept, every other run of characters one underscore.
inline std::string caseIdentifier(std::string_view text, std::size_t limit = 48) {
    std::string out;
    for (unsigned char c : text) {
        if (out.size() >= limit) break;
        const bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (word)
            out += static_cast<char>(c);
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

struct CaseName {
    template <class T>
    std::string operator()(const ::testing::TestParamInfo<T>& info) const {
        const std::string name = caseIdentifier(case_name_detail::caseText(info.param));
        const std::string number = std::to_string(info.index);
        // The number keeps two cases whose texts clean to the same name apart.
        return name.empty() ? "case" + number : name + "_" + number;
    }
};

}  // namespace kl::test
