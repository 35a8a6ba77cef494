#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "foundation/QueueDispatcher.h"

namespace kl {
namespace {

using namespace std::chrono_literals;

// Runs the queue on this (main) thread until done turns true.
void serveUntil(QueueDispatcher& dispatcher, const std::atomic<bool>& done) {
    while (!done) {
        dispatcher.waitForWork(5ms);
        dispatcher.runPending();
    }
    dispatcher.runPending();
}

class LogCapture {
public:
    LogCapture() {
        previous_ = Logger::setSink([this](const std::string& m) {
            std::lock_guard lock(mutex_);
            lines_.push_back(m);
        });
    }
    ~LogCapture() { Logger::setSink(previous_); }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    Logger::Sink previous_;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

TEST(QueueDispatcher, PostAndWaitFromWorkersRunsOnTheMainThread) {
    QueueDispatcher dispatcher;
    const auto mainId = std::this_thread::get_id();
    int counter = 0;  // touched only on the main thread: no lock needed
    std::atomic<int> offMain{0};
    std::atomic<int> finished{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                int seen = -1;
                dispatcher.postAndWait([&] {
                    if (std::this_thread::get_id() != mainId) ++offMain;
                    seen = ++counter;
                });
                EXPECT_GT(seen, 0);  // the worker saw the result of its own call
            }
            if (++finished == 4) done = true;
        });
    serveUntil(dispatcher, done);
    for (auto& t : workers) t.join();
    EXPECT_EQ(counter, 200);
    EXPECT_EQ(offMain, 0);
}

TEST(QueueDispatcher, ExceptionOfAWaitedTaskReachesTheWorker) {
    QueueDispatcher dispatcher;
    std::atomic<bool> done{false};
    std::string caughtName;
    std::thread worker([&] {
        try {
            dispatcher.postAndWait([] { raise(exception_names::BadAttribute, "no such attribute"); });
        } catch (const NamedException& e) {
            caughtName = e.name();
        }
        done = true;
    });
    serveUntil(dispatcher, done);
    worker.join();
    EXPECT_EQ(caughtName, "KLBadAttribute");
}

TEST(QueueDispatcher, PostAndWaitOnTheMainThreadRunsAtOnce) {
    QueueDispatcher dispatcher;
    bool ran = false;
    dispatcher.postAndWait([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(dispatcher.pendingCount(), 0u);
}

TEST(QueueDispatcher, PostedTasksWaitForTheMainThreadAndKeepTheirOrder) {
    QueueDispatcher dispatcher;
    std::vector<int> order;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) dispatcher.post([&order, i] { order.push_back(i); });
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(dispatcher.runPending(), 3u);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(QueueDispatcher, DestroyingItReleasesAWaitingWorker) {
    auto dispatcher = std::make_unique<QueueDispatcher>();
    std::promise<bool> brokenPromise;
    std::thread worker([&, d = dispatcher.get()] {
        try {
            d->postAndWait([] {});
            brokenPromise.set_value(false);
        } catch (const std::future_error&) {
            brokenPromise.set_value(true);
        }
    });
    while (dispatcher->pendingCount() == 0) dispatcher->waitForWork(5ms);
    dispatcher.reset();
    worker.join();
    EXPECT_TRUE(brokenPromise.get_future().get());
}

TEST(QueueDispatcher, FailingPostedTaskIsLoggedAndTheRestRuns) {
    LogCapture log;
    QueueDispatcher dispatcher;
    bool after = false;
    dispatcher.post([] { throw std::runtime_error("boom"); });
    dispatcher.post([&] { after = true; });
    EXPECT_EQ(dispatcher.runPending(), 2u);
    EXPECT_TRUE(after);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("boom"), std::string::npos);
}

// ---- deferred requests behave alike in both std-only dispatchers ----

template <class D>
class DeferredCalls : public ::testing::Test {
protected:
    D dispatcher;
    std::vector<std::string> ran;
    int windowA = 0, windowB = 0;  // receivers: only their addresses matter

    void defer(const int* receiver, std::string name) {
        dispatcher.postDeferred(receiver, [this, name] { ran.push_back(name); });
    }
};

using StdDispatchers = ::testing::Types<InlineDispatcher, QueueDispatcher>;
TYPED_TEST_SUITE(DeferredCalls, StdDispatchers);

TYPED_TEST(DeferredCalls, WaitForTheNextTurn) {
    this->defer(&this->windowA, "a");
    EXPECT_TRUE(this->ran.empty());
    EXPECT_EQ(this->dispatcher.runPending(), 1u);
    EXPECT_EQ(this->ran, std::vector<std::string>{"a"});
}

TYPED_TEST(DeferredCalls, CancelWithdrawsOnlyThatReceiver) {
    this->defer(&this->windowA, "a1");
    this->defer(&this->windowB, "b");
    this->defer(&this->windowA, "a2");
    this->dispatcher.cancelDeferred(&this->windowA);
    this->dispatcher.runPending();
    EXPECT_EQ(this->ran, std::vector<std::string>{"b"});
}

TYPED_TEST(DeferredCalls, CancelDuringATurnSkipsWhatIsStillQueued) {
    // A window closing in the first step must not get its later step.
    this->dispatcher.postDeferred(&this->windowA, [this] {
        this->ran.push_back("close b");
        this->dispatcher.cancelDeferred(&this->windowB);
    });
    this->defer(&this->windowB, "rebuild b");
    this->dispatcher.runPending();
    EXPECT_EQ(this->ran, std::vector<std::string>{"close b"});
}

TYPED_TEST(DeferredCalls, RequestsMadeDuringATurnRunOnTheNext) {
    this->dispatcher.postDeferred(&this->windowA, [this] {
        this->ran.push_back("first");
        this->defer(&this->windowA, "second");
    });
    EXPECT_EQ(this->dispatcher.runPending(), 1u);
    EXPECT_EQ(this->ran, std::vector<std::string>{"first"});
    EXPECT_EQ(this->dispatcher.runPending(), 1u);
    EXPECT_EQ(this->ran, (std::vector<std::string>{"first", "second"}));
}

TYPED_TEST(DeferredCalls, CancellingAfterTheRunIsHarmless) {
    this->defer(&this->windowA, "a");
    this->dispatcher.runPending();
    this->dispatcher.cancelDeferred(&this->windowA);
    this->dispatcher.cancelDeferred(nullptr);
    EXPECT_EQ(this->dispatcher.runPending(), 0u);
    EXPECT_EQ(this->ran, std::vector<std::string>{"a"});
}

// ---- inline dispatcher and the current one ----

TEST(InlineDispatcher, RunsPostsAtOnceAndDrainsDeferredSteps) {
    InlineDispatcher dispatcher;
    int n = 0;
    dispatcher.post([&] { ++n; });
    dispatcher.postAndWait([&] { ++n; });
    EXPECT_EQ(n, 2);
    std::function<void()> again;
    again = [&] {
        if (++n < 10) dispatcher.postDeferred(&dispatcher, again);
    };
    dispatcher.postDeferred(&dispatcher, again);
    EXPECT_EQ(dispatcher.drain(), 8u);
    EXPECT_EQ(n, 10);
}

TEST(InlineDispatcher, DrainStopsAStepThatAlwaysDefersItself) {
    InlineDispatcher dispatcher;
    std::function<void()> forever;
    forever = [&] { dispatcher.postDeferred(&dispatcher, forever); };
    dispatcher.postDeferred(&dispatcher, forever);
    EXPECT_EQ(dispatcher.drain(5), 5u);
    dispatcher.cancelDeferred(&dispatcher);
    EXPECT_EQ(dispatcher.pendingCount(), 0u);
}

TEST(Dispatcher, CurrentIsInlineUntilOneIsInstalled) {
    EXPECT_TRUE(Dispatcher::current().isMainThread());
    QueueDispatcher queue;
    {
        Dispatcher::Scope scope(queue);
        EXPECT_EQ(&Dispatcher::current(), &queue);
        InlineDispatcher inner;
        {
            Dispatcher::Scope nested(inner);
            EXPECT_EQ(&Dispatcher::current(), &inner);
        }
        EXPECT_EQ(&Dispatcher::current(), &queue);
    }
    EXPECT_NE(&Dispatcher::current(), &queue);
    bool ran = false;
    Dispatcher::current().postAndWait([&] { ran = true; });
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace kl
