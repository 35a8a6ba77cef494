#pragma once
// QtCellView: the widget of a text cell, a label, a static text or a
// stand-in: a read-only label in the cell's font and colours, with its
// border, background and alignment, its text centred vertically while the
// cell is at least as high as it was made (a label squeezed lower keeps its
// text at the top). A value field is a KLTextField, a check box cell a
// QCheckBox, a pop-up menu cell a QPushButton with a QMenu. A group box shows as a titled frame that its cells sit in.
//
// Ownership: owned by its cell; the widget belongs to the pane it was put
// in, or to this view until then (a cell dropped before it was placed takes
// its widget with it). Thread: main thread.
#include <QPointer>
#include <QWidget>

#include <functional>

#include <memory>
#include <string>
#include <vector>

#include "cells/ui/WidgetCellView.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QLineEdit;

namespace kl {

class NoTabTextView;
class WebPaneView;

class QtCellView : public WidgetCellView {
public:
    explicit QtCellView(const CustomCell& cell);
    ~QtCellView() override;
    QtCellView(const QtCellView&) = delete;
    QtCellView& operator=(const QtCellView&) = delete;

    // The view of any cell that shows itself in a pane.
    static std::unique_ptr<CellView> make(CustomCell& cell);
    // Views of cells that libraries above this one define (a map cell):
    // asked first, in the order added; a maker answers nullptr for a cell
    // that is not its own.
    using ViewMaker = std::function<std::unique_ptr<CellView>(CustomCell& cell)>;
    static void addViewMaker(ViewMaker maker);

    QWidget* widget() const override { return widget_.data(); }
    void setFrame(const CellRect& frame) override;
    void refresh(const CustomCell& cell) override;
    double textWidth(const std::string& text) const override;
    double textHeight() const override;
    double textBlockHeight(const std::string& text, double width) const override;
    std::string text() const override;
    bool hasFocus() const override;
    void takeFocus() override;
    void beep() override;
    void setEditable(bool editable) override;
    void writeStringToPasteboard(const std::string& text) override;

private:
    QPointer<QWidget> widget_;
    QLabel* label_ = nullptr;     // nullptr for a group box and a field
    QLineEdit* field_ = nullptr;  // the value field's
    NoTabTextView* textView_ = nullptr;  // a multi-line cell's
    QCheckBox* checkBox_ = nullptr;
    QPushButton* popup_ = nullptr;
    WebPaneView* page_ = nullptr;  // an expression field's HTML page
    std::vector<std::string> shownItems_;
    // Context of the controls' connections to the cell: the widget may
    // outlive the cell and this view, the connections must not.
    std::unique_ptr<QObject> guard_;
};

}  // namespace kl
