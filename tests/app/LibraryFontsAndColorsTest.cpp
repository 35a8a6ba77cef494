// The program's own fonts and colours as the library keeps them, and the
// table rows that put them in front of the current format's fonts and
// colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/Preferences.h"
#include "foundation/NotificationCenter.h"

namespace kl {
namespace {

using Names = std::vector<std::string>;

class LibraryFontsAndColors : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        defaults = std::make_unique<UserDefaults>("Kinlore II", config());
        AppController::initialize(*defaults);
        library = std::make_unique<LibraryFolder>(*defaults);
        library->readFontsAndColors();
        for (const char* name : {LibraryFolder::sourceFontChanged, LibraryFolder::treeFontChanged,
                                 LibraryFolder::treeChartFontChanged, LibraryFolder::treeColorChanged})
            observations.push_back(NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const Notification& note) { posted.push_back(note.name); }));
    }
    void TearDown() override {
        observations.clear();
        library.reset();
        defaults.reset();
        AppHomeTest::TearDown();
    }
    // A format with one font and one colour of its own besides those every
    // format has.
    void loadFormat() {
        Dictionary fonts{{"Note Text", Value(Array{Value(AppController::archive(Font{"Serif", 14, 0})),
                                                   Value(AppController::archive(Color{0, 0, 1, 1})), Value(1)})},
                         {"Note Text Dark", Value(Array{Value(AppController::archive(Font{"Serif", 14, 0})),
                                                        Value(AppController::archive(Color{1, 1, 0, 1})), Value(1)})}};
        Dictionary colors{{"Frame", Value(AppController::archive(Color{0, 1, 0, 1}))},
                          {"Frame Dark", Value(AppController::archive(Color{0.2, 0.2, 0.2, 1}))}};
        library->editingPrefs().readSettings(Dictionary{{"Fonts", Value(fonts)}, {"Colors", Value(colors)}}, "Test");
    }
    int fontRow(const std::string& name) const {
        for (int i = 0; i < library->editingPrefs().numberOfFontLines(); ++i)
            if (library->editingPrefs().fontNameAtIndex(i) == name) return i + LibraryFolder::systemFontRows;
        return -1;
    }
    int colorRow(const std::string& name) const {
        for (int i = 0; i < library->editingPrefs().numberOfColorLines(); ++i)
            if (library->editingPrefs().colorNameAtIndex(i) == name) return i + LibraryFolder::systemColorRows;
        return -1;
    }

    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<LibraryFolder> library;
    std::vector<Observation> observations;
    Names posted;
};

TEST_F(LibraryFontsAndColors, RowsComeFromTheDefaultsAndUnreadableOnesFromTheFallback) {
    EXPECT_EQ(library->systemFonts().size(), 4u);
    EXPECT_EQ(library->systemColors().size(), 12u);
    EXPECT_EQ(library->systemColorsDark().size(), 10u);
    // The registered defaults, not the fallbacks.
    EXPECT_EQ(library->systemColor(1), (Color{0, 0, 0.66, 1}));
    EXPECT_EQ(library->systemColorDark(7), Color::white(0.13));

    defaults->setObject(Value(Data{'n', 'o'}), "Tree Chart Font");
    defaults->setObject(Value(AppController::archive(Font{"Courier", 12, 0})), "Male Tree Chart Cell ColorDark");
    library->readFontsAndColors();
    EXPECT_EQ(library->systemFont(3), (Font{"Helvetica", 10, 0}));
    // A font where a colour belongs is no colour: the dark fallback.
    EXPECT_EQ(library->systemColorDark(3), (Color{0, 0, 1, 1}));
}

