#include <time.h>

#include "platform/platform.h"

// Milliseconds of the monotonic clock, cut to 32 bits like a Windows tick
// counter: it never jumps with the wall clock, and wraps every 49.7 days.
uint32_t PlatformMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}
