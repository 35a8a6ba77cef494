#pragma once
// EditorCommands: the menu and toolbar commands of a Kinlore Editor
// document window by tag, and whether each applies to the document's
// present state, with the title a menu item takes. A pure function of a
// snapshot of that state, so the window and tests ask the same question.
// Any thread.
#include <cstdint>
#include <optional>
#include <string>

namespace kl {

enum EditorCommandTag : int {
    SaveAndRunTag = 1007,
    NewRecordTag = 3001,
    NewTagTag = 3002,
    NewSubroutineTag = 3003,
    NewDocumentationTag = 3004,
    ImportTag = 3005,
    AddPropertyTag = 3007,
    DeletePropertyTag = 3008,
    DeleteTemplateTag = 3009,
    SearchTag = 3010,
    PreviewTag = 3011,
    IndentTag = 3012,
    PreviewOtherTag = 3013,
    ExportOtherFileTag = 3015,
    NewLanguageTag = 3101,
    SynchronizeLanguagesTag = 3102,
    ExportLanguagesTag = 3103,
    ImportLanguagesTag = 3104,
};

// What the commands look at, taken from the document and its window.
struct EditorCommandState {
    bool workspace = false;     // the script workspace
    bool plugin = false;        // an extension rather than a format
    bool hasFile = false;       // saved at least once
    bool currentHasScriptPath = false;
    std::optional<std::int32_t> currentType;  // none without a current item
    bool currentCanDelete = false;
    bool currentCanPreview = false;
    std::string currentKind;    // the current item's kind of text
    bool currentIsOtherFiles = false;
    bool tableRowSelected = false;
};

struct CommandValidation {
    bool enabled = true;
    std::optional<std::string> title;  // the menu item's title, when the state decides it
};

CommandValidation validateCommandTag(int tag, const EditorCommandState& state);

}  // namespace kl
