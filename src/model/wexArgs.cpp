// Command-line arguments, quoting and "!" comments.
#include <algorithm>

#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl::wex {

namespace {

constexpr std::string_view DefaultSeparators = " ,\t";

bool isQuote(char c) { return c == '"' || c == '\''; }

bool inSet(std::string_view set, char32_t c) {
    for (std::size_t i = 0, n = 0; i < set.size(); i += n)
        if (utf8::decodeAt(set, i, &n) == c) return true;
    return false;
}

// Index just past the quoted stretch opened at text[open]; npos when the
// stretch is not closed.
std::size_t skipQuoted(std::string_view text, std::size_t open) {
    std::size_t close = text.find(text[open], open + 1);
    return close == std::string_view::npos ? close : close + 1;
}

}  // namespace

Index notSpaceFrom(std::string_view text, Index i, char32_t* onChar) {
    std::size_t j = static_cast<std::size_t>(i < 0 ? 0 : i);
    while (j < text.size() && text[j] == ' ') ++j;
    char32_t found = ' ';
    if (j < text.size()) {
        std::size_t n = 0;
        found = utf8::decodeAt(text, j, &n);
    }
    if (onChar) *onChar = found;
    return j < text.size() ? static_cast<Index>(j) : std::max<Index>(i, static_cast<Index>(text.size()));
}

Index argSeparatorFrom(std::string_view text, Index i, char32_t* onChar) {
    return argSeparatorFrom(text, i, onChar, DefaultSeparators);
}

Index argSeparatorFrom(std::string_view text, Index i, char32_t* onChar, std::string_view delims) {
    std::size_t j = static_cast<std::size_t>(i < 0 ? 0 : i);
    while (j < text.size()) {
        if (isQuote(text[j])) {
            j = skipQuoted(text, j);
            continue;
        }
        std::size_t n = 0;
        char32_t c = utf8::decodeAt(text, j, &n);
        if (inSet(delims, c)) {
            if (onChar) *onChar = c;
            return static_cast<Index>(j);
        }
        j += n;
    }
    if (onChar) *onChar = '?';
    return std::max<Index>(i, static_cast<Index>(text.size()));
}

std::vector<std::string> notWhiteArgs(std::string_view text) { return notWhiteArgs(text, DefaultSeparators); }

std::vector<std::string> notWhiteArgs(std::string_view text, std::string_view delims) {
    std::vector<std::string> args;
    const Index end = static_cast<Index>(text.size());
    Index i = notSpaceFrom(text, 0);
    while (i < end) {
        char32_t separator = 0;
        Index stop = argSeparatorFrom(text, i, &separator, delims);
        args.push_back(unquote(text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(stop - i))));
        if (stop >= end) break;
        char32_t next = ' ';
        i = notSpaceFrom(text, stop + static_cast<Index>(utf8::encode(separator).size()), &next);
        // "a , b": a space and then a comma make one separator, not two.
        if (separator == ' ' && i < end && inSet(delims, next))
            i = notSpaceFrom(text, i + static_cast<Index>(utf8::encode(next).size()));
    }
    return args;
}

std::string unquote(std::string_view text) {
    Range r = notWhiteRange(text);
    if (r.location == NotFound) return {};
    std::string_view s = text.substr(static_cast<std::size_t>(r.location), static_cast<std::size_t>(r.length));
    while (s.size() >= 2 && isQuote(s.front()) && s.back() == s.front()) s = s.substr(1, s.size() - 2);
    return std::string(s);
}

std::string makeArg(std::string_view text) {
    // Anything the argument reader would stop at or strip (white space,
    // separators, a comment mark, an opening single quote, emptiness) needs
    // the quotes, not only a space.
    bool needsQuotes = text.empty() || text.find_first_of(" \t\r\n,!'") != std::string_view::npos;
    bool hasDouble = text.find('"') != std::string_view::npos;
    bool hasSingle = text.find('\'') != std::string_view::npos;
    if (!hasDouble) return needsQuotes ? "\"" + std::string(text) + "\"" : std::string(text);
    if (!hasSingle) return "'" + std::string(text) + "'";
    std::string swapped(text);
    for (char& c : swapped)
        if (c == '"') c = '\'';
    return "\"" + swapped + "\"";
}

std::string deleteComment(std::string_view text, bool allowNotEqual) {
    std::size_t j = 0;
    while (j < text.size()) {
        char c = text[j];
        if (isQuote(c)) {
            j = skipQuoted(text, j);
            if (j == std::string_view::npos) break;
            continue;
        }
        if (c == '!' && !(allowNotEqual && j + 1 < text.size() && text[j + 1] == '='))
            return std::string(text.substr(0, j));
        ++j;
    }
    return std::string(text);
}

}  // namespace kl::wex
