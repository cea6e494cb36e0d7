#pragma once

#include "platform/PowerInhibitor.h"

#include <QDBusConnection>

// Inhibitor locks of systemd-logind: Manager.Inhibit(what, who, why, "block") on the given
// bus, by default the system bus. Without a bus, or when logind is not there or refuses,
// inhibit() answers an empty lock after at most a few seconds. The call blocks the caller.
class LogindInhibitor final : public PowerInhibitor
{
public:
    explicit LogindInhibitor(const QDBusConnection &connection = QDBusConnection::systemBus());

    InhibitorLock inhibit(const QString &what, const QString &why) override;

private:
    QDBusConnection m_connection;
};
