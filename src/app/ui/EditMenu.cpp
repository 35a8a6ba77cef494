#include "app/ui/EditMenu.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

#include "foundation/UndoManager.h"

namespace kl {

namespace {

// Runs on every pass of whichever loop is running; a nested loop (a modal
// alert inside a command) is not the end of the command's turn, so the
// close waits until the loop that opened the group runs again.
void closeWhenBackAt(int loopLevel, std::weak_ptr<const void> alive, UndoManager* undo) {
    QTimer::singleShot(0, qApp, [loopLevel, alive, undo] {
        if (alive.expired()) return;
        if (QThread::currentThread()->loopLevel() > loopLevel) {
            QTimer::singleShot(50, qApp, [loopLevel, alive, undo] { closeWhenBackAt(loopLevel, alive, undo); });
            return;
        }
        undo->endEventGroup();
    });
}

QString titled(const char* verb, const std::string& name) {
    const QString word = QCoreApplication::translate("EditMenu", verb);
    return name.empty() ? word : word + ' ' + QString::fromStdString(name);
}

}  // namespace

void EditMenu::groupByEventLoopTurn(UndoManager& undo) {
    if (undo.groupsByEvent()) return;
    UndoManager* manager = &undo;
    undo.setGroupsByEvent([manager] {
        closeWhenBackAt(QThread::currentThread()->loopLevel(), manager->lifetime(), manager);
    });
}

QString EditMenu::undoTitle(const UndoManager& undo) { return titled("Undo", undo.undoActionName()); }

QString EditMenu::redoTitle(const UndoManager& undo) { return titled("Redo", undo.redoActionName()); }

QMenu* EditMenu::addEditMenu(QMainWindow& window, UndoManager& undo) {
    groupByEventLoopTurn(undo);
    QMenu* menu = window.menuBar()->addMenu(QCoreApplication::translate("EditMenu", "&Edit"));
    QAction* undoItem = menu->addAction(QCoreApplication::translate("EditMenu", "Undo"));
    undoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redoItem = menu->addAction(QCoreApplication::translate("EditMenu", "Redo"));
    redoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    // The shortcuts must reach the window while its menu is closed.
    undoItem->setShortcutContext(Qt::WindowShortcut);
    redoItem->setShortcutContext(Qt::WindowShortcut);
    menu->addSeparator();
    UndoManager* manager = &undo;
    std::weak_ptr<const void> alive = undo.lifetime();
    auto step = [manager, alive](bool (UndoManager::*can)() const, void (UndoManager::*run)()) {
        return [manager, alive, can, run] {
            if (alive.expired()) return;
            if ((manager->*can)())
                (manager->*run)();
            else
                QApplication::beep();
        };
    };
    QObject::connect(undoItem, &QAction::triggered, menu, step(&UndoManager::canUndo, &UndoManager::undo));
    QObject::connect(redoItem, &QAction::triggered, menu, step(&UndoManager::canRedo, &UndoManager::redo));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [manager, alive, undoItem, redoItem] {
        if (alive.expired()) return;
        undoItem->setText(undoTitle(*manager));
        undoItem->setEnabled(manager->canUndo());
        redoItem->setText(redoTitle(*manager));
        redoItem->setEnabled(manager->canRedo());
    });
    // Disabled items would swallow their shortcuts once the menu is closed.
    QObject::connect(menu, &QMenu::aboutToHide, menu, [undoItem, redoItem] {
        undoItem->setEnabled(true);
        redoItem->setEnabled(true);
    });
    return menu;
}

}  // namespace kl
