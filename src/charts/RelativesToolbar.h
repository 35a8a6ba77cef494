#pragma once
// RelativesToolbar: the items of a relatives window's toolbar
// "relativesToolBar": its own column, view and refresh items, and the
// document items it shares with the index window.
//
// Values only. Thread: any.
#include <optional>
#include <string>
#include <vector>

#include "index/IndexToolbar.h"

namespace kl {

class RelativesToolbar {
public:
    static constexpr const char* kIdentifier = "relativesToolBar";
    static constexpr int kToggleViewTag = 4003;
    static constexpr int kRefreshTag = 4008;

    static const std::vector<std::string>& toolbarAllowedItemIdentifiers();
    static const std::vector<std::string>& toolbarDefaultItemIdentifiers();
    // The window's own items, else the shared ones; nullopt for spaces
    // and unknown identifiers.
    static std::optional<ToolbarItemSpec> itemForItemIdentifier(const std::string& identifier);
    // The toolbar as data, for the shared toolbar widget and its
    // customise dialog; the order is kept under its own identifier.
    static const ToolbarItems& items();
};

}  // namespace kl
