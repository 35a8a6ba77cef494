// Starting, stopping and refusing runs, script files, modules from the
// library folder and its language strings.
#include <fstream>
#include <thread>

#include "ScriptTestSupport.h"
#include "app/LibraryFolder.h"
#include "foundation/UserDefaults.h"
#include "scripting/RunServer.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    explicit TempFolder(const std::string& name) : path(fs::temp_directory_path() / name) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path path;
};

// Runs the main-thread queue until the condition holds or time runs out.
template <class Condition>
bool pumpUntil(ScriptHarness& harness, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        harness.dispatcher.waitForWork(std::chrono::milliseconds(5));
        harness.dispatcher.runPending();
    }
    return true;
}

TEST(ScriptThreads, StopDuringSleepEndsTheRunAfterTheSleep) {
    ScriptHarness harness;
    ASSERT_TRUE(harness.controller.interpretScriptText("write \"before\"\nsleep 0.2\nwrite \"after\"", "stop me",
                                                       fs::temp_directory_path()));
    ASSERT_TRUE(pumpUntil(harness, [&] { return harness.sink->output == "before"; }));
    harness.controller.killThread();
    EXPECT_EQ(harness.controller.server()->control(), RunServer::Killed);
    ASSERT_TRUE(harness.waitForEnd(0));
    EXPECT_EQ(harness.sink->output, "before");
    EXPECT_TRUE(harness.sink->done.empty());  // killed: no result
}

TEST(ScriptThreads, SecondRunIsRefusedAndTheFirstGoesOn) {
    AlertRecording alerts;
    ScriptHarness harness;
    ASSERT_TRUE(harness.controller.interpretScriptText("sleep 0.1\nwrite \"first\"", "first", fs::temp_directory_path()));
    EXPECT_FALSE(harness.controller.interpretScriptText("write \"second\"", "second", fs::temp_directory_path()));
    ASSERT_EQ(alerts.alerts->shown.size(), 1u);
    EXPECT_EQ(alerts.alerts->shown[0].message, "Another script is running");
    EXPECT_EQ(alerts.alerts->shown[0].informative, "Wait for it to end or stop it, then try again.");
    ASSERT_TRUE(harness.waitForEnd(0));
    EXPECT_EQ(harness.sink->output, "first");
    EXPECT_EQ(harness.sink->titles, (std::vector<std::string>{"first"}));
    // Once it has ended, the next one starts.
    EXPECT_EQ(harness.run("write \"third\"").output, "third");
}

TEST(ScriptThreads, DroppedInterpreterFinishesItsRun) {
    ScriptHarness harness;
    ASSERT_TRUE(harness.controller.interpretScriptText("sleep 0.05\nwrite \"kept\"", "t", fs::temp_directory_path()));
    std::weak_ptr<RunServer> first = harness.controller.server();
    harness.controller.initScripts();
    EXPECT_EQ(harness.controller.server(), nullptr);
    ASSERT_TRUE(harness.waitForEnd(0));
    EXPECT_EQ(harness.sink->output, "kept");
    harness.run("write \"next\"");
    EXPECT_NE(harness.controller.server(), first.lock());
}

TEST(ScriptThreads, ErrorHandedInFromThePanelEndsTheRun) {
    ScriptHarness harness;
    ASSERT_TRUE(harness.controller.interpretScriptText("write \"a\"\nsleep 0.1\nwrite \"b\"", "t", fs::temp_directory_path()));
    ASSERT_TRUE(pumpUntil(harness, [&] { return harness.sink->output == "a"; }));
    harness.controller.server()->outputError("The record could not be changed", nullptr);
    harness.controller.server()->setControl(RunServer::Killed);
    ASSERT_TRUE(harness.waitForEnd(0));
    EXPECT_EQ(harness.sink->output, "a");
    ASSERT_EQ(harness.sink->done.size(), 1u);
    EXPECT_TRUE(harness.sink->done[0].first.starts_with("The record could not be changed at char"))
        << harness.sink->done[0].first;
}

struct BadFileCase {
    const char* name;
    std::string bytes;
    bool exists;
};

class UnreadableScriptFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(UnreadableScriptFiles, AlertAndRunNothing) {
    TempFolder folder("kl-scripting-bad-file");
    const fs::path file = folder.path / "bad.klscpt";
    if (GetParam().exists) std::ofstream(file, std::ios::binary) << GetParam().bytes;
    AlertRecording alerts;
    ScriptHarness harness;
    EXPECT_FALSE(harness.controller.interpretScript(file, "bad"));
    ASSERT_EQ(alerts.alerts->shown.size(), 1u);
    EXPECT_EQ(alerts.alerts->shown[0].style, ModelAlerts::Style::Critical);
    EXPECT_EQ(alerts.alerts->shown[0].message, "Error opening a script file");
    EXPECT_EQ(alerts.alerts->shown[0].informative, "The error occured trying to read the 'bad.klscpt' script file");
    EXPECT_EQ(harness.sink->started, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableScriptFiles,
                         ::testing::Values(BadFileCase{"NotUTF8", "write \"\xff\xfe\"\n", true},
                                           BadFileCase{"Missing", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptFiles, RunFromTheirFolderWithTheirTitle) {
    TempFolder folder("kl-scripting-file");
    std::ofstream(folder.path / "Helpers.klscpt") << "sub Shout #t\nreturn #t&\"!\"\nendsub\n";
    std::ofstream(folder.path / "main.klscpt") << "load \"Helpers\"\nShout(\"hey\")\nwrite #returnValue$\n";
    ScriptHarness harness;
    ASSERT_TRUE(harness.controller.interpretScript(folder.path / "main.klscpt", "Main Script"));
    ASSERT_TRUE(harness.waitForEnd(0));
    EXPECT_EQ(harness.sink->titles, (std::vector<std::string>{"Main Script"}));
    EXPECT_EQ(harness.sink->output, "hey!");
}

// A library folder whose System copy is the shipped resources.
class LibraryModules : public ::testing::Test {
protected:
    void SetUp() override {
        const char* saved = std::getenv("XDG_DATA_HOME");
        savedData_ = saved ? std::optional<std::string>(saved) : std::nullopt;
        setenv("XDG_DATA_HOME", data_.path.c_str(), 1);
        fs::create_directories(data_.path / "Kinlore II" / "Modules");
        fs::create_directory_symlink(fs::path(KL_SOURCE_DIR) / "resources" / "KinloreIIAppSupport",
                                     data_.path / "Kinlore II" / "System");
        library_ = std::make_unique<LibraryFolder>(defaults_);
    }
    void TearDown() override {
        library_.reset();
        if (savedData_)
            setenv("XDG_DATA_HOME", savedData_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    TempFolder data_{"kl-scripting-library"};
    std::optional<std::string> savedData_;
    UserDefaults defaults_{"Kinlore II", data_.path / "config"};
    std::unique_ptr<LibraryFolder> library_;
};

TEST_F(LibraryModules, ShippedSystemModuleIsFound) {
    ScriptHarness harness(library_.get());
    const ScriptOutcome outcome =
        harness.run("load \"Kinlore Helpers\"\nAgeInYears(1850, 1900)\nwrite #returnValue$");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "50");
}

TEST_F(LibraryModules, UserModuleComesBeforeTheSystemOne) {
    std::ofstream(data_.path / "Kinlore II" / "Modules" / "Kinlore Helpers.klscpt")
        << "sub AgeInYears #a #b\nreturn \"mine\"\nendsub\n";
    ScriptHarness harness(library_.get());
    EXPECT_EQ(harness.run("load \"Kinlore Helpers\"\nAgeInYears(1, 2)\nwrite #returnValue$").output, "mine");
}

TEST_F(LibraryModules, LanguageStringsOfTheCurrentFormat) {
    library_->setLocalStrings(Dictionary{{"Born", Value("Geboren")}});
    ScriptHarness harness(library_.get());
    EXPECT_EQ(harness.run("write local(\"Born\"), local(\"Died\"), string(\"Born\"), \"[\"&string(\"Died\")&\"]\"").output,
              "Geboren,Died,Geboren,[]");
}

}  // namespace
}  // namespace kl::test

namespace kl::test {
namespace {

TEST(ScriptWindows, WaitingReadsTheFrontWindowUntilTheNewOneIsThere) {
    auto server = std::make_shared<RunServer>(nullptr);
    auto awaited = std::make_shared<Object>();
    int reads = 0;
    EXPECT_TRUE(server->waitForWindow(awaited, [&] { return ++reads < 3 ? nullptr : awaited; }));
    EXPECT_EQ(reads, 3);
}

}  // namespace
}  // namespace kl::test
