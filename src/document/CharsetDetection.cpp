#include "document/CharsetDetection.h"

#include <array>
#include <cctype>

#include "model/TextEncoding.h"

namespace kl {

namespace {

constexpr uint32_t kUnicode = 10;
constexpr uint32_t kASCII = encodingCode(TextEncoding::ASCII);
constexpr uint32_t kWindows = encodingCode(TextEncoding::Windows1252);
constexpr uint32_t kCodePage437 = encodingCode(TextEncoding::CodePage437);

struct CharRule {
    const char* part;
    uint32_t encoding;
    const char* name;  // nullptr keeps the file's value
};

// First hit decides, so "UTF-8" must come before the Latin tests, "ASCII"
// before everything ("US-ASCII" is no Windows set) and the Windows names
// before the PC ones ("IBM WINDOWS" is Windows-1252).
constexpr std::array<CharRule, 21> kCharRules{{
    {"ASCII", kASCII, nullptr},
    {"ANSEL", 0x10000, nullptr},
    {"UTF-8", 4, "UTF-8"},
    {"UTF8", 4, "UTF-8"},
    {"UNICODE", kUnicode, "UNICODE"},
    {"UTF-16", kUnicode, "UNICODE"},
    {"WINDOWS", kWindows, nullptr},
    {"ANSI", kWindows, nullptr},
    {"1252", kWindows, nullptr},
    {"8859", kWindows, nullptr},
    {"LATIN", kWindows, nullptr},
    {"IBMPC", kCodePage437, nullptr},
    {"IBM-PC", kCodePage437, nullptr},
    {"IBM PC", kCodePage437, nullptr},
    {"DOS", kCodePage437, nullptr},
    {"CP437", kCodePage437, nullptr},
    {"CP-437", kCodePage437, nullptr},
    {"MACINTOSH", 30, nullptr},
    {"MACROMAN", 30, nullptr},
    {"MAC ROMAN", 30, nullptr},
    {"MAC", 30, nullptr},
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

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

// The value of the header's CHAR line, whatever its spacing and case
// ("1   char ANSEL"); nullopt without one.
std::optional<std::string_view> charValue(std::string_view sample) {
    std::size_t start = 0;
    while (start < sample.size()) {
        std::size_t end = sample.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = sample.size();
        std::string_view line = sample.substr(start, end - start);
        start = end + 1;
        std::size_t i = 0;
        while (i < line.size() && isSeparator(line[i])) ++i;
        if (i >= line.size() || line[i] != '1' || i + 1 >= line.size() || !isSeparator(line[i + 1])) continue;
        i += 1;
        while (i < line.size() && isSeparator(line[i])) ++i;
        if (line.size() - i < 4 || upperCased(line.substr(i, 4)) != "CHAR") continue;
        i += 4;
        if (i < line.size() && !isSeparator(line[i])) continue;
        while (i < line.size() && isSeparator(line[i])) ++i;
        std::size_t last = line.size();
        while (last > i && isSeparator(line[last - 1])) --last;
        return line.substr(i, last - i);
    }
    return std::nullopt;
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
    const auto declared = charValue(sample);
    // Without a CHAR line the file is read as ASCII is: by its bytes.
    if (!declared) return found(kASCII, "");
    const std::string value = upperCased(*declared);
    if (auto known = encodingForCharValue(value)) return *known;
    guess.guess = value;
    return guess;
}

uint32_t CharsetDetection::suggestedEncoding(std::string_view bytes) {
    return isValidUTF8(bytes) ? 4 : kWindows;
}

}  // namespace kl
