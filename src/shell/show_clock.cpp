#include "shell/show_clock.h"

#include <algorithm>

#include "show/show_time.h"

static constexpr int64_t kShowEndMs = static_cast<int64_t>(kShowSeconds * 1000.0);

// One record: the reading show time 0 fell on, and while paused the time it
// holds.
static struct {
    uint32_t startReading;
    int paused;
    int64_t pausedMs;
    int64_t requestedSeekMs;  // -1: none asked
    int requestedPaused;      // -1: none asked
    int64_t positionMs;
    int positionPaused;
} clockState = {0, 0, 0, -1, -1, 0, 0};

static int64_t HeldToShow(int64_t ms) {
    return std::clamp<int64_t>(ms, 0, kShowEndMs);
}

void ShowClockStart(uint32_t reading, int64_t fromMs) {
    clockState = {0, 0, 0, -1, -1, 0, 0};
    ShowClockSeek(reading, fromMs);
}

int64_t ShowClockMs(uint32_t reading) {
    if (clockState.paused) {
        return clockState.pausedMs;
    }
    // Modular: a wrap of the counter since the start still reads forward.
    return static_cast<uint32_t>(reading - clockState.startReading);
}

uint32_t ShowClockStartReading() {
    return clockState.startReading;
}

int ShowClockPaused() {
    return clockState.paused;
}

void ShowClockSetPaused(uint32_t reading, int paused) {
    if ((paused != 0) == (clockState.paused != 0)) {
        return;
    }
    if (paused) {
        clockState.pausedMs = ShowClockMs(reading);
        clockState.paused = 1;
    } else {
        clockState.paused = 0;
        clockState.startReading = reading - static_cast<uint32_t>(clockState.pausedMs);
    }
}

void ShowClockSeek(uint32_t reading, int64_t targetMs) {
    const int64_t heldMs = HeldToShow(targetMs);
    clockState.startReading = reading - static_cast<uint32_t>(heldMs);
    clockState.pausedMs = heldMs;
}

void RequestShowSeek(int64_t targetMs) {
    clockState.requestedSeekMs = HeldToShow(targetMs);
}

void RequestShowPaused(int paused) {
    clockState.requestedPaused = paused != 0 ? 1 : 0;
}

int TakeRequestedSeek(int64_t* targetMs) {
    if (clockState.requestedSeekMs < 0) {
        return 0;
    }
    *targetMs = clockState.requestedSeekMs;
    clockState.requestedSeekMs = -1;
    return 1;
}

int TakeRequestedPaused(int* paused) {
    if (clockState.requestedPaused < 0) {
        return 0;
    }
    *paused = clockState.requestedPaused;
    clockState.requestedPaused = -1;
    return 1;
}

void NoteShowPosition(int64_t ms, int paused) {
    clockState.positionMs = ms;
    clockState.positionPaused = paused;
}

int64_t ShowPositionMs() {
    return clockState.positionMs;
}

int ShowPositionPaused() {
    return clockState.positionPaused;
}
