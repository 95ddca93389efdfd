#include "show/timeline.h"

#include "show/scenes.h"

static void AdvanceNothing(double /*frameMs*/) {}

// Each interval is open on both sides: at a bound exactly no scene draws, and
// the loop presents an untouched back buffer.
static const struct {
    double fromSeconds;
    double toSeconds;
    void (*draw)(double frameMs);
    void (*advance)(double frameMs);
} kScenes[] = {
    {-1e300, 10.0, DrawOpeningPicture, AdvanceNothing},
    {10.0, 35.0, DrawBezierPath, AdvanceBezierPath},
    {35.0, 50.0, DrawPulsingPolyhedron, AdvancePulsingPolyhedron},
    {50.0, 70.0, DrawCubeLattice, AdvanceCubeLattice},
    {70.0, 75.0, DrawOpeningPicture, AdvanceNothing},
    {75.0, 85.0, DrawShrinkingPicture, AdvanceShrinkingPicture},
};
static constexpr double kEndSeconds = 85.0;

int TimelineSceneAt(double elapsedMs) {
    const double t = elapsedMs / 1000.0;
    for (int i = 0; i < static_cast<int>(sizeof kScenes / sizeof kScenes[0]); ++i) {
        if (t > kScenes[i].fromSeconds && t < kScenes[i].toSeconds) {
            return i;
        }
    }
    return -1;
}

int RunTimeline(double frameMs, double elapsedMs) {
    const int scene = TimelineSceneAt(elapsedMs);
    if (scene >= 0) {
        kScenes[scene].draw(frameMs);
    }
    return elapsedMs / 1000.0 > kEndSeconds ? 0 : 1;
}

int AdvanceTimeline(double frameMs, double elapsedMs) {
    const int scene = TimelineSceneAt(elapsedMs);
    if (scene >= 0) {
        kScenes[scene].advance(frameMs);
    }
    return elapsedMs / 1000.0 > kEndSeconds ? 0 : 1;
}
