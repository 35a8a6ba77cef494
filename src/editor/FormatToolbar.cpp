#include "editor/FormatToolbar.h"

#include "editor/EditorCommands.h"

namespace kl {

const std::vector<FormatToolbarItem>& FormatToolbar::items() {
    static const std::vector<FormatToolbarItem> items{
        {"NewRecord", "New Record Editing", "record", NewRecordTag, "Create new record editing template"},
        {"NewTag", "New Tag Editing", "tag", NewTagTag, "Create new tag editing template or a text file"},
        {"NewSub", "New Subroutine", "sub", NewSubroutineTag, "Create new subroutine template or new script"},
        {"NewDoc", "New Documentation File", "doc", NewDocumentationTag, "Create new documentation file"},
        {"SaveAndRun", "Save and Run", "saverun", SaveAndRunTag, "Save format and launch in Kinlore II"},
        {"AddProp", "Add Property", "addprop", AddPropertyTag, "Add new property to current list"},
        {"DelProp", "Delete Property", "delprop", DeletePropertyTag, "Delete property from current list"},
        {"Search", "Search", "search", SearchTag, "Search all templates"},
    };
    return items;
}

std::optional<FormatToolbarItem> FormatToolbar::itemForItemIdentifier(const std::string& identifier) {
    for (const FormatToolbarItem& item : items())
        if (item.identifier == identifier) return item;
    return std::nullopt;
}

const ToolbarOrder& FormatToolbar::order() {
    using O = ToolbarOrder;
    static const ToolbarOrder order(
        kIdentifier,
        {O::kSeparator, O::kSpace, O::kFlexibleSpace, O::kCustomize, "SaveAndRun", "NewRecord", "NewTag", "NewSub",
         "NewDoc", "AddProp", "DelProp", "Search"},
        {"SaveAndRun", O::kFlexibleSpace, "NewRecord", "NewTag", "NewSub", "NewDoc", O::kFlexibleSpace, "AddProp",
         "DelProp", O::kFlexibleSpace, "Search"});
    return order;
}

}  // namespace kl
