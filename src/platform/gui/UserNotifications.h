#pragma once

#include <QDBusConnection>
#include <QString>

// Desktop notifications, shown by the freedesktop notification service of the session bus.
// Nothing waits for the service: a notification is sent and its answer ignored, and where the
// bus offers no such service nothing is sent. Main thread only.
class UserNotifications
{
public:
    static const QString serviceName;

    explicit UserNotifications(const QDBusConnection &connection = QDBusConnection::sessionBus());
    virtual ~UserNotifications() = default;
    UserNotifications(const UserNotifications &) = delete;
    UserNotifications &operator=(const UserNotifications &) = delete;

    static UserNotifications &shared();

    // The bus runs the service or can start it.
    virtual bool isAvailable() const;
    // Shows a notification with the title and text, and the "complete" sound where the service
    // plays sounds. Returns at once.
    virtual void deliver(const QString &title, const QString &informativeText);

private:
    QDBusConnection m_connection;
};
