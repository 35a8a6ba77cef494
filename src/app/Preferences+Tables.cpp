// What a change in the font and colour tables of the preferences window
// does to the row it lands on.
#include "app/LibraryFolder.h"
#include "app/Preferences.h"

namespace kl {

namespace {

constexpr int kFontRows = LibraryFolder::systemFontRows;
constexpr int kColorRows = LibraryFolder::systemColorRows;
constexpr int kDarkRows = LibraryFolder::systemDarkColorRows;

// The format's names of a table row: its light line and the dark partner
// that lies `lines` further on.
struct Names {
    std::optional<std::string> light;
    std::optional<std::string> dark;
};

Names fontNames(const LibraryFolder& library, int row) {
    const EditingPrefs& prefs = library.editingPrefs();
    const int index = row - kFontRows;
    if (index < 0 || index >= prefs.numberOfFontLines()) return {};
    return {prefs.fontNameAtIndex(index), prefs.fontNameAtIndex(index + prefs.numberOfFontLines())};
}

Names colorNames(const LibraryFolder& library, int row) {
    const EditingPrefs& prefs = library.editingPrefs();
    const int index = row - kColorRows;
    if (index < 0 || index >= prefs.numberOfColorLines()) return {};
    return {prefs.colorNameAtIndex(index), prefs.colorNameAtIndex(index + prefs.numberOfColorLines())};
}

}  // namespace

bool Preferences::changeFont(LibraryFolder& library, int row, const Font& font) {
    if (row < 0) return false;
    if (row < kFontRows) {
        library.setSystemFont(row, font);
        return true;
    }
    const Names names = fontNames(library, row);
    if (!names.light || !names.dark) return false;
    library.editingPrefs().setFont(font, *names.light);
    library.editingPrefs().setFont(font, *names.dark);
    return true;
}

bool Preferences::changeUnderline(LibraryFolder& library, int row, bool on) {
    const Names names = fontNames(library, row);
    if (!names.light || !names.dark) return false;
    library.editingPrefs().setFontUnderline(on ? 1 : 0, *names.light);
    library.editingPrefs().setFontUnderline(on ? 1 : 0, *names.dark);
    return true;
}

bool Preferences::changeFontColor(LibraryFolder& library, int row, bool lightSide, const Color& color) {
    const Names names = fontNames(library, row);
    const auto& name = lightSide ? names.light : names.dark;
    if (!name) return false;
    library.editingPrefs().setFontColor(color, *name);
    return true;
}

bool Preferences::changeColor(LibraryFolder& library, int row, bool lightSide, const Color& color) {
    if (row < 0) return false;
    if (row < kDarkRows) {
        if (lightSide)
            library.setSystemColor(row, color);
        else
            library.setSystemColorDark(row, color);
        return true;
    }
    if (row < kColorRows) {
        library.setSystemColor(row, color);
        return true;
    }
    const Names names = colorNames(library, row);
    const auto& name = lightSide ? names.light : names.dark;
    if (!name) return false;
    library.editingPrefs().setColor(color, *name);
    return true;
}

Color Preferences::fontColorForPanel(const LibraryFolder& library, int row, bool lightSide) {
    if (row < kFontRows || lightSide) return library.fontColorForRow(row);
    return library.fontColorForRow(row + library.editingPrefs().numberOfFontLines());
}

Color Preferences::colorForPanel(const LibraryFolder& library, int row, bool lightSide) {
    if (lightSide || (row >= kDarkRows && row < kColorRows)) return library.colorForRow(row);
    return row < kDarkRows ? library.systemColorDark(row) : library.darkColorForRow(row);
}

}  // namespace kl
