#include "index/ui/GEDCOMTextView.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include <algorithm>

#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "index/IndexController.h"
#include "index/ui/IndexWindow.h"
#include "model/GEDCOMRecord.h"

namespace kl {

GEDCOMTextView::GEDCOMTextView(IndexWindow& window, QWidget* parent) : KLSpellCheckField(parent), window_(window) {
    setAcceptDrops(true);
    setReadOnly(true);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!filling_ && (removed || added)) textEdited();
    });
}

int GEDCOMTextView::sourceChanged() const { return parent_ ? parent_->sourceChanged() : IndexController::SourceNone; }

void GEDCOMTextView::setSourceChanged(int state) {
    if (parent_) parent_->setSourceChanged(state);
}

bool GEDCOMTextView::isChanged() const { return sourceChanged() == IndexController::SourceEdited; }

void GEDCOMTextView::textEdited() {
    if (sourceChanged() != IndexController::SourceNone) setSourceChanged(IndexController::SourceEdited);
}

void GEDCOMTextView::showText(const std::optional<std::string>& text, bool keepSelection) {
    const QTextCursor old = textCursor();
    ++filling_;
    // A fresh text drops the pane's own typing undo with the old one.
    setPlainText(text ? QString::fromStdString(*text) : QString());
    --filling_;
    setReadOnly(!text);
    setTextInteractionFlags(text ? Qt::TextEditorInteraction : Qt::TextSelectableByMouse);
    if (!text || !keepSelection) return;
    const int length = document()->characterCount() - 1;
    if (length <= 0) return;
    int start = old.selectionStart();
    int count = old.selectionEnd() - start;
    if (start >= length) start = length - 1;
    if (start + count > length) count = std::max(0, length - 1 - start);
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(start + count, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void GEDCOMTextView::markRange(int start, int end, const QColor& colour) {
    const int last = std::max(0, document()->characterCount() - 1);
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    QTextCharFormat mark;
    mark.setForeground(colour);
    ++filling_;
    cursor.mergeCharFormat(mark);
    --filling_;
    setTextCursor(cursor);
    ensureCursorVisible();
}

void GEDCOMTextView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool returnKey = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (returnKey && (event->modifiers() & Qt::ControlModifier)) {
        if (parent_) parent_->openSelectedRecord();
        return;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        window_.beep();
        return;
    }
    const bool edits = !event->text().isEmpty() || key == Qt::Key_Backspace || key == Qt::Key_Delete ||
                       event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut);
    if (sourceChanged() == IndexController::SourceNone && edits && !event->matches(QKeySequence::Copy) &&
        !event->matches(QKeySequence::SelectAll)) {
        window_.beep();
        return;
    }
    KLSpellCheckField::keyPressEvent(event);
}

void GEDCOMTextView::focusOutEvent(QFocusEvent* event) {
    KLSpellCheckField::focusOutEvent(event);
    if (parent_) parent_->textDidEndEditing();
}

std::shared_ptr<GEDCOMRecord> GEDCOMTextView::draggedRecord(const QMimeData* data) const {
    if (!data || !data->hasFormat(kRecordIdsMimeType)) return nullptr;
    const QByteArray bytes = data->data(kRecordIdsMimeType);
    const auto drag = decodeRecordIdsDrag(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    GEDCOMDocument& doc = window_.document();
    // Another document's IDs name other records, or none.
    if (!drag || drag->ids.empty() || drag->documentKey != documentKeyFor(&doc)) return nullptr;
    auto record = doc.gedcomModel().recordWithID(drag->ids.front());
    return record && !record->isType("_RPT") ? record : nullptr;
}

bool GEDCOMTextView::acceptsRecordDrag(const QMimeData* data) const { return draggedRecord(data) != nullptr; }

bool GEDCOMTextView::answerRecordDrag(QDragMoveEvent* event) const {
    if (!event->mimeData()->hasFormat(kRecordIdsMimeType)) return false;
    if (acceptsRecordDrag(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return true;
}

void GEDCOMTextView::dragEnterEvent(QDragEnterEvent* event) {
    if (!answerRecordDrag(event)) KLSpellCheckField::dragEnterEvent(event);
}

void GEDCOMTextView::dragMoveEvent(QDragMoveEvent* event) {
    if (!answerRecordDrag(event)) KLSpellCheckField::dragMoveEvent(event);
}

void GEDCOMTextView::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data->hasFormat(kRecordIdsMimeType)) return KLSpellCheckField::dropEvent(event);
    auto record = draggedRecord(data);
    if (!record) {
        window_.beep();
        event->ignore();
        return;
    }
    window_.showSourceForRecord(record, nullptr);
    event->acceptProposedAction();
}

void GEDCOMTextView::insertFromMimeData(const QMimeData* source) {
    if (sourceChanged() == IndexController::SourceNone) {
        window_.beep();
        return;
    }
    KLSpellCheckField::insertFromMimeData(source);
}

}  // namespace kl
