#include "app/Preferences.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "dates/DateBridge.h"
#include "foundation/NotificationCenter.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

Preferences::ChartHooks& chartHooks() {
    static Preferences::ChartHooks hooks;
    return hooks;
}

struct DateStyleParts {
    int style;
    const char* order;  // D day, M month, N numeric month, Y year
    const char* separator;
};

constexpr std::array<DateStyleParts, 21> kDateStyles{{
    {1, "DMY", " "},  {2, "MDY", " "},  {4, "DMY", "-"},  {5, "MDY", "-"},  {6, "DMY", "/"},  {7, "MDY", "/"},
    {8, "DMY", "."},  {9, "MDY", "."},  {11, "YMD", " "}, {12, "YMD", "-"}, {13, "YMD", "/"}, {14, "YMD", "."},
    {16, "DNY", "/"}, {17, "NDY", "/"}, {18, "YND", "/"}, {19, "DNY", "-"}, {20, "NDY", "-"}, {21, "YND", "-"},
    {22, "DNY", "."}, {23, "NDY", "."}, {24, "YND", "."},
}};

constexpr const char* kFallbackDateFormat = "%e %d %M %y %b";

struct Dimension {
    Preferences::TextField field;
    const char* key;
};

constexpr std::array<Dimension, 11> kDimensions{{
    {Preferences::TextField::TopMargin, "Tree Top Margin"},
    {Preferences::TextField::LeftMargin, "Tree Left Margin"},
    {Preferences::TextField::RowSpacing, "Tree Row Spacing"},
    {Preferences::TextField::RowWidth, "Tree Row Width"},
    {Preferences::TextField::RowMinimumHeight, "Tree Row Minimum Height"},
    {Preferences::TextField::ColumnSpacing, "Tree Column Spacing"},
    {Preferences::TextField::CellPadding, "Tree Cell Padding"},
    {Preferences::TextField::PortraitHeight, "Tree Portrait Height"},
    {Preferences::TextField::SpouseIndent, "Tree Spouse Indent"},
    {Preferences::TextField::BorderLine, "Tree Cell Border Line Thickness"},
    {Preferences::TextField::GenerationLines, "Tree Generation Lines Thickness"},
}};

const char* dimensionKey(Preferences::TextField field) {
    for (const Dimension& d : kDimensions)
        if (d.field == field) return d.key;
    return nullptr;
}

struct CheckBoxKey {
    int tag;
    const char* key;
};

constexpr std::array<CheckBoxKey, 14> kCheckBoxKeys{{
    {Preferences::TrackChangeDates, "Tracked Record Changed Dates"},
    {Preferences::AddCreationDate, "Add Creation Date to New Records"},
    {Preferences::IgnoreUserDateFormat, "Ignore User Date Format"},
    {Preferences::AssumeDayFirst, "Assume dd/mm/yy if Ambiguous"},
    {Preferences::ChartModeFirst, "Use Tree Chart Mode First"},
    {Preferences::SearchUserMonths, "Search User Months"},
    {Preferences::AllowFastSaves, "Allow Fast Saves"},
    {Preferences::CheckForUpdates, "Check for Updates"},
    {Preferences::HelpInBrowser, "Open Help in Browser"},
    {Preferences::WarnNonLibraryFile, "Warn on link to non-library file"},
    {Preferences::WarnBeforeCreatingPlace, "Warn before creating new place from user text"},
    {Preferences::InsertUUIDs, "Insert UUIDs"},
    {Preferences::AutosavePrompts, "Autosave prompts"},
    {Preferences::ReuseWindows, "Reuse Windows"},
}};

// Menus whose chosen index is stored as it is.
const char* indexMenuKey(int tag) {
    switch (tag) {
        case Preferences::DateStyle: return "GEDCOM Date Style";
        case Preferences::DateMonthCase: return "GEDCOM Date Month Case";
        case Preferences::DateLeadingZeros: return "GEDCOM Date Leading Zeros";
        case Preferences::DateEscapeCode: return "GEDCOM Date Escape Code";
        case Preferences::DateEra: return "GEDCOM Date AC and BC";
        case Preferences::MappingAPI: return "Select Mapping API";
        default: return nullptr;
    }
}

struct RadioKey {
    Preferences::RadioGroup group;
    const char* key;
    int changeType;
};

constexpr std::array<RadioKey, 4> kRadioKeys{{
    {Preferences::RadioGroup::Ancestor, "Ancestor Tree Orientation Flags", 0},
    {Preferences::RadioGroup::AncestorPortrait, "Ancestor Tree Portrait Orientation", 0},
    {Preferences::RadioGroup::Descendant, "Descendant Tree Orientation Flags", 1},
    {Preferences::RadioGroup::DescendantPortrait, "Descendant Tree Portrait Orientation", 1},
}};

