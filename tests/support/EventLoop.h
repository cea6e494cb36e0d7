#pragma once

#include <functional>

// Runs the main thread's event loop until the condition holds or the time is up; answers
// whether the condition held. Tests use it to wait for work posted to the main queue.
bool processEventsUntil(const std::function<bool()> &condition, int timeoutMilliseconds = 10000);

class QObject;

// Runs the event loop until no animation below the object runs (a fade, a change of size);
// answers whether they all ended in the time.
bool processEventsUntilAnimationsEnd(const QObject &owner, int timeoutMilliseconds = 10000);

// Runs every animation below the object to its end at once, as if its time had passed, without
// turning the event loop, so that no posted work runs meanwhile.
void finishAnimations(const QObject &owner);

// Runs the event loop for the given time, so that posted work and timers get their turn.
void processEventsFor(int milliseconds);
