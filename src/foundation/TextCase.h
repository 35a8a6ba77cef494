#pragma once
// Upper, lower and title case for names and keywords, counted in Unicode
// characters: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic letters
// change case; every other character is copied as it is. Pure functions,
// safe on any thread.
#include <cstddef>
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

// The one caseless comparison of the program: both texts in small letters
// (lowerChar), character by character. Sorting, finding and the script
// lists all order by it, so a find lands where the sort put the record.
// Negative, zero or positive as a sorts before, with or after b.
int compareFolded(std::string_view a, std::string_view b);
bool hasFoldedPrefix(std::string_view text, std::string_view prefix);
// The folded character at `at`, which moves past it.
char32_t nextFolded(std::string_view text, std::size_t& at);

}  // namespace kl::textcase
