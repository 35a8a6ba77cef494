#pragma once
// Preferences: what each control of the preferences window does once the
// user changed it. Every handler writes its user default at once and passes
// the value into the running program (the record classes, the date engine,
// the chart classes through ChartHooks) or posts the notification the open
// windows refresh on. The window (PreferencesController in app/ui) keeps no
// copy of a setting; it reads the defaults back through this class.
//
// Ownership: the window owns one; the defaults and the notification centre
// are borrowed. Thread: main thread.
#include <functional>
#include <optional>
#include <string>

#include "app/Color.h"
#include "app/Font.h"
#include "foundation/UserDefaults.h"

namespace kl {

class LibraryFolder;
class NotificationCenter;

class Preferences {
public:
    // Tags of the check boxes; 4, 5 and 16 or more do nothing.
    enum CheckBoxTag {
        TrackChangeDates = 0,
        AddCreationDate = 1,
        IgnoreUserDateFormat = 2,
        AssumeDayFirst = 3,
        ChartModeFirst = 6,
        SearchUserMonths = 7,
        AllowFastSaves = 8,
        CheckForUpdates = 9,
        HelpInBrowser = 10,
        WarnNonLibraryFile = 11,
        WarnBeforeCreatingPlace = 12,
        InsertUUIDs = 13,
        AutosavePrompts = 14,
        ReuseWindows = 15,
    };
    // Tags of the pop-up menus; 8, 9 and tags outside 2 to 12 do nothing.
    enum PopupTag {
        DateWordsFormat = 2,
        DateStyle = 3,
        DateMonthCase = 4,
        DateLeadingZeros = 5,
        DateEscapeCode = 6,
        DateEra = 7,
        TreeNameAlignment = 10,
        MappingAPI = 11,
        ToolbarStyle = 12,
    };
    enum class TextField {
        InitialGenerations,
        MaximumGenerations,
        AssumedCentury,
        TopMargin,
        LeftMargin,
        RowSpacing,
        RowWidth,
        RowMinimumHeight,
        ColumnSpacing,
        CellPadding,
        PortraitHeight,
        SpouseIndent,
        BorderLine,
        GenerationLines,
    };
    enum class RadioGroup { Ancestor, AncestorPortrait, Descendant, DescendantPortrait };

    // The chart classes live above this library; the program wires them.
    struct ChartHooks {
        // The generation limit, first mode and orientations are read again
        // from the defaults.
        std::function<void()> reloadClassSettings;
        // Which kind of chart (0 ancestors, 1 descendants) an orientation
        // change concerns.
        std::function<void(int kind)> setOrientationChangeType;
    };
    static void setChartHooks(ChartHooks hooks);

    static constexpr const char* dateFormatChanged = "Date Format Changed Notification";
    static constexpr const char* verifyUUIDs = "Verify UUIDs Notification";
    static constexpr const char* resetAutoSaveTimers = "ResetAutoSaveTimers";
    static constexpr const char* treeDimensionChanged = "Tree Dimension Changed Notification";
    static constexpr const char* treePageLinesChanged = "Tree Chart Page Lines Changed Notification";
    static constexpr const char* treeOrientationChanged = "Tree Orientation Changed in Preferences";
    // An autosave interval of this many minutes means never.
    static constexpr int autosaveNever = 61;

    explicit Preferences(UserDefaults& defaults = UserDefaults::standard());
    Preferences(UserDefaults& defaults, NotificationCenter& center);

    UserDefaults& defaults() const { return defaults_; }

    // The date display format the defaults describe; also set at launch.
    static std::string currentDateFormatString(const UserDefaults& defaults);
    // The words-format menu lists the values 0, 1, 2, 3, 5, 6, 4.
    static int wordsFormatItem(int value);
    static int wordsFormatValue(int item);
    // Item of the name-alignment menu: 0 left, 1 centre, 2 right.
    static int nameAlignmentItem(int alignment);
    static int nameAlignmentValue(int item);

    // The default a check box edits; nullptr for a tag without one.
    static const char* checkBoxKey(int tag);
    void changeCheckBox(int tag, bool on);
    void changePopupMenu(int tag, int index);
    // The item a menu with a stored index shows; nullopt for other tags.
    std::optional<int> selectedItem(int tag) const;
    // Field values are floats as typed. False when the entry was refused
    // (not a finite number, or a negative chart dimension): nothing stored.
    bool changeTextBox(TextField field, double value);
    // The value a field shows, read back from the defaults.
    double textBoxValue(TextField field) const;
    void changePythonPath(const std::string& path);
    void changeRadioGroup(RadioGroup group, int tag);
    int radioGroupValue(RadioGroup group) const;
    // False when the interval is the stored one (nothing stored or posted).
    bool changeAutoSaveTime(int minutes);
    static bool autoSavePromptsEnabled(int minutes) { return minutes != autosaveNever; }
    void storeAddress(const std::string& address);

    // Switches the current format to the language; answers the language
    // in force (the format falls back when it lacks the one chosen), which
    // is also what is stored.
    std::string changeLanguage(LibraryFolder& library, const std::string& language);

    // ---- Font and colour tables ---------------------------------------------
    // Rows as LibraryFolder's table rows. Each answers false when the row
    // takes no such change (the window beeps); format fonts and colours go
    // through the editing settings, which mark them changed and tell the
    // windows.
    // The face is shared by a format font's light and dark variant.
    static bool changeFont(LibraryFolder& library, int row, const Font& font);
    static bool changeUnderline(LibraryFolder& library, int row, bool on);
    static bool changeFontColor(LibraryFolder& library, int row, bool lightSide, const Color& color);
    // Rows 10 and 11 have one variant, which every change goes to.
    static bool changeColor(LibraryFolder& library, int row, bool lightSide, const Color& color);
    // The colour a colour panel shows for a row and side.
    static Color fontColorForPanel(const LibraryFolder& library, int row, bool lightSide);
    static Color colorForPanel(const LibraryFolder& library, int row, bool lightSide);

    // With apply the date engine takes currentDateFormatString() and the
    // date-format notification is posted. Answers the sample line.
    std::string changeDateDisplay(bool apply);
    // "Current: " and three dates as the date engine displays them.
    static std::string sampleDates();

private:
    void post(const char* name);
    void changeDimension(TextField field, double value);

    UserDefaults& defaults_;
    NotificationCenter& center_;
};

}  // namespace kl
