#pragma once

#include "support/TemporaryFolder.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

// A message bus of the test's own, run by dbus-daemon in a temporary folder.
class PrivateBus final
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    // A new connection of that name to the bus; disconnected when the bus goes.
    QDBusConnection connect(const QString &name);

private:
    TemporaryFolder m_folder;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
