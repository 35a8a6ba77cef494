#include "editor/FormatToolbar.h"

#include "editor/EditorCommands.h"

namespace kl {

const std::vector<ToolbarItemSpec>& FormatToolbar::windowItems() {
    using T = ToolbarItemSpec::Target;
    static const std::vector<ToolbarItemSpec> items{
        {"NewRecord", "New Record Editing", "New Record Editing", "record", T::Document, "newTemplate", NewRecordTag,
         "Create new record editing template"},
        {"NewTag", "New Tag Editing", "New Tag Editing", "tag", T::Document, "newTemplate", NewTagTag,
         "Create new tag editing template or a text file"},
        {"NewSub", "New Subroutine", "New Subroutine", "sub", T::Document, "newTemplate", NewSubroutineTag,
         "Create new subroutine template or new script"},
        {"NewDoc", "New Documentation File", "New Documentation File", "doc", T::Document, "newTemplate",
         NewDocumentationTag, "Create new documentation file"},
        {"SaveAndRun", "Save and Run", "Save and Run", "saverun", T::Document, "saveAndRunCmd", SaveAndRunTag,
         "Save format and launch in Kinlore II"},
        {"AddProp", "Add Property", "Add Property", "addprop", T::Document, "addDeleteProperty", AddPropertyTag,
         "Add new property to current list"},
        {"DelProp", "Delete Property", "Delete Property", "delprop", T::Document, "addDeleteProperty",
         DeletePropertyTag, "Delete property from current list"},
        {"Search", "Search", "Search", "search", T::Document, "searchTemplates", SearchTag, "Search all templates"},
    };
    return items;
}

const std::vector<std::string>& FormatToolbar::toolbarAllowedItemIdentifiers() {
    using I = IndexToolbar;
    static const std::vector<std::string> ids{I::kSeparator, I::kSpace,  I::kFlexibleSpace, I::kCustomize,
                                              "SaveAndRun",  "NewRecord", "NewTag",          "NewSub",
                                              "NewDoc",      "AddProp",   "DelProp",         "Search"};
    return ids;
}

const std::vector<std::string>& FormatToolbar::toolbarDefaultItemIdentifiers() {
    using I = IndexToolbar;
    static const std::vector<std::string> ids{"SaveAndRun", I::kFlexibleSpace, "NewRecord", "NewTag",
                                              "NewSub",     "NewDoc",          I::kFlexibleSpace, "AddProp",
                                              "DelProp",    I::kFlexibleSpace, "Search"};
    return ids;
}

ToolbarItemSpec FormatToolbar::itemForItemIdentifier(const std::string& identifier) {
    for (const ToolbarItemSpec& item : windowItems())
        if (item.identifier == identifier) return item;
    ToolbarItemSpec bare;
    bare.identifier = identifier;
    return bare;
}

const ToolbarItems& FormatToolbar::items() {
    static const ToolbarItems toolbar{kIdentifier, &toolbarAllowedItemIdentifiers, &toolbarDefaultItemIdentifiers,
                                      &itemForItemIdentifier};
    return toolbar;
}

}  // namespace kl
