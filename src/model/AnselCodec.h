#pragma once
// ANSEL (ANSI Z39.47 with the GEDCOM additions), the character set of the
// GEDCOM standard. Combining marks stand before their letter in ANSEL and
// after it in Unicode; both directions move them. Stateless; any thread.
#include <string_view>

#include "model/TextEncoding.h"

namespace kl {

// Bytes to UTF-8 in composed form (NFC): a mark goes after its letter and
// joins it where Unicode has the pair ("e" + U+0301 is "é"); bytes without a
// character become "?" and are counted.
DecodeResult ANSELToString(std::string_view bytes);

// UTF-8 to ANSEL bytes. Accented letters are written as marks before the
// base letter whenever ANSEL has every mark; what ANSEL cannot hold is
// written as a plain ASCII stand-in (or "?") and counted.
EncodeResult stringToANSEL(std::string_view text);

}  // namespace kl
