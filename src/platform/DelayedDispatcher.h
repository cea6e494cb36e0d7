#pragma once

#include "platform/DispatchQueue.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// One timer thread for all delayed work: it waits for the earliest due time and then hands
// the task to its queue. Tasks still waiting when the process ends are dropped.
class DelayedDispatcher final
{
public:
    static DelayedDispatcher &shared();

    void post(DispatchQueue &queue, double seconds, DispatchQueue::Task task);

    DelayedDispatcher(const DelayedDispatcher &) = delete;
    DelayedDispatcher &operator=(const DelayedDispatcher &) = delete;
    ~DelayedDispatcher();

private:
    using Clock = std::chrono::steady_clock;
    struct Pending
    {
        DispatchQueue *queue;
        DispatchQueue::Task task;
    };

    DelayedDispatcher();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::multimap<Clock::time_point, Pending> m_pending;
    bool m_stopping = false;
    std::thread m_thread;
};
