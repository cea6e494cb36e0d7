#pragma once

#include "platform/DispatchQueue.h"

#include <QThread>
#include <QThreadPool>

// A global concurrent queue: a thread pool as wide as the machine, its threads at the given
// priority. Tasks may run in any order and at the same time.
class GlobalQueue final : public DispatchQueue
{
public:
    explicit GlobalQueue(QThread::Priority threadPriority);
    ~GlobalQueue() override;

    void async(Task task) override;
    QThreadPool &pool() { return m_pool; }

private:
    QThreadPool m_pool;
};
