#include "places/AdvisorToolbar.h"

#include "places/PlaceAdvisor.h"

namespace kl {

namespace {
using T = ToolbarItemSpec::Target;
const std::vector<ToolbarItemSpec>& ownItems() {
    static const std::vector<ToolbarItemSpec> items{
        {"OpenAdvisorInBrowser", "Open in Browser", "Open in Browser", "Compass", T::Application, "showDerevAzeduze",
         PlaceAdvisor::OpenInBrowserTag, "Open place advisor in a web browser window"},
        {"CopyToPlaceRecord", "Copy To Place", "Copy to Place Record", "place", T::Window, "copyToPlaceRecord",
         PlaceAdvisor::CopyToPlaceTag, "Copy current place details to a Place Record"},
        {"SearchForPlace", "Search", "Search for Place", "search", T::Window, "searchForPlace",
         PlaceAdvisor::SearchTag, "Search for place in the current country"},
        {"WindowHelp", "Help", "Help", "HelpIcon", T::Window, "contextHelpTopic", 0,
         "Open help starting with information on this browser window"},
    };
    return items;
}
}  // namespace

const std::vector<std::string>& AdvisorToolbar::toolbarAllowedItemIdentifiers() {
    static const std::vector<std::string> ids{IndexToolbar::kSeparator,     IndexToolbar::kSpace,
                                              IndexToolbar::kFlexibleSpace, IndexToolbar::kCustomize,
                                              "OpenAdvisorInBrowser",       "CopyToPlaceRecord",
                                              "SearchForPlace",             "WindowHelp"};
    return ids;
}

const std::vector<std::string>& AdvisorToolbar::toolbarDefaultItemIdentifiers() {
    static const std::vector<std::string> ids{"OpenAdvisorInBrowser", "CopyToPlaceRecord", "SearchForPlace",
                                              IndexToolbar::kFlexibleSpace, "WindowHelp"};
    return ids;
}

std::optional<ToolbarItemSpec> AdvisorToolbar::itemForItemIdentifier(const std::string& identifier) {
    for (const auto& item : ownItems())
        if (item.identifier == identifier) return item;
    return std::nullopt;
}

const ToolbarItems& AdvisorToolbar::items() {
    static const ToolbarItems toolbar{
        kIdentifier, &toolbarAllowedItemIdentifiers, &toolbarDefaultItemIdentifiers,
        [](const std::string& identifier) {
            return itemForItemIdentifier(identifier).value_or(ToolbarItemSpec{identifier, {}, {}, {}, {}, {}, 0, {}});
        }};
    return toolbar;
}

}  // namespace kl
