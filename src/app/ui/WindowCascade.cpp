#include "app/ui/WindowCascade.h"

#include <QEvent>
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

void WindowCascade::setWindowFrameAutosaveNameOrCascade(QWidget* window, const std::string& name) {
    WindowCascade& cascade = shared();
    cascade.setFrameUsingName(window, name);
    const bool took = cascade.setFrameAutosaveName(window, name);
    const QPoint topLeft = window->pos();
    const auto placement = CascadePoints::shared().place(name, {topLeft.x(), topLeft.y()}, took);
    window->move(placement.topLeft.x, placement.topLeft.y);
}

}  // namespace kl
