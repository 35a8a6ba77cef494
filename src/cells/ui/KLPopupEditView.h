#pragma once
// KLPopupEditView: the quick-comment editor, a small pale-yellow text view
// laid over the record pane next to the commented cell. Return, Tab or a
// click elsewhere saves the comment (on one line; empty removes it) and
// takes the editor away. It grows with its text and moves up rather than
// reach below the pane's bottom edge.
//
// Ownership: a child of the pane's background widget, deleted later once
// it has saved; the source cell is borrowed through a guard that ends with
// the pane's cells. Thread: main thread.
#include <QPlainTextEdit>

#include <memory>

#include "foundation/NotificationCenter.h"

namespace kl {

class CustomCell;
class GEDCOMStructure;

class KLPopupEditView : public QPlainTextEdit {
    Q_OBJECT
public:
    // frame: in the parent's coordinates.
    KLPopupEditView(const QRect& frame, const QFont& font, QWidget* parent);
    ~KLPopupEditView() override;

    void setSourceCell(CustomCell* cell) { sourceCell_ = cell; }
    CustomCell* sourceCell() const { return sourceCell_; }
    void setStructure(const std::shared_ptr<GEDCOMStructure>& structure);
    bool changed() const { return changed_; }
    // Saves a changed comment; answers 1 as a cell does.
    int endStructureEditing();
    // Saves and goes (on a later turn).
    void finish();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateStructure();
    void fitToText();

    CustomCell* sourceCell_ = nullptr;
    std::weak_ptr<GEDCOMStructure> structure_;
    bool changed_ = false;
    bool loading_ = false;
    bool finished_ = false;
    Observation contents_;
    Observation removal_;
};

}  // namespace kl
