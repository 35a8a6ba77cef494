#pragma once
// Upper, lower and title case for names and keywords, counted in Unicode
// characters: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters
// change case; every other character is copied as it is. Pure functions,
// safe on any thread.
#include <string>
#include <string_view>

namespace kl::textcase {

std::string upper(std::string_view text);
std::string lower(std::string_view text);
// The first letter of each word in capitals and the others in small
// letters. Words are divided by white space and by "/", so that the surname
// of a GEDCOM name ("ann /berg/") is a word of its own.
std::string capitalized(std::string_view text);

char32_t upperChar(char32_t c);
char32_t lowerChar(char32_t c);

}  // namespace kl::textcase
