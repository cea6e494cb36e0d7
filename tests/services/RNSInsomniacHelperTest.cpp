#include "services/RNSInsomniacHelper.h"

#include "FakeLogindFixture.h"
#include "platform/LogindInhibitor.h"
#include "platform/NotificationCenter.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Counts the helper's two notifications.
class NotificationCount final
{
public:
    explicit NotificationCount(const RNSInsomniacHelper &helper)
    {
        auto &center = NotificationCenter::defaultCenter();
        center.addObserver(RNSInsomniacHelper::wasEnabledNotification, &helper, &m_context,
                           [this](const Notification &) { ++enabled; });
        center.addObserver(RNSInsomniacHelper::wasDisabledNotification, &helper, &m_context,
                           [this](const Notification &) { ++disabled; });
    }

    int enabled = 0;
    int disabled = 0;

private:
    QObject m_context;
};

class RNSInsomniacHelperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not installed";
        m_logind = std::make_unique<FakeLogind>(m_bus);
        ASSERT_TRUE(m_logind->isServing());
        m_helper = std::make_unique<RNSInsomniacHelper>(
            std::make_unique<LogindInhibitor>(m_bus.connect(u"helper"_s)));
        m_count = std::make_unique<NotificationCount>(*m_helper);
    }

    bool released(std::size_t call) const
    {
        return processEventsUntil([&] { return m_logind->isReleased(call); });
    }

    PrivateBus m_bus;
    std::unique_ptr<FakeLogind> m_logind;
    std::unique_ptr<RNSInsomniacHelper> m_helper;
    std::unique_ptr<NotificationCount> m_count;
};

} // namespace

TEST_F(RNSInsomniacHelperTest, EnablingUntilDisabledHoldsTheSleepLockUntilDisable)
{
    ASSERT_TRUE(m_helper->enableForDuration(-1));
    EXPECT_TRUE(m_helper->enabled());
    EXPECT_EQ(m_helper->currentDuration(), -1);
    EXPECT_EQ(m_helper->timer(), nullptr);
    EXPECT_TRUE(m_helper->endDate().isNull());
    EXPECT_EQ(m_count->enabled, 1);

    const auto calls = m_logind->calls();
    ASSERT_EQ(calls.size(), 1u);
    // Idle sleep only, so that a suspend the user asks for still happens.
    EXPECT_EQ(calls[0].what, u"idle"_s);
    EXPECT_EQ(calls[0].who, u"marrowick-tests"_s);
    EXPECT_EQ(calls[0].why, u"App is running."_s);
    EXPECT_EQ(calls[0].mode, u"block"_s);
    EXPECT_FALSE(m_logind->isReleased(0));

    m_helper->disable();
    EXPECT_FALSE(m_helper->enabled());
    EXPECT_TRUE(released(0));
    EXPECT_EQ(m_count->disabled, 1);
    EXPECT_EQ(m_helper->currentDuration(), -1);

    m_helper->disable();
    EXPECT_EQ(m_count->disabled, 1);
    EXPECT_EQ(m_logind->calls().size(), 1u);
}

TEST_F(RNSInsomniacHelperTest, DisableWithoutAnEnablementDoesNothing)
{
    m_helper->disable();
    EXPECT_EQ(m_count->disabled, 0);
    EXPECT_TRUE(m_logind->calls().empty());
    EXPECT_EQ(m_helper->currentDuration(), -2);
}

TEST_F(RNSInsomniacHelperTest, ALimitedEnablementEndsThroughDisableWhenItsTimerFires)
{
    const QDateTime before = QDateTime::currentDateTimeUtc();
    ASSERT_TRUE(m_helper->enableForDuration(60));
    const QDateTime after = QDateTime::currentDateTimeUtc();
    ASSERT_NE(m_helper->timer(), nullptr);
    EXPECT_TRUE(m_helper->timer()->isActive());
    EXPECT_TRUE(m_helper->timer()->isSingleShot());
    EXPECT_GE(m_helper->endDate(), before.addSecs(60));
    EXPECT_LE(m_helper->endDate(), after.addSecs(60));
    EXPECT_EQ(m_helper->currentDuration(), 60);

    // A new enablement gives up the earlier lock and replaces the timer.
    ASSERT_TRUE(m_helper->enableForDuration(1));
    EXPECT_TRUE(released(0));
    EXPECT_FALSE(m_logind->isReleased(1));
    EXPECT_EQ(m_count->enabled, 2);

    EXPECT_TRUE(processEventsUntil([&] { return !m_helper->enabled(); }));
    EXPECT_TRUE(released(1));
    EXPECT_EQ(m_count->disabled, 1);
    EXPECT_EQ(m_helper->currentDuration(), 1);
}

TEST_F(RNSInsomniacHelperTest, TheDisplayLockIsTakenApartAndReleasedByDisable)
{
    ASSERT_TRUE(m_helper->preventDisplayFromSleeping());
    ASSERT_EQ(m_logind->calls().size(), 1u);
    EXPECT_EQ(m_logind->calls()[0].what, u"idle"_s);
    m_helper->allowDisplaySleeping();
    EXPECT_TRUE(released(0));

    ASSERT_TRUE(m_helper->enableForDuration(-1));
    ASSERT_TRUE(m_helper->preventDisplayFromSleeping());
    m_helper->disable();
    EXPECT_TRUE(released(1));
    EXPECT_TRUE(released(2));
}

TEST_F(RNSInsomniacHelperTest, ARefusedEnablementAnswersNoAndHoldsNothing)
{
    ASSERT_TRUE(m_helper->enableForDuration(-1));
    m_logind->setRefusing(true);
    EXPECT_FALSE(m_helper->enableForDuration(-1));
    EXPECT_FALSE(m_helper->enabled());
    EXPECT_EQ(m_helper->currentDuration(), -2);
    EXPECT_TRUE(released(0));
    EXPECT_EQ(m_count->enabled, 1);

    m_helper->disable();
    EXPECT_EQ(m_count->disabled, 0);
}

TEST(RNSInsomniacHelperWithoutBusTest, EnablingAnswersNoAndNothingElseFails)
{
    const QString name = u"no-bus"_s;
    {
        RNSInsomniacHelper helper(std::make_unique<LogindInhibitor>(
            QDBusConnection::connectToBus(u"unix:path=/nonexistent/marrowick/bus"_s, name)));
        const NotificationCount count(helper);
        EXPECT_FALSE(helper.enableForDuration(-1));
        EXPECT_FALSE(helper.enableForDuration(30));
        EXPECT_FALSE(helper.enabled());
        EXPECT_FALSE(helper.preventDisplayFromSleeping());
        helper.allowDisplaySleeping();
        helper.disable();
        EXPECT_EQ(count.enabled, 0);
        EXPECT_EQ(count.disabled, 0);
    }
    QDBusConnection::disconnectFromBus(name);
    EXPECT_EQ(&RNSInsomniacHelper::sharedHelper(), &RNSInsomniacHelper::sharedHelper());
}
