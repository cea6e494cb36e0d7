#pragma once

#include "platform/DispatchQueue.h"

// Hands a block to the main queue (the main thread's event loop) or to the global queue of
// background priority. Each queue keeps the block until it has run it. Any thread may call.

void RQDispatchAsyncMain(DispatchQueue::Task block);
void RQDispatchAsyncBackground(DispatchQueue::Task block);
// After the delay in seconds (the due time truncated to whole nanoseconds).
void RQDispatchAfterMain(DispatchQueue::Task block, double delay);
void RQDispatchAfterBackground(DispatchQueue::Task block, double delay);
