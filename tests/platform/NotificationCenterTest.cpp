#include "platform/NotificationCenter.h"

#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

TEST(NotificationCenterTest, AMainThreadPostReachesTheMatchingObserversBeforeItReturns)
{
    NotificationCenter center;
    QObject context;
    const int sender = 0;
    const int other = 0;
    QStringList seen;
    center.addObserver(u"Changed"_s, nullptr, &context,
                       [&](const Notification &n) { seen << u"any:"_s + n.userInfo.value(u"k"_s).toString(); });
    center.addObserver(u"Changed"_s, &sender, &context, [&](const Notification &) { seen << u"sender"_s; });
    center.addObserver(u"Other"_s, nullptr, &context, [&](const Notification &) { seen << u"other"_s; });

    center.post(u"Changed"_s, &sender, {{u"k"_s, u"v"_s}});
    EXPECT_EQ(seen, (QStringList{u"any:v"_s, u"sender"_s}));
    seen.clear();
    center.post(u"Changed"_s, &other);
    EXPECT_EQ(seen, QStringList{u"any:"_s});
}

TEST(NotificationCenterTest, RemovedObserversAndObserversOfDestroyedContextsAreNotCalled)
{
    NotificationCenter center;
    auto context = std::make_unique<QObject>();
    QObject kept;
    int calls = 0;
    NotificationCenter::Token second = 0;
    // The first observer removes the second while the post is under way.
    center.addObserver(u"N"_s, nullptr, &kept, [&](const Notification &) { center.removeObserver(second); });
    second = center.addObserver(u"N"_s, nullptr, &kept, [&](const Notification &) { ++calls; });
    center.addObserver(u"N"_s, nullptr, context.get(), [&](const Notification &) { ++calls; });
    context.reset();
    center.post(u"N"_s);
    EXPECT_EQ(calls, 0);

    const NotificationCenter::Token unbound =
        center.addObserver(u"N"_s, nullptr, nullptr, [&](const Notification &) { ++calls; });
    center.post(u"N"_s);
    EXPECT_EQ(calls, 1);
    center.removeObserver(unbound);
    center.post(u"N"_s);
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, APostFromAnotherThreadIsDeliveredOnTheMainThread)
{
    NotificationCenter center;
    QObject context;
    QThread *deliveredOn = nullptr;
    center.addObserver(u"N"_s, nullptr, &context,
                       [&](const Notification &) { deliveredOn = QThread::currentThread(); });
    std::thread poster([&] { center.post(u"N"_s); });
    poster.join();
    EXPECT_TRUE(processEventsUntil([&] { return deliveredOn != nullptr; }));
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());
}
