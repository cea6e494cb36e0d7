#include "support/EventLoop.h"

#include "platform/DispatchQueue.h"
#include "platform/ParallelFor.h"
#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

TEST(DispatchQueueTest, MainQueueRunsOnTheMainThreadInPostingOrder)
{
    std::vector<int> order;
    bool onMainThread = true;
    std::thread poster([&] {
        for (int index = 0; index < 100; ++index) {
            DispatchQueue::main().async([&, index] {
                onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
                order.push_back(index);
            });
        }
    });
    poster.join();
    ASSERT_TRUE(processEventsUntil([&] { return order.size() == 100; }));
    EXPECT_TRUE(onMainThread);
    for (int index = 0; index < 100; ++index)
        EXPECT_EQ(order[static_cast<size_t>(index)], index);
}

TEST(DispatchQueueTest, AfterWaitsForTheDelayAndKeepsDueOrder)
{
    std::vector<int> order;
    QElapsedTimer clock;
    clock.start();
    qint64 firstRanAfter = -1;
    DispatchQueue::main().after(0.15, [&] { order.push_back(2); });
    DispatchQueue::main().after(0.05, [&] {
        firstRanAfter = clock.elapsed();
        order.push_back(1);
    });
    DispatchQueue::main().after(0.0, [&] { order.push_back(0); });
    EXPECT_TRUE(order.empty()) << "even a delay of 0 runs on a later turn";
    ASSERT_TRUE(processEventsUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_GE(firstRanAfter, 45);
}

TEST(DispatchQueueTest, GlobalQueuesRunWorkOffTheMainThread)
{
    for (DispatchPriority priority :
         {DispatchPriority::High, DispatchPriority::Default, DispatchPriority::Background}) {
        std::atomic<bool> ran = false;
        std::atomic<bool> offMain = false;
        DispatchQueue::global(priority).async([&] {
            offMain = QThread::currentThread() != qApp->thread();
            ran = true;
        });
        ASSERT_TRUE(processEventsUntil([&] { return ran.load(); }));
        EXPECT_TRUE(offMain);
    }
}

TEST(SerialQueueTest, RunsTasksOneAtATimeInOrder)
{
    std::vector<int> order;
    std::atomic<int> running = 0;
    bool overlapped = false;
    {
        SerialQueue queue(QStringLiteral("com.example.serial"));
        EXPECT_EQ(queue.label(), QStringLiteral("com.example.serial"));
        EXPECT_FALSE(queue.isCurrent());
        for (int index = 0; index < 50; ++index) {
            queue.async([&, index] {
                overlapped = overlapped || running.fetch_add(1) != 0;
                order.push_back(index);
                running.fetch_sub(1);
            });
        }
        bool current = false;
        queue.sync([&] { current = queue.isCurrent(); });
        EXPECT_TRUE(current);
        EXPECT_EQ(order.size(), 50u) << "sync runs after everything queued before it";
    }
    EXPECT_FALSE(overlapped);
}

TEST(SerialQueueTest, DestructionRunsWhatIsQueued)
{
    std::atomic<int> count = 0;
    {
        SerialQueue queue(QStringLiteral("drain"));
        for (int index = 0; index < 20; ++index)
            queue.async([&] {
                QThread::usleep(200);
                ++count;
            });
    }
    EXPECT_EQ(count.load(), 20);
}

TEST(ParallelForTest, VisitsEveryIndexOnceFromAnyThread)
{
    for (qsizetype count : {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(10000)}) {
        std::vector<std::atomic<int>> visits(static_cast<size_t>(count));
        parallelFor(count, [&](qsizetype index) { ++visits[static_cast<size_t>(index)]; });
        for (const auto &visit : visits)
            EXPECT_EQ(visit.load(), 1);
    }
}

TEST(ParallelForTest, NestedCallsFromEveryPoolThreadFinish)
{
    std::atomic<qsizetype> total = 0;
    parallelFor(64, [&](qsizetype) {
        parallelFor(100, [&](qsizetype) { ++total; });
    });
    EXPECT_EQ(total.load(), 6400);
}
