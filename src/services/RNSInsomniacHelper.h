#pragma once

#include "platform/PowerInhibitor.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QTimer;

// Keeps the computer from idle sleep while a scan runs, through the inhibitor locks of the
// power service; where there is none, enabling answers NO and everything else goes on. The
// alert for a failed enablement is InsomniacErrorAlert, in the interface layer.
//
// Main thread only: the limited enablement's timer runs on the event loop of the thread that
// enabled it. Posts "RNSInsomniacNotificationWasEnabled" after a successful enablement and
// "RNSInsomniacNotificationWasDisabled" after a disablement, on the default notification
// centre with the helper as object.
class RNSInsomniacHelper final
{
public:
    static const QString wasEnabledNotification;
    static const QString wasDisabledNotification;

    // The shared helper over logind on the system bus; made on first use.
    static RNSInsomniacHelper &sharedHelper();

    explicit RNSInsomniacHelper(std::unique_ptr<PowerInhibitor> inhibitor);
    ~RNSInsomniacHelper();
    RNSInsomniacHelper(const RNSInsomniacHelper &) = delete;
    RNSInsomniacHelper &operator=(const RNSInsomniacHelper &) = delete;

    // An assertion taken by enableForDuration is held.
    bool enabled() const { return m_enabled; }
    // -2 until an enablement succeeds; then its duration in seconds (-1: until disabled).
    qint64 currentDuration() const { return m_currentDuration; }
    // Now + duration for a limited enablement; null otherwise.
    QDateTime endDate() const { return m_endDate; }
    // The one-shot timer that ends a limited enablement, or nullptr.
    const QTimer *timer() const { return m_timer.get(); }

    // Takes the sleep assertion, for the given seconds or, with -1, until disable(). An
    // assertion of an earlier enablement is given up first.
    bool enableForDuration(qint64 seconds);
    // Releases both assertions when enabled; otherwise does nothing.
    void disable();

    bool preventComputerFromSleeping();
    void allowComputerSleeping();
    bool preventDisplayFromSleeping();
    void allowDisplaySleeping();

private:
    void armTimer();
    void dropTimer();

    std::unique_ptr<PowerInhibitor> m_inhibitor;
    bool m_enabled = false;
    qint64 m_currentDuration = -2;
    QDateTime m_endDate;
    std::unique_ptr<QTimer> m_timer;
    InhibitorLock m_userIdleLock;
    InhibitorLock m_displaySleepLock;
};
