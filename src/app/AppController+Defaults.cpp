#include <cstdlib>

#include "app/AppController.h"

namespace kl {

namespace {

constexpr Color rgb(double r, double g, double b, double a = 1) { return {r, g, b, a}; }

void put(Dictionary& values, std::string key, Value value) { values.set(std::move(key), std::move(value)); }

void putAll(Dictionary& values, std::initializer_list<std::pair<const char*, Value>> entries) {
    for (const auto& [key, value] : entries) put(values, key, value);
}

void putColors(Dictionary& values, std::initializer_list<std::pair<const char*, Color>> entries) {
    for (const auto& [key, color] : entries) AppController::defaultData(color, key, values);
}

void generalPreferences(Dictionary& values) {
    put(values, "Show GEDCOM Source Editor", false);
    AppController::defaultData(Font{"Courier", 12, 0}, "Source Editor Font", values);
    AppController::defaultData(Font{"Lucida Grande", 12, 0}, "Index Window Font", values);
    putColors(values, {{"GEDCOM Source Error Color", rgb(1, 0, 0)},
                       {"GEDCOM Source Error Color Dark", rgb(1.0, 0.6, 0.6)}});
    putAll(values, {{"Tracked Record Changed Dates", true},
                    {"Insert UUIDs", true},
                    {"Allow Fast Saves", true},
                    {"Check for Updates", true},
                    {"Open Help in Browser", true},
                    {"Reuse Windows", true}});
    AppController::initializeToolbarStyle(values);
    putAll(values, {{"Add Creation Date to New Records", true},
                    {"Warn on link to non-library file", true},
                    {"Warn before creating new place from user text", true},
                    {"Check spelling as you type", true},
                    {"Automatic spell correction", false},
                    {"GEDCOM Export Line Ending", "\n"},
                    {"GEDCOM Export Character Set", "UTF-8"},
                    {"Maximum Length of GEDCOM Line", 240},
                    {"GEDCOM Export Style", 0},
                    {"Path to current editing format", AppController::defaultFormatPath()},
                    {"Preferred format language", "English"},
                    {"Tree Styles", Dictionary{}}});
}

void datePreferences(Dictionary& values) {
    putAll(values, {{"GEDCOM Date Style", 1},
                    {"GEDCOM Date Month Case", 3},
                    {"GEDCOM Date Leading Zeros", 2},
                    {"GEDCOM Date Escape Code", 3},
                    {"GEDCOM Date AC and BC", 2},
                    {"GEDCOM Date Words Format", 3},
                    {"Search User Months", false},
                    {"Ignore User Date Format", false},
                    {"Assume dd/mm/yy if Ambiguous", false},
                    {"Assume Century if Needed", 20},
                    {"User-Defined Months", Array{}}});
}

void libraryPreferences(Dictionary& values) {
    put(values, "Index Column Settings", AppController::readBundleDictionary("Index"));
    put(values, "Panel Column Settings", AppController::readBundleDictionary("PanelIndex"));
    put(values, "Helper Applications", AppController::readBundleDictionary("HelperApps"));
    putAll(values, {{"Last Version Run", 0},
                    {"Show Startup Screen", true},
                    {"Drag File Index", 1},
                    {"User Name", "user"},
                    {"Use Local Place Data", 0},
                    {"Mundora Alias Web Site", "https://www.kinlore.org/Mundora.html"},
                    {"Select Mapping API", 0}});
}

// The two entries that package thumbnails read.
void thumbnailPreferences(Dictionary& values) {
    putAll(values, {{"Thumbnail Size", 192}, {"Thumbnail Compression", 0.85}});
}

void mapAndScriptPreferences(Dictionary& values) {
    putColors(values, {{"Map Bounding Box Stroke Color", rgb(1, 0, 0, 0.8)},
                       {"Map Bounding Box Fill Color", rgb(1, 0, 0, 0.08)}});
    putAll(values, {{"Autosave minutes", 61},
                    {"Autosave prompts", true},
                    {"Path to python", "/usr/bin/python"},
                    {"Path to ruby", "/usr/bin/ruby"},
                    {"Report counter", 1}});
}

}  // namespace

void AppController::defaultData(const Font& value, std::string key, Dictionary& values) {
    values.set(std::move(key), Value(archive(value)));
}

void AppController::defaultData(const Color& value, std::string key, Dictionary& values) {
    values.set(std::move(key), Value(archive(value)));
}

void AppController::defaultTreePreferences(Dictionary& values) {
    putAll(values, {{"Initial Generations", 5},
                    {"Maximum Generations", 100},
                    {"Use Tree Chart Mode First", true},
                    {"Tree Name Alignment", 2},
                    {"Tree Top Margin", 10.0},
                    {"Tree Row Spacing", 10.0},
                    {"Tree Row Width", 180.0},
                    {"Tree Row Minimum Height", 0.0},
                    {"Tree Portrait Height", 48.0},
                    {"Tree Generation Lines Thickness", 1.5},
                    {"Tree Left Margin", 10.0},
                    {"Tree Column Spacing", 32.0},
                    {"Tree Cell Padding", 3.0},
                    {"Tree Spouse Indent", 8.0},
                    {"Tree Cell Border Line Thickness", 0.8},
                    {"Ancestor Tree Orientation Flags", 2},
                    {"Ancestor Tree Portrait Orientation", 1},
                    {"Descendant Tree Orientation Flags", 2},
                    {"Descendant Tree Portrait Orientation", 1},
                    {"Show Page Lines in Charts", false}});
    const Color black = Color::black(), white = Color::white(1);
    putColors(values, {{"Male Tree Outline Text Color", rgb(0, 0, 0.66)},
                       {"Female Tree Outline Text Color", rgb(0.73, 0, 0)},
                       {"Male Tree Chart Cell Color", rgb(0.5, 0.75, 1.0)},
                       {"Female Tree Chart Cell Color", rgb(1.0, 0.5, 1.0)},
                       {"Male Tree Chart Text Color", black},
                       {"Female Tree Chart Text Color", black},
                       {"Tree Chart Background Color", white},
                       {"Tree Chart Cell Border Color", black},
                       {"Tree Chart Line Color", black},
                       {"Male Tree Outline Text Color Dark", rgb(0.52, 0.78, 1.0)},
                       {"Female Tree Outline Text Color Dark", rgb(1.0, 0.59, 1.0)},
                       // Stored files have always used these two keys
                       // without a blank before "Dark".
                       {"Male Tree Chart Cell ColorDark", rgb(0, 0, 0.72)},
                       {"Female Tree Chart Cell ColorDark", rgb(0.68, 0, 0)},
                       {"Male Tree Chart Text Color Dark", white},
                       {"Female Tree Chart Text Color Dark", white},
                       {"Tree Chart Background Color Dark", Color::white(0.13)},
                       {"Tree Chart Cell Border Color Dark", white},
                       {"Tree Chart Line Color Dark", white}});
    defaultData(Font{"Lucida Grande", 12, 0}, "Tree Outline Font", values);
    defaultData(Font{"Helvetica", 10, 0}, "Tree Chart Font", values);
}

std::string AppController::defaultFormatPath() {
    namespace fs = std::filesystem;
    const char* home = std::getenv("HOME");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    fs::path data;
    if (xdg && *xdg && fs::path(xdg).is_absolute())
        data = xdg;
    else
        data = fs::path(home && *home ? home : "/") / ".local/share";
    std::string path = (data / "Kinlore II/Formats/Default Format.kfrmt").lexically_normal().string();
    if (home && *home) {
        std::string prefix = fs::path(home).lexically_normal().string();
        while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
        if (prefix != "/" && path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size() &&
            path[prefix.size()] == '/')
            path = "~" + path.substr(prefix.size());
    }
    return path;
}

Dictionary AppController::registrationDefaults() {
    Dictionary values;
    generalPreferences(values);
    defaultTreePreferences(values);
    datePreferences(values);
    libraryPreferences(values);
    thumbnailPreferences(values);
    mapAndScriptPreferences(values);
    return values;
}

void AppController::initialize(UserDefaults& defaults) { defaults.registerDefaults(registrationDefaults()); }

}  // namespace kl
