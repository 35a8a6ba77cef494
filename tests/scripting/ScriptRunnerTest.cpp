// Running a script file: its kind and title from its name, finding a named
// script in the libraries or the format, what each kind starts or refuses,
// and the script an extension package's manifest picks.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/LibraryFolder.h"
#include "foundation/UserDefaults.h"
#include "scripting/ScriptRunner.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("kl-runner-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "data/Kinlore II/System");
        if (const char* saved = std::getenv("XDG_DATA_HOME")) savedData = saved;
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        defaults = std::make_unique<UserDefaults>("Kinlore II", root / "config");
        defaults->setObject(Value("/opt/py/python3"), ScriptRunner::pythonPathKey);
        library = std::make_unique<LibraryFolder>(*defaults);
        userScripts = library->libraryFile("Scripts");
        systemScripts = library->rootLibraryFile("Scripts");
        fs::create_directories(userScripts);
        fs::create_directories(systemScripts);
    }
    void TearDown() override {
        library.reset();
        defaults.reset();
        if (savedData)
            setenv("XDG_DATA_HOME", savedData->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        fs::remove_all(root);
    }

    ScriptRunner runner(float version = 2.0f) {
        ScriptRunner::Ports ports;
        ports.prompts.criticalAlert = [this](const std::string& message, const std::string& informative) {
            alerts.push_back(message);
            informatives.push_back(informative);
        };
        ports.prompts.beep = [this] { ++beeps; };
        ports.prompts.choose = [this](const Dictionary& arguments) {
            chooser = arguments;
            return choice;
        };
        ports.interpret = [this](const fs::path& path, const std::string& title) {
            interpreted.emplace_back(path, title);
            return true;
        };
        ports.startProcess = [this](const std::string& title, std::vector<std::string> arguments,
                                    TaskCommand::Environment environment, fs::path folder) {
            started = Start{title, std::move(arguments), std::move(environment), std::move(folder)};
        };
        ports.setScriptMessage = [this](const std::string& message) { messages.push_back(message); };
        return ScriptRunner(library.get(), *defaults, version, std::move(ports));
    }

    static fs::path touch(const fs::path& path, const std::string& text = "x") {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path;
    }

    fs::path extension(const std::string& name, const std::string& dictEntries) {
        const fs::path package = userScripts / (name + ".kplug");
        touch(package / "manifest.plist", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
                                              dictEntries + "</dict>\n</plist>\n");
        return package;
    }

    struct Start {
        std::string title;
        std::vector<std::string> arguments;
        TaskCommand::Environment environment;
        fs::path folder;
    };

    fs::path root;
    std::optional<std::string> savedData;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<LibraryFolder> library;
    fs::path userScripts, systemScripts;
    std::vector<std::string> alerts, informatives, messages;
    int beeps = 0;
    Dictionary chooser;
    Array choice;
    std::vector<std::pair<fs::path, std::string>> interpreted;
    std::optional<Start> started;
};

TEST_F(Runner, KindAndTitleComeFromTheName) {
    struct Case {
        const char* file;
        const char* title;
        const char* kind;
        const char* shownTitle;
    } cases[] = {
        {"/formats/F.kfrmt/My_Report.py.txt", "My_Report.py", "py", "My Report"},
        {"/formats/F.kfrmt/Note.txt", "Note", "applescript", "Note"},
        {"/formats/F.kfrmt/Tool.klscpt.txt", "Tool.klscpt", "klscpt", "Tool"},
        {"/formats/F.kfrmt/Two_Words.txt", "Two_Words", "applescript", "Two Words"},
        {"/s/Upper.PY", "Upper", "py", "Upper"},
        {"/s/Run.klscpt", "Run", "klscpt", "Run"},
        {"/s/Data.csv", "Data", "csv", "Data"},
        // Outside a format, "_" stays.
        {"/s/my_tool.py", "my_tool", "py", "my_tool"},
    };
    for (const Case& c : cases) {
        const ScriptKind kind = ScriptRunner::scriptKind(c.file, c.title);
        EXPECT_EQ(kind.kind, c.kind) << c.file;
        EXPECT_EQ(kind.title, c.shownTitle) << c.file;
    }
}

