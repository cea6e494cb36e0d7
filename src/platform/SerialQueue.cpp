#include "platform/SerialQueue.h"

#include <QtGlobal>

#include <pthread.h>


SerialQueue::SerialQueue(QString label)
    : m_label(std::move(label))
    , m_worker([this] { run(); })
{
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (isCurrent())
        qFatal("SerialQueue %s destroyed by one of its own tasks", qUtf8Printable(m_label));
    m_worker.join();
}

void SerialQueue::async(Task task)
{
    if (!task)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void SerialQueue::sync(const Task &task)
{
    // The waiter may return and destroy these as soon as it sees the flag, so the task only
    // notifies while it holds the lock: nothing of the waiter's is touched after the unlock.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    async([&] {
        if (task)
            task();
        std::lock_guard lock(mutex);
        done = true;
        finished.notify_one();
    });
    std::unique_lock lock(mutex);
    finished.wait(lock, [&done] { return done; });
}

bool SerialQueue::isCurrent() const
{
    return m_worker.get_id() == std::this_thread::get_id();
}

void SerialQueue::run()
{
    // Linux limits thread names to 15 bytes; the tail of a reverse-DNS label says the most.
    const QByteArray name = m_label.toUtf8().right(15);
    pthread_setname_np(pthread_self(), name.constData());

    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return;
        Task task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
    }
}
