// The program's own fonts and colours as the library keeps them, and the
// table rows that put them in front of the current format's fonts and
// colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/LibraryFolder.h"
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

}  // namespace
}  // namespace kl