TEST_F(Runner, AMissingCompiledAppleScriptStandsForItsTextTwin) {
    const fs::path text = touch(userScripts / "Old.applescript");
    const ScriptKind kind = ScriptRunner::scriptKind(userScripts / "Old.scpt", "Old");
    EXPECT_EQ(kind.kind, "applescript");
    EXPECT_EQ(kind.path, text);
    // A compiled script that is there stays what it is.
    touch(userScripts / "Old.scpt");
    EXPECT_EQ(ScriptRunner::scriptKind(userScripts / "Old.scpt", "Old").kind, "scpt");
}

TEST_F(Runner, NamedScriptsAreFoundUserFirstThenSystem) {
    touch(userScripts / "Both.py");
    touch(systemScripts / "Both.klscpt");
    touch(systemScripts / "Sys.klscpt");
    touch(userScripts / "Pack.kplug" / "manifest.plist");
    touch(userScripts / "Pack.klscpt");
    ScriptRunner run = runner();
    EXPECT_EQ(run.namedScriptPath("Both", ScriptLinkType::User), userScripts / "Both.py");
    EXPECT_EQ(run.namedScriptPath("Both", ScriptLinkType::System), systemScripts / "Both.klscpt");
    EXPECT_EQ(run.namedScriptPath("Sys", ScriptLinkType::User), systemScripts / "Sys.klscpt");
    // A package comes before a script of the same name.
    EXPECT_EQ(run.namedScriptPath("Pack", ScriptLinkType::User), userScripts / "Pack.kplug");
    // Found nowhere: the system's ".py", which the run then reports missing.
    EXPECT_EQ(run.namedScriptPath("Gone", ScriptLinkType::User), systemScripts / "Gone.py");

    defaults->setObject(Value((root / "Mine.kfrmt").string()), LibraryFolder::currentFormatKey);
    EXPECT_EQ(run.namedScriptPath("Tool", ScriptLinkType::Format), root / "Mine.kfrmt" / "Tool.txt");
}

TEST_F(Runner, EachKindStartsOrIsRefused) {
    const fs::path python = touch(userScripts / "Hello.py");
    const fs::path internal = touch(userScripts / "Count.klscpt");
    touch(userScripts / "Old.applescript");
    touch(userScripts / "Data.csv");
    ScriptRunner run = runner();

    run.runScriptAtPath(internal, "Count", ScriptRunSource::ExtensionsMenu);
    ASSERT_EQ(interpreted.size(), 1u);
    EXPECT_EQ(interpreted[0].first, internal);
    EXPECT_EQ(interpreted[0].second, "Count");

    run.runScriptAtPath(python, "Hello", ScriptRunSource::ExtensionsMenu);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->title, "Hello");
    EXPECT_EQ(started->arguments,
              (std::vector<std::string>{"/opt/py/python3", python.string(), ScriptRunner::bundleIdentifier}));
    EXPECT_EQ(started->folder, userScripts);
    const std::string modules = userScripts.string() + ":" + library->libraryFile("Modules").string() + ":" +
                                library->rootLibraryFile("Modules").string();
    EXPECT_EQ(started->environment, (TaskCommand::Environment{{"PYTHONPATH", modules}}));
    EXPECT_TRUE(alerts.empty());

    struct Case {
        const char* file;
        ScriptRunSource source;
        const char* message;
    } refused[] = {
        {"Old.scpt", ScriptRunSource::ExtensionsMenu, "The 'Old' extension could not be run"},
        {"Old.applescript", ScriptRunSource::Format, "The 'Old' script needed by the current format could not be run"},
        {"Data.csv", ScriptRunSource::ExtensionsMenu, "The file 'Data' is not a script type recognized by Kinlore II."},
        {"Gone.py", ScriptRunSource::AppleEvent, "The script named 'Gone' could not be found."},
        {"Gone.klscpt", ScriptRunSource::Format, "The scipt named 'Gone' needed by the current format could not be found."},
    };
    for (const Case& c : refused) {
        alerts.clear();
        started.reset();
        interpreted.clear();
        const fs::path path = userScripts / c.file;
        run.runScriptAtPath(path, path.stem().string(), c.source);
        EXPECT_EQ(alerts, std::vector<std::string>{c.message}) << c.file;
        EXPECT_FALSE(started) << c.file;
        EXPECT_TRUE(interpreted.empty()) << c.file;
    }
    EXPECT_NE(informatives.back().find("Kinlore Editor"), std::string::npos);
}

