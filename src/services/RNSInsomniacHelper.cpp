#include "services/RNSInsomniacHelper.h"

#include "platform/LogindInhibitor.h"
#include "platform/NotificationCenter.h"

#include <QTimer>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString assertionName = u"App is running."_s;

} // namespace

const QString RNSInsomniacHelper::wasEnabledNotification = u"RNSInsomniacNotificationWasEnabled"_s;
const QString RNSInsomniacHelper::wasDisabledNotification = u"RNSInsomniacNotificationWasDisabled"_s;

RNSInsomniacHelper &RNSInsomniacHelper::sharedHelper()
{
    static RNSInsomniacHelper helper(std::make_unique<LogindInhibitor>());
    return helper;
}

RNSInsomniacHelper::RNSInsomniacHelper(std::unique_ptr<PowerInhibitor> inhibitor)
    : m_inhibitor(std::move(inhibitor))
{
}

RNSInsomniacHelper::~RNSInsomniacHelper() = default;

bool RNSInsomniacHelper::enableForDuration(qint64 seconds)
{
    m_enabled = false;
    m_endDate = QDateTime();
    dropTimer();
    m_currentDuration = -2;

    if (seconds != -1) {
        m_endDate = QDateTime::currentDateTimeUtc().addSecs(seconds);
        armTimer();
    }
    // Taking the new assertion replaces, and so releases, one that an earlier enablement
    // still holds; a failure leaves none held.
    if (!preventComputerFromSleeping())
        return false;

    m_currentDuration = seconds;
    // Set before posting, so that an observer asking the helper sees it enabled.
    m_enabled = true;
    NotificationCenter::defaultCenter().post(wasEnabledNotification, this);
    return true;
}

// A timer interval is an int of milliseconds (about 24 days); a longer duration re-arms the
// timer until the end date is reached.
void RNSInsomniacHelper::armTimer()
{
    const qint64 remaining = QDateTime::currentDateTimeUtc().msecsTo(m_endDate);
    const qint64 interval = std::clamp<qint64>(remaining, 0, std::numeric_limits<int>::max());
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setSingleShot(true);
        QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
            if (QDateTime::currentDateTimeUtc() < m_endDate)
                armTimer();
            else
                disable();
        });
    }
    m_timer->start(int(interval));
}

// An observer of the disabled notification may enable again from inside the timer's own
// timeout, so the old timer is deleted once control is back in the event loop.
void RNSInsomniacHelper::dropTimer()
{
    if (!m_timer)
        return;
    m_timer->stop();
    m_timer.release()->deleteLater();
}

void RNSInsomniacHelper::disable()
{
    if (!m_enabled)
        return;
    m_enabled = false;
    allowDisplaySleeping();
    allowComputerSleeping();
    NotificationCenter::defaultCenter().post(wasDisabledNotification, this);
}

bool RNSInsomniacHelper::preventComputerFromSleeping()
{
    // Idle sleep only: a suspend the user asks for during a scan still happens.
    m_userIdleLock = m_inhibitor->inhibit(u"idle"_s, assertionName);
    return m_userIdleLock.isHeld();
}

void RNSInsomniacHelper::allowComputerSleeping()
{
    m_userIdleLock.release();
}

bool RNSInsomniacHelper::preventDisplayFromSleeping()
{
    m_displaySleepLock = m_inhibitor->inhibit(u"idle"_s, assertionName);
    return m_displaySleepLock.isHeld();
}

void RNSInsomniacHelper::allowDisplaySleeping()
{
    m_displaySleepLock.release();
}
