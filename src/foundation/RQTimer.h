#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QTimer;

// An event-loop timer that calls a block. It belongs to the thread that made it: it is
// scheduled on that thread's event loop, and its block runs there.
//
// While scheduled, the timer keeps itself alive (as a run loop keeps its timer's target): a
// repeating timer lives until it is invalidated, even when its owner drops it, and a one-shot
// timer at least until it has fired. Owners invalidate before they let go. Releasing the last
// reference stops the timer and drops the block.
class RQTimer final : public std::enable_shared_from_this<RQTimer>
{
    struct Token
    {
    };

public:
    // Called on every firing, with the timer that fired.
    using DidFinishBlock = std::function<void(RQTimer &timer)>;

    // A new timer with the four values set, already running.
    static std::shared_ptr<RQTimer> timerWithInterval(double interval, bool repeats,
                                                      const QVariant &userInfo,
                                                      DidFinishBlock didFinishBlock);

    RQTimer(Token, double interval, bool repeats, QVariant userInfo, DidFinishBlock block);
    ~RQTimer();
    RQTimer(const RQTimer &) = delete;
    RQTimer &operator=(const RQTimer &) = delete;

    // (Re)starts with the current interval and repeat flag, after stopping a scheduled run.
    void run();
    // Stops the timer but keeps the block, so that run() can start it again.
    void invalidateTimerOnly();
    // Stops the timer and drops the block: a firing already under way can no longer reach it.
    void invalidate();

    // "<RQTimer 0x…, interval=…, repeats=YES|NO, userInfo=…>"
    QString description() const;

    // The scheduled event-loop timer; null while stopped. A spent one-shot timer is still
    // returned (no longer active) until the next run() or invalidation.
    QTimer *timer() const { return m_scheduled ? m_timer.get() : nullptr; }
    // Seconds: the period, or the delay of a one-shot timer. Used by the next run().
    double interval() const { return m_interval; }
    void setInterval(double interval) { m_interval = interval; }
    bool repeats() const { return m_repeats; }
    void setRepeats(bool repeats) { m_repeats = repeats; }
    // Kept for the owner; the timer itself never reads it.
    const QVariant &userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant &userInfo) { m_userInfo = userInfo; }
    const DidFinishBlock &didFinishBlock() const { return m_didFinishBlock; }
    void setDidFinishBlock(DidFinishBlock block) { m_didFinishBlock = std::move(block); }

private:
    void timerDidFinish();
    // Stops the event-loop timer and hands back the reference it held on this object; the
    // caller lets it go only when it no longer touches this object.
    std::shared_ptr<RQTimer> unschedule();

    std::unique_ptr<QTimer> m_timer;
    std::shared_ptr<RQTimer> m_scheduledHold;
    bool m_scheduled = false;
    double m_interval = 0.0;
    bool m_repeats = false;
    QVariant m_userInfo;
    DidFinishBlock m_didFinishBlock;
};
