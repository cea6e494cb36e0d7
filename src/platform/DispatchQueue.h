#pragma once

#include <functional>

enum class DispatchPriority { High, Default, Background };

// A place to run work later: the main queue (the Qt event loop of the main thread), one of
// the three global queues (thread pools) or a serial queue. Tasks posted to the main queue or
// to a serial queue run one at a time in posting order.
class DispatchQueue
{
public:
    using Task = std::function<void()>;

    DispatchQueue() = default;
    virtual ~DispatchQueue() = default;
    DispatchQueue(const DispatchQueue &) = delete;
    DispatchQueue &operator=(const DispatchQueue &) = delete;

    virtual void async(Task task) = 0;

    // Posts the task once the delay in seconds has passed (due time truncated to whole
    // nanoseconds). The queue must outlive the delay; the main and global queues always do.
    void after(double seconds, Task task);

    // Process-wide queues, made on first use. main() needs a QCoreApplication.
    static DispatchQueue &main();
    static DispatchQueue &global(DispatchPriority priority);
};
