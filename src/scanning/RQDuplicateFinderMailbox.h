#pragma once

#include "platform/DispatchQueue.h"

#include <atomic>
#include <functional>
#include <optional>

// Hands the latest of a fast-changing value (a count, a progress value) to the main queue. At
// most one delivery waits at a time and it carries the value that is current when it runs, so
// a scan can report after every item without flooding the main thread or taking a lock. The
// poster's values only grow; the receiver gets a rising subset of them that always ends with
// the last one. post() from any thread; the receiver runs on the main thread. The owner keeps
// the mailbox alive until its deliveries have run (the finder does: its completion task, posted
// after every value and run after every delivery, holds it).
template<typename Value>
class RQDuplicateFinderMailbox final
{
public:
    using Receiver = std::function<void(Value)>;

    explicit RQDuplicateFinderMailbox(Receiver receiver) : m_receiver(std::move(receiver)) {}
    RQDuplicateFinderMailbox(const RQDuplicateFinderMailbox &) = delete;
    RQDuplicateFinderMailbox &operator=(const RQDuplicateFinderMailbox &) = delete;

    void post(Value value)
    {
        m_latest.store(value);
        if (m_pending.exchange(true))
            return;
        DispatchQueue::main().async([this] { deliver(); });
    }

private:
    void deliver()
    {
        // Cleared before reading, so a value set from now on posts a delivery of its own.
        m_pending.store(false);
        const Value value = m_latest.load();
        if (m_delivered == value)
            return;
        m_delivered = value;
        m_receiver(value);
    }

    const Receiver m_receiver;
    std::atomic<Value> m_latest {};
    std::atomic<bool> m_pending = false;
    std::optional<Value> m_delivered; // main thread only
};
