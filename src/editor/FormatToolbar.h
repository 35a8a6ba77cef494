#pragma once
// FormatToolbar: the items of a Kinlore Editor document window's toolbar
// "indexToolBar", the order it may hold them in and the order it starts
// with, as the toolbar data the customise dialog and the stored order
// work on. Each item sends its command tag to the window.
//
// Values only. Thread: any.
#include <string>
#include <vector>

#include "index/IndexToolbar.h"

namespace kl {

class FormatToolbar {
public:
    static constexpr const char* kIdentifier = "indexToolBar";

    static const std::vector<ToolbarItemSpec>& windowItems();
    static const std::vector<std::string>& toolbarAllowedItemIdentifiers();
    static const std::vector<std::string>& toolbarDefaultItemIdentifiers();
    // An unknown identifier, a space or a separator gives a bare item
    // carrying just that identifier (tag 0).
    static ToolbarItemSpec itemForItemIdentifier(const std::string& identifier);
    static const ToolbarItems& items();
};

}  // namespace kl
