#pragma once
// KLTextField: the line edit of a value field, and its field editor. Typing
// marks its cell changed; the end of editing (Return, Tab, a click
// elsewhere) asks the cell to commit. Text pasted or dropped into it stays
// on one line: a paste first rewrites the clipboard's text with spaces for
// its line breaks, and a drag of text holding one is refused. Its menu has
// the cell's items above the editing ones, clicks and the loss of the focus
// are reported to the cell, and a structure with a quick comment shows the
// comment icon at the right edge.
//
// The cell is not owned: its view clears the pointer when the cell goes, as
// the widget may outlive it until the pane drops it.
//
// Thread: main thread.
#include <QLineEdit>

namespace kl {

class EditValueCell;

class KLTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit KLTextField(EditValueCell* cell);
    EditValueCell* parentCell() const { return cell_; }
    void setParentCell(EditValueCell* cell) { cell_ = cell; }

    // Paste with the clipboard's text made one line first.
    void pasteOneLine();
    // The menu a right-click shows; the caller owns it.
    QMenu* makeContextMenu();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    EditValueCell* cell_;
};

// The quick-comment mark of a field whose structure has a comment, at this
// distance from the field's right edge.
void drawCommentIcon(QWidget& widget, int fromRight, double opacity);

}  // namespace kl
