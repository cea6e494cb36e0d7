#include "platform/GlobalQueue.h"

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
    if (task)
        m_pool.start(std::move(task));
}
