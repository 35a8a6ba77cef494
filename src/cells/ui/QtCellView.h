#pragma once
// QtCellView: the widget of a text cell, a label, a static text or a
// stand-in: a read-only label in the cell's font and colours, with its
// border, background and alignment, its text centred vertically while the
// cell is at least as high as it was made (a label squeezed lower keeps its
// text at the top). A group box shows as a titled frame that its cells sit in.
//
// Ownership: owned by its cell; the widget belongs to the pane it was put
// in, or to this view until then (a cell dropped before it was placed takes
// its widget with it). Thread: main thread.
#include <QPointer>
#include <QWidget>

#include "cells/CellView.h"

class QLabel;

namespace kl {

class QtCellView : public CellView {
public:
    explicit QtCellView(const CustomCell& cell);
    ~QtCellView() override;
    QtCellView(const QtCellView&) = delete;
    QtCellView& operator=(const QtCellView&) = delete;

    // The view of any cell that shows itself in a pane.
    static std::unique_ptr<CellView> make(CustomCell& cell);

    QWidget* widget() const { return widget_.data(); }
    void setFrame(const CellRect& frame) override;
    void refresh(const CustomCell& cell) override;
    double textWidth(const std::string& text) const override;
    double textHeight() const override;
    std::string text() const override;
    bool hasFocus() const override;
    void takeFocus() override;
    void beep() override;

private:
    QPointer<QWidget> widget_;
    QLabel* label_ = nullptr;  // nullptr for a group box
};

}  // namespace kl
