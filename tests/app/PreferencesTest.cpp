#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/Preferences.h"
#include "dates/DateBridge.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using Field = Preferences::TextField;

// Defaults in a private folder, the registered values in place, and every
// posted notification recorded; the date engine and the record classes are
// put back as the launch sets them.
class PreferencesTest : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        defaults_.emplace("Kinlore II", config());
        AppController::initialize(*defaults_);
        prefs_.emplace(*defaults_, center_);
        for (const char* name : {Preferences::dateFormatChanged, Preferences::verifyUUIDs,
                                 Preferences::resetAutoSaveTimers, Preferences::treeDimensionChanged,
                                 Preferences::treePageLinesChanged, Preferences::treeOrientationChanged})
            observations_.push_back(
                center_.addObserver(name, nullptr, [this](const Notification& n) { posted_.push_back(n.name); }));
        uuids_ = GEDCOMRecord::insertingUUIDs();
    }
    void TearDown() override {
        GEDCOMRecord::setInsertingUUIDs(uuids_);
        initDateDisplaySettings("%e %d %M %y %b", false, 20, 2, false);
        Preferences::setChartHooks({});
        observations_.clear();
        prefs_.reset();
        defaults_.reset();
        AppHomeTest::TearDown();
    }
    std::string format() const { return Preferences::currentDateFormatString(*defaults_); }
    void set(const char* key, Value value) { defaults_->setObject(std::move(value), key); }

    NotificationCenter center_;
    std::optional<UserDefaults> defaults_;
    std::optional<Preferences> prefs_;
    std::vector<Observation> observations_;
    std::vector<std::string> posted_;
    bool uuids_ = false;
};

struct FormatCase {
    int style, zeros, monthCase;
    bool userMonths;
    int escape, era;
    const char* expected;
};

TEST_F(PreferencesTest, DisplayFormatFollowsTheDateDefaults) {
    const FormatCase cases[] = {
        {1, 2, 3, false, 3, 2, "%e %d %M %y %b"},
        {3, 1, 1, false, 1, 1, "%l %D, %y %B"},
        {6, 1, 2, false, 2, 2, "%E %D/%m/%y %b"},
        {9, 2, 1, true, 4, 1, "%g %t.%d.%y %B"},
        {13, 2, 2, true, 3, 2, "%e %y/%u/%d %b"},
        {17, 1, 3, true, 7, 2, "%e %N/%D/%y %b"},
        {24, 2, 9, false, 3, 2, "%e %y.%n.%d %b"},
        {10, 1, 1, false, 1, 1, "%e %d %M %y %b"},
        {15, 1, 1, false, 1, 1, "%e %d %M %y %b"},
        {0, 1, 1, false, 1, 1, "%e %d %M %y %b"},
        {25, 1, 1, false, 1, 1, "%e %d %M %y %b"},
    };
    for (const FormatCase& c : cases) {
        set("GEDCOM Date Style", c.style);
        set("GEDCOM Date Leading Zeros", c.zeros);
        set("GEDCOM Date Month Case", c.monthCase);
        set("Search User Months", c.userMonths);
        set("GEDCOM Date Escape Code", c.escape);
        set("GEDCOM Date AC and BC", c.era);
        EXPECT_EQ(format(), c.expected) << "style " << c.style;
    }
}

TEST_F(PreferencesTest, WordsFormatMenuListsTheValueFourLast) {
    const int valueAtItem[] = {0, 1, 2, 3, 5, 6, 4};
    for (int item = 0; item < 7; ++item) {
        EXPECT_EQ(Preferences::wordsFormatValue(item), valueAtItem[item]);
        EXPECT_EQ(Preferences::wordsFormatItem(valueAtItem[item]), item);
    }
    prefs_->changePopupMenu(Preferences::DateWordsFormat, 6);
    EXPECT_EQ(defaults_->integerForKey("GEDCOM Date Words Format"), 4);
    EXPECT_EQ(prefs_->selectedItem(Preferences::DateWordsFormat), 6);
}

TEST_F(PreferencesTest, DateMenusStoreTheirIndexAndApplyTheNewFormat) {
    prefs_->changePopupMenu(Preferences::DateStyle, 16);
    prefs_->changePopupMenu(Preferences::DateLeadingZeros, 1);
    EXPECT_EQ(defaults_->integerForKey("GEDCOM Date Style"), 16);
    EXPECT_EQ(prefs_->selectedItem(Preferences::DateLeadingZeros), 1);
    EXPECT_EQ(std::count(posted_.begin(), posted_.end(), Preferences::dateFormatChanged), 2);
    EXPECT_NE(prefs_->changeDateDisplay(false).find("25/05/1985"), std::string::npos);
    EXPECT_EQ(prefs_->changeDateDisplay(false).rfind("Current: ", 0), 0u);
}

TEST_F(PreferencesTest, NameAlignmentMenuMapsItemsAndPostsPageLines) {
    const int valueAtItem[] = {0, 2, 1};
    for (int item = 0; item < 3; ++item) {
        prefs_->changePopupMenu(Preferences::TreeNameAlignment, item);
        EXPECT_EQ(defaults_->integerForKey("Tree Name Alignment"), valueAtItem[item]);
        EXPECT_EQ(prefs_->selectedItem(Preferences::TreeNameAlignment), item);
    }
    EXPECT_EQ(posted_, std::vector<std::string>(3, Preferences::treePageLinesChanged));
    prefs_->changePopupMenu(8, 1);
    prefs_->changePopupMenu(13, 1);
    EXPECT_EQ(posted_.size(), 3u);
}

TEST_F(PreferencesTest, ToolbarStyleMenuStoresTheStyleAfterItsItem) {
    prefs_->changePopupMenu(Preferences::ToolbarStyle, 2);
    EXPECT_EQ(defaults_->integerForKey("Toolbar Style"), 3);
    EXPECT_EQ(prefs_->selectedItem(Preferences::ToolbarStyle), 2);
}

