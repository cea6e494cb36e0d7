#pragma once

#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QThread>

#include <mutex>
#include <vector>

// Stands in for logind's Manager on a private bus, since the test machine has no system bus.
// Each Inhibit call hands out the write end of a pipe and keeps the read end, so the test can
// see when the caller closes its descriptor. Serves its calls on a thread of its own, because
// the caller blocks the main thread while it waits for the answer.
class FakeLogind final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    struct Call
    {
        QString what;
        QString who;
        QString why;
        QString mode;
    };

    explicit FakeLogind(PrivateBus &bus);
    ~FakeLogind() override;
    Q_DISABLE_COPY_MOVE(FakeLogind)

    bool isServing() const { return m_serving; }
    void setRefusing(bool refusing);
    std::vector<Call> calls() const;
    // Whether every descriptor handed out for call `index` has been closed.
    bool isReleased(std::size_t index) const;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why,
                                    const QString &mode);

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    std::vector<int> m_readEnds;
    bool m_refusing = false;
    bool m_serving = false;
    QThread m_thread;
    QDBusConnection m_connection;
};
