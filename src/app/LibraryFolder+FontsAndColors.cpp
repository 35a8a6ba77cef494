// The program's own fonts and colours, and the rows of the preferences
// tables that put them in front of the current format's.
#include <algorithm>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "foundation/NotificationCenter.h"

namespace kl {

namespace {

struct FontRow {
    const char* key;
    Font fallback;
    const char* notification;
};

const FontRow kFontRows[LibraryFolder::systemFontRows] = {
    {"Source Editor Font", {"Courier", 12, 0}, LibraryFolder::sourceFontChanged},
    {"Index Window Font", {"Lucida Grande", 12, 0}, LibraryFolder::sourceFontChanged},
    {"Tree Outline Font", {"Lucida Grande", 12, 0}, LibraryFolder::treeFontChanged},
    {"Tree Chart Font", {"Helvetica", 10, 0}, LibraryFolder::treeChartFontChanged},
};

struct ColorRow {
    const char* key;
    Color fallback;
    const char* darkKey;  // nullptr: the row has no dark variant
    Color darkFallback;
    const char* notification;
};

constexpr Color kRed{1, 0, 0, 1};
constexpr Color kBlue{0, 0, 1, 1};
constexpr Color kBlack = Color::black();
constexpr Color kWhite = Color::white(1);

const ColorRow kColorRows[LibraryFolder::systemColorRows] = {
    {"GEDCOM Source Error Color", kRed, "GEDCOM Source Error Color Dark", {1.0, 0.6, 0.6, 1},
     LibraryFolder::sourceFontChanged},
    {"Male Tree Outline Text Color", kBlack, "Male Tree Outline Text Color Dark", kWhite,
     LibraryFolder::treeColorChanged},
    {"Female Tree Outline Text Color", kBlack, "Female Tree Outline Text Color Dark", kWhite,
     LibraryFolder::treeColorChanged},
    // Stored files have always used these two dark keys without a blank.
    {"Male Tree Chart Cell Color", kBlue, "Male Tree Chart Cell ColorDark", kBlue, LibraryFolder::treeColorChanged},
    {"Female Tree Chart Cell Color", kRed, "Female Tree Chart Cell ColorDark", kRed, LibraryFolder::treeColorChanged},
    {"Male Tree Chart Text Color", kBlack, "Male Tree Chart Text Color Dark", kWhite, LibraryFolder::treeColorChanged},
    {"Female Tree Chart Text Color", kBlack, "Female Tree Chart Text Color Dark", kWhite,
     LibraryFolder::treeColorChanged},
    {"Tree Chart Background Color", kWhite, "Tree Chart Background Color Dark", kBlack, LibraryFolder::treeColorChanged},
    {"Tree Chart Cell Border Color", kBlack, "Tree Chart Cell Border Color Dark", kWhite,
     LibraryFolder::treeColorChanged},
    {"Tree Chart Line Color", kBlack, "Tree Chart Line Color Dark", kWhite, LibraryFolder::treeColorChanged},
    {"Map Bounding Box Stroke Color", {1, 0, 0, 0.8}, nullptr, {}, nullptr},
    {"Map Bounding Box Fill Color", {1, 0, 0, 0.08}, nullptr, {}, nullptr},
};

template <class T>
bool inRange(int row, const std::vector<T>& list) {
    return row >= 0 && std::size_t(row) < list.size();
}

}  // namespace

void LibraryFolder::readFontsAndColors() {
    systemFonts_.clear();
    systemColors_.clear();
    systemColorsDark_.clear();
    for (const FontRow& row : kFontRows)
        systemFonts_.push_back(AppController::unarchive(defaults_.dataForKey(row.key), row.fallback));
    for (const ColorRow& row : kColorRows)
        systemColors_.push_back(AppController::unarchive(defaults_.dataForKey(row.key), row.fallback));
    for (const ColorRow& row : kColorRows)
        if (row.darkKey)
            systemColorsDark_.push_back(AppController::unarchive(defaults_.dataForKey(row.darkKey), row.darkFallback));
}

Font LibraryFolder::systemFont(int row) const {
    return inRange(row, systemFonts_) ? systemFonts_[std::size_t(row)] : kFontRows[0].fallback;
}

Font LibraryFolder::headerFont(int row) const {
    Font font = systemFont(row);
    font.size = std::min(font.size, 12.0);
    return font;
}

Color LibraryFolder::systemColor(int row) const {
    return inRange(row, systemColors_) ? systemColors_[std::size_t(row)] : kColorRows[0].fallback;
}

Color LibraryFolder::systemColorDark(int row) const {
    return inRange(row, systemColorsDark_) ? systemColorsDark_[std::size_t(row)] : kColorRows[0].darkFallback;
}

Color LibraryFolder::themeColor(int row) const { return inDarkMode_ ? systemColorDark(row) : systemColor(row); }

void LibraryFolder::setSystemFont(int row, const Font& font) {
    if (!inRange(row, systemFonts_)) return;
    systemFonts_[std::size_t(row)] = font;
    defaults_.setObject(Value(AppController::archive(font)), kFontRows[row].key);
    NotificationCenter::defaultCenter().post(kFontRows[row].notification, nullptr);
}

void LibraryFolder::setSystemColor(int row, const Color& color) {
    if (!inRange(row, systemColors_)) return;
    systemColors_[std::size_t(row)] = color;
    defaults_.setObject(Value(AppController::archive(color)), kColorRows[row].key);
    if (!inDarkMode_) notifySystemColorChange(row);
}

void LibraryFolder::setSystemColorDark(int row, const Color& color) {
    if (!inRange(row, systemColorsDark_)) return;
    systemColorsDark_[std::size_t(row)] = color;
    defaults_.setObject(Value(AppController::archive(color)), kColorRows[row].darkKey);
    if (inDarkMode_) notifySystemColorChange(row);
}

void LibraryFolder::notifySystemColorChange(int row) {
    if (row < 0 || row >= systemDarkColorRows) return;
    NotificationCenter::defaultCenter().post(kColorRows[row].notification, nullptr);
}

void LibraryFolder::setInDarkMode(bool dark) {
    inDarkMode_ = dark;
    editingPrefs_.setInDarkMode(dark);
}

// ---- Rows of the preferences tables

std::string LibraryFolder::localFontName(int row) const {
    if (row < systemFontRows) return row >= 0 ? kFontRows[row].key : std::string();
    return localString(editingPrefs_.fontNameAtIndex(row - systemFontRows).value_or(""));
}

std::string LibraryFolder::localColorName(int row) const {
    if (row < systemColorRows) return row >= 0 ? kColorRows[row].key : std::string();
    return localString(editingPrefs_.colorNameAtIndex(row - systemColorRows).value_or(""));
}

Font LibraryFolder::fontForRow(int row) const {
    if (row < systemFontRows) return systemFont(row);
    return editingPrefs_.fontAtIndex(row - systemFontRows).value_or(kFontRows[0].fallback);
}

int LibraryFolder::fontUnderlineForRow(int row) const {
    return row < systemFontRows ? -1 : editingPrefs_.fontUnderlineAtIndex(row - systemFontRows);
}

Color LibraryFolder::fontColorForRow(int row) const {
    if (row < systemFontRows) return kWhite;
    const auto name = editingPrefs_.fontNameAtIndex(row - systemFontRows);
    return (name ? editingPrefs_.fontColorNamedAsIs(*name) : std::nullopt).value_or(kBlack);
}

std::vector<Color> LibraryFolder::fontColorsForRow(int row) const {
    if (row < systemFontRows) return {fontColorForRow(row)};
    return {fontColorForRow(row), fontColorForRow(row + editingPrefs_.numberOfFontLines())};
}

Color LibraryFolder::colorForRow(int row) const {
    if (row < systemColorRows) return systemColor(row);
    const auto name = editingPrefs_.colorNameAtIndex(row - systemColorRows);
    return (name ? editingPrefs_.colorNamedAsIs(*name) : std::nullopt).value_or(Color::gray());
}

Color LibraryFolder::darkColorForRow(int row) const { return colorForRow(row + editingPrefs_.numberOfColorLines()); }

std::vector<Color> LibraryFolder::colorsForRow(int row) const {
    if (row < systemDarkColorRows) return {systemColor(row), systemColorDark(row)};
    if (row < systemColorRows) return {systemColor(row)};
    return {colorForRow(row), darkColorForRow(row)};
}

}  // namespace kl
