#pragma once

#include "platform/DispatchQueue.h"

#include <QRunnable>

// A task on its way through a QThreadPool. The pool's own locks order the hand-off, but a Qt not
// built for the thread sanitizer hides them from it, which then takes everything the task reads
// of what the posting thread wrote for a race. So the hand-off is told to it here: the task is
// released when it is made and acquired when it starts, before it reads anything of its own.
// Outside a sanitizer build both are nothing.
class PoolTask final : public QRunnable
{
public:
    explicit PoolTask(DispatchQueue::Task task);

    void run() override;

private:
    DispatchQueue::Task m_task;
};
