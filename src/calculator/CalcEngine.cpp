#include "calculator/CalcEngine.h"

#include "dates/DateClock.h"
#include "dates/DateCodes.h"
#include "foundation/AsciiText.h"

#include <array>
#include <vector>

namespace kl {

namespace {

bool isWordSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',';
}

struct HebrewWord {
    std::string_view start;
    const char* code;  // the engine's month code
};

// The calculator's Hebrew month words, tried after the month codes.
constexpr HebrewWord kHebrewWords[] = {
    {"TISH", "TSH"}, {"CHES", "CSH"}, {"HESH", "CSH"}, {"KISL", "KSL"}, {"TEVT", "TVT"}, {"SHEV", "SHV"},
    {"NISA", "NSN"}, {"IYAR", "IYR"}, {"IYYA", "IYR"}, {"SIVA", "SVN"}, {"TAMM", "TMZ"}, {"ELUL", "ELL"},
};

constexpr std::string_view kWesternCodes[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::string_view kHebrewCodes[] = {"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS",
                                             "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
constexpr std::string_view kFrenchCodes[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                             "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};

bool isMonthCode(std::string_view word)
{
    for (std::string_view code : kWesternCodes)
        if (word.starts_with(code))
            return true;
    for (std::string_view code : kHebrewCodes)
        if (word.starts_with(code))
            return true;
    for (std::string_view code : kFrenchCodes)
        if (word.starts_with(code))
            return true;
    return word.starts_with("JOUR");
}

// The calculator's month word as the engine's code; "" for other words.
std::string hebrewCode(std::string_view word)
{
    if (word == "ADAR" || word == "ADARI" || word == "ADAR_I")
        return "ADR";
    if (word.starts_with("ADAR"))
        return "ADS";
    if (word == "AV")
        return "AAV";
    for (const HebrewWord& h : kHebrewWords)
        if (word.starts_with(h.start))
            return h.code;
    return {};
}

// Month names the engine reads but the calculator does not.
bool isForeignMonthWord(std::string_view word)
{
    return word == "I" || word == "II" || word.starts_with("TEVE") || word.starts_with("TAMU");
}

// The text with the calculator's month words in the engine's codes; the
// first word the calculator refuses, when there is one. Phrases and
// calendar escapes are left alone.
std::string translateWords(std::string_view text, std::string& refused)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '(' || c == '@') {
            const std::size_t close = text.find(c == '(' ? ')' : '@', i + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close + 1;
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        if (isWordSeparator(c)) {
            out += c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isWordSeparator(text[end]) && text[end] != '(' && text[end] != '@')
            ++end;
        const std::string_view word = text.substr(i, end - i);
        const std::string upperWord = asciiUpper(word);
        std::string code;
        if (!isMonthCode(upperWord))
            code = hebrewCode(upperWord);
        if (code.empty() && isForeignMonthWord(upperWord) && refused.empty())
            refused = word;
        out.append(code.empty() ? std::string(word) : code);
        i = end;
    }
    return out;
}

// The engine quotes with apostrophes; the calculator with angle brackets.
std::string calculatorMessage(std::string message)
{
    if (!message.starts_with("The date part '") && !message.starts_with("The date range prefix"))
        return message;
    const std::size_t open = message.find('\'');
    const std::size_t close = message.rfind('\'');
    if (open == std::string::npos || close <= open)
        return message;
    message[open] = '<';
    message[close] = '>';
    const std::size_t spelling = message.find("conjunction <");
    if (spelling != std::string::npos)
        message.replace(spelling, 11, "conjuntion");
    return message;
}

// The keyword code of the text's first word, 0 when it is none.
int firstWordCode(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t\r\n,");
    if (begin == std::string_view::npos)
        return 0;
    std::size_t end = begin;
    while (end < text.size() && !isWordSeparator(text[end]) && text[end] != '(')
        ++end;
    FullDate scratch;
    FullDate::Tokens tokens;
    if (scratch.tokenizeWord(text.substr(begin, end - begin), tokens) != 1)
        return 0;
    return tokens.values[0];
}

} // namespace

CalcEngine::CalcEngine()
{
    settings_.twoDigitYearCentury = 2000;
    settings_.dayBeforeMonth = true;
    settings_.spanStyle = 1;
    format_ = DateFormat{kDefaultDisplayFormat, 2};
}

int CalcEngine::parseDate(FullDate& date, std::string_view text, int calendar) const
{
    std::string refused;
    const std::string translated = translateWords(text, refused);
    if (!refused.empty()) {
        date = FullDate();
        date.setError("The date part <" + refused + "> is not allowed in dates.");
        return 1;
    }
    const bool read = date.parse(translated, calendar & FullDate::kCalendarMask, settings_) == 0;
    if (!date.phrase().empty()) {
        // The engine reads a phrase as making the date INT; a range then
        // fails on its prefix, which the calculator names by the phrase.
        const int firstWord = firstWordCode(translated);
        if (date_codes::isKeyword(firstWord) && firstWord != date_codes::kINT) {
            date.setError("A date with a comment phrase can only begin in INT.");
            return 1;
        }
        if (date.conjunctionCode() != 0 || date.errorText().starts_with("The date range prefix")) {
            date.setError("A date comment phrase not allowed in a date range.");
            return 1;
        }
    }
    if (!read) {
        date.setError(calculatorMessage(date.errorText()));
        return 1;
    }
    return 0;
}

std::string CalcEngine::formatDate(const FullDate& date, std::string_view pattern) const
{
    return date.format(DateFormat{std::string(pattern), format_.keywordStyle});
}

std::string CalcEngine::formatSpan(const TimeSpan& span, int style) const
{
    return span.format(style == 0 ? settings_.spanStyle : style);
}

std::string CalcEngine::todayText()
{
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const DateClock::LocalTime now = DateClock::now();
    if (now.month < 1 || now.month > 12)
        return "?";
    return std::to_string(now.day) + " " + kMonths[now.month - 1] + " " + std::to_string(now.year);
}

std::optional<std::string> CalcEngine::keyDate(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    if (asciiUpper(text.substr(begin, end - begin + 1)) != "TODAY")
        return std::nullopt;
    return todayText();
}

} // namespace kl
