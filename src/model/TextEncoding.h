#pragma once
// Reading and writing GEDCOM text in every character set the program knows.
// Decoders turn bytes into UTF-8 and count what they could not decode, so a
// caller can tell the user; encoders turn UTF-8 into bytes and count what the
// target set cannot hold. Stateless functions over constant tables: safe on
// the reading and saving threads.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kl {

// The platform's numeric encoding codes, as stored in documents and
// preferences, plus 65536 for ANSEL.
enum class TextEncoding : std::uint32_t {
    ASCII = 1,
    UTF8 = 4,
    ISOLatin1 = 5,
    ISOLatin2 = 9,
    UTF16 = 10,
    Windows1252 = 12,
    MacOSRoman = 30,
    ANSEL = 65536,
    CodePage437 = 0x80000400,
    UTF16BigEndian = 0x90000100,
    UTF16LittleEndian = 0x94000100,
};

std::optional<TextEncoding> encodingFromCode(std::uint32_t code);
constexpr std::uint32_t encodingCode(TextEncoding e) { return static_cast<std::uint32_t>(e); }
// "ASCII", "UTF-8", "ISO Latin 1", "ISO Latin 2", "UTF-16", "Windows",
// "Mac OS Roman", "ANSEL", "Code Page 437".
const char* encodingName(TextEncoding e);

struct DecodeResult {
    std::string text;
    // Bytes (or UTF-16 units) that had no character and were replaced: by
    // "?" in the 8-bit sets, by U+FFFD in UTF-8 and UTF-16.
    std::size_t invalidCount = 0;
    TextEncoding encoding = TextEncoding::UTF8;

    bool clean() const { return invalidCount == 0; }
    // "Decoding ANSEL character set file encountered 3 invalid characters";
    // empty when clean.
    std::string message() const;
};

enum class ByteOrder { Detect, BigEndian, LittleEndian };

struct EncodeOptions {
    // Without lossy, an encoding that loses anything fails: bytes come back
    // empty and lostCount tells how many characters were in the way.
    bool lossy = true;
    // For TextEncoding::UTF16 only; the explicit UTF-16 codes fix the order
    // and write no mark.
    ByteOrder byteOrder = ByteOrder::LittleEndian;
    bool byteOrderMark = true;
};

struct EncodeResult {
    std::string bytes;
    // Characters the set could not hold exactly: approximated ("Ā" as "A"),
    // replaced by "?" or dropped.
    std::size_t lostCount = 0;
    // Byte offset in the UTF-8 input of the first of them; npos when none.
    std::size_t firstLostOffset = std::string::npos;

    bool complete() const { return lostCount == 0; }
};

// UTF-16 without explicit order (TextEncoding::UTF16) follows its byte-order
// mark, else guesses from where the zero bytes of ASCII text fall, else reads
// big-endian. A leading byte-order mark is never part of the text.
DecodeResult decode(std::string_view bytes, TextEncoding encoding);
// As decode, consuming the bytes: valid UTF-8 read as UTF-8 becomes the text
// as it is (less a byte-order mark), so a whole file is not copied once more.
DecodeResult decodeTaking(std::string&& bytes, TextEncoding encoding);
EncodeResult encode(std::string_view text, TextEncoding encoding, const EncodeOptions& options = {});
// As encode, consuming the text: valid UTF-8 for a UTF-8 target becomes the
// bytes as it is, so a whole exported file is not copied once more.
EncodeResult encodeTaking(std::string&& text, TextEncoding encoding, const EncodeOptions& options = {});

DecodeResult decodeUTF16(std::string_view bytes, ByteOrder order);

// Length of the longest prefix that is well-formed UTF-8.
std::size_t validUTF8Length(std::string_view bytes);
bool isValidUTF8(std::string_view bytes);

// Windows-1252 with its five unassigned codes and NUL counted as invalid.
DecodeResult WindowsToString(std::string_view bytes);

}  // namespace kl
