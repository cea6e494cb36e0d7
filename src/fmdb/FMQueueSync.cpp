#include "fmdb/FMQueueSync.h"

#include "platform/SerialQueue.h"

#include <exception>

void fm_syncPassingExceptions(SerialQueue &queue, const std::function<void()> &task)
{
    std::exception_ptr failure;
    queue.sync([&] {
        try {
            if (task)
                task();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
}
