#include "app/ui/DLDelayedPopUpButton.h"

#include <QMenu>
#include <QMouseEvent>

namespace kl {

DLDelayedPopUpButton::DLDelayedPopUpButton(QWidget* parent) : QToolButton(parent) {
    setIconSize(QSize(kPopUpIconSize, kPopUpIconSize));
    setAutoRaise(true);
    hold_.setSingleShot(true);
    hold_.setInterval(kHoldMilliseconds);
    connect(&hold_, &QTimer::timeout, this, &DLDelayedPopUpButton::showHeldMenu);
}

QPoint DLDelayedPopUpButton::menuPosition() const { return mapToGlobal(QPoint(1, height() + 5)); }

void DLDelayedPopUpButton::showHeldMenu() {
    hold_.stop();
    if (!popUp_) return;
    // The press becomes the menu's: the release must not click.
    setDown(false);
    emit aboutToShowPopUp();
    popUp_->popup(menuPosition());
}

void DLDelayedPopUpButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && popUp_) hold_.start();
    QToolButton::mousePressEvent(event);
}

void DLDelayedPopUpButton::mouseMoveEvent(QMouseEvent* event) {
    // Only a mouse held still shows the menu: a drag waits anew.
    if (hold_.isActive()) hold_.start();
    QToolButton::mouseMoveEvent(event);
}

void DLDelayedPopUpButton::mouseReleaseEvent(QMouseEvent* event) {
    hold_.stop();
    QToolButton::mouseReleaseEvent(event);
}

}  // namespace kl
