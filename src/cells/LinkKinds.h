#pragma once
// The cells of link buttons, multimedia, group boxes, palettes and pane
// bars, made for their kinds; nullptr for any other kind.
#include <memory>

#include "cells/CellKinds.h"

namespace kl {

std::shared_ptr<CustomCell> makeLinkKind(const CellSeed& seed);

}  // namespace kl
