// The recording's range and the audio in terms of frames. Frame N's show
// time is the virtual clock's (FrameShowTimeMs in show/show.h): whole
// milliseconds, as the live show's millisecond clock reads.
#pragma once

#include <cstdint>

// First frame whose exact instant N / fps is at or after the given second
// (tiny floating-point errors in the input do not push it one frame on).
int64_t FirstFrameAtOrAfter(double seconds, int fps);

// Audio sample that plays together with frame N's instant N / fps.
int64_t FrameStartSample(int64_t frame, int fps, int sampleRate);
