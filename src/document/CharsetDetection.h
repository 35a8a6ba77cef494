#pragma once
// CharsetDetection: finds the character set of a plain GEDCOM file from its
// first bytes: byte-order marks, UTF-16 without a mark (by where the zero
// byte of the leading "0" falls), else the header's "1 CHAR " line. A file
// whose set cannot be told leaves the question to the user, with the
// header's value as a guess when it has one.
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
        Ask,        // the user must choose; guess holds the header's value, if any
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

private:
    static std::optional<CharsetGuess> byteOrder(std::string_view sample);
};

}  // namespace kl
