#pragma once
// WindowStack: the application's windows from front to back. Qt does not
// tell the stacking order, so the order in which windows were last made
// active stands for it: the active window first, then the others as they
// were left, then windows never activated.
//
// Thread: main thread. Holds no window (QPointer); one per process, made on
// first use as an event filter of the application.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace kl {

class WindowStack : public QObject {
    Q_OBJECT
public:
    static WindowStack& shared();

    // Visible top-level windows, front first.
    std::vector<QWidget*> frontToBack();
    // Puts a window at the front, as its activation would.
    void noteActivated(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowStack();
    std::vector<QPointer<QWidget>> order_;  // front first
};

}  // namespace kl
