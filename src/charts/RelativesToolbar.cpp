#include "charts/RelativesToolbar.h"

namespace kl {

namespace {
using T = ToolbarItemSpec::Target;
const std::vector<ToolbarItemSpec>& ownItems() {
    static const std::vector<ToolbarItemSpec> items = [] {
        std::vector<ToolbarItemSpec> all = IndexToolbar::columnItems();
        all.insert(all.end(), {
            {"ToggleView", "Toggle View", "Toggle View (Pal)", "ToggleView", T::Window, "toggleDisplayMode",
             RelativesToolbar::kToggleViewTag, "Toggle between chart and outline modes"},
            {"Refresh", "Refresh Tree", "Refresh Tree", "refresh", T::Window, "restartTheTree", RelativesToolbar::kRefreshTag,
             "Recalculate cells in the tree"},
            {"WindowHelp", "Help", "Help", "HelpIcon", T::Window, "contextHelpTopic", 0,
             "Open help starting with information on this browser window"},
        });
        return all;
    }();
    return items;
}
}  // namespace

const std::vector<std::string>& RelativesToolbar::toolbarAllowedItemIdentifiers() {
    static const std::vector<std::string> ids{
        IndexToolbar::kSeparator, IndexToolbar::kSpace, IndexToolbar::kFlexibleSpace, IndexToolbar::kCustomize,
        IndexToolbar::kPrint,     "AddColumn",          "EditColumn",                 "DeleteColumn",
        "PortraitColumn",         "SaveDocument",       "HomeRecord",                 "Ancestors",
        "Descendants",            "ToggleView",         "Refresh",                    "ReadToMe",
        "CopySpecial",            "DerevAzeduze",       "WindowHelp"};
    return ids;
}

const std::vector<std::string>& RelativesToolbar::toolbarDefaultItemIdentifiers() {
    static const std::vector<std::string> ids{"Ancestors",    "Descendants",    "ToggleView", IndexToolbar::kFlexibleSpace,
                                              "AddColumn",    "EditColumn",     "DeleteColumn", "PortraitColumn",
                                              IndexToolbar::kFlexibleSpace, "Refresh", "ReadToMe", "WindowHelp"};
    return ids;
}

std::optional<ToolbarItemSpec> RelativesToolbar::itemForItemIdentifier(const std::string& identifier) {
    return IndexToolbar::ownOrCommon(ownItems(), identifier);
}

const ToolbarItems& RelativesToolbar::items() {
    static const ToolbarItems toolbar{
        kIdentifier, &toolbarAllowedItemIdentifiers, &toolbarDefaultItemIdentifiers,
        [](const std::string& identifier) {
            return itemForItemIdentifier(identifier).value_or(ToolbarItemSpec{identifier, {}, {}, {}, {}, {}, 0, {}});
        }};
    return toolbar;
}

}  // namespace kl