TEST_F(LibraryFontsAndColors, ChangesAreStoredAndToldOnlyInTheAppearanceShown) {
    struct Case {
        const char* what;
        bool dark;
        std::function<void(LibraryFolder&)> change;
        const char* key;
        Names expected;
    };
    const Color grey = Color::white(0.4);
    const Case cases[] = {
        {"source font", false, [](LibraryFolder& l) { l.setSystemFont(0, Font{"Mono", 11, 0}); }, "Source Editor Font",
         {LibraryFolder::sourceFontChanged}},
        {"index font tells the source pane", false, [](LibraryFolder& l) { l.setSystemFont(1, Font{"Sans", 9, 0}); },
         "Index Window Font", {LibraryFolder::sourceFontChanged}},
        {"chart font", false, [](LibraryFolder& l) { l.setSystemFont(3, Font{"Sans", 9, 0}); }, "Tree Chart Font",
         {LibraryFolder::treeChartFontChanged}},
        {"light colour in light", false, [&](LibraryFolder& l) { l.setSystemColor(3, grey); },
         "Male Tree Chart Cell Color", {LibraryFolder::treeColorChanged}},
        {"light colour in dark", true, [&](LibraryFolder& l) { l.setSystemColor(3, grey); },
         "Male Tree Chart Cell Color", {}},
        {"dark colour in dark", true, [&](LibraryFolder& l) { l.setSystemColorDark(3, grey); },
         "Male Tree Chart Cell ColorDark", {LibraryFolder::treeColorChanged}},
        {"dark colour in light", false, [&](LibraryFolder& l) { l.setSystemColorDark(0, grey); },
         "GEDCOM Source Error Color Dark", {}},
        {"map colour has no notification", false, [&](LibraryFolder& l) { l.setSystemColor(10, grey); },
         "Map Bounding Box Stroke Color", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        library->setInDarkMode(c.dark);
        posted.clear();
        c.change(*library);
        EXPECT_EQ(posted, c.expected);
        EXPECT_TRUE(defaults->dataForKey(c.key).has_value());
    }
    // What was stored is what the next launch reads.
    LibraryFolder next(*defaults);
    next.readFontsAndColors();
    EXPECT_EQ(next.systemFont(0), (Font{"Mono", 11, 0}));
    EXPECT_EQ(next.systemColor(10), grey);
    EXPECT_EQ(next.systemColorDark(3), grey);
}

TEST_F(LibraryFontsAndColors, ThemeColourAndHeaderFont) {
    library->setInDarkMode(true);
    EXPECT_EQ(library->themeColor(7), library->systemColorDark(7));
    EXPECT_TRUE(library->editingPrefs().inDarkMode());
    library->setInDarkMode(false);
    EXPECT_EQ(library->themeColor(7), library->systemColor(7));

    library->setSystemFont(2, Font{"Sans", 14, 2});
    EXPECT_EQ(library->headerFont(2), (Font{"Sans", 12, 2}));
    EXPECT_EQ(library->headerFont(3), library->systemFont(3));
}

TEST_F(LibraryFontsAndColors, TableRowsPutTheApplicationBeforeTheFormat) {
    loadFormat();
    const int note = fontRow("Note Text");
    const int frame = colorRow("Frame");
    ASSERT_GE(note, 4);
    ASSERT_GE(frame, 12);

    EXPECT_EQ(library->localFontName(1), "Index Window Font");
    EXPECT_EQ(library->localFontName(note), "Note Text");
    EXPECT_EQ(library->fontForRow(note), (Font{"Serif", 14, 0}));
    EXPECT_EQ(library->fontUnderlineForRow(0), -1);
    EXPECT_EQ(library->fontUnderlineForRow(note), 1);
    EXPECT_EQ(library->fontColorsForRow(2), std::vector<Color>{Color::white(1)});
    EXPECT_EQ(library->fontColorsForRow(note), (std::vector<Color>{{0, 0, 1, 1}, {1, 1, 0, 1}}));

    EXPECT_EQ(library->localColorName(11), "Map Bounding Box Fill Color");
    EXPECT_EQ(library->localColorName(frame), "Frame");
    EXPECT_EQ(library->colorsForRow(5).size(), 2u);
    EXPECT_EQ(library->colorsForRow(10), std::vector<Color>{library->systemColor(10)});
    EXPECT_EQ(library->colorsForRow(frame), (std::vector<Color>{{0, 1, 0, 1}, {0.2, 0.2, 0.2, 1}}));
    EXPECT_EQ(library->darkColorForRow(frame), (Color{0.2, 0.2, 0.2, 1}));
}

// The preferences tables hand each change to the variant and owner of
// the row it lands on.
TEST_F(LibraryFontsAndColors, TableChangesReachTheRightVariant) {
    loadFormat();
    const int note = fontRow("Note Text");
    const int frame = colorRow("Frame");
    const EditingPrefs& prefs = library->editingPrefs();
    const Color pink{1, 0.5, 0.5, 1};

    EXPECT_TRUE(Preferences::changeFont(*library, note, Font{"Mono", 9, 1}));
    EXPECT_EQ(prefs.fontAtIndex(note - 4), (Font{"Mono", 9, 1}));
    EXPECT_EQ(prefs.fontAtIndex(note - 4 + prefs.numberOfFontLines()), (Font{"Mono", 9, 1}));
    EXPECT_TRUE(prefs.changed());
    EXPECT_TRUE(Preferences::changeFont(*library, 2, Font{"Mono", 9, 0}));
    EXPECT_EQ(library->systemFont(2), (Font{"Mono", 9, 0}));

    EXPECT_TRUE(Preferences::changeFontColor(*library, note, false, pink));
    EXPECT_EQ(library->fontColorsForRow(note), (std::vector<Color>{{0, 0, 1, 1}, pink}));
    EXPECT_EQ(Preferences::fontColorForPanel(*library, note, false), pink);
    EXPECT_TRUE(Preferences::changeUnderline(*library, note, false));
    EXPECT_EQ(library->fontUnderlineForRow(note), 0);
    EXPECT_EQ(prefs.fontUnderlineAtIndex(note - 4 + prefs.numberOfFontLines()), 0);

    struct Refused {
        const char* what;
        std::function<bool()> change;
    } refused[] = {
        {"underline of an application font", [&] { return Preferences::changeUnderline(*library, 1, true); }},
        {"colour of an application font", [&] { return Preferences::changeFontColor(*library, 3, true, pink); }},
        {"font past the last row", [&] { return Preferences::changeFont(*library, 4 + prefs.numberOfFontLines(), {}); }},
        {"colour past the last row",
         [&] { return Preferences::changeColor(*library, 12 + prefs.numberOfColorLines(), true, pink); }},
    };
    for (const auto& r : refused) EXPECT_FALSE(r.change()) << r.what;

    struct ColorCase {
        int row;
        bool lightSide;
        std::function<Color()> light, dark;
    } colorCases[] = {
        {5, false, [&] { return library->systemColor(5); }, [&] { return library->systemColorDark(5); }},
        {5, true, [&] { return library->systemColor(5); }, [&] { return library->systemColorDark(5); }},
        {frame, false, [&] { return library->colorForRow(frame); }, [&] { return library->darkColorForRow(frame); }},
    };
    for (const auto& c : colorCases) {
        SCOPED_TRACE(c.row);
        const Color light = c.light(), dark = c.dark();
        const Color chosen{0.1 * c.row / 20, 0.3, c.lightSide ? 0.9 : 0.7, 1};
        EXPECT_TRUE(Preferences::changeColor(*library, c.row, c.lightSide, chosen));
        EXPECT_EQ(c.light(), c.lightSide ? chosen : light);
        EXPECT_EQ(c.dark(), c.lightSide ? dark : chosen);
        EXPECT_EQ(Preferences::colorForPanel(*library, c.row, c.lightSide), chosen);
    }
    // The map colours have one variant: the dark half changes it too.
    EXPECT_TRUE(Preferences::changeColor(*library, 11, false, pink));
    EXPECT_EQ(library->systemColor(11), pink);
    EXPECT_EQ(Preferences::colorForPanel(*library, 11, false), pink);
}

}  // namespace
}  // namespace kl
