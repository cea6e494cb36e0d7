#pragma once

#include "platform/DispatchQueue.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

// Hands the latest of a fast-changing value (a count, a progress value, the duplicates' totals)
// to the main queue. At most one delivery waits at a time, deliveries are posted at most once
// per interval, and each carries the value that is current when it runs, so a scan can report
// after every item without flooding the main thread or taking a lock. The poster's values only
// grow; the receiver gets a rising subset of them, and flush() makes sure that the last one set
// is delivered. post() from any thread, flush() once no post() can run alongside; the receiver
// runs on the main thread. The owner keeps the mailbox alive until its deliveries have run
// (the finder does: its completion task, posted after every flush, holds it).
template<typename Value>
class RQDuplicateFinderMailbox final
{
public:
    using Receiver = std::function<void(Value)>;
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::milliseconds interval {15};

    explicit RQDuplicateFinderMailbox(Receiver receiver) : m_receiver(std::move(receiver)) {}
    RQDuplicateFinderMailbox(const RQDuplicateFinderMailbox &) = delete;
    RQDuplicateFinderMailbox &operator=(const RQDuplicateFinderMailbox &) = delete;

    void post(Value value)
    {
        m_latest.store(value);
        m_hasValue.store(true);
        if (m_pending.load())
            return;
        const Clock::rep now = Clock::now().time_since_epoch().count();
        Clock::rep last = m_lastPost.load();
        if (last != 0 && now - last < std::chrono::duration_cast<Clock::duration>(interval).count())
            return;
        // One of the threads that find the interval over queues the delivery.
        if (m_lastPost.compare_exchange_strong(last, now))
            queueDelivery();
    }

    // Queues a delivery of the latest value unless one is waiting; nothing when none was set.
    void flush()
    {
        if (m_hasValue.load())
            queueDelivery();
    }

private:
    void queueDelivery()
    {
        if (!m_pending.exchange(true))
            DispatchQueue::main().async([this] { deliver(); });
    }

    void deliver()
    {
        // Cleared before reading, so a value set from now on can queue a delivery of its own.
        m_pending.store(false);
        const Value value = m_latest.load();
        if (m_delivered == value)
            return;
        m_delivered = value;
        m_receiver(value);
    }

    const Receiver m_receiver;
    std::atomic<Value> m_latest {};
    std::atomic<bool> m_hasValue = false;
    std::atomic<bool> m_pending = false;
    std::atomic<Clock::rep> m_lastPost = 0;
    std::optional<Value> m_delivered; // main thread only
};
