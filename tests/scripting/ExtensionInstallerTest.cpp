// Extensions and formats put into a library and taken out: the install
// methods, category folders, replacing an installed copy safely, the
// closing messages, and the removal list.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/LibraryFolder.h"
#include "foundation/UserDefaults.h"
#include "scripting/ExtensionInstaller.h"
#include "support/CaseName.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Extensions : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("kl-extensions-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "data/Kinlore II/System");
        fs::create_directories(root / "packages");
        if (const char* saved = std::getenv("XDG_DATA_HOME")) savedData = saved;
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        defaults = std::make_unique<UserDefaults>("Kinlore II", root / "config");
        library = std::make_unique<LibraryFolder>(*defaults);
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

    fs::path package(const std::string& name, const std::string& category, const std::string& command,
                     const std::string& body = "v1") {
        const fs::path path = root / "packages" / name;
        fs::create_directories(path);
        std::ofstream(path / "main.klscpt") << body;
        if (!category.empty() || !command.empty()) {
            std::ofstream manifest(path / "manifest.plist");
            manifest << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
            if (!category.empty()) manifest << "<key>category</key><string>" << category << "</string>\n";
            if (!command.empty()) manifest << "<key>menu command</key><string>" << command << "</string>\n";
            manifest << "</dict>\n</plist>\n";
        }
        return path;
    }

    ExtensionInstaller installer() {
        ExtensionPrompts prompts;
        prompts.askOverwrite = [this](const std::string& message, const std::string&) {
            asked.push_back(message);
            return overwrite;
        };
        prompts.criticalAlert = [this](const std::string& m, const std::string& i) { critical.push_back(m + " | " + i); };
        prompts.infoAlert = [this](const std::string& m, const std::string&) { info.push_back(m); };
        prompts.choose = [this](const Dictionary& arguments) {
            offered.clear();
            for (const Value& item : *arguments.get("listItems")->array()) offered.push_back(item.toString());
            return choice;
        };
        prompts.beep = [this] { ++beeps; };
        return ExtensionInstaller(*library, prompts, currentFormat);
    }
    fs::path userScripts() const { return library->libraryFile("Scripts"); }

    fs::path root;
    std::optional<std::string> savedData;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<LibraryFolder> library;
    bool overwrite = true;
    Array choice;
    fs::path currentFormat;
    std::vector<std::string> asked, critical, info, offered;
    int beeps = 0;
};

TEST_F(Extensions, NewCategoryFolderIsMadeWithLibraryPermissions) {
    const fs::path item = package("Ages.kplug", "Reports", "Ages Report");
    EXPECT_EQ(installer().installPlugIns({item}, ExtensionInstaller::UserLibrary, -1), 1);
    EXPECT_EQ(readAll(userScripts() / "Reports/Ages.kplug/main.klscpt"), "v1");
    struct stat info_ {};
    ASSERT_EQ(::stat((userScripts() / "Reports").c_str(), &info_), 0);
    EXPECT_EQ(info_.st_mode & 0777, 0755u);
    EXPECT_EQ(info, std::vector<std::string>{
                        "The installed extension is now available at Reports/Ages Report in the \"Extensions\" menu."});
    // The menu was rebuilt with it.
    ASSERT_EQ(library->menus().pluginList().size(), 1u);
}

struct MethodCase {
    const char* name;
    int method;
    bool overwrite;
    const char* content;
    bool asked;
    const char* message;  // nullptr: no report
};

