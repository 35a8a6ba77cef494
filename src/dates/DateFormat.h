#pragma once

#include <string>
#include <string_view>

namespace kl {

// How dates are written: a display pattern of literal text and %-directives,
// and the keyword style (0 lower-case words, 1 capitalised, 2 capitals,
// 3 symbols as written, 4 symbols lower-cased, 5+ symbols capitalised).
// A plain value: every formatting call is handed the DateFormat it uses, so
// threads never see each other's formats.
struct DateFormat {
    std::string pattern;
    int keywordStyle = 2;

    // The form in which dates are stored: "%e %d %M %y %b" with capital
    // keywords.
    static const DateFormat& normalized();

    // The word for a keyword code as the prefix of a date ("ABT", "<", "c").
    static std::string keywordWord(int code, int style);
    // The word between the two dates of a range; lower case in styles 0 and 1.
    static std::string conjunctionWord(int code, int style);
    // The keyword as the part text scripts read (capitalised in style 1).
    static std::string conjunctionPartWord(int code, int style);
};

// Writes a year, padded with zeros to four digits when pad is set.
std::string formatYearDigits(long long value, bool pad);

} // namespace kl
