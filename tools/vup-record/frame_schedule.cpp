#include "frame_schedule.h"

#include <cmath>

// Inputs are parsed decimal seconds: 0.1 * 30 comes out as 3.0000000000000004,
// which must still be frame 3, not frame 4.
static constexpr double kInputSlack = 1e-6;

int64_t FirstFrameAtOrAfter(double seconds, int fps) {
    if (seconds <= 0.0) {
        return 0;
    }
    return static_cast<int64_t>(std::ceil(seconds * fps - kInputSlack));
}

int64_t StillShowTimeMs(double seconds) {
    if (seconds <= 0.0) {
        return 0;
    }
    return static_cast<int64_t>(std::floor(seconds * 1000.0 + kInputSlack));
}

int64_t FrameStartSample(int64_t frame, int fps, int sampleRate) {
    return frame * sampleRate / fps;
}
