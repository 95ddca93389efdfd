// The show's clock: the platform's millisecond counter less an offset. A
// pause stops it (the offset grows by the pause's length), a seek sets it;
// nothing else moves it, so with no key pressed it is the counter since the
// start, as it always was. The tune is told of every move (platform/music.h).
#pragma once

#include <cstdint>

// How far the arrow keys move the show.
constexpr int64_t kSeekStepMs = 5000;

// Starts the clock at `reading` (a PlatformMilliseconds value), reading
// `fromMs` of show time there, running; requests and position cleared.
void ShowClockStart(uint32_t reading, int64_t fromMs);

// Show time at `reading`: frozen while paused.
int64_t ShowClockMs(uint32_t reading);

// The counter reading at which the clock read 0, as the tune is given it.
uint32_t ShowClockStartReading();

int ShowClockPaused();
void ShowClockSetPaused(uint32_t reading, int paused);

// Moves the clock to `targetMs`, held to 0 .. the show's end.
void ShowClockSeek(uint32_t reading, int64_t targetMs);

// Asked of the running show from outside its keys (the page's position bar):
// the frame loop takes them at its next turn, as it takes a key.
void RequestShowSeek(int64_t targetMs);
void RequestShowPaused(int paused);

// The frame loop's side of the requests: 1 and the value when one waits
// (it is then taken), 0 otherwise.
int TakeRequestedSeek(int64_t* targetMs);
int TakeRequestedPaused(int* paused);

// The frame loop notes where the show is after every turn.
void NoteShowPosition(int64_t ms, int paused);

// Where the show is, for a position bar: its time at the last turn and
// whether it is paused. 0 and 0 before the show starts.
int64_t ShowPositionMs();
int ShowPositionPaused();
