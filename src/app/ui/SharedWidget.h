#pragma once
// A widget held by shared pointers that workers may copy. A widget must die
// on the thread it lives on: freed from a worker, its timers and running
// style animations stay registered with the main thread's timers, which
// then call into freed memory. The last owner to let go on another thread
// hands the widget back to its own thread instead.
#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <memory>
#include <utility>

namespace kl {

template <class Widget, class... Arguments>
std::shared_ptr<Widget> makeSharedWidget(Arguments&&... arguments) {
    return std::shared_ptr<Widget>(new Widget(std::forward<Arguments>(arguments)...), [](Widget* widget) {
        if (!widget) return;
        if (QThread::currentThread() == widget->thread() || !QCoreApplication::instance())
            delete widget;
        else
            widget->deleteLater();
    });
}

}  // namespace kl
