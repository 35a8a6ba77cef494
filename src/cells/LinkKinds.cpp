#include "cells/LinkKinds.h"

#include "cells/GroupBox.h"
#include "cells/MultimediaCell.h"
#include "cells/PaletteCell.h"
#include "cells/PaneBarCell.h"
#include "cells/StructuresLink.h"

namespace kl {

std::shared_ptr<CustomCell> makeLinkKind(const CellSeed& seed) {
    if (seed.kind == "linkbutton") return std::make_shared<LinkButton>(seed.frame, seed.prefs, seed.structure);
    if (seed.kind == "multimedia") return std::make_shared<MultimediaCell>(seed.frame, seed.prefs, seed.structure);
    if (seed.kind == "groupbox") return std::make_shared<GroupBox>(seed.frame, seed.prefs);
    if (seed.kind == "palette") return std::make_shared<PaletteCell>(seed.frame);
    if (seed.kind == "structureslink")
        return std::make_shared<StructuresLink>(std::string(), seed.structure, seed.tag, seed.level, seed.frame,
                                                seed.prefs);
    if (seed.kind == "panebar") return std::make_shared<PaneBarCell>(seed.frame, seed.prefs);
    return nullptr;
}

}  // namespace kl
