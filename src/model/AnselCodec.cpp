#include "model/AnselCodec.h"

#include <algorithm>
#include <array>
#include <vector>

#include "model/ComposedText.h"
#include "model/UnicodeFolding.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

struct AnselCode {
    unsigned char byte;
    char32_t cp;
};

// Spacing characters 0xA1-0xCF. 0xC7 and 0xC8 (later MARC-8 additions) are
// not GEDCOM's; 0xCD and 0xCE are GEDCOM's midline e and o.
constexpr AnselCode Specials[] = {
    {0xA1, 0x0141}, {0xA2, 0x00D8}, {0xA3, 0x0110}, {0xA4, 0x00DE}, {0xA5, 0x00C6}, {0xA6, 0x0152},
    {0xA7, 0x02B9}, {0xA8, 0x00B7}, {0xA9, 0x266D}, {0xAA, 0x00AE}, {0xAB, 0x00B1}, {0xAC, 0x01A0},
    {0xAD, 0x01AF}, {0xAE, 0x02BC}, {0xB0, 0x02BB}, {0xB1, 0x0142}, {0xB2, 0x00F8}, {0xB3, 0x0111},
    {0xB4, 0x00FE}, {0xB5, 0x00E6}, {0xB6, 0x0153}, {0xB7, 0x02BA}, {0xB8, 0x0131}, {0xB9, 0x00A3},
    {0xBA, 0x00F0}, {0xBC, 0x01A1}, {0xBD, 0x01B0}, {0xBE, 0x25A1}, {0xBF, 0x25A0}, {0xC0, 0x00B0},
    {0xC1, 0x2113}, {0xC2, 0x2117}, {0xC3, 0x00A9}, {0xC4, 0x266F}, {0xC5, 0x00BF}, {0xC6, 0x00A1},
    {0xCD, 'e'},    {0xCE, 'o'},    {0xCF, 0x00DF},
};

// Combining marks 0xE0-0xFE, written before the letter they modify.
constexpr AnselCode Marks[] = {
    {0xE0, 0x0309}, {0xE1, 0x0300}, {0xE2, 0x0301}, {0xE3, 0x0302}, {0xE4, 0x0303}, {0xE5, 0x0304},
    {0xE6, 0x0306}, {0xE7, 0x0307}, {0xE8, 0x0308}, {0xE9, 0x030C}, {0xEA, 0x030A}, {0xEB, 0xFE20},
    {0xEC, 0xFE21}, {0xED, 0x0315}, {0xEE, 0x030B}, {0xEF, 0x0310}, {0xF0, 0x0327}, {0xF1, 0x0328},
    {0xF2, 0x0323}, {0xF3, 0x0324}, {0xF4, 0x0325}, {0xF5, 0x0333}, {0xF6, 0x0332}, {0xF7, 0x0326},
    {0xF8, 0x031C}, {0xF9, 0x032E}, {0xFA, 0xFE22}, {0xFB, 0xFE23}, {0xFC, 0x0336}, {0xFE, 0x0313},
};

constexpr char32_t NoCharacter = 0;

// Byte to code point for 0x80-0xFF; NoCharacter where ANSEL has none.
constexpr std::array<char32_t, 256> decodingTable() {
    std::array<char32_t, 256> table{};
    for (const auto& c : Specials) table[c.byte] = c.cp;
    for (const auto& c : Marks) table[c.byte] = c.cp;
    return table;
}

constexpr std::array<char32_t, 256> Decoding = decodingTable();

// Code point to byte for the encoder: Ð shares 0xA3 with Đ.
struct EncodingEntry {
    char32_t cp;
    unsigned char byte;
    bool isMark;
    bool operator<(const EncodingEntry& o) const { return cp < o.cp; }
};

