// Which commands apply to which document state, and what they are called.
#include <gtest/gtest.h>

#include "editor/EditorCommands.h"
#include "editor/Template.h"

namespace kl {
namespace {

EditorCommandState format() { return {}; }
EditorCommandState extension(bool saved) {
    EditorCommandState state;
    state.plugin = true;
    state.hasFile = saved;
    return state;
}
EditorCommandState withCurrent(EditorCommandState state, std::int32_t type, std::string kind, bool canDelete) {
    state.currentType = type;
    state.currentKind = std::move(kind);
    state.currentCanDelete = canDelete;
    return state;
}

TEST(EditorCommands, EnableAndTitleByDocumentAndItem) {
    struct Case {
        const char* what;
        int tag;
        EditorCommandState state;
        bool enabled;
        std::optional<std::string> title;
    };
    EditorCommandState workspace;
    workspace.workspace = true;
    const Case cases[] = {
        {"tag item in a format", NewTagTag, format(), true, "New Tag Editing..."},
        {"text file in an extension", NewTagTag, extension(true), true, "New Text File..."},
        {"record item only in formats", NewRecordTag, extension(true), false, std::nullopt},
        {"subroutine in a format", NewSubroutineTag, format(), true, "New Subroutine/Script..."},
        {"script in an extension", NewSubroutineTag, extension(false), true, "New Script..."},
        {"delete a deletable item", DeleteTemplateTag, withCurrent(format(), TagEditingType, "txt", true), true,
         "Delete Template"},
        {"delete a protected item", DeleteTemplateTag, withCurrent(format(), TagEditingType, "txt", false), false,
         "Delete Template"},
        {"delete without an item", DeleteTemplateTag, format(), false, "Delete Template"},
        {"close a script", DeleteTemplateTag, withCurrent(workspace, WorkspaceScriptType, "py", true), true,
         "Close Script"},
        {"import images", ImportTag, format(), true, "Import Images..."},
        {"import files, saved extension", ImportTag, extension(true), true, "Import Files..."},
        {"import files, never saved", ImportTag, extension(false), false, "Import Files..."},
        {"indent a template", IndentTag, withCurrent(format(), TagEditingType, "txt", true), true, std::nullopt},
        {"indent an internal script", IndentTag, withCurrent(format(), SubroutinesType, "klscpt", true), true,
         std::nullopt},
        {"no indenting of Python", IndentTag, withCurrent(format(), SubroutinesType, "py", true), false, std::nullopt},
        {"no indenting of HTML", IndentTag, withCurrent(format(), DocumentationType, "html", true), false,
         std::nullopt},
        {"save and run, never saved", SaveAndRunTag, format(), false, std::nullopt},
        {"save and run, saved", SaveAndRunTag, extension(true), true, std::nullopt},
        {"add property to a table", AddPropertyTag, withCurrent(format(), PropertyListType, "", false), true,
         std::nullopt},
        {"no property rows in a text", AddPropertyTag, withCurrent(format(), TagEditingType, "txt", true), false,
         std::nullopt},
        {"delete property needs a row", DeletePropertyTag, withCurrent(format(), EditingFontsType, "", false), false,
         std::nullopt},
        {"languages in a format", NewLanguageTag, format(), true, std::nullopt},
        {"no languages in an extension", ImportLanguagesTag, extension(true), false, std::nullopt},
        {"search a workspace", SearchTag, workspace, true, "Search Scripts..."},
        {"search a format", SearchTag, format(), true, "Search Templates..."},
    };
    for (const Case& c : cases) {
        const CommandValidation answer = validateCommandTag(c.tag, c.state);
        EXPECT_EQ(answer.enabled, c.enabled) << c.what;
        EXPECT_EQ(answer.title, c.title) << c.what;
    }
}

}  // namespace
}  // namespace kl
