#include "cells/HiddenCell.h"

namespace kl {

HiddenCell::HiddenCell(const std::shared_ptr<GEDCOMObject>& structure, std::string tag, int level)
    : CustomCell("HiddenCell") {
    setEditTag(std::move(tag));
    setEditLevel(level);
    setStructure(structure);
}

}  // namespace kl
