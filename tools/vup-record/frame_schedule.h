// When each recorded frame happens in show time. The live show reads a
// millisecond clock, so every frame time is a whole number of milliseconds
// and every frame delta is the difference of two such readings; the
// recorder's virtual clock keeps that rule so the scenes' persistent values
// add up exactly as they would live.
#pragma once

#include <cstdint>

// Show time of frame N at a fixed rate: N * 1000 / fps rounded down, the
// reading a millisecond clock would give at that moment.
int64_t FrameShowTimeMs(int64_t frame, int fps);

// Milliseconds between frame N - 1 and frame N. Frame 0's delta is measured
// from the show's start (time 0), as the live show's first delta is measured
// from the reading taken before the display opened.
int64_t FrameDeltaMs(int64_t frame, int fps);

// First frame whose exact instant N / fps is at or after the given second
// (tiny floating-point errors in the input do not push it one frame on).
int64_t FirstFrameAtOrAfter(double seconds, int fps);

// Show time of a still asked for at the given second, as the clock would read
// it: whole milliseconds, rounded down.
int64_t StillShowTimeMs(double seconds);

// Audio sample that plays together with frame N's instant N / fps.
int64_t FrameStartSample(int64_t frame, int fps, int sampleRate);
