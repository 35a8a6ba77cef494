#pragma once
// EditMenu: the Edit menu of every document window (index, record browsers,
// search, relatives): Undo and Redo of the document's undo manager, titled
// after the action they take back ("Undo Delete Records"), with Ctrl+Z and
// Ctrl+Shift+Z. The window appends its own items (Delete Record, ...) to the
// menu it gets back.
//
// Making the menu also makes the undo manager group by event-loop turn:
// whatever one command registers, however many changes, is one Undo step.
// The turn's group closes once control is back in the loop that opened it,
// so a command that asks a question in a modal alert stays one step.
//
// Ownership: the menu belongs to the window's menu bar; the undo manager
// belongs to the document, which outlives its windows; a close scheduled
// after the document went does nothing. Thread: main thread.
#include <QString>

class QMainWindow;
class QMenu;

namespace kl {

class UndoManager;

class EditMenu {
public:
    static QMenu* addEditMenu(QMainWindow& window, UndoManager& undo);
    // Idempotent; the Edit menu calls it.
    static void groupByEventLoopTurn(UndoManager& undo);
    static QString undoTitle(const UndoManager& undo);
    static QString redoTitle(const UndoManager& undo);
};

}  // namespace kl
