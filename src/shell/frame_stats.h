// Counting presented frames for outside measurements: when the environment
// variable VUP_FRAME_STATS names a file, the loop's presents are counted and
// the file gets the count and the wall-clock times of the first and last
// present. Without the variable nothing is written and a present costs one
// test of a flag. The show's behaviour is the same either way.
#pragma once

#include <cstdint>

// Called right after each present. The first one reads the variable, writes
// the file at once (so a start-up measurement can stop the program right
// after its first frame) and arranges a final write at process exit; after
// that the file is rewritten about once a second, so the program can be
// stopped at any moment and the count up to the last second read.
void FrameStatsPresented();

// Notes the show clock's start reading (PlatformMilliseconds: natively the
// monotonic clock in milliseconds, cut to 32 bits), so that a measurement can
// set what it hears and sees against the show's own time.
void FrameStatsShowStarted(uint32_t startReading);

// Writes "presented_frames N", "first_present_unix_ns T",
// "last_present_unix_ns T" and "show_start_clock_ms T" lines to the file; 1
// when it was written, 0 when counting is off or the file could not be
// written.
int FrameStatsWrite();

// Forgets the count and the variable's value, as at process start. A write
// at exit, once arranged, stays arranged: it belongs to the process.
void FrameStatsReset();
