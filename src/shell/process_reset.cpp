#include "shell/process_reset.h"

#include "assets/bitmap_reader.h"
#include "shell/demo_main.h"
#include "shell/display.h"
#include "shell/frame_stats.h"
#include "shell/show_clock.h"
#include "show/show.h"

void ResetProcessState() {
    ResetShowState();
    ResetBitmapReader();
    ResetFrameLoopState();
    ResetShowClock();
    ResetDisplayState();
    FrameStatsReset();
}
