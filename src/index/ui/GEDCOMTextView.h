#pragma once
// GEDCOMTextView: the index window's source pane, the GEDCOM text of the one
// selected record, edited as text. Its state (nothing editable shown, shown,
// edited) is kept by the index controller, which commits the text to the
// record the pane was filled for. While nothing editable is shown the pane
// is read-only and typing beeps; Ctrl+Return opens the selected record;
// Tab and Back-Tab beep; a record dragged from this document's windows
// shows its text here.
//
// Ownership: a child of its IndexWindow; borrows the window's controller.
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>

#include "cells/ui/KLSpellCheckField.h"

namespace kl {

class GEDCOMRecord;
class IndexController;
class IndexWindow;

class GEDCOMTextView : public KLSpellCheckField {
    Q_OBJECT
public:
    GEDCOMTextView(IndexWindow& window, QWidget* parent = nullptr);

    using QWidget::setParent;
    void setParent(IndexController* parent) { parent_ = parent; }
    int sourceChanged() const;
    void setSourceChanged(int state);
    bool isChanged() const;

    // Fills the pane without counting it as an edit; nullopt empties it
    // read-only. With keepSelection the old selection is kept, clamped.
    void showText(const std::optional<std::string>& text, bool keepSelection);

    // Colours the range (not an edit of the text), selects it and scrolls
    // it into view.
    void markRange(int start, int end, const QColor& colour);

    // The record-ID drag this pane takes: from this document, naming one
    // of its records that is not a report.
    bool acceptsRecordDrag(const QMimeData* data) const;
    std::shared_ptr<GEDCOMRecord> draggedRecord(const QMimeData* data) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void textEdited();
    // Answers a drag of record IDs; false for any other drag.
    bool answerRecordDrag(QDragMoveEvent* event) const;

    IndexWindow& window_;
    IndexController* parent_ = nullptr;
    int filling_ = 0;
};

}  // namespace kl
