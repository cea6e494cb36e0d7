#pragma once

#include <functional>

class SerialQueue;

// Runs the task on the queue and waits for it, like SerialQueue::sync, but an exception the
// task raises is carried back and raised again on the caller's thread: thrown on the queue's
// worker it would end the process. The queue goes on serving tasks afterwards.
void fm_syncPassingExceptions(SerialQueue &queue, const std::function<void()> &task);
