#pragma once
// BrowserToolbar: the items of a record browser's toolbar "browserToolBar":
// its relationship buttons, the back/forward and previous/next pairs, help,
// and the document items it shares with the index window.
//
// Values only. Thread: any.
#include <optional>
#include <string>
#include <vector>

#include "index/IndexToolbar.h"

namespace kl {

class BrowserToolbar {
public:
    static constexpr const char* kIdentifier = "browserToolBar";
    static constexpr const char* kBackForward = "GoBackForward";
    static constexpr const char* kPrevNext = "GoPrevNext";
    static constexpr const char* kWindowHelp = "WindowHelp";

    static const std::vector<std::string>& toolbarAllowedItemIdentifiers();
    static const std::vector<std::string>& toolbarDefaultItemIdentifiers();
    // The browser's own items, else the shared ones; nullopt for spaces
    // and unknown identifiers.
    static std::optional<ToolbarItemSpec> itemForItemIdentifier(const std::string& identifier);
    static const ToolbarItems& items();
};

}  // namespace kl
