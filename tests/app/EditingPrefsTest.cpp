#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppController.h"
#include "app/EditingPrefs.h"
#include "foundation/NotificationCenter.h"
#include "foundation/PropertyList.h"

namespace kl {
namespace {

Value fontItem(const Font& font, std::optional<Color> color = {}, std::optional<int> underline = {}) {
    Array items{Value(AppController::archive(font))};
    if (color) items.push_back(Value(AppController::archive(*color)));
    if (underline) items.push_back(Value(*underline));
    return Value(std::move(items));
}

Value colorItem(const Color& color) { return Value(AppController::archive(color)); }

Value entry(const char* label, const char* name, const char* type, Value value) {
    return Value(Array{Value(label), Value(name), Value(type), std::move(value)});
}

std::vector<std::string> labelsOf(const VariablesList& group) {
    std::vector<std::string> labels;
    for (const auto& e : group.variables()) labels.push_back(e[0].toString());
    return labels;
}

// A file in which every font and colour already has its dark variant, so
// reading it needs to make nothing.
Dictionary completeFile() {
    Dictionary fonts;
    for (const auto& name : EditingPrefs::requiredFonts()) {
        fonts.set(name, fontItem({"DejaVu Sans", 11, 0}, Color{0.1, 0.2, 0.3, 1}, 0));
        fonts.set(name + " Dark", fontItem({"DejaVu Sans", 11, 0}, Color{0.9, 0.8, 0.7, 1}, 0));
    }
    fonts.set("Title", fontItem({"DejaVu Serif", 18, Font::Bold}, Color{0, 0, 0.5, 1}, 1));
    fonts.set("Title Dark", fontItem({"DejaVu Serif", 18, Font::Bold}, Color{0.7, 0.7, 1, 1}, 1));
    Dictionary colors{{"Window Background", colorItem(Color::white(0.9))},
                      {"Window Background Dark", colorItem(Color::white(0.2))},
                      {"Editing Background", colorItem(Color::white(1))},
                      {"Editing Background Dark", colorItem(Color::white(0.1))},
                      {"Frame", colorItem({0.2, 0.4, 0.6, 1})},
                      {"Frame Dark", colorItem({0.6, 0.4, 0.2, 1})}};
    Array variables{entry("Left Margin", "#leftSkip", "Number", Value(14)),
                    entry("Line Spacing", "#lineSkip", "Number", Value("7")),
                    Value(Array{Value("Group"), Value(""), Value("Group"), Value("")}),
                    entry("Label Width", "#labelWidth", "Number", Value(120)),
                    entry("Place Style", "#placeStyle", "Text", Value("short")),
                    Value(Array{Value("Events"), Value(""), Value("Group"), Value("")}),
                    entry("Event Width", "#eventWidth", "Number", Value(300.5))};
    return Dictionary{{"Variables", Value(variables)}, {"Fonts", Value(fonts)}, {"Colors", Value(colors)}};
}

TEST(EditingPrefsVariables, AFileWithoutVariablesGetsTheEightDefaults) {
    EditingPrefs prefs;
    prefs.readSettings(Dictionary{}, "Plain");
    const auto& groups = prefs.formatVariables();
    ASSERT_EQ(groups.size(), 2u) << "the empty format group is removed";
    EXPECT_EQ(groups[0]->listName(), "Margin Settings");
    EXPECT_EQ(groups[1]->listName(), "Default Settings");
    EXPECT_EQ(labelsOf(*groups[0]),
              (std::vector<std::string>{"Left Margin", "Right Margin", "Top Margin", "Bottom Margin"}));
    EXPECT_EQ(labelsOf(*groups[1]), (std::vector<std::string>{"Line Spacing", "Cell Spacing", "Default Cell Width",
                                                              "Default Cell Height"}));
    const Array written = *prefs.dictionary().get("Variables")->array();
    ASSERT_EQ(written.size(), 8u);
    EXPECT_EQ((*written[6].array())[1], Value("#cellWidth$"));
    EXPECT_EQ((*written[6].array())[2], Value("Number"));
    EXPECT_EQ((*written[6].array())[4], Value(7));

    const double expected[] = {10, 10, 10, 10, 5, 5, 72, 22};
    const double actual[] = {prefs.leftSkip(), prefs.rightSkip(), prefs.topMargin(),    prefs.bottomMargin(),
                             prefs.lineSkip(), prefs.cellSkip(),  prefs.defaultWidth(), prefs.defaultHeight()};
    for (int i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(actual[i], expected[i]) << i;
    EXPECT_EQ(prefs.initializeVariables(),
              (Variables{{"#leftSkip", "10"}, {"#rightSkip", "10"}, {"#lineSkip", "5"}, {"#cellSkip", "5"}}));
}

TEST(EditingPrefsVariables, FormatVariablesFillTheirGroupsAndTheStartingTable) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    file.get("Variables")->array()->push_back(Value(Array{Value("short"), Value("#ignored")}));
    prefs.readSettings(file, "Classic");
    const auto& groups = prefs.formatVariables();
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[2]->listName(), "Group") << "a leading group entry names the first format group";
    EXPECT_EQ(labelsOf(*groups[2]), (std::vector<std::string>{"Label Width", "Place Style"}));
    EXPECT_EQ(groups[3]->listName(), "Events");
    EXPECT_DOUBLE_EQ(prefs.leftSkip(), 14);
    EXPECT_DOUBLE_EQ(prefs.lineSkip(), 7);
    EXPECT_DOUBLE_EQ(prefs.rightSkip(), 10);
    const Variables table = prefs.initializeVariables();
    EXPECT_EQ(table.at("#leftSkip"), "14");
    EXPECT_EQ(table.at("#lineSkip"), "7");
    EXPECT_EQ(table.at("#labelWidth"), "120");
    EXPECT_EQ(table.at("#placeStyle"), "short");
    EXPECT_EQ(table.at("#eventWidth"), "300.5");
    EXPECT_FALSE(table.count("#cellWidth$"));
    EXPECT_FALSE(table.count("#ignored"));
}

TEST(EditingPrefsVariables, TemplateRunsPutTheSpacingVariablesBack) {
    Variables vars{{"#leftSkip", "10"}, {"#lineSkip", "5"}, {"#cellSkip", "5"}, {"#other", "x"}};
    const Variables saved = EditingPrefs::storeSystemVariables(vars);
    vars["#leftSkip"] = "40";
    vars["#rightSkip"] = "3";
    vars["#other"] = "y";
    EditingPrefs::restoreSystemVariables(saved, vars);
    EXPECT_EQ(vars, (Variables{{"#leftSkip", "10"}, {"#lineSkip", "5"}, {"#cellSkip", "5"}, {"#other", "y"}}));
}

TEST(EditingPrefsVariables, EditingAValueAppliesItOnlyWhenItDiffers) {
    EditingPrefs prefs;
    prefs.readSettings(completeFile(), "Classic");
    ASSERT_FALSE(prefs.changed());
    int posted = 0;
    auto observation = NotificationCenter::defaultCenter().addObserver(
        EditingPrefs::fontChangedNotification, nullptr, [&](const Notification&) { ++posted; });

    EXPECT_FALSE(prefs.editVariable(0, 0, "14")) << "same text";
    EXPECT_FALSE(prefs.editVariable(9, 0, "1"));
    EXPECT_FALSE(prefs.editVariable(0, 99, "1"));
    EXPECT_EQ(posted, 0);
    EXPECT_FALSE(prefs.changed());

    ASSERT_TRUE(prefs.editVariable(0, 0, "20"));
    EXPECT_DOUBLE_EQ(prefs.leftSkip(), 20);
    EXPECT_EQ(prefs.initializeVariables().at("#leftSkip"), "20");
    ASSERT_TRUE(prefs.editVariable(2, 1, "long"));
    EXPECT_EQ(prefs.initializeVariables().at("#placeStyle"), "long");
    EXPECT_EQ(posted, 2);
    EXPECT_TRUE(prefs.changed());
}

// ---- Fonts and colours ----------------------------------------------------------

TEST(EditingPrefsFonts, ACompleteFileNeedsNothingMade) {
    EditingPrefs prefs;
    prefs.readSettings(completeFile(), "Classic");
    EXPECT_FALSE(prefs.changed());
    EXPECT_EQ(prefs.numberOfFontLines(), 7);
    EXPECT_EQ(prefs.numberOfFonts(), 14);
    EXPECT_EQ(prefs.numberOfColorLines(), 3);
    // Light names first, then their dark names in the same order.
    for (int i = 0; i < prefs.numberOfFontLines(); ++i)
        EXPECT_EQ(*prefs.fontNameAtIndex(i + prefs.numberOfFontLines()), *prefs.fontNameAtIndex(i) + " Dark");
    EXPECT_EQ(prefs.fontNameAtIndex(99), std::nullopt);
    EXPECT_EQ(prefs.fontUnderlineNamed("Title"), 1);
}

TEST(EditingPrefsFonts, ALightFontWithoutDarkGetsOneWithTheSameFaceAndColour) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    file.get("Fonts")->dictionary()->remove("Title Dark");
    prefs.readSettings(file, "Classic");
    EXPECT_TRUE(prefs.changed());
    EXPECT_EQ(prefs.fontNamed("Title Dark"), (Font{"DejaVu Serif", 18, Font::Bold}));
    EXPECT_EQ(prefs.fontColorNamedAsIs("Title Dark"), (Color{0, 0, 0.5, 1}));
    EXPECT_TRUE(prefs.dictionary().get("Fonts")->dictionary()->contains("Title Dark"));
}

