// The library folder on an empty or older data folder, the System install
// workers, the current format's fallbacks, library data and menus; every
// test runs in a temporary home with a small bundle written by the test.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "AppTestSupport.h"
#include "app/LibraryFolder.h"
#include "foundation/Exception.h"
#include "foundation/ResourceFolder.h"
#include "foundation/TildePath.h"
#include "model/LibraryServices.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class LibraryTest : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        savedBundle_ = ResourceFolder::folder();
        ResourceFolder::setFolder(resources());
        defaults_ = std::make_unique<UserDefaults>("Kinlore II", config());
        writeBundle(1);
        writeResource("KLLibraryData", Dictionary{{"INDIEvents", Array{Value("BIRT"), Value("DEAT")}},
                                                  {"INDIAttributes", Array{Value("OCCU")}},
                                                  {"FAMEvents", Array{Value("MARR")}}});
        writeResource("CountryCodes", Dictionary{{"NL", Value("Netherlands")}});
    }
    void TearDown() override {
        library_.reset();
        defaults_.reset();
        ResourceFolder::setFolder(savedBundle_);
        AppHomeTest::TearDown();
    }

    fs::path bundle() const { return resources() / "KinloreIIAppSupport"; }
    fs::path data() const { return root_ / ".local/share"; }
    fs::path libraryRoot() const { return data() / "Kinlore II"; }
    fs::path system() const { return libraryRoot() / "System"; }
    static void write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    static void writeList(const fs::path& path, const Dictionary& list) {
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(PropertyList::writeFile(Value(list), path));
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A format package with one record template and an event list.
    static void writeFormat(const fs::path& format, const std::string& marker) {
        writeList(format / "Editing.plist", Dictionary{});
        write(format / "INDI Record Editing.txt", "newline\n! " + marker);
        writeList(format / "English.plist", Dictionary{{"Birth key", Value("Birth")}, {"Hobby", Value("Pastime")}});
        writeList(format / "INDIEvents.plist", Dictionary{{"BIRT", Array{Value("Birth key")}},
                                                          {"FACT1", Array{Value("Hobby")}},
                                                          {"EVEN", Array{Value("Event")}}});
    }
    void writeBundle(int version) {
        writeList(bundle() / "version.plist", Dictionary{{"System Version ID", Array{Value(version)}}});
        writeFormat(bundle() / "Formats/Default Format.kfrmt", "bundle " + std::to_string(version));
        write(bundle() / "Formats/report.css", "body {}");
        write(bundle() / "Scripts/First Run Tasks.klscpt", "v" + std::to_string(version));
        write(bundle() / "Scripts/Tools/Tool.py", "print()");
        write(bundle() / "Sample.gedpkg/Sample.ged", "0 HEAD");
    }
    LibraryFolder& library(LibraryPrompts prompts = {}) {
        prompts.criticalAlert = [this](const std::string& m, const std::string& i) { alerts_.push_back(m + " | " + i); };
        if (!prompts.askInstall)
            prompts.askInstall = [this](bool restore) {
                asked_.push_back(restore ? "restore" : "update");
                return answer_;
            };
        library_ = std::make_unique<LibraryFolder>(*defaults_, std::move(prompts));
        return *library_;
    }
    LibraryFolder& setUp() {
        library().setupLibrary();
        return *library_;
    }
    std::string storedFormat() const { return defaults_->stringForKey(LibraryFolder::currentFormatKey).value_or(""); }

    fs::path savedBundle_;
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<LibraryFolder> library_;
    Texts alerts_;
    Texts asked_;
    int answer_ = 1;
};