TEST_F(Runner, AFormatLinkSetsTheMessageAndReportsAsTheFormats) {
    ScriptRunner run = runner();
    run.runScript("Nowhere", ScriptLinkType::User, std::string("from a button"));
    EXPECT_EQ(messages, std::vector<std::string>{"from a button"});
    EXPECT_EQ(alerts, std::vector<std::string>{"The scipt named 'Nowhere' needed by the current format could not be found."});

    const fs::path package = extension("Pack", "<key>menu command</key><string>Packed Tool</string>\n"
                                               "<key>main</key><dict><key>run.klscpt</key><string></string></dict>\n");
    touch(package / "run.klscpt");
    run.runScript("Pack", ScriptLinkType::User, std::nullopt);
    ASSERT_EQ(interpreted.size(), 1u);
    EXPECT_EQ(interpreted[0].first, package / "run.klscpt");
    EXPECT_EQ(interpreted[0].second, "Packed Tool");
}

TEST_F(Runner, AManifestNamesTheScriptOrIsRefused) {
    struct Case {
        const char* entries;
        const char* informative;
    } refused[] = {
        {nullptr, "The required manifest information is missing."},
        // The version is checked before "main" is looked at.
        {"<key>minimum version</key><string>3.5</string>\n",
         "The 'Tool' extension requires at least version 3.5 of Kinlore II."},
        {"<key>minimum version</key><real>2.5</real>\n<key>main</key><dict><key>a.py</key><string></string></dict>\n",
         "The 'Tool' extension requires at least version 2.5 of Kinlore II."},
        {"", "The manifest does not specify the main script to be run."},
        {"<key>main</key><string>a.py</string>\n", "The manifest does not specify the main script to be run."},
        {"<key>main</key><dict/>\n", "The manifest does not specify the main script to be run."},
        {"<key>main</key><dict><key>prompt</key><string>p</string><key>title</key><string>t</string></dict>\n",
         "The manifest does not specify the main method information."},
    };
    ScriptRunner run = runner(2.0f);
    for (const Case& c : refused) {
        fs::remove_all(userScripts / "Tool.kplug");
        const fs::path package = c.entries ? extension("Tool", c.entries) : userScripts / "Tool.kplug";
        fs::create_directories(package);
        alerts.clear();
        informatives.clear();
        std::string title = "Tool";
        EXPECT_FALSE(run.decodePluginBundle(package, title)) << c.informative;
        EXPECT_EQ(alerts, std::vector<std::string>{"The selected extension could not be run."});
        EXPECT_EQ(informatives, std::vector<std::string>{c.informative});
    }
    EXPECT_EQ(beeps, static_cast<int>(std::size(refused)));
}

TEST_F(Runner, SeveralOptionsAreOfferedSorted) {
    const fs::path package =
        extension("Tool", "<key>menu command</key><string>Family Tool</string>\n"
                          "<key>minimum version</key><string>1.5</string>\n"
                          "<key>main</key><dict><key>zeta.py</key><string>by place</string>"
                          "<key>alpha.klscpt</key><string>By date</string>"
                          "<key>prompt</key><string>Which way?</string></dict>\n");
    ScriptRunner run = runner(2.0f);

    choice = Array{Value("OK"), Value(Array{}), Value(Array{Value(2)})};
    std::string title = "Tool";
    EXPECT_EQ(run.decodePluginBundle(package, title), package / "zeta.py");
    EXPECT_EQ(title, "Family Tool");
    EXPECT_EQ(chooser.get("title")->toString(), "Family Tool Options");
    EXPECT_EQ(chooser.get("prompt")->toString(), "Which way?");
    EXPECT_EQ(*chooser.get("listItems"), Value(Array{Value("By date"), Value("by place")}));
    EXPECT_FALSE(chooser.get("multiple")->toBool(true));

    choice = Array{Value("Cancel"), Value(Array{}), Value(Array{Value(1)})};
    EXPECT_FALSE(run.decodePluginBundle(package, title));
    choice = Array{Value("OK"), Value(Array{}), Value(Array{Value(7)})};
    EXPECT_FALSE(run.decodePluginBundle(package, title));
    EXPECT_TRUE(alerts.empty());

    // One option beside the prompt runs without asking.
    const fs::path single = extension("One", "<key>main</key><dict><key>prompt</key><string>Pick</string>"
                                             "<key>only.py</key><string>Only</string></dict>\n");
    chooser = {};
    EXPECT_EQ(run.decodePluginBundle(single, title), single / "only.py");
    EXPECT_TRUE(chooser.empty());
}

}  // namespace
}  // namespace kl
