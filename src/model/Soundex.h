#pragma once
// The four-character American Soundex code of a name (Robert R163,
// Tymczak T522), by which surnames are compared in searches and name
// details. Accented Latin letters count as their base letter; anything else
// that is not a letter is passed over, and a name without letters is Z000.
// Pure function, safe on any thread.
#include <string>
#include <string_view>

namespace kl {

std::string soundexForString(std::string_view name);

}  // namespace kl
