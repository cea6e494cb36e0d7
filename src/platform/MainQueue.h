#pragma once

#include "platform/DispatchQueue.h"

// The main queue: tasks run on the thread of the QCoreApplication, in posting order, from any
// thread. A task posted before the application object exists or after it is gone is dropped.
class MainQueue final : public DispatchQueue
{
public:
    void async(Task task) override;
};
