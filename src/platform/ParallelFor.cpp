#include "platform/ParallelFor.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

struct SharedRange
{
    explicit SharedRange(qsizetype total, const std::function<void(qsizetype)> &work)
        : count(total), body(work)
    {
    }

    // Claims indexes until none is left. A worker that starts after the range is done claims
    // nothing and never touches the body, whose captures may be gone by then.
    void drain()
    {
        for (qsizetype index = next.fetch_add(1); index < count; index = next.fetch_add(1)) {
            body(index);
            if (finished.fetch_add(1) + 1 == count) {
                std::lock_guard lock(mutex);
                allDone.notify_all();
            }
        }
    }

    void waitUntilFinished()
    {
        std::unique_lock lock(mutex);
        allDone.wait(lock, [this] { return finished.load() == count; });
    }

    const qsizetype count;
    const std::function<void(qsizetype)> body;
    std::atomic<qsizetype> next = 0;
    std::atomic<qsizetype> finished = 0;
    std::mutex mutex;
    std::condition_variable allDone;
};

} // namespace

void parallelFor(qsizetype count, const std::function<void(qsizetype index)> &body,
                 DispatchPriority priority)
{
    if (count <= 0)
        return;
    auto range = std::make_shared<SharedRange>(count, body);
    const qsizetype helpers = std::min<qsizetype>(count, QThread::idealThreadCount()) - 1;
    DispatchQueue &queue = DispatchQueue::global(priority);
    for (qsizetype helper = 0; helper < helpers; ++helper)
        queue.async([range] { range->drain(); });
    range->drain();
    range->waitUntilFinished();
}
