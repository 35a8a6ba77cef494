#pragma once
// DLDelayedPopUpButton: a toolbar button that runs its command on a click
// and shows its menu when the mouse is held still on it for 0.4 seconds.
// Moving the mouse starts the wait again; a button without a menu is a
// plain button however long it is held. The held press belongs to the
// menu: releasing it afterwards does not click.
//
// Ownership: a Qt child of its toolbar; the menu, when set, is borrowed
// (usually a child of the button). Thread: main thread.
#include <QTimer>
#include <QToolButton>

class QMenu;

namespace kl {

class DLDelayedPopUpButton : public QToolButton {
    Q_OBJECT
public:
    // How long the mouse must rest on the button before the menu shows.
    static constexpr int kHoldMilliseconds = 400;
    // Edge of the button's image until its toolbar sizes it.
    static constexpr int kPopUpIconSize = 32;

    explicit DLDelayedPopUpButton(QWidget* parent = nullptr);

    // The menu held down shows; nullptr for none.
    void setPopUpMenu(QMenu* menu) { popUp_ = menu; }
    QMenu* popUpMenu() const { return popUp_; }
    // Shows the menu below the button, as holding the mouse does.
    void showHeldMenu();
    // Where the menu's top left corner goes, in global coordinates.
    QPoint menuPosition() const;

signals:
    // The menu is about to show after a hold: fill it now.
    void aboutToShowPopUp();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QTimer hold_;
    QMenu* popUp_ = nullptr;
};

}  // namespace kl
