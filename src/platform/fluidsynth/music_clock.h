// The clock the live tune keeps time by: the monotonic clock the show's
// millisecond counter is read from (platform/posix/clock_posix.cpp), here in
// seconds with its full resolution.
#pragma once

#include <time.h>

inline double MusicClockSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
