// Show time as people write it: seconds from the show's start, read from a
// command line or a page address, and the millisecond the show's clock reads
// at them. No GL and no platform (the schedule's scenes are only named), so
// option parsers can link it alone.
#pragma once

#include <cstdint>

#include "show/schedule.h"

// The show's length: the end of its schedule.
constexpr double kShowSeconds = kScheduleEndSeconds;

// The virtual clock's rate when no other is asked for: a recording's, and the
// rate at which a still is reached (the frames before it add up the scenes'
// values at this rate).
constexpr int kDefaultFrameRate = 60;

// Decimal seconds carry binary error (0.1 * 30 is 3.0000000000000004);
// rounding to frames and milliseconds forgives this much of it.
constexpr double kSecondsInputSlack = 1e-6;

// 1 and the value when text is a finite number of seconds from 0 to the
// show's end; 0 otherwise (nothing stored).
int ParseShowSeconds(const char* text, double* seconds);

// Show time of a still asked for at the given second, as the clock would read
// it: whole milliseconds, rounded down.
int64_t StillShowTimeMs(double seconds);
