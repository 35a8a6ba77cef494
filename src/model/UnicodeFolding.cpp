#include "model/UnicodeFolding.h"

#include <algorithm>
#include <vector>

#include "model/CharsetTables.h"

namespace kl::unicode {

namespace {

using charset_tables::CanonicalPair;

const CanonicalPair* pairsBegin() { return charset_tables::CanonicalPairs; }
const CanonicalPair* pairsEnd() { return charset_tables::CanonicalPairs + charset_tables::CanonicalPairCount; }

const CanonicalPair* findComposed(char32_t cp) {
    auto it = std::lower_bound(pairsBegin(), pairsEnd(), cp,
                               [](const CanonicalPair& p, char32_t c) { return p.composed < c; });
    return it != pairsEnd() && it->composed == cp ? it : nullptr;
}

// The pairs again, ordered by (base, mark) for composing.
const std::vector<CanonicalPair>& pairsByParts() {
    static const std::vector<CanonicalPair> sorted = [] {
        std::vector<CanonicalPair> v(pairsBegin(), pairsEnd());
        std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
            return a.base != b.base ? a.base < b.base : a.mark < b.mark;
        });
        return v;
    }();
    return sorted;
}

struct Fallback {
    char32_t cp;
    const char* ascii;
};

// Characters without a canonical decomposition that still have a plain
// ASCII reading. Sorted by code point.
constexpr Fallback Fallbacks[] = {
    {0x00A0, " "},   {0x00A1, "!"},   {0x00A2, "c"},   {0x00A3, "L"},   {0x00A4, "o"},   {0x00A5, "Y"},
    {0x00A6, "|"},   {0x00A7, "S"},   {0x00A8, "\""},  {0x00A9, "(C)"}, {0x00AA, "a"},   {0x00AB, "<"},
    {0x00AC, "-"},   {0x00AD, "-"},   {0x00AE, "(R)"}, {0x00AF, "-"},   {0x00B1, "+/-"}, {0x00B2, "2"},
    {0x00B3, "3"},   {0x00B4, "'"},   {0x00B5, "u"},   {0x00B7, "."},   {0x00B8, ","},   {0x00B9, "1"},
    {0x00BA, "o"},   {0x00BB, ">"},   {0x00BC, "1/4"}, {0x00BD, "1/2"}, {0x00BE, "3/4"}, {0x00BF, "?"},
    {0x00C6, "AE"},  {0x00D0, "D"},   {0x00D7, "x"},   {0x00D8, "O"},   {0x00DE, "TH"},  {0x00DF, "ss"},
    {0x00E6, "ae"},  {0x00F0, "d"},   {0x00F7, "/"},   {0x00F8, "o"},   {0x00FE, "th"},  {0x0110, "D"},
    {0x0111, "d"},   {0x0126, "H"},   {0x0127, "h"},   {0x0131, "i"},   {0x0132, "IJ"},  {0x0133, "ij"},
    {0x013F, "L"},   {0x0140, "l"},   {0x0141, "L"},   {0x0142, "l"},   {0x0149, "'n"},  {0x014A, "N"},
    {0x014B, "n"},   {0x0152, "OE"},  {0x0153, "oe"},  {0x0166, "T"},   {0x0167, "t"},   {0x017F, "s"},
    {0x0180, "b"},   {0x0181, "B"},   {0x0187, "C"},   {0x0188, "c"},   {0x0189, "D"},   {0x018A, "D"},
    {0x0191, "F"},   {0x0192, "f"},   {0x0197, "I"},   {0x019A, "l"},   {0x019D, "N"},   {0x019E, "n"},
    {0x01A4, "P"},   {0x01A5, "p"},   {0x01AB, "t"},   {0x01AC, "T"},   {0x01AD, "t"},   {0x01AE, "T"},
    {0x01B3, "Y"},   {0x01B4, "y"},   {0x01B5, "Z"},   {0x01B6, "z"},   {0x01C4, "DZ"},  {0x01C5, "Dz"},
    {0x01C6, "dz"},  {0x01C7, "LJ"},  {0x01C8, "Lj"},  {0x01C9, "lj"},  {0x01CA, "NJ"},  {0x01CB, "Nj"},
    {0x01CC, "nj"},  {0x01E4, "G"},   {0x01E5, "g"},   {0x01F1, "DZ"},  {0x01F2, "Dz"},  {0x01F3, "dz"},
    {0x0237, "j"},   {0x023A, "A"},   {0x023B, "C"},   {0x023C, "c"},   {0x023E, "T"},   {0x0246, "E"},
    {0x0247, "e"},   {0x02B9, "'"},   {0x02BA, "\""},  {0x02BB, "'"},   {0x02BC, "'"},   {0x02C6, "^"},
    {0x02DC, "~"},   {0x2002, " "},   {0x2003, " "},   {0x2004, " "},   {0x2005, " "},   {0x2006, " "},
    {0x2007, " "},   {0x2008, " "},   {0x2009, " "},   {0x200A, " "},   {0x2010, "-"},   {0x2011, "-"},
    {0x2012, "-"},   {0x2013, "-"},   {0x2014, "-"},   {0x2015, "-"},   {0x2018, "'"},   {0x2019, "'"},
    {0x201A, "'"},   {0x201B, "'"},   {0x201C, "\""},  {0x201D, "\""},  {0x201E, "\""},  {0x201F, "\""},
    {0x2020, "+"},   {0x2022, "*"},   {0x2026, "..."}, {0x2032, "'"},   {0x2033, "\""},  {0x2039, "<"},
    {0x203A, ">"},   {0x2044, "/"},   {0x20AC, "EUR"}, {0x2113, "l"},   {0x2122, "TM"},  {0x2212, "-"},
};

}  // namespace

bool isCombiningMark(char32_t cp) {
    return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) || (cp >= 0x1DC0 && cp <= 0x1DFF) ||
           (cp >= 0x20D0 && cp <= 0x20FF) || (cp >= 0xFE20 && cp <= 0xFE2F);
}

bool decompose(char32_t cp, char32_t* base, std::u32string* marks) {
    const CanonicalPair* pair = findComposed(cp);
    if (!pair) return false;
    marks->clear();
    // Pairs nest ("ế" is "ê" + acute, "ê" is "e" + circumflex): unwind them
    // and keep the marks in the order they were added.
    while (pair) {
        marks->insert(marks->begin(), pair->mark);
        cp = pair->base;
        pair = findComposed(cp);
    }
    *base = cp;
    return true;
}

char32_t compose(char32_t base, char32_t mark) {
    const auto& pairs = pairsByParts();
    auto it = std::lower_bound(pairs.begin(), pairs.end(), std::pair(base, mark), [](const auto& p, const auto& key) {
        return p.base != key.first ? p.base < key.first : p.mark < key.second;
    });
    return it != pairs.end() && it->base == base && it->mark == mark ? it->composed : 0;
}

std::string asciiFallback(char32_t cp) {
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    char32_t base = 0;
    std::u32string marks;
    if (decompose(cp, &base, &marks)) return asciiFallback(base);
    auto it = std::lower_bound(std::begin(Fallbacks), std::end(Fallbacks), cp,
                               [](const Fallback& f, char32_t c) { return f.cp < c; });
    return it != std::end(Fallbacks) && it->cp == cp ? it->ascii : std::string();
}

}  // namespace kl::unicode
