#pragma once
// KLTextField: the line edit of a value field. Typing marks its cell
// changed; the end of editing (Return, Tab, a click elsewhere) asks the
// cell to commit. The cell is not owned: its view clears the pointer when
// the cell goes, as the widget may outlive it until the pane drops it.
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

protected:
    bool event(QEvent* event) override;
    // The cell's items (memo, searches, scripts) above the editing ones.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    EditValueCell* cell_;
};

}  // namespace kl
