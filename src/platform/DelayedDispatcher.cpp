#include "platform/DelayedDispatcher.h"

#include <cmath>

DelayedDispatcher &DelayedDispatcher::shared()
{
    static DelayedDispatcher dispatcher;
    return dispatcher;
}

DelayedDispatcher::DelayedDispatcher()
    : m_thread([this] { run(); })
{
}

DelayedDispatcher::~DelayedDispatcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void DelayedDispatcher::post(DispatchQueue &queue, double seconds, DispatchQueue::Task task)
{
    if (!task)
        return;
    // A negative or not-a-number delay means "as soon as possible".
    const double safeSeconds = std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
    const auto delay = std::chrono::nanoseconds(static_cast<long long>(safeSeconds * 1e9));
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(Clock::now() + delay, Pending{&queue, std::move(task)});
    }
    m_wake.notify_all();
}

void DelayedDispatcher::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_pending.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const auto due = m_pending.begin()->first;
        if (Clock::now() < due) {
            m_wake.wait_until(lock, due);
            continue;
        }
        Pending next = std::move(m_pending.begin()->second);
        m_pending.erase(m_pending.begin());
        lock.unlock();
        next.queue->async(std::move(next.task));
        lock.lock();
    }
}
