#pragma once
// WidgetCellView: a cell's view that is a Qt widget. The pane puts the
// widget in the editing background, or into the content widget of the
// group box that is open.
//
// Ownership and thread: as CellView.
#include <QWidget>

#include "cells/CellView.h"

namespace kl {

class WidgetCellView : public CellView {
public:
    virtual QWidget* widget() const = 0;
    // Where the cells of an open group box go.
    virtual QWidget* contentWidget() const { return widget(); }
};

}  // namespace kl
