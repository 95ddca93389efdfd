#include "frame_schedule.h"

#include <cmath>

#include "show/show_time.h"

int64_t FirstFrameAtOrAfter(double seconds, int fps) {
    if (seconds <= 0.0) {
        return 0;
    }
    return static_cast<int64_t>(std::ceil(seconds * fps - kSecondsInputSlack));
}

int64_t FrameStartSample(int64_t frame, int fps, int sampleRate) {
    return frame * sampleRate / fps;
}
