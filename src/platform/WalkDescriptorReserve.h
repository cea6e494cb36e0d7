#pragma once

#include <atomic>

// How many descriptors the walks may hold at once: the soft limit less a reserve for what the
// process holds already and for the threads it may still start (each makes its event
// dispatcher's wake-up descriptor as it starts, and aborts when none is left) and the files they
// read. A walk that holds all it may passes the next folder over, as when the system has none
// left. Any thread.
class WalkDescriptorReserve final
{
public:
    // Sets the allowance from the limit and the descriptors open now; called when a scan starts,
    // after the limit was raised.
    static void update();
    // Takes one descriptor of the allowance; false when the walks hold all of it.
    static bool take();
    static void giveBack();

    WalkDescriptorReserve() = delete;

private:
    static std::atomic<int> s_allowance;
    static std::atomic<int> s_held;
};
