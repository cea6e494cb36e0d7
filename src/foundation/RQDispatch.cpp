#include "foundation/RQDispatch.h"

namespace {

DispatchQueue &backgroundQueue()
{
    return DispatchQueue::global(DispatchPriority::Background);
}

} // namespace

void RQDispatchAsyncMain(DispatchQueue::Task block)
{
    DispatchQueue::main().async(std::move(block));
}

void RQDispatchAsyncBackground(DispatchQueue::Task block)
{
    backgroundQueue().async(std::move(block));
}

void RQDispatchAfterMain(DispatchQueue::Task block, double delay)
{
    DispatchQueue::main().after(delay, std::move(block));
}

void RQDispatchAfterBackground(DispatchQueue::Task block, double delay)
{
    backgroundQueue().after(delay, std::move(block));
}