class InstallMethods : public Extensions, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(InstallMethods, AnInstalledCopyIsKeptAskedOrReplaced) {
    installer().installPlugIns({package("Tool.kplug", "", "", "v1")}, ExtensionInstaller::UserLibrary, 1);
    info.clear();
    overwrite = GetParam().overwrite;
    const fs::path newer = package("Tool.kplug", "", "", "v2");
    installer().installPlugIns({newer}, ExtensionInstaller::UserLibrary, GetParam().method);
    EXPECT_EQ(readAll(userScripts() / "Tool.kplug/main.klscpt"), GetParam().content);
    EXPECT_EQ(!asked.empty(), GetParam().asked);
    if (GetParam().asked) {
        EXPECT_EQ(asked.front(), "The extension 'Tool.kplug' is already installed");
    }
    const std::vector<std::string> reported =
        GetParam().message ? std::vector<std::string>{GetParam().message} : std::vector<std::string>{};
    EXPECT_EQ(info, reported);
    // No leftovers of the copy beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(userScripts())) ++entries;
    EXPECT_EQ(entries, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, InstallMethods,
    ::testing::Values(
        MethodCase{"KeepSilently", 0, true, "v1", false, nullptr},
        MethodCase{"AskOverwrite", -1, true, "v2", true,
                   "The installed extension is now available in the \"Extensions\" menu."},
        MethodCase{"AskSkip", -1, false, "v1", true,
                   "The installed extensions are now available in the \"Extensions\" menu."},
        MethodCase{"ReplaceSilently", 7, false, "v2", false, nullptr}),
    test::CaseName());

TEST_F(Extensions, AFailedCopyKeepsTheOldVersion) {
    installer().installPlugIns({package("Tool.kplug", "", "", "v1")}, ExtensionInstaller::UserLibrary, 1);
    const fs::path newer = package("Tool.kplug", "", "", "v2");
    // A named pipe cannot be copied: the copy fails half-way.
    ASSERT_EQ(::mkfifo((newer / "zz-pipe").c_str(), 0600), 0);
    installer().installPlugIns({newer}, ExtensionInstaller::UserLibrary, -1);
    EXPECT_EQ(readAll(userScripts() / "Tool.kplug/main.klscpt"), "v1");
    ASSERT_EQ(critical.size(), 1u);
    EXPECT_TRUE(critical.front().starts_with("File error copying extension 'Tool.kplug' to it's requested location"));
}

struct CategoryCase {
    const char* name;
    const char* category;
};

class UnsafeCategories : public Extensions, public ::testing::WithParamInterface<CategoryCase> {};

TEST_P(UnsafeCategories, ACategoryLeavingTheLibraryIsRefused) {
    const fs::path item = package("Bad.kplug", GetParam().category, "Bad");
    EXPECT_EQ(installer().installPlugIns({item}, ExtensionInstaller::UserLibrary, -1), 0);
    EXPECT_EQ(critical, std::vector<std::string>{
                            "The extension 'Bad.kplug' could not be installed at its requested location | "
                            "The extension's category must be a folder name inside the library"});
    EXPECT_FALSE(fs::exists(root / "data/Bad.kplug"));
    EXPECT_FALSE(fs::exists(root / "Bad.kplug"));
}

INSTANTIATE_TEST_SUITE_P(Categories, UnsafeCategories,
                         ::testing::Values(CategoryCase{"Parent", "../.."}, CategoryCase{"Inner", "Reports/../../x"},
                                           CategoryCase{"Absolute", "/tmp"}, CategoryCase{"Dot", "./Reports"}),
                         test::CaseName());

TEST_F(Extensions, AFileWhereTheCategoryBelongsIsReported) {
    fs::create_directories(userScripts());
    std::ofstream(userScripts() / "Reports") << "not a folder";
    EXPECT_EQ(installer().installPlugIns({package("Ages.kplug", "Reports", "")}, ExtensionInstaller::UserLibrary, 0), 0);
    EXPECT_EQ(critical, std::vector<std::string>{"The extension 'Ages.kplug' could not be installed at its requested "
                                                 "location | A non-directory file conflicts with this extension's "
                                                 "category"});
}

TEST_F(Extensions, AFormatOntoItselfCountsAsInstalled) {
    const fs::path formats = library->libraryFile("Formats");
    fs::create_directories(formats / "Plain.kfrmt");
    std::ofstream(formats / "Plain.kfrmt/English.html") << "x";
    EXPECT_EQ(installer().installPlugIns({formats / "Plain.kfrmt"}, ExtensionInstaller::UserLibrary, -1), 1);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(readAll(formats / "Plain.kfrmt/English.html"), "x");
}

TEST_F(Extensions, ClosingMessagesNameThePlace) {
    struct Case {
        const char* category;
        const char* command;
        const char* message;
    };
    const Case cases[] = {
        {"Reports", "", "The installed extension is now in the \"Reports\" submenu in the \"Extensions\" menu."},
        {"", "Run Me", "The installed extension is now available at \"Run Me\" in the \"Extensions\" menu."},
    };
    int n = 0;
    for (const Case& c : cases) {
        info.clear();
        installer().installPlugIns({package("P" + std::to_string(++n) + ".kplug", c.category, c.command)},
                                   ExtensionInstaller::UserLibrary, -1);
        EXPECT_EQ(info, std::vector<std::string>{c.message});
    }
}

TEST_F(Extensions, RemovalOffersNamesLeavesTheCurrentFormatAndHonoursCancel) {
    installer().installPlugIns({package("Ages.kplug", "Reports", "Ages Report"), package("Tool.kplug", "", ""),
                                package("Look.kfrmt", "", "")},
                               ExtensionInstaller::UserLibrary, 1);
    fs::create_directories(library->libraryFile("Formats/In Use.kfrmt"));
    library->buildScriptsMenu();
    currentFormat = library->libraryFile("Formats/In Use.kfrmt");

    choice = Array{Value("Cancel"), Value(Array{}), Value(Array{})};
    installer().removePlugins(ExtensionInstaller::UserLibrary);
    EXPECT_EQ(offered, (std::vector<std::string>{"Browser Styles - Look", "Tool", "Reports - Ages Report"}));
    EXPECT_TRUE(fs::exists(userScripts() / "Tool.kplug"));

    choice = Array{Value("Remove"), Value(Array{}), Value(Array{Value(1), Value(2)})};
    installer().removePlugins(ExtensionInstaller::UserLibrary);
    EXPECT_FALSE(fs::exists(library->libraryFile("Formats/Look.kfrmt")));
    EXPECT_FALSE(fs::exists(userScripts() / "Tool.kplug"));
    EXPECT_TRUE(fs::exists(userScripts() / "Reports/Ages.kplug"));
    EXPECT_EQ(library->menus().numUserExtensions(), 2);
}

TEST_F(Extensions, RemovalWithNothingToRemoveBeeps) {
    installer().removePlugins(ExtensionInstaller::SystemLibrary);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(offered.empty());
}

}  // namespace
}  // namespace kl
