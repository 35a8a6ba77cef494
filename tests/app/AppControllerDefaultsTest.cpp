#include <filesystem>

#include "AppTestSupport.h"
#include "foundation/Exception.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using testing::AppHomeTest;
using testing::ScopedEnv;

using DefaultsTest = AppHomeTest;

TEST_F(DefaultsTest, FreshAccountReadsEveryDefaultAndStoresNothing) {
    const Dictionary table = AppController::registrationDefaults();
    {
        UserDefaults defaults("Kinlore II", config());
        AppController::initialize(defaults);
        for (std::size_t i = 0; i < table.size(); ++i)
            EXPECT_EQ(defaults.objectForKey(table.keyAt(i)), table.valueAt(i)) << table.keyAt(i);
        EXPECT_FALSE(defaults.hasUnsavedChanges());
        EXPECT_TRUE(defaults.synchronize());
    }
    EXPECT_TRUE(fs::is_empty(config()));
}

struct PlainDefault {
    const char* key;
    Value value;
};

TEST_F(DefaultsTest, PlainValuesHaveTheirDefaults) {
    const PlainDefault cases[] = {
        {"Show GEDCOM Source Editor", false},
        {"Tracked Record Changed Dates", true},
        {"Toolbar Style", 1},
        {"GEDCOM Export Line Ending", "\n"},
        {"GEDCOM Export Character Set", "UTF-8"},
        {"Maximum Length of GEDCOM Line", 240},
        {"Preferred format language", "English"},
        {"Tree Styles", Dictionary{}},
        {"Initial Generations", 5},
        {"Tree Generation Lines Thickness", 1.5},
        {"Tree Cell Border Line Thickness", 0.8},
        {"Show Page Lines in Charts", false},
        {"GEDCOM Date Words Format", 3},
        {"Assume Century if Needed", 20},
        {"User-Defined Months", Array{}},
        {"Helper Applications", Dictionary{{"jpg", Array{Value(""), Value(1), Value(true)}}}},
        {"Last Version Run", 0},
        {"Use Local Place Data", 0},
        {"Select Mapping API", 0},
        {"Thumbnail Size", 192},
        {"Thumbnail Compression", 0.85},
        {"Autosave minutes", 61},
        {"Path to python", "/usr/bin/python"},
        {"Report counter", 1},
    };
    UserDefaults defaults("Kinlore II", config());
    AppController::initialize(defaults);
    for (const auto& c : cases) EXPECT_EQ(defaults.objectForKey(c.key), c.value) << c.key;
}

struct ColorDefault {
    const char* key;
    Color color;
};

TEST_F(DefaultsTest, ColoursAndFontsReadBackFromTheirArchives) {
    const ColorDefault colors[] = {
        {"GEDCOM Source Error Color Dark", {1.0, 0.6, 0.6, 1}},
        {"Male Tree Chart Cell ColorDark", {0, 0, 0.72, 1}},
        {"Female Tree Chart Cell ColorDark", {0.68, 0, 0, 1}},
        {"Tree Chart Background Color Dark", {0.13, 0.13, 0.13, 1}},
        {"Map Bounding Box Fill Color", {1, 0, 0, 0.08}},
    };
    UserDefaults defaults("Kinlore II", config());
    AppController::initialize(defaults);
    const Color none{0.3, 0.3, 0.3, 0.3};
    for (const auto& c : colors) EXPECT_EQ(AppController::unarchive(defaults.dataForKey(c.key), none), c.color) << c.key;
    // The two cell colours have always been stored without a blank before "Dark".
    EXPECT_TRUE(defaults.objectForKey("Male Tree Chart Cell Color Dark").isNull());
    EXPECT_TRUE(defaults.objectForKey("Female Tree Chart Cell Color Dark").isNull());

    const Font noFont{"None", 1, 0};
    EXPECT_EQ(AppController::unarchive(defaults.dataForKey("Source Editor Font"), noFont), (Font{"Courier", 12, 0}));
    EXPECT_EQ(AppController::unarchive(defaults.dataForKey("Tree Chart Font"), noFont), (Font{"Helvetica", 10, 0}));
}

TEST_F(DefaultsTest, TreePreferencesRunFromInitialGenerationsToTreeChartFont) {
    Dictionary tree;
    AppController::defaultTreePreferences(tree);
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree.keys().front(), "Initial Generations");
    EXPECT_EQ(tree.keys().back(), "Tree Chart Font");
}

TEST_F(DefaultsTest, DefaultFormatPathIsTildeAbbreviatedUnderHome) {
    EXPECT_EQ(AppController::defaultFormatPath(), "~/.local/share/Kinlore II/Formats/Default Format.kfrmt");
    ScopedEnv elsewhere("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(AppController::defaultFormatPath(), "/srv/data/Kinlore II/Formats/Default Format.kfrmt");
}

TEST_F(DefaultsTest, MissingResourceListIsAnInternalFailureNamingIt) {
    fs::remove(resources() / "PanelIndex.plist");
    try {
        AppController::registrationDefaults();
        FAIL() << "no exception";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "NSInternalInconsistencyException");
        EXPECT_EQ(e.message(), "Could not read library dictionary file named 'PanelIndex.plist'");
    }
}

}  // namespace
}  // namespace kl
