#pragma once
// Canonical composition and decomposition of accented Latin letters, and the
// lossy ASCII stand-ins used when a character set cannot hold a character.
// Pure functions over constant tables; safe on any thread.
#include <string>
#include <string_view>

namespace kl::unicode {

// Combining diacritical marks (U+0300-036F and the other combining blocks).
bool isCombiningMark(char32_t cp);

// The full canonical decomposition of a precomposed Latin letter: *base gets
// the letter, marks the combining marks in canonical order. False when cp
// does not decompose.
bool decompose(char32_t cp, char32_t* base, std::u32string* marks);

// The precomposed form of base + mark; 0 when there is none.
char32_t compose(char32_t base, char32_t mark);

// What a lossy conversion to ASCII writes for cp: letters without their
// accents ("Ā" -> "A"), ligatures spelled out ("Æ" -> "AE"), typographic
// punctuation as plain ("“" -> "\""); empty when there is no stand-in
// (combining marks, CJK, ...). cp itself for ASCII.
std::string asciiFallback(char32_t cp);

}  // namespace kl::unicode
