#include "app/ui/SharedWidget.h"

#include <QPointer>
#include <QProgressBar>

#include <thread>

#include <gtest/gtest.h>

#include "UiTestSupport.h"

namespace kl {
namespace {

// A busy bar runs a style animation; a worker that lets go of it last must
// not free it under the main thread's animation timer.
TEST(SharedWidget, TheLastOwnerOnAWorkerHandsTheWidgetBackToItsThread) {
    auto bar = makeSharedWidget<QProgressBar>();
    bar->setRange(0, 0);
    bar->show();
    QPointer<QProgressBar> watch = bar.get();
    QThread* diedOn = nullptr;
    QObject::connect(bar.get(), &QObject::destroyed, [&diedOn] { diedOn = QThread::currentThread(); });
    std::thread worker([owned = std::move(bar)]() mutable { owned.reset(); });
    worker.join();
    EXPECT_TRUE(test::processUntil([&] { return watch.isNull(); }));
    EXPECT_EQ(diedOn, QCoreApplication::instance()->thread());

    auto here = makeSharedWidget<QProgressBar>();
    QPointer<QProgressBar> same = here.get();
    here.reset();
    EXPECT_TRUE(same.isNull()) << "on its own thread the widget goes at once";
}

}  // namespace
}  // namespace kl
