#include "editor/EditorCommands.h"

#include "editor/Template.h"

namespace kl {

CommandValidation validateCommandTag(int tag, const EditorCommandState& s) {
    const bool format = !s.workspace && !s.plugin;
    const bool tableShown = s.currentType && *s.currentType >= EditingColorsType && *s.currentType <= 10;
    switch (tag) {
    case SaveAndRunTag:
        return {s.workspace ? s.currentHasScriptPath : s.hasFile, std::nullopt};
    case 1008:
    case NewDocumentationTag:
    case 3006:
        return {!s.workspace, std::nullopt};
    case NewRecordTag:
        return {format, std::nullopt};
    case NewTagTag:
        return {!s.workspace, std::string(s.plugin ? "New Text File..." : "New Tag Editing...")};
    case NewSubroutineTag:
        return {true, std::string(format ? "New Subroutine/Script..." : "New Script...")};
    case ImportTag:
        return {!s.workspace && (!s.plugin || s.hasFile),
                std::string(s.plugin ? "Import Files..." : "Import Images...")};
    case AddPropertyTag:
        return {tableShown, std::nullopt};
    case DeletePropertyTag:
        return {tableShown && s.tableRowSelected, std::nullopt};
    case DeleteTemplateTag:
        return {s.currentType && s.currentCanDelete,
                std::string(s.workspace ? "Close Script" : "Delete Template")};
    case SearchTag:
        return {true, std::string(s.workspace ? "Search Scripts..." : "Search Templates...")};
    case PreviewTag:
    case PreviewOtherTag:
        return {s.hasFile && s.currentType && s.currentCanPreview, std::nullopt};
    case IndentTag:
        return {s.currentType && (s.currentKind == "txt" || s.currentKind == "klscpt"), std::nullopt};
    case ExportOtherFileTag:
        return {s.plugin && !s.workspace && s.currentIsOtherFiles && s.tableRowSelected, std::nullopt};
    case NewLanguageTag:
    case SynchronizeLanguagesTag:
    case ExportLanguagesTag:
    case ImportLanguagesTag:
        return {format, std::nullopt};
    default:
        return {true, std::nullopt};
    }
}

}  // namespace kl
