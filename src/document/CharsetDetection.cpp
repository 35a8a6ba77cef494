#include "document/CharsetDetection.h"

#include <array>
#include <cctype>

#include "model/TextEncoding.h"

namespace kl {

namespace {

constexpr uint32_t kUnicode = 10;

struct CharRule {
    const char* part;
    uint32_t encoding;
    const char* name;  // nullptr keeps the file's value
};

// First hit decides, so "UTF-8" must come before the Latin tests and
// "ASCII" before everything: "US-ASCII" is no Windows set.
constexpr std::array<CharRule, 10> kCharRules{{
    {"ASCII", 30, nullptr},
    {"MAC", 30, nullptr},
    {"ANSEL", 0x10000, nullptr},
    {"UTF-8", 4, "UTF-8"},
    {"UTF8", 4, "UTF-8"},
    {"WINDOWS", 12, nullptr},
    {"8859", 12, nullptr},
    {"LATIN", 12, nullptr},
    {"UNICODE", kUnicode, "UNICODE"},
    {"UTF-16", kUnicode, "UNICODE"},
}};

CharsetGuess found(uint32_t encoding, std::string name) {
    CharsetGuess g;
    g.outcome = CharsetGuess::Outcome::Found;
    g.encoding = encoding;
    g.name = std::move(name);
    return g;
}

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string upperCased(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

bool CharsetDetection::charSetContains(std::string_view name, std::string_view part) {
    return name.find(part) != std::string_view::npos;
}

std::optional<CharsetGuess> CharsetDetection::encodingForCharValue(const std::string& value) {
    for (const CharRule& rule : kCharRules)
        if (charSetContains(value, rule.part)) return found(rule.encoding, rule.name ? rule.name : value);
    return std::nullopt;
}

// A mark names its order; without one, the zero byte of the leading "0"
// does, and the decoder is told that order rather than left to guess.
std::optional<CharsetGuess> CharsetDetection::byteOrder(std::string_view s) {
    if (s.starts_with("\xFE\xFF") || s.starts_with("\xFF\xFE")) return found(kUnicode, "UNICODE");
    if (s.starts_with(std::string_view("\0" "0", 2)))
        return found(encodingCode(TextEncoding::UTF16BigEndian), "UNICODE");
    if (s.starts_with(std::string_view("0\0", 2)))
        return found(encodingCode(TextEncoding::UTF16LittleEndian), "UNICODE");
    if (s.starts_with("\xEF\xBB\xBF")) return found(4, "UTF-8");
    return std::nullopt;
}

CharsetGuess CharsetDetection::detect(std::string_view sample) {
    sample = sample.substr(0, kSampleSize);
    if (auto marked = byteOrder(sample)) return *marked;
    const std::size_t first = [&] {
        std::size_t i = 0;
        while (i < sample.size() && isBlank(static_cast<unsigned char>(sample[i]))) ++i;
        return i;
    }();
    CharsetGuess guess;
    if (first == sample.size() || sample[first] != '0') {
        guess.outcome = CharsetGuess::Outcome::NotGEDCOM;
        return guess;
    }
    const std::size_t at = sample.find("1 CHAR ");
    if (at == std::string_view::npos) return guess;
    std::string_view rest = sample.substr(at + 7);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    const std::string value = upperCased(rest);
    if (auto known = encodingForCharValue(value)) return *known;
    guess.guess = value;
    return guess;
}

}  // namespace kl
