#include "show/timeline.h"

#include "show/scenes.h"

int RunTimeline(double frameMs, double elapsedMs) {
    const double t = elapsedMs / 1000.0;

    // Each interval is open on both sides and tested on its own: at a bound
    // exactly no scene draws, and the loop presents an untouched back buffer.
    if (t < 10.0) {
        DrawOpeningPicture(frameMs);
    }
    if (t > 10.0 && t < 35.0) {
        DrawBezierPath(frameMs);
    }
    if (t > 35.0 && t < 50.0) {
        DrawPulsingPolyhedron(frameMs);
    }
    if (t > 50.0 && t < 70.0) {
        DrawCubeLattice(frameMs);
    }
    if (t > 70.0 && t < 75.0) {
        DrawOpeningPicture(frameMs);
    }
    if (t > 75.0 && t < 85.0) {
        DrawShrinkingPicture(frameMs);
    }
    return t > 85.0 ? 0 : 1;
}
