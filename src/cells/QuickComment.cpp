#include "cells/QuickComment.h"

#include <optional>

#include "cells/OneLineText.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

std::string QuickComment::shown(const GEDCOMStructure& structure) {
    return structure.quickComment().value_or(std::string());
}

bool QuickComment::save(GEDCOMStructure& structure, const std::string& typed) {
    const std::string line = removeNewLines(typed).value_or(typed);
    if (line == shown(structure)) return false;
    UndoManager* undo = structure.undoManager();
    if (undo) undo->beginUndoGrouping();
    structure.setQuickComment(line.empty() ? std::nullopt : std::optional<std::string>(line));
    if (auto* record = structure.theRecord()) record->setChangeDate();
    if (undo) {
        undo->setActionName(kUndoName);
        undo->endUndoGrouping();
    }
    return true;
}

}  // namespace kl
