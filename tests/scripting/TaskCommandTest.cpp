// Child processes of scripts: shell words, the synchronous run and the
// decoding of a child's output read in chunks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scripting/OutputDecoder.h"
#include "scripting/TaskCommand.h"
#include "support/CaseName.h"

namespace kl {
namespace {

struct WordsCase {
    const char* name;
    std::vector<std::string> words;
    bool background;
    bool handleSpaces;
    std::string command;
};

class ShellWords : public ::testing::TestWithParam<WordsCase> {};

TEST_P(ShellWords, BuildOneShellCommand) {
    TaskCommand task;
    task.setShellArguments(GetParam().words, GetParam().background, GetParam().handleSpaces);
    EXPECT_EQ(task.arguments(), (std::vector<std::string>{"/bin/sh", "-c", GetParam().command}));
    EXPECT_EQ(task.submitTaskAndExit(), GetParam().background);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ShellWords,
    ::testing::Values(WordsCase{"SpacesQuoted", {"ls", "-l", "My Folder"}, false, true, "ls -l 'My Folder'"},
                      WordsCase{"Background", {"ls", "-l", "My Folder"}, true, true, "ls -l 'My Folder' &"},
                      WordsCase{"QuoteEscaped", {"echo", "it's"}, false, true, "echo 'it'\\''s'"},
                      WordsCase{"ShellCharactersQuoted", {"echo", "$HOME;`x`|y"}, false, true, "echo '$HOME;`x`|y'"},
                      WordsCase{"PlainWordsLeft", {"cp", "a_b@c%d+e=f:g,h./-"}, false, true, "cp a_b@c%d+e=f:g,h./-"},
                      WordsCase{"EmptyWordKept", {"printf", ""}, false, true, "printf ''"},
                      WordsCase{"WithoutHandlingAsGiven", {"echo", "$HOME"}, false, false, "echo $HOME"}),
    test::CaseName());

// Whatever a word holds reaches the program as that one argument.
TEST(ShellWordsRun, HostileWordArrivesUnchanged) {
    TaskCommand task;
    task.setShellArguments({"printf", "%s|", "it's $HOME; ls", "`id`"}, false, true);
    EXPECT_EQ(task.runAndGetTaskData(std::nullopt, std::nullopt), "it's $HOME; ls|`id`|");
}

struct RunCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string result;  // a result that starts with it when it ends in "…"
};

class SynchronousRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(SynchronousRun, ReportsEveryFailureInsideTheText) {
    TaskCommand task;
    task.setArguments(GetParam().arguments);
    const std::string result = task.runAndGetTaskData(std::nullopt, std::nullopt);
    std::string expected = GetParam().result;
    if (expected.ends_with("…")) {
        expected.resize(expected.size() - std::string("…").size());
        EXPECT_TRUE(result.starts_with(expected)) << result;
    } else {
        EXPECT_EQ(result, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SynchronousRun,
    ::testing::Values(RunCase{"NoArguments", {}, "ERROR\nSubProess: No arguments provided for the subprocess"},
                      RunCase{"MissingProgram", {"/no/such/program"}, "ERROR\n/no/such/program: No such file…"},
                      RunCase{"NonZeroStatus", {"/bin/sh", "-c", "echo x; exit 1"}, "ERROR\nx\n"},
                      RunCase{"BothStreamsInOnePipe", {"/bin/sh", "-c", "echo out; echo err >&2"}, "out\nerr\n"},
                      RunCase{"KilledBySignal", {"/bin/sh", "-c", "kill -9 $$"}, "ERROR\n"},
                      RunCase{"InvalidBytesAsMacRoman", {"/usr/bin/printf", "caf\\351 \\216"}, "caf\xC3\x88 \xC3\xA9"}),
    test::CaseName());

TEST(SynchronousRunSetting, FolderAndEnvironmentReplaceTheApplications) {
    TaskCommand task;
    task.setArguments({"/bin/sh", "-c", "pwd; echo \"[$ONLY][$HOME]\""});
    const auto folder = std::filesystem::canonical(std::filesystem::temp_directory_path());
    EXPECT_EQ(task.runAndGetTaskData(folder, TaskCommand::Environment{{"ONLY", "one"}}),
              folder.string() + "\n[one][]\n");
}

struct DecodeCase {
    const char* name;
    std::vector<std::string> chunks;
    std::string text;
};

class ChunkDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(ChunkDecoding, KeepsCutSequencesAndFallsBackOnlyForInvalidBytes) {
    OutputDecoder decoder;
    std::string text;
    for (const std::string& chunk : GetParam().chunks) text += decoder.decode(chunk);
    text += decoder.finish();
    EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ChunkDecoding,
    ::testing::Values(DecodeCase{"SplitTwoByteArrivesWhole", {"caf\xC3", "\xA9!"}, "caf\xC3\xA9!"},
                      DecodeCase{"SplitFourByteOverThreeReads", {"\xF0\x9F", "\x98", "\x80"}, "\xF0\x9F\x98\x80"},
                      DecodeCase{"LoneRomanByte", {"\x8E"}, "\xC3\xA9"},
                      DecodeCase{"BrokenSequenceOnlyLeadFallsBack", {"\xC3(x"}, "\xE2\x88\x9A(x"},
                      DecodeCase{"OverlongIsInvalid", {"\xC0\xAF"}, "\xC2\xBF\xC3\x98"},
                      DecodeCase{"CutAtTheEndOfTheStream", {"ab\xE2\x82"}, "ab\xE2\x80\x9A\xC3\x87"}),
    test::CaseName());

}  // namespace
}  // namespace kl
