#include "platform/PoolTask.h"

#include <utility>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace {

void showReleaseToSanitizer([[maybe_unused]] void *address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(address);
#endif
}

void showAcquireToSanitizer([[maybe_unused]] void *address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(address);
#endif
}

} // namespace

PoolTask::PoolTask(DispatchQueue::Task task) : m_task(std::move(task))
{
    showReleaseToSanitizer(this);
}

void PoolTask::run()
{
    showAcquireToSanitizer(this);
    m_task();
}
