#include "platform/gui/UserNotifications.h"

#include "services/FakeLogindFixture.h"
#include "support/EventLoop.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The desktop's notification service, on the test's own bus.
class FakeNotificationService final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString appName;
        QString summary;
        QString body;
        QVariantMap hints;
    };

    std::optional<Call> received;

public slots:
    uint Notify(const QString &appName, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &hints, int)
    {
        received = Call{appName, summary, body, hints};
        return 1;
    }
};

} // namespace

TEST(UserNotificationsTest, NotifiesOnlyWhereTheBusOffersTheService)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not installed";
    UserNotifications notifications(bus.connect(u"sender"_s));
    EXPECT_FALSE(notifications.isAvailable());
    notifications.deliver(u"Scan Completed"_s, u"nothing to see"_s); // sends nothing, fails nothing

    FakeNotificationService service;
    QDBusConnection serving = bus.connect(u"service"_s);
    ASSERT_TRUE(serving.registerObject(u"/org/freedesktop/Notifications"_s, &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serving.registerService(UserNotifications::serviceName));
    EXPECT_TRUE(notifications.isAvailable());
    notifications.deliver(u"Scan Completed"_s, u"Found 3 duplicates"_s);
    EXPECT_FALSE(service.received) << "the answer is not waited for";
    ASSERT_TRUE(processEventsUntil([&service] { return service.received.has_value(); }));
    EXPECT_EQ(service.received->summary, u"Scan Completed"_s);
    EXPECT_EQ(service.received->body, u"Found 3 duplicates"_s);
    EXPECT_EQ(service.received->hints.value(u"sound-name"_s).toString(), u"complete"_s);

    UserNotifications unconnected(QDBusConnection::connectToBus(u"unix:path=/nonexistent/marrowick/bus"_s, u"none"_s));
    EXPECT_FALSE(unconnected.isAvailable());
}

#include "UserNotificationsTest.moc"
