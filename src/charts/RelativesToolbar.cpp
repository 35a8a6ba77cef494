#include "charts/RelativesToolbar.h"

namespace kl {

namespace {
using T = ToolbarItemSpec::Target;
const std::vector<ToolbarItemSpec>& ownItems() {
    static const std::vector<ToolbarItemSpec> items{
        {"AddColumn", "Add Column", "Add Column (Pal)", "AddColumn", T::Window, "editIndexColumn", 3301,
         "Add index column"},
        {"EditColumn", "Modify Column", "Modify Column (Pal)", "EditColumn", T::Window, "editIndexColumn", 3302,
         "Edit the selected column properties"},
        {"DeleteColumn", "Remove Column", "Remove Column (Pal)", "DeleteColumn", T::Window, "deleteIndexColumn", 3303,
         "Delete the selected column"},
        {"PortraitColumn", "Show/Hide Portrait", "Show/Hide Portrait (Pal)", "PortraitColumn", T::Window,
         "addRemovePortraitColumn", 3304, "Show or hide the portrait column"},
        {"ToggleView", "Toggle View", "Toggle View (Pal)", "ToggleView", T::Window, "toggleDisplayMode",
         RelativesToolbar::kToggleViewTag, "Toggle between chart and outline modes"},
        {"Refresh", "Refresh Tree", "Refresh Tree", "refresh", T::Window, "restartTheTree", RelativesToolbar::kRefreshTag,
         "Recalculate cells in the tree"},
        {"WindowHelp", "Help", "Help", "HelpIcon", T::Window, "contextHelpTopic", 0,
         "Open help starting with information on this browser window"},
    };
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
    for (const auto& item : ownItems())
        if (item.identifier == identifier) return item;
    return IndexToolbar::commonToolBar(identifier);
}

}  // namespace kl
