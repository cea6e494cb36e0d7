#pragma once

#include "platform/DispatchQueue.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// A serial queue with a label: one worker thread runs the tasks one at a time, first in,
// first out. Destroying the queue runs what is already queued, then stops the worker; a task
// of the queue must never destroy its own queue.
class SerialQueue final : public DispatchQueue
{
public:
    explicit SerialQueue(QString label);
    ~SerialQueue() override;

    void async(Task task) override;

    // Runs the task on the queue and returns when it has run. Calling it from a task of the
    // same queue would wait for itself; callers check isCurrent() first.
    void sync(const Task &task);

    // True on the queue's own worker thread.
    bool isCurrent() const;
    QString label() const { return m_label; }

private:
    void run();

    const QString m_label;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_tasks;
    bool m_stopping = false;
    std::thread m_worker;
};
