#include "cells/ui/NoTabTextView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <memory>

#include "cells/TextFieldCell.h"

namespace kl {

NoTabTextView::NoTabTextView(TextFieldCell* cell) : cell_(cell) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (loading_ || !cell_) return;
        if (auto* editing = dynamic_cast<EditTextCell*>(cell_)) editing->setChanged(true);
    });
}

void NoTabTextView::showText(const QString& text) {
    if (toPlainText() == text) return;
    loading_ = true;
    setPlainText(text);
    loading_ = false;
}

bool NoTabTextView::handleTabKey(bool forward) {
    // The pane's cells sit in the focus chain in their order; past the last
    // one the chain would leave the pane.
    QWidget* pane = parentWidget();
    QWidget* at = this;
    for (int guard = 0; guard < 10000; ++guard) {
        at = forward ? at->nextInFocusChain() : at->previousInFocusChain();
        if (!at || at == this) return false;
        if (pane && !pane->isAncestorOf(at)) return false;
        if (at->isVisible() && at->isEnabled() && (at->focusPolicy() & Qt::TabFocus)) {
            at->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

bool NoTabTextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* editing = dynamic_cast<EditTextCell*>(cell_);
        const bool pending = editing && editing->changed();
        // Without typing of its own, Undo is the Edit menu's.
        if (!pending && (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            if (!handleTabKey(forward)) QApplication::beep();
            return true;
        }
    }
    return KLSpellCheckField::event(event);
}

void NoTabTextView::keyPressEvent(QKeyEvent* event) { KLSpellCheckField::keyPressEvent(event); }

void NoTabTextView::focusOutEvent(QFocusEvent* event) {
    KLSpellCheckField::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason) return;
    auto* editing = dynamic_cast<EditTextCell*>(cell_);
    if (!editing || !editing->changed()) return;
    editing->endStructureEditing(true);
    document()->clearUndoRedoStacks();
}

QMenu* NoTabTextView::makeContextMenu() {
    QMenu* menu = createStandardContextMenu();
    menu->addSeparator();
    addSpellingActions(menu);
    auto* editing = dynamic_cast<EditTextCell*>(cell_);
    if (!editing) return menu;
    QAction* before = menu->actions().value(0);
    for (const auto& item : editing->menuItems()) {
        auto* action = new QAction(QString::fromStdString(item.title), menu);
        const int tag = item.tag;
        if (item.script)
            connect(action, &QAction::triggered, this, [this, tag] {
                if (auto* cell = dynamic_cast<EditTextCell*>(cell_)) cell->cellMenuScript(tag);
            });
        else
            connect(action, &QAction::triggered, this, [this, tag] {
                if (auto* cell = dynamic_cast<EditTextCell*>(cell_)) cell->cellMenuAction(tag);
            });
        menu->insertAction(before, action);
    }
    if (before) menu->insertSeparator(before);
    return menu;
}

void NoTabTextView::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(makeContextMenu());
    menu->exec(event->globalPos());
}

}  // namespace kl
