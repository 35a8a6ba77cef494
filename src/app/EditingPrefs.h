#pragma once
// EditingPrefs: the editing settings of the interface format in use, read
// from and written to the format's "Editing.plist": the spacing variables
// of record panes, the format's own variables in named groups, and named
// fonts (with text colour and underline) and colours, each with a dark
// variant named "<name> Dark". The library folder owns the one instance,
// refills it at every format load and writes it back when changed(); pane
// builds copy its variable table, cells look fonts and colours up here.
//
// Thread: main thread only.
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Color.h"
#include "app/Font.h"
#include "foundation/Value.h"
#include "script/Variables.h"
#include "script/VariablesList.h"

namespace kl {

class EditingPrefs {
public:
    static constexpr const char* fileName = "Editing.plist";
    static constexpr const char* fontChangedNotification = "Editing Font Changed Notification";
    // Fonts that every format has after reading.
    static const std::vector<std::string>& requiredFonts();

    // ---- Reading and writing ---------------------------------------------
    // Fills everything from the file's dictionary; changed() ends false
    // unless a font or colour variant had to be made.
    void readSettings(const Dictionary& plist, std::string_view format);
    // Rebuilds the variable table, the eight spacing values and the groups.
    void readVariables(Array entries, std::string_view format);
    void readOneVariable(const Array& entry);
    // Inserts [label, name, "Number", value, index + 1] at the index (or at
    // the end when the array is shorter).
    static void installVariable(const std::string& label, const std::string& varName, double value,
                                std::size_t atIndex, Array& ofArray);
    // A missing font becomes Courier 12 points, black, not underlined.
    void verifyRequiredFont(const std::string& name);
    void releaseEditItems();
    // The settings as they are written to "Editing.plist".
    Dictionary dictionary() const;

    // "Editing.plist" of a format package folder; the format's name is the
    // folder's name without its extension. False with a message when the
    // file is missing or damaged; nothing is changed then.
    bool readFormat(const std::filesystem::path& formatFolder, std::string* error = nullptr);
    bool writeFormat(const std::filesystem::path& formatFolder, std::string* error = nullptr) const;

    bool changed() const { return changed_; }

    // ---- Spacing and variables -------------------------------------------
    double lineSkip() const { return lineSkip_; }
    double cellSkip() const { return cellSkip_; }
    double leftSkip() const { return leftSkip_; }
    double rightSkip() const { return rightSkip_; }
    double topMargin() const { return topMargin_; }
    double bottomMargin() const { return bottomMargin_; }
    double defaultWidth() const { return defaultWidth_; }
    double defaultHeight() const { return defaultHeight_; }

    const std::vector<std::shared_ptr<VariablesList>>& formatVariables() const { return formatVariables_; }
    void setFormatVariables(std::vector<std::shared_ptr<VariablesList>> groups) {
        formatVariables_ = std::move(groups);
    }
    // A fresh copy of the starting variables for one pane build.
    Variables initializeVariables() const { return initVariables_; }
    // The four spacing variables a template run may change, as they stand
    // in the table; a name the table lacks is not kept.
    static Variables storeSystemVariables(const Variables& variables);
    // Puts the four back; one that was absent when stored is removed again.
    static void restoreSystemVariables(const Variables& saved, Variables& inVariables);
    // The end of an edit in the variables outline: when the text differs
    // from the entry's value, the value becomes the text, the setting takes
    // effect, changed() is set and the font-changed notification posted.
    // False when nothing changed (also for a group row or a bad index).
    bool editVariable(std::size_t groupIndex, std::size_t entryIndex, const std::string& text);
    // An entry's value as the outline shows it and editVariable() compares it.
    static std::string variableText(const Value& value);

    // ---- Fonts and colours -------------------------------------------------
    int numberOfFonts() const { return int(fonts_.size()); }
    int numberOfColors() const { return int(colors_.size()); }
    int numberOfFontLines() const { return int(fontsList_.size() / 2); }
    int numberOfColorLines() const { return int(colors_.size() / 2); }
    std::optional<std::string> fontNameAtIndex(int index) const;
    std::optional<std::string> colorNameAtIndex(int index) const;
    std::optional<Font> fontAtIndex(int index) const;
    std::optional<Color> colorAtIndex(int index) const;
    int fontUnderlineAtIndex(int index) const;

    // In dark mode the "<name> Dark" value when there is one, else the
    // value of the name itself.
    std::optional<Font> fontNamed(const std::string& name) const;
    std::optional<Color> fontColorNamed(const std::string& name) const;
    int fontUnderlineNamed(const std::string& name) const;
    // Falls back to the stock colour named by the name ("red", "lightGray"),
    // else nothing.
    std::optional<Color> colorNamed(const std::string& name) const;
    std::optional<Color> fontColorNamedAsIs(const std::string& name) const;
    std::optional<Color> colorNamedAsIs(const std::string& name) const;

    void setFont(const Font& font, const std::string& forName);
    void setFontColor(const Color& color, const std::string& forName);
    void setColor(const Color& color, const std::string& forName);
    void setFontUnderline(int underline, const std::string& forName);

    // Set by the library folder when the appearance changes.
    bool inDarkMode() const { return inDarkMode_; }
    void setInDarkMode(bool dark) { inDarkMode_ = dark; }

    // A name whose last word is "Dark" names a dark variant; the light name
    // is the name without that word (nullopt for a light name).
    static std::optional<std::string> lightNameOf(const std::string& name);

private:
    void readFonts(const Dictionary& fonts);
    void readColors(const Dictionary& colors);
    void markChanged();
    double* spacingField(std::string_view name);
    template <class T>
    std::optional<T> lookUp(const std::map<std::string, T>& table, const std::string& name) const;

    double lineSkip_ = 5;
    double cellSkip_ = 5;
    double leftSkip_ = 10;
    double rightSkip_ = 10;
    double topMargin_ = 10;
    double bottomMargin_ = 10;
    double defaultWidth_ = 72;
    double defaultHeight_ = 22;
    std::vector<std::shared_ptr<VariablesList>> formatVariables_;
    Variables initVariables_;
    std::map<std::string, Font> fonts_;
    std::map<std::string, Color> fontColors_;
    std::map<std::string, int> fontUnderlines_;
    std::vector<std::string> fontsList_;
    std::map<std::string, Color> colors_;
    std::vector<std::string> colorsList_;
    bool changed_ = false;
    bool inDarkMode_ = false;
};

}  // namespace kl
