#include "show/timeline.h"

#include "show/schedule.h"

int RunTimeline(double frameMs, double elapsedMs) {
    const double t = elapsedMs / 1000.0;

    // Each interval is open on both sides and tested on its own: at a bound
    // exactly no scene draws, and the loop presents an untouched back buffer.
    for (std::size_t i = 0; i < kScheduleSize; ++i) {
        const ScheduledScene& scene = kSchedule[i];
        if ((i == 0 || t > scene.from) && t < scene.to) {
            scene.draw(frameMs);
        }
    }
    return t > kScheduleEndSeconds ? 0 : 1;
}
