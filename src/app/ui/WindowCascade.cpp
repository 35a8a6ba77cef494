#include "app/ui/WindowCascade.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QWidget>

#include <sstream>

#include "app/CascadePoints.h"
#include "foundation/UserDefaults.h"

namespace kl {

WindowCascade& WindowCascade::shared() {
    static WindowCascade cascade;
    return cascade;
}

std::optional<QRect> WindowCascade::savedFrame(const std::string& name, UserDefaults& defaults) {
    const auto text = defaults.stringForKey(defaultsKey(name));
    if (!text) return std::nullopt;
    std::istringstream in(*text);
    int x, y, width, height;
    if (!(in >> x >> y >> width >> height) || width <= 0 || height <= 0) return std::nullopt;
    return QRect(x, y, width, height);
}

void WindowCascade::saveFrame(const std::string& name, const QRect& frame, UserDefaults& defaults) {
    std::ostringstream out;
    out << frame.x() << ' ' << frame.y() << ' ' << frame.width() << ' ' << frame.height();
    defaults.setObject(out.str(), defaultsKey(name));
}

bool WindowCascade::setFrameUsingName(QWidget* window, const std::string& name) {
    const auto frame = savedFrame(name, UserDefaults::standard());
    if (!frame) return false;
    window->setGeometry(*frame);
    return true;
}

bool WindowCascade::setFrameAutosaveName(QWidget* window, const std::string& name) {
    QPointer<QWidget>& owner = owners_[name];
    if (owner && owner != window) return false;
    owner = window;
    window->installEventFilter(this);
    return true;
}

bool WindowCascade::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Close) {
        for (auto& [name, owner] : owners_)
            if (owner == watched) saveFrame(name, owner->geometry(), UserDefaults::standard());
    }
    return QObject::eventFilter(watched, event);
}

namespace {

QRect freeArea(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

CascadeRect rectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The window's frame (title bar and borders) is known once it shows: then
// the whole frame, not only its inside, is fitted into the free area.
class FrameFitter : public QObject {
public:
    explicit FrameFitter(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* window = static_cast<QWidget*>(watched);
        window->removeEventFilter(this);
        deleteLater();
        const QRect free = freeArea(window);
        if (free.isEmpty() || free.contains(window->frameGeometry())) return false;
        const QMargins frame =
            window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
        const QRect inside = free.marginsRemoved(frame);
        const CascadeRect placed = CascadePoints::fitted(rectOf(window->geometry()), rectOf(inside));
        window->setGeometry(placed.x, placed.y, placed.width, placed.height);
        return false;
    }
};

}  // namespace

void WindowCascade::setWindowFrameAutosaveNameOrCascade(QWidget* window, const std::string& name) {
    WindowCascade& cascade = shared();
    cascade.setFrameUsingName(window, name);
    const bool took = cascade.setFrameAutosaveName(window, name);
    // Whatever size was stored or the last window had, the window opens
    // on the screen's free area, cascading inside it.
    const CascadeRect placed =
        CascadePoints::shared().placeInside(name, rectOf(window->geometry()), took, rectOf(freeArea(window)));
    // Moved as before: by the frame's corner.
    window->resize(placed.width, placed.height);
    window->move(placed.x, placed.y);
    new FrameFitter(window);
}

}  // namespace kl
