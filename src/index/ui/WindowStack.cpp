#include "index/ui/WindowStack.h"

#include <QApplication>
#include <QEvent>

#include <algorithm>

namespace kl {

WindowStack& WindowStack::shared() {
    // Parented to the application so that it goes with it.
    static QPointer<WindowStack> stack;
    if (!stack) stack = new WindowStack;
    return *stack;
}

WindowStack::WindowStack() : QObject(qApp) { qApp->installEventFilter(this); }

void WindowStack::noteActivated(QWidget* window) {
    if (!window) return;
    window = window->window();
    std::erase_if(order_, [window](const QPointer<QWidget>& w) { return !w || w == window; });
    order_.insert(order_.begin(), window);
}

std::vector<QWidget*> WindowStack::frontToBack() {
    std::erase_if(order_, [](const QPointer<QWidget>& w) { return !w; });
    std::vector<QWidget*> windows;
    if (QWidget* active = QApplication::activeWindow()) noteActivated(active);
    for (const auto& w : order_)
        if (w->isVisible()) windows.push_back(w);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isWindow() && w->isVisible() && std::find(windows.begin(), windows.end(), w) == windows.end())
            windows.push_back(w);
    return windows;
}

bool WindowStack::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow()) noteActivated(widget);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kl
