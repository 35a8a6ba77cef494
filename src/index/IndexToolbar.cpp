#include "index/IndexToolbar.h"

#include <algorithm>
#include <set>

#include "foundation/UserDefaults.h"
#include "foundation/Value.h"

namespace kl {

namespace {

using T = ToolbarItemSpec::Target;

const std::vector<ToolbarItemSpec>& windowItems() {
    static const std::vector<ToolbarItemSpec> items = [] {
        std::vector<ToolbarItemSpec> all{
            {"ShowHideEditor", "Show Source", "Show Source (Pal)", "ShowEditor", T::Window, "showGEDCOMEditor",
             3009, "Show or Hide GEDCOM Source"}};
        const auto& columns = IndexToolbar::columnItems();
        all.insert(all.end(), columns.begin(), columns.end());
        all.insert(all.end(), {
            {"AddAlbum", "Add Album", "Add Album (Pal)", "AddAlbum", T::Window, "createAlbum", 1007, "Add Album (tip)"},
            {"DeleteAlbum", "Delete Album", "Delete Album (Pal)", "DeleteAlbum", T::Window, "removeAlbum", 1008,
             "Delete Album (tip)"},
            {"TypeFindField", "Find Record", "Find Record (Pal)", "", T::None, "", 0, "Type text to find matching record"},
            {"WindowHelp", "Help", "Help", "HelpIcon", T::Window, "contextHelpTopic", 0,
             "Open help starting with information on this index window"},
        });
        return all;
    }();
    return items;
}

const std::vector<ToolbarItemSpec>& sharedItems() {
    static const std::vector<ToolbarItemSpec> items{
        {"SaveDocument", "Save", "Save Document", "Save", T::Document, "saveDocument", 1004, "Save this document"},
        {"HomeRecord", "Home", "Home Record", "Home", T::Document, "doHomeRecordCommand", 3109,
         "Open the home record"},
        {"Ancestors", "Ancestors", "Ancestors Tree", "Ancestors", T::Document, "openAncestorsOrDescendants", 4001,
         "Open ancestors tree window"},
        {"Descendants", "Descendants", "Descendants Tree", "Descendants", T::Document, "openAncestorsOrDescendants",
         4002, "Open descendants tree window"},
        {"DerevAzeduze", "Derev Azeduze", "Show Derev Azeduze", "URL_mmObject", T::Application, "showDerevAzeduze",
         6101, "Open place advisor window"},
        {"ReadToMe", "Read To Me", "Read To Me", "ReadToMe", T::Document, "readRecordCommand", 3014,
         "Reads a brief audio description of the currently selected record"},
        {"CopySpecial", "Copy Special", "Copy Special", "CopySpecialIcon", T::Document, "copySpecialCommand", 2010,
         "Copies selected information about selected records to the clipboard"},
    };
    return items;
}

std::optional<ToolbarItemSpec> find(const std::vector<ToolbarItemSpec>& items, const std::string& identifier) {
    for (const auto& item : items)
        if (item.identifier == identifier) return item;
    return std::nullopt;
}

}  // namespace

// The column items every window with column styles offers.
const std::vector<ToolbarItemSpec>& IndexToolbar::columnItems() {
    static const std::vector<ToolbarItemSpec> items{
        {"AddColumn", "Add Column", "Add Column (Pal)", "AddColumn", T::Window, "editIndexColumn", 3301,
         "Add index column"},
        {"EditColumn", "Modify Column", "Modify Column (Pal)", "EditColumn", T::Window, "editIndexColumn", 3302,
         "Edit the selected column properties"},
        {"DeleteColumn", "Remove Column", "Remove Column (Pal)", "DeleteColumn", T::Window, "deleteIndexColumn", 3303,
         "Delete the selected column"},
        {"PortraitColumn", "Show/Hide Portrait", "Show/Hide Portrait (Pal)", "PortraitColumn", T::Window,
         "addRemovePortraitColumn", 3304, "Show or hide the portrait column"},
    };
    return items;
}

const std::vector<std::string>& IndexToolbar::toolbarAllowedItemIdentifiers() {
    static const std::vector<std::string> ids{
        kSeparator,       kSpace,         kFlexibleSpace, kCustomize,    kPrint,       "ShowHideEditor",
        "SaveDocument",   "AddColumn",    "EditColumn",   "DeleteColumn", "PortraitColumn", "AddAlbum",
        "DeleteAlbum",    "TypeFindField", "HomeRecord",  "Ancestors",   "Descendants", "ReadToMe",
        "CopySpecial",    "DerevAzeduze", "WindowHelp"};
    return ids;
}

const std::vector<std::string>& IndexToolbar::toolbarDefaultItemIdentifiers() {
    static const std::vector<std::string> ids{
        "AddAlbum",       "DeleteAlbum",  "Ancestors",    "Descendants", kFlexibleSpace, "AddColumn", "EditColumn",
        "DeleteColumn",   "PortraitColumn", kFlexibleSpace, "DerevAzeduze", "WindowHelp",  "TypeFindField"};
    return ids;
}

std::optional<ToolbarItemSpec> IndexToolbar::commonToolBar(const std::string& identifier) {
    return find(sharedItems(), identifier);
}

std::optional<ToolbarItemSpec> IndexToolbar::ownOrCommon(const std::vector<ToolbarItemSpec>& own,
                                                         const std::string& identifier) {
    if (auto item = find(own, identifier)) return item;
    return commonToolBar(identifier);
}

ToolbarItemSpec IndexToolbar::itemForItemIdentifier(const std::string& identifier) {
    if (auto own = find(windowItems(), identifier)) return *own;
    if (auto shared = commonToolBar(identifier)) return *shared;
    ToolbarItemSpec bare;
    bare.identifier = identifier;
    return bare;
}

bool ToolbarItems::repeatable(const std::string& id) {
    return id == IndexToolbar::kSeparator || id == IndexToolbar::kSpace || id == IndexToolbar::kFlexibleSpace;
}

std::vector<std::string> ToolbarItems::sanitized(const std::vector<std::string>& identifiers) const {
    const auto& allowedIds = allowed();
    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const auto& id : identifiers) {
        if (std::find(allowedIds.begin(), allowedIds.end(), id) == allowedIds.end()) continue;
        if (!repeatable(id) && !seen.insert(id).second) continue;
        out.push_back(id);
    }
    return out;
}

