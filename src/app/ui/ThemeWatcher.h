#pragma once
// ThemeWatcher: follows the desktop's switch between light and dark. When
// the application palette changes it waits 10 ms (a theme switch changes
// the palette in several steps), hands the new dark flag to its owner (the
// library's fonts and colours take their dark variants from it) and posts,
// with no object, "Editing Font Changed Notification", "Source Font Changed
// Notification" and "Tree Color Changed Notification", so open windows
// redraw in the new colours.
//
// Ownership: owned by the application object; watches qApp while it lives.
// Thread: main thread.
#include <QObject>
#include <QTimer>

#include <functional>

namespace kl {

class ThemeWatcher : public QObject {
    Q_OBJECT
public:
    using DarkModeSetter = std::function<void(bool dark)>;
    static constexpr int delayMilliseconds = 10;

    explicit ThemeWatcher(DarkModeSetter setInDarkMode, QObject* parent = nullptr);

    // The palette changed: schedules delayThemeChange().
    void themeChanged();
    void delayThemeChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DarkModeSetter setInDarkMode_;
    QTimer delay_;
};

}  // namespace kl