TEST_F(PreferencesTest, CheckBoxesStoreByTagAndIgnoreUnusedTags) {
    prefs_->changeCheckBox(Preferences::ReuseWindows, false);
    prefs_->changeCheckBox(Preferences::HelpInBrowser, false);
    EXPECT_FALSE(defaults_->boolForKey("Reuse Windows"));
    EXPECT_FALSE(defaults_->boolForKey("Open Help in Browser"));
    const Dictionary before = defaults_->dictionaryRepresentation();
    for (int tag : {4, 5, 16, 40}) prefs_->changeCheckBox(tag, true);
    EXPECT_EQ(defaults_->dictionaryRepresentation(), before);
    EXPECT_TRUE(posted_.empty());
}

TEST_F(PreferencesTest, InsertUUIDsAsksForVerificationOnlyWhenTurnedOn) {
    GEDCOMRecord::setInsertingUUIDs(true);
    prefs_->changeCheckBox(Preferences::InsertUUIDs, true);
    EXPECT_TRUE(posted_.empty());
    prefs_->changeCheckBox(Preferences::InsertUUIDs, false);
    EXPECT_TRUE(posted_.empty());
    EXPECT_FALSE(GEDCOMRecord::insertingUUIDs());
    prefs_->changeCheckBox(Preferences::InsertUUIDs, true);
    EXPECT_EQ(posted_, std::vector<std::string>{Preferences::verifyUUIDs});
    EXPECT_TRUE(defaults_->boolForKey("Insert UUIDs"));
}

TEST_F(PreferencesTest, GenerationCountsAreAtLeastOne) {
    int reloads = 0;
    Preferences::setChartHooks({[&] { ++reloads; }, nullptr});
    const struct {
        double typed;
        int stored;
    } cases[] = {{0, 1}, {-4, 1}, {7.9, 7}, {1e300, std::numeric_limits<int>::max()}};
    for (const auto& c : cases) {
        EXPECT_TRUE(prefs_->changeTextBox(Field::InitialGenerations, c.typed));
        EXPECT_TRUE(prefs_->changeTextBox(Field::MaximumGenerations, c.typed));
        EXPECT_EQ(defaults_->integerForKey("Initial Generations"), c.stored) << c.typed;
        EXPECT_EQ(defaults_->integerForKey("Maximum Generations"), c.stored) << c.typed;
    }
    EXPECT_EQ(reloads, 4);
    EXPECT_FALSE(prefs_->changeTextBox(Field::MaximumGenerations, std::nan("")));
    EXPECT_EQ(reloads, 4);
}

TEST_F(PreferencesTest, AssumedCenturyIsStoredInHundreds) {
    EXPECT_TRUE(prefs_->changeTextBox(Field::AssumedCentury, 1950));
    EXPECT_EQ(defaults_->integerForKey("Assume Century if Needed"), 19);
    EXPECT_EQ(prefs_->textBoxValue(Field::AssumedCentury), 1900);
    bool valid = false;
    EXPECT_EQ(validateDateString("5/6/23", valid), "6 MAY 1923");
    EXPECT_TRUE(prefs_->changeTextBox(Field::AssumedCentury, -300));
    EXPECT_EQ(defaults_->integerForKey("Assume Century if Needed"), 0);
}

TEST_F(PreferencesTest, ChartDimensionChangesOnlyWhenTheValueDiffers) {
    EXPECT_TRUE(prefs_->changeTextBox(Field::RowWidth, 180));
    EXPECT_TRUE(posted_.empty());
    EXPECT_TRUE(prefs_->changeTextBox(Field::RowWidth, 200));
    EXPECT_TRUE(prefs_->changeTextBox(Field::BorderLine, 0.8));
    EXPECT_EQ(posted_, std::vector<std::string>{Preferences::treeDimensionChanged});
    EXPECT_EQ(defaults_->doubleForKey("Tree Row Width"), 200);
    // A negative size is refused rather than stored.
    EXPECT_FALSE(prefs_->changeTextBox(Field::CellPadding, -2));
    EXPECT_EQ(defaults_->doubleForKey("Tree Cell Padding"), 3);
}

TEST_F(PreferencesTest, OrientationGroupsStoreTheTagAndNameTheKind) {
    std::vector<int> kinds;
    Preferences::setChartHooks({nullptr, [&](int kind) { kinds.push_back(kind); }});
    prefs_->changeRadioGroup(Preferences::RadioGroup::Descendant, 3);
    prefs_->changeRadioGroup(Preferences::RadioGroup::AncestorPortrait, 0);
    EXPECT_EQ(defaults_->integerForKey("Descendant Tree Orientation Flags"), 3);
    EXPECT_EQ(prefs_->radioGroupValue(Preferences::RadioGroup::AncestorPortrait), 0);
    EXPECT_EQ(kinds, (std::vector<int>{1, 0}));
    EXPECT_EQ(posted_, std::vector<std::string>(2, Preferences::treeOrientationChanged));
}

TEST_F(PreferencesTest, AutosaveIntervalResetsTimersOnlyWhenChanged) {
    EXPECT_FALSE(prefs_->changeAutoSaveTime(61));
    EXPECT_TRUE(posted_.empty());
    EXPECT_TRUE(prefs_->changeAutoSaveTime(10));
    EXPECT_EQ(posted_, std::vector<std::string>{Preferences::resetAutoSaveTimers});
    EXPECT_TRUE(Preferences::autoSavePromptsEnabled(10));
    EXPECT_FALSE(Preferences::autoSavePromptsEnabled(61));
}

}  // namespace
}  // namespace kl
