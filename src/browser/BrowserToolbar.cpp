#include "browser/BrowserToolbar.h"

#include "browser/BrowserNavigation.h"

namespace kl {

namespace {
using T = ToolbarItemSpec::Target;
const std::vector<ToolbarItemSpec>& ownItems() {
    static const std::vector<ToolbarItemSpec> items{
        {"ShowFatherHusband", "Father", "View Father", "Father", T::Window, "doFatherCmd", kFatherTag,
         "View Father (tip)"},
        {"ShowMotherWife", "Mother", "View Mother", "Mother", T::Window, "doMotherCmd", kMotherTag,
         "View Mother (tip)"},
        {"ShowFamilies", "Families", "View Families", "Families", T::Window, "doFamiliesCmd", kFamiliesTag,
         "View Families (tip)"},
        {"ShowSpouse", "Spouse", "View Spouse", "Spouse", T::Window, "doSpouseCmd", kSpouseTag, "View Spouse (tip)"},
        {"ShowChildren", "Children", "View Children", "Children", T::Window, "doChildrenCmd", kChildrenTag,
         "View Children (tip)"},
        {"ShowSiblings", "Siblings", "View Siblings", "Siblings", T::Window, "doSiblingsCmd", kSiblingsTag,
         "View Siblings (tip)"},
        // The pairs validate their two buttons themselves.
        {BrowserToolbar::kBackForward, "Back/Forward", "Back/Forward (Pal)", "", T::Window, "", 0,
         "Back or Forward thru records in this window"},
        {BrowserToolbar::kPrevNext, "Previous/Next", "Previous/Next (Pal)", "", T::Window, "", 0,
         "Previous or Next record of the same type"},
        {BrowserToolbar::kWindowHelp, "Help", "Help", "HelpIcon", T::Window, "contextHelpTopic", 0,
         "Open help starting with information on this browser window"},
    };
    return items;
}
}  // namespace

const std::vector<std::string>& BrowserToolbar::toolbarAllowedItemIdentifiers() {
    static const std::vector<std::string> ids{
        IndexToolbar::kSeparator, IndexToolbar::kSpace, IndexToolbar::kFlexibleSpace, IndexToolbar::kCustomize,
        IndexToolbar::kPrint,     "ShowFatherHusband",  "ShowMotherWife",             "ShowFamilies",
        "ShowChildren",           "ShowSiblings",       "ShowSpouse",                 kBackForward,
        kPrevNext,                "SaveDocument",       "HomeRecord",                 "Ancestors",
        "Descendants",            "ReadToMe",           "CopySpecial",                "DerevAzeduze",
        kWindowHelp};
    return ids;
}

const std::vector<std::string>& BrowserToolbar::toolbarDefaultItemIdentifiers() {
    static const std::vector<std::string> ids{
        kBackForward,       "Ancestors",    "Descendants",  IndexToolbar::kFlexibleSpace,
        "ShowFatherHusband", "ShowMotherWife", "ShowFamilies", "ShowChildren",
        "ShowSiblings",     "ShowSpouse",   IndexToolbar::kFlexibleSpace, "DerevAzeduze",
        kWindowHelp,        kPrevNext};
    return ids;
}

std::optional<ToolbarItemSpec> BrowserToolbar::itemForItemIdentifier(const std::string& identifier) {
    return IndexToolbar::ownOrCommon(ownItems(), identifier);
}

const ToolbarItems& BrowserToolbar::items() {
    static const ToolbarItems toolbar{
        kIdentifier, &toolbarAllowedItemIdentifiers, &toolbarDefaultItemIdentifiers,
        [](const std::string& identifier) {
            return itemForItemIdentifier(identifier).value_or(ToolbarItemSpec{identifier, {}, {}, {}, {}, {}, 0, {}});
        }};
    return toolbar;
}

}  // namespace kl
