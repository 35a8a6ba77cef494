#pragma once
// WindowFileMenu: the two items that end every document window's File menu,
// Close Window (Ctrl+W) and Quit (Ctrl+Q), so that the program can be left
// from whichever window is in front.
//
// Both run on the next turn of the event loop: each may delete the window
// whose menu is still being handled.
//
// Ownership: the items belong to the menu. Thread: main thread.
class QMenu;
class QWidget;

namespace kl::WindowFileMenu {

// Appends a separator (when the menu has items), Close Window and Quit.
void addCloseAndQuit(QMenu& file, QWidget& window);

}  // namespace kl::WindowFileMenu
