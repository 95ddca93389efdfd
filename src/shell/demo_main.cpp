#include "shell/demo_main.h"

#include <algorithm>
#include <iterator>

#include "platform/music.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/frame_stats.h"
#include "show/show.h"

uint8_t KeyStates[256];
uint8_t windowActive = 1;
uint8_t fullscreenMode = 1;
uint8_t firstOpenFullscreen = 1;

void ResetFrameLoopState() {
    std::fill(std::begin(KeyStates), std::end(KeyStates), uint8_t{0});
    windowActive = 1;
    fullscreenMode = 1;
    firstOpenFullscreen = 1;
}

// Milliseconds between two readings of the 32-bit counter. The subtraction is
// modular, so a wrap of the counter between the readings still gives the true
// (small, non-negative) difference.
static double MillisecondsBetween(uint32_t earlier, uint32_t later) {
    return static_cast<double>(static_cast<uint32_t>(later - earlier));
}

int DemoMain(void* /*instance*/, void* /*previousInstance*/, char* /*commandLine*/,
             int /*showState*/) {
    // The schedule runs from this reading, taken before the display exists, so
    // the first frame's delta includes the whole open (window, pictures, tune).
    const uint32_t startReading = PlatformMilliseconds();
    uint32_t previousReading = startReading;
    // The tune keeps the same time: it was written to the schedule.
    MusicSetShowStart(startReading);
    FrameStatsShowStarted(startReading);

    fullscreenMode = firstOpenFullscreen;
    if (!OpenDisplay(kFirstTitle, kDisplayWidth, kDisplayHeight, kDisplayColorBits,
                     fullscreenMode)) {
        return kExitDisplayFailed;
    }

    PlatformMessage message = {};
    bool done = false;
    while (!done) {
        // Pending messages always come before drawing: one per turn.
        if (PlatformPeekMessage(&message)) {
            if (message.message == WM_QUIT) {
                done = true;
            } else {
                PlatformTranslateMessage(&message);
                PlatformDispatchMessage(&message);
            }
            continue;
        }

        const uint32_t nowReading = PlatformMilliseconds();
        const double frameMs = MillisecondsBetween(previousReading, nowReading);
        const double elapsedMs = MillisecondsBetween(startReading, nowReading);

        bool showOver = false;
        if (windowActive == 1 && RunTimeline(frameMs, elapsedMs) == 0) {
            showOver = true;
            done = true;
        }
        // An inactive window draws nothing but still presents; a frame drawn
        // on the turn that sees Escape is not presented.
        if (!showOver) {
            if (KeyStates[VK_ESCAPE] == 1) {
                done = true;
            } else {
                PlatformSwapBuffers(displayDC);
                FrameStatsPresented();
            }
        }

        if (KeyStates[VK_F1] == 1) {
            KeyStates[VK_F1] = 0;
            CloseDisplay();
            fullscreenMode = fullscreenMode == 0 ? 1 : 0;
            if (!OpenDisplay(kToggleTitle, kDisplayWidth, kDisplayHeight, kDisplayColorBits,
                             fullscreenMode)) {
                return kExitDisplayFailed;
            }
        }
        // Taken before any re-open, so the next delta includes the re-open.
        previousReading = nowReading;
    }

    CloseDisplay();
    return kExitShowEnded;
}