const RadioKey& radioKey(Preferences::RadioGroup group) {
    for (const RadioKey& r : kRadioKeys)
        if (r.group == group) return r;
    return kRadioKeys.front();
}

// The whole part of a typed count, kept within int so a huge entry cannot
// overflow the conversion.
int wholeCount(double value, double least) {
    return static_cast<int>(std::clamp(std::floor(value), least, double(std::numeric_limits<int>::max())));
}

void reloadChartClasses() {
    if (chartHooks().reloadClassSettings) chartHooks().reloadClassSettings();
}

}  // namespace

void Preferences::setChartHooks(ChartHooks hooks) { chartHooks() = std::move(hooks); }

Preferences::Preferences(UserDefaults& defaults) : Preferences(defaults, NotificationCenter::defaultCenter()) {}

Preferences::Preferences(UserDefaults& defaults, NotificationCenter& center) : defaults_(defaults), center_(center) {}

void Preferences::post(const char* name) { center_.post(name, nullptr); }

// ---- The date display format

std::string Preferences::currentDateFormatString(const UserDefaults& defaults) {
    auto number = [&](const char* key) { return defaults.integerForKey(key); };
    std::string prefix;
    switch (number("GEDCOM Date Escape Code")) {
        case 1: break;
        case 2: prefix = "%E "; break;
        case 4: prefix = "%g "; break;
        default: prefix = "%e "; break;
    }
    const bool zeros = number("GEDCOM Date Leading Zeros") == 1;
    const std::string day = zeros ? "%D" : "%d";
    const std::string numericMonth = zeros ? "%N" : "%n";
    const bool userMonths = defaults.boolForKey("Search User Months");
    std::string month = "%M";
    switch (number("GEDCOM Date Month Case")) {
        case 1: month = userMonths ? "%t" : "%l"; break;
        case 2: month = userMonths ? "%u" : "%m"; break;
        case 3: month = userMonths ? "%U" : "%M"; break;
        default: break;
    }
    const std::string year = "%y";
    const std::string era = number("GEDCOM Date AC and BC") == 1 ? "%B" : "%b";

    const auto style = number("GEDCOM Date Style");
    if (style == 3) return prefix + month + " " + day + ", " + year + " " + era;
    for (const DateStyleParts& parts : kDateStyles) {
        if (parts.style != style) continue;
        std::string result = prefix;
        for (const char* p = parts.order; *p; ++p) {
            if (p != parts.order) result += parts.separator;
            switch (*p) {
                case 'D': result += day; break;
                case 'M': result += month; break;
                case 'N': result += numericMonth; break;
                default: result += year; break;
            }
        }
        return result + " " + era;
    }
    return kFallbackDateFormat;
}

int Preferences::wordsFormatItem(int value) {
    if (value == 4) return 6;
    return value >= 5 ? value - 1 : value;
}

int Preferences::wordsFormatValue(int item) {
    if (item == 6) return 4;
    return item == 4 || item == 5 ? item + 1 : item;
}

int Preferences::nameAlignmentItem(int alignment) {
    if (alignment == 0) return 0;
    return alignment == 2 ? 1 : 2;
}

int Preferences::nameAlignmentValue(int item) {
    if (item == 0) return 0;
    return item == 1 ? 2 : 1;
}

std::string Preferences::sampleDates() {
    return "Current: " + displayDateOrError("25 MAY 1985") + ", " + displayDateOrError("ABT 2 SEP 1200 BC") + ", " +
           displayDateOrError("5 SVN 5745");
}

std::string Preferences::changeDateDisplay(bool apply) {
    if (apply) {
        setDateDisplayFormat(currentDateFormatString(defaults_));
        post(dateFormatChanged);
    }
    return sampleDates();
}

// ---- Check boxes and menus

const char* Preferences::checkBoxKey(int tag) {
    for (const CheckBoxKey& k : kCheckBoxKeys)
        if (k.tag == tag) return k.key;
    return nullptr;
}

void Preferences::changeCheckBox(int tag, bool on) {
    const char* key = checkBoxKey(tag);
    if (!key) return;
    defaults_.setObject(Value(on), key);
    switch (tag) {
        case TrackChangeDates: GEDCOMRecord::setTrackingChangeDates(on); break;
        case IgnoreUserDateFormat:
            setShowDatesAsEntered(on);
            post(dateFormatChanged);
            break;
        case AssumeDayFirst:
            setDateOptionFlag(on);
            changeDateDisplay(true);
            break;
        case ChartModeFirst: reloadChartClasses(); break;
        case SearchUserMonths: changeDateDisplay(true); break;
        case AllowFastSaves: GEDCOMRecord::setCachingWhenSave(on); break;
        case InsertUUIDs: {
            const bool wasOn = GEDCOMRecord::insertingUUIDs();
            GEDCOMRecord::setInsertingUUIDs(on);
            if (on && !wasOn) post(verifyUUIDs);
            break;
        }
        default: break;
    }
}

