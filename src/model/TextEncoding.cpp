#include "model/TextEncoding.h"

#include <cstring>

#include "model/AnselCodec.h"
#include "model/SingleByteCodec.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

struct EncodingInfo {
    TextEncoding encoding;
    const char* name;
};

constexpr EncodingInfo Encodings[] = {
    {TextEncoding::ASCII, "ASCII"},
    {TextEncoding::UTF8, "UTF-8"},
    {TextEncoding::ISOLatin1, "ISO Latin 1"},
    {TextEncoding::ISOLatin2, "ISO Latin 2"},
    {TextEncoding::UTF16, "UTF-16"},
    {TextEncoding::Windows1252, "Windows"},
    {TextEncoding::MacOSRoman, "Mac OS Roman"},
    {TextEncoding::ANSEL, "ANSEL"},
    {TextEncoding::CodePage437, "Code Page 437"},
    {TextEncoding::UTF16BigEndian, "UTF-16BE"},
    {TextEncoding::UTF16LittleEndian, "UTF-16LE"},
};

// Length of the well-formed sequence at p, or, when it is malformed, the
// negated length of its maximal subpart (the bytes to replace by one U+FFFD).
long sequenceAt(const unsigned char* p, std::size_t available) {
    unsigned char lead = p[0];
    if (lead < 0x80) return 1;
    std::size_t need = utf8::sequenceLength(lead);
    if (lead < 0xC2 || lead > 0xF4) return -1;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    for (std::size_t k = 1; k < need; ++k) {
        if (k >= available) return -static_cast<long>(k);
        unsigned char b = p[k];
        bool ok = k == 1 ? (b >= low && b <= high) : (b & 0xC0) == 0x80;
        if (!ok) return -static_cast<long>(k);
    }
    return static_cast<long>(need);
}

DecodeResult decodeUTF8(std::string_view bytes) {
    DecodeResult result;
    if (bytes.starts_with(Utf8ByteOrderMark)) bytes.remove_prefix(Utf8ByteOrderMark.size());
    std::size_t valid = validUTF8Length(bytes);
    if (valid == bytes.size()) {
        result.text.assign(bytes);
        return result;
    }
    result.text.reserve(bytes.size() + 16);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t run = validUTF8Length(bytes.substr(i));
        result.text.append(bytes.substr(i, run));
        i += run;
        if (i >= bytes.size()) break;
        i += static_cast<std::size_t>(-sequenceAt(p + i, bytes.size() - i));
        utf8::append(result.text, utf8::ReplacementCharacter);
        ++result.invalidCount;
    }
    return result;
}

ByteOrder guessByteOrder(std::string_view bytes) {
    // GEDCOM text is mostly ASCII, whose high byte is zero: the side where
    // the zeros fall tells the order.
    std::size_t zeroEven = 0, zeroOdd = 0;
    for (std::size_t i = 0; i + 1 < bytes.size() && i < 4096; i += 2) {
        zeroEven += bytes[i] == 0;
        zeroOdd += bytes[i + 1] == 0;
    }
    return zeroOdd > zeroEven ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
}

void appendUnit(std::string& out, char16_t unit, bool bigEndian) {
    char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
}

EncodeResult encodeUTF16(std::string_view text, ByteOrder order, bool mark, bool lossy) {
    EncodeResult result;
    bool big = order == ByteOrder::BigEndian;
    result.bytes.reserve(text.size() * 2 + 2);
    if (mark) appendUnit(result.bytes, 0xFEFF, big);
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        char32_t cp = utf8::decodeAt(text, i, &n);
        if (cp == utf8::ReplacementCharacter && n == 1 && static_cast<unsigned char>(text[i]) >= 0x80) {
            if (result.lostCount++ == 0) result.firstLostOffset = i;
        }
        if (cp >= 0x10000) {
            appendUnit(result.bytes, static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), big);
            appendUnit(result.bytes, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), big);
        } else {
            appendUnit(result.bytes, static_cast<char16_t>(cp), big);
        }
    }
    if (!lossy && result.lostCount > 0) result.bytes.clear();
    return result;
}

EncodeResult encodeUTF8(std::string_view text, bool lossy) {
    EncodeResult result;
    std::size_t valid = validUTF8Length(text);
    if (valid == text.size()) {
        result.bytes.assign(text);
        return result;
    }
    result.firstLostOffset = valid;
    DecodeResult repaired = decodeUTF8(text);
    result.lostCount = repaired.invalidCount;
    if (lossy) result.bytes = std::move(repaired.text);
    return result;
}

}  // namespace

std::optional<TextEncoding> encodingFromCode(std::uint32_t code) {
    for (const auto& info : Encodings)
        if (encodingCode(info.encoding) == code) return info.encoding;
    return std::nullopt;
}

const char* encodingName(TextEncoding e) {
    for (const auto& info : Encodings)
        if (info.encoding == e) return info.name;
    return "unknown";
}

std::string DecodeResult::message() const {
    if (invalidCount == 0) return {};
    return std::string("Decoding ") + encodingName(encoding) + " character set file encountered " +
           std::to_string(invalidCount) + " invalid characters";
}

