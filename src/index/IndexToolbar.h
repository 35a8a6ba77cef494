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

#include "app/ToolbarOrder.h"

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

class IndexToolbar {
public:
    static constexpr const char* kIdentifier = "indexToolBar";

    static constexpr const char* kSeparator = ToolbarOrder::kSeparator;
    static constexpr const char* kSpace = ToolbarOrder::kSpace;
    static constexpr const char* kFlexibleSpace = ToolbarOrder::kFlexibleSpace;
    static constexpr const char* kCustomize = ToolbarOrder::kCustomize;
    static constexpr const char* kPrint = ToolbarOrder::kPrint;

    // The allowed and default orders and where the customised one is kept.
    static const ToolbarOrder& order();

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

    // The order to show: the customised one when stored (unknown items and
    // repeats of single items dropped), else the default.
    static std::vector<std::string> itemIdentifiers(const UserDefaults& defaults);
    static void saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers);
    static std::vector<std::string> sanitized(const std::vector<std::string>& identifiers);
};

}  // namespace kl
