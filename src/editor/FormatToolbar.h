#pragma once
// FormatToolbar: the items of a Kinlore Editor document window's toolbar
// "indexToolBar", the order it may hold them in and the order it starts
// with. Each item sends its command tag to the window.
//
// Values only. Thread: any.
#include <optional>
#include <string>
#include <vector>

#include "app/ToolbarOrder.h"

namespace kl {

struct FormatToolbarItem {
    std::string identifier;
    std::string label;
    std::string image;
    int tag = 0;
    std::string toolTip;
};

class FormatToolbar {
public:
    static constexpr const char* kIdentifier = "indexToolBar";

    static const std::vector<FormatToolbarItem>& items();
    // nullopt for separators, spaces, the customise item and unknown names.
    static std::optional<FormatToolbarItem> itemForItemIdentifier(const std::string& identifier);
    static const ToolbarOrder& order();
};

}  // namespace kl
