#pragma once
// CharsetDetection: finds the character set of a plain GEDCOM file from its
// first bytes: byte-order marks, UTF-16 without a mark (by where the zero
// byte of the leading "0" falls), else the header's CHAR line in any spacing
// and case. A file without one is read as one declaring ASCII (by its
// bytes, see GEDCOMModel); a file naming a set the reader does not know
// leaves the question to the user, with that name as the guess.
//
// Stateless; safe on any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kl {

struct CharsetGuess {
    enum class Outcome {
        Found,      // encoding and name are set
        Ask,        // the user must choose; guess holds the header's value
        NotGEDCOM,  // the first non-blank character is not "0"
    };
    Outcome outcome = Outcome::Ask;
    uint32_t encoding = 0;
    std::string name;
    std::optional<std::string> guess;
};

class CharsetDetection {
public:
    // Only this much of a file is looked at.
    static constexpr std::size_t kSampleSize = 3000;

    static CharsetGuess detect(std::string_view sample);
    // Case-sensitive substring test.
    static bool charSetContains(std::string_view name, std::string_view part);
    // The encoding and kept name for an upper-cased CHAR value; nullopt
    // when the value names no set the reader knows.
    static std::optional<CharsetGuess> encodingForCharValue(const std::string& value);
    // The set a file's bytes suggest when its declaration does not help:
    // UTF-8 when they are valid UTF-8, else Windows-1252.
    static uint32_t suggestedEncoding(std::string_view bytes);

private:
    static std::optional<CharsetGuess> byteOrder(std::string_view sample);
};

}  // namespace kl
