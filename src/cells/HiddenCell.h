#pragma once
// HiddenCell: the invisible cell every template frame makes for its
// structure, tag and level. It holds data, so the insertion-point search of
// a commit finds where a new structure of the frame belongs; a data-changing
// cell made for the frame takes its place in the pane.
//
// Ownership and thread: as CustomCell.
#include <memory>
#include <string>

#include "cells/CustomCell.h"

namespace kl {

class HiddenCell : public CustomCell {
public:
    // structure: nullptr when the frame's structure is missing.
    HiddenCell(const std::shared_ptr<GEDCOMObject>& structure, std::string tag, int level);
    bool holdsDataCell() const override { return true; }
    bool hasView() const override { return false; }
};

}  // namespace kl
