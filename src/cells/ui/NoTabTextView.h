#pragma once
// NoTabTextView: the text view of a multi-line cell. Tab and Backtab move to
// the next or previous cell of the pane instead of typing a tab (a beep
// after the last one); typing marks an editable cell changed and leaving the
// view commits it, after which the view's own typing undo is dropped, so
// that Edit > Undo takes back the committed change as a whole. Its menu has
// the cell's items above the standard ones. The cell is not owned; its view
// clears the pointer when the cell goes.
//
// Thread: main thread.
#include "cells/ui/KLSpellCheckField.h"

namespace kl {

class TextFieldCell;

class NoTabTextView : public KLSpellCheckField {
    Q_OBJECT
public:
    explicit NoTabTextView(TextFieldCell* cell);
    TextFieldCell* parentCell() const { return cell_; }
    void setParentCell(TextFieldCell* cell) { cell_ = cell; }
    // Shows a text without marking the cell changed.
    void showText(const QString& text);
    // Tab and Backtab: false when there is no cell to go to.
    bool handleTabKey(bool forward);
    QMenu* makeContextMenu();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TextFieldCell* cell_;
    bool loading_ = false;
};

}  // namespace kl
