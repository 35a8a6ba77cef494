#pragma once
// The views of link buttons and multimedia cells (a QToolButton, raised
// only when bordered, with the cell's image and its context menu), group
// boxes (a GroupBoxCell drawing its fill, line or groove and title, whose
// GroupContentView holds the box's cells), palettes (a PaletteCanvasView
// replaying the drawing) and pane bars (a QTabBar).
//
// The look numbers of the cells map to the nearest Qt look: bezel styles
// to a raised or flat button with square or rounded corners, control sizes
// to smaller fonts, image positions to the tool button's text placement,
// segment styles to the tab bar's shape.
//
// Ownership: as QtCellView. Thread: main thread.
#include <memory>

#include "cells/CellView.h"

namespace kl {

class CustomCell;

// The view of one of these cells; nullptr for any other cell.
std::unique_ptr<CellView> makeLinkView(CustomCell& cell);

// Installs, unless something was installed before (a test's), how images
// are measured and how files and addresses are opened for the cells.
void installLinkDesktop();

}  // namespace kl
