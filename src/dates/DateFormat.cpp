#include "dates/DateFormat.h"

#include "dates/DateCodes.h"
#include "foundation/AsciiText.h"

#include <cctype>

namespace kl {

namespace {

using namespace date_codes;

constexpr const char* kPlainWords[] = {"FROM", "TO", "BEF", "ABT", "AFT", "EST", "BET", "CAL", "INT", "AND"};
// UTF-8 en dash for TO and em dash for AND.
constexpr const char* kSymbolWords[] = {"FROM", "\xE2\x80\x93", "<", "c", ">", "EST", "BET", "CAL", "INT", "\xE2\x80\x94"};

bool isKnown(int code)
{
    return isKeyword(code);
}

std::string capitalised(std::string word)
{
    word = asciiLower(word);
    if (!word.empty())
        word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    return word;
}

bool startsWithCapital(const std::string& word)
{
    return !word.empty() && word[0] >= 'A' && word[0] <= 'Z';
}

// Case of a word in a style; the plain styles only ever see capital words.
std::string styled(std::string word, int style)
{
    switch (style) {
    case 0: return asciiLower(word);
    case 1: return capitalised(std::move(word));
    case 2:
    case 3: return word;
    case 4: return startsWithCapital(word) ? asciiLower(word) : word;
    default:
        if (style < 0)
            return asciiLower(word);
        return startsWithCapital(word) ? capitalised(std::move(word)) : word;
    }
}

std::string rawWord(int code, int style)
{
    const int index = code - kFROM;
    return style >= 3 ? kSymbolWords[index] : kPlainWords[index];
}

} // namespace

const DateFormat& DateFormat::normalized()
{
    static const DateFormat format{"%e %d %M %y %b", 2};
    return format;
}

std::string DateFormat::keywordWord(int code, int style)
{
    if (!isKnown(code))
        return {};
    return styled(rawWord(code, style), style);
}

std::string DateFormat::conjunctionWord(int code, int style)
{
    if (!isKnown(code))
        return {};
    if (style == 0 || style == 1)
        return asciiLower(rawWord(code, style));
    return styled(rawWord(code, style), style);
}

std::string DateFormat::conjunctionPartWord(int code, int style)
{
    return keywordWord(code, style);
}

std::string formatYearDigits(long long value, bool pad)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (pad && digits.size() < 4)
        digits.insert(0, 4 - digits.size(), '0');
    if (value < 0)
        digits.insert(0, 1, '-');
    return digits;
}

} // namespace kl