TEST_F(LibraryTest, SetUpOnAnEmptyDataFolderInstallsSystemAndLoadsItsFormat) {
    LibraryFolder& lib = setUp();
    EXPECT_EQ(lib.libraryPath(), libraryRoot().string() + "/");
    EXPECT_EQ(lib.rootLibraryPath(), system().string() + "/");
    for (const char* folder : {"Formats", "Bookmarks", "Scripts", "Modules", "System"})
        EXPECT_TRUE(fs::is_directory(libraryRoot() / folder)) << folder;
    EXPECT_EQ(fs::status(system()).permissions() & fs::perms::all, fs::perms(0755));
    EXPECT_TRUE(fs::exists(system() / "version.plist"));
    EXPECT_TRUE(fs::exists(system() / "Scripts/Tools/Tool.py"));
    EXPECT_TRUE(fs::exists(system() / "Sample.gedpkg/Sample.ged"));
    EXPECT_TRUE(asked_.empty()) << "the first install asks nothing";

    EXPECT_EQ(storedFormat(), "~/.local/share/Kinlore II/System/Formats/Default Format.kfrmt");
    EXPECT_EQ(lib.templates().templateFolder(), (system() / "Formats/Default Format.kfrmt").string() + "/");
    EXPECT_TRUE(lib.templates().getTemplate("INDI", 0, std::nullopt, false, ""));

    Texts names;
    for (const auto& event : lib.individualEvents()) names.push_back(event.tag + "=" + event.name);
    EXPECT_EQ(names, (Texts{"BIRT=Birth", "EVEN=Event", "FACT=Pastime"}));
}

TEST_F(LibraryTest, OlderLibraryFolderIsMovedIntoPlace) {
    write(data() / "KinloreII/Scripts/mine.klscpt", "mine");
    setUp();
    EXPECT_EQ(read(libraryRoot() / "Scripts/mine.klscpt"), "mine");
    EXPECT_FALSE(fs::exists(data() / "KinloreII"));
}

TEST_F(LibraryTest, OlderLibraryFolderIsLeftAloneWhenTheLibraryExists) {
    write(data() / "KinloreII/Scripts/mine.klscpt", "mine");
    fs::create_directories(libraryRoot());
    setUp();
    EXPECT_TRUE(fs::exists(data() / "KinloreII/Scripts/mine.klscpt"));
    EXPECT_FALSE(fs::exists(libraryRoot() / "Scripts/mine.klscpt"));
}

struct StoredFormatCase {
    const char* name;
    const char* stored;        // with "~" for the test's home
    bool userFormatReadable;   // the user's format at that path can be loaded
    const char* loadedMarker;  // which INDI template ends up loaded
    const char* storedAfter;
};

class StoredFormat : public LibraryTest, public ::testing::WithParamInterface<StoredFormatCase> {};

