#include "platform/gui/UserNotifications.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

using namespace Qt::StringLiterals;

const QString UserNotifications::serviceName = u"org.freedesktop.Notifications"_s;

UserNotifications::UserNotifications(const QDBusConnection &connection)
    : m_connection(connection)
{
}

UserNotifications &UserNotifications::shared()
{
    static UserNotifications notifications;
    return notifications;
}

bool UserNotifications::isAvailable() const
{
    if (!m_connection.isConnected())
        return false;
    const QDBusConnectionInterface *bus = m_connection.interface();
    if (!bus)
        return false;
    if (bus->isServiceRegistered(serviceName).value())
        return true;
    const QDBusMessage request = QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, u"ListActivatableNames"_s);
    const QDBusMessage reply = m_connection.call(request);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().toStringList().contains(serviceName);
}

void UserNotifications::deliver(const QString &title, const QString &informativeText)
{
    if (!isAvailable())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(serviceName, u"/org/freedesktop/Notifications"_s,
                                                         serviceName, u"Notify"_s);
    const QVariantMap hints{{u"sound-name"_s, u"complete"_s}};
    notify << QCoreApplication::applicationName() << uint(0) << u"marrowick"_s << title << informativeText
           << QStringList() << hints << int(-1);
    m_connection.asyncCall(notify);
}
