#include <gtest/gtest.h>

#include <climits>

#include "editor/TextLines.h"

namespace kl {
namespace {

struct LineCase {
    const char* name;
    std::u16string text;
    long long line;
    TextRange range;
    bool pastEnd;
};

TEST(TextLinesTest, RangeOfLineByNumber) {
    std::u16string twelve;
    for (int i = 1; i <= 12; ++i) twelve += u"line " + std::u16string(1, u'a' + i - 1) + u"\n";
    const LineCase cases[] = {
        {"empty text", u"", 1, {0, 0}, true},
        {"leading line feed", u"\nsecond", 1, {0, 0}, false},
        {"line after a leading feed", u"\nsecond", 2, {1, 6}, false},
        {"first line without terminator", u"only", 1, {0, 4}, false},
        {"crlf is one terminator", u"ab\r\ncd\r\nef", 2, {4, 2}, false},
        {"lone carriage return", u"ab\rcd", 2, {3, 2}, false},
        {"blank line between", u"a\n\nb", 2, {2, 0}, false},
        {"unicode separators", u"a\u2028b\u2029c\u0085d", 4, {6, 1}, false},
        {"past the end selects the last line", twelve, 999, {77, 6}, true},
        {"a final terminator opens no line", u"a\nb\n", 3, {2, 1}, true},
        {"zero selects the last line", twelve, 0, {77, 6}, true},
        {"negative selects the last line", u"a\nbc", -4, {2, 2}, true},
    };
    for (const LineCase& c : cases) {
        bool pastEnd = !c.pastEnd;
        EXPECT_EQ(rangeOfLine(c.text, c.line, &pastEnd), c.range) << c.name;
        EXPECT_EQ(pastEnd, c.pastEnd) << c.name;
    }
}

TEST(TextLinesTest, TypedLineNumbers) {
    const std::pair<std::u16string, int> cases[] = {
        {u"12", 12},          {u"  7", 7},           {u"+3", 3},
        {u"-2", -2},          {u"42abc", 42},        {u"abc", 0},
        {u"", 0},             {u"99999999999999999999", INT_MAX},
        {u"-99999999999999999999", INT_MIN},
    };
    for (const auto& [typed, value] : cases) EXPECT_EQ(lineNumberValue(typed), value);
}

}  // namespace
}  // namespace kl
