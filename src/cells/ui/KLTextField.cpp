#include "cells/ui/KLTextField.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <memory>

#include "cells/EditValueCell.h"

namespace kl {

KLTextField::KLTextField(EditValueCell* cell) : cell_(cell) {
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (cell_) cell_->setChanged(true);
    });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (cell_) cell_->endStructureEditing(true);
    });
}

void KLTextField::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (cell_) {
        QAction* before = menu->actions().value(0);
        for (const auto& item : cell_->menuItems()) {
            auto* action = new QAction(QString::fromStdString(item.title), menu.get());
            action->setData(item.tag);
            const int tag = item.tag;
            if (item.script)
                connect(action, &QAction::triggered, this, [this, tag] { if (cell_) cell_->cellMenuScript(tag); });
            else
                connect(action, &QAction::triggered, this, [this, tag] { if (cell_) cell_->cellMenuAction(tag); });
            menu->insertAction(before, action);
        }
        menu->insertSeparator(before);
    }
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

}  // namespace kl
