#include "foundation/RQTimer.h"

#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QTimer>

using namespace Qt::StringLiterals;

TEST(RQTimerTest, OneShotFiresOnceWithItselfAsArgument)
{
    int firings = 0;
    RQTimer *argument = nullptr;
    const auto timer = RQTimer::timerWithInterval(0.2, false, {}, [&](RQTimer &fired) {
        ++firings;
        argument = &fired;
    });
    ASSERT_NE(timer->timer(), nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return firings > 0; }));
    processEventsFor(300);
    EXPECT_EQ(firings, 1);
    EXPECT_EQ(argument, timer.get());
    ASSERT_NE(timer->timer(), nullptr) << "a spent timer is still referred to";
    EXPECT_FALSE(timer->timer()->isActive());
}

TEST(RQTimerTest, InvalidateBeforeTheFirstFiringKeepsTheBlockFromRunning)
{
    int firings = 0;
    const auto timer = RQTimer::timerWithInterval(0.05, true, {}, [&](RQTimer &) { ++firings; });
    timer->invalidate();
    EXPECT_EQ(timer->timer(), nullptr);
    EXPECT_FALSE(timer->didFinishBlock());
    processEventsFor(200);
    EXPECT_EQ(firings, 0);
}

TEST(RQTimerTest, InvalidateTimerOnlyKeepsTheBlockForTheNextRun)
{
    int firings = 0;
    const auto timer = RQTimer::timerWithInterval(0.05, false, {}, [&](RQTimer &) { ++firings; });
    ASSERT_TRUE(processEventsUntil([&] { return firings == 1; }));
    timer->invalidateTimerOnly();
    EXPECT_EQ(timer->timer(), nullptr);
    timer->run();
    ASSERT_TRUE(processEventsUntil([&] { return firings == 2; }));
}

TEST(RQTimerTest, DroppedRepeatingTimerKeepsFiringUntilInvalidated)
{
    int firings = 0;
    std::weak_ptr<RQTimer> weak = RQTimer::timerWithInterval(0.02, true, {},
                                                             [&](RQTimer &) { ++firings; });
    ASSERT_TRUE(processEventsUntil([&] { return firings >= 3; }));
    ASSERT_FALSE(weak.expired());
    weak.lock()->invalidate();
    EXPECT_TRUE(weak.expired()) << "once invalidated, nothing holds it any more";
    const int firingsAtInvalidation = firings;
    processEventsFor(100);
    EXPECT_EQ(firings, firingsAtInvalidation);
}

TEST(RQTimerTest, DroppedTimersGoAwayWhenTheyStopFromInsideTheirBlock)
{
    // A one-shot timer lets go of itself after firing; a repeating one when its block
    // invalidates it. Either way the last reference goes while the timer is firing.
    struct Row
    {
        bool repeats;
        bool invalidateInBlock;
    };
    for (const Row row : {Row{false, false}, Row{true, true}}) {
        int firings = 0;
        std::weak_ptr<RQTimer> weak
            = RQTimer::timerWithInterval(0.02, row.repeats, {}, [&](RQTimer &fired) {
                  ++firings;
                  if (row.invalidateInBlock)
                      fired.invalidate();
              });
        ASSERT_TRUE(processEventsUntil([&] { return weak.expired(); })) << row.repeats;
        processEventsFor(100);
        EXPECT_EQ(firings, 1) << row.repeats;
    }
}

TEST(RQTimerTest, RunFromInsideTheBlockRestartsTheTimer)
{
    int firings = 0;
    const auto timer = RQTimer::timerWithInterval(0.02, false, {}, [&](RQTimer &fired) {
        if (++firings < 3)
            fired.run();
    });
    ASSERT_TRUE(processEventsUntil([&] { return firings == 3; }));
    processEventsFor(100);
    EXPECT_EQ(firings, 3);
}

TEST(RQTimerTest, Description)
{
    struct Row
    {
        double interval;
        bool repeats;
        QVariant userInfo;
        QString tail;
    };
    const Row rows[] = {
        {0.5, true, {}, u", interval=0.500000, repeats=YES, userInfo=(null)>"_s},
        {10, false, u"messages"_s, u", interval=10.000000, repeats=NO, userInfo=messages>"_s},
    };
    for (const Row &row : rows) {
        const auto timer = RQTimer::timerWithInterval(row.interval, row.repeats, row.userInfo, {});
        const QString address = QString::asprintf("%p", static_cast<const void *>(timer.get()));
        EXPECT_EQ(timer->description(), u"<RQTimer "_s + address + row.tail);
        EXPECT_EQ(timer->userInfo(), row.userInfo);
        timer->invalidate();
    }
}
