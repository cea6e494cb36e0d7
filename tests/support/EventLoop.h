#pragma once

#include <functional>

// Runs the main thread's event loop until the condition holds or the time is up; answers
// whether the condition held. Tests use it to wait for work posted to the main queue.
bool processEventsUntil(const std::function<bool()> &condition, int timeoutMilliseconds = 10000);

// Runs the event loop for the given time, so that posted work and timers get their turn.
void processEventsFor(int milliseconds);
