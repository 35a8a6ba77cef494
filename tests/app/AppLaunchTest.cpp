// The application object's life on the shipped resources in a temporary
// home: launch, first run of a newer build, the start queue at the first
// activation only, later activations, a failed launch and shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/AppDesktop.h"
#include "app/LibraryFolder.h"
#include "foundation/ResourceFolder.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

// Notes every call; runs deferred steps only when the test says so.
class RecordingDesktop : public AppDesktop {
public:
    void createDocController() override { calls.push_back("createDocController"); }
    bool hasOpenDatabases() override { return databaseOpen; }
    void showStartupScreen(bool) override { calls.push_back("showStartupScreen"); }
    void initScripts() override { calls.push_back("initScripts"); }
    bool runFirstRunScript(const fs::path& script, const std::string& title) override {
        calls.push_back("firstRun " + script.filename().string() + " | " + title);
        return true;
    }
    void refreshScriptsMenu() override { calls.push_back("refreshScriptsMenu"); }
    void readMapInfo() override { calls.push_back("readMapInfo"); }
    void checkForUpdate() override { calls.push_back("checkForUpdate"); }
    void prefTerminate() override { calls.push_back("prefTerminate"); }
    void performLater(std::function<void()> step) override { later.push_back(std::move(step)); }
    void runCriticalAlert(const std::string& message, const std::string& information) override {
        calls.push_back("alert " + message + " | " + information);
    }
    void terminate() override { calls.push_back("terminate"); }

    void runLater() {
        auto steps = std::move(later);
        later.clear();
        for (auto& step : steps) step();
    }
    int count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }

    Calls calls;
    std::vector<std::function<void()>> later;
    bool databaseOpen = false;
};

class AppLaunch : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        savedBundle_ = ResourceFolder::folder();
        const fs::path shipped = fs::path(KL_SOURCE_DIR) / "resources";
        ResourceFolder::setFolder(shipped);
        AppController::setResourcesFolder(shipped);
        cache_.emplace("XDG_CACHE_HOME", (root_ / "cache").string());
        defaults_ = std::make_unique<UserDefaults>("Kinlore II", config());
        AppController::initialize(*defaults_);
    }
    void TearDown() override {
        app_.reset();
        defaults_.reset();
        cache_.reset();
        ResourceFolder::setFolder(savedBundle_);
        AppHomeTest::TearDown();
    }
    AppController& app() {
        if (!app_) app_ = std::make_unique<AppController>(desktop_, *defaults_);
        return *app_;
    }
    AppController& launched() {
        EXPECT_TRUE(app().applicationWillFinishLaunching());
        app().applicationDidFinishLaunching();
        return app();
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::int64_t runningStamp() {
        return AppController::versionStamp(AppController::appVersionNumber, AppController::bundleVersion);
    }

    RecordingDesktop desktop_;
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<AppController> app_;
    std::optional<testing::ScopedEnv> cache_;
    fs::path savedBundle_;
};

TEST(VersionStamp, AddsVersionBuildAndBetaDigit) {
    EXPECT_EQ(AppController::versionStamp(2.345f, 7), 2300 + 70 + 5);
    EXPECT_EQ(AppController::versionStamp(2.0f, 1), 2010);
    EXPECT_EQ(AppController::versionStamp(1.1f, 0), 1100);
}

TEST_F(AppLaunch, SetsUpLibraryFormatAndWorkingFolderBeforeTheQueueRuns) {
    AppController& controller = launched();
    EXPECT_EQ(AppController::myApp(), &controller);
    ASSERT_NE(AppController::sharedLibrary(), nullptr);
    EXPECT_TRUE(fs::is_directory(root_ / ".local/share/Kinlore II/System/Formats/Default Format.kfrmt"));
    EXPECT_FALSE(AppController::sharedLibrary()->templates().templateFolder().empty());
    ASSERT_TRUE(AppController::workingDirectory());
    EXPECT_TRUE(fs::is_directory(*AppController::workingDirectory()));
    EXPECT_EQ(desktop_.count("createDocController"), 1);
    ASSERT_TRUE(controller.startQueue());
    EXPECT_EQ(*controller.startQueue(), (Calls{"check system", "welcome"}));
    // Registered defaults answer before anything is stored.
    EXPECT_EQ(defaults_->integerForKey("Autosave minutes"), 61);
}

