#pragma once
// IndexToolbar: the index window's toolbar as data: the items it may hold
// (its own column, album and source-pane items and the document items it
// shares with the record browser and relatives windows), their default
// order, and the order a user customised, kept in the user defaults under
// the toolbar's identifier so every later index window shows it.
//
// Ownership: values only; the user defaults are borrowed.
// Thread: main thread.
#include <optional>
#include <string>
#include <vector>

namespace kl {

class UserDefaults;

struct ToolbarItemSpec {
    enum class Target { None, Window, Document, Application };
    std::string identifier;
    std::string label;
    std::string paletteLabel;
    std::string image;
    Target target = Target::None;
    std::string action;
    int tag = 0;
    std::string toolTip;
};

// A window's toolbar as data: the items it may hold, their default order,
// what each identifier stands for, and where the order a user customised is
// kept ("NSToolbar Configuration <identifier>").
struct ToolbarItems {
    std::string identifier;
    const std::vector<std::string>& (*allowed)() = nullptr;
    const std::vector<std::string>& (*defaultOrder)() = nullptr;
    // Any identifier gives an item; an unknown one carries just that.
    ToolbarItemSpec (*itemFor)(const std::string& identifier) = nullptr;

    std::string configurationKey() const { return "NSToolbar Configuration " + identifier; }
    // Unknown items and repeats of single items dropped.
    std::vector<std::string> sanitized(const std::vector<std::string>& identifiers) const;
    // The customised order when stored, else the default.
    std::vector<std::string> itemIdentifiers(const UserDefaults& defaults) const;
    void saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers) const;
    // Separators and spaces may stand more than once.
    static bool repeatable(const std::string& identifier);
};

class IndexToolbar {
public:
    static constexpr const char* kIdentifier = "indexToolBar";
    // Where the customised order is kept: a dictionary holding the list of
    // item identifiers under kItemIdentifiersKey.
    static constexpr const char* kConfigurationKey = "NSToolbar Configuration indexToolBar";
    static constexpr const char* kItemIdentifiersKey = "TB Item Identifiers";

    static constexpr const char* kSeparator = "NSToolbarSeparatorItem";
    static constexpr const char* kSpace = "NSToolbarSpaceItem";
    static constexpr const char* kFlexibleSpace = "NSToolbarFlexibleSpaceItem";
    static constexpr const char* kCustomize = "NSToolbarCustomizeToolbarItem";
    static constexpr const char* kPrint = "NSToolbarPrintItem";

    static const std::vector<std::string>& toolbarAllowedItemIdentifiers();
    // Add, modify and remove a column, and show or hide the portrait one.
    static const std::vector<ToolbarItemSpec>& columnItems();
    static const std::vector<std::string>& toolbarDefaultItemIdentifiers();
    // The index window's own items, then the shared ones; any other
    // identifier gives a bare item carrying just that identifier.
    static ToolbarItemSpec itemForItemIdentifier(const std::string& identifier);
    // The items the index window, the record browser and the relatives
    // windows share; nullopt for any other identifier.
    static std::optional<ToolbarItemSpec> commonToolBar(const std::string& identifier);
    // Another window's item: one of its own items, else a shared one.
    static std::optional<ToolbarItemSpec> ownOrCommon(const std::vector<ToolbarItemSpec>& own,
                                                      const std::string& identifier);

    // The order to show: the customised one when stored (unknown items and
    // repeats of single items dropped), else the default.
    static std::vector<std::string> itemIdentifiers(const UserDefaults& defaults);
    static void saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers);
    static std::vector<std::string> sanitized(const std::vector<std::string>& identifiers);
    // The index window's toolbar as data.
    static const ToolbarItems& items();
};

}  // namespace kl
