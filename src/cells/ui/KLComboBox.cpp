#include "cells/ui/KLComboBox.h"

#include <QCompleter>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>

#include "cells/EditValueCell.h"
#include "cells/ui/KLTextField.h"
#include "document/RecordIdsDrag.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

KLComboBox::KLComboBox(EditValueCell* cell, QWidget* parent) : QComboBox(parent), cell_(cell) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setAcceptDrops(true);
    completer()->setCompletionMode(QCompleter::InlineCompletion);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (cell_) cell_->setChanged(true);
    });
    connect(this, &QComboBox::activated, this, [this] {
        if (!cell_) return;
        cell_->setChanged(true);
        // After the pop-up has closed and the text is the item's.
        QTimer::singleShot(0, this, [this] {
            if (cell_) cell_->endStructureEditing(true);
        });
    });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { commitIfChanged(); });
}

void KLComboBox::commitIfChanged() {
    if (cell_ && cell_->changed()) cell_->endStructureEditing(true);
}

void KLComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) commitIfChanged();
}

void KLComboBox::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    auto shown = cell_ ? cell_->structure() : nullptr;
    // Clear of the pop-up button.
    if (shown && shown->quickComment() && !shown->quickComment()->empty()) drawCommentIcon(*this, 45, 0.8);
}

std::shared_ptr<GEDCOMRecord> KLComboBox::droppedPlace(const QMimeData* data) const {
    if (!data || !lookup_ || !data->hasFormat(kRecordIdsMimeType)) return nullptr;
    const auto drag = decodeRecordIdsDrag(data->data(kRecordIdsMimeType).toStdString());
    if (!drag || drag->ids.size() != 1) return nullptr;
    auto record = lookup_(drag->documentKey, drag->ids.front());
    return record && record->isType("_PLC") ? record : nullptr;
}

void KLComboBox::dragEnterEvent(QDragEnterEvent* event) {
    if (droppedPlace(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    if (event->mimeData()->hasFormat(kRecordIdsMimeType) || event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    QComboBox::dragEnterEvent(event);
}

void KLComboBox::dragMoveEvent(QDragMoveEvent* event) {
    if (droppedPlace(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void KLComboBox::dropEvent(QDropEvent* event) {
    auto place = droppedPlace(event->mimeData());
    if (!place || !cell_) {
        event->ignore();
        return;
    }
    const std::string name = place->viewName();
    if (auto shown = std::dynamic_pointer_cast<GEDCOMStructure>(cell_->structure())) {
        // The structure registers its undo and tells its cells.
        shown->setContents(name);
    } else {
        setEditText(QString::fromStdString(name));
        cell_->setChanged(true);
        cell_->endStructureEditing(false);
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

}  // namespace kl
