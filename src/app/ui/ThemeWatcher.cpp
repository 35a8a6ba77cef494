#include "app/ui/ThemeWatcher.h"

#include <QApplication>
#include <QEvent>

#include "app/ui/AppAlerts.h"
#include "foundation/NotificationCenter.h"

namespace kl {

ThemeWatcher::ThemeWatcher(DarkModeSetter setInDarkMode, QObject* parent)
    : QObject(parent), setInDarkMode_(std::move(setInDarkMode)) {
    delay_.setSingleShot(true);
    delay_.setInterval(delayMilliseconds);
    connect(&delay_, &QTimer::timeout, this, &ThemeWatcher::delayThemeChange);
    // Qt 6 tells a palette change only as an event to the application
    // object and the widgets; the filter answers everything else with one
    // pointer comparison.
    if (qApp) qApp->installEventFilter(this);
}

bool ThemeWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) themeChanged();
    return QObject::eventFilter(watched, event);
}

void ThemeWatcher::themeChanged() { delay_.start(); }

void ThemeWatcher::delayThemeChange() {
    if (setInDarkMode_) setInDarkMode_(AppAlerts::isDarkMode());
    auto& center = NotificationCenter::defaultCenter();
    for (const char* name :
         {"Editing Font Changed Notification", "Source Font Changed Notification", "Tree Color Changed Notification"})
        center.post(name, nullptr, {});
}

}  // namespace kl
