#include "app/ui/AppToolbars.h"

#include <QMainWindow>
#include <QToolBar>
#include <QVariant>

#include "app/AppController.h"
#include "app/ToolbarStyle.h"

namespace kl {

namespace {

const QMainWindow* mainWindowOf(const QToolBar& toolbar) {
    for (const QObject* up = toolbar.parent(); up; up = up->parent())
        if (const auto* window = qobject_cast<const QMainWindow*>(up)) return window;
    return nullptr;
}

}  // namespace

void AppToolbars::setToolbarStyleForWindow(QMainWindow* window, UserDefaults& defaults) {
    if (!window) return;
    if (const auto style = AppController::toolbarStyleForWindow(defaults)) applyToolbarStyle(*window, *style);
}

void AppToolbars::applyToolbarStyle(QMainWindow& window, int style) {
    // First, so that whatever follows the window's size and labels reads
    // the style they come from.
    window.setProperty(styleProperty, style);
    const int edge = ToolbarStyle::popupSize(style);
    window.setIconSize(QSize(edge, edge));
    window.setToolButtonStyle(ToolbarStyle::labels(style) == ToolbarStyle::Labels::UnderIcon ? Qt::ToolButtonTextUnderIcon
                                                                                             : Qt::ToolButtonIconOnly);
}

int AppToolbars::toolbarStyle(const QMainWindow& window) {
    const QVariant style = window.property(styleProperty);
    return style.isValid() ? style.toInt() : ToolbarStyle::Automatic;
}

int AppToolbars::toolDLPopupSize(const QToolBar* toolbar, UserDefaults& defaults) {
    std::optional<int> windowStyle;
    if (toolbar)
        if (const QMainWindow* window = mainWindowOf(*toolbar)) windowStyle = toolbarStyle(*window);
    return AppController::toolDLPopupSize(windowStyle, defaults);
}

}  // namespace kl
