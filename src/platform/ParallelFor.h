#pragma once

#include "platform/DispatchQueue.h"

#include <QtGlobal>

#include <functional>

// Runs body(index) for every index in [0, count) on the global queue of the given priority and
// on the calling thread, and returns when every call has returned. Indexes are handed out one
// at a time, so long and short items balance across the threads. Safe to call from a task of
// the same pool: the caller works through the range itself when no worker is free.
void parallelFor(qsizetype count, const std::function<void(qsizetype index)> &body,
                 DispatchPriority priority = DispatchPriority::Default);
