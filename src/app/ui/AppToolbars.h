#pragma once
// AppToolbars: the application's toolbar style on Qt windows. A window that
// is given a style (AppController::toolbarStyleForWindow: the stored "Toolbar
// Style" when it is 2, 3 or 4) shows the buttons of all its toolbars at the
// style's edge (32, 28 or 22), with their titles under the icons for the
// expanded and preference styles and icons alone for the unified ones; it
// remembers the style it was given, which sizes the pop-up buttons of its
// toolbars. A window never given one keeps Qt's own look and counts as
// automatic (0).
//
// The style is set on the main window (QMainWindow::setIconSize and
// setToolButtonStyle), so every toolbar that follows its window takes it,
// including toolbars added later.
//
// Thread: main thread.
#include "foundation/UserDefaults.h"

class QMainWindow;
class QToolBar;

namespace kl {

class AppToolbars {
public:
    // The dynamic property of a window holding the style it was given.
    static constexpr const char* styleProperty = "klToolbarStyle";

    // Gives the window the stored style when that is 2, 3 or 4; otherwise
    // leaves it alone. Windows call it once their toolbar is installed.
    static void setToolbarStyleForWindow(QMainWindow* window, UserDefaults& defaults = UserDefaults::standard());
    // Gives the window a style, whatever the preference.
    static void applyToolbarStyle(QMainWindow& window, int style);
    // The style the window was given; 0 (automatic) when none.
    static int toolbarStyle(const QMainWindow& window);
    // Edge of the pop-up buttons of a toolbar: for the style of the main
    // window the toolbar belongs to, else (no toolbar, or one outside a main
    // window) for the stored style.
    static int toolDLPopupSize(const QToolBar* toolbar, UserDefaults& defaults = UserDefaults::standard());
};

}  // namespace kl
