#pragma once

#include "platform/DispatchQueue.h"

#include <QRunnable>

// A task on its way through a QThreadPool, which shows the hand-off to the thread sanitizer (see
// SanitizerHandOff.h): released when it is made, acquired when it starts, before it reads
// anything of its own.
class PoolTask final : public QRunnable
{
public:
    explicit PoolTask(DispatchQueue::Task task);

    void run() override;

private:
    DispatchQueue::Task m_task;
};
