// The Qt event loop as the main thread of workers: posts run in a later
// turn on the GUI thread, postAndWait hands back results and exceptions,
// and deferred requests can be withdrawn per receiver.
#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "UiTestSupport.h"
#include "app/ui/QtDispatcher.h"

namespace kl {
namespace {

using test::processUntil;

class QtDispatcherTest : public ::testing::Test {
protected:
    QtDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    QThread* const gui = QThread::currentThread();
};

TEST_F(QtDispatcherTest, PostFromAWorkerRunsOnTheGUIThreadInALaterTurn) {
    std::atomic<bool> ran{false};
    std::atomic<bool> onGUI{false};
    std::thread worker([&] {
        EXPECT_FALSE(dispatcher.isMainThread());
        Dispatcher::current().post([&] {
            onGUI = QThread::currentThread() == gui;
            ran = true;
        });
    });
    worker.join();
    EXPECT_FALSE(ran);  // not before the event loop turns
    EXPECT_TRUE(processUntil([&] { return ran.load(); }));
    EXPECT_TRUE(onGUI);
}

TEST_F(QtDispatcherTest, PostAndWaitReturnsAfterTheTaskRanAndPassesItsFailure) {
    int value = 0;
    std::atomic<bool> workerDone{false};
    std::string failure;
    std::thread worker([&] {
        dispatcher.postAndWait([&] { value = 42; });
        try {
            dispatcher.postAndWait([] { throw std::runtime_error("no such record"); });
        } catch (const std::runtime_error& e) {
            failure = e.what();
        }
        workerDone = true;
    });
    EXPECT_TRUE(processUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_EQ(value, 42);
    EXPECT_EQ(failure, "no such record");
}

TEST_F(QtDispatcherTest, PostAndWaitOnTheGUIThreadRunsAtOnce) {
    EXPECT_TRUE(dispatcher.isMainThread());
    bool ran = false;
    dispatcher.postAndWait([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_THROW(dispatcher.postAndWait([] { throw std::logic_error("x"); }), std::logic_error);
}

TEST_F(QtDispatcherTest, AFailingPostIsLoggedAndTheLoopGoesOn) {
    bool after = false;
    dispatcher.post([] { throw std::runtime_error("lost"); });
    dispatcher.post([&] { after = true; });
    EXPECT_TRUE(processUntil([&] { return after; }));
}

TEST_F(QtDispatcherTest, CancelDeferredWithdrawsOnlyThatReceiversRequests) {
    int window = 0, other = 0;
    char windowKey = 0, otherKey = 0;
    dispatcher.postDeferred(&windowKey, [&] { ++window; });
    dispatcher.postDeferred(&windowKey, [&] { ++window; });
    dispatcher.postDeferred(&otherKey, [&] { ++other; });
    EXPECT_EQ(dispatcher.pendingDeferredCount(), 3u);
    dispatcher.cancelDeferred(&windowKey);
    EXPECT_TRUE(processUntil([&] { return other == 1; }));
    QApplication::processEvents();
    EXPECT_EQ(window, 0);
    EXPECT_EQ(dispatcher.pendingDeferredCount(), 0u);
}

TEST_F(QtDispatcherTest, ADeferredRequestThatDefersAgainRunsInTheNextTurn) {
    int turns = 0;
    char key = 0;
    std::function<void()> step = [&] {
        if (++turns < 3) dispatcher.postDeferred(&key, step);
    };
    dispatcher.postDeferred(&key, step);
    EXPECT_TRUE(processUntil([&] { return turns == 3; }));
}

TEST(QtDispatcherLifetime, DestroyingTheDispatcherReleasesAWaitingWorker) {
    auto dispatcher = std::make_unique<QtDispatcher>();
    QtDispatcher* raw = dispatcher.get();
    std::atomic<bool> broken{false};
    std::atomic<bool> ran{false};
    std::thread worker([&] {
        try {
            raw->postAndWait([&] { ran = true; });
        } catch (const std::future_error&) {
            broken = true;
        }
    });
    // The event loop is not turned here, so the task cannot run.
    while (dispatcher->postedWaits() == 0) std::this_thread::yield();
    dispatcher.reset();
    worker.join();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(broken);
}

}  // namespace
}  // namespace kl
