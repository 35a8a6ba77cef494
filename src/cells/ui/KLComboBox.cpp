#include "cells/ui/KLComboBox.h"

#include <QAbstractListModel>
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

// The names as the index holds them now; the row count is taken when the
// names are read again, and a name asked for past the live list is empty.
class KLComboBox::NamesModel : public QAbstractListModel {
public:
    NamesModel(Names names, QObject* parent) : QAbstractListModel(parent), names_(std::move(names)) { reload(); }
    void reload() {
        beginResetModel();
        const auto* names = names_ ? names_() : nullptr;
        rows_ = names ? int(names->size()) : 0;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        const auto* names = names_ ? names_() : nullptr;
        if (!names || index.row() < 0 || std::size_t(index.row()) >= names->size()) return {};
        return QString::fromStdString((*names)[std::size_t(index.row())]);
    }

private:
    Names names_;
    int rows_ = 0;
};

KLComboBox::KLComboBox(EditValueCell* cell, QWidget* parent) : QComboBox(parent), cell_(cell) {
    // Paste, drop, menu and commit as in every value field; the line edit
    // also makes the box editable.
    setLineEdit(new KLTextField(cell));
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(10);
    setAcceptDrops(true);
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this] {
        if (!cell_) return;
        cell_->setChanged(true);
        // After the pop-up has closed and the text is the item's.
        QTimer::singleShot(0, this, [this] {
            if (cell_) cell_->endStructureEditing(true);
        });
    });
}

void KLComboBox::setParentCell(EditValueCell* cell) {
    cell_ = cell;
    if (auto* field = qobject_cast<KLTextField*>(lineEdit())) field->setParentCell(cell);
}

void KLComboBox::setNames(Names names) { namesSource_ = std::move(names); }

void KLComboBox::reloadNames() {
    if (!namesSource_) return;
    // Reading the list must not change what the field shows.
    const QString shown = currentText();
    const bool changedBefore = cell_ && cell_->changed();
    if (!names_) {
        // Made when first wanted: a pane holds many place fields, and
        // building it is what the user waits for.
        names_ = new NamesModel(namesSource_, this);
        setModel(names_);
        auto* completion = new QCompleter(names_, this);
        completion->setCompletionMode(QCompleter::InlineCompletion);
        completion->setCaseSensitivity(Qt::CaseSensitive);
        setCompleter(completion);
    } else {
        names_->reload();
    }
    setCurrentIndex(-1);
    if (currentText() != shown) setEditText(shown);
    if (cell_) cell_->setChanged(changedBefore);
}

void KLComboBox::showPopup() {
    reloadNames();
    QComboBox::showPopup();
}

void KLComboBox::focusInEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason) reloadNames();
    QComboBox::focusInEvent(event);
}

bool KLComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!drag->mimeData()->hasFormat(kRecordIdsMimeType)) break;
            if (event->type() == QEvent::DragEnter) dragEnterEvent(static_cast<QDragEnterEvent*>(event));
            else if (event->type() == QEvent::DragMove) dragMoveEvent(static_cast<QDragMoveEvent*>(event));
            else dropEvent(drag);
            return true;
        }
        default: break;
        }
    }
    return QComboBox::eventFilter(watched, event);
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