std::size_t validUTF8Length(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time: most GEDCOM text is ASCII.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (word & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= n) break;
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        long length = sequenceAt(p + i, n - i);
        if (length < 0) return i;
        i += static_cast<std::size_t>(length);
    }
    return n;
}

bool isValidUTF8(std::string_view bytes) { return validUTF8Length(bytes) == bytes.size(); }

DecodeResult decodeUTF16(std::string_view bytes, ByteOrder order) {
    DecodeResult result;
    result.encoding = TextEncoding::UTF16;
    if (order == ByteOrder::Detect) {
        if (bytes.starts_with("\xFE\xFF")) order = ByteOrder::BigEndian;
        else if (bytes.starts_with("\xFF\xFE")) order = ByteOrder::LittleEndian;
        else order = guessByteOrder(bytes);
    }
    const bool big = order == ByteOrder::BigEndian;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    auto unitAt = [&](std::size_t i) -> char32_t { return big ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]); };
    const std::size_t n = bytes.size();
    std::size_t i = n >= 2 && unitAt(0) == 0xFEFF ? 2 : 0;
    // Two bytes never make more than three of UTF-8 (a pair makes four of
    // four), so the output is sized once and written through a pointer.
    result.text.resize(n / 2 * 3 + 4);
    char* out = result.text.data();
    auto put = [&out](char32_t cp) {
        if (cp < 0x80) {
            *out++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *out++ = static_cast<char>(0xC0 | (cp >> 6));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (cp >> 12));
            *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (cp >> 18));
            *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    };
    for (; i + 1 < n; i += 2) {
        char32_t unit = unitAt(i);
        if (unit < 0xD800 || unit > 0xDFFF) {
            put(unit);
            continue;
        }
        char32_t low = unit <= 0xDBFF && i + 3 < n ? unitAt(i + 2) : 0;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            put(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            i += 2;
            continue;
        }
        // A surrogate without its partner has no character.
        put(utf8::ReplacementCharacter);
        ++result.invalidCount;
    }
    if (n % 2 != 0) {  // half a unit at the end
        put(utf8::ReplacementCharacter);
        ++result.invalidCount;
    }
    result.text.resize(static_cast<std::size_t>(out - result.text.data()));
    return result;
}

DecodeResult decodeTaking(std::string&& bytes, TextEncoding encoding) {
    if (encoding != TextEncoding::UTF8) return decode(bytes, encoding);
    const std::size_t mark = std::string_view(bytes).starts_with(Utf8ByteOrderMark) ? Utf8ByteOrderMark.size() : 0;
    if (validUTF8Length(std::string_view(bytes).substr(mark)) != bytes.size() - mark) return decodeUTF8(bytes);
    DecodeResult result;
    bytes.erase(0, mark);
    result.text = std::move(bytes);
    return result;
}

DecodeResult decode(std::string_view bytes, TextEncoding encoding) {
    if (const SingleByteCodec* codec = SingleByteCodec::forEncoding(encoding)) return codec->decode(bytes);
    switch (encoding) {
    case TextEncoding::ANSEL: return ANSELToString(bytes);
    case TextEncoding::UTF16: return decodeUTF16(bytes, ByteOrder::Detect);
    case TextEncoding::UTF16BigEndian: return decodeUTF16(bytes, ByteOrder::BigEndian);
    case TextEncoding::UTF16LittleEndian: return decodeUTF16(bytes, ByteOrder::LittleEndian);
    default: return decodeUTF8(bytes);
    }
}

EncodeResult encode(std::string_view text, TextEncoding encoding, const EncodeOptions& options) {
    if (const SingleByteCodec* codec = SingleByteCodec::forEncoding(encoding)) return codec->encode(text, options.lossy);
    switch (encoding) {
    case TextEncoding::ANSEL: {
        EncodeResult result = stringToANSEL(text);
        if (!options.lossy && result.lostCount > 0) result.bytes.clear();
        return result;
    }
    case TextEncoding::UTF16: {
        ByteOrder order = options.byteOrder == ByteOrder::Detect ? ByteOrder::LittleEndian : options.byteOrder;
        return encodeUTF16(text, order, options.byteOrderMark, options.lossy);
    }
    case TextEncoding::UTF16BigEndian: return encodeUTF16(text, ByteOrder::BigEndian, false, options.lossy);
    case TextEncoding::UTF16LittleEndian: return encodeUTF16(text, ByteOrder::LittleEndian, false, options.lossy);
    default: return encodeUTF8(text, options.lossy);
    }
}

EncodeResult encodeTaking(std::string&& text, TextEncoding encoding, const EncodeOptions& options) {
    std::string taken = std::move(text);
    const bool toUTF8 = !SingleByteCodec::forEncoding(encoding) && encoding != TextEncoding::ANSEL &&
                        encoding != TextEncoding::UTF16 && encoding != TextEncoding::UTF16BigEndian &&
                        encoding != TextEncoding::UTF16LittleEndian;
    if (toUTF8 && validUTF8Length(taken) == taken.size()) {
        EncodeResult result;
        result.bytes = std::move(taken);
        return result;
    }
    return encode(taken, encoding, options);
}

DecodeResult WindowsToString(std::string_view bytes) { return decode(bytes, TextEncoding::Windows1252); }

}  // namespace kl
