// Plain commands on texts, names, dates and files, run by the interpreter.
#include <filesystem>
#include <fstream>

#include "ScriptTestSupport.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

class TextCommands : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(TextCommands, ComputeTheirVariables) {
    ScriptHarness harness;
    expectOutcome(harness.run(GetParam().script), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    LinesAndWords, TextCommands,
    ::testing::Values(
        ScriptCase{"AllLines", "lines \"#l\", 1, 0, \"a\"&return&\"b\"&return&\"c\"\nwrite #l[0], #l[1], #l[3]",
                   "3,a,c", nullptr},
        ScriptCase{"LastTwoLines", "lines \"#l\", -1, 0, \"a\"&return&\"b\"&return&\"c\"\nwrite #l[0], #l[1], #l[2]",
                   "2,b,c", nullptr},
        ScriptCase{"ToBeforeFromStoresNoItems", "lines \"#l\", 3, 2, \"a\"&return&\"b\"&return&\"c\"\nwrite #l[0]",
                   "0", nullptr},
        ScriptCase{"ToPastTheEndStops", "lines \"#l\", 2, 9, \"a\"&return&\"b\"\nwrite #l[0], #l[1]", "1,b", nullptr},
        ScriptCase{"FromFarBeforeTheStartIsOne", "lines \"#l\", -9, 1, \"a\"&return&\"b\"\nwrite #l[0], #l[1]", "1,a",
                   nullptr},
        ScriptCase{"WordsSkipDoubleBlanks", "words \"#w\", 2, 3, \"a  b c\"\nwrite #w[0], #w[1], #w[2]", "2,b,c",
                   nullptr},
        ScriptCase{"WordsAtASeparatorKeepEmpties", "words \"#w\", 1, 0, \"a,,b\", \",\"\nwrite #w[0], \"[\"&#w[2]&\"]\"",
                   "3,[]", nullptr},
        ScriptCase{"LinesNeedFourArguments", "lines \"#l\", 1, 0", "", "Lines command needs at least four arguments."},
        ScriptCase{"WordsNeedAPlainBase", "words \"#w[1]\", 1, 0, \"a\"", "",
                   "First parameter in Words command must evaluate to a non-array variable name"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    SearchAndReplace, TextCommands,
    ::testing::Values(
        ScriptCase{"ReplaceEvery", "replace \"#r\", \"o\", \"0\", \"foo boo\"\nwrite #r", "f00 b00", nullptr},
        ScriptCase{"ReplaceIsCaseSensitive", "replace \"#r\", \"O\", \"0\", \"foo\"\nwrite #r", "foo", nullptr},
        ScriptCase{"OffsetForward", "offset \"#o\", \"x\", 1, \"abcx\"\nwrite #o", "4", nullptr},
        ScriptCase{"OffsetIgnoresCase", "offset \"#o\", \"X\", 1, \"abcx\"\nwrite #o", "4", nullptr},
        ScriptCase{"OffsetStartPastTheEnd", "offset \"#o\", \"x\", 9, \"abcx\"\nwrite #o", "0", nullptr},
        ScriptCase{"OffsetFromTheStartPosition", "offset \"#o\", \"a\", 2, \"abca\"\nwrite #o", "4", nullptr},
        ScriptCase{"OffsetBackwardWithinTheFirstPart", "offset \"#o\", \"a\", -1, \"abcaa\"\nwrite #o", "4", nullptr},
        ScriptCase{"OffsetBackwardPastTheStartFindsNothing", "offset \"#o\", \"a\", -9, \"abc\"\nwrite #o", "0",
                   nullptr},
        ScriptCase{"OffsetCountsCharacters", "offset \"#o\", \"x\", 1, \"äöx\"\nwrite #o", "3", nullptr},
        ScriptCase{"OffsetStartThatIsNoNumberIsOne", "offset \"#o\", \"b\", \"z\", \"ab\"\nwrite #o", "2", nullptr},
        ScriptCase{"NeedsAVariable", "replace r, a, b, c", "",
                   "First parameter to this command must evaluate to a variable starting in '#'"},
        ScriptCase{"MissingTextIsReported", "replace \"#r\", a, b", "", "Command needs more than 3 arguments"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    TeXAndHTML, TextCommands,
    ::testing::Values(
        ScriptCase{"PercentKeepsTheControlSpace", "safetex \"#t\", \"50% off\"\nwrite #t", "50\\%\\ off", nullptr},
        ScriptCase{"Quotes", "safetex \"#t\", quote&\"Hi\"&quote&\".\"\nwrite #t", "``Hi''.", nullptr},
        ScriptCase{"QuoteAtTheEnd", "safetex \"#t\", \"a \"&quote&\"b\"&quote\nwrite #t", "a ``b''", nullptr},
        ScriptCase{"VerbatimAndMath", "safetex \"#t\", \"~a<b\"\nwrite #t", "\\verb|~|a$<$b", nullptr},
        ScriptCase{"NoBreakSpace", "safetex \"#t\", \"a\xC2\xA0" "b\"\nwrite #t", "a~b", nullptr},
        ScriptCase{"OwnPairsFirst",
                   "createlist from \"é\" 5\ncreatelist to E x\ncreatelist pairs from to\n"
                   "safetex \"#t\", \"é\xC2\xA0\", pairs\nwrite #t",
                   "E~", nullptr},
        ScriptCase{"PairsOfUnequalLength", "createlist a x y\ncreatelist b z\ncreatelist p a b\nsafetex \"#t\", x, p",
                   "", "Optional third parameter to SafeTex must be list containing exactly two other lists of the same length"},
        ScriptCase{"PairsNeedTwoLists", "createlist a x\ncreatelist p a\nsafetex \"#t\", x, p", "",
                   "Optional third parameter to SafeTex must be list containing exactly two other lists"},
        ScriptCase{"PairsMustBeAList", "safetex \"#t\", x, nosuch", "",
                   "Optional third parameter to SafeTex must be a list"},
        ScriptCase{"HtmlEscapes", "safehtml \"#h\", \"a<b & \"&quote\nwrite #h", "a&lt;b &amp; &quot;", nullptr},
        ScriptCase{"HtmlAll", "safehtml \"#h\", \"a\"&return&\"b\", ALL\nwrite #h", "<p>a</p>\n<p>b</p>\n", nullptr},
        ScriptCase{"HtmlInterior", "safehtml \"#h\", \"a\"&return&\"b\", interior\nwrite #h", "a</p>\n<p>b",
                   nullptr},
        ScriptCase{"HtmlLinksNeedADocument", "createdictionary d\nsafehtml \"#h\", x, all, d", "",
                   "To reformat links, SafeHTML must target a document"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    NamesDatesAndBoxes, TextCommands,
    ::testing::Values(
        ScriptCase{"NameParts", "nameparts \"#n\", \"Karl Johan /Berg/ Jr.\"\nwrite #n[0], #n[1], #n[2], #n[3]",
                   "3,Karl Johan ,Berg, Jr.", nullptr},
        ScriptCase{"NamePartsWithoutSurname", "nameparts \"#n\", \"Karl\"\nwrite #n[0], \"[\"&#n[1]&\"]\", #n[2]",
                   "3,[],Karl", nullptr},
        ScriptCase{"FormatNameUpperSurname", "formatname \"#n\", \"Karl /Berg/\", UpperSurname\nwrite #n",
                   "Karl /BERG/", nullptr},
        ScriptCase{"DateNumbers", "datenumbers \"#d\", \"12 MAR 1850\"\nwrite #d[0], #d[1], #d[2], #d[3]",
                   "3,12,3,1850", nullptr},
        ScriptCase{"DateNumbersOfNoDate", "datenumbers \"#d\", \"nonsense\"\nwrite #d[0]", "0", nullptr},
        ScriptCase{"DateParts", "dateparts \"#d\", \"BET 1850 AND 1860\"\nwrite #d[0], #d[2], #d[4]", "5,1850,1860",
                   nullptr},
        ScriptCase{"DateStyleFormat", "datestyle \"#d\", \"12 MAR 1850\", \"%y\"\nwrite #d", "1850", nullptr},
        ScriptCase{"SdnRange", "sdnrange \"#r\", \"1850\"\nwrite #r[0], #r[2]-#r[1]", "2,364", nullptr},
        ScriptCase{"SdnRangeOfNoDate", "sdnrange \"#r\", \"nonsense\"\nwrite #r[1], #r[2]", "0,0", nullptr},
        ScriptCase{"DayNumberBackToADate",
                   "sdnrange \"#r\", \"1 JAN 1850\"\ndatetext \"#d\", #r[1]+0.7, \"%y\"\nwrite #d", "1850",
                   nullptr},
        ScriptCase{"LonLatBounds", "lonlatbounds box, \"(10, 20), (12, 25)\"\nwrite @box.count, @box.2, @box.3",
                   "4,5,2", nullptr},
        ScriptCase{"LonLatBoundsError", "lonlatbounds box, \"nonsense\"\nwrite @box.count", "1", nullptr},
        ScriptCase{"LonLatBoundsNeedsAnObjectName", "lonlatbounds \"#b\", x", "",
                   "First parameter in LonLatBounds must be a valid object variable name"}),
    caseName);

// ---- Files and folders --------------------------------------------------------------------

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("kl-filecommands-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string at(const std::string& name) const { return (folder / name).string(); }
    void write(const std::string& name, const std::string& text) const { std::ofstream(folder / name) << text; }
    std::string read(const std::string& name) const {
        std::ifstream in(folder / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder;
    ScriptHarness harness;
};

TEST_F(FileCommands, ImportReadsAFileBesideTheScript) {
    write("notes.txt", "ä line\nnext");
    const ScriptOutcome outcome = harness.run("import \"#t\", \"notes.txt\"\nwrite #t", {}, folder);
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "ä line\nnext");
}

TEST_F(FileCommands, ImportFailures) {
    write("latin1.txt", "caf\xE9");
    expectRefusals([this](const std::string& script) { return harness.run(script, {}, folder); },
                   {
        {"import \"#t\", \"\"", "File name not provided for Import command."},
        {"import \"#t\", \"missing.txt\"", "Error reading file: No such file or directory"},
        {"import \"#t\", \"latin1.txt\"", "Error reading file: the file is not UTF-8 text"},
        {"import t, \"x\"", "First parameter to Import must evaluate to a variable name starting in '#'"},
                   });
}

TEST_F(FileCommands, ExportReplacesTheFileWhole) {
    write("out.txt", "old text that is longer");
    const ScriptOutcome outcome = harness.run("export \"new\", \"" + at("out.txt") + "\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(read("out.txt"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(FileCommands, ExportIntoAMissingFolderIsReported) {
    const ScriptOutcome outcome = harness.run("export \"new\", \"" + at("no/such/out.txt") + "\"");
    EXPECT_TRUE(outcome.report.starts_with("Error writing file: ")) << outcome.report;
}

TEST_F(FileCommands, DeleteFilesSkipsEmptyAndMissingPaths) {
    write("a.txt", "a");
    fs::create_directories(folder / "sub" / "deeper");
    write("sub/deeper/b.txt", "b");
    const ScriptOutcome outcome =
        harness.run("deletefiles \"\", \"" + at("a.txt") + "\", \"" + at("gone") + "\", \"" + at("sub") + "\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(FileCommands, MakeFolderAndUniqueFile) {
    write("report.html", "x");
    write("report 1.html", "x");
    write("plain", "x");
    const ScriptOutcome outcome = harness.run(
        "makefolder \"#a\", \"" + at("new/inner") + "\"\nmakefolder \"#b\", \"" + at("new") + "\"\n" +
        "makefolder \"#c\", \"" + at("plain") + "\"\nuniquefile \"#u\", \"" + at("report.html") + "\"\n" +
        "uniquefile \"#v\", \"" + at("fresh.html") + "\"\nuniquefile \"#w\", \"" + at("plain") + "\"\n" +
        "write #a, #b, #c, #u, #v, #w");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "true,true,false," + at("report 2.html") + "," + at("fresh.html") + "," + at("plain 1"));
    EXPECT_TRUE(fs::is_directory(folder / "new" / "inner"));
}

TEST_F(FileCommands, CompressZipsTheFolderBesideIt) {
    if (!fs::exists("/usr/bin/zip")) GTEST_SKIP() << "no zip program";
    fs::create_directories(folder / "album");
    write("album/a.txt", "a");
    write("album.zip", "taken");
    const ScriptOutcome outcome = harness.run("compress \"#z\", \"" + at("album") + "/\"\nwrite #z");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, at("album 1.zip"));
    EXPECT_GT(fs::file_size(folder / "album 1.zip"), 0u);
}

TEST_F(FileCommands, CompressRefusals) {
    write("plain", "x");
    expectRefusals([this](const std::string& script) { return harness.run(script); },
                   {
        {"compress \"#z\", \"\"", "Second parameter in Compress must not be empty folder path"},
        {"compress \"#z\", \"" + at("plain") + "\"", "First parameter in Compress must be an existing folder"},
        {"compress z, x", "First parameter to Compress must evaluate to a variable starting in '#'."},
                   });
}

}  // namespace
}  // namespace kl::test
