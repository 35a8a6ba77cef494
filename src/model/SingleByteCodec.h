#pragma once
// One 8-bit character set (ASCII, ISO Latin 1 and 2, Windows-1252, Mac OS
// Roman, code page 437) as a byte-to-UTF-8 table and its reverse. The instances are built
// once, never change, and are shared by all threads.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/TextEncoding.h"

namespace kl {

class SingleByteCodec {
public:
    // Nullptr for an encoding that is not an 8-bit table (UTF-8, UTF-16,
    // ANSEL).
    static const SingleByteCodec* forEncoding(TextEncoding encoding);

    DecodeResult decode(std::string_view bytes) const;
    EncodeResult encode(std::string_view text, bool lossy) const;

private:
    SingleByteCodec(TextEncoding encoding, const char32_t* high, int highStart, bool nulIsInvalid);

    struct Utf8Bytes {
        char bytes[3];
        std::uint8_t length;  // 0: the byte has no character
    };

    // The byte for cp; -1 when the set has none.
    int byteFor(char32_t cp) const;
    void encodeCharacter(std::string& out, char32_t cp) const;

    TextEncoding encoding_;
    std::array<Utf8Bytes, 256> toUtf8_{};
    std::vector<std::pair<char32_t, std::uint8_t>> fromUnicode_;  // sorted, code points >= 0x80
};

}  // namespace kl