TEST(EditingPrefsFonts, ADarkOnlyFontAlsoGetsItsLightName) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    file.get("Fonts")->dictionary()->remove("Title");
    prefs.readSettings(file, "Classic");
    EXPECT_TRUE(prefs.changed());
    EXPECT_EQ(prefs.fontNamed("Title"), (Font{"DejaVu Serif", 18, Font::Bold}));
    EXPECT_EQ(prefs.fontColorNamedAsIs("Title"), (Color{0.7, 0.7, 1, 1}));
}

TEST(EditingPrefsFonts, TheDarkFontAlwaysSharesTheLightFace) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    file.get("Fonts")->dictionary()->set("Title Dark", fontItem({"Comic", 30, 0}, Color{1, 1, 1, 1}, 0));
    prefs.readSettings(file, "Classic");
    EXPECT_FALSE(prefs.changed());
    prefs.setInDarkMode(true);
    EXPECT_EQ(prefs.fontNamed("Title"), (Font{"DejaVu Serif", 18, Font::Bold}));
    EXPECT_EQ(prefs.fontColorNamed("Title"), (Color{1, 1, 1, 1})) << "the dark entry keeps its own colour";
    EXPECT_EQ(prefs.fontUnderlineNamed("Title"), 1) << "and takes the light underline";
}

