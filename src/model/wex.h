#pragma once
// The shared vocabulary for reading small structured texts: GEDCOM values,
// template and script command lines with quoted arguments and "!" comments,
// lists of names and paths typed by users. Every function is pure (it never
// changes its input) and thread-safe, except the path resolvers, which read
// the file system.
//
// Indexes are byte offsets into the UTF-8 text. Every character these
// functions search for (white space, quotes, separators, "!", line ends) is
// ASCII or a whole multi-byte sequence, so every index they return lies on a
// character boundary. A backward scan that finds nothing answers -1, a forward
// scan the text's length.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kl::wex {

using Index = std::ptrdiff_t;

// Location of a range that does not exist (an all-white text has no
// not-white range).
inline constexpr Index NotFound = PTRDIFF_MAX;

struct Range {
    Index location = 0;
    Index length = 0;
    bool operator==(const Range&) const = default;
};

// ---- White space and words ----------------------------------------------
// White space is exactly space, TAB, LF and CR; nothing else counts.

constexpr bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string whiteString(Index count);
Index notWhiteFrom(std::string_view text, Index i);
Index whiteFrom(std::string_view text, Index i);
Index notWhiteBefore(std::string_view text, Index i);
Index whiteBefore(std::string_view text, Index i);
Index firstNotWhite(std::string_view text);
Index lastNotWhite(std::string_view text);
bool isAllWhite(std::string_view text);
// {NotFound, 0} when the text is all white.
Range notWhiteRange(std::string_view text);
std::string removeWhiteTail(std::string_view text);
// Trimmed text; with escapeSpaces every space becomes "\ " (existing "\ "
// are not doubled).
std::string nonWhiteString(std::string_view text, bool escapeSpaces = false);
std::string getFirstWord(std::string_view text);
std::string getLastWord(std::string_view text);
std::string deleteFirstWord(std::string_view text);
std::string deleteLastWord(std::string_view text);
std::string repeatString(std::string_view text, Index n);
std::string replaceOccurrencesOfString(std::string_view text, std::string_view target,
                                       std::string_view replacement);
// "%.8g" without the locale: 0.1 -> "0.1", 1234567890 -> "1.2345679e+09".
std::string DbleToString(double value);

// ---- Arguments, quotes and comments ---------------------------------------
// A double quote opens a stretch that runs to the next double quote, a single
// quote one that runs to the next single quote; inside a stretch nothing is a
// separator or a comment.

// First character other than a space (only ' ') at or after i; writes it to
// onChar. The length and ' ' when there is none.
Index notSpaceFrom(std::string_view text, Index i, char32_t* onChar = nullptr);
// First space, comma or TAB outside quotes at or after i; the length and '?'
// when there is none.
Index argSeparatorFrom(std::string_view text, Index i, char32_t* onChar = nullptr);
// The same with the given separators (a UTF-8 text whose characters form the
// set).
Index argSeparatorFrom(std::string_view text, Index i, char32_t* onChar, std::string_view delims);
// The arguments of a command line: `set "a b",'c,d' e` gives set, a b, c,d, e.
std::vector<std::string> notWhiteArgs(std::string_view text);
std::vector<std::string> notWhiteArgs(std::string_view text, std::string_view delims);
// Trimmed, then matching outer quote pairs removed repeatedly.
std::string unquote(std::string_view text);
// The text quoted so that notWhiteArgs reads it back as one argument.
std::string makeArg(std::string_view text);
// The text cut before the first "!" outside quotes; with allowNotEqual "!="
// is not a comment.
std::string deleteComment(std::string_view text, bool allowNotEqual);

// ---- Lines -----------------------------------------------------------------
// Standard line ends: LF, CR, CR LF, NEL (U+0085), LS (U+2028), PS (U+2029).

std::vector<std::string> linesToArray(std::string_view text);
// The first line without its end; *more tells whether text follows it.
std::string getFirstLine(std::string_view text, bool* more = nullptr);
bool isOneLine(std::string_view text);
// Bounds of the lines touched by range, where only LF, CR LF and LS end a
// line (a lone CR, NEL or PS does not). For CR LF the contents end is the
// position of the LF. Any out may be null.
void getLineStart(std::string_view text, Index* start, Index* end, Index* contentsEnd, Range range);

// ---- Paths ---------------------------------------------------------------
// Aliases and bookmarks are symbolic links here.

// "HD:Users:x.ged" -> "/Volumes/HD/Users/x.ged"; ":a:b" -> "a/b"; a text
// without a colon is returned as it is.
std::string macPathToUnix(std::string_view path);
// The absolute path with every link along it resolved; nullopt for a relative
// path, a missing file, an unreadable link or a cycle.
std::optional<std::string> stringByResolvingSymlinksAndAliases(std::string_view path);
std::optional<std::string> stringByIterativelyResolvingSymlinkOrAlias(std::string_view path);
std::optional<std::string> stringByConditionallyResolvingSymlink(std::string_view path);
std::optional<std::string> stringByConditionallyResolvingAlias(std::string_view path);
std::string stringByResolvingSymlink(std::string_view path);
std::string stringByResolvingAlias(std::string_view path);
// "~" expanded, "." and ".." folded, duplicate and trailing slashes dropped.
std::string standardizePath(std::string_view path);

// ---- English dates ---------------------------------------------------------
// Fixed English month names whatever the user's locale ("en_US" patterns):
// d dd M MM MMM MMMM yy yyyy H HH h hh m mm s ss a; any other character is
// copied, and text in single quotes is literal.

std::string formatEnglishDate(const std::tm& time, std::string_view pattern);
// In local time.
std::string formatEnglishDate(std::chrono::system_clock::time_point time, std::string_view pattern);
// Today as "d MMM yyyy" ("5 Mar 2024") and now as "HH:mm:ss".
std::string todayString();
std::string nowTimeString();

}  // namespace kl::wex