const std::vector<EncodingEntry>& encodingTable() {
    static const std::vector<EncodingEntry> table = [] {
        std::vector<EncodingEntry> t;
        for (const auto& c : Specials)
            if (c.cp >= 0x80) t.push_back({c.cp, c.byte, false});
        for (const auto& c : Marks) t.push_back({c.cp, c.byte, true});
        t.push_back({0x00D0, 0xA3, false});
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

const EncodingEntry* encodingFor(char32_t cp) {
    const auto& table = encodingTable();
    auto it = std::lower_bound(table.begin(), table.end(), EncodingEntry{cp, 0, false});
    return it != table.end() && it->cp == cp ? &*it : nullptr;
}

bool isMarkByte(unsigned char b) { return b >= 0xE0; }

// A byte a run of marks can sit on: printable ASCII or a spacing special.
// Marks before a line end or a control stay where they are rather than
// wander onto the next line.
bool canCarryMarks(unsigned char b) { return b >= 0x20 && b != 0x7F && !isMarkByte(b); }

class AnselDecoder {
public:
    explicit AnselDecoder(std::string_view bytes) : bytes_(bytes) {
        result_.encoding = TextEncoding::ANSEL;
        result_.text.reserve(bytes.size() + bytes.size() / 8);
    }

    DecodeResult run() {
        const std::size_t n = bytes_.size();
        std::size_t i = 0;
        while (i < n) {
            unsigned char b = byte(i);
            if (b >= 0x01 && b <= 0x7F) {
                std::size_t j = i + 1;
                while (j < n && byte(j) >= 0x01 && byte(j) <= 0x7F) ++j;
                result_.text.append(bytes_.substr(i, j - i));
                i = j;
            } else if (isMarkByte(b)) {
                i = marksAndBase(i);
            } else {
                appendCharacter(b);
                ++i;
            }
        }
        return std::move(result_);
    }

private:
    unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

    // All the marks before a letter go after it, in their order, so that
    // several marks on one letter survive and the letter itself is read
    // through the table like any other byte.
    std::size_t marksAndBase(std::size_t first) {
        std::size_t j = first;
        while (j < bytes_.size() && isMarkByte(byte(j))) ++j;
        bool hasBase = j < bytes_.size() && canCarryMarks(byte(j));
        if (hasBase) appendCharacter(byte(j));
        for (std::size_t k = first; k < j; ++k) appendCharacter(byte(k));
        return hasBase ? j + 1 : j;
    }

    void appendCharacter(unsigned char b) {
        char32_t cp = b < 0x80 ? (b == 0 ? NoCharacter : b) : Decoding[b];
        if (cp == NoCharacter) {
            result_.text.push_back('?');
            ++result_.invalidCount;
            return;
        }
        utf8::append(result_.text, cp);
    }

    std::string_view bytes_;
    DecodeResult result_;
};

class AnselEncoder {
public:
    explicit AnselEncoder(std::string_view text) : text_(text) { result_.bytes.reserve(text.size()); }

    EncodeResult run() {
        for (std::size_t i = 0, n = 0; i < text_.size(); i += n) {
            char32_t cp = utf8::decodeAt(text_, i, &n);
            bool malformed = cp == utf8::ReplacementCharacter && n == 1;
            if (malformed) lose(i, "?");
            else encodeCharacter(cp, i);
        }
        return std::move(result_);
    }

private:
    void encodeCharacter(char32_t cp, std::size_t offset) {
        if (cp == 0) return;
        if (cp < 0x80) return writeBase(static_cast<unsigned char>(cp));
        if (const EncodingEntry* e = encodingFor(cp)) return e->isMark ? writeMark(e->byte) : writeBase(e->byte);
        if (writeDecomposed(cp)) return;
        std::string fallback = unicode::asciiFallback(cp);
        lose(offset, fallback.empty() && !unicode::isCombiningMark(cp) ? "?" : fallback);
    }

    // "Ā" is A with a macron, which ANSEL holds as 0xE5 'A'. Only when every
    // mark has an ANSEL code; otherwise the letter goes to its stand-in.
    bool writeDecomposed(char32_t cp) {
        char32_t base = 0;
        std::u32string marks;
        if (!unicode::decompose(cp, &base, &marks)) return false;
        const EncodingEntry* baseEntry = base < 0x80 ? nullptr : encodingFor(base);
        if (base >= 0x80 && (!baseEntry || baseEntry->isMark)) return false;
        std::string markBytes;
        for (char32_t m : marks) {
            const EncodingEntry* e = encodingFor(m);
            if (!e || !e->isMark) return false;
            markBytes.push_back(static_cast<char>(e->byte));
        }
        result_.bytes.append(markBytes);
        writeBase(baseEntry ? baseEntry->byte : static_cast<unsigned char>(base));
        return true;
    }

    void writeBase(unsigned char b) {
        result_.bytes.push_back(static_cast<char>(b));
        last_ = result_.bytes.size() - 1;
    }

    // A combining mark follows its letter in Unicode: it goes in front of
    // the byte written last. At the very start it sits on a space.
    void writeMark(unsigned char mark) {
        if (last_ == std::string::npos) {
            result_.bytes.push_back(static_cast<char>(mark));
            writeBase(' ');
            return;
        }
        result_.bytes.insert(result_.bytes.begin() + static_cast<std::ptrdiff_t>(last_), static_cast<char>(mark));
        ++last_;
    }

    void lose(std::size_t offset, const std::string& standIn) {
        if (result_.lostCount++ == 0) result_.firstLostOffset = offset;
        for (char c : standIn) writeBase(static_cast<unsigned char>(c));
    }

    std::string_view text_;
    EncodeResult result_;
    std::size_t last_ = std::string::npos;
};

}  // namespace

// ANSEL writes a letter and its marks apart; the text is kept composed, as
// the same name typed or read from UTF-8 is, so that the two compare equal.
DecodeResult ANSELToString(std::string_view bytes) {
    DecodeResult result = AnselDecoder(bytes).run();
    result.text = unicode::composedText(result.text);
    return result;
}

EncodeResult stringToANSEL(std::string_view text) { return AnselEncoder(text).run(); }

}  // namespace kl