TEST_F(AppLaunch, PythonPathLosesTheUnversionedName) {
    struct Case {
        const char* stored;
        const char* expected;
    } cases[] = {{nullptr, "/usr/bin/python3"}, {"/usr/bin/python", "/usr/bin/python3"},
                 {"/opt/python/bin/python", "/opt/python/bin/python"}, {"/usr/bin/python2", "/usr/bin/python2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "registered");
        if (c.stored)
            defaults_->setObject(Value(c.stored), "Path to python");
        else
            defaults_->removeObjectForKey("Path to python");
        app_.reset();
        ASSERT_TRUE(app().applicationWillFinishLaunching());
        EXPECT_EQ(defaults_->stringForKey("Path to python"), c.expected);
        app().applicationWillTerminate();
    }
}

TEST_F(AppLaunch, FirstRunOfANewerBuildOnlyOnce) {
    defaults_->setObject(Value(runningStamp() - 1), "Last Version Run");
    defaults_->setObject(Value(false), "Show Startup Screen");
    launched();
    EXPECT_EQ(defaults_->integerForKey("Last Version Run"), runningStamp());
    EXPECT_TRUE(defaults_->boolForKey("Show Startup Screen"));
    EXPECT_EQ(desktop_.count("firstRun First Run Tasks.klscpt | Cleaning up system scripts folder"), 1);
    EXPECT_EQ(desktop_.count("refreshScriptsMenu"), 1);

    // The same build again: no first-run step.
    app().applicationWillTerminate();
    app_.reset();
    desktop_.calls.clear();
    defaults_->setObject(Value(false), "Show Startup Screen");
    launched();
    EXPECT_FALSE(defaults_->boolForKey("Show Startup Screen"));
    EXPECT_EQ(desktop_.count("refreshScriptsMenu"), 0);
}

TEST_F(AppLaunch, FirstRunSwitchesToTheSystemDefaultFormat) {
    defaults_->setObject(Value("~/Elsewhere/Mine.kfrmt"), LibraryFolder::currentFormatKey);
    launched();
    EXPECT_EQ(fs::path(AppController::sharedLibrary()->templates().templateFolder()).lexically_normal(),
              (AppController::sharedLibrary()->systemDefaultFormat() / "").lexically_normal());
}

TEST_F(AppLaunch, StartQueueRunsAtTheFirstActivationOnly) {
    AppController& controller = launched();
    controller.applicationDidBecomeActive();
    EXPECT_EQ(desktop_.later.size(), 1u);
    // An activation before the deferred run (an alert during start) adds
    // another request, but the steps run once.
    controller.applicationDidBecomeActive();
    desktop_.runLater();
    EXPECT_FALSE(controller.startQueue());
    EXPECT_EQ(desktop_.count("showStartupScreen"), 1);
    EXPECT_EQ(desktop_.count("readMapInfo"), 1);
    EXPECT_EQ(desktop_.count("checkForUpdate"), 1);

    desktop_.calls.clear();
    controller.applicationDidBecomeActive();
    EXPECT_TRUE(desktop_.later.empty());
    EXPECT_EQ(desktop_.calls, (Calls{"initScripts", "showStartupScreen"}));
}

TEST_F(AppLaunch, WelcomeAndLaterActivationsFollowOpenDatabasesAndThePreference) {
    struct Case {
        const char* label;
        bool databaseOpen;
        bool showStartup;
        bool checkUpdates;
        int screens;
        int updates;
    } cases[] = {{"nothing open", false, true, true, 2, 1},
                 {"database open", true, true, true, 0, 1},
                 {"preference off", false, false, false, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        defaults_->setObject(Value(runningStamp()), "Last Version Run");
        defaults_->setObject(Value(c.showStartup), "Show Startup Screen");
        defaults_->setObject(Value(c.checkUpdates), "Check for Updates");
        desktop_ = RecordingDesktop{};
        desktop_.databaseOpen = c.databaseOpen;
        app_.reset();
        AppController& controller = launched();
        controller.applicationDidBecomeActive();
        desktop_.runLater();
        controller.applicationDidBecomeActive();
        EXPECT_EQ(desktop_.count("showStartupScreen"), c.screens);
        EXPECT_EQ(desktop_.count("checkForUpdate"), c.updates);
        controller.applicationWillTerminate();
    }
}

TEST_F(AppLaunch, AFailingStepEndsTheLaunchWithTheAlert) {
    // No System format anywhere: the library cannot open a format.
    const fs::path empty = root_ / "no-resources";
    fs::create_directories(empty);
    ResourceFolder::setFolder(empty);
    EXPECT_FALSE(app().applicationWillFinishLaunching());
    ASSERT_GE(desktop_.calls.size(), 2u);
    EXPECT_EQ(desktop_.calls[desktop_.calls.size() - 2].rfind("alert Application failed to initialize | ", 0), 0u)
        << desktop_.calls[desktop_.calls.size() - 2];
    EXPECT_EQ(desktop_.calls.back(), "terminate");
    EXPECT_FALSE(app().launched());
    // Nothing of a half launch runs afterwards.
    desktop_.calls.clear();
    app().applicationDidFinishLaunching();
    app().applicationDidBecomeActive();
    EXPECT_TRUE(desktop_.calls.empty());
    EXPECT_TRUE(desktop_.later.empty());
}

TEST_F(AppLaunch, QuittingRunsTheLibraryShutDownAndRemovesOnlyItsOwnFolder) {
    AppController& controller = launched();
    const fs::path mine = *AppController::workingDirectory();
    std::ofstream(mine / "tree-12.pdf") << "%PDF";
    const fs::path other = mine.parent_path().parent_path() / "99999999";
    fs::create_directories(other);
    std::ofstream(other / "web-1.html") << "<p>";

    // A changed setting of the current format is written back at quit.
    EditingPrefs& prefs = AppController::sharedLibrary()->editingPrefs();
    bool edited = false;
    for (std::size_t group = 0; group < prefs.formatVariables().size() && !edited; ++group)
        for (std::size_t entry = 0; entry < 12 && !edited; ++entry) edited = prefs.editVariable(group, entry, "17");
    ASSERT_TRUE(edited);
    const fs::path list = fs::path(AppController::sharedLibrary()->templates().templateFolder()) / "Editing.plist";
    const std::string before = read(list);

    EXPECT_TRUE(controller.applicationShouldTerminate());
    controller.applicationWillTerminate();
    EXPECT_EQ(desktop_.count("prefTerminate"), 1);
    EXPECT_NE(read(list), before);
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_TRUE(fs::exists(other / "web-1.html"));
    EXPECT_FALSE(AppController::workingDirectory());
}

}  // namespace
}  // namespace kl