TEST(EditingPrefsFonts, MissingRequiredFontsAreCourierWithoutMarkingAChange) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    file.get("Fonts")->dictionary()->remove("Label Text");
    file.get("Fonts")->dictionary()->remove("Label Text Dark");
    prefs.readSettings(file, "Classic");
    EXPECT_FALSE(prefs.changed());
    EXPECT_EQ(prefs.fontNamed("Label Text"), (Font{"Courier", 12, 0}));
    EXPECT_EQ(prefs.fontColorNamed("Label Text"), Color::black());
    EXPECT_EQ(prefs.fontUnderlineNamed("Label Text"), 0);
    prefs.setInDarkMode(true);
    EXPECT_EQ(prefs.fontNamed("Label Text"), (Font{"Courier", 12, 0})) << "no dark variant: the light one";
}

TEST(EditingPrefsFonts, UnreadableFontDataGivesTheSystemFont) {
    EditingPrefs prefs;
    Dictionary file = completeFile();
    const std::string junk = "not an archive";
    file.get("Fonts")->dictionary()->set("Title", Value(Array{Value(Data(junk.begin(), junk.end())), Value(3)}));
    prefs.readSettings(file, "Classic");
    EXPECT_EQ(prefs.fontNamed("Title"), (Font{"Helvetica", 12, 0}));
    EXPECT_EQ(prefs.fontColorNamed("Title"), Color::black());
}

TEST(EditingPrefsColors, BackgroundsDefaultsAndDarkVariants) {
    EditingPrefs prefs;
    prefs.readSettings(Dictionary{{"Colors", Value(Dictionary{{"Frame", colorItem({0.2, 0.4, 0.6, 1})}})}},
                       "Plain");
    EXPECT_TRUE(prefs.changed());
    EXPECT_EQ(prefs.colorNamed("Window Background"), Color::lightGray());
    EXPECT_EQ(prefs.colorNamed("Editing Background"), Color::white(1));
    EXPECT_EQ(prefs.colorNamedAsIs("Frame Dark"), (Color{0.2, 0.4, 0.6, 1}));
    EXPECT_EQ(prefs.colorNamedAsIs("Window Background Dark"), Color::gray());
    EXPECT_EQ(prefs.numberOfColors(), 6);
    EXPECT_EQ(*prefs.colorNameAtIndex(3), "Frame Dark");
}