TEST_P(StoredFormat, OpensTheUsersFormatOrFallsBackToSystem) {
    const fs::path mine = libraryRoot() / "Formats/Mine.kfrmt";
    writeFormat(mine, "mine");
    if (!GetParam().userFormatReadable) fs::remove(mine / "Editing.plist");
    defaults_->setObject(Value(GetParam().stored), LibraryFolder::currentFormatKey);
    LibraryFolder& lib = setUp();
    const Value* source = lib.templates().templatesByName().get("INDI Record Editing.txt");
    ASSERT_TRUE(source);
    EXPECT_NE(source->toString().find(GetParam().loadedMarker), std::string::npos) << source->toString();
    EXPECT_EQ(storedFormat(), GetParam().storedAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredFormat, ::testing::Values(
    StoredFormatCase{"TildePathOfAUserFormat", "~/.local/share/Kinlore II/Formats/Mine.kfrmt", true, "mine",
                     "~/.local/share/Kinlore II/Formats/Mine.kfrmt"},
    StoredFormatCase{"MissingFolder", "~/.local/share/Kinlore II/Formats/Gone.kfrmt", true, "bundle 1",
                     "~/.local/share/Kinlore II/System/Formats/Default Format.kfrmt"},
    StoredFormatCase{"UnloadableWithNothingLoaded", "~/.local/share/Kinlore II/Formats/Mine.kfrmt", false, "bundle 1",
                     "~/.local/share/Kinlore II/System/Formats/Default Format.kfrmt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryTest, UnloadableUserFormatKeepsTheFormatAlreadyLoaded) {
    LibraryFolder& lib = setUp();
    const fs::path mine = libraryRoot() / "Formats/Mine.kfrmt";
    writeFormat(mine, "mine");
    fs::remove(mine / "Editing.plist");
    defaults_->setObject(Value(mine.string()), LibraryFolder::currentFormatKey);
    lib.openCurrentFormat(std::nullopt);
    EXPECT_EQ(lib.templates().templateFolder(), (system() / "Formats/Default Format.kfrmt").string() + "/");
    EXPECT_TRUE(alerts_.empty());
}

TEST_F(LibraryTest, ChangedSettingsGoBackToTheFormatTheyCameFrom) {
    const fs::path mine = libraryRoot() / "Formats/Mine.kfrmt";
    writeFormat(mine, "mine");
    defaults_->setObject(Value(mine.string()), LibraryFolder::currentFormatKey);
    LibraryFolder& lib = setUp();
    lib.editingPrefs().setColor(Color::white(1), "Label Color");
    const std::string systemSettings = read(system() / "Formats/Default Format.kfrmt/Editing.plist");
    lib.switchToDefaultFormat();
    EXPECT_EQ(read(system() / "Formats/Default Format.kfrmt/Editing.plist"), systemSettings);
    EXPECT_NE(read(mine / "Editing.plist").find("Label Color"), std::string::npos);
}

TEST_F(LibraryTest, MissingSystemFormatIsAnInternalFailure) {
    fs::remove_all(bundle() / "Formats");
    try {
        setUp();
        ADD_FAILURE() << "set up";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.message(), "Could not install format in Application Support folder.");
    }
}

TEST_F(LibraryTest, FailedFirstInstallRaisesTheCopyMessage) {
    fs::remove_all(bundle());
    try {
        setUp();
        ADD_FAILURE() << "set up";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "KLInitializeError");
        EXPECT_EQ(e.message(), "Error copying required application resources to user library");
    }
}

// ---- Install workers ------------------------------------------------------

struct InstallCase {
    const char* name;
    int answer;  // of the install dialog
    bool userFileKept;
    bool updated;
};

class Update : public LibraryTest, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(Update, MergesOrCleansAsAnswered) {
    setUp();
    write(system() / "Scripts/Mine.klscpt", "user's own");
    write(system() / "Formats/Default Format.kfrmt/stale.txt", "left over");
    writeBundle(2);
    answer_ = GetParam().answer;
    library_->installSystemResources(true);
    EXPECT_EQ(asked_, Texts{"update"});
    EXPECT_EQ(fs::exists(system() / "Scripts/Mine.klscpt"), GetParam().userFileKept);
    EXPECT_EQ(LibraryFolder::systemVersion(system() / "version.plist"), GetParam().updated ? 2 : 1);
    EXPECT_EQ(read(system() / "Scripts/First Run Tasks.klscpt"), GetParam().updated ? "v2" : "v1");
    EXPECT_EQ(fs::exists(system() / "Formats/Default Format.kfrmt/stale.txt"), !GetParam().updated)
        << "a format package is replaced whole";
    if (GetParam().updated) {
        const Value* source = library_->templates().templatesByName().get("INDI Record Editing.txt");
        ASSERT_TRUE(source);
        EXPECT_NE(source->toString().find("bundle 2"), std::string::npos) << "the System format is reloaded";
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, Update, ::testing::Values(
    InstallCase{"Cancel", 0, true, false},
    InstallCase{"Merging", 1, true, true},
    InstallCase{"Clean", 2, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryTest, ProgressIsPolledUntilTheWorkerEnds) {
    LibraryPrompts prompts;
    double lastFraction = 0;
    prompts.waitForInstall = [&](LibraryFolder& lib) {
        while (lib.stillRunning()) {
            lastFraction = lib.fractionDone();
            std::this_thread::yield();
        }
        lastFraction = lib.fractionDone();
    };
    library(std::move(prompts)).setupLibrary();
    EXPECT_FALSE(library_->stillRunning());
    EXPECT_GE(lastFraction, 1.0);
}

TEST_F(LibraryTest, EqualVersionsAskNothing) {
    setUp();
    library_->installSystemResources(true);
    EXPECT_TRUE(asked_.empty());
    fs::remove(system() / "version.plist");
    library_->installSystemResources(true);
    EXPECT_EQ(asked_, Texts{"update"}) << "an unreadable installed version asks";
}

TEST_F(LibraryTest, RestoreAsksAsARestoreAndReportsFailureWithTheRealFolder) {
    setUp();
    library_->installSystemResources(false);
    EXPECT_EQ(asked_, Texts{"restore"});
    EXPECT_TRUE(alerts_.empty());
    fs::remove_all(bundle());
    library_->installSystemResources(false);
    EXPECT_EQ(library_->installErrorMessage(),
              std::optional<std::string>("Error copying required application resources to user library"));
    EXPECT_EQ(alerts_, Texts{"An unexpected file error occurred while installing resources | You should delete the "
                             "folder '~/.local/share/Kinlore II/System' and try again"});
    EXPECT_FALSE(library_->stillRunning());
}

TEST_F(LibraryTest, UnsavableFormatSettingsNameTheRealFormatsFolder) {
    LibraryFolder& lib = setUp();
    lib.editingPrefs().setColor(Color::black(), "Label Color");
    ASSERT_TRUE(lib.editingPrefs().changed());
    fs::remove_all(system() / "Formats/Default Format.kfrmt");
    lib.saveCurrentFormat();
    EXPECT_EQ(alerts_, Texts{"The changes you made to the previous format's preferences were not saved because you "
                             "do not have sufficient file priviledges. | To save changes, copy the 'Default "
                             "Format.kfrmt' file and move it to the '~/.local/share/Kinlore II/Formats' folder."});
}

// ---- Library data -------------------------------------------------------------

TEST_F(LibraryTest, LibraryDataGetsItsJoinedLists) {
    LibraryFolder& lib = setUp();
    struct Case {
        const char* key;
        Texts items;  // empty: absent
    } cases[] = {{"INDIEvntsAttrs", {"BIRT", "DEAT", "OCCU"}},
                 {"INDIEvntsOrdns", {}},
                 {"INDIAttrsOrdns", {}},
                 {"FAMEvntsOrdns", {}},
                 {"FAMEvents", {"MARR"}}};
    for (const Case& c : cases) {
        const Value* list = lib.klDictionary(c.key);
        if (c.items.empty()) {
            EXPECT_FALSE(list) << c.key;
            continue;
        }
        ASSERT_TRUE(list && list->array()) << c.key;
        Texts items;
        for (const Value& item : *list->array()) items.push_back(item.toString());
        EXPECT_EQ(items, c.items) << c.key;
    }
    EXPECT_EQ(lib.countryForCode("NL"), std::optional<std::string>("Netherlands"));
    EXPECT_EQ(lib.countryForCode("XX"), std::nullopt);
}

// Records sort their events, scripts search tag lists and record windows
// name events through the tree's services, never the folder itself.
TEST_F(LibraryTest, TheTreeSeesTheLoadedLibraryUntilTheFolderGoes) {
    LibraryFolder& lib = setUp();
    lib.setLocalStrings(Dictionary{{"Birth key", Value("Geburt")}});
    lib.changeLanguage();
    auto services = LibraryServices::current();
    auto events = services->tagList("INDIEvntsAttrs");
    ASSERT_TRUE(events);
    EXPECT_EQ(*events, (Texts{"BIRT", "DEAT", "OCCU"}));
    EXPECT_FALSE(services->tagList("INDIEvntsOrdns"));
    EXPECT_EQ(services->eventName("INDI", "BIRT"), std::optional<std::string>("Geburt"));
    EXPECT_EQ(services->eventName("FAM", "BIRT"), std::nullopt);
    EXPECT_EQ(services->localString("Birth key"), "Geburt");
    EXPECT_EQ(services->localString("No such key"), "No such key");

    library_.reset();
    EXPECT_FALSE(LibraryServices::current()->tagList("INDIEvntsAttrs"));
    EXPECT_EQ(LibraryServices::current()->localString("Birth key"), "Birth key");
}

TEST_F(LibraryTest, MissingLibraryDataIsAnInternalFailure) {
    fs::remove(resources() / "KLLibraryData.plist");
    fs::remove(resources() / "CountryCodes.plist");
    LibraryFolder& lib = library();
    try {
        lib.readMergeKLLibrary();
        ADD_FAILURE();
    } catch (const NamedException& e) {
        EXPECT_EQ(e.message(), "Resource error opening library data file");
    }
    lib.readCountryCodes();
    EXPECT_EQ(lib.countryForCode("NL"), std::nullopt);
}

// ---- Menus ----------------------------------------------------------------------

std::string outline(const std::vector<LibraryMenuItem>& menu, const std::string& indent = "") {
    std::string text;
    for (const auto& item : menu) {
        text += indent + (item.separator ? "----" : item.title);
        if (item.tag >= 0) text += " #" + std::to_string(item.tag);
        if (item.checked) text += " *";
        text += "\n" + outline(item.submenu, indent + "  ");
    }
    return text;
}

TEST_F(LibraryTest, ExtensionsMenuListsUserThenSystemItems) {
    writeFormat(libraryRoot() / "Formats/Mine.kfrmt", "mine");
    write(libraryRoot() / "Formats/Mine.kfrmt/English.html", "help");
    write(libraryRoot() / "Scripts/a.py", "");
    write(libraryRoot() / "Scripts/notes.txt", "");
    write(libraryRoot() / "Scripts/Empty/readme.txt", "");
    write(libraryRoot() / "Scripts/Cat/b.klscpt", "");
    write(libraryRoot() / "Bookmarks/Maps/Old.map.webloc", "");
    defaults_->setObject(Value("~/.local/share/Kinlore II/Formats/Mine.kfrmt"), LibraryFolder::currentFormatKey);
    LibraryFolder& lib = setUp();
    EXPECT_EQ(outline(lib.menus().scriptsMenu()),
              "--- User Extensions ---\n"
              "Browser Styles\n"
              "  Mine #0 *\n"
              "a #1\n"
              "Cat\n"
              "  b #2\n"
              "----\n"
              "--- System Extensions ---\n"
              "Browser Styles\n"
              "  Default Format #3\n"
              "First Run Tasks #4\n"
              "Tools\n"
              "  Tool #5\n");
    EXPECT_EQ(lib.menus().numUserExtensions(), 3);
    EXPECT_EQ(lib.menus().plugInAtIndex(2), libraryRoot() / "Scripts/Cat/b.klscpt");
    EXPECT_EQ(lib.menus().plugInAtIndex(6), std::nullopt);
    EXPECT_EQ(outline(lib.menus().documentationMenu()), "User: Browser Style - Mine #0\n");
    EXPECT_EQ(outline(lib.menus().bookmarksMenu()), "Maps\n  Old.map\n");

    lib.switchToDefaultFormat();
    const std::string after = outline(lib.menus().scriptsMenu());
    EXPECT_NE(after.find("  Mine #0\n"), std::string::npos) << after;
    EXPECT_NE(after.find("  Default Format #3 *\n"), std::string::npos) << after;
}

TEST_F(LibraryTest, NoExtensionsLeavesTheMenuEmptyAndItsItemsDisabled) {
    fs::remove_all(bundle() / "Scripts");
    LibraryFolder& lib = setUp();
    fs::remove_all(system() / "Formats");
    fs::remove_all(system() / "Scripts");
    lib.buildScriptsMenu();
    EXPECT_TRUE(lib.menus().scriptsMenu().empty());
    EXPECT_FALSE(lib.menus().validateMenuTag(8005));
    EXPECT_FALSE(lib.menus().validateMenuTag(8003));
    EXPECT_TRUE(lib.menus().validateMenuTag(1));
}

// ---- The shipped resources ----------------------------------------------------------

TEST_F(LibraryTest, SetUpWithTheShippedResources) {
    const fs::path shipped = fs::path(KL_SOURCE_DIR) / "resources";
    if (!fs::exists(shipped / "KinloreIIAppSupport/version.plist") ||
        !fs::is_directory(shipped / "KinloreIIAppSupport/Formats/Default Format.kfrmt") ||
        !fs::exists(shipped / "KLLibraryData.plist"))
        GTEST_SKIP() << "the shipped System resources are not there yet";
    ResourceFolder::setFolder(shipped);
    AppController::setResourcesFolder(shipped);
    LibraryFolder& lib = setUp();
    EXPECT_EQ(storedFormat(), "~/.local/share/Kinlore II/System/Formats/Default Format.kfrmt");
    EXPECT_TRUE(LibraryFolder::systemVersion(system() / "version.plist"));
    EXPECT_TRUE(lib.templates().templatesByName().contains(Templates::reportTemplate));
    EXPECT_TRUE(lib.templates().templatesByName().contains(Templates::reportBodyTemplate));
    for (const auto& [name, error] : lib.templates().compileAllTemplates()) ADD_FAILURE() << name << ": " << error;
    EXPECT_FALSE(lib.individualEvents().empty());
    EXPECT_FALSE(lib.familyEvents().empty());
}

}  // namespace
}  // namespace kl
