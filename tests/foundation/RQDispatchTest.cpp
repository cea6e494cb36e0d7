#include "foundation/RQDispatch.h"

#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace {

struct DispatchCase
{
    const char *name;
    std::function<void(DispatchQueue::Task)> dispatch;
    bool onMainThread;
};

} // namespace

TEST(RQDispatchTest, EachFunctionRunsTheBlockOnItsQueue)
{
    const DispatchCase cases[] = {
        {"AsyncMain", [](DispatchQueue::Task block) { RQDispatchAsyncMain(std::move(block)); },
         true},
        {"AsyncBackground",
         [](DispatchQueue::Task block) { RQDispatchAsyncBackground(std::move(block)); }, false},
        {"AfterMain",
         [](DispatchQueue::Task block) { RQDispatchAfterMain(std::move(block), 0.02); }, true},
        {"AfterBackground",
         [](DispatchQueue::Task block) { RQDispatchAfterBackground(std::move(block), 0.02); },
         false},
    };
    for (const DispatchCase &row : cases) {
        std::atomic<bool> ran = false;
        std::atomic<bool> onMainThread = false;
        // The block owns what it captured; the queue must keep it whole until it runs.
        row.dispatch([&, captured = std::make_shared<int>(7)] {
            onMainThread = QThread::currentThread() == qApp->thread();
            ran = *captured == 7;
        });
        ASSERT_TRUE(processEventsUntil([&] { return ran.load(); })) << row.name;
        EXPECT_EQ(onMainThread.load(), row.onMainThread) << row.name;
    }
}

TEST(RQDispatchTest, AsyncMainRunsOnALaterTurnOfTheEventLoop)
{
    bool ran = false;
    RQDispatchAsyncMain([&] { ran = true; });
    EXPECT_FALSE(ran);
    ASSERT_TRUE(processEventsUntil([&] { return ran; }));
}
