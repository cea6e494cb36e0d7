#include "platform/GlobalQueue.h"

#include "platform/PoolTask.h"

GlobalQueue::GlobalQueue(QThread::Priority threadPriority)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
    m_pool.setThreadPriority(threadPriority);
    // Idle workers may wait a while: scans and removals come in bursts.
    m_pool.setExpiryTimeout(30000);
}

GlobalQueue::~GlobalQueue()
{
    m_pool.waitForDone();
}

void GlobalQueue::async(Task task)
{
    // The pool deletes the task once it has run.
    if (task)
        m_pool.start(new PoolTask(std::move(task)));
}
