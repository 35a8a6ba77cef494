#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <unistd.h>

#include "model/wex.h"
#include "support/CaseName.h"

namespace fs = std::filesystem;
using namespace kl;

namespace {

struct TextCase {
    const char* name;
    std::function<std::string(std::string_view)> op;
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name << "(\"" << c.input << "\")"; }

class WexTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(WexTextTest, GivesExpectedText) {
    const TextCase& c = GetParam();
    EXPECT_EQ(c.op(c.input), c.expected) << c.name << " of \"" << c.input << "\"";
}

auto trimmed = [](std::string_view s) { return wex::nonWhiteString(s, false); };
auto escaped = [](std::string_view s) { return wex::nonWhiteString(s, true); };
auto uncomment = [](std::string_view s) { return wex::deleteComment(s, false); };
auto uncommentNotEqual = [](std::string_view s) { return wex::deleteComment(s, true); };

INSTANTIATE_TEST_SUITE_P(
    Words, WexTextTest,
    ::testing::Values(
        TextCase{"removeWhiteTail", wex::removeWhiteTail, "ab \t\n", "ab"},
        TextCase{"removeWhiteTail", wex::removeWhiteTail, "  ", "  "},
        TextCase{"removeWhiteTail", wex::removeWhiteTail, " a b ", " a b"},
        // Only the four ASCII white characters count: NBSP and form feed stay.
        TextCase{"removeWhiteTail", wex::removeWhiteTail, "a\f", "a\f"},
        TextCase{"removeWhiteTail", wex::removeWhiteTail, "a\xC2\xA0", "a\xC2\xA0"},
        TextCase{"nonWhiteString", trimmed, "  ", ""},
        TextCase{"nonWhiteString", trimmed, "\r\n x y\t", "x y"},
        TextCase{"nonWhiteString", escaped, " my file\\ name ", "my\\ file\\ name"},
        TextCase{"getFirstWord", wex::getFirstWord, "  one two", "one"},
        TextCase{"getFirstWord", wex::getFirstWord, " \t ", ""},
        TextCase{"getLastWord", wex::getLastWord, "one two  ", "two"},
        TextCase{"getLastWord", wex::getLastWord, "", ""},
        TextCase{"deleteFirstWord", wex::deleteFirstWord, "one", ""},
        TextCase{"deleteFirstWord", wex::deleteFirstWord, " one  two three ", "two three "},
        TextCase{"deleteLastWord", wex::deleteLastWord, "one  two", "one"},
        TextCase{"deleteLastWord", wex::deleteLastWord, "  two ", ""},
        TextCase{"deleteLastWord", wex::deleteLastWord, " a b c", " a b"},
        TextCase{"unquote", wex::unquote, "  'x'  ", "x"},
        TextCase{"unquote", wex::unquote, "\"'y'\"", "y"},
        TextCase{"unquote", wex::unquote, "\"z'", "\"z'"},
        TextCase{"unquote", wex::unquote, "\"", "\""},
        TextCase{"unquote", wex::unquote, "   ", ""},
        TextCase{"makeArg", wex::makeArg, "plain", "plain"},
        TextCase{"makeArg", wex::makeArg, "a b", "\"a b\""},
        TextCase{"makeArg", wex::makeArg, "say \"hi\"", "'say \"hi\"'"},
        TextCase{"makeArg", wex::makeArg, "it's \"x\"", "\"it's 'x'\""},
        TextCase{"deleteComment", uncomment, "x = 1 ! note", "x = 1 "},
        TextCase{"deleteComment", uncomment, "say \"hi!\" now", "say \"hi!\" now"},
        TextCase{"deleteComment", uncomment, "say 'hi! there", "say 'hi! there"},
        TextCase{"deleteComment", uncomment, "if a != b", "if a "},
        TextCase{"deleteComment", uncommentNotEqual, "if a != b", "if a != b"},
        TextCase{"deleteComment", uncommentNotEqual, "if a != b ! why", "if a != b "},
        TextCase{"macPathToUnix", wex::macPathToUnix, "HD:Users:x.ged", "/Volumes/HD/Users/x.ged"},
        TextCase{"macPathToUnix", wex::macPathToUnix, ":a:b", "a/b"},
        TextCase{"macPathToUnix", wex::macPathToUnix, "/usr/local", "/usr/local"},
        TextCase{"standardizePath", wex::standardizePath, "/a/./b/../c//", "/a/c"},
        TextCase{"standardizePath", wex::standardizePath, "/", "/"}),
    [](const auto& info) { return std::string(info.param.name) + "_" + std::to_string(info.index); });

// Texts that must come back as one argument, unchanged, whatever they hold.
class MakeArgRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MakeArgRoundTripTest, ReadsBackAsOneArgument) {
    const std::string& text = GetParam();
    auto args = wex::notWhiteArgs("cmd " + wex::makeArg(text) + " tail");
    ASSERT_EQ(args.size(), 3u) << wex::makeArg(text);
    EXPECT_EQ(args[1], text);
    EXPECT_EQ(wex::deleteComment("cmd " + wex::makeArg(text), false), "cmd " + wex::makeArg(text));
}

