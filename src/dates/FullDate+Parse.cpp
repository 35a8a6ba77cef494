#include "dates/FullDate.h"

#include "dates/DateCodes.h"
#include "dates/DateSettings.h"

#include <cstring>
#include <utility>

namespace kl {

using namespace date_codes;

namespace {

constexpr const char* kEnDash = "\xE2\x80\x93";
constexpr const char* kEmDash = "\xE2\x80\x94";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',' || c == '/';
}

std::string upperAscii(std::string_view word)
{
    std::string upper(word);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool startsWith(std::string_view word, std::string_view prefix)
{
    return word.substr(0, prefix.size()) == prefix;
}

// -1 when the word is not a number of at most five significant digits.
int numberToken(std::string_view word)
{
    if (word.empty())
        return -1;
    for (char c : word)
        if (!isDigit(c))
            return -1;
    std::size_t first = word.find_first_not_of('0');
    if (first == std::string_view::npos)
        return 0;
    if (word.size() - first > 5)
        return -1;
    int value = 0;
    for (char c : word.substr(first))
        value = value * 10 + (c - '0');
    if (value >= 1 && value <= 99 && word.size() >= 3)
        value += kLiteralYearMark;
    return value;
}

int codeIndex(std::string_view word, const char* const* codes, int count, std::size_t length)
{
    if (word.size() < length)
        return -1;
    for (int i = 0; i < count; ++i)
        if (word.substr(0, length) == codes[i])
            return i;
    return -1;
}

constexpr const char* kWesternCodes[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr const char* kHebrewCodes[] = {"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS",
                                        "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};
constexpr const char* kFrenchCodes[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                        "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};

struct NamePrefix {
    const char* prefix;
    int month;
    bool exact;
};

// Longer names first: ADARII must win over ADAR.
constexpr NamePrefix kHebrewNames[] = {
    {"TISH", 1, false}, {"HESH", 2, false}, {"CHES", 2, false},  {"KISL", 3, false},  {"TEVE", 4, false},
    {"TEVT", 4, false}, {"SHEV", 5, false}, {"ADARII", 7, false}, {"ADAR", 6, false}, {"NISA", 8, false},
    {"IYYA", 9, false}, {"IYAR", 9, false}, {"SIVA", 10, false}, {"TAMM", 11, false}, {"TAMUZ", 11, false},
    {"AV", 12, true},   {"ELUL", 13, false},
};

struct KeywordPrefix {
    const char* prefix;
    int code;
    bool exact;
};

constexpr KeywordPrefix kKeywords[] = {
    {"FROM", kFROM, true}, {"TO", kTO, true},   {"BEF", kBEF, false}, {"<", kBEF, true},
    {"ABT", kABT, false},  {"ABO", kABT, false}, {"C", kABT, true},    {"AFT", kAFT, false},
    {">", kAFT, true},     {"EST", kEST, false}, {"BET", kBET, false}, {"CAL", kCAL, false},
    {"AND", kAND, true},   {"INT", kINT, false},
};

struct ExactWord {
    const char* word;
    int code;
};

constexpr ExactWord kEraWords[] = {
    {"AD", kEra},       {"A.D.", kEra},       {"(AD)", kEra},       {"(A.D.)", kEra},
    {"BC", kBeforeEra}, {"B.C.", kBeforeEra}, {"(BC)", kBeforeEra}, {"(B.C.)", kBeforeEra},
};

constexpr ExactWord kEscapes[] = {
    {"@#DGREGORIAN@", kEscapeGregorian}, {"@#DROMAN@", kEscapeGregorian}, {"@#DJULIAN@", kEscapeJulian},
    {"@#DHEBREW@", kEscapeHebrew},       {"@#DFRENCH R@", kEscapeFrench}, {"@#DFRENCHR@", kEscapeFrench},
    {"@#DUNKNOWN@", kEscapeUnknown},
};

int hebrewNameMonth(std::string_view upper)
{
    for (const NamePrefix& n : kHebrewNames)
        if (n.exact ? upper == n.prefix : startsWith(upper, n.prefix))
            return n.month;
    return 0;
}

int keywordCode(std::string_view upper)
{
    for (const KeywordPrefix& k : kKeywords)
        if (k.exact ? upper == k.prefix : startsWith(upper, k.prefix))
            return k.code;
    return 0;
}

int exactWordCode(std::string_view upper, const ExactWord* table, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (upper == table[i].word)
            return table[i].code;
    return 0;
}

std::string quoted(std::string_view word, const char* rest)
{
    std::string message = "The date part '";
    message += word;
    message += rest;
    return message;
}

} // namespace

int FullDate::tokenizeWord(std::string_view word, Tokens& tokens)
{
    if (tokens.count >= kMaxTokens) {
        error_ = "The complete date has too many parts.";
        return -1;
    }
    auto add = [&tokens](int token) {
        tokens.values[tokens.count++] = token;
        return tokens.count;
    };
    if (const int number = numberToken(word); number >= 0)
        return add(number);
    const std::string upper = upperAscii(word);
    if (int i = codeIndex(upper, kWesternCodes, 12, 3); i >= 0)
        return add(kWesternMonthBase + 1 + i);
    if (int i = codeIndex(upper, kHebrewCodes, 13, 3); i >= 0)
        return add(kHebrewMonthBase + 1 + i);
    if (int i = codeIndex(upper, kFrenchCodes, 13, 4); i >= 0)
        return add(kFrenchMonthBase + 1 + i);
    if (startsWith(upper, "JOUR"))
        return add(kFrenchMonthBase + 13);
    if (const int month = hebrewNameMonth(upper); month != 0)
        return add(kHebrewMonthBase + month);
    if (const int code = keywordCode(upper); code != 0)
        return add(code);
    if (const int code = exactWordCode(upper, kEraWords, std::size(kEraWords)); code != 0)
        return add(code);
    if (!upper.empty() && upper.front() == '@' && upper.size() > 1 && upper.back() == '@') {
        if (const int code = exactWordCode(upper, kEscapes, std::size(kEscapes)); code != 0)
            return add(code);
        error_ = quoted(word, "' is an invalid calendar escape.");
        return -1;
    }
    if (!upper.empty() && upper.front() == '(') {
        if (!phrase_.empty()) {
            error_ = "The date has more than one comment phrase.";
            return -1;
        }
        phrase_ = word;
        if (prefix_ == 0)
            prefix_ = kINT;
        return tokens.count;
    }
    const bool afterAdar = tokens.count > 0 && tokens.values[tokens.count - 1] == kHebrewMonthBase + 6;
    if (afterAdar && upper == "I")
        return tokens.count;
    if (afterAdar && upper == "II") {
        tokens.values[tokens.count - 1] = kHebrewMonthBase + 7;
        return tokens.count;
    }
    error_ = quoted(word, "' is not allowed in dates.");
    return -1;
}

int FullDate::splitWords(std::string_view text, Tokens& tokens)
{
    const std::size_t n = text.size();
    std::size_t start = std::string_view::npos;
    auto classify = [&](std::string_view word) { return tokenizeWord(word, tokens) < 0 ? 1 : 0; };
    auto endWord = [&](std::size_t end) {
        if (start == std::string_view::npos)
            return 0;
        const std::string_view word = text.substr(start, end - start);
        start = std::string_view::npos;
        return classify(word);
    };
    auto begin = [&](std::size_t at) {
        if (start == std::string_view::npos)
            start = at;
    };
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        const char next = i + 1 < n ? text[i + 1] : '\0';
        if (isSeparator(c)) {
            if (endWord(i)) return 1;
            ++i;
        } else if (c == '-') {
            if (next == '(') {
                begin(i);
                i += 2;
            } else {
                if (endWord(i)) return 1;
                ++i;
            }
        } else if (c == '.') {
            if (next == 'C' || next == 'D' || next == 'c' || next == 'd') {
                begin(i);
                i += 2;
                if (i < n && text[i] == '.')
                    ++i;
            } else {
                if (endWord(i)) return 1;
                ++i;
            }
        } else if (text.substr(i, 3) == kEnDash || text.substr(i, 3) == kEmDash) {
            if (endWord(i)) return 1;
            if (classify(text.substr(i, 3) == kEnDash ? "TO" : "AND")) return 1;
            i += 3;
        } else if ((c == '<' || c == '>') && start == std::string_view::npos) {
            if (classify(text.substr(i, 1))) return 1;
            ++i;
        } else if ((c == 'C' || c == 'c') && start == std::string_view::npos && isDigit(next)) {
            if (classify(text.substr(i, 1))) return 1;
            ++i;
        } else if ((c == 'A' || c == 'B' || c == 'a' || c == 'b') && start != std::string_view::npos
                   && isDigit(text[i - 1])) {
            if (endWord(i)) return 1;
            begin(i);
            ++i;
        } else if (c == '(' || c == '@') {
            if (endWord(i)) return 1;
            const std::size_t close = text.find(c == '(' ? ')' : '@', i + 1);
            if (close == std::string_view::npos) {
                error_ = c == '(' ? "The date has unbalanced parentheses."
                                  : "The date has unbalanced calendar escape sequence.";
                return 1;
            }
            std::string word(text.substr(i, close - i + 1));
            for (char& w : word)
                if (w == '\t' || w == '\n' || w == '\r')
                    w = ' ';
            if (classify(word)) return 1;
            i = close + 1;
        } else {
            begin(i);
            ++i;
        }
    }
    return endWord(n);
}

int FullDate::parse(std::string_view text, int flags)
{
    return parse(text, flags, *DateSettings::current());
}

int FullDate::parse(std::string_view text, int flags, const DateSettings& settings)
{
    reset();
    Tokens tokens;
    if (splitWords(text, tokens) != 0)
        return 1;
    return assemble(tokens, flags, settings);
}

int FullDate::assemble(const Tokens& tokens, int flags, const DateSettings& settings)
{
    const bool exact = (flags & kExactDateFlag) != 0;
    const int calendar = flags & kCalendarMask;
    if (tokens.count == 0) {
        if (phrase_.empty()) {
            error_ = "The date is empty.";
            return 1;
        }
        if (exact) {
            error_ = "An exact date is needed but only a comment appears.";
            return 1;
        }
        return 0;
    }
    int begin = 0;
    if (isKeyword(tokens.values[0])) {
        prefix_ = tokens.values[0];
        begin = 1;
    }
    int split = -1;
    for (int i = begin; i < tokens.count; ++i)
        if (isKeyword(tokens.values[i]))
            split = i;
    if (!phrase_.empty()) {
        if (exact) {
            error_ = "An exact date can not have a comment phrase.";
            return 1;
        }
        if (split < 0 && begin == tokens.count)
            return 0;
    }
    if (split >= 0) {
        conjunction_ = tokens.values[split];
        if (conjunction_ == kTO) {
            if (prefix_ == 0)
                prefix_ = kFROM;
            else if (prefix_ != kFROM) {
                error_ = "The date range prefix is not allowed with conjuntion 'TO'.";
                return 1;
            }
        } else if (conjunction_ == kAND) {
            if (prefix_ == 0)
                prefix_ = kBET;
            else if (prefix_ != kBET) {
                error_ = "The date range prefix is not allowed with conjunction 'AND'.";
                return 1;
            }
        } else {
            error_ = "The date range conjuction word is not valid.";
            return 1;
        }
    }
    if (exact && (split >= 0 || prefix_ != 0)) {
        error_ = "An exact date can not be a date range or have qualifying words.";
        return 1;
    }
    const int firstEnd = split >= 0 ? split : tokens.count;
    const std::span<const int> all(tokens.values.data(), static_cast<std::size_t>(tokens.count));
    first_.emplace();
    if (first_->parse(all.subspan(begin, firstEnd - begin), *this, calendar, settings) != 0)
        return 1;
    if (split < 0) {
        if (exact && !first_->isComplete()) {
            error_ = "An exact date must have a day, a month, and a year.";
            return 1;
        }
        return 0;
    }
    second_.emplace();
    if (second_->parse(all.subspan(split + 1), *this, calendar, settings) != 0)
        return 1;
    if (first_->toSdn(ExactDate::kEarliest) > second_->toSdn(ExactDate::kEarliest))
        std::swap(first_, second_);
    normalizeRange();
    return 0;
}

void FullDate::normalizeRange()
{
    if (!first_ || !second_)
        return;
    ExactDate& a = *first_;
    ExactDate& b = *second_;
    if (a.calendar() != b.calendar() || a.isDoubleYear() != b.isDoubleYear())
        return;
    if (a.month() == 0 || a.day() > 2 || b.month() == 0)
        return;
    if (b.day() != 0 && b.day() < b.daysInMonth() - 1)
        return;
    a.setDay(0);
    b.setDay(0);
    if (a.month() == 1 && b.month() == b.monthsInYear()) {
        a.setMonth(0);
        b.setMonth(0);
    }
    if (a.month() == b.month() && a.year() == b.year() && a.sign() == b.sign()) {
        second_.reset();
        prefix_ = 0;
        conjunction_ = 0;
    }
}

} // namespace kl
