#pragma once
// Matching a node's tag against a four-letter literal in the passes that
// look at every line of a read: a size check and one word compare, not a
// call into the string library.
#include <cstring>
#include <string>

namespace kl {

inline bool isTag(const std::string& tag, const char (&literal)[5]) {
    return tag.size() == 4 && std::memcmp(tag.data(), literal, 4) == 0;
}

}  // namespace kl
