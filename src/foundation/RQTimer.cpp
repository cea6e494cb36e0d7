#include "foundation/RQTimer.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

std::chrono::milliseconds durationOf(double seconds)
{
    // A negative or not-a-number interval fires as soon as possible.
    if (!(seconds > 0.0))
        return std::chrono::milliseconds(0);
    const double milliseconds = std::min(std::round(seconds * 1000.0), double(INT_MAX));
    return std::chrono::milliseconds(static_cast<int>(milliseconds));
}

} // namespace

std::shared_ptr<RQTimer> RQTimer::timerWithInterval(double interval, bool repeats,
                                                    const QVariant &userInfo,
                                                    DidFinishBlock didFinishBlock)
{
    auto timer = std::make_shared<RQTimer>(Token{}, interval, repeats, userInfo,
                                           std::move(didFinishBlock));
    timer->run();
    return timer;
}

RQTimer::RQTimer(Token, double interval, bool repeats, QVariant userInfo, DidFinishBlock block)
    : m_timer(std::make_unique<QTimer>())
    , m_interval(interval)
    , m_repeats(repeats)
    , m_userInfo(std::move(userInfo))
    , m_didFinishBlock(std::move(block))
{
    // The QTimer dies with this object, so the raw capture never outlives it.
    QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] { timerDidFinish(); });
}

RQTimer::~RQTimer() = default;

void RQTimer::run()
{
    const std::shared_ptr<RQTimer> previousHold = unschedule();
    m_timer->setSingleShot(!m_repeats);
    m_timer->start(durationOf(m_interval));
    m_scheduled = true;
    m_scheduledHold = shared_from_this();
}

void RQTimer::invalidateTimerOnly()
{
    const std::shared_ptr<RQTimer> hold = unschedule();
}

void RQTimer::invalidate()
{
    const std::shared_ptr<RQTimer> hold = unschedule();
    m_didFinishBlock = nullptr;
}

std::shared_ptr<RQTimer> RQTimer::unschedule()
{
    if (m_timer)
        m_timer->stop();
    m_scheduled = false;
    return std::exchange(m_scheduledHold, nullptr);
}

void RQTimer::timerDidFinish()
{
    // The block may invalidate the timer or drop the owner's reference: stay alive until it
    // has returned.
    std::shared_ptr<RQTimer> self = shared_from_this();
    if (!m_repeats)
        m_scheduledHold.reset(); // a spent one-shot timer no longer holds its target
    if (m_didFinishBlock) {
        // A copy, because invalidate() inside the block destroys the stored one.
        const DidFinishBlock block = m_didFinishBlock;
        block(*this);
    }
    if (self.use_count() == 1) {
        // Nobody else holds this timer, so it is destroyed on return, while its QTimer is
        // still emitting timeout: leave the QTimer to the event loop to delete.
        m_timer->disconnect();
        m_timer.release()->deleteLater();
    }
}

QString RQTimer::description() const
{
    const QString userInfo = m_userInfo.isValid() ? m_userInfo.toString() : u"(null)"_s;
    return QString::asprintf("<RQTimer %p, interval=%f, repeats=%s, userInfo=%s>",
                             static_cast<const void *>(this), m_interval,
                             m_repeats ? "YES" : "NO", qUtf8Printable(userInfo));
}
