// The multimedia millisecond clock.
#include "platform/platform.h"
// Left out of <windows.h> by WIN32_LEAN_AND_MEAN.
#include <mmsystem.h>

uint32_t PlatformMilliseconds() {
    return timeGetTime();
}
