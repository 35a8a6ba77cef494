#include "cells/CellKinds.h"

#include <map>
#include <set>

#include "cells/ChoiceCells.h"
#include "cells/EditDateCell.h"
#include "cells/EditPaneCell.h"
#include "cells/EditPlaceCell.h"
#include "cells/EditValueCell.h"
#include "cells/ExpressionCell.h"
#include "cells/ExpressionFieldCell.h"
#include "cells/LinkKinds.h"
#include "cells/HiddenCell.h"
#include "cells/NameAndURLCells.h"
#include "cells/StandInCell.h"
#include "cells/TextFieldCell.h"
#include "cells/TextCell.h"
#include "model/wex.h"

namespace kl {

namespace {

std::map<std::string, CellKinds::Maker>& makers() {
    static std::map<std::string, CellKinds::Maker> table;
    return table;
}

CellKinds::PlaceholderMaker& placeholderMaker() {
    static CellKinds::PlaceholderMaker maker;
    return maker;
}

}  // namespace

std::shared_ptr<CustomCell> CellKinds::make(const CellSeed& seed) {
    if (auto it = makers().find(seed.kind); it != makers().end() && it->second) return it->second(seed);
    if (seed.kind == "label" || seed.kind == "static")
        return std::make_shared<LabelTextCell>(seed.kind == "label" ? 1 : 0, seed.frame, seed.prefs);
    // A value of several lines needs the multi-line cell.
    const bool oneLine = wex::isOneLine(seed.contents);
    if (seed.kind == "editdate") return std::make_shared<EditDateCell>(seed);
    if (seed.kind == "editname") return std::make_shared<EditNameCell>(seed);
    if (seed.kind == "editurl" && oneLine) return std::make_shared<EditURLCell>(seed);
    if (EditPlaceCell::editsEventPlace(seed)) return std::make_shared<EditPlaceCell>(seed);
    if (seed.kind == "editvalue" && oneLine) return std::make_shared<EditValueCell>(seed);
    if (seed.kind == "editfield" || seed.kind == "editvalue" || seed.kind == "editurl")
        return std::make_shared<EditTextCell>(seed);
    if (seed.kind == "staticfield") return std::make_shared<StaticFieldCell>(seed);
    if (seed.kind == "expression") return std::make_shared<ExpressionCell>(seed);
    if (seed.kind == "expressionfield") return std::make_shared<ExpressionFieldCell>(seed);
    if (seed.kind == "editpane") return std::make_shared<EditPaneCell>(seed);
    if (seed.kind == "editfile") return std::make_shared<EditFileCell>(seed);
    if (auto linked = makeLinkKind(seed)) return linked;
    if (seed.kind == "checkboxedit") return std::make_shared<CheckBoxEditValue>(seed);
    if (seed.kind == "popupmenuedit") return std::make_shared<PopupMenuEditValue>(seed);
    return std::make_shared<StandInCell>(seed.kind, seed.structure, seed.tag, seed.level, seed.frame, seed.prefs);
}

void CellKinds::setMaker(const std::string& kind, Maker maker) {
    if (maker) makers()[kind] = std::move(maker);
    else makers().erase(kind);
}

std::shared_ptr<CustomCell> CellKinds::makePlaceholder(const std::shared_ptr<GEDCOMObject>& structure,
                                                       const std::string& tag, int level) {
    if (placeholderMaker()) return placeholderMaker()(structure, tag, level);
    return std::make_shared<HiddenCell>(structure, tag, level);
}

bool CellKinds::supportedCreateTag(const std::string& tag) {
    static const std::set<std::string, std::less<>> linkTags{"FAMC", "FAMS", "HUSB", "WIFE", "CHIL", "SOUR",
                                                             "NOTE", "OBJE", "REPO", "SUBM", "_LOG", "ALIA"};
    return linkTags.contains(tag);
}

void CellKinds::setPlaceholderMaker(PlaceholderMaker maker) { placeholderMaker() = std::move(maker); }

}  // namespace kl
