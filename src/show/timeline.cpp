#include "show/timeline.h"

#include "show/schedule.h"

int TimelineSceneAt(double elapsedMs) {
    const double t = elapsedMs / 1000.0;
    // Each interval is open on both sides and tested on its own: at a bound
    // exactly no scene draws, and the loop presents an untouched back buffer.
    for (std::size_t i = 0; i < kScheduleSize; ++i) {
        const ScheduledScene& scene = kSchedule[i];
        if ((i == 0 || t > scene.from) && t < scene.to) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int RunTimeline(double frameMs, double elapsedMs) {
    const int scene = TimelineSceneAt(elapsedMs);
    if (scene >= 0) {
        kSchedule[scene].draw(frameMs);
    }
    return elapsedMs / 1000.0 > kScheduleEndSeconds ? 0 : 1;
}

int AdvanceTimeline(double frameMs, double elapsedMs) {
    const int scene = TimelineSceneAt(elapsedMs);
    if (scene >= 0 && kSchedule[scene].advance != nullptr) {
        kSchedule[scene].advance(frameMs);
    }
    return elapsedMs / 1000.0 > kScheduleEndSeconds ? 0 : 1;
}
