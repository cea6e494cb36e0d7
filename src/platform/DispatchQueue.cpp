#include "platform/DispatchQueue.h"

#include "platform/DelayedDispatcher.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"

void DispatchQueue::after(double seconds, Task task)
{
    DelayedDispatcher::shared().post(*this, seconds, std::move(task));
}

DispatchQueue &DispatchQueue::main()
{
    static MainQueue queue;
    return queue;
}

DispatchQueue &DispatchQueue::global(DispatchPriority priority)
{
    static GlobalQueue high(QThread::HighPriority);
    static GlobalQueue normal(QThread::NormalPriority);
    static GlobalQueue background(QThread::LowestPriority);
    switch (priority) {
    case DispatchPriority::High:
        return high;
    case DispatchPriority::Default:
        return normal;
    case DispatchPriority::Background:
        return background;
    }
    return normal;
}
