#pragma once
// WindowCascade: places document windows by a frame autosave name. The first
// live window of a name owns it: it gets the frame saved under the name and
// its frame is saved again whenever it moves, resizes or closes. Later
// windows of the same name keep their own size and cascade from the last
// one, so they neither land on top of it nor overwrite its saved frame.
// Frames are kept in the user defaults as "NSWindow Frame <name>" = "x y w h".
//
// Thread: main thread. Holds no window: the names' owners are tracked with
// QPointer and released when the window goes away.
#include <QObject>
#include <QPointer>
#include <QRect>

#include <map>
#include <optional>
#include <string>

class QWidget;

namespace kl {

class UserDefaults;

class WindowCascade : public QObject {
    Q_OBJECT
public:
    static WindowCascade& shared();

    // Places the window by the name (the setWindowFrameAutosaveNameOrCascade
    // of every document window).
    static void setWindowFrameAutosaveNameOrCascade(QWidget* window, const std::string& name);

    // The frame saved under the name; nullopt when none or unreadable.
    static std::optional<QRect> savedFrame(const std::string& name, UserDefaults& defaults);
    static void saveFrame(const std::string& name, const QRect& frame, UserDefaults& defaults);
    static std::string defaultsKey(const std::string& name) { return "NSWindow Frame " + name; }

    // Gives the window the saved frame of the name; answers whether there was one.
    bool setFrameUsingName(QWidget* window, const std::string& name);
    // Makes the name the window's autosave name; false when another live
    // window already holds it.
    bool setFrameAutosaveName(QWidget* window, const std::string& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<std::string, QPointer<QWidget>> owners_;
};

}  // namespace kl