void Preferences::changePopupMenu(int tag, int index) {
    if (const char* key = indexMenuKey(tag)) {
        defaults_.setObject(Value(index), key);
        if (tag != MappingAPI) changeDateDisplay(true);
        return;
    }
    switch (tag) {
        case DateWordsFormat: {
            const int value = wordsFormatValue(index);
            defaults_.setObject(Value(value), "GEDCOM Date Words Format");
            setDateStyle(value - 1);
            changeDateDisplay(true);
            break;
        }
        case TreeNameAlignment:
            defaults_.setObject(Value(nameAlignmentValue(index)), "Tree Name Alignment");
            post(treePageLinesChanged);
            break;
        case ToolbarStyle: AppController::setToolbarStylePreference(index + 1, defaults_); break;
        default: break;
    }
}

std::optional<int> Preferences::selectedItem(int tag) const {
    if (const char* key = indexMenuKey(tag)) return static_cast<int>(defaults_.integerForKey(key));
    switch (tag) {
        case DateWordsFormat:
            return wordsFormatItem(static_cast<int>(defaults_.integerForKey("GEDCOM Date Words Format")));
        case TreeNameAlignment:
            return nameAlignmentItem(static_cast<int>(defaults_.integerForKey("Tree Name Alignment")));
        case ToolbarStyle: return AppController::toolbarStylePreference(defaults_) - 1;
        default: return std::nullopt;
    }
}

// ---- Text fields

bool Preferences::changeTextBox(TextField field, double value) {
    if (!std::isfinite(value)) return false;
    switch (field) {
        case TextField::InitialGenerations:
            defaults_.setObject(Value(wholeCount(value, 1)), "Initial Generations");
            return true;
        case TextField::MaximumGenerations:
            defaults_.setObject(Value(wholeCount(value, 1)), "Maximum Generations");
            reloadChartClasses();
            return true;
        case TextField::AssumedCentury: {
            const int century = wholeCount(value / 100, 0);
            defaults_.setObject(Value(century), "Assume Century if Needed");
            setTwoDigitYearCentury(century);
            changeDateDisplay(true);
            return true;
        }
        default:
            // A negative size would turn the charts inside out.
            if (value < 0) return false;
            changeDimension(field, value);
            return true;
    }
}

void Preferences::changeDimension(TextField field, double value) {
    const char* key = dimensionKey(field);
    // The charts keep their sizes as floats; compare at that precision.
    const auto size = static_cast<float>(value);
    if (!key || size == static_cast<float>(defaults_.doubleForKey(key))) return;
    defaults_.setObject(Value(double(size)), key);
    post(treeDimensionChanged);
}

double Preferences::textBoxValue(TextField field) const {
    switch (field) {
        case TextField::InitialGenerations: return double(defaults_.integerForKey("Initial Generations"));
        case TextField::MaximumGenerations: return double(defaults_.integerForKey("Maximum Generations"));
        case TextField::AssumedCentury: return double(defaults_.integerForKey("Assume Century if Needed") * 100);
        default: {
            const char* key = dimensionKey(field);
            return key ? defaults_.doubleForKey(key) : 0;
        }
    }
}

void Preferences::changePythonPath(const std::string& path) { defaults_.setObject(Value(path), "Path to python"); }

// ---- Radio groups, autosave and the address

void Preferences::changeRadioGroup(RadioGroup group, int tag) {
    const RadioKey& radio = radioKey(group);
    defaults_.setObject(Value(tag), radio.key);
    reloadChartClasses();
    if (chartHooks().setOrientationChangeType) chartHooks().setOrientationChangeType(radio.changeType);
    post(treeOrientationChanged);
}

int Preferences::radioGroupValue(RadioGroup group) const {
    return static_cast<int>(defaults_.integerForKey(radioKey(group).key));
}

bool Preferences::changeAutoSaveTime(int minutes) {
    if (minutes == defaults_.integerForKey("Autosave minutes")) return false;
    defaults_.setObject(Value(minutes), "Autosave minutes");
    post(resetAutoSaveTimers);
    return true;
}

std::string Preferences::changeLanguage(LibraryFolder& library, const std::string& language) {
    library.templates().changeLanguage(language);
    library.changeLanguage();
    const std::string inForce = library.templates().language();
    defaults_.setObject(Value(inForce), "Preferred format language");
    return inForce;
}

void Preferences::storeAddress(const std::string& address) { defaults_.setObject(Value(address), "User Address"); }

}  // namespace kl
