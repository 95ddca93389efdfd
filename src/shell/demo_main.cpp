#include "shell/demo_main.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/music.h"
#include "platform/platform.h"
#include "shell/display.h"
#include "shell/frame_stats.h"
#include "shell/show_clock.h"
#include "show/show.h"
#include "show/show_time.h"

uint8_t KeyStates[256];
uint8_t windowActive = 1;
uint8_t fullscreenMode = 1;
uint8_t firstOpenFullscreen = 1;
int64_t showStartFromMs = 0;

// The keys that move the show act once per press: a held key moves it once.
static constexpr uint32_t kMoveKeys[] = {VK_SPACE, VK_LEFT, VK_RIGHT, VK_HOME};
enum MoveKey { kPauseKey, kBackKey, kForwardKey, kStartKey };

// What a moved or paused show keeps between turns.
static struct {
    uint8_t keysDown[std::size(kMoveKeys)];
    int momentDue;      // the show was moved or paused: step to the moment and draw it
    ShowMoment moment;  // the moment last stepped to; drawn every turn while paused
    int positionTitled;
    uint32_t positionTitleUntil;
    const char* openTitle;
} moves = {};

void ResetFrameLoopState() {
    std::fill(std::begin(KeyStates), std::end(KeyStates), uint8_t{0});
    windowActive = 1;
    fullscreenMode = 1;
    firstOpenFullscreen = 1;
    showStartFromMs = 0;
    moves = {};
}

// Milliseconds between two readings of the 32-bit counter. The subtraction is
// modular, so a wrap of the counter between the readings still gives the true
// (small, non-negative) difference.
static double MillisecondsBetween(uint32_t earlier, uint32_t later) {
    return static_cast<double>(static_cast<uint32_t>(later - earlier));
}

static int Pressed(MoveKey key) {
    const uint8_t down = KeyStates[kMoveKeys[key]];
    const int pressed = down == 1 && moves.keysDown[key] == 0;
    moves.keysDown[key] = down;
    return pressed;
}

// How long the title shows where a running show was moved to.
static constexpr uint32_t kPositionTitleMs = 2000;

static void TitlePosition(uint32_t reading) {
    const int64_t seconds = ShowClockMs(reading) / 1000;
    char title[40];
    std::snprintf(title, sizeof title, "Vup \u2014 %d:%02d%s", static_cast<int>(seconds / 60),
                  static_cast<int>(seconds % 60), ShowClockPaused() ? " paused" : "");
    PlatformSetWindowTitle(displayWindow, title);
    moves.positionTitled = 1;
    moves.positionTitleUntil = reading + kPositionTitleMs;
}

static void TitleAsOpened() {
    PlatformSetWindowTitle(displayWindow, moves.openTitle);
    moves.positionTitled = 0;
}

// Space, the arrows, Home and the page's requests: the clock is moved or
// stopped at once and the tune told; the picture follows at the next drawing
// turn. With none of them, nothing here touches the platform.
static void TakeMoves(uint32_t reading) {
    const int64_t showMs = ShowClockMs(reading);
    int pause = -1;
    int64_t targetMs = -1;
    int requested;
    if (TakeRequestedPaused(&requested)) {
        pause = requested;
    }
    if (Pressed(kPauseKey)) {
        pause = ShowClockPaused() ? 0 : 1;
    }
    TakeRequestedSeek(&targetMs);
    if (Pressed(kBackKey)) {
        targetMs = showMs - kSeekStepMs;
    }
    if (Pressed(kForwardKey)) {
        targetMs = showMs + kSeekStepMs;
    }
    if (Pressed(kStartKey)) {
        targetMs = 0;
    }
    const int pausing = pause == 1 && !ShowClockPaused();
    const int resuming = pause == 0 && ShowClockPaused();
    if (pausing || resuming) {
        ShowClockSetPaused(reading, pausing);
    }
    if (targetMs >= 0) {
        ShowClockSeek(reading, targetMs);
    }
    if (targetMs >= 0 || resuming) {
        MusicSetShowStart(ShowClockStartReading());
    }
    if (pausing || resuming) {
        MusicSetShowPaused(pausing);
    }
    if (targetMs >= 0 || pausing) {
        moves.momentDue = 1;
    } else if (resuming) {
        TitlePosition(reading);
    }
}

// A drawing turn of a moved or paused show; 0 when the turn is the show's own.
static int DrawMovedShow(uint32_t reading) {
    if (moves.momentDue) {
        // From the start, as a recording reaches it: the picture equals the
        // recorded frame at that moment.
        SeekShowToMoment(ShowClockMs(reading), kDefaultFrameRate, &moves.moment);
        DrawShowMoment(moves.moment);
        moves.momentDue = 0;
        TitlePosition(reading);
        return 1;
    }
    if (ShowClockPaused()) {
        DrawShowMoment(moves.moment);
        return 1;
    }
    return 0;
}

int DemoMain(void* /*instance*/, void* /*previousInstance*/, char* /*commandLine*/,
             int /*showState*/) {
    // The schedule runs from this reading, taken before the display exists, so
    // the first frame's delta includes the whole open (window, pictures, tune).
    const uint32_t startReading = PlatformMilliseconds();
    uint32_t previousReading = startReading;
    ShowClockStart(startReading, showStartFromMs);
    moves.momentDue = showStartFromMs > 0;
    // The tune keeps the same time: it was written to the schedule.
    MusicSetShowStart(ShowClockStartReading());
    FrameStatsShowStarted(startReading);

    fullscreenMode = firstOpenFullscreen;
    moves.openTitle = kFirstTitle;
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
        TakeMoves(nowReading);
        const double frameMs = MillisecondsBetween(previousReading, nowReading);
        const double elapsedMs = static_cast<double>(ShowClockMs(nowReading));

        bool showOver = false;
        if (windowActive == 1 && !DrawMovedShow(nowReading) &&
            RunTimeline(frameMs, elapsedMs) == 0) {
            showOver = true;
            done = true;
        }
        if (moves.positionTitled && !ShowClockPaused() &&
            static_cast<int32_t>(nowReading - moves.positionTitleUntil) >= 0) {
            TitleAsOpened();
        }
        NoteShowPosition(ShowClockMs(nowReading), ShowClockPaused());
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
            moves.openTitle = kToggleTitle;
            if (!OpenDisplay(kToggleTitle, kDisplayWidth, kDisplayHeight, kDisplayColorBits,
                             fullscreenMode)) {
                return kExitDisplayFailed;
            }
            if (moves.positionTitled) {
                TitlePosition(nowReading);
            }
        }
        // Taken before any re-open, so the next delta includes the re-open.
        previousReading = nowReading;
    }

    CloseDisplay();
    return kExitShowEnded;
}
