#pragma once
// Constant tables behind the codecs; read-only, shared by every thread.
#include <cstddef>

namespace kl::charset_tables {

inline constexpr char32_t Undefined = 0xFFFFFFFF;

struct CanonicalPair {
    char32_t composed, base, mark;
};

extern const char32_t Windows1252High[128];
extern const char32_t MacRomanHigh[128];
extern const char32_t CodePage437High[128];
extern const char32_t Latin2High[96];
extern const CanonicalPair CanonicalPairs[];
extern const std::size_t CanonicalPairCount;

}  // namespace kl::charset_tables