INSTANTIATE_TEST_SUITE_P(Texts, MakeArgRoundTripTest,
                         ::testing::Values("a b", "a,b", "a\tb", "wow!", "it's", "say \"hi\"", "", "Zoë Ångström",
                                           "x, 'y'"), ::kl::test::CaseName());

TEST(WexArgs, SplitsCommandLines) {
    struct Case {
        std::string line;
        std::vector<std::string> args;
    } cases[] = {
        {"set \"a b\",'c,d' e", {"set", "a b", "c,d", "e"}},
        {"a , b", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a\t b", {"a", "b"}},
        {"  lead   trail  ", {"lead", "trail"}},
        {"a,", {"a"}},
        {"", {}},
        {"   ", {}},
        {"x \"open quote, never closed", {"x", "\"open quote, never closed"}},
        {"é,ü ñ", {"é", "ü", "ñ"}},
    };
    for (const auto& c : cases) EXPECT_EQ(wex::notWhiteArgs(c.line), c.args) << c.line;
}

TEST(WexArgs, SplitsOnGivenSeparators) {
    EXPECT_EQ(wex::notWhiteArgs("a;b ; 'c;d';e f", ";"), (std::vector<std::string>{"a", "b", "c;d", "e f"}));
    EXPECT_EQ(wex::notWhiteArgs("a→b → c", "→ "), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(WexArgs, SeparatorScansReportTheCharacter) {
    char32_t c = 0;
    EXPECT_EQ(wex::argSeparatorFrom("ab,c", 0, &c), 2);
    EXPECT_EQ(c, U',');
    EXPECT_EQ(wex::argSeparatorFrom("'a b' c", 0, &c), 5);
    EXPECT_EQ(c, U' ');
    EXPECT_EQ(wex::argSeparatorFrom("abc", 1, &c), 3);
    EXPECT_EQ(c, U'?');
    EXPECT_EQ(wex::notSpaceFrom("  \tx", 0, &c), 2);
    EXPECT_EQ(c, U'\t');
    EXPECT_EQ(wex::notSpaceFrom("a  é", 1, &c), 3);
    EXPECT_EQ(c, U'é');
    EXPECT_EQ(wex::notSpaceFrom("a  ", 1, &c), 3);
    EXPECT_EQ(c, U' ');
}

TEST(WexWhite, ScansAnswerEndsWhenNothingFound) {
    const std::string_view t = " ab c ";
    struct Case {
        const char* what;
        wex::Index got, expected;
    } cases[] = {
        {"notWhiteFrom 0", wex::notWhiteFrom(t, 0), 1},
        {"notWhiteFrom 5", wex::notWhiteFrom(t, 5), 6},
        {"notWhiteFrom past end", wex::notWhiteFrom(t, 9), 9},
        {"whiteFrom 1", wex::whiteFrom(t, 1), 3},
        {"whiteFrom in c", wex::whiteFrom("abc", 1), 3},
        {"notWhiteBefore 5", wex::notWhiteBefore(t, 5), 4},
        {"notWhiteBefore 0", wex::notWhiteBefore(t, 0), -1},
        {"notWhiteBefore negative", wex::notWhiteBefore(t, -3), -3},
        {"whiteBefore 2", wex::whiteBefore(t, 2), 0},
        {"whiteBefore none", wex::whiteBefore("abc", 2), -1},
        {"firstNotWhite", wex::firstNotWhite(t), 1},
        {"lastNotWhite", wex::lastNotWhite(t), 4},
        {"lastNotWhite empty", wex::lastNotWhite(""), -1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
    EXPECT_EQ(wex::notWhiteRange(t), (wex::Range{1, 4}));
    EXPECT_EQ(wex::notWhiteRange(" \r\n"), (wex::Range{wex::NotFound, 0}));
    EXPECT_TRUE(wex::isAllWhite(""));
    EXPECT_TRUE(wex::isAllWhite(" \t\r\n"));
    EXPECT_FALSE(wex::isAllWhite(" \f"));
}

TEST(WexText, RepeatsReplacesAndFormatsNumbers) {
    EXPECT_EQ(wex::whiteString(3), "   ");
    EXPECT_EQ(wex::whiteString(-1), "");
    EXPECT_EQ(wex::repeatString("ab", 3), "ababab");
    EXPECT_EQ(wex::repeatString("ab", 0), "");
    EXPECT_EQ(wex::replaceOccurrencesOfString("aXbXX", "X", "--"), "a--b----");
    EXPECT_EQ(wex::replaceOccurrencesOfString("aaa", "aa", "b"), "ba");
    EXPECT_EQ(wex::replaceOccurrencesOfString("abc", "", "z"), "abc");
    EXPECT_EQ(wex::DbleToString(0.1), "0.1");
    EXPECT_EQ(wex::DbleToString(1234567890.0), "1.2345679e+09");
    EXPECT_EQ(wex::DbleToString(-2.5), "-2.5");
    EXPECT_EQ(wex::DbleToString(100), "100");
    EXPECT_EQ(wex::DbleToString(-std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(wex::DbleToString(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(WexLines, SplitsOnEveryStandardLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\nb\rc\n", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\xC2\x85" "d", {"a", "b", "c", "d"}},
        {"\xC3\xA2\xE2\x82\xAC", {"\xC3\xA2\xE2\x82\xAC"}},  // lead bytes of line ends inside other characters
    };
    for (const auto& c : cases) EXPECT_EQ(wex::linesToArray(c.text), c.lines) << c.text;
}

TEST(WexLines, FirstLineAndOneLine) {
    bool more = true;
    EXPECT_EQ(wex::getFirstLine("one\r\ntwo", &more), "one");
    EXPECT_TRUE(more);
    EXPECT_EQ(wex::getFirstLine("one\r\n", &more), "one");
    EXPECT_FALSE(more);
    EXPECT_EQ(wex::getFirstLine("", &more), "");
    EXPECT_FALSE(more);
    EXPECT_TRUE(wex::isOneLine("one\n"));
    EXPECT_TRUE(wex::isOneLine(""));
    EXPECT_FALSE(wex::isOneLine("one\ntwo"));
}

TEST(WexLines, LineBoundsIgnoreLoneCarriageReturns) {
    struct Case {
        std::string text;
        wex::Range range;
        wex::Index start, end, contentsEnd;
    } cases[] = {
        {"ab\ncd", {0, 0}, 0, 3, 2},
        {"ab\ncd", {4, 0}, 3, 5, 5},
        {"ab\r\ncd", {1, 0}, 0, 4, 3},    // CR LF: contents end on the LF
        {"ab\rcd\nef", {4, 0}, 0, 6, 5},  // a lone CR continues the line
        {"ab\rcd\nef", {0, 1}, 0, 6, 5},
        {"a\xE2\x80\xA9" "b\ncd", {0, 0}, 0, 6, 5},  // paragraph separator continues
        {"a\xE2\x80\xA8" "b\ncd", {0, 0}, 0, 4, 1},  // line separator ends
        {"ab\ncd\nef", {1, 4}, 0, 6, 5},             // range over two lines
    };
    for (const auto& c : cases) {
        wex::Index start = -9, end = -9, contentsEnd = -9;
        wex::getLineStart(c.text, &start, &end, &contentsEnd, c.range);
        EXPECT_EQ(start, c.start) << c.text << " @" << c.range.location;
        EXPECT_EQ(end, c.end) << c.text << " @" << c.range.location;
        EXPECT_EQ(contentsEnd, c.contentsEnd) << c.text << " @" << c.range.location;
    }
    wex::getLineStart("x", nullptr, nullptr, nullptr, {0, 0});  // every out is optional
}

TEST(WexDates, EnglishNamesWhateverTheLocale) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 4;
    t.tm_sec = 9;
    t.tm_wday = 2;
    EXPECT_EQ(wex::formatEnglishDate(t, "d MMM yyyy"), "5 Mar 2024");
    EXPECT_EQ(wex::formatEnglishDate(t, "MMM d yyyy"), "Mar 5 2024");
    EXPECT_EQ(wex::formatEnglishDate(t, "HH:mm:ss"), "07:04:09");
    EXPECT_EQ(wex::formatEnglishDate(t, "EEEE, MMMM dd 'at' h a"), "Tuesday, March 05 at 7 AM");
    EXPECT_EQ(wex::formatEnglishDate(t, "yy-MM-dd"), "24-03-05");
    EXPECT_EQ(wex::todayString().size() >= 10, true);
    EXPECT_EQ(wex::nowTimeString().size(), 8u);
}

// A scratch folder of files and links, removed afterwards.
class WexPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("kl-wex-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "real" / "sub");
        std::ofstream(root / "real" / "sub" / "file.ged") << "0 HEAD\n";
        root = fs::path(*wex::stringByResolvingSymlinksAndAliases(root.string()));
    }
    void TearDown() override { fs::remove_all(root); }
    std::string at(const std::string& rel) const { return (root / rel).string(); }
    fs::path root;
};

TEST_F(WexPathsTest, ResolvesEveryLinkAlongThePath) {
    fs::create_directory_symlink("real", root / "dirlink");
    fs::create_symlink("sub/file.ged", root / "real" / "filelink");
    fs::create_symlink(at("dirlink/filelink"), root / "chain");
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("dirlink/sub/file.ged")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("chain")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("dirlink/sub/../filelink")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByIterativelyResolvingSymlinkOrAlias(at("real/filelink")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByIterativelyResolvingSymlinkOrAlias(at("real")), at("real"));
    EXPECT_EQ(wex::stringByConditionallyResolvingSymlink(at("real/filelink")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByConditionallyResolvingSymlink(at("real/sub/file.ged")), std::nullopt);
    EXPECT_EQ(wex::stringByResolvingSymlink(at("real/sub/file.ged")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByConditionallyResolvingAlias(at("chain")), at("real/sub/file.ged"));
    EXPECT_EQ(wex::stringByResolvingAlias(at("real")), at("real"));
}

TEST_F(WexPathsTest, FailsOnRelativeMissingDanglingAndCyclicPaths) {
    fs::create_symlink("nowhere", root / "dangling");
    fs::create_symlink("loop2", root / "loop1");
    fs::create_symlink("loop1", root / "loop2");
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases("relative/path"), std::nullopt);
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases("/"), "/");
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("real/missing")), std::nullopt);
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("dangling")), std::nullopt);
    EXPECT_EQ(wex::stringByResolvingSymlinksAndAliases(at("loop1")), std::nullopt);
    EXPECT_EQ(wex::stringByIterativelyResolvingSymlinkOrAlias(at("loop1")), std::nullopt);
    EXPECT_EQ(wex::stringByIterativelyResolvingSymlinkOrAlias(at("dangling")), std::nullopt);
    EXPECT_EQ(wex::stringByConditionallyResolvingSymlink(at("dangling")), at("nowhere"));
    EXPECT_EQ(wex::stringByConditionallyResolvingAlias(at("dangling")), std::nullopt);
}

}  // namespace