struct ColorLookupCase {
    const char* name;
    bool dark;
    std::optional<Color> color;
};

TEST(EditingPrefsColors, LookupsPreferTheDarkVariantThenStockColours) {
    EditingPrefs prefs;
    prefs.readSettings(completeFile(), "Classic");
    const ColorLookupCase cases[] = {
        {"Frame", false, Color{0.2, 0.4, 0.6, 1}},
        {"Frame", true, Color{0.6, 0.4, 0.2, 1}},
        {"blue", false, Color{0, 0, 1, 1}},
        {"lightGray", true, Color::lightGray()},
        {"Blue", false, std::nullopt},
        {"nosuch", false, std::nullopt},
    };
    for (const auto& c : cases) {
        prefs.setInDarkMode(c.dark);
        EXPECT_EQ(prefs.colorNamed(c.name), c.color) << c.name << " dark " << c.dark;
    }
}

TEST(EditingPrefsColors, SettersMarkTheChangeAndNotify) {
    EditingPrefs prefs;
    prefs.readSettings(completeFile(), "Classic");
    int posted = 0;
    auto observation = NotificationCenter::defaultCenter().addObserver(
        EditingPrefs::fontChangedNotification, nullptr, [&](const Notification&) { ++posted; });
    prefs.setColor({0, 1, 0, 1}, "Frame");
    prefs.setFont({"Courier", 9, 0}, "Title");
    prefs.setFontColor({1, 0, 0, 1}, "Title");
    prefs.setFontUnderline(2, "Title");
    EXPECT_EQ(posted, 4);
    EXPECT_TRUE(prefs.changed());
    EXPECT_EQ(prefs.colorNamed("Frame"), (Color{0, 1, 0, 1}));
    EXPECT_EQ(prefs.fontUnderlineNamed("Title"), 2);
}

// ---- Writing ------------------------------------------------------------------------

TEST(EditingPrefsWriting, TheDictionaryReadsBackTheSame) {
    EditingPrefs first;
    first.readSettings(completeFile(), "Classic");
    first.editVariable(3, 0, "280");
    const Dictionary written = first.dictionary();

    EditingPrefs second;
    second.readSettings(written, "Classic");
    EXPECT_FALSE(second.changed());
    EXPECT_EQ(second.dictionary(), written);
    EXPECT_EQ(second.initializeVariables(), first.initializeVariables());
    ASSERT_EQ(second.formatVariables().size(), first.formatVariables().size());
    for (std::size_t g = 0; g < first.formatVariables().size(); ++g) {
        EXPECT_EQ(second.formatVariables()[g]->listName(), first.formatVariables()[g]->listName());
        EXPECT_EQ(labelsOf(*second.formatVariables()[g]), labelsOf(*first.formatVariables()[g]));
    }
    for (const char* name : {"Title", "Title Dark", "Editing Text"})
        EXPECT_EQ(second.fontNamed(name), first.fontNamed(name)) << name;
    EXPECT_EQ(second.colorNamedAsIs("Frame Dark"), first.colorNamedAsIs("Frame Dark"));
}

TEST(EditingPrefsWriting, FormatFolderFileRoundTrips) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("kl-prefs-" + std::to_string(::getpid())) / "Classic.kfrmt";
    fs::create_directories(folder);
    EditingPrefs prefs;
    std::string error;
    EXPECT_FALSE(prefs.readFormat(folder, &error));
    EXPECT_FALSE(error.empty());

    ASSERT_TRUE(PropertyList::writeFile(Value(completeFile()), folder / EditingPrefs::fileName));
    ASSERT_TRUE(prefs.readFormat(folder, &error)) << error;
    EXPECT_EQ(prefs.formatVariables()[2]->listName(), "Group");
    prefs.readSettings(Dictionary{}, "Plain");
    ASSERT_TRUE(prefs.readFormat(folder));
    EXPECT_EQ(prefs.formatVariables().size(), 4u);
    ASSERT_TRUE(prefs.writeFormat(folder, &error)) << error;
    EditingPrefs again;
    ASSERT_TRUE(again.readFormat(folder));
    EXPECT_EQ(again.dictionary(), prefs.dictionary());
    fs::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace kl
