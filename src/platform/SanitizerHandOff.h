#pragma once

// Work handed from one thread to another through Qt (a thread pool, the event loop) is ordered
// by Qt's own locks, which the thread sanitizer cannot see in a Qt not built for it; it then takes
// everything the work reads of what the posting thread wrote for a race. These calls tell it of
// the hand-off: what one thread wrote before releasing an address, the thread that acquires the
// address afterwards sees. Outside a sanitizer build they are nothing.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

inline void showReleaseToSanitizer([[maybe_unused]] void *address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(address);
#endif
}

inline void showAcquireToSanitizer([[maybe_unused]] void *address)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(address);
#endif
}
