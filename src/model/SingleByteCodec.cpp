#include "model/SingleByteCodec.h"

#include <algorithm>
#include <cstring>

#include "model/CharsetTables.h"
#include "model/UnicodeFolding.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

constexpr std::uint8_t InvalidMark = 0x80;  // high bit of Utf8Bytes::length

}  // namespace

SingleByteCodec::SingleByteCodec(TextEncoding encoding, const char32_t* high, int highStart, bool nulIsInvalid)
    : encoding_(encoding) {
    for (int b = 0; b < 256; ++b) {
        char32_t cp = b < highStart ? static_cast<char32_t>(b) : (high ? high[b - highStart] : charset_tables::Undefined);
        bool valid = cp != charset_tables::Undefined && !(b == 0 && nulIsInvalid);
        std::string utf8 = valid ? utf8::encode(cp) : std::string("?");
        Utf8Bytes& entry = toUtf8_[static_cast<std::size_t>(b)];
        std::memcpy(entry.bytes, utf8.data(), utf8.size());
        entry.length = static_cast<std::uint8_t>(utf8.size() | (valid ? 0 : InvalidMark));
        if (valid && cp >= 0x80) fromUnicode_.emplace_back(cp, static_cast<std::uint8_t>(b));
    }
    std::sort(fromUnicode_.begin(), fromUnicode_.end());
}

const SingleByteCodec* SingleByteCodec::forEncoding(TextEncoding encoding) {
    using namespace charset_tables;
    // ASCII has no high half: every byte above 0x7F is invalid.
    static const SingleByteCodec ascii(TextEncoding::ASCII, nullptr, 0x80, false);
    static const SingleByteCodec latin1(TextEncoding::ISOLatin1, nullptr, 0x100, false);
    static const SingleByteCodec latin2(TextEncoding::ISOLatin2, Latin2High, 0xA0, false);
    static const SingleByteCodec windows(TextEncoding::Windows1252, Windows1252High, 0x80, true);
    static const SingleByteCodec macRoman(TextEncoding::MacOSRoman, MacRomanHigh, 0x80, false);
    static const SingleByteCodec codePage437(TextEncoding::CodePage437, CodePage437High, 0x80, false);
    switch (encoding) {
    case TextEncoding::ASCII: return &ascii;
    case TextEncoding::ISOLatin1: return &latin1;
    case TextEncoding::ISOLatin2: return &latin2;
    case TextEncoding::Windows1252: return &windows;
    case TextEncoding::MacOSRoman: return &macRoman;
    case TextEncoding::CodePage437: return &codePage437;
    default: return nullptr;
    }
}

DecodeResult SingleByteCodec::decode(std::string_view bytes) const {
    DecodeResult result;
    result.encoding = encoding_;
    // Size the output exactly first, so the second pass writes without a
    // single reallocation: this runs over whole databases.
    std::size_t total = 0, invalid = 0;
    for (unsigned char b : bytes) {
        std::uint8_t length = toUtf8_[b].length;
        total += length & ~InvalidMark;
        invalid += length >> 7;
    }
    result.text.resize(total + sizeof(Utf8Bytes::bytes));
    char* out = result.text.data();
    for (unsigned char b : bytes) {
        const Utf8Bytes& entry = toUtf8_[b];
        std::memcpy(out, entry.bytes, sizeof entry.bytes);
        out += entry.length & ~InvalidMark;
    }
    result.text.resize(total);
    result.invalidCount = invalid;
    return result;
}

int SingleByteCodec::byteFor(char32_t cp) const {
    if (cp < 0x80) return static_cast<int>(cp);  // every set here keeps ASCII
    auto it = std::lower_bound(fromUnicode_.begin(), fromUnicode_.end(), std::pair<char32_t, std::uint8_t>(cp, 0));
    return it != fromUnicode_.end() && it->first == cp ? it->second : -1;
}

EncodeResult SingleByteCodec::encode(std::string_view text, bool lossy) const {
    EncodeResult result;
    result.bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t start = i, n = 0;
        char32_t cp = utf8::decodeAt(text, i, &n);
        bool malformed = cp == utf8::ReplacementCharacter && n == 1 && static_cast<unsigned char>(text[i]) >= 0x80;
        i += n;
        // Decomposed letters (as ANSEL files give them) take their
        // precomposed form when this set has it: "e" + U+0301 is "é".
        while (i < text.size() && static_cast<unsigned char>(text[i]) >= 0xCC) {
            std::size_t markLength = 0;
            char32_t mark = utf8::decodeAt(text, i, &markLength);
            char32_t composed = unicode::isCombiningMark(mark) ? unicode::compose(cp, mark) : 0;
            if (composed == 0 || byteFor(composed) < 0) break;
            cp = composed;
            i += markLength;
        }
        int b = malformed ? -1 : byteFor(cp);
        if (b >= 0) {
            result.bytes.push_back(static_cast<char>(b));
            continue;
        }
        if (result.lostCount++ == 0) result.firstLostOffset = start;
        if (!lossy) continue;
        std::string fallback = malformed ? "" : unicode::asciiFallback(cp);
        // A mark that found no letter to join is dropped, like the accents of
        // the letters that lose theirs.
        if (fallback.empty() && !unicode::isCombiningMark(cp)) fallback = "?";
        result.bytes.append(fallback);
    }
    if (!lossy && result.lostCount > 0) result.bytes.clear();
    return result;
}

}  // namespace kl