std::vector<std::string> ToolbarItems::itemIdentifiers(const UserDefaults& defaults) const {
    const auto configuration = defaults.dictionaryForKey(configurationKey());
    const Value* stored = configuration ? configuration->get(IndexToolbar::kItemIdentifiersKey) : nullptr;
    if (!stored || !stored->array()) return defaultOrder();
    std::vector<std::string> ids;
    for (const Value& v : *stored->array())
        if (const std::string* s = v.string()) ids.push_back(*s);
    return sanitized(ids);
}

void ToolbarItems::saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers) const {
    const std::string key = configurationKey();
    Dictionary configuration = defaults.dictionaryForKey(key).value_or(Dictionary{});
    Array ids;
    for (const auto& id : sanitized(identifiers)) ids.emplace_back(id);
    configuration.set(IndexToolbar::kItemIdentifiersKey, Value(std::move(ids)));
    defaults.setObject(Value(std::move(configuration)), key);
}

const ToolbarItems& IndexToolbar::items() {
    static const ToolbarItems toolbar{kIdentifier, &toolbarAllowedItemIdentifiers, &toolbarDefaultItemIdentifiers,
                                      &itemForItemIdentifier};
    return toolbar;
}

std::vector<std::string> IndexToolbar::sanitized(const std::vector<std::string>& identifiers) {
    return items().sanitized(identifiers);
}

std::vector<std::string> IndexToolbar::itemIdentifiers(const UserDefaults& defaults) {
    return items().itemIdentifiers(defaults);
}

void IndexToolbar::saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers) {
    items().saveItemIdentifiers(defaults, identifiers);
}

}  // namespace kl
