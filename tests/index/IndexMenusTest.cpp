// Menu validation as a function of what the window shows, the predefined
// columns of the add-column menu, and the toolbar's items and orders.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "document/IndexStyle.h"
#include "index/AddColumnMenu.h"
#include "index/IndexMenuValidation.h"
#include "index/IndexToolbar.h"

namespace kl {
namespace {

using T = IndexMenuValidation;

SelectedRecordFacts facts(const char* type, const char* name = "Individual") {
    SelectedRecordFacts f;
    f.recordType = type;
    f.singularName = name;
    return f;
}

IndexMenuState shown(int32_t listType, std::size_t rows, std::optional<SelectedRecordFacts> selected = std::nullopt) {
    IndexMenuState s;
    s.listType = listType;
    s.listCount = 10;
    s.selectedRows = rows;
    s.selected = std::move(selected);
    s.recordsFocused = true;
    return s;
}

IndexMenuState lockedOne() {
    auto f = facts("INDI");
    f.deleteRefusal = "it is locked";
    return shown(ListRecordType, 1, f);
}

IndexMenuState withFacts(const char* type, bool SelectedRecordFacts::*flag) {
    auto f = facts(type);
    f.*flag = true;
    return shown(ListRecordType, 1, f);
}

struct MenuCase {
    const char* name;
    int tag;
    IndexMenuState state;
    bool enabled;
    std::optional<std::string> title;
};

class MenuValidation : public testing::TestWithParam<MenuCase> {};

TEST_P(MenuValidation, EnablesAndTitles) {
    const MenuCase& c = GetParam();
    const MenuAnswer answer = T::validateMenuTag(c.tag, c.state);
    EXPECT_EQ(answer.enabled, c.enabled);
    EXPECT_EQ(answer.title, c.title);
}

IndexMenuState unfocused() {
    auto s = shown(ListRecordType, 1, facts("INDI"));
    s.recordsFocused = false;
    return s;
}

IndexMenuState sourceShown() {
    IndexMenuState s;
    s.sourceShown = true;
    return s;
}

IndexMenuState portrait() {
    IndexMenuState s;
    s.styleHasPortrait = true;
    return s;
}

IndexMenuState highlighted() {
    IndexMenuState s;
    s.columnHighlighted = true;
    return s;
}

IndexMenuState singleRecordList() {
    auto s = shown(ListRecordType, 1, facts("NOTE", "Notes"));
    s.listCount = 1;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    IndexMenus, MenuValidation,
    testing::Values(
        MenuCase{"OneLockedRecord", T::DeleteRecords, lockedOne(), false, "Delete Locked Record"},
        MenuCase{"OneRecord", T::DeleteRecords, shown(ListRecordType, 1, facts("INDI")), true,
                 "Delete Individual Record"},
        MenuCase{"SeveralRowsOfAType", T::DeleteRecords, shown(ListRecordType, 3, facts("INDI")), true,
                 "Delete 3 Records"},
        MenuCase{"SeveralRowsOfAnAlbum", T::DeleteRecords, shown(ListUserAlbum, 2, facts("INDI")), true,
                 "Delete Records"},
        MenuCase{"NothingSelected", T::DeleteRecords, shown(ListRecordType, 0), false, std::nullopt},
        MenuCase{"FocusElsewhere", T::DeleteRecords, unfocused(), false, "Delete Individual Record"},
        MenuCase{"DeleteAlbumOnAlbum", T::DeleteAlbum, shown(ListUserAlbum, 0), true, std::nullopt},
        MenuCase{"DeleteAlbumOnType", T::DeleteAlbum, shown(ListRecordType, 0), false, std::nullopt},
        MenuCase{"RemoveFromAlbum", T::RemoveFromAlbum, shown(ListUserAlbum, 1, facts("INDI")), true, std::nullopt},
        MenuCase{"RemoveFromType", T::RemoveFromAlbum, shown(ListRecordType, 1, facts("INDI")), false, std::nullopt},
        MenuCase{"IndexData", T::IndexData, IndexMenuState{}, true, "Index Data..."},
        MenuCase{"SourceShown", T::ShowHideSource, sourceShown(), true, "Hide Source Editor"},
        MenuCase{"SourceHidden", T::ShowHideSource, IndexMenuState{}, true, "Show Source Editor"},
        MenuCase{"PortraitShown", T::PortraitColumn, portrait(), true, "Hide Portrait Column"},
        MenuCase{"PortraitHidden", T::PortraitColumn, IndexMenuState{}, true, "Show Portrait Column"},
        MenuCase{"EditColumnWithout", T::EditColumn, IndexMenuState{}, false, std::nullopt},
        MenuCase{"EditColumnWith", T::EditColumn, highlighted(), true, std::nullopt},
        MenuCase{"DeleteColumnWithout", T::DeleteColumn, IndexMenuState{}, false, std::nullopt},
        MenuCase{"MergeTwo", T::MergeTwoRecords, shown(ListRecordType, 2, facts("FAM", "Family")), true,
                 "Merge Two Family Records..."},
        MenuCase{"MergeThree", T::MergeTwoRecords, shown(ListRecordType, 3, facts("FAM", "Family")), false,
                 "Merge Two Family Records..."},
        MenuCase{"MergeInAOneRecordList", T::MergeTwoRecords, singleRecordList(), false, "Merge Two Notes Records..."},
        MenuCase{"SourcesPresent", T::Sources,
                 withFacts("INDI", &SelectedRecordFacts::hasSources), true, std::nullopt},
        MenuCase{"SourcesAbsent", T::Sources, shown(ListRecordType, 1, facts("INDI")), false, std::nullopt},
        MenuCase{"PlacesOfAFamily", T::Places, withFacts("FAM", &SelectedRecordFacts::hasPlaces), true,
                 std::nullopt},
        MenuCase{"PlacesOfANote", T::Places, withFacts("NOTE", &SelectedRecordFacts::hasPlaces), false,
                 std::nullopt},
        MenuCase{"AhnentafelOfIndividual", T::AhnentafelReport, shown(ListRecordType, 1, facts("INDI")), true,
                 std::nullopt},
        MenuCase{"RelativesOfFamily", T::AllRelativesReport, shown(ListRecordType, 1, facts("FAM")), false,
                 std::nullopt},
        MenuCase{"PlaceEventsOfPlace", T::PlaceEventsReport, shown(ListRecordType, 1, facts("_PLC")), true,
                 std::nullopt},
        MenuCase{"UnknownTagEnabled", 3012, IndexMenuState{}, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct PairsCase {
    const char* name;
    Dictionary defined;
    const char* type;
    std::vector<std::string> expressions;
};

class PredefinedColumns : public testing::TestWithParam<PairsCase> {};

TEST_P(PredefinedColumns, ChoosesTheTypeThenAlbumThenBuiltIn) {
    const PairsCase& c = GetParam();
    IndexStyle style(c.type);
    std::vector<std::string> expressions;
    for (const auto& item : AddColumnMenu::updateAddColumnMenu(&c.defined, style, true))
        expressions.push_back(item.expression);
    EXPECT_EQ(expressions, c.expressions);
}

INSTANTIATE_TEST_SUITE_P(
    AddColumnMenu, PredefinedColumns,
    testing::Values(
        PairsCase{"OwnType", Dictionary{{"FAM", Array{"MARR.DATE", "Marriage"}}, {"Album", Array{"rec", "Type"}}}, "FAM",
                  {"MARR.DATE"}},
        PairsCase{"AlbumEntryForOthers", Dictionary{{"Album", Array{"rec", "Type"}}}, "User Album 4", {"rec"}},
        PairsCase{"BuiltIn", Dictionary{}, "NOTE", {"view", "rec", ""}},
        PairsCase{"ShortEntryFallsToINDI", Dictionary{{"NOTE", Array{"x"}}, {"INDI", Array{"NAME", "Name"}}}, "NOTE",
                  {"NAME"}},
        PairsCase{"ShortEntryWithoutINDI", Dictionary{{"NOTE", Array{}}}, "NOTE", {"view", "rec", ""}},
        PairsCase{"TrailingExpressionDropped", Dictionary{{"SOUR", Array{"TITL", "Title", "AUTH"}}}, "SOUR",
                  {"TITL"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddColumnMenuItems, ShownColumnsAreCheckedOnlyWithATarget) {
    auto style = IndexStyle::defaultStyleForType("INDI");
    auto items = AddColumnMenu::updateAddColumnMenu(nullptr, *style, true);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].title, "Record description");
    EXPECT_TRUE(items[0].checked);
    EXPECT_FALSE(items[1].checked);
    EXPECT_FALSE(AddColumnMenu::updateAddColumnMenu(nullptr, *style, false)[0].checked);
}

TEST(AddColumnMenuItems, ChoicesAndTitles) {
    auto style = IndexStyle::defaultStyleForType("INDI");
    EXPECT_EQ(AddColumnMenu::addPredefinedColumn({"Custom expression", "", false}, *style).action,
              AddColumnMenu::Choice::Action::OpenSheet);
    auto shown = AddColumnMenu::addPredefinedColumn({"Record description", "view", true}, *style);
    EXPECT_EQ(shown.action, AddColumnMenu::Choice::Action::DeleteColumn);
    EXPECT_EQ(shown.column, 0);
    auto added = AddColumnMenu::addPredefinedColumn({"Born (year only)", "BIRT.DATE.year", false}, *style);
    EXPECT_EQ(added.action, AddColumnMenu::Choice::Action::AppendColumn);
    EXPECT_EQ(added.added.get("Label")->toString(), "Born");
    EXPECT_EQ(added.added.get("Width")->toInteger(), 100);
    EXPECT_EQ(AddColumnMenu::columnTitle("Name(s)"), "Name(s)") << "only a part after a space is cut";
}

TEST(Toolbar, DefaultAndAllowedOrders) {
    const std::vector<std::string> defaults{
        "AddAlbum",     "DeleteAlbum",    "Ancestors",   "Descendants",
        IndexToolbar::kFlexibleSpace,     "AddColumn",   "EditColumn",
        "DeleteColumn", "PortraitColumn", IndexToolbar::kFlexibleSpace,
        "DerevAzeduze", "WindowHelp",     "TypeFindField"};
    EXPECT_EQ(IndexToolbar::toolbarDefaultItemIdentifiers(), defaults);
    const auto& allowed = IndexToolbar::toolbarAllowedItemIdentifiers();
    EXPECT_EQ(allowed.size(), 21u);
    EXPECT_EQ(allowed[5], "ShowHideEditor");
    EXPECT_EQ(allowed.back(), "WindowHelp");
    for (const auto& id : defaults)
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), id), allowed.end()) << id;
}

TEST(Toolbar, ItemsOfTheWindowTheSharedOnesAndBareOnes) {
    const auto add = IndexToolbar::itemForItemIdentifier("AddColumn");
    EXPECT_EQ(add.tag, 3301);
    EXPECT_EQ(add.target, ToolbarItemSpec::Target::Window);
    EXPECT_EQ(add.toolTip, "Add index column");
    const auto ancestors = IndexToolbar::itemForItemIdentifier("Ancestors");
    EXPECT_EQ(ancestors.tag, 4001);
    EXPECT_EQ(ancestors.target, ToolbarItemSpec::Target::Document);
    EXPECT_EQ(IndexToolbar::commonToolBar("DerevAzeduze")->target, ToolbarItemSpec::Target::Application);
    EXPECT_FALSE(IndexToolbar::commonToolBar("AddColumn")) << "window items are not shared";
    const auto bare = IndexToolbar::itemForItemIdentifier("Mystery");
    EXPECT_EQ(bare.identifier, "Mystery");
    EXPECT_EQ(bare.tag, 0);
    EXPECT_EQ(bare.label, "");
}

TEST(Toolbar, ACustomisedOrderComesBackInTheNextWindow) {
    test::ScratchDefaults scratch;
    EXPECT_EQ(IndexToolbar::itemIdentifiers(*scratch.defaults), IndexToolbar::toolbarDefaultItemIdentifiers());
    IndexToolbar::saveItemIdentifiers(*scratch.defaults, {"TypeFindField", IndexToolbar::kSpace, "AddAlbum",
                                                          IndexToolbar::kSpace, "Bogus", "AddAlbum"});
    scratch.defaults->synchronize();
    UserDefaults later("Kinlore II", scratch.folder);
    EXPECT_EQ(IndexToolbar::itemIdentifiers(later),
              (std::vector<std::string>{"TypeFindField", IndexToolbar::kSpace, "AddAlbum", IndexToolbar::kSpace}));
}

}  // namespace
}  // namespace kl
