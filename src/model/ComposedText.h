#pragma once
// Unicode composed form (NFC) of UTF-8 text through ICU, so that text read
// as base letters with combining marks (ANSEL) equals the same text typed or
// read from UTF-8. Stateless; safe on any thread.
#include <string>
#include <string_view>

namespace kl::unicode {

// The NFC form of `text`; plain ASCII, most of a GEDCOM file, is copied as
// it stands.
std::string composedText(std::string_view text);

}  // namespace kl::unicode
