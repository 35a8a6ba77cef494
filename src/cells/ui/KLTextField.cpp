#include "cells/ui/KLTextField.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

#include <memory>

#include "cells/EditValueCell.h"
#include "cells/OneLineText.h"
#include "cells/ui/KLSpellCheckField.h"
#include "model/GEDCOMObject.h"

namespace kl {

namespace {

bool refusedText(const QMimeData* data) {
    return data && data->hasText() && holdsLineBreak(data->text().toStdString());
}

bool hasComment(const EditValueCell* cell) {
    auto shown = cell ? cell->structure() : nullptr;
    return shown && shown->quickComment() && !shown->quickComment()->empty();
}

}  // namespace

void drawCommentIcon(QWidget& widget, int fromRight, double opacity) {
    // A folded yellow note, 16 points square, centred vertically.
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity);
    const QRectF note(widget.width() - fromRight, (widget.height() - 16) / 2.0, 14, 14);
    QPainterPath shape;
    shape.moveTo(note.topLeft());
    shape.lineTo(note.right() - 4, note.top());
    shape.lineTo(note.right(), note.top() + 4);
    shape.lineTo(note.bottomRight());
    shape.lineTo(note.bottomLeft());
    shape.closeSubpath();
    painter.setPen(QPen(QColor(120, 100, 0), 0.8));
    painter.setBrush(QColor(255, 230, 90));
    painter.drawPath(shape);
    for (int line = 0; line < 3; ++line) {
        const double y = note.top() + 5 + line * 3;
        painter.drawLine(QPointF(note.left() + 3, y), QPointF(note.right() - 3, y));
    }
}

KLTextField::KLTextField(EditValueCell* cell) : cell_(cell) {
    setFrame(false);
    setAcceptDrops(true);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (cell_) cell_->setChanged(true);
    });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (cell_) cell_->endStructureEditing(true);
    });
}

void KLTextField::pasteOneLine() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (auto line = removeNewLines(clipboard->text().toStdString()))
        clipboard->setText(QString::fromStdString(*line));
    paste();
}

QMenu* KLTextField::makeContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // The standard Paste would take the line breaks along.
    for (QAction* item : menu->actions())
        if (item->objectName() == "edit-paste") {
            disconnect(item, &QAction::triggered, nullptr, nullptr);
            connect(item, &QAction::triggered, this, [this] {
                if (!isReadOnly()) pasteOneLine();
            });
        }
    menu->addSeparator();
    KLSpellCheckField::addStoredSpellingActions(menu);
    if (!cell_) return menu;
    QAction* before = menu->actions().value(0);
    bool added = false;
    for (const auto& item : cell_->menuItems()) {
        auto* action = new QAction(QString::fromStdString(item.title), menu);
        action->setData(item.tag);
        action->setEnabled(item.enabled);
        const int tag = item.tag;
        const std::string title = item.title;
        if (item.script)
            connect(action, &QAction::triggered, this, [this, tag] { if (cell_) cell_->cellMenuScript(tag); });
        else if (item.enabled)
            connect(action, &QAction::triggered, this, [this, tag, title] { if (cell_) cell_->cellMenuAction(tag, title); });
        menu->insertAction(before, action);
        if (item.separatorAfter) menu->insertSeparator(before);
        added = true;
    }
    if (added && before) menu->insertSeparator(before);
    return menu;
}

void KLTextField::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(makeContextMenu());
    menu->exec(event->globalPos());
}

bool KLTextField::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool pending = cell_ && cell_->changed();
        if (!pending && (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void KLTextField::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteOneLine();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void KLTextField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (hasComment(cell_)) drawCommentIcon(*this, 20, 0.8);
}

void KLTextField::mousePressEvent(QMouseEvent* event) {
    if (cell_ && event->button() == Qt::LeftButton) cell_->beginMouseDown(event->modifiers() & Qt::AltModifier);
    QLineEdit::mousePressEvent(event);
}

void KLTextField::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (cell_ && event->button() == Qt::LeftButton) cell_->endMouseDown(!hasSelectedText());
}

void KLTextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (cell_) cell_->aboutToResignFirstResponder();
}

void KLTextField::dragEnterEvent(QDragEnterEvent* event) {
    if (refusedText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void KLTextField::dragMoveEvent(QDragMoveEvent* event) {
    if (refusedText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dragMoveEvent(event);
}

void KLTextField::dropEvent(QDropEvent* event) {
    if (refusedText(event->mimeData())) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

}  // namespace kl
