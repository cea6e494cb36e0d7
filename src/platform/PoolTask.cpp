#include "platform/PoolTask.h"

#include "platform/SanitizerHandOff.h"

#include <utility>

PoolTask::PoolTask(DispatchQueue::Task task) : m_task(std::move(task))
{
    showReleaseToSanitizer(this);
}

void PoolTask::run()
{
    showAcquireToSanitizer(this);
    m_task();
}
